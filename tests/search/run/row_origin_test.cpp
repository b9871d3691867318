// Every row of a search knows the file and line it came from, and keeps knowing it when rows
// around it are deleted, or when deleted rows are put back.

#include <gtest/gtest.h>

#include <clocale>

#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/run/search_run.h"
#include "test_support.h"

namespace sifter {
namespace {

struct Led {
    std::string text;
    std::string path;  // empty: the row leads nowhere
    std::int64_t line = 0;
    friend bool operator==(const Led&, const Led&) = default;
};

std::vector<Led> Leads(const ResultRows& rows) {
    std::vector<Led> leads;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowOrigin origin = rows.Origin(i);
        leads.push_back({std::string(rows.Text(i)),
                         origin.Leads() ? std::string(rows.FilePath(origin.file)) : std::string(),
                         origin.line});
    }
    return leads;
}

void PrintTo(const Led& led, std::ostream* out) {
    *out << '"' << led.text << "\" -> " << (led.path.empty() ? "nowhere" : led.path) << ':'
         << led.line;
}

class RowOriginTest : public testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_COLLATE, "C");
        test::WriteBytes(m_dir / "a.sc", "nothing\r\nproc Hit(x)\r\n");
        test::WriteBytes(m_dir / "b b.sc", "x\r\nhit\nstill line 2\rhit\r\n");
        m_set.SetDirectory(m_dir.path());
        m_set.SetMask("*.sc");
        m_set.Refresh();
    }

    ResultRows Run() {
        ResultRows rows;
        RunSearch({.fileType = FileType::Scripts, .text = "hit", .includeProcs = true}, m_set,
                  rows);
        return rows;
    }

    test::CurrentDirectoryGuard m_restore;
    test::TempDir m_dir;
    FileSet m_set;
};

TEST_F(RowOriginTest, MatchAndProcedureRowsLeadToTheirLineAndHeadingsToLineOne) {
    const std::string a = m_dir / "a.sc";
    const std::string b = m_dir / "b b.sc";
    const std::vector<Led> expected{
        {kBannerRow, "", 0},
        {"   Search Path: " + m_dir.path(), "", 0},
        {"   Search String: \"hit\"", "", 0},
        {" ", "", 0},
        {" a.sc - 1 of 2", a, 1},
        {" ", "", 0},
        {" proc Hit(x)", a, 2},
        {"[2] proc Hit(x)", a, 2},
        {" ", "", 0},
        {" b b.sc - 2 of 2", b, 1},
        {" ", "", 0},
        {"[2] hit\nstill line 2", b, 2},
        {"[3] hit", b, 3},
    };
    const ResultRows rows = Run();
    EXPECT_EQ(Leads(rows), expected);
    EXPECT_EQ(rows.FileCount(), 2u);
}

TEST_F(RowOriginTest, RowsKeepTheirOriginWhenRowsAroundThemAreDeleted) {
    ResultRows rows = Run();
    std::vector<Led> before = Leads(rows);
    std::vector<bool> remove(rows.size(), false);
    for (std::size_t i : {0u, 3u, 4u, 6u, 10u, 12u}) remove[i] = true;
    rows.RemoveRows(remove);
    std::vector<Led> expected;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!remove[i]) expected.push_back(before[i]);
    EXPECT_EQ(Leads(rows), expected);
    // The file list is the search's; rows of a file whose heading is gone still reach it.
    EXPECT_EQ(rows.FileCount(), 2u);
    EXPECT_EQ(expected[3].path, m_dir / "a.sc");
}

