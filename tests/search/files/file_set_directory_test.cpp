// Setting a file set's directory and mask, re-reading it, and the hint for large reads.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdio>

#include "search/files/file_set.h"
#include "search/io_error.h"
#include "test_support.h"

namespace sifter {
namespace {

using Names = std::vector<std::string>;

class FileSetDirectoryTest : public testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_COLLATE, "C");
        ASSERT_EQ(::mkdir((m_dir / "src").c_str(), 0700), 0);
        test::WriteBytes(m_dir / "src/a.sc", "x");
        test::WriteBytes(m_dir / "src/b.sc", "x");
    }

    test::CurrentDirectoryGuard m_restore;
    test::TempDir m_dir;
    test::TempDir m_elsewhere;
};

TEST_F(FileSetDirectoryTest, StartsAtTheCurrentDirectoryWithEveryNameMaskedInAndNothingRead) {
    test::ChangeDirectory(m_dir / "src");
    const FileSet set;
    EXPECT_EQ(set.Directory(), m_dir / "src");
    EXPECT_EQ(set.Mask(), "*.*");
    EXPECT_EQ(set.Count(), 0);
}

TEST_F(FileSetDirectoryTest, SettingADirectoryMakesItCurrentAndReadsIt) {
    FileSet set;
    set.SetMask("*.sc");
    set.SetDirectory(m_dir / "src");
    EXPECT_EQ(set.Directory(), m_dir / "src");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "src");
    EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"}));
    EXPECT_EQ(set.Name(1), "b.sc");
}

TEST_F(FileSetDirectoryTest, SettingTheDirectoryItHoldsTouchesNothing) {
    FileSet set;
    set.SetMask("*.sc");
    set.SetDirectory(m_dir / "src");
    test::WriteBytes(m_dir / "src/c.sc", "x");
    test::ChangeDirectory(m_elsewhere.path());
    for (const std::string& same : {m_dir / "src", m_dir / "src/"}) {
        set.SetDirectory(same);
        EXPECT_EQ(set.Count(), 2) << same;
        EXPECT_EQ(test::CurrentDirectory(), m_elsewhere.path()) << same;
    }
}

TEST_F(FileSetDirectoryTest, ARelativePathOrTrailingSeparatorGivesTheFullPath) {
    test::ChangeDirectory(m_dir.path());
    FileSet set;
    set.SetDirectory("src/");
    EXPECT_EQ(set.Directory(), m_dir / "src");
    set.SetDirectory("..");
    EXPECT_EQ(set.Directory(), m_dir.path());
    set.SetDirectory("src/a.sc");  // a file stands for the directory it is in
    EXPECT_EQ(set.Directory(), m_dir / "src");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "src");
}

TEST_F(FileSetDirectoryTest, TheRootIsHeldWithItsSeparator) {
    FileSet set;
    set.SetMask("no-such-name-*.zz");
    set.SetDirectory("/");
    EXPECT_EQ(set.Directory(), "/");
    EXPECT_EQ(test::CurrentDirectory(), "/");
    set.SetDirectory(m_dir.path());
    set.SetDirectory("//");
    EXPECT_EQ(set.Directory(), "/");
}

TEST_F(FileSetDirectoryTest, AMissingDirectoryRaisesAndChangesNothing) {
    FileSet set;
    set.SetMask("*.sc");
    set.SetDirectory(m_dir / "src");
    test::ChangeDirectory(m_elsewhere.path());
    const struct {
        std::string path;
        const char* message;
    } cases[] = {{m_dir / "missing", "File not found"},
                 {m_dir / "missing/deeper/", "File not found"},
                 {"missing", "File not found"},
                 {m_dir / "src/a.sc/sub", "Invalid filename"}};
    for (const auto& c : cases) {
        try {
            set.SetDirectory(c.path);
            ADD_FAILURE() << c.path << " was accepted";
        } catch (const EInOutError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.path;
        }
        EXPECT_EQ(set.Directory(), m_dir / "src");
        EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"}));
        EXPECT_EQ(test::CurrentDirectory(), m_elsewhere.path()) << c.path;
    }
}

