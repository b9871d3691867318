#include "search/lines/line_index.h"

#include <algorithm>
#include <cstring>

#include "search/lines/line_file.h"
#include "search/simd/stop_finder.h"

namespace sifter {
namespace {

// Reads this large go straight to the system, without any buffer between.
constexpr std::size_t kReadSize = 4 * 1024 * 1024;
constexpr std::int32_t kAccessDenied = 5;

}  // namespace

LineIndexResult LineIndex::Read(const std::string& path, platform::SystemApi& system) {
    platform::OpenResult opened = system.OpenRead(path);
    if (!opened.file) return {nullptr, opened.error};
    platform::OsFile& file = *opened.file;
    // A device put in a listed file's place (a link to /dev/zero) could fill memory without
    // end; the search itself never lists one.
    if (file.Kind().kind == platform::HandleKind::CharacterDevice) return {nullptr, kAccessDenied};

    // One byte more than the data: the index puts a CR there for the end of the data.
    const std::int64_t hint = file.SizeHint();
    std::unique_ptr<LineIndex> lines(new LineIndex());
    lines->Resize(0, hint >= 0 ? static_cast<std::size_t>(hint) + 1 : kReadSize);
    std::size_t size = 0;
    // Each piece is indexed as soon as it has been read, while it is still in the cache; the
    // first Ctrl-Z ends the reading, as it ends the data.
    while (!lines->IndexUpTo(size, false)) {
        if (lines->m_capacity - size <= 1) {
            // Full as far as the size said; a small read shows whether the file has grown.
            char probe[64 * 1024];
            const platform::ReadResult more = file.Read(probe, sizeof probe);
            if (more.error != 0) return {nullptr, more.error};
            if (more.count == 0) break;
            const auto count = static_cast<std::size_t>(more.count);
            lines->Resize(size, std::max(2 * lines->m_capacity, size + count + 1));
            std::memcpy(lines->m_data.get() + size, probe, count);
            size += count;
            continue;
        }
        const std::size_t room = std::min(lines->m_capacity - size - 1, kReadSize);
        const platform::ReadResult got =
            file.Read(lines->m_data.get() + size, static_cast<std::int32_t>(room));
        if (got.error != 0) return {nullptr, got.error};
        if (got.count == 0) break;
        size += static_cast<std::size_t>(got.count);
    }
    file.Release();
    lines->IndexUpTo(size, true);
    const std::size_t end = std::min(size, lines->m_end);
    // What the buffer holds beyond the data goes: growth without a size to go by, or the
    // bytes after a Ctrl-Z.
    if (lines->m_capacity > end + 1) lines->Resize(end, end + 1);
    lines->FinishIndex(end);
    return {std::move(lines), 0};
}

LineIndex::LineIndex(std::string_view bytes) {
    Resize(0, bytes.size() + 1);
    if (!bytes.empty()) std::memcpy(m_data.get(), bytes.data(), bytes.size());
    IndexUpTo(bytes.size(), true);
    FinishIndex(std::min(bytes.size(), m_end));
}

void LineIndex::Resize(std::size_t used, std::size_t capacity) {
    auto resized = std::make_unique_for_overwrite<char[]>(capacity);
    if (used > 0) std::memcpy(resized.get(), m_data.get(), used);
    m_data = std::move(resized);
    m_capacity = capacity;
}

bool LineIndex::IndexUpTo(std::size_t available, bool last) {
    char* const data = m_data.get();
    if (m_ends == LineEnds::Undecided) {
        // Nothing can be indexed before the first line end says what ends a line.
        const std::size_t first = LineStop(data, m_looked, available, LineEnds::Undecided);
        m_looked = first;
        if (first == available && !last) return false;
        // A file that ends before any line end reads alike either way.
        m_ends = first < available && data[first] != kCtrlZ ? DecidedBy(data[first]) : LineEnds::Cr;
    }
    // A CR's line end takes the LF after it too, so a CR in the last byte read waits for the
    // next byte, unless no more will come.
    const std::size_t end = last || available == 0 ? available : available - 1;
    // Every line end before the end of the data ends exactly one line, and the next starts after
    // it. The line ends and the first Ctrl-Z are the stops of the search's own stop finder, with
    // the line end byte as its only key.
    const char lineEnd = LineEndByte(m_ends);
    LineKeys keys;
    keys.lead = {static_cast<unsigned char>(lineEnd), 0, 1};
    StopFinder finder(keys);
    finder.Start(lineEnd);
    // The finder looks up to kPadding bytes past a stretch: bytes that far from the buffer's end
    // are walked in place, the last ones in a padded copy.
    const std::size_t inPlace =
        m_capacity > StopFinder::kPadding ? m_capacity - StopFinder::kPadding : 0;
    while (m_end == kNoEnd && m_indexed < end) {
        if (m_indexed < inPlace) {
            IndexStretch(finder, data, m_indexed, std::min(end, inPlace), 0, available);
        } else {
            char tail[2 * StopFinder::kPadding];
            const std::size_t count = end - m_indexed;
            std::memcpy(tail, data + m_indexed, count);
            finder.Forget();
            IndexStretch(finder, tail, 0, count, m_indexed, available);
        }
    }
    return m_end != kNoEnd;
}

void LineIndex::IndexStretch(StopFinder& finder, const char* bytes, std::size_t from,
                             std::size_t to, std::size_t origin, std::size_t available) {
    // bytes[i] is the data's byte origin + i.
    const char* const data = m_data.get();
    const bool lf = m_ends == LineEnds::Lf;
    finder.ForEachStop(bytes, from, to, [&](std::size_t at) {
        const std::size_t place = origin + at;
        if (bytes[at] == kCtrlZ) {
            m_end = place;
            return false;
        }
        m_longest =
            std::max(m_longest, LineText({data + m_lineStart, place - m_lineStart}, m_ends).size());
        m_lineStart = place + 1;
        if (!lf && m_lineStart < available && data[m_lineStart] == '\n') ++m_lineStart;
        m_starts.push_back(m_lineStart);
        return true;
    });
    m_indexed = m_end != kNoEnd ? m_end : origin + to;
}

void LineIndex::FinishIndex(std::size_t end) {
    // A last line without a line end ends at the end of the data. The byte after the data is a
    // CR, so that a line of the file is always followed by a line end in memory.
    m_data[end] = '\r';
    m_dataEnd = end;
    if (m_starts.back() < end) {
        m_longest = std::max(m_longest, end - m_lineStart);
        m_starts.push_back(end + 1);
    }
    m_starts.shrink_to_fit();
}

std::string_view LineIndex::Line(std::int64_t index) const {
    if (index < 0 || index >= LineCount()) return {};
    const auto i = static_cast<std::size_t>(index);
    const std::size_t start = m_starts[i];
    const std::size_t next = m_starts[i + 1];
    // The last line may have no line end: it ends with the data.
    if (next > m_dataEnd) return {m_data.get() + start, m_dataEnd - start};
    // The entry after a line is just past its line end: a CR, a CR LF, or an LF.
    std::size_t end = next - 1;
    if (m_ends != LineEnds::Lf && m_data[end] == '\n') --end;
    return LineText({m_data.get() + start, end - start}, m_ends);
}

std::size_t LineIndex::MemoryUse() const {
    return m_capacity + m_starts.capacity() * sizeof(std::uint64_t);
}

}  // namespace sifter
