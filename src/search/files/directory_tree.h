#pragma once
// The directory chooser's tree: the directories of one volume, read a level at a time as the
// user opens them, and the directory the tree stands for.
//
// The tree makes every directory the user selects the process's current directory at once;
// the file set takes it back at its next refresh.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace sifter {

class DirectoryTree final {
public:
    // Nodes are numbered from the top node (0) in the order they were read; a number stays
    // valid until the tree is built again.
    using Node = std::int32_t;
    static constexpr Node kNoNode = -1;
    static constexpr Node kTopNode = 0;

    // Stands for the process's current directory, on the volume that holds it, and builds.
    explicit DirectoryTree(platform::SystemApi& system = platform::System());

    // The directory the tree stands for, as the platform reports it (a root keeps its
    // separator: "/", "C:\").
    const std::string& Directory() const { return m_directory; }
    // The mount path or drive root of the volume shown ("/media/usb", "C:\"); it names the
    // top node.
    const std::string& VolumePath() const { return m_volumePath; }
    Node Selected() const { return m_selected; }

    std::int32_t NodeCount() const { return static_cast<std::int32_t>(m_nodes.size()); }
    const std::string& Name(Node node) const { return At(node).name; }
    Node Parent(Node node) const { return At(node).parent; }
    // Sorted by bytes: "B", "C", "a"; a name before every longer name that begins with it.
    const std::vector<Node>& Children(Node node) const { return At(node).children; }
    bool IsRead(Node node) const { return At(node).read; }
    bool IsExpanded(Node node) const { return At(node).expanded; }
    // 0 for the top node.
    int Level(Node node) const;
    // "/", "/home/ann", "C:\WORK\SRC": the names from the top node down.
    std::string Path(Node node) const;
    Node FindChild(Node parent, std::string_view name) const;
    // The siblings just before and after; kNoNode at either end and for the top node.
    Node PreviousSibling(Node node) const;
    Node NextSibling(Node node) const;
    // The top node and every node whose ancestors are all expanded, in display order.
    std::vector<Node> VisibleNodes() const;

    // Starts again from the top node and walks `Directory` down from the volume's mount path,
    // reading and expanding each level on the way, and selects the node reached, collapsed.
    // When a name of the path is not in the tree (a hidden directory, a path on another
    // volume), the walk stops at the deepest node it could follow and selects that one;
    // `Directory` keeps naming the real directory until the user selects another node.
    void Build();

    // Selects `node`. Unless its path, in the system's full form, names `Directory` already
    // (letter case ignored where the system ignores it), `Directory` becomes that path
    // and the directory is made current at once; when that fails, EInOutError is thrown with
    // the selection moved and `Directory` already naming it.
    void Select(Node node);

    // Shows the volume mounted at `mountPath`; ignored when it is the volume shown. The mount
    // path is made current first: when that fails, EInOutError is thrown and nothing changes,
    // so picking the same volume again tries again. Otherwise `Directory` becomes the current
    // directory and the tree shows the top node alone, selected.
    void ChangeVolume(const std::string& mountPath);

    // Reads the children the first time; a node without children still counts as expanded.
    void Expand(Node node);
    void Collapse(Node node);
    // `node` and every node below it.
    void CollapseSubtree(Node node);
    // `node` and every node below it, reading every level of that subtree.
    void ExpandSubtree(Node node);
    // Reads the subdirectories of a node that was read before once more: the new ones take
    // their sorted places, those that are gone leave with every node below them, and those
    // that stay keep theirs as they were. A selection that left with them moves to `node`
    // (see Select). A node not read yet waits for its first expansion.
    void Reread(Node node);
    void ExpandAll() { ExpandSubtree(kTopNode); }

    // The mount path of the volume that holds `directory`: the longest one that contains it,
    // spelt as the directory spells it; the root of the directory's own prefix ("/", "C:\",
    // "\\server\share\") when no volume does.
    static std::string VolumeOf(const std::string& directory,
                                const std::vector<platform::Volume>& volumes);

private:
    struct NodeData {
        std::string name;
        Node parent = kNoNode;
        std::vector<Node> children;
        bool read = false;
        bool expanded = false;
    };

    const NodeData& At(Node node) const { return m_nodes.at(static_cast<std::size_t>(node)); }
    NodeData& At(Node node) { return m_nodes.at(static_cast<std::size_t>(node)); }
    void ReadChildren(Node node);
    // The subdirectories of `path` that the tree shows, sorted.
    std::vector<std::string> SubdirectoryNames(const std::string& path) const;
    // Whether `node` hangs in the tree still, and has not left with a directory that is gone.
    bool Attached(Node node) const;
    // Moves the selection out of a subtree that was just collapsed under it.
    void KeepSelectionVisible(Node collapsed);

    platform::SystemApi* m_system;
    std::string m_directory;
    std::string m_volumePath = "/";
    std::vector<NodeData> m_nodes;
    Node m_selected = kTopNode;
};

}  // namespace sifter
