#include "search/run/search_run.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>

#include "platform/path_rules.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/run/save_results.h"
#include "test_support.h"

namespace sifter {
namespace {

using Rows = std::vector<ResultEntry>;

ResultEntry Blank(std::string text) {
    return {std::move(text), EntryIcon::Blank};
}
ResultEntry Proc(std::string text) {
    return {std::move(text), EntryIcon::Procedure};
}

// The three rows that open every file.
Rows FileHeading(const std::string& name, int number, int count) {
    return {Blank(" "),
            {" " + name + " - " + std::to_string(number) + " of " + std::to_string(count),
             EntryIcon::File},
            Blank(" ")};
}

Rows operator+(Rows a, const Rows& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class SearchRunTest : public testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_COLLATE, "C");
        TakeError();
    }

    void Write(const std::string& name, std::string_view bytes) {
        test::WriteBytes(m_dir / name, bytes);
    }

    // Reads the scratch directory into the set for the request's file type.
    void ReadSet(const SearchRequest& request) {
        m_set.SetDirectory(m_dir.path());
        m_set.SetMask(std::string(FileMask(request.fileType)));
        m_set.Refresh();
    }

    Rows RunOnSet(const SearchRequest& request, SearchProgress* progress = nullptr) {
        ResultRows rows;
        m_summary = RunSearch(request, m_set, rows, progress);
        Rows entries;
        for (std::size_t i = 0; i < rows.size(); ++i) entries.push_back(rows.Entry(i));
        return entries;
    }

    Rows Run(const SearchRequest& request) {
        ReadSet(request);
        return RunOnSet(request);
    }

    static SearchRequest Scripts(std::string text, bool caseSensitive = false, bool procs = false) {
        return {.fileType = FileType::Scripts,
                .text = std::move(text),
                .rules = {.caseSensitive = caseSensitive},
                .includeProcs = procs};
    }

    Rows Heading(const std::string& text, const std::string& path) const {
        return {{kBannerRow, EntryIcon::Banner},
                Blank("   Search Path: " + path),
                Blank("   Search String: \"" + text + "\"")};
    }

    test::CurrentDirectoryGuard m_restore;
    test::TempDir m_dir;
    FileSet m_set;
    SearchSummary m_summary;
};

TEST_F(SearchRunTest, ListsEveryFileWithItsHeadingAndOnlyTheMatchingLines) {
    Write("b.sc", "x\r\nfind me\r\nnot here\r\n");
    Write("a.sc", "nothing\r\n");
    Write("c.pas", "find me too\r\n");
    const Rows rows = Run(Scripts("find"));
    EXPECT_EQ(rows, Heading("find", m_dir.path()) + FileHeading("a.sc", 1, 2) +
                        FileHeading("b.sc", 2, 2) + Rows({Blank("[2] find me")}));
    EXPECT_EQ(m_summary.matches, 1);
    EXPECT_EQ(m_summary.files, 2);
}

