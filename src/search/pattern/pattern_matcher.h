#pragma once
// A regular expression as the lines are matched against it, by PCRE2.
//
// A line is matched alone, without its line end: '.' takes any character of it (a lone LF of
// a CR file too), '$' stands at its end only. The pattern is UTF-8 and matched in UTF mode,
// where invalid sequences in a line are allowed and match nothing; when its characters beyond
// ASCII all exist in Windows-1252, its Windows-1252 form is matched as bytes as well, and a
// line matches when either form does. Ignoring case is PCRE2's caseless matching. With whole
// words, a match counts only where the bytes before and after it, when there are any, are no
// word bytes (see IsWordByte), as for the plain text. Every match is bounded (see kMatchLimit):
// a line that reaches the bound is too complex to tell and does not match.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/simd/line_keys.h"
#include "search/text/match_rules.h"
#include "search/text/text_matcher.h"

namespace sifter {

// Why a pattern cannot be used under `rules`, in PCRE2's words with the character of the pattern
// where it was found: "missing closing parenthesis at position 7". What is checked is exactly
// what the matcher compiles, the whole-word frame included. Nothing when it compiles.
std::optional<std::string> PatternProblem(std::string_view pattern, MatchRules rules);

enum class LineMatch : std::uint8_t { No, Yes, TooComplex };

// Keeps its own match data, so each thread or view uses an instance of its own.
class PatternMatcher final {
public:
    // PCRE2's work on one line is bounded so that no line takes much more than 50 ms.
    static constexpr std::uint32_t kMatchLimit = 4'000'000;
    static constexpr std::uint32_t kDepthLimit = 20'000;

    // A pattern with a problem (see PatternProblem) matches nothing. `rules.regexp` is not this
    // matcher's to read: the text is a pattern.
    PatternMatcher(std::string_view pattern, MatchRules rules);
    ~PatternMatcher();
    PatternMatcher(const PatternMatcher&) = delete;
    PatternMatcher& operator=(const PatternMatcher&) = delete;

    // An empty pattern matches nothing, as an empty text does.
    bool empty() const { return m_forms.empty(); }
    LineMatch Match(std::string_view line);
    bool Matches(std::string_view line) { return Match(line) == LineMatch::Yes; }
    // The earliest match of either form starting at `from` or after it (the bytes before it
    // seen by lookbehinds and whole words); where both start at the same place, the longer.
    std::optional<MatchSpan> FindFrom(std::string_view line, std::size_t from);

    // The run of bytes every match holds (see RequiredLiteral); empty when there is none.
    const std::string& literal() const { return m_literal; }
    // The scanner's keys for lines that hold the literal (which must outlive them); with no
    // literal every line has to be looked at (LineKeys::everyLine).
    LineKeys Keys() const;

private:
    struct Form;
    // One form's result at `from`, its match put in `span`.
    LineMatch MatchForm(Form& form, std::string_view line, std::size_t from, MatchSpan* span);

    std::vector<std::unique_ptr<Form>> m_forms;
    bool m_caseless = false;
    std::string m_literal;
    std::vector<std::string> m_literalForms;
    struct Context;
    std::unique_ptr<Context> m_context;
};

}  // namespace sifter
