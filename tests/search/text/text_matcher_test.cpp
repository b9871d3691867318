#include "search/text/text_matcher.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "search/text/windows1252.h"
#include "text_model.h"

namespace sifter {
namespace {

using Forms = std::vector<std::string>;

// Accented and typographic characters in UTF-8, as typed.
const std::string kCafe = "caf\xC3\xA9";
const std::string kEuro = "\xE2\x82\xAC";
const std::string kDblAcuteO = "\xC5\x91";  // o with double acute: not in Windows-1252
const std::string kArrow = "\xE2\x86\x92";
const std::string kNextLine = "\xC2\x85";  // U+0085, a C1 control
const std::string kEllipsis = "\xE2\x80\xA6";

struct FormsCase {
    const char* what;
    std::string text;
    bool caseSensitive;
    Forms forms;
};

TEST(TextMatcherTest, LooksForTheWindows1252FormOnlyOfUtf8TextThatTheCodePageHolds) {
    const FormsCase cases[] = {
        {"ASCII", "Begin", false, {"BEGIN"}},
        {"accented, case ignored", kCafe, false, {"CAF\xC3\xA9", "CAF\xE9"}},
        {"accented, case kept", kCafe, true, {kCafe, "caf\xE9"}},
        {"only characters beyond ASCII",
         "\xC3\xA9\xC3\xA0",
         true,
         {"\xC3\xA9\xC3\xA0", "\xE9\xE0"}},
        {"the euro sign",
         kEuro + "5",
         false,
         {kEuro + "5",
          "\x80"
          "5"}},
        {"no-break space and y diaeresis",
         "\xC2\xA0\xC3\xBF",
         true,
         {"\xC2\xA0\xC3\xBF", "\xA0\xFF"}},
        {"a character outside the code page", "n" + kDblAcuteO, true, {"n" + kDblAcuteO}},
        {"an arrow beside a held character", kCafe + kArrow, true, {kCafe + kArrow}},
        {"a C1 control", "a" + kNextLine, true, {"a" + kNextLine}},
        {"the ellipsis that shares its byte", "a" + kEllipsis, true, {"a" + kEllipsis, "a\x85"}},
        {"not UTF-8: the bytes as they stand", "caf\xE9", false, {"CAF\xE9"}},
        {"a lone lead byte", "\xC3", true, {"\xC3"}},
        {"an overlong slash", "\xC0\xAF", true, {"\xC0\xAF"}},
        {"a surrogate", "\xED\xA0\x80", true, {"\xED\xA0\x80"}},
        {"empty", "", false, {}},
    };
    for (const FormsCase& c : cases) {
        const TextMatcher matcher(c.text, {.caseSensitive = c.caseSensitive});
        EXPECT_EQ(matcher.forms(), c.forms) << c.what;
        EXPECT_EQ(matcher.empty(), c.forms.empty()) << c.what;
    }
}

// Every character from U+0000 to beyond the last plane, in UTF-8, with its byte in the code page
// as the character table gives it.
std::string Utf8(char32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800) return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    if (c < 0x10000)
        return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
            static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(Windows1252Test, AgreesWithTheCharacterTableOnEveryCharacter) {
    int held = 0;
    for (char32_t c = 0; c < 0x110000; c = c < 0x3000 ? c + 1 : c + 97) {
        if (c >= 0xD800 && c < 0xE000) continue;
        const std::string text = "x" + Utf8(c);
        const std::optional<std::string> model = test::ModelWindows1252(text);
        ASSERT_EQ(Windows1252Form(text), model)
            << "U+" << std::hex << static_cast<std::uint32_t>(c);
        held += model ? 1 : 0;
    }
    // 96 characters of the upper half, 27 of the row 0x80 to 0x9F.
    EXPECT_EQ(held, 96 + 27);
    // Every byte stands for a character that leads back to it, but for the five holes, which
    // stand for their C1 controls, which the code page does not hold.
    int holes = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t c = Windows1252Char(static_cast<unsigned char>(byte));
        const std::optional<unsigned char> back = Windows1252Byte(c);
        if (!back) {
            EXPECT_EQ(c, static_cast<char32_t>(byte));
            ++holes;
        } else {
            EXPECT_EQ(*back, byte);
        }
    }
    EXPECT_EQ(holes, 5);
}

struct MatchCase {
    const char* what;
    std::string text;
    bool caseSensitive;
    std::string line;
    std::optional<MatchSpan> first;  // the earliest occurrence from 0
    bool wholeWords = false;
};

std::optional<MatchSpan> At(std::size_t offset, std::size_t length) {
    return MatchSpan{offset, length};
}

TEST(TextMatcherTest, FindsEitherFormFoldingOnlyAToZ) {
    const MatchCase cases[] = {
        {"UTF-8 line", kCafe, false, "un " + kCafe + " noir", At(3, 5)},
        {"Windows-1252 line", kCafe, false, "le caf\xE9", At(3, 4)},
        {"letters a to z fold", kCafe, false, "CaF\xE9 x", At(0, 4)},
        {"case kept", kCafe, true, "CAF\xE9", std::nullopt},
        {"e acute is not folded", kCafe, false, "CAF\xC9", std::nullopt},
        {"nor in UTF-8", kCafe, false, "CAF\xC3\x89", std::nullopt},
        {"the earlier of two forms", kCafe, false, "caf\xE9 " + kCafe, At(0, 4)},
        {"the euro in either form", kEuro, true, "5 \x80", At(2, 1)},
        {"outside the code page: UTF-8 only", kDblAcuteO, true, "\xF5 o " + kDblAcuteO, At(4, 2)},
        {"an arrow has no single byte", kArrow, true, "-> \x1A \x92", std::nullopt},
        {"a C1 control is not the ellipsis", kNextLine, true, "\x85", std::nullopt},
        {"the ellipsis is", kEllipsis, true, "wait\x85", At(4, 1)},
        {"not UTF-8 finds only its bytes", "caf\xE9", false, "CAF\xC3\xA9 caf\xE9", At(6, 4)},
        {"only non-ASCII text", "\xC3\xA9", true, "\xE9t\xE9", At(0, 1)},
        // The Windows-1252 form of "A tilde, f hook" is the start of the UTF-8 one.
        {"the longer where both start", "\xC3\x83\xC6\x92", true, "\xC3\x83\xC6\x92", At(0, 4)},
        {"empty text", "", false, "anything", std::nullopt},
        {"empty line", kCafe, false, "", std::nullopt},
        // Whole words: no letter, digit, '_' or byte from 128 up right before or after.
        {"a whole word at the start of a line", "Result", true, "Result:=0", At(0, 6), true},
        {"and at its end", "Result", true, "x:=Result", At(3, 6), true},
        {"next to _ is inside a word", "Result", true, "Result_ _Result Result", At(16, 6), true},
        {"next to a digit too", "Result", true, "Result2 2Result", std::nullopt, true},
        {"a longer word holds no occurrence", "Result", true, "Results ResultCode", std::nullopt,
         true},
        {"bytes from 128 up are letters", "caf", true, "caf\xC3\xA9 caf\xE9 caf", At(11, 3), true},
        {"one before too", "x", true, "\xE9x \xC3\xA9x x", At(7, 1), true},
        {"the UTF-8 form as a whole word", kCafe, false, "CAF\xC3\xA9S un caf\xC3\xA9", At(10, 5),
         true},
        {"the Windows-1252 form as a whole word", kCafe, true, "caf\xE9s caf\xE9.", At(6, 4), true},
        {"case ignored: a to z fold", "result", false, "RESULTS Result", At(8, 6), true},
        {"case kept", "result", true, "Result result", At(7, 6), true},
        {"a text without letters still needs no word around it", ":=", true, "a:=b c := d",
         At(7, 2), true},
        {"an occurrence overlapping one that failed", "aa", true, "aaa aa", At(4, 2), true},
        {"blanks around the text count as its own", " x ", true, "a x b x c", std::nullopt, true},
    };
    for (const MatchCase& c : cases) {
        TextMatcher matcher(c.text, {.caseSensitive = c.caseSensitive, .wholeWords = c.wholeWords});
        EXPECT_EQ(matcher.Matches(c.line), c.first.has_value()) << c.what;
        const std::optional<MatchSpan> found = matcher.FindFrom(c.line, 0);
        ASSERT_EQ(found.has_value(), c.first.has_value()) << c.what;
        if (found) {
            EXPECT_EQ(found->offset, c.first->offset) << c.what;
            EXPECT_EQ(found->length, c.first->length) << c.what;
        }
    }
}

TEST(TextMatcherTest, FindFromWalksEveryOccurrenceOfBothForms) {
    TextMatcher matcher(kCafe, {});
    const std::string line = "Caf\xE9, " + kCafe + "s, CAF\xE9";
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (auto span = matcher.FindFrom(line, 0); span;
         span = matcher.FindFrom(line, span->offset + span->length))
        spans.emplace_back(span->offset, span->length);
    EXPECT_EQ(spans, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}, {6, 5}, {14, 4}}));
    EXPECT_FALSE(matcher.FindFrom(line, line.size()));
    EXPECT_FALSE(matcher.FindFrom(line, line.size() + 5));
}

