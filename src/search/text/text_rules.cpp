#include "search/text/text_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <initializer_list>

#include "platform/platform.h"

namespace sifter {
namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    return table;
}
constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

}  // namespace

int ByteCommonness(unsigned char byte) {
    if (byte == ' ' || byte == 'e' || byte == 'E') return 250;
    if (std::strchr("tarionsTARIONS", byte) != nullptr && byte != 0) return 220;
    if (std::strchr("lcdhumpLCDHUMP", byte) != nullptr && byte != 0) return 180;
    if (byte >= 'a' && byte <= 'z') return 140;
    if (byte >= 'A' && byte <= 'Z') return 120;
    if (std::strchr("();:=,.'\t", byte) != nullptr && byte != 0) return 160;
    if (byte >= '0' && byte <= '9') return 100;
    if (byte < 128) return 60;
    // The first bytes of UTF-8 accented letters (C3 for most) and of the typographic marks
    // (E2) turn up in every such character; the bytes after them vary.
    if (byte == 0xC2 || byte == 0xC3 || byte == 0xC5 || byte == 0xE2) return 40;
    return 20;
}

namespace {

bool Contains(std::string_view text, std::string_view piece) {
    return !piece.empty() && text.size() >= piece.size() &&
           platform::FindBytes(text, piece) != std::string_view::npos;
}

}  // namespace

void AsciiUpperInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    auto* dest = reinterpret_cast<unsigned char*>(out.data());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = in[i];
        // Branch-free form so the compiler can vectorise the loop.
        dest[i] = static_cast<unsigned char>(c - (static_cast<unsigned char>(c - 'a') < 26) * 32);
    }
}

std::string AsciiUpper(std::string_view text) {
    std::string out;
    AsciiUpperInto(text, out);
    return out;
}

std::int32_t FindText(std::string_view pattern, std::string_view text) {
    if (pattern.empty() || pattern.size() > text.size()) return 0;
    const std::size_t offset = platform::FindBytes(text, pattern);
    if (offset == std::string_view::npos) return 0;
    // Positions are 32-bit; a hit further in than that is reported as not found rather than
    // as a wrapped, wrong place.
    return offset < INT32_MAX ? static_cast<std::int32_t>(offset + 1) : 0;
}

void AppendDecimal(std::int64_t value, std::string& out) {
    char digits[24];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
    out.append(digits, result.ptr);
}

std::string DecimalText(std::int64_t value) {
    std::string out;
    AppendDecimal(value, out);
    return out;
}

std::string SubText(std::string_view text, std::int32_t index, std::int32_t count) {
    if (text.empty() || count < 0) return {};
    const std::size_t start = index < 1 ? 0 : static_cast<std::size_t>(index) - 1;
    if (start >= text.size()) return {};
    return std::string(text.substr(start, static_cast<std::size_t>(count)));
}

bool IsProcLine(std::string_view text) {
    if (text.size() < 7 || !Contains(text, "(") || !Contains(text, ")")) return false;
    // "PROC " in the upper-cased text: each letter in either case, then one blank. The search
    // runs on the rarer 'C' and 'c', so a long row of blanks costs no more than a memchr.
    for (const char c : {'C', 'c'}) {
        std::size_t at = 3;
        while (at + 1 < text.size()) {
            const auto* hit =
                static_cast<const char*>(std::memchr(text.data() + at, c, text.size() - 1 - at));
            if (hit == nullptr) break;
            at = static_cast<std::size_t>(hit - text.data());
            if (text[at + 1] == ' ' && kUpper[static_cast<unsigned char>(text[at - 3])] == 'P' &&
                kUpper[static_cast<unsigned char>(text[at - 2])] == 'R' &&
                kUpper[static_cast<unsigned char>(text[at - 1])] == 'O')
                return true;
            ++at;
        }
    }
    return false;
}

