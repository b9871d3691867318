#pragma once
// What a search's text picks out of a line, by the plain text or by the pattern, as the viewer
// asks: whether a line matches, and where each match stands in it.

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "search/pattern/pattern_matcher.h"
#include "search/text/text_matcher.h"

namespace sifter {

// Copies share a pattern's match data: one thread uses a matcher and its copies.
class LineMatcher final {
public:
    LineMatcher(std::string_view text, bool caseSensitive, bool wholeWords = false,
                bool regexp = false)
        : m_text(regexp ? std::string_view() : text, caseSensitive, wholeWords),
          m_pattern(regexp ? std::make_shared<PatternMatcher>(text, caseSensitive, wholeWords)
                           : nullptr) {}

    bool empty() const { return m_pattern ? m_pattern->empty() : m_text.empty(); }
    // A line too complex for the pattern does not match.
    bool Matches(std::string_view line) {
        return m_pattern ? m_pattern->Matches(line) : m_text.Matches(line);
    }
    std::optional<MatchSpan> FindFrom(std::string_view line, std::size_t from) {
        return m_pattern ? m_pattern->FindFrom(line, from) : m_text.FindFrom(line, from);
    }

private:
    TextMatcher m_text;
    std::shared_ptr<PatternMatcher> m_pattern;
};

}  // namespace sifter