TEST_F(RowOriginTest, RowsTakenOutComeBackInTheirPlacesWithTheirOrigins) {
    const ResultRows search = Run();
    const std::vector<Led> all = Leads(search);
    ASSERT_EQ(all.size(), 13u);
    using Runs = std::vector<ResultRows::Removed::Run>;
    const struct {
        std::vector<std::size_t> taken;
        Runs runs;
    } cases[] = {
        {{}, {}},
        {{0}, {{0, 1}}},
        {{12}, {{12, 1}}},
        {{3, 4, 6, 10, 12}, {{3, 2}, {6, 1}, {10, 1}, {12, 1}}},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {{0, 13}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.taken.size() << " rows taken");
        ResultRows rows = search;
        std::vector<bool> remove(rows.size(), false);
        for (const std::size_t i : c.taken) remove[i] = true;
        const ResultRows::Removed removed = rows.TakeRows(remove);
        EXPECT_EQ(removed.runs, c.runs);
        std::vector<Led> kept;
        for (std::size_t i = 0; i < all.size(); ++i)
            if (!remove[i]) kept.push_back(all[i]);
        EXPECT_EQ(Leads(rows), kept);
        ASSERT_EQ(removed.rows.size(), c.taken.size());
        for (std::size_t k = 0; k < c.taken.size(); ++k) {
            EXPECT_EQ(removed.rows.Text(k), all[c.taken[k]].text);
            EXPECT_EQ(removed.rows.Origin(k).line, all[c.taken[k]].line);
        }
        rows.PutBack(removed);
        EXPECT_EQ(Leads(rows), all);
    }
}

TEST_F(RowOriginTest, PathsStayFullWhenTheSearchRunsInAnotherDirectory) {
    // The names are opened where the current directory is; the rows lead there, in full.
    test::TempDir other;
    test::WriteBytes(other / "a.sc", "hit\r\n");
    test::ChangeDirectory(other.path());
    const ResultRows rows = Run();
    ASSERT_EQ(rows.FileCount(), 2u);
    EXPECT_EQ(rows.FilePath(0), other / "a.sc");
    EXPECT_EQ(rows.FilePath(1), other / "b b.sc");
    EXPECT_EQ(rows.FilePath(2), "");
    EXPECT_EQ(rows.FilePath(-1), "");
    EXPECT_EQ(PendingError(), 0);
}

TEST(ResultRows, RowsAddedWithoutAnOriginLeadNowhereAndClearForgetsTheFiles) {
    ResultRows rows;
    rows.AddFile("/d/x.pas");
    rows.AddRow("plain", RowKind::Heading);
    rows.AddRow("[7] led", RowKind::Match, {0, 7});
    rows.AddRow("odd", RowKind::Heading, {RowOrigin::kNoFile, 9});
    rows.AddRow("last kept", RowKind::Heading, {RowOrigin::kFileLimit - 1, std::int64_t{1} << 40});
    rows.AddRow("too many files", RowKind::Heading, {RowOrigin::kFileLimit, 3});
    EXPECT_FALSE(rows.Origin(0).Leads());
    EXPECT_EQ(rows.Origin(1), (RowOrigin{0, 7}));
    EXPECT_EQ(rows.Origin(2), RowOrigin{});
    EXPECT_EQ(rows.Origin(3), (RowOrigin{RowOrigin::kFileLimit - 1, std::int64_t{1} << 40}));
    EXPECT_EQ(rows.Origin(4), RowOrigin{});
    EXPECT_EQ(rows.Text(4), "too many files");
    rows.Clear();
    EXPECT_EQ(rows.FileCount(), 0u);
    EXPECT_TRUE(rows.empty());
}

TEST(ResultRows, AProcedureOrMatchRowGivesBackTheLineItWasMadeOf) {
    const struct {
        std::string_view text;
        RowKind kind;
        std::int64_t line;
        std::string_view want;
    } cases[] = {
        {"[12] x := 1;", RowKind::Match, 12, "x := 1;"},
        {"[2] hit\nstill line 2", RowKind::Match, 2, "hit\nstill line 2"},
        {"[7] a] b", RowKind::Match, 7, "a] b"},
        {"[3] ] [4] x", RowKind::Match, 3, "] [4] x"},
        {"[1] ", RowKind::Match, 1, ""},
        {"[1234567890123] y", RowKind::Match, 1234567890123, "y"},
        {" proc Hit(x)", RowKind::Procedure, 9, "proc Hit(x)"},
        {" a.pas - 1 of 2", RowKind::File, 1, ""},
        {"[5] no origin", RowKind::Match, 0, ""},
    };
    ResultRows rows;
    for (const auto& c : cases)
        rows.AddRow(c.text, c.kind, c.line > 0 ? RowOrigin{0, c.line} : RowOrigin{});
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(rows.Line(i), cases[i].want) << cases[i].text;
}

}  // namespace
}  // namespace sifter
