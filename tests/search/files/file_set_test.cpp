// Which names a file set lists, and in what order, on every system.

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "file_set_fixture.h"
#include "search/files/file_set.h"
#include "search/files/name_order.h"
#include "search/files/wildcard.h"
#include "test_support.h"

namespace sifter::test {
namespace {

class FileSetListingTest : public FileSetFixture {};

TEST_F(FileSetListingTest, MatchesTheMaskWithLetterCaseIgnored) {
    for (const char* name : {"X.SC", "y.Sc", "z.sc", "a.scx", "b.s", "sc", "c.pas", "d.sc.bak"})
        Touch(name);
    EXPECT_EQ(List("*.sc"), (Names{"X.SC", "y.Sc", "z.sc"}));
    EXPECT_EQ(List("?.PAS"), Names{"c.pas"});
    EXPECT_EQ(List("*.*").size(), 8u);
}

TEST_F(FileSetListingTest, AMaskOfTwoPatternsListsBothInOneSortedList) {
    for (const char* name : {"b.sc", "a.pas", "c.sc", "d.txt"}) Touch(name);
    EXPECT_EQ(List("*.sc;*.pas"), (Names{"a.pas", "b.sc", "c.sc"}));
    EXPECT_EQ(List("*.sc;b*"), (Names{"b.sc", "b.sc", "c.sc"}));  // matched twice, listed twice
    EXPECT_EQ(List(";*.pas;"), Names{"a.pas"});                   // empty patterns find nothing
    EXPECT_EQ(List(""), Names{});
}

TEST_F(FileSetListingTest, ADirectoryThatCannotBeReadIsNotedAtItsPlace) {
    MakeDirectories({"gone", "locked", "z"});
    for (const char* name : {"a.pas", "gone/g.pas", "locked/l.pas", "z/z.pas"}) Touch(name);
    FakeSystem system;
    // One is removed between its parent's listing and its own; the other refuses.
    system.beforeListing = [&](const std::string& path) -> std::int32_t {
        if (path == m_dir / "gone") std::filesystem::remove_all(path);
        return path == m_dir / "locked" ? 5 : 0;
    };
    FileSet set(system, "*.pas");
    set.SetDirectory(m_dir.path());
    set.SetListing({true, true});
    set.Refresh();
    EXPECT_EQ(set.Names(), (Names{"a.pas", Native("z/z.pas")}));
    const std::int32_t gone = SystemSpelling().goneListing;
    EXPECT_EQ(set.Unreadable(),
              (std::vector<UnreadableDirectory>{{"gone", gone, 1}, {"locked", 5, 1}}));
    // The next read finds the directory gone for good, and the other still refusing.
    set.Refresh();
    EXPECT_EQ(set.Unreadable(), (std::vector<UnreadableDirectory>{{"locked", 5, 1}}));
}

TEST_F(FileSetListingTest, AReadSpreadOverStepsEndsWithTheNamesOfAWholeRead) {
    MakeDirectories({"a", "b", "b/c"});
    for (const char* name : {"0.pas", "a/1.pas", "b/2.pas", "b/c/3.pas"}) Touch(name);
    const Names whole = {"0.pas", Native("a/1.pas"), Native("b/2.pas"), Native("b/c/3.pas")};
    FileSet set;
    set.SetDirectory(m_dir.path());
    set.SetMask("*.pas");
    const Names before = set.Names();
    EXPECT_EQ(before, Names{"0.pas"});
    set.SetListing({true, true});
    ChangeDirectory(m_elsewhere.path());
    set.BeginRefresh();
    EXPECT_EQ(CurrentDirectory(), m_dir.path());  // made current as a Refresh makes it
    int steps = 0;
    while (!set.ContinueRefresh(1)) {
        EXPECT_EQ(set.Names(), before) << "the names changed in the middle of a read";
        EXPECT_TRUE(set.Refreshing());
        ++steps;
    }
    EXPECT_EQ(steps, 2);  // two of the three subdirectories before the end: the directory itself
                          // was listed when the read began
    EXPECT_FALSE(set.Refreshing());
    EXPECT_EQ(set.Names(), whole);
    // Another read drops one under way; finishing one that is over changes nothing.
    set.BeginRefresh();
    Touch("b/4.pas");
    set.SetListing({});
    set.Refresh();
    EXPECT_FALSE(set.Refreshing());
    EXPECT_EQ(set.Names(), Names{"0.pas"});
    set.FinishRefresh();
    EXPECT_EQ(set.Names(), Names{"0.pas"});
}

TEST(NameOrderTest, KeepsDuplicatesAndSortsBytesAbove127AfterAscii) {
    std::setlocale(LC_COLLATE, "C");
    EXPECT_TRUE(IsPlainCollation());
    const OrderedNames ordered = OrderNames({"b", "\xC9", "B", "b", "a", "\xE9"}, 100);
    EXPECT_EQ(ordered.names, (Names{"a", "B", "b", "b", "\xC9", "\xE9"}));
    EXPECT_FALSE(ordered.reachedWatchedPlace);
    EXPECT_TRUE(OrderNames({}, 0).names.empty());
}

TEST(NameOrderTest, WatchesTheInsertionPlaceNotTheNumberOfNames) {
    std::setlocale(LC_COLLATE, "C");
    const auto numbered = [](int from, int to, int step) {
        Names names;
        for (int i = from; i != to; i += step) names.push_back("n" + std::to_string(1000 + i));
        return names;
    };
    EXPECT_TRUE(OrderNames(numbered(0, 4, 1), 3).reachedWatchedPlace);     // 4th lands at 3
    EXPECT_FALSE(OrderNames(numbered(0, 3, 1), 3).reachedWatchedPlace);    // only 3 names
    EXPECT_FALSE(OrderNames(numbered(9, -1, -1), 3).reachedWatchedPlace);  // each lands at 0
    Names late = numbered(9, 3, -1);  // 9..4 land at 0; then 0 at 0, 1 at 1, 2 at 2, 3 at 3
    for (const std::string& name : numbered(0, 4, 1)) late.push_back(name);
    EXPECT_TRUE(OrderNames(late, 3).reachedWatchedPlace);
    // An equal name goes before its twin, so it never reaches a later place.
    EXPECT_FALSE(OrderNames({"a", "b", "c", "c"}, 3).reachedWatchedPlace);
    EXPECT_TRUE(OrderNames({"a", "b", "c", "d"}, 3).reachedWatchedPlace);
}

struct WildcardCase {
    std::string pattern;
    std::string name;
    bool matches;
};

class WildcardTest : public testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, MatchesAsTheDirectoryListingDoes) {
    const WildcardCase& c = GetParam();
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WildcardTest,
    testing::Values(
        WildcardCase{"*.sc", "a.sc", true}, WildcardCase{"*.sc", "A.SC", true},
        WildcardCase{"*.SC", "a.sc", true}, WildcardCase{"*.sc", ".sc", true},
        WildcardCase{"*.sc", "a.scx", false}, WildcardCase{"*.sc", "a.s", false},
        WildcardCase{"*.sc", "a.sc.sc", true}, WildcardCase{"*.*", "noext", true},
        WildcardCase{"?.sc", "ab.sc", false}, WildcardCase{"?.sc", "\xC3\xA9.sc", true},
        WildcardCase{"?.sc", "\xE9.sc", true}, WildcardCase{"??.sc", "\xC3\xA9.sc", false},
        WildcardCase{"a*b*c", "aXbYbZc", true}, WildcardCase{"a*b*c", "aXbYc d", false},
        WildcardCase{"*", "", true}, WildcardCase{"x", "", false},
        WildcardCase{"\xC3\xA9*", "\xC3\x89x", false}, WildcardCase{"*.pas", "a.PaS", true},
        // A star and plain ASCII: the name's last bytes, whatever comes before.
        WildcardCase{"*.pas", "\xC3.pas", true}, WildcardCase{"*.pas", "\xC3\xA9.PAS", true},
        WildcardCase{"*.pas", "pas", false}, WildcardCase{"*.pas", "a.pa\xC3\xB3", false},
        WildcardCase{"*", "\xFF", true}, WildcardCase{"*.p?s", "a.pxs", true},
        WildcardCase{"*\xC3\xA9.sc", "x\xC3\xA9.SC", true},
        WildcardCase{"*\xC3\xA9.sc", "x\xC3\x89.sc", false}));

}  // namespace
}  // namespace sifter::test
