#pragma once
// The rule for the forms of a search text in its plainest form, for the matcher's tests and
// fuzz target: a table of the code page's characters as UTF-8 text, and a line matched by
// trying each form in turn.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/text/text_matcher.h"

namespace sifter::test {

// The Windows-1252 bytes of `text`, found by taking it apart into ASCII bytes and the UTF-8
// sequences of the code page's characters; nothing when that fails or the text is ASCII only.
std::optional<std::string> ModelWindows1252(std::string_view text);

// The text, then its Windows-1252 form when it has one; upper-cased when case is ignored.
std::vector<std::string> ModelForms(std::string_view text, bool caseSensitive);

// The earliest occurrence of a form at `from` or after it (the longer one where two start
// together), by trying every form at every place. With whole words, only occurrences with no
// ASCII letter or digit, '_' or byte from 128 up right before or after them count.
std::optional<MatchSpan> ModelFindFrom(const std::vector<std::string>& forms, std::string_view line,
                                       std::size_t from, bool caseSensitive,
                                       bool wholeWords = false);

// A regular expression that matches `text` byte for byte: every byte but ASCII letters and digits
// escaped with a backslash.
std::string EscapedPattern(std::string_view text);

// Whether a line holds a key of the scan: a lead byte with a follower right after it (a lead
// alone when there are no followers), or an alternative byte.
bool ModelHoldsKey(std::string_view line, const LineKeys& keys);

}  // namespace sifter::test
