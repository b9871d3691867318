#pragma once
// The search text as the lines are matched against it.
//
// A text that is valid UTF-8 and holds characters beyond ASCII, all of which Windows-1252 has,
// is looked for in two forms: its own bytes and its Windows-1252 bytes, as the legacy sources
// hold it. Any other text has one form, its bytes as they stand. Ignoring case folds 'a' to 'z'
// only, in the forms and in the line alike. With whole words, an occurrence counts only where
// the bytes before and after it, when there are any, are no word bytes (see IsWordByte).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/simd/line_keys.h"
#include "search/text/match_rules.h"
#include "search/text/text_rules.h"

namespace sifter {

struct MatchSpan {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Keeps its own scratch buffer, so each thread or view uses an instance of its own; copies are
// independent.
class TextMatcher final {
public:
    // The text is taken as it stands: `rules.regexp` is not this matcher's to read.
    TextMatcher(std::string_view text, MatchRules rules);

    // An empty text matches nothing.
    bool empty() const { return m_finders.empty(); }
    bool Matches(std::string_view line);
    // The earliest occurrence of any form at `from` or after it (the byte before `from` telling
    // whether a word goes on there); where two forms start at the same place, the longer.
    // Nothing when there is none.
    std::optional<MatchSpan> FindFrom(std::string_view line, std::size_t from);

    // The forms looked for, upper-cased when case is ignored; the text's own bytes first.
    const std::vector<std::string>& forms() const { return m_forms; }
    // Lead and follower bytes that every line holding a form holds (see LineKeys).
    LineKeys Keys() const;

private:
    // The line as it is compared: upper-cased into the scratch buffer when case is ignored.
    std::string_view Compared(std::string_view line);

    bool m_ignoreCase = true;
    bool m_wholeWords = false;
    std::vector<std::string> m_forms;
    std::vector<TextFinder> m_finders;
    std::string m_upper;
};

}  // namespace sifter
