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

DirectoryWalk::DirectoryWalk(platform::SystemApi& system, std::string root, MaskList masks,
                             bool subdirectories, MaskList leaveOut)
    : m_system(system),
      m_root(std::move(root)),
      m_masks(std::move(masks)),
      m_subdirectories(subdirectories),
      m_leaveOut(std::move(leaveOut)),
      m_pending{std::string()} {}

void DirectoryWalk::Step() {
    if (Done()) return;
    const platform::PathRules& rules = platform::Paths();
    const std::string relative = std::move(m_pending.back());
    m_pending.pop_back();
    const bool top = relative.empty();
    const std::string listed = top ? m_root : rules.Join(m_root, relative);
    const auto unreadable = [&](std::int32_t error) {
        m_unreadable.push_back({relative, error, static_cast<std::int32_t>(m_names.size())});
    };
    if (!top && rules.TooLongToList(listed)) {
        unreadable(kPathTooLong);
        return;
    }

    std::vector<std::string> files;
    std::vector<std::string> directories;
    const std::int32_t error = m_system.ListDirectory(listed, [&](const platform::DirEntry& entry) {
        const std::string_view name = entry.name;
        if (entry.hidden || name.empty() || name == "." || name == "..") return;
        platform::EntryType type = entry.type;
        if (type == platform::EntryType::Directory) {
            if (m_subdirectories && !m_leaveOut.Matches(name)) directories.emplace_back(name);
            return;
        }
        if (!m_masks.Matches(name)) return;
        // A link counts as what it leads to, but a link to a directory is not walked.
        if (type == platform::EntryType::Symlink || type == platform::EntryType::Unknown)
            type = m_system.ResolveType(rules.Join(listed, name));
        if (type == platform::EntryType::Regular) files.emplace_back(name);
    });
    if (error != 0) {
        // Part of a listing would read as the whole directory: none of it is taken.
        if (!top) {
            unreadable(error);
            return;
        }
        m_topError = error;
        m_pending.clear();
        return;
    }

    for (std::string& name : OrderNames(std::move(files), kUnwatched).names)
        m_names.push_back(rules.Join(relative, name));
    std::vector<std::string> ordered = OrderNames(std::move(directories), kUnwatched).names;
    // The first subdirectory is walked next: the stack takes them from the last.
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it)
        m_pending.push_back(rules.Join(relative, *it));
}

}  // namespace sifter
