#include "search/files/directory_tree.h"

#include <algorithm>

#include "platform/path_rules.h"
#include "search/io_error.h"

namespace sifter {
namespace {

const platform::PathRules& Rules() {
    return platform::Paths();
}

}  // namespace

DirectoryTree::DirectoryTree(platform::SystemApi& system) : m_system(&system) {
    const platform::PathResult current = system.CurrentDirectory();
    if (current.error == 0) m_directory = current.path;
    m_volumePath = VolumeOf(m_directory, system.ListVolumes());
    Build();
}

std::string DirectoryTree::VolumeOf(const std::string& directory,
                                    const std::vector<platform::Volume>& volumes) {
    std::size_t best = 0;
    bool found = false;
    for (const platform::Volume& volume : volumes) {
        std::string_view below;
        if (!Rules().Below(directory, volume.mountPath, below)) continue;
        if (!found || volume.mountPath.size() > best) best = volume.mountPath.size();
        found = true;
    }
    // Spelt as the directory spells it: a drive letter keeps the case it came in.
    return found ? directory.substr(0, best) : Rules().RootOf(directory);
}

int DirectoryTree::Level(Node node) const {
    int level = 0;
    for (Node up = Parent(node); up != kNoNode; up = Parent(up)) ++level;
    return level;
}

std::string DirectoryTree::Path(Node node) const {
    std::vector<Node> chain;
    for (Node up = node; up != kNoNode; up = Parent(up)) chain.push_back(up);
    std::string path = Name(chain.back());
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it)
        path = Rules().Join(path, Name(*it));
    return path;
}

DirectoryTree::Node DirectoryTree::FindChild(Node parent, std::string_view name) const {
    const std::vector<Node>& children = Children(parent);
    const auto it = std::lower_bound(children.begin(), children.end(), name,
                                     [this](Node child, std::string_view wanted) {
                                         return std::string_view(Name(child)) < wanted;
                                     });
    return it != children.end() && Name(*it) == name ? *it : kNoNode;
}

DirectoryTree::Node DirectoryTree::PreviousSibling(Node node) const {
    if (Parent(node) == kNoNode) return kNoNode;
    const std::vector<Node>& siblings = Children(Parent(node));
    const auto it = std::find(siblings.begin(), siblings.end(), node);
    return it == siblings.begin() ? kNoNode : *(it - 1);
}

DirectoryTree::Node DirectoryTree::NextSibling(Node node) const {
    if (Parent(node) == kNoNode) return kNoNode;
    const std::vector<Node>& siblings = Children(Parent(node));
    const auto it = std::find(siblings.begin(), siblings.end(), node);
    return it + 1 >= siblings.end() ? kNoNode : *(it + 1);
}

