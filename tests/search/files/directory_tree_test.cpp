// The directory chooser's tree: building it at the current directory, what it lists and in
// which order, selecting, changing the volume, and opening and closing nodes.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <tuple>

#include "search/files/directory_tree.h"
#include "search/io_error.h"
#include "test_support.h"

namespace sifter {
namespace {

using Node = DirectoryTree::Node;
using Names = std::vector<std::string>;
using platform::Volume;

void MakeDirectory(const std::string& path) {
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
}

Names ChildNames(const DirectoryTree& tree, Node node) {
    Names names;
    for (const Node child : tree.Children(node)) names.push_back(tree.Name(child));
    return names;
}

// The rows a person sees: one blank of indent per level, then the name.
Names VisibleRows(const DirectoryTree& tree) {
    Names rows;
    for (const Node node : tree.VisibleNodes())
        rows.push_back(std::string(static_cast<std::size_t>(tree.Level(node)), ' ') +
                       tree.Name(node));
    return rows;
}

Node Child(const DirectoryTree& tree, Node parent, const std::string& name) {
    const Node child = tree.FindChild(parent, name);
    if (child == DirectoryTree::kNoNode) ADD_FAILURE() << "no child " << name;
    return child;
}

// The code and the message of the error `action` throws; 0 and nothing when it throws none.
std::pair<std::int32_t, std::string> IoErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EInOutError& error) {
        return {error.code(), error.what()};
    }
    return {0, {}};
}

// A volume at the scratch directory holds work/{B,C,a,src/deep} and other/; the process
// starts in work/src.
class DirectoryTreeTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"work", "work/B", "work/C", "work/a", "work/src", "work/src/deep",
                                 "work/.hidden", "work/.hidden/inner", "other"})
            MakeDirectory(m_dir / name);
        test::WriteBytes(m_dir / "work/file.txt", "x");
        ASSERT_EQ(::symlink((m_dir / "work/src").c_str(), (m_dir / "work/link").c_str()), 0);
        ASSERT_EQ(::mkfifo((m_dir / "work/pipe").c_str(), 0600), 0);
        m_system.listVolumes = [this] {
            return std::vector<Volume>{{"/", "system", "ext4", Volume::Kind::Fixed},
                                       {m_dir.path(), "data", "ext4", Volume::Kind::Fixed}};
        };
        test::ChangeDirectory(m_dir / "work/src");
    }

    Node Work(const DirectoryTree& tree) { return Child(tree, DirectoryTree::kTopNode, "work"); }

    test::CurrentDirectoryGuard m_restore;
    test::TempDir m_dir;
    test::FakeSystem m_system;
};

TEST_F(DirectoryTreeTest, StartsAtTheCurrentDirectoryWithItsAncestorsOpenAndItselfClosed) {
    const DirectoryTree tree(m_system);
    EXPECT_EQ(tree.VolumePath(), m_dir.path());
    EXPECT_EQ(tree.Directory(), m_dir / "work/src");
    // Directories only: no dot names, links, FIFOs or files.
    EXPECT_EQ(VisibleRows(tree),
              (Names{m_dir.path(), " other", " work", "  B", "  C", "  a", "  src"}));
    const Node src = Child(tree, Work(tree), "src");
    EXPECT_EQ(tree.Selected(), src);
    EXPECT_EQ(tree.Path(src), m_dir / "work/src");
    EXPECT_FALSE(tree.IsExpanded(src));
    EXPECT_FALSE(tree.IsRead(src));
    EXPECT_TRUE(tree.IsExpanded(Work(tree)));
    EXPECT_FALSE(tree.IsRead(Child(tree, Work(tree), "B")));
    // Building looks, it does not move.
    EXPECT_TRUE(m_system.directoriesEntered.empty());
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work/src");
    EXPECT_EQ(tree.Level(src), 2);
    const Node b = Child(tree, Work(tree), "B");
    EXPECT_EQ(tree.NextSibling(b), Child(tree, Work(tree), "C"));
    EXPECT_EQ(tree.PreviousSibling(src), Child(tree, Work(tree), "a"));
    EXPECT_EQ(tree.NextSibling(src), DirectoryTree::kNoNode);
}

