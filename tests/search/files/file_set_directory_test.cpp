// Setting a file set's directory and mask, re-reading it, and the hint for large reads, on every
// system and in its own path forms.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "file_set_fixture.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "test_support.h"

namespace sifter::test {
namespace {

// The scratch directory holds src/a.sc and src/b.sc.
class FileSetDirectoryTest : public FileSetFixture {
protected:
    void SetUp() override {
        FileSetFixture::SetUp();
        MakeDirectories({"src"});
        Touch("src/a.sc");
        Touch("src/b.sc");
    }

    std::string Source() const { return m_dir / "src"; }
};

TEST_F(FileSetDirectoryTest, StartsAtTheCurrentDirectoryWithEveryNameMaskedInAndNothingRead) {
    ChangeDirectory(Source());
    const FileSet set;
    EXPECT_EQ(set.Directory(), Source());
    EXPECT_EQ(set.Mask(), "*.*");
    EXPECT_EQ(set.Count(), 0);
}

TEST_F(FileSetDirectoryTest, SettingADirectoryMakesItCurrentAndReadsIt) {
    FileSet set;
    set.SetMask("*.sc");
    set.SetDirectory(Source());
    EXPECT_EQ(set.Directory(), Source());
    EXPECT_EQ(CurrentDirectory(), Source());
    EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"}));
    EXPECT_EQ(set.Name(1), "b.sc");
}

TEST_F(FileSetDirectoryTest, SettingTheDirectoryItHoldsTouchesNothing) {
    FileSet set;
    set.SetMask("*.sc");
    set.SetDirectory(Source());
    Touch("src/c.sc");
    ChangeDirectory(m_elsewhere.path());
    std::vector<std::string> spellings = {Source(), Native(Source() + "/")};
    for (const std::string& other : SystemSpelling().sameAs(Source())) spellings.push_back(other);
    for (const std::string& same : spellings) {
        set.SetDirectory(same);
        EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"})) << same;
        EXPECT_EQ(set.Directory(), Source()) << same;
        EXPECT_EQ(CurrentDirectory(), m_elsewhere.path()) << same;
    }
}

TEST_F(FileSetDirectoryTest, ARelativePathOrTrailingSeparatorGivesTheFullPath) {
    ChangeDirectory(m_dir.path());
    FileSet set;
    set.SetDirectory(Native("src/"));
    EXPECT_EQ(set.Directory(), Source());
    set.SetDirectory("..");
    EXPECT_EQ(set.Directory(), m_dir.path());
    set.SetDirectory(Native("src/a.sc"));  // a file stands for the directory it is in
    EXPECT_EQ(set.Directory(), Source());
    EXPECT_EQ(CurrentDirectory(), Source());
}

TEST_F(FileSetDirectoryTest, RootsAreHeldWithTheirSeparatorOtherDirectoriesWithout) {
    std::vector<PathSpelling::Held> cases = {{Native(Source() + "/"), Source()}};
    for (const PathSpelling::Held& root : SystemSpelling().roots) cases.push_back(root);
    FileSet set;
    set.SetMask("no-such-name-*.zz");
    for (const PathSpelling::Held& c : cases) {
        set.SetDirectory(m_dir.path());  // so that each case is a change
        set.SetDirectory(c.given);
        EXPECT_EQ(set.Directory(), c.held) << c.given;
        EXPECT_EQ(CurrentDirectory(), c.held) << c.given;
    }
}

TEST_F(FileSetDirectoryTest, AMissingDirectoryRaisesAndChangesNothing) {
    FileSet set;
    set.SetMask("*.sc");
    set.SetDirectory(Source());
    ChangeDirectory(m_elsewhere.path());
    struct Refused {
        std::string path;
        std::string message;
    };
    std::vector<Refused> cases = {{m_dir / "missing", "File not found"},
                                  {"missing", "File not found"}};
    for (const PathSpelling::Refused& refused : SystemSpelling().refused)
        cases.push_back({m_dir / Native(refused.below), refused.message});
    for (const Refused& c : cases) {
        try {
            set.SetDirectory(c.path);
            ADD_FAILURE() << c.path << " was accepted";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.what(), c.message) << c.path;
        }
        EXPECT_EQ(set.Directory(), Source());
        EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"}));
        EXPECT_EQ(CurrentDirectory(), m_elsewhere.path()) << c.path;
    }
}

TEST_F(FileSetDirectoryTest, ARelativePathIsEnteredFromTheDirectoryHeld) {
    FileSet set;
    set.SetDirectory(m_dir.path());
    ASSERT_TRUE(std::filesystem::create_directory(m_elsewhere / "only-here"));
    ChangeDirectory(m_elsewhere.path());
    // The name exists where the process stands but not in the directory held.
    EXPECT_THROW(set.SetDirectory("only-here"), EInOutError);
    EXPECT_EQ(set.Directory(), m_dir.path());
    EXPECT_EQ(CurrentDirectory(), m_dir.path());
    set.SetDirectory("src");
    EXPECT_EQ(set.Directory(), Source());
}

TEST_F(FileSetDirectoryTest, SettingTheSameMaskReadsNothingButRefreshAlwaysReads) {
    FileSet set;
    set.SetDirectory(Source());
    set.SetMask("*.sc");
    Touch("src/c.sc");
    set.SetMask("*.sc");
    EXPECT_EQ(set.Count(), 2);
    set.SetMask("*.SC");  // another text, though it matches the same names
    EXPECT_EQ(set.Count(), 3);
    ASSERT_TRUE(std::filesystem::remove(m_dir / Native("src/a.sc")));
    EXPECT_EQ(set.Count(), 3);  // a snapshot until the next read
    ChangeDirectory(m_elsewhere.path());
    set.Refresh();
    EXPECT_EQ(set.Names(), (Names{"b.sc", "c.sc"}));
    EXPECT_EQ(CurrentDirectory(), Source());
}

TEST_F(FileSetDirectoryTest, RefreshOfARemovedDirectoryRaisesAndKeepsTheNames) {
    FileSet set;
    set.SetDirectory(Source());
    set.SetMask("*.sc");
    ChangeDirectory(m_elsewhere.path());
    ASSERT_EQ(std::filesystem::remove_all(Source()), 3u);
    EXPECT_THROW(set.Refresh(), EInOutError);
    EXPECT_EQ(set.Names(), (Names{"a.sc", "b.sc"}));
    EXPECT_EQ(set.Directory(), Source());
}

// The hourglass hint, with the listing order under the test's control.
class FileSetBusyTest : public FileSetFixture {
protected:
    // `count` names whose byte order is their sorted order.
    void MakeFiles(int count) {
        for (int i = 0; i < count; ++i) Touch("f" + std::to_string(1000 + i) + ".pas");
    }

    std::vector<bool> ReadWith(bool ascending) {
        m_system.arrangeListing = [ascending](std::vector<FakeSystem::Listed>& entries) {
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

    FakeSystem m_system;
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
}  // namespace sifter::test
