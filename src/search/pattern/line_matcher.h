#pragma once
// What a search's text picks out of a line, by the plain text or by the pattern as the rules
// say: whether a line matches, where each match stands in it, and which lines the scanner must
// hand over for it. The search's scanner and the viewer both ask it, so both read a text alike.

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "search/pattern/pattern_matcher.h"
#include "search/simd/line_keys.h"
#include "search/text/match_rules.h"
#include "search/text/text_matcher.h"

namespace sifter {

// Copies share a pattern's match data: one thread uses a matcher and its copies.
class LineMatcher final {
public:
    LineMatcher(std::string_view text, MatchRules rules)
        : m_text(rules.regexp ? std::string_view() : text, rules),
          m_pattern(rules.regexp ? std::make_shared<PatternMatcher>(text, rules) : nullptr) {}

    bool empty() const { return m_pattern ? m_pattern->empty() : m_text.empty(); }
    // Only a pattern can find a line too complex to tell.
    LineMatch Match(std::string_view line) {
        if (m_pattern) return m_pattern->Match(line);
        return m_text.Matches(line) ? LineMatch::Yes : LineMatch::No;
    }
    // A line too complex for the pattern does not match.
    bool Matches(std::string_view line) { return Match(line) == LineMatch::Yes; }
    std::optional<MatchSpan> FindFrom(std::string_view line, std::size_t from) {
        return m_pattern ? m_pattern->FindFrom(line, from) : m_text.FindFrom(line, from);
    }
    // The scanner's keys; they refer to this matcher, which must outlive them.
    LineKeys Keys() const { return m_pattern ? m_pattern->Keys() : m_text.Keys(); }

private:
    TextMatcher m_text;
    std::shared_ptr<PatternMatcher> m_pattern;
};

}  // namespace sifter