// A project: files in subdirectories, of several masks, with words that hold the text.
TEST_F(SearchRunTest, AProjectSearchHeadsEachFileWithItsPathAndCountsTheWholeWalk) {
    std::filesystem::create_directories(m_dir / "rtl/unix");
    std::filesystem::create_directories(m_dir / ".svn");
    Write("main.pas", "Result := 1;\r\nResults := 2;\r\n");
    Write("rtl/unix/sysutils.pp", "  ResultCode\n  x:=Result\n_Result\n");
    Write("rtl/b.INC", "{Result}");
    Write("rtl/c.txt", "Result\r\n");
    Write(".svn/d.pas", "Result\r\n");
    SearchRequest request{.fileType = FileType::Pascal,
                          .text = "Result",
                          .rules = {.caseSensitive = true, .wholeWords = true},
                          .options = {true, {"*.sc", "*.pas;*.pp;*.inc;m*"}}};
    m_set.SetDirectory(m_dir.path());
    m_set.SetListing({.eachNameOnce = true, .subdirectories = true});
    m_set.SetMask(request.options.Masks(FileType::Pascal));
    const char separator = platform::Paths().Separator();
    const std::string sysutils =
        std::string("rtl") + separator + "unix" + separator + "sysutils.pp";
    EXPECT_EQ(RunOnSet(request), Heading("Result", m_dir.path()) +
                                     Rows({Blank("   Options: Subdirectories, Whole Words, Masks "
                                                 "*.pas;*.pp;*.inc;m*")}) +
                                     FileHeading("main.pas", 1, 3) +
                                     Rows({Blank("[1] Result := 1;")}) +
                                     FileHeading(std::string("rtl") + separator + "b.INC", 2, 3) +
                                     Rows({Blank("[1] {Result}")}) + FileHeading(sysutils, 3, 3) +
                                     Rows({Blank("[2]   x:=Result")}));
    EXPECT_EQ(m_summary.files, 3);
    EXPECT_EQ(m_summary.matches, 3);
    // Without whole words, the longer words count too.
    request.rules.wholeWords = false;
    RunOnSet(request);
    EXPECT_EQ(m_summary.matches, 6);
}

TEST_F(SearchRunTest, ASubdirectoryThatCannotBeReadGivesOneRowAtItsPlace) {
    for (const char* name : {"a", "locked", "z"}) std::filesystem::create_directories(m_dir / name);
    Write("a/1.pas", "x\r\n");
    Write("locked/2.pas", "x\r\n");
    test::FakeSystem system;
    system.beforeListing = [&](const std::string& path) {
        return path == m_dir / "locked" || path == m_dir / "z" ? 5 : 0;
    };
    FileSet set(system, "*.pas");
    set.SetDirectory(m_dir.path());
    set.SetListing({true, true});
    set.Refresh();
    SearchRequest request{.fileType = FileType::Pascal, .text = "x"};
    request.options.subdirectories = true;
    ResultRows rows;
    RunSearch(request, set, rows, nullptr, system);
    Rows entries;
    for (std::size_t i = 0; i < rows.size(); ++i) entries.push_back(rows.Entry(i));
    EXPECT_EQ(entries,
              Heading("x", m_dir.path()) + Rows({Blank("   Options: Subdirectories")}) +
                  FileHeading(std::string("a") + platform::Paths().Separator() + "1.pas", 1, 1) +
                  Rows({Blank("[1] x"), Blank(" locked - directory not read: access denied"),
                        Blank(" z - directory not read: access denied")}));
}

TEST_F(SearchRunTest, TheBannerEndsWithOneBlankAndTheSearchTextIsShownAsTyped) {
    const std::string banner = kBannerRow;
    ASSERT_FALSE(banner.empty());
    EXPECT_EQ(banner.back(), ' ');
    EXPECT_NE(banner[banner.size() - 2], ' ');
    EXPECT_NE(banner.find("Sifter32"), std::string::npos);
    Write("a.sc", " say \"Hi\" \r\n");
    EXPECT_EQ(Run(Scripts(" say \"hi\" ")), Heading(" say \"hi\" ", m_dir.path()) +
                                                FileHeading("a.sc", 1, 1) +
                                                Rows({Blank("[1]  say \"Hi\" ")}));
}