TEST_F(FileSetDirectoryTest, ARelativePathIsEnteredFromTheDirectoryHeld) {
    FileSet set;
    set.SetDirectory(m_dir.path());
    ASSERT_EQ(::mkdir((m_elsewhere / "only-here").c_str(), 0700), 0);
    test::ChangeDirectory(m_elsewhere.path());
    // The name exists where the process stands but not in the directory held.
    EXPECT_THROW(set.SetDirectory("only-here"), EInOutError);
    EXPECT_EQ(set.Directory(), m_dir.path());
    EXPECT_EQ(test::CurrentDirectory(), m_dir.path());
    set.SetDirectory("src");
    EXPECT_EQ(set.Directory(), m_dir / "src");
}

TEST_F(FileSetDirectoryTest, SettingTheSameMaskReadsNothingButRefreshAlwaysReads) {
    FileSet set;
    set.SetDirectory(m_dir / "src");
    set.SetMask("*.sc");
    test::WriteBytes(m_dir / "src/c.sc", "x");
    set.SetMask("*.sc");
    EXPECT_EQ(set.Count(), 2);
    set.SetMask("*.SC");  // another text, though it matches the same names
    EXPECT_EQ(set.Count(), 3);
    ASSERT_EQ(std::remove((m_dir / "src/a.sc").c_str()), 0);
    EXPECT_EQ(set.Count(), 3);  // a snapshot until the next read
    test::ChangeDirectory(m_elsewhere.path());
    set.Refresh();
    EXPECT_EQ(set.Names(), (Names{"b.sc", "c.sc"}));
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "src");
}

TEST_F(FileSetDirectoryTest, RefreshOfARemovedDirectoryRaisesAndKeepsTheNames) {
    FileSet set;
    set.SetDirectory(m_dir / "src");
    set.SetMask("*.sc");
    test::ChangeDirectory(m_elsewhere.path());
    ASSERT_EQ(std::remove((m_dir / "src/a.sc").c_str()), 0);
    ASSERT_EQ(std::remove((m_dir / "src/b.sc").c_str()), 0);
    ASSERT_EQ(::rmdir((m_dir / "src").c_str()), 0);
    EXPECT_THROW(set.Refresh(), EInOutError);
    EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"}));
    EXPECT_EQ(set.Directory(), m_dir / "src");
}

// The hourglass hint, with the listing order under the test's control.
class FileSetBusyTest : public FileSetDirectoryTest {
protected:
    // `count` names whose byte order is their sorted order.
    void MakeFiles(int count) {
        for (int i = 0; i < count; ++i)
            test::WriteBytes(m_dir / ("f" + std::to_string(1000 + i) + ".pas"), "");
    }

    std::vector<bool> ReadWith(bool ascending) {
        m_system.arrangeListing = [ascending](std::vector<test::FakeSystem::Listed>& entries) {
            std::sort(entries.begin(), entries.end(), [ascending](const auto& a, const auto& b) {
                return ascending ? a.name < b.name : a.name > b.name;
            });
        };
        std::vector<bool> calls;
        FileSet set(m_system);
        set.SetBusyCallback([&calls](bool busy) { calls.push_back(busy); });
        set.SetDirectory(m_dir.path());
        calls.clear();
        set.SetMask("*.pas");
        return calls;
    }

    test::FakeSystem m_system;
};

TEST_F(FileSetBusyTest, ShowsBusyWhenTheHundredAndFirstNameLandsInOrder) {
    MakeFiles(101);
    EXPECT_EQ(ReadWith(true), (std::vector<bool>{true, false}));
}

TEST_F(FileSetBusyTest, StaysQuietForAHundredNames) {
    MakeFiles(100);
    EXPECT_EQ(ReadWith(true), std::vector<bool>{});
}

TEST_F(FileSetBusyTest, StaysQuietWhenEveryNameLandsAtTheFront) {
    MakeFiles(150);
    EXPECT_EQ(ReadWith(false), std::vector<bool>{});
}

}  // namespace
}  // namespace sifter
