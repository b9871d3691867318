#include "search/text/text_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace sifter {
namespace {

using namespace std::string_literals;

TEST(AsciiUpperTest, UpperCasesOnlyTheLettersAToZ) {
    EXPECT_EQ(AsciiUpper("abc-xyz \xE9"), "ABC-XYZ \xE9");
    EXPECT_EQ(AsciiUpper("`az{AZ@[\xFF\xE0"), "`AZ{AZ@[\xFF\xE0");
    EXPECT_EQ(AsciiUpper("a\0b"s), "A\0B"s);
    EXPECT_EQ(AsciiUpper(""), "");
}

TEST(AsciiUpperTest, LeavesEveryByteOutsideTheLowerCaseLettersAlone) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const bool lower = byte >= 'a' && byte <= 'z';
        const std::string expected(1, static_cast<char>(lower ? byte - 32 : byte));
        EXPECT_EQ(AsciiUpper(one), expected) << "byte " << byte;
    }
}

TEST(AsciiUpperTest, ReusedBufferTakesTheLengthOfEachNewText) {
    std::string out;
    AsciiUpperInto("a long first line", out);
    AsciiUpperInto("ok", out);
    EXPECT_EQ(out, "OK");
    AsciiUpperInto("", out);
    EXPECT_EQ(out, "");
}

struct FindCase {
    std::string pattern;
    std::string text;
    std::int32_t position;
};

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, GivesTheOneBasedPlaceOfTheFirstOccurrence) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindText(c.pattern, c.text), c.position);
}

INSTANTIATE_TEST_SUITE_P(Table, FindTextTest,
                         testing::Values(FindCase{"", "abc", 0}, FindCase{"b", "", 0},
                                         FindCase{"", "", 0}, FindCase{"bc", "abcbc", 2},
                                         FindCase{"abcd", "abc", 0}, FindCase{"abc", "abc", 1},
                                         FindCase{"c", "abc", 3}, FindCase{"C", "abc", 0},
                                         FindCase{"x", "abc", 0}, FindCase{"aab", "aaab", 2},
                                         FindCase{"\0b"s, "a\0b"s, 2},
                                         FindCase{"\xC9", "\xE9\xC9", 2}, FindCase{" ", "a b", 2}));

TEST(DecimalTextTest, WritesPlainDigitsWithASignOnlyWhenNegative) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-5), "-5");
    EXPECT_EQ(DecimalText(1234), "1234");
    EXPECT_EQ(DecimalText(1000000), "1000000");
    EXPECT_EQ(DecimalText(INT32_MAX), "2147483647");
    EXPECT_EQ(DecimalText(INT32_MIN), "-2147483648");
    std::string out = "[";
    AppendDecimal(12, out);
    EXPECT_EQ(out, "[12");
}

struct SubCase {
    std::string text;
    std::int32_t index;
    std::int32_t count;
    std::string expected;
};

class SubTextTest : public testing::TestWithParam<SubCase> {};

