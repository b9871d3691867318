#include "search/pascal/pascal_kinds.h"

#include <algorithm>

namespace sifter {

PascalKinds::PascalKinds(const LineIndex& lines, SearchIn in) : m_in(in) {
    PascalLexer lexer;
    m_starts.reserve(static_cast<std::size_t>(lines.LineCount()));
    for (std::int64_t i = 0; i < lines.LineCount(); ++i) {
        m_starts.push_back(lexer.Saved());
        lexer.Line(i + 1, lines.Line(i), nullptr);
    }
}

std::optional<MatchSpan> PascalKinds::FindFrom(LineMatcher& matcher, std::int64_t index,
                                               std::string_view line, std::size_t from) {
    if (index < 0 || index >= static_cast<std::int64_t>(m_starts.size())) return std::nullopt;
    if (index != m_known) {
        PascalLexer lexer;
        lexer.Restore(m_starts[static_cast<std::size_t>(index)]);
        lexer.Line(index + 1, line, &m_kinds);
        m_known = index;
    }
    for (std::optional<MatchSpan> span = matcher.FindFrom(line, from); span;
         span = matcher.FindFrom(line, span->offset + 1)) {
        // An empty match at the line's end lies in what the last byte lies in.
        if (line.empty()) return m_in.code ? span : std::nullopt;
        if (m_in.Has(m_kinds[std::min(span->offset, line.size() - 1)])) return span;
        if (span->offset >= line.size()) break;
    }
    return std::nullopt;
}

}  // namespace sifter
