#pragma once
// The occurrences of a search text that count in a Pascal source held whole, for the viewer:
// those that start in the kinds of text a search was asked to look in (see pascal_lexer.h).
// The file is lexed once, keeping the lexer's state at each line's start (a byte a line), so
// that the kinds of any line are found again from that line alone.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "search/lines/line_index.h"
#include "search/pascal/pascal_lexer.h"
#include "search/pattern/line_matcher.h"

namespace sifter {

class PascalKinds final {
public:
    PascalKinds(const LineIndex& lines, SearchIn in);

    // The first occurrence that `matcher` finds in `line`, the file's line `index` (from 0), at
    // `from` or after it, that starts in a kind asked for.
    std::optional<MatchSpan> FindFrom(LineMatcher& matcher, std::int64_t index,
                                      std::string_view line, std::size_t from);

private:
    SearchIn m_in;
    std::vector<std::uint8_t> m_starts;  // the lexer's state at each line's start
    std::int64_t m_known = -1;           // the line whose kinds m_kinds holds
    std::vector<PascalKind> m_kinds;
};

}  // namespace sifter
