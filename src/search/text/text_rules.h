#pragma once
// The byte-string rules used to match and to format rows. Positions are 1-based.

#include <cstdint>
#include <string>
#include <string_view>

namespace sifter {

// Upper-cases 'a' to 'z' only; every other byte, those above 127 included, stays as it is.
std::string AsciiUpper(std::string_view text);
// The same into a buffer the caller reuses, so a hot loop allocates nothing per line.
void AsciiUpperInto(std::string_view text, std::string& out);

// Position of the first occurrence of `pattern` in `text`; 0 when there is none, and always
// 0 for an empty pattern.
std::int32_t FindText(std::string_view pattern, std::string_view text);

std::string DecimalText(std::int64_t value);
void AppendDecimal(std::int64_t value, std::string& out);

// At most `count` bytes from `index` on; an index below 1 counts as 1.
std::string SubText(std::string_view text, std::int32_t index, std::int32_t count);

// True when the upper-cased text holds "PROC " and the text holds "(" and ")", anywhere and
// in any order.
bool IsProcLine(std::string_view text);

// A rough rank of how often a byte turns up in source text (higher is more common): a search
// anchors on the rarest bytes of its pattern, as fewer false starts follow.
int ByteCommonness(unsigned char byte);

// A pattern prepared once for many texts: finds it as `FindText` does, faster on short lines,
// and never slower than linear however the bytes are arranged.
class TextFinder final {
public:
    explicit TextFinder(std::string pattern);
    bool empty() const { return m_pattern.empty(); }
    // Offset of the first occurrence, or npos.
    std::size_t Find(std::string_view text) const;
    bool FoundIn(std::string_view text) const { return Find(text) != std::string_view::npos; }

private:
    std::string m_pattern;
    std::size_t m_anchor = 0;  // offset in the pattern of its least common byte
};

}  // namespace sifter