TEST_P(SubTextTest, TakesAtMostCountBytesFromTheIndexOn) {
    const SubCase& c = GetParam();
    EXPECT_EQ(SubText(c.text, c.index, c.count), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SubTextTest,
                         testing::Values(SubCase{"abc", 0, 2, "ab"}, SubCase{"abc", 4, 1, ""},
                                         SubCase{"abc", 2, 10, "bc"}, SubCase{"abc", 2, -1, ""},
                                         SubCase{"abc", -7, 1, "a"}, SubCase{"abc", 3, 1, "c"},
                                         SubCase{"abc", 1, 0, ""}, SubCase{"", 1, 5, ""},
                                         SubCase{"abc", 1, INT32_MAX, "abc"},
                                         SubCase{"abc", INT32_MAX, 1, ""},
                                         SubCase{"abc", INT32_MIN, 2, "ab"}));

struct ProcCase {
    std::string line;
    bool isProc;
};

class IsProcLineTest : public testing::TestWithParam<ProcCase> {};

TEST_P(IsProcLineTest, NeedsProcFollowedByABlankAndBothParentheses) {
    EXPECT_EQ(IsProcLine(GetParam().line), GetParam().isProc) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsProcLineTest,
    testing::Values(ProcCase{"proc Foo(x)", true}, ProcCase{"procedure Foo(x)", false},
                    ProcCase{"PROC Foo", false}, ProcCase{"endproc ; (end of Foo)", true},
                    ProcCase{"; see PROC Bar()", true}, ProcCase{"PrOc ()", true},
                    ProcCase{")( proc x", true}, ProcCase{"proc (", false},
                    ProcCase{"proc )", false}, ProcCase{"proc\tFoo()", false},
                    ProcCase{"proc", false}, ProcCase{"", false}, ProcCase{"(x) xproc y", true},
                    ProcCase{"pro c Foo()", false}, ProcCase{"\xF0ROC ()", false}));

// The finder must agree with FindText on every input, whichever of its paths it takes.
void ExpectFinderAgrees(const std::string& pattern, const std::string& text) {
    const std::int32_t position = FindText(pattern, text);
    const std::size_t expected =
        position == 0 ? std::string::npos : static_cast<std::size_t>(position - 1);
    EXPECT_EQ(TextFinder(pattern).Find(text), expected)
        << "pattern of " << pattern.size() << " bytes in a text of " << text.size();
}

TEST(TextFinderTest, AgreesWithFindTextOnRandomTextsOfFewDistinctBytes) {
    std::mt19937 random(20240611);
    const std::string alphabets[] = {"ab", "abc", "e ", "q\xE9z", "\0\r\n\x1A"s};
    for (const std::string& alphabet : alphabets) {
        std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
        const auto make = [&](std::size_t length) {
            std::string s;
            for (std::size_t i = 0; i < length; ++i) s += alphabet[pick(random)];
            return s;
        };
        for (int round = 0; round < 400; ++round) {
            const std::string text = make(random() % 300);
            const std::string pattern = make(1 + random() % 12);
            ExpectFinderAgrees(pattern, text);
            if (!text.empty()) {
                const std::size_t from = random() % text.size();
                ExpectFinderAgrees(text.substr(from, 1 + random() % 40), text);
            }
        }
    }
}

TEST(TextFinderTest, AgreesWithFindTextOnRepetitiveTextsAndLongPatterns) {
    const std::string qs(5000, 'q');
    ExpectFinderAgrees(std::string(40, 'q') + "z", qs);
    ExpectFinderAgrees(std::string(40, 'q') + "z", qs + "z");
    ExpectFinderAgrees("qz", qs + "z" + qs + "z");
    ExpectFinderAgrees(std::string(300, 'q'), qs);
    ExpectFinderAgrees(qs, qs);
    ExpectFinderAgrees(qs + "q", qs);
    std::string periodic;
    for (int i = 0; i < 2000; ++i) periodic += "abcab";
    ExpectFinderAgrees("abcababcabX", periodic);
    ExpectFinderAgrees("abcababcabc", periodic);
    ExpectFinderAgrees(periodic.substr(7, 900) + "c", periodic + "c");
    ExpectFinderAgrees("z", "z");
    ExpectFinderAgrees("zz", "z");
    EXPECT_TRUE(TextFinder("").empty());
    EXPECT_FALSE(TextFinder("").FoundIn("anything"));
}

TEST(IsProcLineTest, AgreesWithTheUpperCasedSearchOnRandomLines) {
    std::mt19937 random(11);
    const std::string alphabet = "pProOcC ()x\xe9";
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const std::size_t length = random() % 24;
        for (std::size_t i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
        const bool expected = FindText("PROC ", AsciiUpper(line)) > 0 && FindText("(", line) > 0 &&
                              FindText(")", line) > 0;
        ASSERT_EQ(IsProcLine(line), expected) << line;
    }
}

}  // namespace
}  // namespace sifter
