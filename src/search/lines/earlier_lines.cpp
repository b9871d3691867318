#include "search/lines/earlier_lines.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {
namespace {

// Where the line that ends at `end` begins, in data[lo, end): just after the last `lineEnd`
// byte before `end`, or `lo`. Lines before a match are looked for one after another, so a
// line's bytes are compared 16 at a time.
std::size_t LineStartBefore(const char* data, std::size_t lo, std::size_t end, char lineEnd) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(lineEnd);
    for (; end - lo >= 16; end -= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + end - 16));
        if (const int bits = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)); bits != 0)
            return end - 16 +
                   static_cast<std::size_t>(32 - __builtin_clz(static_cast<unsigned>(bits)));
    }
#endif
    while (end > lo && data[end - 1] != lineEnd) --end;
    return end;
}

}  // namespace

EarlierLines::EarlierLines(std::int32_t keep) : m_keep(std::max(keep, 1)) {}

void EarlierLines::BeginWindow(const char* data, std::size_t size, LineEnds ends,
                               std::size_t firstStart, bool spansIn, std::size_t carried,
                               std::int64_t linesBefore) {
    m_data = data;
    m_size = size;
    m_ends = ends;
    m_firstStart = firstStart;
    m_spansIn = spansIn;
    m_carried = spansIn ? carried : 0;
    m_linesBefore = linesBefore;
    m_spanFound = false;
}

std::size_t EarlierLines::FirstLineStart() {
    if (!m_spansIn) return m_firstStart;
    if (!m_spanFound) {
        // Only asked once a line after it has begun, so the line ends in the window.
        m_spanEnd = LineStop(m_data, 0, m_size, m_ends);
        m_spanFound = true;
    }
    std::size_t next = m_spanEnd + 1;
    if (m_ends == LineEnds::Cr && next < m_size && m_data[next] == '\n') ++next;
    return next;
}

std::string_view EarlierLines::SpanningText(std::string_view carried) {
    FirstLineStart();
    m_spanText.assign(carried.substr(0, m_carried)).append(m_data, m_spanEnd);
    return LineText(m_spanText, m_ends);
}

void EarlierLines::LineBefore(std::size_t lo, std::size_t q, std::size_t& start,
                              std::size_t& end) const {
    // The byte before q ends the line: an LF (of an LF file, or after the CR of a CR file's CR
    // LF), or a CR.
    end = q - 1;
    if (m_ends == LineEnds::Cr && m_data[end] == '\n') --end;
    start = LineStartBefore(m_data, lo, end, LineEndByte(m_ends));
    // A CR file's line never begins with the LF of the line end before it.
    if (m_ends == LineEnds::Cr && start > lo && start < end && m_data[start] == '\n') ++start;
    if (m_ends == LineEnds::Lf && end > start && m_data[end - 1] == '\r') --end;
}

void EarlierLines::Collect(std::int64_t first, std::int64_t last, std::size_t q, bool inWindow,
                           std::string_view carried) {
    m_found.clear();
    std::int64_t n = last;
    if (inWindow) {
        const std::size_t lo = FirstLineStart();
        while (n >= first && q > lo) {
            std::size_t start = 0, end = 0;
            LineBefore(lo, q, start, end);
            m_found.emplace_back(n--, std::string_view(m_data + start, end - start));
            q = start;
        }
        if (n >= first && m_spansIn && n == m_linesBefore + 1)
            m_found.emplace_back(n--, SpanningText(carried));
    }
    const auto oldest = m_savedLast - static_cast<std::int64_t>(m_saved.size()) + 1;
    for (; n >= first && n >= oldest && n <= m_savedLast; --n)
        m_found.emplace_back(n, m_saved[static_cast<std::size_t>(n - oldest)]);
}

void EarlierLines::Before(std::int64_t first, std::int64_t number, std::string_view carried,
                          const Each& each) {
    if (first >= number) return;
    Collect(std::max(first, number - m_keep), number - 1, m_lineStart, m_lineInWindow, carried);
    for (auto it = m_found.rbegin(); it != m_found.rend(); ++it) each(it->first, it->second);
}

void EarlierLines::EndWindow(std::size_t next, std::int64_t lines, std::string_view carried) {
    if (lines <= m_linesBefore) return;
    Collect(std::max(lines - m_keep + 1, m_linesBefore + 1), lines, next, true, carried);
    for (auto it = m_found.rbegin(); it != m_found.rend(); ++it) Keep(it->second);
    m_savedLast = lines;
}

void EarlierLines::Ended(std::int64_t number, std::string_view text) {
    Keep(text);
    m_savedLast = number;
}

void EarlierLines::Keep(std::string_view text) {
    // The string of the oldest line is used again for the newest.
    std::string kept;
    if (m_saved.size() >= static_cast<std::size_t>(m_keep)) {
        kept = std::move(m_saved.front());
        m_saved.pop_front();
    }
    kept.assign(text);
    m_saved.push_back(std::move(kept));
}

}  // namespace sifter
