#pragma once
// How a search's text is matched against a line, as one value: `{.wholeWords = true}` says at
// a call what three booleans in a row would not.

namespace sifter {

struct MatchRules {
    // Letter case counts; otherwise 'a' to 'z' match their capitals (PCRE2's caseless matching
    // for a pattern).
    bool caseSensitive = false;
    // An occurrence counts only where the bytes before and after it, when there are any, are no
    // word bytes (see IsWordByte).
    bool wholeWords = false;
    // The text is a regular expression (see pattern_matcher.h).
    bool regexp = false;
    friend bool operator==(const MatchRules&, const MatchRules&) = default;
};

}  // namespace sifter
