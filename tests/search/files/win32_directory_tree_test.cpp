// The directory chooser's tree and drive list on Windows: the drive's root as the top node,
// the hidden and system attributes, and directories compared with letter case ignored.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/path_rules.h"
#include "platform/win32_headers.h"
#include "search/files/directory_tree.h"
#include "test_support.h"

namespace sifter {
namespace {

using Node = DirectoryTree::Node;
using Names = std::vector<std::string>;

void MakeDirectory(const std::string& path) {
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path << ": " << ::GetLastError();
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

Names ChildNames(const DirectoryTree& tree, Node node) {
    Names names;
    for (const Node child : tree.Children(node)) names.push_back(tree.Name(child));
    return names;
}

// The node the tree's walk reached for the scratch directory's "work".
Node WorkNode(const DirectoryTree& tree) {
    Node node = tree.Selected();
    while (node != DirectoryTree::kNoNode && tree.Name(node) != "work") node = tree.Parent(node);
    return node;
}

// The scratch directory holds work\{B,C,a,src,.dot,hidden,system} and a file; the process
// starts in work\src.
class Win32DirectoryTreeTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"work", "work\\B", "work\\C", "work\\a", "work\\src", "work\\.dot",
                                 "work\\hidden", "work\\system"})
            MakeDirectory(m_dir / name);
        test::WriteBytes(m_dir / "work\\file.txt", "x");
        ASSERT_TRUE(::SetFileAttributesA((m_dir / "work\\hidden").c_str(),
                                         FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(::SetFileAttributesA((m_dir / "work\\system").c_str(),
                                         FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
        test::ChangeDirectory(m_dir / "work\\src");
    }

    test::TempDir m_dir;
    test::CurrentDirectoryGuard m_restore;
    test::FakeSystem m_system;
};

TEST_F(Win32DirectoryTreeTest, TheTopNodeIsTheDrivesRootAndTheWalkReachesTheStart) {
    const DirectoryTree tree(m_system);
    EXPECT_EQ(tree.Directory(), m_dir / "work\\src");
    EXPECT_EQ(tree.VolumePath(), m_dir.path().substr(0, 3));
    EXPECT_EQ(tree.Name(DirectoryTree::kTopNode), tree.VolumePath());
    EXPECT_EQ(tree.Path(tree.Selected()), m_dir / "work\\src");
    EXPECT_FALSE(tree.IsExpanded(tree.Selected()));
    // Sorted byte by byte; no dot name, hidden or system directory, and no file.
    const Node work = WorkNode(tree);
    ASSERT_NE(work, DirectoryTree::kNoNode);
    EXPECT_EQ(ChildNames(tree, work), (Names{"B", "C", "a", "src"}));
}

TEST_F(Win32DirectoryTreeTest, ADirectoryInAnotherLetterCaseIsTheSameDirectory) {
    // The start spelt in capitals: the walk cannot follow it name by name, and selecting the
    // node of that very directory is no change of directory.
    test::ChangeDirectory(Upper(m_dir / "work\\src"));
    DirectoryTree tree(m_system);
    EXPECT_EQ(tree.Directory(), Upper(m_dir / "work\\src"));
    tree.Expand(tree.Selected());
    Node node = tree.Selected();
    const std::string start = m_dir / "work\\src";
    for (const std::string_view name :
         platform::Paths().SplitNames(std::string_view(start).substr(3))) {
        tree.Expand(node);
        node = tree.FindChild(node, name);
        ASSERT_NE(node, DirectoryTree::kNoNode) << name;
    }
    tree.Select(node);
    EXPECT_EQ(tree.Directory(), Upper(m_dir / "work\\src"));
    EXPECT_TRUE(m_system.directoriesEntered.empty());
    // Another directory is entered and named as the tree spells it.
    tree.Select(tree.Parent(node));
    EXPECT_EQ(tree.Directory(), m_dir / "work");
    EXPECT_EQ(test::CurrentDirectory(), m_dir / "work");
}

TEST_F(Win32DirectoryTreeTest, ChangingTheDriveShowsItsRootInTheCaseItCameIn) {
    DirectoryTree tree(m_system);
    const std::string other = Upper(tree.VolumePath()) == "Z:\\" ? "c:\\" : "z:\\";
    tree.ChangeVolume(other);
    EXPECT_EQ(tree.VolumePath(), other);
    EXPECT_EQ(tree.Directory(), other);
    EXPECT_EQ(tree.NodeCount(), 1);
    EXPECT_EQ(tree.Name(DirectoryTree::kTopNode), other);
    EXPECT_EQ(test::CurrentDirectory(), other);
    const std::size_t entered = m_system.directoriesEntered.size();
    tree.ChangeVolume(Upper(other));  // the same drive, case ignored
    EXPECT_EQ(m_system.directoriesEntered.size(), entered);
    EXPECT_EQ(tree.VolumePath(), other);
}

TEST(Win32DriveListTest, TheDrivesPresentInLetterOrderWithTheirRootsInLowerCase) {
    const std::vector<platform::Volume> volumes = platform::NativeSystem().ListVolumes();
    Names roots;
    for (const platform::Volume& volume : volumes) roots.push_back(volume.mountPath);
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    for (const char* root : {"c:\\", "z:\\"})
        EXPECT_NE(std::find(roots.begin(), roots.end(), root), roots.end()) << root;
    for (const platform::Volume& volume : volumes) {
        EXPECT_EQ(volume.mountPath.size(), 3u) << volume.mountPath;
        if (volume.mountPath == "c:\\") {
            EXPECT_EQ(volume.kind, platform::Volume::Kind::Fixed);
        }
    }
}

}  // namespace
}  // namespace sifter
