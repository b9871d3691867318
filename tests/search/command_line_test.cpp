#include "search/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace sifter {
namespace {

using namespace std::string_literals;
using Params = std::vector<std::string>;

struct SplitCase {
    std::string line;
    Params parameters;
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheseParameters) {
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().parameters);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitCommandLineTest,
    testing::Values(
        SplitCase{"", {}}, SplitCase{"   ", {}}, SplitCase{"prog a b", {"prog", "a", "b"}},
        SplitCase{"  prog   a  ", {"prog", "a"}}, SplitCase{"prog a\"b c\"d", {"prog", "ab cd"}},
        SplitCase{"prog \"two  words\" /A", {"prog", "two  words", "/A"}},
        SplitCase{"prog \"\" x", {"prog", "x"}}, SplitCase{"prog \"\"\"\" x \"\"", {"prog", "x"}},
        SplitCase{"prog a\"\"b", {"prog", "ab"}}, SplitCase{"prog \"a b", {"prog", "a b"}},
        SplitCase{"prog\ta\x01"
                  "b\x1F"
                  "c\r\nd",
                  {"prog", "a", "b", "c", "d"}},
        SplitCase{"prog a\x7F"
                  "b \xA0x\xE9",
                  {"prog",
                   "a\x7F"
                   "b",
                   "\xA0x\xE9"}},
        SplitCase{"prog a\0b c"s, {"prog", "a"}},
        SplitCase{"\"C:\\Program Files\\s.exe\" C:\\work",
                  {"C:\\Program Files\\s.exe", "C:\\work"}}));

TEST(SplitCommandLineTest, AParameterHoldsAtMost4096BytesOutsideQuotes) {
    const std::string line = "prog " + std::string(5000, 'x') + " y";
    EXPECT_EQ(SplitCommandLine(line),
              (Params{"prog", std::string(4096, 'x'), std::string(904, 'x'), "y"}));
    const std::string exact = "prog " + std::string(4096, 'z') + " y";
    EXPECT_EQ(SplitCommandLine(exact), (Params{"prog", std::string(4096, 'z'), "y"}));
}

TEST(SplitCommandLineTest, AWindowsCommandLineSplitsAtBlanksOutsideQuotesAndNothingElse) {
    EXPECT_EQ(SplitCommandLine("sifter32-cli.exe --pascal \"Z:\\dir with blanks\" begin"),
              (Params{"sifter32-cli.exe", "--pascal", "Z:\\dir with blanks", "begin"}));
    // A backslash escapes nothing: the quote after it ends the quoted stretch.
    EXPECT_EQ(SplitCommandLine("s.exe \"Z:\\dir\\\" begin \\\"x\\\""),
              (Params{"s.exe", "Z:\\dir\\", "begin", "\\x\\"}));
}

struct ParseCase {
    Params parameters;
    std::optional<std::string> directory;
    std::optional<std::string> searchText;
    bool autoSearch;
};

class ParseParamsTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseParamsTest, DecidesDirectoryTextAndAutomaticSearch) {
    const std::set<std::string> directories = {"/work", "src"};
    std::vector<std::string> asked;
    const StartupRequest request = ParseParams(GetParam().parameters, [&](const std::string& name) {
        asked.push_back(name);
        return directories.count(name) > 0;
    });
    EXPECT_EQ(request.directory, GetParam().directory);
    EXPECT_EQ(request.searchText, GetParam().searchText);
    EXPECT_EQ(request.autoSearch, GetParam().autoSearch);
    // Only the first parameter can name the directory; an empty argument is none.
    EXPECT_LE(asked.size(), 1u);
    if (!asked.empty()) {
        const Params& all = GetParam().parameters;
        EXPECT_EQ(asked.front(), *std::find_if(all.begin(), all.end(),
                                               [](const std::string& p) { return !p.empty(); }));
    }
}

const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Table, ParseParamsTest,
    testing::Values(ParseCase{{}, none, none, false}, ParseCase{{"/work"}, "/work", none, false},
                    ParseCase{{"/work", "begin", "end"}, "/work", "begin end", false},
                    ParseCase{{"/work", "begin", "/a"}, "/work", "begin", true},
                    ParseCase{{"begin", "end"}, none, "begin end", false},
                    ParseCase{{"begin", "-A"}, none, "begin", true},
                    ParseCase{{"begin", "-a"}, none, "begin", true},
                    ParseCase{{"/A"}, none, none, false}, ParseCase{{"-A"}, none, none, false},
                    ParseCase{{"/work", "/A"}, "/work", none, false},
                    ParseCase{{"two  words", "/A"}, none, "two  words", true},
                    ParseCase{{"foo", "/A", "bar"}, none, "foo /A bar", false},
                    ParseCase{{"src", "begin"}, "src", "begin", false},
                    ParseCase{{"begin", "src"}, none, "begin src", false},
                    ParseCase{{"/AA"}, none, "/AA", false}, ParseCase{{"A"}, none, "A", false},
                    ParseCase{{"x", "A"}, none, "x A", false},
                    // Empty arguments are no parameters, wherever they stand.
                    ParseCase{{""}, none, none, false}, ParseCase{{"", ""}, none, none, false},
                    ParseCase{{"", "begin"}, none, "begin", false},
                    ParseCase{{"begin", ""}, none, "begin", false},
                    ParseCase{{"a", "", "b"}, none, "a b", false},
                    ParseCase{{"", "/work", "x"}, "/work", "x", false},
                    ParseCase{{"/work", "", "/A"}, "/work", none, false},
                    ParseCase{{"", "/A"}, none, none, false},
                    ParseCase{{"begin", "", "/A", ""}, none, "begin", true},
                    ParseCase{{"caf\xe9", "\xff\x01"}, none, "caf\xe9 \xff\x01", false}));

}  // namespace
}  // namespace sifter