TEST_F(DirectoryTreeTest, ChildrenAreInByteOrderWhateverOrderTheSystemDeliversThem) {
    const Names created = {"b", "B", "a", "ab", "a b", "Z", "\xC3\xA9", "_", "a1"};
    const Names expected = {"B", "Z", "_", "a", "a b", "a1", "ab", "b", "\xC3\xA9"};
    MakeDirectory(m_dir / "mixed");
    for (const std::string& name : created) MakeDirectory(m_dir / ("mixed/" + name));
    test::ChangeDirectory(m_dir / "mixed");
    // Delivered as the system has them, in ascending and in descending byte order.
    for (const int order : {0, 1, -1}) {
        m_system.arrangeListing = [order](std::vector<test::FakeSystem::Listed>& entries) {
            if (order == 0) return;
            std::sort(entries.begin(), entries.end(), [order](const auto& x, const auto& y) {
                return order > 0 ? x.name < y.name : x.name > y.name;
            });
        };
        DirectoryTree tree(m_system);
        tree.Expand(tree.Selected());
        EXPECT_EQ(ChildNames(tree, tree.Selected()), expected) << "order " << order;
    }
}

TEST_F(DirectoryTreeTest, AWalkThatCannotFollowTheStartDirectoryStopsAtTheDeepestNodeItReached) {
    test::ChangeDirectory(m_dir / "work/.hidden/inner");
    DirectoryTree tree(m_system);
    const Node work = Work(tree);
    EXPECT_EQ(tree.Selected(), work);
    EXPECT_FALSE(tree.IsExpanded(work));
    EXPECT_TRUE(tree.IsRead(work));
    // Until the user moves, the tree still stands for where the process is.
    EXPECT_EQ(tree.Directory(), m_dir / "work/.hidden/inner");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work/.hidden/inner");
    tree.Select(Child(tree, work, "C"));
    EXPECT_EQ(tree.Directory(), m_dir / "work/C");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work/C");
}

TEST_F(DirectoryTreeTest, SelectingMakesTheNodeCurrentAtOnceAndAGoneOneThrowsNamingIt) {
    DirectoryTree tree(m_system);
    const Node c = Child(tree, Work(tree), "C");
    tree.Select(c);
    EXPECT_EQ(tree.Selected(), c);
    EXPECT_EQ(tree.Directory(), m_dir / "work/C");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work/C");
    EXPECT_EQ(m_system.directoriesEntered, (Names{m_dir / "work/C"}));
    tree.Select(c);
    EXPECT_EQ(m_system.directoriesEntered.size(), 1u);
    tree.Select(DirectoryTree::kTopNode);
    EXPECT_EQ(tree.Directory(), m_dir.path());
    EXPECT_EQ(test::CurrentDirectory(), m_dir.path());
    // Removed after it was read: Directory names it, the process stays where it was.
    const Node a = Child(tree, Work(tree), "a");
    ASSERT_EQ(::rmdir((m_dir / "work/a").c_str()), 0);
    EXPECT_EQ(IoErrorOf([&] { tree.Select(a); }), std::make_pair(2, std::string("File not found")));
    EXPECT_EQ(tree.Selected(), a);
    EXPECT_EQ(tree.Directory(), m_dir / "work/a");
    EXPECT_EQ(test::CurrentDirectory(), m_dir.path());
}

TEST_F(DirectoryTreeTest, AnotherVolumeShowsItsTopNodeAloneAndTheSameOneChangesNothing) {
    DirectoryTree tree(m_system);
    tree.Expand(Child(tree, Work(tree), "B"));
    const Names before = VisibleRows(tree);
    tree.ChangeVolume(m_dir.path());
    EXPECT_EQ(VisibleRows(tree), before);
    EXPECT_TRUE(m_system.directoriesEntered.empty());
    tree.ChangeVolume(m_dir / "other");
    EXPECT_EQ(tree.VolumePath(), m_dir / "other");
    EXPECT_EQ(tree.Directory(), m_dir / "other");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "other");
    EXPECT_EQ(VisibleRows(tree), (Names{m_dir / "other"}));
    EXPECT_EQ(tree.NodeCount(), 1);
    EXPECT_EQ(tree.Selected(), DirectoryTree::kTopNode);
    EXPECT_FALSE(tree.IsExpanded(DirectoryTree::kTopNode));
    EXPECT_FALSE(tree.IsRead(DirectoryTree::kTopNode));
    // Through a link the tree still shows the mount path, and Directory the physical path.
    ASSERT_EQ(::symlink((m_dir / "other").c_str(), (m_dir / "mounted").c_str()), 0);
    tree.ChangeVolume(m_dir / "mounted");
    EXPECT_EQ(VisibleRows(tree), (Names{m_dir / "mounted"}));
    EXPECT_EQ(tree.Directory(), m_dir / "other");
}