TEST_F(SearchRunTest, TheSearchPathIsTheCurrentDirectoryWhereTheNamesAreOpened) {
    Write("a.sc", "hit\r\n");
    const SearchRequest request = Scripts("hit");
    ReadSet(request);
    test::TempDir other;
    test::ChangeDirectory(other.path());
    // The set still holds a.sc, but it is not in the directory the run opens names in.
    EXPECT_EQ(RunOnSet(request), Heading("hit", other.path()) + FileHeading("a.sc", 1, 1));
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(SearchRunTest, ProcedureRowsComeBeforeTheMatchRowOfTheSameLine) {
    Write("p.sc",
          "proc Foo(x)\r\n  Foo(1)\r\nendproc ; (end of Foo)\r\nprocedure Foo(x)\r\nPROC Foo\r\n"
          "; see PROC Bar()\r\n");
    EXPECT_EQ(Run(Scripts("foo", false, true)),
              Heading("foo", m_dir.path()) + FileHeading("p.sc", 1, 1) +
                  Rows({Proc(" proc Foo(x)"), Blank("[1] proc Foo(x)"), Blank("[2]   Foo(1)"),
                        Proc(" endproc ; (end of Foo)"), Blank("[3] endproc ; (end of Foo)"),
                        Blank("[4] procedure Foo(x)"), Blank("[5] PROC Foo"),
                        Proc(" ; see PROC Bar()")}));
    EXPECT_EQ(m_summary.matches, 5);
    EXPECT_EQ(Run(Scripts("Bar", true, false)), Heading("Bar", m_dir.path()) +
                                                    FileHeading("p.sc", 1, 1) +
                                                    Rows({Blank("[6] ; see PROC Bar()")}));
}

TEST_F(SearchRunTest, IgnoringCaseFoldsOnlyTheLettersAToZ) {
    Write("a.sc", "BEGIN\r\nbegin\r\nBeGiN\r\n\xC9T\xC9\r\n\xE9t\xE9\r\n");
    const Rows top = Heading("Begin", m_dir.path()) + FileHeading("a.sc", 1, 1);
    EXPECT_EQ(Run(Scripts("Begin")),
              top + Rows({Blank("[1] BEGIN"), Blank("[2] begin"), Blank("[3] BeGiN")}));
    EXPECT_EQ(Run(Scripts("Begin", true)), top);
    EXPECT_EQ(Run(Scripts("\xE9")), Heading("\xE9", m_dir.path()) + FileHeading("a.sc", 1, 1) +
                                        Rows({Blank("[5] \xE9t\xE9")}));
    EXPECT_EQ(Run(Scripts("\xC9t")), Heading("\xC9t", m_dir.path()) + FileHeading("a.sc", 1, 1) +
                                         Rows({Blank("[4] \xC9T\xC9")}));
}

TEST_F(SearchRunTest, TypedTextFindsItsLinesInUtf8AndInWindows1252Files) {
    Write("u.sc", "un caf\xC3\xA9 noir\r\nCAF\xC3\x89\r\ncafe\r\n");
    Write("w.sc", "le caf\xE9\r\nCAF\xC9\r\nproc CaF\xE9(caf\xC3\xA9)\r\n");
    const std::string cafe = "caf\xC3\xA9";
    const ResultEntry proc = Proc(" proc CaF\xE9(caf\xC3\xA9)");
    const ResultEntry both = Blank("[3] proc CaF\xE9(caf\xC3\xA9)");
    const struct {
        std::string text;
        bool caseSensitive;
        Rows utf8, legacy;
        std::int64_t matches;
    } cases[] = {
        // The last line holds both forms and gives one row.
        {cafe, false, {Blank("[1] un caf\xC3\xA9 noir")}, {Blank("[1] le caf\xE9"), proc, both}, 3},
        {cafe, true, {Blank("[1] un caf\xC3\xA9 noir")}, {Blank("[1] le caf\xE9"), proc, both}, 3},
        {"CAF\xC3\x89", false, {Blank("[2] CAF\xC3\x89")}, {Blank("[2] CAF\xC9"), proc}, 2},
        // Bytes that are not UTF-8 are looked for as they stand.
        {"caf\xE9", false, {}, {Blank("[1] le caf\xE9"), proc, both}, 2},
        {"F\xE9(", true, {}, {proc, both}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(Scripts(c.text, c.caseSensitive, true)),
                  Heading(c.text, m_dir.path()) + FileHeading("u.sc", 1, 2) + c.utf8 +
                      FileHeading("w.sc", 2, 2) + c.legacy)
            << c.text;
        EXPECT_EQ(m_summary.matches, c.matches) << c.text;
    }
}

TEST_F(SearchRunTest, CountsMatchingLinesNotOccurrences) {
    Write("a.sc", "abab ab\r\nxx\r\nab\r\n");
    const Rows rows = Run(Scripts("ab"));
    EXPECT_EQ(rows, Heading("ab", m_dir.path()) + FileHeading("a.sc", 1, 1) +
                        Rows({Blank("[1] abab ab"), Blank("[3] ab")}));
    EXPECT_EQ(m_summary.matches, 2);
}

TEST_F(SearchRunTest, LinesAreNumberedAsTheLineRulesSplitThem) {
    Write("lf.sc", "one\ntwo\nthree\n");
    Write("mixed.sc",
          "\r\n\r\nhit\r\nhit\x1A"
          "after\r\nhit\r\n");
    Write("empty.sc", "");
    EXPECT_EQ(Run(Scripts("t")),
              Heading("t", m_dir.path()) + FileHeading("empty.sc", 1, 3) +
                  FileHeading("lf.sc", 2, 3) + Rows({Blank("[2] two"), Blank("[3] three")}) +
                  FileHeading("mixed.sc", 3, 3) + Rows({Blank("[3] hit"), Blank("[4] hit")}));
}

TEST_F(SearchRunTest, AnEmptySearchTextMatchesNoLine) {
    Write("a.sc", "x\r\n\r\n");
    EXPECT_EQ(Run(Scripts("", false, true)), Heading("", m_dir.path()) + FileHeading("a.sc", 1, 1));
    EXPECT_EQ(m_summary.matches, 0);
    EXPECT_EQ(m_summary.files, 1);
}

TEST_F(SearchRunTest, AFileThatVanishedGivesItsHeadingAndLeavesNoErrorBehind) {
    Write("a.sc", "hit\r\n");
    Write("b.sc", "hit\r\n");
    const SearchRequest request = Scripts("hit");
    ReadSet(request);
    ASSERT_EQ(std::remove((m_dir / "a.sc").c_str()), 0);
    EXPECT_EQ(RunOnSet(request), Heading("hit", m_dir.path()) + FileHeading("a.sc", 1, 2) +
                                     FileHeading("b.sc", 2, 2) + Rows({Blank("[1] hit")}));
    EXPECT_EQ(PendingError(), 0);
    ResultRows rows;
    rows.AddRow("saved", RowKind::Heading);
    EXPECT_EQ(SaveRows(m_dir / "out.txt", rows, nullptr), SaveOutcome::Saved);
    EXPECT_EQ(test::ReadBytes(m_dir / "out.txt"), "saved\r\n");
}

class RecordingProgress final : public SearchProgress {
public:
    void Started(std::int32_t fileCount, const std::string& text) override {
        events.push_back("started " + std::to_string(fileCount) + " " + text);
    }
    void FileStarted(std::int32_t number, const std::string& name) override {
        events.push_back(std::to_string(number) + " " + name);
    }
    void StillReading() override { events.push_back("reading"); }
    void Finished() override { events.push_back("finished"); }
    std::vector<std::string> events;
};

TEST_F(SearchRunTest, ReportsProgressFileByFileAndEvery64KiBOfALongRead) {
    constexpr std::size_t kPulseBytes = LineFile::kBuffersPerPulse * LineFile::kBufferSize;
    // Three and a half stretches of 64 KiB: three pulses, none for a tiny file.
    std::string large;
    while (large.size() < 7 * kPulseBytes / 2) large += "x := x + 1; { not the text }\r\n";
    Write("a b.pas", large);
    Write("z.pas", "t\r\n");
    RecordingProgress progress;
    const SearchRequest request{.fileType = FileType::Pascal, .text = "caf\xe9"};
    ReadSet(request);
    RunOnSet(request, &progress);
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"started 2 caf\xe9", "1 a b.pas", "reading", "reading",
                                        "reading", "2 z.pas", "finished"}));
}

