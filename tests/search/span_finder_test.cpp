// The viewer highlights and steps through the places where the search found its text.

#include "search/span_finder.h"

#include <gtest/gtest.h>

#include "search/text_rules.h"

namespace sifter {
namespace {

using Spans = std::vector<TextSpan>;

Spans AllSpans(const SpanFinder& find, std::string_view line) {
    Spans spans;
    std::size_t from = 0;
    while (auto span = find(line, from)) {
        spans.push_back(*span);
        from = span->offset + std::max<std::size_t>(span->length, 1);
    }
    return spans;
}

TEST(SearchSpans, FindsEveryOccurrenceByTheSearchesCaseRule) {
    const struct {
        std::string text;
        bool caseSensitive;
        std::string line;
        Spans spans;
    } cases[] = {
        {"begin", false, "Begin x BEGIN y begin", {{0, 5}, {8, 5}, {16, 5}}},
        {"begin", true, "Begin x BEGIN y begin", {{16, 5}}},
        {"BEGIN", true, "Begin x BEGIN y begin", {{8, 5}}},
        // Letters beyond a to z keep their case, byte for byte.
        {"caf\xE9", false, "CAF\xC9 caf\xE9 CAF\xE9", {{5, 4}, {10, 4}}},
        // Occurrences do not overlap: the next is looked for after the last one.
        {"aa", false, "aaaaa", {{0, 2}, {2, 2}}},
        {"", false, "anything", {}},
        {"x", false, "", {}},
        {"longer than the line", false, "short", {}},
    };
    for (const auto& c : cases) {
        const SpanFinder find = SearchSpans(c.text, c.caseSensitive);
        EXPECT_EQ(AllSpans(find, c.line), c.spans) << c.text << " in " << c.line;
    }
}

TEST(SearchSpans, ALineHighlightsExactlyWhenTheSearchWouldListIt) {
    const std::string lines[] = {"Result := Total;", "RESULT", "resul t", "", "re\xE9sult", "xRESULTx"};
    for (bool caseSensitive : {false, true}) {
        const SpanFinder find = SearchSpans("Result", caseSensitive);
        for (const std::string& line : lines) {
            const bool listed = caseSensitive ? FindText("Result", line) > 0
                                              : FindText("RESULT", AsciiUpper(line)) > 0;
            EXPECT_EQ(find(line, 0).has_value(), listed) << line << " " << caseSensitive;
        }
    }
}

TEST(SearchSpans, AnotherLineInTheSameBufferIsLookedAtAfresh) {
    const SpanFinder find = SearchSpans("ab", false);
    std::string buffer = "xxab";
    EXPECT_EQ(find(buffer, 0), (TextSpan{2, 2}));
    buffer = "abxx";
    EXPECT_EQ(find(buffer, 0), (TextSpan{0, 2}));
    EXPECT_EQ(find(buffer, 1), std::nullopt);
}

}  // namespace
}  // namespace sifter
