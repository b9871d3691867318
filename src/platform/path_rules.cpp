#include "platform/path_rules.h"

namespace sifter::platform {
namespace {

unsigned char FoldLetter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 32) : byte;
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::size_t PathRules::PrefixLength(std::string_view path) const {
    if (m_style != Style::Windows) return 0;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') return 2;
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
    // "\\server\share": the server's name, one separator, the share's name.
    std::size_t at = 2;
    for (int part = 0; part < 2; ++part) {
        if (part > 0) ++at;  // the separator between server and share
        while (at < path.size() && !IsSeparator(path[at])) ++at;
        if (at >= path.size()) return path.size();
    }
    return at;
}

bool PathRules::IsBareDrive(std::string_view path) const {
    return path.size() == 2 && PrefixLength(path) == 2;
}

std::string PathRules::RootOf(std::string_view path) const {
    std::string root(path.substr(0, PrefixLength(path)));
    root += Separator();
    return root;
}

bool PathRules::SameDirectory(std::string_view a, std::string_view b) const {
    if (m_style != Style::Windows) return a == b;
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldLetter(a[i]) != FoldLetter(b[i])) return false;
    return true;
}

std::string PathRules::Join(std::string_view directory, std::string_view name) const {
    std::string path(directory);
    if (!path.empty() && !IsSeparator(path.back()) && !IsBareDrive(path)) path += Separator();
    path += name;
    return path;
}

std::vector<std::string_view> PathRules::SplitNames(std::string_view path) const {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && !IsSeparator(path[at])) continue;
        if (at > start) names.push_back(path.substr(start, at - start));
        start = at + 1;
    }
    return names;
}

bool PathRules::Below(std::string_view path, std::string_view root, std::string_view& rest) const {
    if (root.empty() || path.size() < root.size()) return false;
    if (!SameDirectory(path.substr(0, root.size()), root)) return false;
    if (IsSeparator(root.back()) || path.size() == root.size()) {
        rest = path.substr(root.size());
        return true;
    }
    if (!IsSeparator(path[root.size()])) return false;
    rest = path.substr(root.size() + 1);
    return true;
}

std::string PathRules::WithoutTrailingSeparator(std::string_view path) const {
    const std::size_t rootLength = PrefixLength(path) + 1;
    if (path.size() > rootLength && IsSeparator(path.back())) path.remove_suffix(1);
    return std::string(path);
}

std::string PathRules::JoinAsTyped(std::string_view typed, std::string_view name) const {
    std::size_t keep = 1;
    if (m_style == Style::Windows) {
        const std::size_t prefix = PrefixLength(typed);
        keep = prefix < typed.size() && IsSeparator(typed[prefix]) ? prefix + 1 : prefix;
    } else if (typed.size() <= 2) {
        keep = typed.size();
    }
    while (typed.size() > keep && IsSeparator(typed.back())) typed.remove_suffix(1);
    return Join(typed, name);
}

bool PathRules::TooLongToList(std::string_view directory) const {
    if (m_style == Style::Windows) return Join(directory, "*.*").size() > 259;
    return directory.size() > 4095;
}

std::size_t PathRules::LabelHeadLength(std::string_view fileName) const {
    if (m_style == Style::Windows) return 3;
    return !fileName.empty() && fileName.front() == '/' ? 1 : 0;
}

std::string PathRules::VolumeName(std::string_view root) const {
    if (PrefixLength(root) == 2) return std::string(root.substr(0, 2));
    return std::string(root);
}

}  // namespace sifter::platform
