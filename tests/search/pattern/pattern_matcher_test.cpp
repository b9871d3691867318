#include "search/pattern/pattern_matcher.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/pattern/required_literal.h"
#include "search/pattern/start_bytes.h"
#include "test_support.h"

namespace sifter {
namespace {

const std::string kCafeUtf8 = "caf\xC3\xA9";
const std::string kCafe1252 = "caf\xE9";

struct MatchCase {
    const char* what;
    std::string pattern;
    bool caseSensitive;
    bool wholeWords;
    std::string line;
    LineMatch want;
};

TEST(PatternMatcherTest, MatchesEachLineByTheRules) {
    const LineMatch no = LineMatch::No, yes = LineMatch::Yes;
    const MatchCase cases[] = {
        {"a class of characters in a UTF-8 line", "caf[\xC3\xA9\xC3\xA8]", true, false, kCafeUtf8,
         yes},
        {"the class in a Windows-1252 line", "caf[\xC3\xA9\xC3\xA8]", true, false, kCafe1252, yes},
        {"'.' takes a whole UTF-8 character", "^caf.$", true, false, kCafeUtf8, yes},
        {"an ASCII pattern has no Windows-1252 form", "^caf.$", true, false, kCafe1252, no},
        {"a character beyond the code page: no second form", "caf\xC3\xA9\xC5\x91", true, false,
         kCafe1252 + "\xF5", no},
        {"invalid UTF-8 in the line is passed over", "b+c", true, false,
         "a\xFF\xC3"
         "bbc",
         yes},
        {"case kept", "BEGIN", true, false, "begin", no},
        {"case ignored", "BEGIN", false, false, "begin", yes},
        {"case ignored beyond ASCII in UTF-8", "\xC3\x89t\xC3\xA9", false, false,
         "\xC3\xA9t\xC3\xA9", yes},
        {"Windows-1252 bytes fold ASCII only", "\xC3\x89t\xC3\xA9", false, false, "\xE9t\xE9", no},
        {"whole word", "beg\\w*", true, true, "x := begin;", yes},
        {"not a whole word after a letter", "begin", true, true, "xbegin", no},
        {"not a whole word before a byte from 128 up", "begin", true, true, "begin\xC3\xA9", no},
        {"an invalid byte is a word byte", "abc", true, true,
         "\xFF"
         "abc",
         no},
        {"a later match stands alone", "in", true, true, "begin in", yes},
        {"whole words find the match that fits", "a+", true, true, "ba aa", yes},
        {"the empty pattern", "", true, false, "abc", no},
        {"the empty pattern, empty line", "", true, false, "", no},
        {"an empty line", "^$", true, false, "", yes},
        {"a lone LF stays inside the line", "a.b", true, false, "a\nb", yes},
        {"'$' only at the line's end", "a$", true, false, "a\n", no},
        {"'^' only at the line's start", "^b", true, false, "a\nb", no},
        {"a NUL byte", "a\\x00b", true, false, std::string("a\0b", 3), yes},
        {"'.' takes a NUL byte", "^a.b$", true, false, std::string("a\0b", 3), yes},
        {"backtracking within the bounds", "(a|b)*c", true, false, std::string(5000, 'a') + "c",
         yes},
    };
    for (const MatchCase& c : cases) {
        PatternMatcher matcher(c.pattern,
                               {.caseSensitive = c.caseSensitive, .wholeWords = c.wholeWords});
        EXPECT_EQ(matcher.Match(c.line), c.want) << c.what;
    }
}

TEST(PatternMatcherTest, ALineBeyondTheBoundsIsTooComplexAndDoesNotMatch) {
    PatternMatcher matcher("(a+)+$", {.caseSensitive = true});
    EXPECT_EQ(matcher.Match(std::string(100000, 'a') + "b"), LineMatch::TooComplex);
    EXPECT_EQ(matcher.Match("aab"), LineMatch::No);
    EXPECT_EQ(matcher.Match("aaa"), LineMatch::Yes);
    // A match in the other form counts even when one form is too complex.
    PatternMatcher either("\xC3\xA9|(a+)+$", {.caseSensitive = true});
    EXPECT_EQ(either.Match("\xE9" + std::string(100000, 'a') + "b"), LineMatch::Yes);
}

TEST(PatternMatcherTest, FindsEveryMatchForTheViewer) {
    PatternMatcher matcher("a+|\xC3\xA9", {});
    const std::string line = "xAa b\xE9 \xC3\xA9";
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t from = 0; auto span = matcher.FindFrom(line, from);) {
        found.emplace_back(span->offset, span->length);
        from = span->offset + std::max<std::size_t>(span->length, 1);
    }
    const std::vector<std::pair<std::size_t, std::size_t>> want = {{1, 2}, {5, 1}, {7, 2}};
    EXPECT_EQ(found, want);
}

TEST(PatternMatcherTest, NamesTheProblemOfABadPatternWhereItIs) {
    const MatchRules words{.caseSensitive = true, .wholeWords = true};
    const struct {
        std::string pattern;
        MatchRules rules;
        const char* want;
    } cases[] = {
        {"Result(", {}, "missing closing parenthesis at position 7"},
        {"a)", {}, "unmatched closing parenthesis at position 1"},
        {"[a-", {}, "missing terminating ] for character class at position 3"},
        {"x{2,1}", {}, "numbers out of order in {} quantifier at position 5"},
        {"a\\", {}, "\\ at end of pattern at position 2"},
        // The position counts characters, not the bytes of UTF-8.
        {"\xC3\xA9\xC3\xA9(", {}, "missing closing parenthesis at position 3"},
        {"*a", {}, "quantifier does not follow a repeatable item at position 0"},
        // Whole words frame the pattern; a comment to its end swallows the frame's close.
        {"(?x)Result # note", words, "missing closing parenthesis at position 17"},
        {"a)", words, "unmatched closing parenthesis at position 1"},
        {"(*UTF)a)", words, "unmatched closing parenthesis at position 7"},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> problem = PatternProblem(c.pattern, c.rules);
        ASSERT_TRUE(problem.has_value()) << c.pattern;
        EXPECT_EQ(*problem, c.want);
        EXPECT_FALSE(PatternMatcher(c.pattern, c.rules).Matches("Result(a)")) << c.pattern;
    }
    for (const char* good : {"", "a", "Result\\s*:=", "(?i)x", "\\Qa(\\E", "(?x)Result # note"})
        EXPECT_FALSE(PatternProblem(good, {}).has_value()) << good;
    for (const char* good : {"a", "(?x)Result", "\\Qa(", "(*UTF)a"})
        EXPECT_FALSE(PatternProblem(good, words).has_value()) << good;
}

TEST(RequiredLiteralTest, TakesOnlyWhatEveryMatchHolds) {
    const struct {
        const char* pattern;
        bool caseless;
        const char* want;
    } cases[] = {
        {"Result\\s*:=", false, "Result"},
        {"procedure\\s+T\\w+\\.Create", false, "procedure"},
        {"\\bbegin\\b", true, "begin"},
        {"[0-9]{6,}", false, ""},
        {"abc|defg", false, ""},
        {"x(abc|de)yz", false, "yz"},
        {"abcd?", false, "abc"},
        {"abcd*e", false, "abc"},
        {"abcd{0,2}", false, "abc"},
        {"abcd{2}", false, "abcd"},
        {"abcd+xy", false, "abcd"},
        {"ab{x}cd", false, "x}cd"},  // a brace that is no repeat is itself
        {"\\Qa.b(\\Ec", false, "a.b(c"},
        {"\\Qa.b(\\E?c", false, "a.b"},
        {"(?i)abc", false, ""},
        {"abc(*ACCEPT)def", false, ""},
        {"\\x{41}bc\\x41de", false, "bc"},
        {"\\p{Lu}abc", false, "abc"},
        {"tasks", true, "ta"},
        {"caf\xC3\xA9s", false, "caf"},
        {"[ab]cd[\\]x]ef", false, "cd"},
        {"a(?=bcd)", false, "a"},
        {"a\\.b", false, "a.b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RequiredLiteral(c.pattern, c.caseless), c.want) << c.pattern;
}

TEST(StartBytesTest, FindsAByteOfTheBitmapAnywhereInALine) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 3000; ++round) {
        // A few runs of byte values, sometimes more than are compared 16 bytes at a time.
        std::uint8_t bitmap[32] = {};
        const int runs = 1 + static_cast<int>(random() % 7);
        for (int r = 0; r < runs; ++r) {
            const auto first = static_cast<int>(random() % 256);
            const auto last = std::min(255, first + static_cast<int>(random() % 12));
            for (int b = first; b <= last; ++b)
                bitmap[b >> 3] |= static_cast<std::uint8_t>(1 << (b & 7));
        }
        const StartBytes starts(bitmap);
        std::string line(random() % 70, '\0');
        for (char& c : line) c = static_cast<char>(random() % 256);
        bool want = false;
        for (const char c : line) {
            const auto b = static_cast<unsigned char>(c);
            want = want || ((bitmap[b >> 3] >> (b & 7)) & 1) != 0;
        }
        EXPECT_EQ(starts.AnyIn(line), want) << testing::PrintToString(line);
        if (HasFailure()) break;
    }
    EXPECT_TRUE(StartBytes().AnyIn(""));
}

class Collector final : public LineVisitor {
public:
    explicit Collector(PatternMatcher& matcher) : m_matcher(matcher) {}
    void Line(std::int64_t number, std::string_view text) override {
        if (m_matcher.Match(text) != LineMatch::No) matched.emplace(number, std::string(text));
    }
    std::map<std::int64_t, std::string> matched;

private:
    PatternMatcher& m_matcher;
};

std::map<std::int64_t, std::string> Matched(const std::string& bytes, PatternMatcher& matcher,
                                            const LineKeys& keys) {
    test::FakeSystem system;
    system.openRead = [&](const std::string&) {
        return platform::OpenResult{
            std::make_unique<test::FakeFile>(test::FakeFile::Script{.data = bytes},
                                             std::make_shared<test::FileLog>()),
            0};
    };
    LineFile file(system);
    file.OpenRead("scripted");
    Collector collector(matcher);
    file.ScanLines(keys, collector);
    EXPECT_EQ(TakeError(), 0);
    return collector.matched;
}

TEST(PatternMatcherTest, TheCandidateLinesByTheLiteralAreThoseEveryLineGives) {
    const char* const patterns[] = {
        "Result\\s*:=", "\\bbegin\\b", "be+gin", "a.c$",       "^x?yz",     "ab|cd",    "k[ae]y",
        "ss+",          "b\\Q(\\Ex",   "\\d{3}", "[a-c]+\\.d", "y\\x{e9}z", "z\xC3\xA9"};
    const std::string alphabet =
        "abcdegiknrstuxyzBEGINRS(.:= \t\r\n\n\xC3\xA9\xE9\x1a"
        "0123";
    std::mt19937 random(20261210);
    LineKeys everyLine;
    everyLine.everyLine = true;
    for (int round = 0; round < 1500; ++round) {
        std::string bytes;
        const std::size_t length = random() % 400;
        for (std::size_t i = 0; i < length; ++i) {
            char byte = alphabet[random() % alphabet.size()];
            if (byte == '\x1a' && random() % 8 != 0) byte = 'e';
            bytes += byte;
        }
        const char* pattern = patterns[random() % std::size(patterns)];
        const bool caseSensitive = random() % 2 == 0;
        PatternMatcher matcher(pattern,
                               {.caseSensitive = caseSensitive, .wholeWords = random() % 3 == 0});
        EXPECT_EQ(Matched(bytes, matcher, matcher.Keys()), Matched(bytes, matcher, everyLine))
            << pattern << (caseSensitive ? "" : ", case ignored") << " in "
            << testing::PrintToString(bytes);
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace sifter