TEST(TextMatcherTest, WholeWordsFromAPlaceLookAtTheByteBeforeIt) {
    TextMatcher matcher("Result", {.caseSensitive = true, .wholeWords = true});
    const std::string line = "xResult Result";
    const struct {
        std::size_t from;
        std::optional<std::size_t> at;
    } cases[] = {{0, 8}, {1, 8}, {7, 8}, {8, 8}, {9, std::nullopt}};
    for (const auto& c : cases) {
        const std::optional<MatchSpan> found = matcher.FindFrom(line, c.from);
        ASSERT_EQ(found.has_value(), c.at.has_value()) << c.from;
        if (found) {
            EXPECT_EQ(found->offset, *c.at) << c.from;
        }
    }
    // The steady way takes over from the quick one where occurrences that fail pile up, and
    // finds the same.
    const std::string crowded = std::string(5000, 'a') + " aa";
    TextMatcher pair("aa", {.caseSensitive = true, .wholeWords = true});
    const std::optional<MatchSpan> found = pair.FindFrom(crowded, 0);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->offset, 5001u);
    EXPECT_FALSE(pair.Matches(std::string(5000, 'a')));
}

std::string Pick(std::mt19937& random, const std::vector<std::string>& pieces, std::size_t most) {
    std::string out;
    const std::size_t count = random() % (most + 1);
    for (std::size_t i = 0; i < count; ++i) out += pieces[random() % pieces.size()];
    return out;
}

