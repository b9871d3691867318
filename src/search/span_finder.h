#pragma once
// Where a line holds the search text: what the viewer highlights and steps through. It is the
// search's own rule, so that a line highlights exactly when the search listed it.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sifter {

struct TextSpan {
    std::size_t offset = 0;
    std::size_t length = 0;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// The first occurrence in `line` that starts at `from` or later, if any. A line is looked
// through from 0 first; later places in the same line then reuse what that call prepared.
using SpanFinder = std::function<std::optional<TextSpan>(std::string_view line, std::size_t from)>;

// The search's matching: the text as typed, byte for byte, with the letters a to z taken for
// their capitals when `caseSensitive` is off. An empty text is found nowhere.
SpanFinder SearchSpans(const std::string& text, bool caseSensitive);

}  // namespace sifter