TEST(SearchTextsTest, SummaryAndEmptySetMessageReadExactly) {
    EXPECT_EQ(SummaryText("begin", {5, 12}),
              " Sifter32 Found 5 instances of \"begin\" in 12 files");
    EXPECT_EQ(SummaryText("", {0, 1}), " Sifter32 Found 0 instances of \"\" in 1 files");
    EXPECT_EQ(EmptySetMessage(FileType::Scripts, "/home/a"), " No .sc files in /home/a.");
    EXPECT_EQ(EmptySetMessage(FileType::Pascal, "/"), " No .pas files in /.");
    EXPECT_EQ(FileMask(FileType::Scripts), "*.sc");
    EXPECT_EQ(FileMask(FileType::Pascal), "*.pas");
    EXPECT_EQ(FileExtension(FileType::Scripts), ".sc");
    EXPECT_EQ(FileExtension(FileType::Pascal), ".pas");
    SearchOptions project;
    project.subdirectories = true;
    EXPECT_EQ(EmptySetMessage(FileType::Pascal, "/w", project),
              " No .pas files in /w or its subdirectories.");
    project.SetMasks(FileType::Pascal, "*.pas;*.pp");
    EXPECT_EQ(EmptySetMessage(FileType::Pascal, "/w", project),
              " No *.pas;*.pp files in /w or its subdirectories.");
    // The other type's list is not the one in use.
    EXPECT_EQ(EmptySetMessage(FileType::Scripts, "/w", SearchOptions{false, project.masks}),
              " No .sc files in /w.");
}

