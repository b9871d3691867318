// Which names a file set lists on POSIX systems: only regular files and links to them, never a
// FIFO or a directory, hidden names beginning with a full stop, no link followed into a
// directory, and names that differ in their letter case only.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "file_set_fixture.h"
#include "search/files/file_set.h"
#include "search/files/name_order.h"
#include "test_support.h"

namespace sifter::test {
namespace {

class PosixFileSetTest : public FileSetFixture {};

TEST_F(PosixFileSetTest, ListsOrdinaryFilesAndLinksToThemOnly) {
    Touch("a.pas");
    Touch(".hidden.pas");
    Touch("ro.pas");
    ASSERT_EQ(::chmod((m_dir / "ro.pas").c_str(), 0444), 0);
    ASSERT_EQ(::mkdir((m_dir / "x.pas").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((m_dir / ".pas").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo((m_dir / "fifo.pas").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("a.pas", (m_dir / "link.pas").c_str()), 0);
    ASSERT_EQ(::symlink("gone.pas", (m_dir / "dangling.pas").c_str()), 0);
    ASSERT_EQ(::symlink("x.pas", (m_dir / "dirlink.pas").c_str()), 0);
    ASSERT_EQ(::symlink("fifo.pas", (m_dir / "fifolink.pas").c_str()), 0);
    EXPECT_EQ(List("*.pas"), (Names{"a.pas", "link.pas", "ro.pas"}));
}

TEST_F(PosixFileSetTest, AWalkSkipsHiddenDirectoriesAndNeverFollowsALinkToOne) {
    MakeDirectories({"sub", "sub/deep", ".git", "Zed"});
    for (const char* name : {"a.pas", "sub/b.pas", "sub/deep/c.pas", ".git/x.pas", "Zed/d.PAS"})
        Touch(name);
    ASSERT_EQ(::symlink(".", (m_dir / "loop").c_str()), 0);
    ASSERT_EQ(::symlink("..", (m_dir / "sub/up").c_str()), 0);
    ASSERT_EQ(::symlink("sub", (m_dir / "sub.pas").c_str()), 0);
    ASSERT_EQ(::symlink("sub/b.pas", (m_dir / "linked.pas").c_str()), 0);
    ASSERT_EQ(::mkfifo((m_dir / "sub/fifo.pas").c_str(), 0600), 0);
    EXPECT_EQ(List("*.pas", {true, true}),
              (Names{"a.pas", "linked.pas", "sub/b.pas", "sub/deep/c.pas", "Zed/d.PAS"}));
    EXPECT_EQ(List("*.pas", {true, false}), (Names{"a.pas", "linked.pas"}));
    // The documented listing, for comparison: the same top directory.
    EXPECT_EQ(List("*.pas"), (Names{"a.pas", "linked.pas"}));
}

TEST_F(PosixFileSetTest, NamesAreSortedWithCaseIgnoredAndTiesByTheirBytes) {
    const Names delivered = {"B.pas", "a.pas", "_x.pas",   "A.pas",  "b.pas", "a b.pas",
                             "Z.pas", "1.pas", "\xE9.pas", "a_.pas", "aa.pas"};
    for (const std::string& name : delivered) Touch(name);
    const Names expected = {"1.pas",  "_x.pas", "a b.pas", "A.pas", "a.pas",   "a_.pas",
                            "aa.pas", "B.pas",  "b.pas",   "Z.pas", "\xE9.pas"};
    EXPECT_EQ(List("*.pas"), expected);
    EXPECT_EQ(OrderNames(delivered, 100).names, expected);
}

}  // namespace
}  // namespace sifter::test
