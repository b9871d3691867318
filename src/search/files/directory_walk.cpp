#include "search/files/directory_walk.h"

#include <cstdint>

#include "platform/path_rules.h"
#include "search/files/name_order.h"
#include "search/io_error.h"

namespace sifter {
namespace {

// The order of one directory's names; the hourglass watches the whole walk instead.
constexpr std::size_t kUnwatched = SIZE_MAX;

}  // namespace

std::string UnreadableReason(std::int32_t error) {
    switch (error) {
        case kPathTooLong:
            return "path too long";
        case platform::kFileNotFound:
        case platform::kPathNotFound:
            // Removed, or put out of reach, since its parent was listed.
            return "not found";
        case platform::kAccessDenied:
            return "access denied";
        default:
            return IoErrorMessage(error);
    }
}

WalkedDirectory ListWalkedDirectory(platform::SystemApi& system, const std::string& root,
                                    const std::string& relative, const WalkRules& walk) {
    const platform::PathRules& rules = platform::Paths();
    const bool top = relative.empty();
    const std::string listed = top ? root : rules.Join(root, relative);
    WalkedDirectory result;
    if (!top && rules.TooLongToList(listed)) {
        result.error = kPathTooLong;
        return result;
    }
    std::vector<std::string> files;
    std::vector<std::string> directories;
    result.error = system.ListDirectory(listed, [&](const platform::DirEntry& entry) {
        const std::string_view name = entry.name;
        if (entry.hidden || name.empty() || name == "." || name == "..") return;
        platform::EntryType type = entry.type;
        if (type == platform::EntryType::Directory) {
            if (walk.subdirectories && !walk.leaveOut.Matches(name)) directories.emplace_back(name);
            return;
        }
        if (!walk.masks.Matches(name)) return;
        // A link counts as what it leads to, but a link to a directory is not walked.
        if (type == platform::EntryType::Symlink || type == platform::EntryType::Unknown)
            type = system.ResolveType(rules.Join(listed, name));
        if (type != platform::EntryType::Regular) return;
        files.emplace_back(name);
        result.shortReadIsEnd = result.shortReadIsEnd && entry.shortReadIsEnd;
    });
    // Part of a listing would read as the whole directory: none of it is taken.
    if (result.error != 0) return result;
    result.files = OrderNames(std::move(files), kUnwatched).names;
    result.directories = OrderNames(std::move(directories), kUnwatched).names;
    for (std::string& name : result.files) name = rules.Join(relative, name);
    for (std::string& name : result.directories) name = rules.Join(relative, name);
    return result;
}

DirectoryWalk::DirectoryWalk(platform::SystemApi& system, std::string root, MaskList masks,
                             bool subdirectories, MaskList leaveOut)
    : m_system(system),
      m_root(std::move(root)),
      m_rules{std::move(masks), subdirectories, std::move(leaveOut)},
      m_pending{std::string()} {}

void DirectoryWalk::Step() {
    if (Done()) return;
    const std::string relative = std::move(m_pending.back());
    m_pending.pop_back();
    WalkedDirectory listed = ListWalkedDirectory(m_system, m_root, relative, m_rules);
    if (listed.error != 0) {
        if (!relative.empty()) {
            m_unreadable.push_back(
                {relative, listed.error, static_cast<std::int32_t>(m_names.size())});
            return;
        }
        m_topError = listed.error;
        m_pending.clear();
        return;
    }
    for (std::string& name : listed.files) m_names.push_back(std::move(name));
    // The first subdirectory is walked next: the stack takes them from the last.
    for (auto it = listed.directories.rbegin(); it != listed.directories.rend(); ++it)
        m_pending.push_back(std::move(*it));
}

}  // namespace sifter