TEST(SearchTextsTest, TheOptionsRowNamesOnlyWhatDiffersFromTheDefaults) {
    const std::string pascalList = "*.pas;*.pp;*.inc";
    const MatchRules words{.wholeWords = true};
    const MatchRules pattern{.regexp = true};
    const MatchRules both{.wholeWords = true, .regexp = true};
    const struct {
        FileType type;
        SearchOptions options;
        MatchRules rules;
        std::string row;
    } cases[] = {
        {FileType::Pascal, {}, {}, ""},
        // Letter case has a control of its own, and a row of its own.
        {FileType::Pascal, {}, {.caseSensitive = true}, ""},
        {FileType::Pascal, {true}, {}, "   Options: Subdirectories"},
        {FileType::Scripts, {}, words, "   Options: Whole Words"},
        {FileType::Pascal,
         {true, {"*.sc", pascalList}},
         words,
         "   Options: Subdirectories, Whole Words, Masks *.pas;*.pp;*.inc"},
        {FileType::Pascal, {false, {"*.sc", pascalList}}, {}, "   Options: Masks " + pascalList},
        // Only the list of the type searched counts; the same list as the default is none.
        {FileType::Scripts, {false, {"*.sc", pascalList}}, {}, ""},
        {FileType::Scripts,
         {false, {"*.sc;*.ssl", "*.pas"}},
         words,
         "   Options: Whole Words, Masks *.sc;*.ssl"},
        {FileType::Pascal, {}, pattern, "   Options: Regular Expression"},
        {FileType::Pascal,
         {true, {"*.sc", pascalList}},
         both,
         "   Options: Subdirectories, Whole Words, Regular Expression, Masks *.pas;*.pp;*.inc"},
        {FileType::Scripts,
         {false, {"*.sc", "*.pas"}, true},
         {},
         "   Options: Only Files with Matches"},
        {FileType::Pascal,
         {true, {"*.sc", pascalList}, true},
         pattern,
         "   Options: Subdirectories, Regular Expression, Masks *.pas;*.pp;*.inc, Only Files with "
         "Matches"},
        // Directories left out count only where a walk of subdirectories leaves them out.
        {FileType::Pascal,
         {true, {"*.sc", "*.pas"}, true, "tests;*.bak"},
         {},
         "   Options: Subdirectories, Only Files with Matches, Leave Out tests;*.bak"},
        {FileType::Pascal, {false, {"*.sc", "*.pas"}, false, "tests"}, {}, ""},
    };
    for (const auto& c : cases) {
        const SearchRequest request{.fileType = c.type, .rules = c.rules, .options = c.options};
        EXPECT_EQ(OptionsRow(request), c.row);
    }
}

}  // namespace
}  // namespace sifter