TEST_F(DirectoryTreeTest, AVolumeThatCannotBeEnteredThrowsAndChangesNothing) {
    // Label, the system's answer (0: the mount path is missing), the code and message thrown.
    using Case = std::tuple<const char*, std::int32_t, std::int32_t, const char*>;
    for (const auto& [label, failure, code, message] :
         {Case{"not ready", 21, 21, "I/O error 21"}, Case{"missing", 0, 2, "File not found"}}) {
        const std::string mount = m_dir / (failure != 0 ? "other" : "gone");
        m_system.failSetCurrentDirectory = [&](const std::string& path) {
            return path == mount ? failure : 0;
        };
        DirectoryTree tree(m_system);
        tree.Expand(Child(tree, Work(tree), "B"));
        const Names before = VisibleRows(tree);
        EXPECT_EQ(IoErrorOf([&] { tree.ChangeVolume(mount); }),
                  std::make_pair(code, std::string(message)))
            << label;
        EXPECT_EQ(VisibleRows(tree), before) << label;
        EXPECT_EQ(tree.VolumePath(), m_dir.path()) << label;
        EXPECT_EQ(tree.Directory(), m_dir / "work/src") << label;
        EXPECT_EQ(test::CurrentDirectory(), m_dir / "work/src") << label;
        // The tree still belongs to the volume it shows, so the same volume can be tried again.
        m_system.failSetCurrentDirectory = nullptr;
        if (failure == 0) continue;
        tree.ChangeVolume(mount);
        EXPECT_EQ(tree.VolumePath(), mount);
        test::ChangeDirectory(m_dir / "work/src");
    }
}

TEST_F(DirectoryTreeTest, EachNodeIsReadOnceAndAnEmptyOneStillOpens) {
    DirectoryTree tree(m_system);
    const Node selected = tree.Selected();
    const Node b = Child(tree, Work(tree), "B");
    tree.Expand(b);
    EXPECT_TRUE(tree.IsRead(b));
    EXPECT_TRUE(tree.IsExpanded(b));
    EXPECT_TRUE(tree.Children(b).empty());
    EXPECT_EQ(tree.Selected(), selected);
    // A subdirectory made after the read appears only when the tree is built again.
    const int listings = m_system.listings;
    MakeDirectory(m_dir / "work/D");
    tree.Collapse(Work(tree));
    tree.Expand(Work(tree));
    EXPECT_EQ(m_system.listings, listings);
    EXPECT_EQ(ChildNames(tree, Work(tree)), (Names{"B", "C", "a", "src"}));
    tree.Build();
    tree.Expand(Work(tree));
    EXPECT_EQ(ChildNames(tree, Work(tree)), (Names{"B", "C", "D", "a", "src"}));
}

TEST_F(DirectoryTreeTest, ReadingANodeAgainShowsWhatWasMadeAndRemovedSinceAndKeepsTheRest) {
    DirectoryTree tree(m_system);
    const Node work = Work(tree);
    const Node src = tree.Selected();
    const int listings = m_system.listings;
    tree.Reread(src);  // not read yet: its first expansion reads it
    EXPECT_EQ(m_system.listings, listings);
    EXPECT_FALSE(tree.IsRead(src));
    tree.Expand(src);
    tree.Select(Child(tree, work, "C"));
    MakeDirectory(m_dir / "work/D");
    MakeDirectory(m_dir / "work/0");
    ASSERT_EQ(::rmdir((m_dir / "work/C").c_str()), 0);
    tree.Reread(work);
    EXPECT_EQ(VisibleRows(tree), (Names{m_dir.path(), " other", " work", "  0", "  B", "  D", "  a",
                                        "  src", "   deep"}));
    // What stays keeps its node and its state; the selection left with C for its parent.
    EXPECT_EQ(Child(tree, work, "src"), src);
    EXPECT_TRUE(tree.IsExpanded(src));
    EXPECT_EQ(tree.Selected(), work);
    EXPECT_EQ(tree.Directory(), m_dir / "work");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work");
}