std::vector<DirectoryTree::Node> DirectoryTree::VisibleNodes() const {
    std::vector<Node> visible;
    std::vector<Node> pending{kTopNode};
    while (!pending.empty()) {
        const Node node = pending.back();
        pending.pop_back();
        visible.push_back(node);
        if (!IsExpanded(node)) continue;
        const std::vector<Node>& children = Children(node);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return visible;
}

void DirectoryTree::Build() {
    m_nodes.clear();
    m_nodes.push_back(NodeData{m_volumePath, kNoNode, {}});
    Node reached = kTopNode;
    if (std::string_view below; Rules().Below(m_directory, m_volumePath, below)) {
        for (const std::string_view name : Rules().SplitNames(below)) {
            Expand(reached);
            const Node child = FindChild(reached, name);
            if (child == kNoNode) break;
            reached = child;
        }
    }
    // A walk that stopped early opened the node it stopped at to look for the next name.
    At(reached).expanded = false;
    m_selected = reached;
}

void DirectoryTree::Select(Node node) {
    At(node);  // an unknown node must not become the selection
    m_selected = node;
    // The system's full form of the node's path; a drive's root keeps its separator.
    const std::string own = Path(node);
    const platform::PathResult full = m_system->FullPath(own);
    const std::string path = Rules().WithoutTrailingSeparator(full.error == 0 ? full.path : own);
    if (Rules().SameDirectory(path, m_directory)) return;
    m_directory = path;
    const std::int32_t error = m_system->SetCurrentDirectory(path);
    if (error != 0) throw EInOutError(error);
}

void DirectoryTree::ChangeVolume(const std::string& mountPath) {
    if (mountPath.empty() || Rules().SameDirectory(mountPath, m_volumePath)) return;
    const std::int32_t error = m_system->SetCurrentDirectory(mountPath);
    if (error != 0) throw EInOutError(error);
    m_volumePath = mountPath;
    // A mount path reached through a link is reported by its physical path; the tree then
    // still shows the volume's top node, and Directory names where the process really is.
    const platform::PathResult current = m_system->CurrentDirectory();
    m_directory = current.error == 0 ? current.path : mountPath;
    Build();
}

void DirectoryTree::Expand(Node node) {
    if (!IsRead(node)) ReadChildren(node);
    At(node).expanded = true;
}

void DirectoryTree::Collapse(Node node) {
    At(node).expanded = false;
    KeepSelectionVisible(node);
}

void DirectoryTree::CollapseSubtree(Node node) {
    std::vector<Node> pending{node};
    while (!pending.empty()) {
        NodeData& data = At(pending.back());
        pending.pop_back();
        data.expanded = false;
        pending.insert(pending.end(), data.children.begin(), data.children.end());
    }
    KeepSelectionVisible(node);
}

void DirectoryTree::ExpandSubtree(Node node) {
    // A stack rather than recursion: a deep tree must not exhaust the call stack.
    std::vector<Node> pending{node};
    while (!pending.empty()) {
        const Node next = pending.back();
        pending.pop_back();
        Expand(next);
        const std::vector<Node>& children = Children(next);
        pending.insert(pending.end(), children.begin(), children.end());
    }
}

std::vector<std::string> DirectoryTree::SubdirectoryNames(const std::string& path) const {
    std::vector<std::string> names;
    m_system->ListDirectory(path, [&](const platform::DirEntry& entry) {
        // A name that begins with a full stop is left out on every system ("." and ".." too).
        if (entry.hidden || entry.name.empty() || entry.name.front() == '.') return;
        platform::EntryType type = entry.type;
        if (type == platform::EntryType::Unknown)
            type = m_system->ResolveType(Rules().Join(path, entry.name));
        // Links are left out even when they lead to a directory: a link back up the tree
        // would make expanding everything endless, and a directory would appear twice.
        if (type == platform::EntryType::Directory) names.emplace_back(entry.name);
    });
    // std::string compares as unsigned bytes: upper case before lower case, a prefix first.
    std::sort(names.begin(), names.end());
    return names;
}

void DirectoryTree::ReadChildren(Node node) {
    std::vector<std::string> names = SubdirectoryNames(Path(node));
    std::vector<Node> children;
    children.reserve(names.size());
    for (std::string& name : names) {
        children.push_back(NodeCount());
        m_nodes.push_back(NodeData{std::move(name), node, {}});
    }
    NodeData& data = At(node);
    data.children = std::move(children);
    data.read = true;
}

void DirectoryTree::Reread(Node node) {
    if (!IsRead(node)) return;
    std::vector<std::string> names = SubdirectoryNames(Path(node));
    std::vector<Node> children;
    children.reserve(names.size());
    for (std::string& name : names) {
        Node child = FindChild(node, name);
        if (child == kNoNode) {
            child = NodeCount();
            m_nodes.push_back(NodeData{std::move(name), node, {}});
        }
        children.push_back(child);
    }
    // Nodes that left keep their numbers, unreachable, until the tree is built again.
    At(node).children = std::move(children);
    if (!Attached(m_selected)) Select(node);
}

bool DirectoryTree::Attached(Node node) const {
    for (Node up = Parent(node); up != kNoNode; node = up, up = Parent(up)) {
        const std::vector<Node>& siblings = Children(up);
        if (std::find(siblings.begin(), siblings.end(), node) == siblings.end()) return false;
    }
    return true;
}

void DirectoryTree::KeepSelectionVisible(Node collapsed) {
    for (Node up = Parent(m_selected); up != kNoNode; up = Parent(up)) {
        if (up == collapsed) {
            Select(collapsed);
            return;
        }
    }
}

}  // namespace sifter
