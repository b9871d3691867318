// The walk of a project's tree, on one thread and on several, over a scripted tree: the order,
// what is left out, and the directories that cannot be listed, on every system.

#include "search/files/directory_walk.h"

#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <mutex>

#include "platform/path_rules.h"
#include "search/files/mask_list.h"
#include "search/files/parallel_walk.h"
#include "search/io_error.h"
#include "test_support.h"

namespace sifter {
namespace {

using Names = std::vector<std::string>;
constexpr const char* kRoot = "R";

// Paths of the script are written with '/'; the walk writes the system's separator.
std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/') c = platform::Paths().Separator();
    return path;
}

std::string Scripted(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// A tree described line by line: "a.pas" a file, "sub/" a directory, "x -> y" a link to y, "d/
// !5" a directory whose listing fails with code 5. A name that begins with a full stop is
// hidden. Every directory's entries come in the order given.
class TreeSystem final : public test::ForwardingSystem {
public:
    explicit TreeSystem(const std::vector<std::string>& lines) {
        m_listings[kRoot];
        for (const std::string& line : lines) {
            std::string path = line;
            Entry entry;
            if (const std::size_t arrow = line.find(" -> "); arrow != std::string::npos) {
                path = line.substr(0, arrow);
                entry.type = platform::EntryType::Symlink;
                entry.target = line.substr(arrow + 4);
            } else if (const std::size_t bang = line.find(" !"); bang != std::string::npos) {
                path = line.substr(0, bang);
                entry.type = platform::EntryType::Directory;
                m_failures[std::string(kRoot) + "/" + path.substr(0, path.size() - 1)] =
                    std::stoi(line.substr(bang + 2));
            } else if (path.back() == '/') {
                entry.type = platform::EntryType::Directory;
            }
            if (path.back() == '/') path.pop_back();
            const std::size_t slash = path.rfind('/');
            const std::string parent =
                std::string(kRoot) +
                (slash == std::string::npos ? "" : "/" + path.substr(0, slash));
            entry.name = path.substr(slash == std::string::npos ? 0 : slash + 1);
            m_listings[parent].push_back(entry);
            if (entry.type == platform::EntryType::Directory)
                m_listings[std::string(kRoot) + "/" + path];
        }
    }

    std::int32_t ListDirectory(
        const std::string& path,
        const std::function<void(const platform::DirEntry&)>& each) override {
        // Walks list on several threads at once.
        const std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const std::string key = Scripted(path);
        listed.push_back(key);
        if (const auto failure = m_failures.find(key); failure != m_failures.end())
            return failure->second;
        const auto listing = m_listings.find(key);
        if (listing == m_listings.end()) return 3;
        for (const Entry& entry : listing->second)
            each({entry.name, entry.type, entry.name.front() == '.'});
        return 0;
    }

    platform::EntryType ResolveType(const std::string& path) override {
        const std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const std::string key = Scripted(path);
        const std::size_t slash = key.rfind('/');
        for (const Entry& entry : m_listings[key.substr(0, slash)]) {
            if (entry.name != key.substr(slash + 1)) continue;
            if (entry.type != platform::EntryType::Symlink) return entry.type;
            return ResolveType(std::string(kRoot) + "/" + entry.target);
        }
        return platform::EntryType::Unknown;
    }

    std::vector<std::string> listed;

private:
    struct Entry {
        std::string name;
        platform::EntryType type = platform::EntryType::Regular;
        std::string target;
    };
    std::map<std::string, std::vector<Entry>> m_listings;
    std::map<std::string, std::int32_t> m_failures;
    std::recursive_mutex m_mutex;
};

struct WalkCase {
    const char* what;
    std::vector<std::string> tree;
    std::string masks;
    bool subdirectories;
    Names names;
    std::vector<UnreadableDirectory> unreadable = {};
    std::string leaveOut = {};  // the subdirectories left out
};

class DirectoryWalkTest : public testing::TestWithParam<WalkCase> {
protected:
    void SetUp() override { std::setlocale(LC_COLLATE, "C"); }
};

TEST_P(DirectoryWalkTest, ListsTheTreeInTheSearchOrder) {
    const WalkCase& c = GetParam();
    Names names;
    for (const std::string& name : c.names) names.push_back(Native(name));
    std::vector<UnreadableDirectory> unreadable = c.unreadable;
    for (UnreadableDirectory& directory : unreadable) directory.path = Native(directory.path);
    // One directory per step, then the same tree listed on several threads at once, again and
    // again so that the threads meet in many ways: the same names, the same places.
    for (const std::int32_t workers : {-1, 0, 1, 3, 7}) {
        for (int round = 0; round < (workers > 0 ? 20 : 1); ++round) {
            SCOPED_TRACE(testing::Message() << c.what << ", " << workers << " workers");
            TreeSystem system(c.tree);
            const WalkRules rules{MaskList(c.masks), c.subdirectories, MaskList(c.leaveOut)};
            DirectoryWalk one(system, kRoot, rules.masks, rules.subdirectories, rules.leaveOut);
            ParallelWalk several(system, kRoot, rules, workers);
            workers < 0 ? one.Finish() : several.Finish();
            ASSERT_EQ(workers < 0 ? one.Names() : several.Names(), names);
            ASSERT_EQ(workers < 0 ? one.Unreadable() : several.Unreadable(), unreadable);
            // No directory is listed twice, whatever links there are.
            std::vector<std::string> listed = system.listed;
            std::sort(listed.begin(), listed.end());
            EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());
        }
    }
}

// A chain of directories, each with two files, a side directory of one file and, at the
// bottom, one that cannot be listed: the side directories' files come after the whole chain,
// from the deepest up, while the threads list them long before their turn.
WalkCase DeepTree(int depth) {
    WalkCase c{"a deep chain, each level with a side directory", {}, "*.pas", true, {}};
    std::vector<std::string> sides;
    std::string path;
    for (int level = 0; level <= depth; ++level) {
        for (const char* file : {"a.pas", "b.pas"}) {
            c.tree.push_back(path + file);
            c.names.push_back(path + file);
        }
        if (level == depth) {
            c.tree.push_back(path + "z/ !5");
            c.unreadable.push_back({path + "z", 5, static_cast<std::int32_t>(c.names.size())});
            break;
        }
        c.tree.push_back(path + "e/");
        c.tree.push_back(path + "e/x.pas");
        sides.push_back(path + "e/x.pas");
        path += "d/";
        c.tree.push_back(path);
    }
    c.names.insert(c.names.end(), sides.rbegin(), sides.rend());
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectoryWalkTest,
    testing::Values(
        WalkCase{"a directory's files first, then each subdirectory whole, in name order",
                 {"b/", "b/z.pas", "b/c/", "b/c/y.pas", "A/", "A/x.pas", "m.pas", "a.pas"},
                 "*.pas",
                 true,
                 {"a.pas", "m.pas", "A/x.pas", "b/z.pas", "b/c/y.pas"}},
        WalkCase{"without subdirectories only the directory's own files",
                 {"b/", "b/z.pas", "m.pas"},
                 "*.pas",
                 false,
                 {"m.pas"}},
        WalkCase{"hidden directories and files are left out",
                 {".git/", ".git/h.pas", ".h.pas", "s/", "s/.x.pas", "s/v.pas"},
                 "*.pas",
                 true,
                 {"s/v.pas"}},
        WalkCase{"a link to a directory is not followed; one to a file is a file",
                 {"src/", "src/u.pas", "alias -> src", "same.pas -> src/u.pas"},
                 "*.pas",
                 true,
                 {"same.pas", "src/u.pas"}},
        WalkCase{"a tree that links to itself is walked once",
                 {"a/", "a/b/", "a/b/up -> a", "a/b/root -> .", "a/b/f.pas"},
                 "*.pas",
                 true,
                 {"a/b/f.pas"}},
        WalkCase{"a directory that cannot be listed is noted where its files would be",
                 {"a/", "a/1.pas", "b/ !5", "c/", "c/2.pas", "0.pas"},
                 "*.pas",
                 true,
                 {"0.pas", "a/1.pas", "c/2.pas"},
                 {{"b", 5, 2}}},
        WalkCase{"one removed after its parent was listed, deep down and last",
                 {"a/", "a/b/ !2", "a/1.pas"},
                 "*.pas",
                 true,
                 {"a/1.pas"},
                 {{"a/b", 2, 1}}},
        WalkCase{"a directory matching the mask is no file, and a file no directory",
                 {"x.pas/", "x.pas/in.pas", "y.pas"},
                 "*.pas",
                 true,
                 {"y.pas", "x.pas/in.pas"}},
        WalkCase{"several masks, overlapping: each file once, in one order",
                 {"b.PP", "a.pas", "c.inc", "d.txt", "s/", "s/e.inc", "s/ab.pas"},
                 "*.pas;*.pp;*.inc;a*",
                 true,
                 {"a.pas", "b.PP", "c.inc", "s/ab.pas", "s/e.inc"}},
        WalkCase{"an empty pattern finds nothing", {"a.pas", "b"}, ";*.pas;", false, {"a.pas"}},
        WalkCase{
            "directories left out by their own names, letter case ignored, never listed",
            {"a.pas", "Backup/", "Backup/b.pas", "src/", "src/c.pas", "src/lib/", "src/lib/d.pas",
             "src/x.old/", "src/x.old/e.pas", "lib/", "lib/f.pas", "backups/", "backups/g.pas"},
            "*.pas",
            true,
            {"a.pas", "backups/g.pas", "src/c.pas"},
            {},
            "backup;LIB;*.OLD"},
        WalkCase{"a directory left out is not read, so it cannot fail",
                 {"a/", "a/1.pas", "b/ !5", "c.pas"},
                 "*.pas",
                 true,
                 {"c.pas", "a/1.pas"},
                 {},
                 "b"},
        WalkCase{"a directory named like a file left out is not one",
                 {"x.pas/", "x.pas/in.pas", "y.pas", "z.pas"},
                 "*.pas",
                 true,
                 {"y.pas", "z.pas"},
                 {},
                 "*.pas"},
        WalkCase{"nothing is left out without subdirectories: the root is walked",
                 {"a.pas", "s/", "s/b.pas"},
                 "*.pas",
                 false,
                 {"a.pas"},
                 {},
                 "*"},
        // Short enough for the paths Windows lists.
        DeepTree(100)));

TEST(DirectoryWalkStepsTest, ListsOneDirectoryPerStepAndAPathTooLongNever) {
    // A path just past what the system lists (a scripted name may be longer than a real one).
    const std::string deep(
        platform::Paths().style() == platform::PathRules::Style::Windows ? 254 : 4094, 'd');
    TreeSystem system({"a.pas", "s/", "s/b.pas", deep + "/", deep + "/c.pas", "t/", "t/d.pas"});
    DirectoryWalk walk(system, kRoot, MaskList("*.pas"), true);
    const std::vector<std::size_t> namesAfterEachStep = {1, 1, 2, 3};
    for (const std::size_t names : namesAfterEachStep) {
        ASSERT_FALSE(walk.Done());
        walk.Step();
        EXPECT_EQ(walk.Names().size(), names);
    }
    EXPECT_TRUE(walk.Done());
    EXPECT_EQ(walk.Unreadable(), (std::vector<UnreadableDirectory>{{deep, kPathTooLong, 1}}));
    EXPECT_EQ(system.listed, (std::vector<std::string>{"R", "R/s", "R/t"}));
}

TEST(ParallelWalkTest, AWalkedDirectoryThatCannotBeListedEndsTheWalk) {
    TreeSystem system({"a.pas", "s/", "s/b.pas"});
    ParallelWalk walk(system, "missing", WalkRules{MaskList("*.pas"), true}, 3);
    walk.Finish();
    EXPECT_EQ(walk.TopError(), 3);
    EXPECT_TRUE(walk.Names().empty());
    EXPECT_TRUE(walk.Unreadable().empty());
}

TEST(UnreadableReasonTest, SaysWhyInAFewWords) {
    EXPECT_EQ(UnreadableReason(5), "access denied");
    EXPECT_EQ(UnreadableReason(2), "not found");
    EXPECT_EQ(UnreadableReason(3), "not found");
    EXPECT_EQ(UnreadableReason(kPathTooLong), "path too long");
    EXPECT_EQ(UnreadableReason(1005), IoErrorMessage(1005));
}

}  // namespace
}  // namespace sifter
