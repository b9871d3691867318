#include "app/cli_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/cli_option_table.h"

namespace sifter::cli {
namespace {

using Args = std::vector<std::string>;
using Action = Options::Action;

struct SearchCase {
    Args arguments;
    std::string directory;
    std::string text;
    FileType fileType;
    bool caseSensitive;
    bool procs;
    struct Project {
        SearchOptions options;
        bool wholeWords = false;
        bool regexp = false;
        friend bool operator==(const Project&, const Project&) = default;
    } project = {};
};

class CliSearchOptionsTest : public testing::TestWithParam<SearchCase> {};

TEST_P(CliSearchOptionsTest, GiveThisSearch) {
    const SearchCase& c = GetParam();
    const Options options = ParseOptions(c.arguments);
    ASSERT_EQ(options.action, Action::Search) << options.error;
    EXPECT_EQ(options.directory, c.directory);
    EXPECT_EQ(options.request.text, c.text);
    EXPECT_EQ(options.request.fileType, c.fileType);
    EXPECT_EQ(options.request.rules.caseSensitive, c.caseSensitive);
    EXPECT_EQ(options.request.includeProcs, c.procs);
    EXPECT_EQ(options.form, OutputForm::Rows);
    const SearchCase::Project got{options.request.options, options.request.rules.wholeWords,
                                  options.request.rules.regexp};
    EXPECT_TRUE(got == c.project);
}

SearchCase::Project Project(bool subdirectories, bool wholeWords, std::string scripts = "*.sc",
                            std::string pascal = "*.pas") {
    return {{subdirectories, {std::move(scripts), std::move(pascal)}}, wholeWords};
}

SearchCase::Project Pattern() {
    return {.regexp = true};
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliSearchOptionsTest,
    testing::Values(
        SearchCase{{"dir", "text"}, "dir", "text", FileType::Pascal, false, false},
        SearchCase{{"--pascal", "dir", "text"}, "dir", "text", FileType::Pascal, false, false},
        SearchCase{{"--scripts", "dir", "text"}, "dir", "text", FileType::Scripts, false, false},
        SearchCase{{"--case-sensitive", "d", "Tx"}, "d", "Tx", FileType::Pascal, true, false},
        SearchCase{{"--scripts", "--procs", "d", "t"}, "d", "t", FileType::Scripts, false, true},
        SearchCase{{"d", "--procs", "t", "--scripts"}, "d", "t", FileType::Scripts, false, true},
        SearchCase{{"--", "d", "-x"}, "d", "-x", FileType::Pascal, false, false},
        SearchCase{{"d", "--", "--help"}, "d", "--help", FileType::Pascal, false, false},
        SearchCase{{"--scripts", "--", "-d", "--"}, "-d", "--", FileType::Scripts, false, false},
        SearchCase{{"d", "-"}, "d", "-", FileType::Pascal, false, false},
        SearchCase{{"d", "t", "--"}, "d", "t", FileType::Pascal, false, false},
        SearchCase{{"d", ""}, "d", "", FileType::Pascal, false, false},
        SearchCase{
            {"my dir", "two  words"}, "my dir", "two  words", FileType::Pascal, false, false},
        SearchCase{{"--", "d", "-l"}, "d", "-l", FileType::Pascal, false, false},
        SearchCase{
            {"-r", "d", "t"}, "d", "t", FileType::Pascal, false, false, Project(true, false)},
        SearchCase{{"d", "--recursive", "-w", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   Project(true, true)},
        SearchCase{{"--word-regexp", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   Project(false, true)},
        SearchCase{{"--mask", " *.pas ; *.pp", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   Project(false, false, "*.sc", "*.pas;*.pp")},
        SearchCase{{"--scripts", "--mask=*.sc;*.ssl", "d", "t"},
                   "d",
                   "t",
                   FileType::Scripts,
                   false,
                   false,
                   Project(false, false, "*.sc;*.ssl")},
        // The list is the option's value even when it looks like an option or ends them.
        SearchCase{{"--mask", "--", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   Project(false, false, "*.sc", "--")},
        SearchCase{{"--", "-r", "-w"}, "-r", "-w", FileType::Pascal, false, false},
        SearchCase{{"-E", "d", "a(b"}, "d", "a(b", FileType::Pascal, false, false, Pattern()},
        SearchCase{
            {"d", "--regexp", "-E", "t"}, "d", "t", FileType::Pascal, false, false, Pattern()},
        SearchCase{{"-r", "--hide-files-without-match", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   {.options = {.subdirectories = true, .onlyFilesWithMatches = true}}},
        // grep's short options: combined, with a value in the same word or the next, and
        // those that change nothing.
        SearchCase{
            {"-rw", "d", "t"}, "d", "t", FileType::Pascal, false, false, Project(true, true)},
        SearchCase{{"-rwE", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   {{.subdirectories = true}, true, true}},
        SearchCase{{"--case-sensitive", "-i", "d", "t"}, "d", "t", FileType::Pascal, false, false},
        SearchCase{{"-i", "--case-sensitive", "d", "t"}, "d", "t", FileType::Pascal, true, false},
        SearchCase{{"-inF", "--ignore-case", "--line-number", "--fixed-strings", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false},
        SearchCase{{"-e", "-x", "d"}, "d", "-x", FileType::Pascal, false, false},
        SearchCase{{"d", "-e-l"}, "d", "-l", FileType::Pascal, false, false},
        SearchCase{
            {"-re", "--", "d"}, "d", "--", FileType::Pascal, false, false, Project(true, false)},
        SearchCase{{"-r", "--exclude-dir=backup", "--exclude-dir", " *.OLD ;lib", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   {{.subdirectories = true, .leaveOut = "backup;*.OLD;lib"}}},
        SearchCase{{"--exclude-dir=", "d", "t"}, "d", "t", FileType::Pascal, false, false},
        SearchCase{{"-pw", "--in", "strings,code", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   {{.routines = true, .searchIn = {true, false, true}}, true}},
        SearchCase{{"--routines", "--in=comments", "d", "t"},
                   "d",
                   "t",
                   FileType::Pascal,
                   false,
                   false,
                   {{.routines = true, .searchIn = {false, true, false}}}}));

struct FormCase {
    Args arguments;
    OutputForm form;
};

class CliFormOptionsTest : public testing::TestWithParam<FormCase> {};

TEST_P(CliFormOptionsTest, GiveThisForm) {
    const Options options = ParseOptions(GetParam().arguments);
    ASSERT_EQ(options.action, Action::Search) << options.error;
    EXPECT_EQ(options.form, GetParam().form);
    EXPECT_EQ(options.directory, "d");
    EXPECT_EQ(options.request.text, "t");
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliFormOptionsTest,
    testing::Values(FormCase{{"--format=grep", "d", "t"}, OutputForm::Grep},
                    FormCase{{"--format=grep", "--format=grep", "d", "t"}, OutputForm::Grep},
                    FormCase{{"--scripts", "--procs", "--format=grep", "d", "t"}, OutputForm::Grep},
                    FormCase{{"d", "t", "--count"}, OutputForm::Count},
                    FormCase{{"-c", "d", "t"}, OutputForm::Count},
                    FormCase{{"-rc", "d", "t"}, OutputForm::Count},
                    FormCase{{"-l", "d", "t"}, OutputForm::FilesWithMatches},
                    FormCase{{"-lh", "d", "t"}, OutputForm::FilesWithMatches},
                    FormCase{{"d", "--files-with-matches", "t"}, OutputForm::FilesWithMatches},
                    FormCase{{"-q", "d", "t"}, OutputForm::Quiet},
                    FormCase{{"--quiet", "-s", "d", "t"}, OutputForm::Quiet},
                    FormCase{{"--format=rows", "--format=rows", "d", "t"}, OutputForm::Rows}));

// The lines around the matches, the names of the grep forms and the messages, as asked.
struct StyleCase {
    Args arguments;
    ContextLines context;
    GrepStyle style;
    bool noMessages = false;
};

class CliStyleOptionsTest : public testing::TestWithParam<StyleCase> {};

TEST_P(CliStyleOptionsTest, GiveTheseLinesAndNames) {
    const StyleCase& c = GetParam();
    Args arguments = c.arguments;
    arguments.insert(arguments.end(), {"d", "t"});
    const Options options = ParseOptions(arguments);
    ASSERT_EQ(options.action, Action::Search) << options.error;
    EXPECT_EQ(options.request.context, c.context);
    EXPECT_EQ(options.style.names, c.style.names);
    EXPECT_EQ(options.style.groups, c.style.groups);
    EXPECT_EQ(options.noMessages, c.noMessages);
}

constexpr GrepStyle kGroups{.groups = true};

INSTANTIATE_TEST_SUITE_P(
    Table, CliStyleOptionsTest,
    testing::Values(
        StyleCase{{"--format=grep"}, {}, {}},
        StyleCase{{"--format=grep", "-C", "2"}, {true, 2, 2}, kGroups},
        StyleCase{{"--format=grep", "-C2", "-A", "0"}, {true, 2, 0}, kGroups},
        StyleCase{{"-B", "3", "--format=grep", "--context=1"}, {true, 3, 1}, kGroups},
        StyleCase{{"--format=grep", "--after-context", "5"}, {true, 0, 5}, kGroups},
        StyleCase{{"--format=grep", "--before-context=007"}, {true, 7, 0}, kGroups},
        StyleCase{{"--format=grep", "-C0"}, {true, 0, 0}, kGroups},
        StyleCase{{"--format=grep", "-A", "99999999999"}, {true, 0, INT32_MAX}, kGroups},
        StyleCase{{"--format=grep", "-rhA1"}, {true, 0, 1}, {.names = false, .groups = true}},
        StyleCase{{"-hc"}, {}, {.names = false}},
        StyleCase{{"-s", "--no-messages"}, {}, {}, true}));

struct ErrorCase {
    Args arguments;
    std::string errorPart;
};

class CliUsageErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(CliUsageErrorTest, IsAUsageErrorThatSaysWhy) {
    const Options options = ParseOptions(GetParam().arguments);
    EXPECT_EQ(options.action, Action::UsageError);
    EXPECT_NE(options.error.find(GetParam().errorPart), std::string::npos) << options.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliUsageErrorTest,
    testing::Values(
        ErrorCase{{}, "expected DIRECTORY and TEXT"},
        ErrorCase{{"dir"}, "expected DIRECTORY and TEXT"},
        ErrorCase{{"dir", "a", "b"}, "expected DIRECTORY and TEXT"},
        ErrorCase{{"--scripts"}, "expected DIRECTORY and TEXT"},
        ErrorCase{{"--procs", "d", "t"}, "--procs needs --scripts"},
        ErrorCase{{"--procs", "--pascal", "d", "t"}, "--procs needs --scripts"},
        ErrorCase{{"--scripts", "--pascal", "d", "t"}, "exclude each other"},
        ErrorCase{{"--scripts", "-p", "d", "t"}, "--routines reads Pascal sources"},
        ErrorCase{{"--scripts", "--in=code", "d", "t"}, "--in reads Pascal sources"},
        ErrorCase{{"--format=grep", "-C1", "-p", "d", "t"}, "exclude each other"},
        ErrorCase{{"--in=", "d", "t"}, "--in: '' is not a list"},
        ErrorCase{{"--in=code,", "d", "t"}, "is not a list"},
        ErrorCase{{"--in=Code", "d", "t"}, "is not a list"},
        ErrorCase{{"d", "t", "--in"}, "--in needs a LIST"},
        ErrorCase{{"d", "-x"}, "unknown option '-x'"},
        ErrorCase{{"--Scripts", "d", "t"}, "unknown option '--Scripts'"},
        ErrorCase{{"--format=xml", "d", "t"}, "unknown format in '--format=xml'"},
        ErrorCase{{"--format", "d", "t"}, "unknown format in '--format'"},
        ErrorCase{{"--format=", "d", "t"}, "unknown format in '--format='"},
        ErrorCase{{"--format=Grep", "d", "t"}, "unknown format"},
        ErrorCase{{"--count", "-l", "d", "t"}, "exclude each other"},
        ErrorCase{{"--format=rows", "--count", "d", "t"}, "--format=rows lists rows"},
        ErrorCase{{"-l", "--format=rows", "d", "t"}, "--format=rows lists rows"},
        ErrorCase{{"-k", "d", "t"}, "unknown option '-k'"},
        ErrorCase{{"--count"}, "expected DIRECTORY and TEXT"},
        ErrorCase{{"d", "t", "--mask"}, "--mask needs a LIST"},
        ErrorCase{{"--mask", "", "d", "t"}, "--mask: The list of file masks is empty"},
        ErrorCase{{"--mask=*.pas;;*.pp", "d", "t"}, "empty mask"},
        ErrorCase{{"--mask", "src/*.pas", "d", "t"}, "holds a path separator"},
        ErrorCase{{"-rwk", "d", "t"}, "unknown option '-k' in '-rwk'"},
        ErrorCase{{"--formats", "d", "t"}, "unknown format in '--formats'"},
        ErrorCase{{"--help=x", "d", "t"}, "unknown option '--help=x'"},
        ErrorCase{{"--maskx", "d", "t"}, "unknown option '--maskx'"},
        ErrorCase{{"--mask=", "d", "t"}, "--mask: The list of file masks is empty"},
        ErrorCase{{"-m", "*.pas", "d", "t"}, "unknown option '-m'"},
        ErrorCase{{"--format=xml", "--help"}, "unknown format"},
        // One output form at a time, and context lines only in the grep form.
        ErrorCase{{"--format=grep", "--format=rows", "d", "t"},
                  "--format=grep and --format=rows exclude each other"},
        ErrorCase{{"--format=grep", "--count", "d", "t"},
                  "--format=grep and --count exclude each other"},
        ErrorCase{{"-l", "-c", "d", "t"}, "--files-with-matches and --count exclude each other"},
        ErrorCase{{"-q", "--format=grep", "d", "t"}, "exclude each other"},
        ErrorCase{{"-c", "--format=rows", "d", "t"}, "--format=rows lists rows"},
        ErrorCase{{"-C", "2", "d", "t"}, "--context needs --format=grep"},
        ErrorCase{{"-A1", "-c", "d", "t"}, "--after-context needs --format=grep"},
        ErrorCase{{"-l", "--before-context=1", "d", "t"}, "--before-context needs --format=grep"},
        ErrorCase{{"--format=grep", "-C", "x", "d", "t"},
                  "--context: 'x' is not a number of lines"},
        ErrorCase{{"--format=grep", "-A-1", "d", "t"}, "'-1' is not a number"},
        ErrorCase{{"--format=grep", "-B", "", "d", "t"}, "'' is not a number"},
        ErrorCase{{"d", "t", "-A"}, "-A needs a NUM"},
        ErrorCase{{"d", "t", "-rA"}, "-A needs a NUM"},
        ErrorCase{{"d", "t", "--context"}, "--context needs a NUM"},
        ErrorCase{{"d", "-e"}, "-e needs a TEXT"},
        ErrorCase{{"-e", "x", "d", "t"}, "expected DIRECTORY after -e TEXT"},
        ErrorCase{{"-e", "x"}, "expected DIRECTORY after -e TEXT"},
        ErrorCase{{"-e", "x", "-e", "y", "d"}, "-e is given twice"},
        ErrorCase{{"-E", "-F", "d", "t"}, "exclude each other"},
        ErrorCase{{"-h", "d", "t"}, "--no-filename needs --format=grep or --count"},
        ErrorCase{{"-r", "--exclude-dir", "a/b", "d", "t"},
                  "--exclude-dir: The mask \"a/b\" holds a path separator"},
        ErrorCase{{"--exclude-dir=a;;b", "d", "t"}, "empty mask"},
        ErrorCase{{"d", "t", "--exclude-dir"}, "--exclude-dir needs a GLOB"}));

TEST(CliOptionsTest, HelpAndVersionWinOverEverythingBeforeThem) {
    EXPECT_EQ(ParseOptions({"--help"}).action, Action::Help);
    // grep's -h is no help.
    EXPECT_EQ(ParseOptions({"-h"}).action, Action::UsageError);
    EXPECT_EQ(ParseOptions({"d", "t", "--help"}).action, Action::Help);
    EXPECT_EQ(ParseOptions({"--procs", "--help"}).action, Action::Help);
    EXPECT_EQ(ParseOptions({"--version"}).action, Action::Version);
    EXPECT_EQ(ParseOptions({"d", "--version", "t"}).action, Action::Version);
    EXPECT_EQ(ParseOptions({"--", "--help", "t"}).action, Action::Search);
    EXPECT_EQ(ParseOptions({"--mask", "--help", "d", "t"}).action, Action::Search);
}

// Every option of the table has its head at the start of a line and all its words after it,
// in order, and no line is wider than a terminal of 80 columns leaves room for.
TEST(CliOptionsTest, UsageNamesEveryOptionWithAllItsWords) {
    const std::string usage = Usage();
    EXPECT_EQ(usage.rfind("Usage: sifter32-cli ", 0), 0u);
    ASSERT_EQ(usage.back(), '\n');
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < usage.size(); start = end + 1) {
        end = usage.find('\n', start);
        lines.push_back(usage.substr(start, end - start));
        EXPECT_LE(lines.back().size(), 79u) << lines.back();
    }
    for (const CliOption& option : OptionTable()) {
        const std::string head = OptionHead(option);
        const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.starts_with(head) && (l.size() == head.size() || l[head.size()] == ' ');
        });
        ASSERT_NE(line, lines.end()) << head;
        // The words run from the head's line on, at the column of the words, to the next head.
        std::string words = line->substr(head.size());
        for (auto next = line + 1; next != lines.end() && next->starts_with("    "); ++next)
            words += ' ' + *next;
        std::istringstream split(words);
        std::string joined, word;
        while (split >> word) joined += (joined.empty() ? "" : " ") + word;
        EXPECT_EQ(joined, option.help) << head;
    }
}

// Each option of the table, in each of its spellings, is taken by the parser as that option.
TEST(CliOptionsTest, ParserKnowsEverySpellingOfTheTable) {
    for (const CliOption& option : OptionTable()) {
        std::vector<Args> spellings;
        std::string name(option.name);
        const std::string letter =
            option.letter != '\0' ? std::string{'-', option.letter} : std::string();
        if (option.value.empty()) {
            if (!name.empty()) spellings.push_back({name});
            if (!letter.empty()) spellings.push_back({letter});
        } else {
            if (!name.empty()) spellings.insert(spellings.end(), {{name, "*.x"}, {name + "=*.x"}});
            if (!letter.empty())
                spellings.insert(spellings.end(), {{letter, "*.x"}, {letter + "1"}});
        }
        ASSERT_FALSE(spellings.empty()) << OptionHead(option);
        for (Args arguments : spellings) {
            arguments.insert(arguments.end(), {"d", "t"});
            const Options options = ParseOptions(arguments);
            EXPECT_EQ(options.error.find("unknown"), std::string::npos) << options.error;
            EXPECT_EQ(options.error.find("needs a"), std::string::npos) << options.error;
        }
    }
}

}  // namespace
}  // namespace sifter::cli