TextFinder::TextFinder(std::string pattern) : m_pattern(std::move(pattern)) {
    int best = 1000;
    for (std::size_t i = 0; i < m_pattern.size(); ++i) {
        const int rank = ByteCommonness(static_cast<unsigned char>(m_pattern[i]));
        if (rank < best) {
            best = rank;
            m_anchor = i;
        }
    }
    // m_border[i]: the longest proper prefix of the first i + 1 bytes that also ends them.
    m_border.assign(m_pattern.size(), 0);
    for (std::size_t i = 1, k = 0; i < m_pattern.size(); ++i) {
        while (k > 0 && m_pattern[i] != m_pattern[k]) k = m_border[k - 1];
        if (m_pattern[i] == m_pattern[k]) ++k;
        m_border[i] = k;
    }
}

bool TextFinder::IsWholeWordAt(std::string_view text, std::size_t at) const {
    const std::size_t end = at + m_pattern.size();
    return (at == 0 || !IsWordByte(static_cast<unsigned char>(text[at - 1]))) &&
           (end == text.size() || !IsWordByte(static_cast<unsigned char>(text[end])));
}

std::size_t TextFinder::FindWord(std::string_view text, std::size_t from) const {
    const std::size_t m = m_pattern.size();
    const bool wordStart = m > 0 && IsWordByte(static_cast<unsigned char>(m_pattern[0]));
    std::size_t falseStarts = 0;
    const std::size_t budget = m == 0 ? 0 : 16 + text.size() / m;
    while (m > 0 && from < text.size()) {
        std::size_t at = Find(text.substr(from));
        if (at == std::string_view::npos) return at;
        at += from;
        if (IsWholeWordAt(text, at)) return at;
        if (++falseStarts > budget) return FindWordSteadily(text, at + 1);
        from = at + 1;
        // An occurrence that begins with a word byte can only begin a word: none begins before
        // the end of the word this one stands in.
        if (wordStart)
            while (from < text.size() && IsWordByte(static_cast<unsigned char>(text[from - 1])))
                ++from;
    }
    return std::string_view::npos;
}

std::size_t TextFinder::FindWordSteadily(std::string_view text, std::size_t from) const {
    const std::size_t m = m_pattern.size();
    std::size_t matched = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        while (matched > 0 && text[i] != m_pattern[matched]) matched = m_border[matched - 1];
        if (text[i] == m_pattern[matched]) ++matched;
        if (matched < m) continue;
        const std::size_t at = i + 1 - m;
        if (IsWholeWordAt(text, at)) return at;
        matched = m_border[m - 1];
    }
    return std::string_view::npos;
}

std::size_t TextFinder::Find(std::string_view text) const {
    const std::size_t m = m_pattern.size();
    if (m == 0 || m > text.size()) return std::string_view::npos;
    const char* const base = text.data();
    const char anchor = m_pattern[m_anchor];
    // Candidate places for the anchor byte run from m_anchor to the last place the whole
    // pattern still fits.
    const char* scan = base + m_anchor;
    const char* const last = base + (text.size() - m) + m_anchor;
    // Each false start costs at most m compared bytes; once they add up to about the length of
    // the text, the rest goes to FindBytes, whose running time stays linear whatever the input.
    std::size_t falseStarts = 0;
    const std::size_t budget = 16 + text.size() / m;
    while (scan <= last) {
        const auto* hit = static_cast<const char*>(
            std::memchr(scan, anchor, static_cast<std::size_t>(last - scan) + 1));
        if (hit == nullptr) return std::string_view::npos;
        const char* start = hit - m_anchor;
        if (std::memcmp(start, m_pattern.data(), m) == 0)
            return static_cast<std::size_t>(start - base);
        if (++falseStarts > budget) {
            const std::size_t from = static_cast<std::size_t>(start - base) + 1;
            const std::size_t found = platform::FindBytes(text.substr(from), m_pattern);
            return found == std::string_view::npos ? found : from + found;
        }
        scan = hit + 1;
    }
    return std::string_view::npos;
}

}  // namespace sifter
