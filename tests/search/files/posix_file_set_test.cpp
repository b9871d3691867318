// Which names a file set lists on POSIX systems: only regular files and links to them, never a
// FIFO or a directory, hidden names beginning with a full stop, no link followed into a
// directory, and names that differ in their letter case only. And when its files may be read
// without asking past their end.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "file_set_fixture.h"
#include "platform/platform.h"
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

// A read that comes back short ends a file only where every file of the set is a regular one
// on a file system that fills its reads: a link may lead anywhere, and the kernel's own files
// give a few kilobytes a read while more follow.
TEST_F(PosixFileSetTest, TakesAShortReadAsTheEndOnlyWhereEveryFileAllowsIt) {
    std::int32_t kernelFiles = 0;
    platform::System().ListDirectory("/proc/self", [&](const platform::DirEntry& entry) {
        kernelFiles += entry.type == platform::EntryType::Regular;
        EXPECT_FALSE(entry.shortReadIsEnd) << entry.name;
    });
    EXPECT_GT(kernelFiles, 0);

    MakeDirectories({"sub"});
    Touch("a.pas");
    Touch("sub/b.pas");
    bool plain = false;
    platform::System().ListDirectory(m_dir.path(), [&](const platform::DirEntry& entry) {
        if (entry.name == "a.pas") plain = entry.shortReadIsEnd;
    });
    for (const FileSet::Listing& listing : {FileSet::Listing{}, FileSet::Listing{true, true}}) {
        FileSet set;
        set.SetDirectory(m_dir.path());
        set.SetListing(listing);
        set.SetMask("*.pas");
        set.Refresh();
        EXPECT_EQ(set.ShortReadIsEnd(), plain);
        ASSERT_EQ(::symlink("a.pas", (m_dir / "link.pas").c_str()), 0);
        set.Refresh();
        EXPECT_FALSE(set.ShortReadIsEnd()) << listing.subdirectories;
        ASSERT_EQ(::unlink((m_dir / "link.pas").c_str()), 0);
        set.HoldOnly("a.pas");
        EXPECT_FALSE(set.ShortReadIsEnd());
    }
}

// Files of sizes about the reads' own: each reads back whole however it is opened and whatever
// the size of the reads asked.
TEST_F(PosixFileSetTest, AShortReadTakenAsTheEndLosesNoByte) {
    platform::SystemApi& system = platform::System();
    for (const std::size_t size : {0, 1, 127, 128, 4096, 65535, 65536, 65537, 131072, 200001}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
        const std::string path = m_dir / "f.pas";
        WriteBytes(path, bytes);
        for (const bool listed : {false, true}) {
            for (const std::int32_t chunk : {128, 70000}) {
                platform::OpenResult opened =
                    listed ? system.OpenListedRead(path) : system.OpenRead(path);
                ASSERT_TRUE(opened.file);
                std::string back;
                std::vector<char> buffer(static_cast<std::size_t>(chunk));
                for (;;) {
                    const platform::ReadResult got = opened.file->Read(buffer.data(), chunk);
                    ASSERT_EQ(got.error, 0);
                    if (got.count == 0) break;
                    back.append(buffer.data(), static_cast<std::size_t>(got.count));
                }
                EXPECT_EQ(back, bytes) << size << " bytes, listed " << listed << ", " << chunk;
            }
        }
    }
}

// Files read in one batch: those that fit its room come back whole, byte for byte, however the
// batch before left the rooms; the rest are left to an open of their own.
TEST_F(PosixFileSetTest, ABatchReadsWholeOnlyTheFilesThatFitItsRoom) {
    platform::SystemApi& system = platform::System();
    const std::unique_ptr<platform::ReadBatch> batch = system.MakeReadBatch();
    if (!batch) GTEST_SKIP() << "the system refuses io_uring here";
    constexpr std::size_t kRoom = platform::ReadBatch::kRoom;
    struct Case {
        std::string name;
        std::size_t size;  // written with this many bytes; npos: not a file
        bool whole;
    };
    const std::vector<Case> cases = {
        {"empty", 0, true},
        {"small", 100, true},
        {"room", kRoom, true},
        {"past", kRoom + 1, false},
        {"large", 200000, false},
        {"missing", std::string::npos, false},
        {"sub", std::string::npos, false},
        {std::string("nul\0x", 5), std::string::npos, false},
    };
    MakeDirectories({"sub"});
    for (const Case& c : cases) {
        if (c.size == std::string::npos) continue;
        std::string bytes(c.size, '\0');
        for (std::size_t i = 0; i < c.size; ++i) bytes[i] = static_cast<char>('a' + i % 19);
        WriteBytes(m_dir / c.name, bytes);
    }
    for (const bool reversed : {false, true}) {
        std::vector<std::string> paths;
        for (const Case& c : cases) paths.push_back(m_dir / c.name);
        if (reversed) std::reverse(paths.begin(), paths.end());
        std::vector<const std::string*> names;
        for (const std::string& path : paths) names.push_back(&path);
        batch->Read(names);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[reversed ? cases.size() - 1 - i : i];
            std::string_view bytes;
            ASSERT_EQ(batch->Whole(i, bytes), c.whole) << c.name;
            if (!c.whole) continue;
            ASSERT_EQ(bytes.size(), c.size) << c.name;
            for (std::size_t k = 0; k < c.size; ++k)
                ASSERT_EQ(bytes[k], static_cast<char>('a' + k % 19)) << c.name << " at " << k;
        }
    }
}

}  // namespace
}  // namespace sifter::test