TEST_F(DirectoryTreeTest, ExpandingASubtreeReadsEveryLevelOfItAndNothingBeside) {
    DirectoryTree tree(m_system);
    const Node work = Work(tree);
    const Node other = Child(tree, DirectoryTree::kTopNode, "other");
    tree.ExpandSubtree(work);
    EXPECT_EQ(VisibleRows(tree),
              (Names{m_dir.path(), " other", " work", "  B", "  C", "  a", "  src", "   deep"}));
    const Node deep = Child(tree, Child(tree, work, "src"), "deep");
    EXPECT_TRUE(tree.IsRead(deep));
    EXPECT_TRUE(tree.IsExpanded(deep));
    EXPECT_FALSE(tree.IsRead(other));
    tree.ExpandAll();
    EXPECT_TRUE(tree.IsRead(other));
    EXPECT_TRUE(tree.IsExpanded(other));
}

TEST_F(DirectoryTreeTest, CollapsingASubtreeClosesEveryNodeBelowAndKeepsTheSelectionInSight) {
    DirectoryTree tree(m_system);
    tree.ExpandAll();
    const Node work = Work(tree);
    const Node src = Child(tree, work, "src");
    tree.CollapseSubtree(src);
    EXPECT_EQ(tree.Selected(), src);
    EXPECT_FALSE(tree.IsExpanded(src));
    EXPECT_TRUE(tree.IsExpanded(work));
    tree.Expand(src);
    EXPECT_FALSE(tree.IsExpanded(Child(tree, src, "deep")));
    // Closing an ancestor of the selection moves the selection up to it, like a click there.
    tree.CollapseSubtree(work);
    EXPECT_EQ(tree.Selected(), work);
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work");
    EXPECT_EQ(VisibleRows(tree), (Names{m_dir.path(), " other", " work"}));
}

TEST_F(DirectoryTreeTest, OnTheRootVolumeTheTopNodeIsTheRootAndPathsHaveSingleSeparators) {
    m_system.listVolumes = [] {
        return std::vector<Volume>{{"/", "", "ext4", Volume::Kind::Fixed}};
    };
    test::ChangeDirectory("/");
    DirectoryTree root(m_system);
    EXPECT_EQ(root.Directory(), "/");
    EXPECT_EQ(VisibleRows(root), (Names{"/"}));
    root.Expand(DirectoryTree::kTopNode);
    ASSERT_FALSE(root.Children(DirectoryTree::kTopNode).empty());
    const Node first = root.Children(DirectoryTree::kTopNode).front();
    EXPECT_EQ(root.Path(first), "/" + root.Name(first));
}

TEST(DirectoryTreeVolumeOf, TheLongestMountPathThatHoldsTheDirectory) {
    // clang-format off
    const std::vector<Volume> volumes = {
        {"/", "", "ext4"}, {"/media/usb", "", "vfat"}, {"/media/usb/inner", "", "ext4"},
        {"/home", "", "ext4"}};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/", "/"}, {"/etc", "/"}, {"/home", "/home"}, {"/home/ann/src", "/home"},
        {"/homework", "/"}, {"/media/usb", "/media/usb"}, {"/media/usb/photos", "/media/usb"},
        {"/media/usbstick", "/"}, {"/media/usb/inner/x", "/media/usb/inner"}, {"", "/"}};
    // clang-format on
    for (const auto& [directory, mount] : cases)
        EXPECT_EQ(DirectoryTree::VolumeOf(directory, volumes), mount) << directory;
    EXPECT_EQ(DirectoryTree::VolumeOf("/data", {}), "/");
    EXPECT_EQ(DirectoryTree::VolumeOf("/data/x", {{"/data", "", "ext4"}}), "/data");
}

}  // namespace
}  // namespace sifter