// Random texts and lines of telling pieces against the model: the same answer, the same
// earliest occurrence from any place, and every matching line holding the scan's keys.
TEST(TextMatcherTest, AgreesWithTheModelOnRandomTextsAndLines) {
    const std::vector<std::string> pieces = {
        "a",    "B",        "c",    "e",        " ",        "\xC3\xA9", "\xC3\x89", "\xE9",
        "\xC9", kEuro,      "\x80", kDblAcuteO, "\xF5",     kArrow,     "\x92",     kNextLine,
        "\x85", kEllipsis,  "\xC3", "\xA9",     "\xC3\x83", "\xC6\x92", "\x83",     "\xC5",
        "\xE2", "\xC2\xA0", "\xA0", "_",        "7",        ".",        "e "};
    // Texts are mostly valid UTF-8, so that many have two forms.
    const std::vector<std::string> characters = {
        "a",        "B",    "e",       " ",       "\xC3\xA9", "\xC3\x89", kEuro,
        kDblAcuteO, kArrow, kNextLine, kEllipsis, "\xC3\x83", "\xC6\x92", "\xC2\xA0"};
    std::mt19937 random(8001);
    int matched = 0, twoForms = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = Pick(random, round % 4 == 0 ? pieces : characters, 4);
        const bool caseSensitive = random() % 2 == 0;
        const bool wholeWords = round % 3 == 0;
        TextMatcher matcher(text, {.caseSensitive = caseSensitive, .wholeWords = wholeWords});
        const std::vector<std::string> forms = test::ModelForms(text, caseSensitive);
        ASSERT_EQ(matcher.forms(), forms);
        twoForms += forms.size() > 1 ? 1 : 0;
        const LineKeys keys = matcher.Keys();
        for (int l = 0; l < 20; ++l) {
            std::string line = Pick(random, pieces, 10);
            // Plant a form, in the other case now and then, so that many lines match.
            if (!forms.empty() && random() % 2 == 0) {
                std::string planted = forms[random() % forms.size()];
                if (random() % 2 == 0)
                    for (char& ch : planted)
                        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                line.insert(random() % (line.size() + 1), planted);
            }
            const std::optional<MatchSpan> first =
                test::ModelFindFrom(forms, line, 0, caseSensitive, wholeWords);
            ASSERT_EQ(matcher.Matches(line), first.has_value()) << text << " in " << line;
            matched += first ? 1 : 0;
            if (first) {
                ASSERT_TRUE(test::ModelHoldsKey(line, keys)) << text << " in " << line;
            }
            const std::size_t from = random() % (line.size() + 1);
            const auto found = matcher.FindFrom(line, from);
            const auto expected = test::ModelFindFrom(forms, line, from, caseSensitive, wholeWords);
            ASSERT_EQ(found.has_value(), expected.has_value())
                << text << " in " << line << " from " << from;
            if (found) {
                ASSERT_EQ(found->offset, expected->offset) << text << " in " << line;
                ASSERT_EQ(found->length, expected->length) << text << " in " << line;
            }
        }
    }
    // The pieces must have made both kinds of text and many matches.
    EXPECT_GT(twoForms, 600);
    EXPECT_GT(matched, 15000);
}

}  // namespace
}  // namespace sifter
