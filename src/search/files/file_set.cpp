#include "search/files/file_set.h"

#include <cstdint>
#include <new>
#include <utility>

#include "platform/path_rules.h"
#include "search/files/name_order.h"
#include "search/files/wildcard.h"
#include "search/io_error.h"

namespace sifter {
namespace {

// The hourglass goes up once a name lands at this place of the sorted list.
constexpr std::size_t kBusyPlace = 100;

// Puts the saved current directory back when the object goes, if it still exists.
class CurrentDirectoryGuard final {
public:
    explicit CurrentDirectoryGuard(platform::SystemApi& system) : m_system(system) {
        const platform::PathResult current = system.CurrentDirectory();
        if (current.error == 0) m_saved = current.path;
    }
    ~CurrentDirectoryGuard() {
        if (!m_saved.empty()) m_system.SetCurrentDirectory(m_saved);
    }
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    platform::SystemApi& m_system;
    std::string m_saved;
};

void Enter(platform::SystemApi& system, const std::string& path) {
    const std::int32_t error = system.SetCurrentDirectory(path);
    if (error != 0) throw EInOutError(error);
}

}  // namespace

FileSet::FileSet(platform::SystemApi& system) : m_system(&system) {
    m_directory = system.CurrentDirectory().path;
}

FileSet::FileSet(platform::SystemApi& system, std::string mask) : FileSet(system) {
    StoreMask(std::move(mask));
}

FileSet::~FileSet() = default;

std::string FileSet::ResolveParts(const std::string& path) {
    CurrentDirectoryGuard restore(*m_system);
    const platform::PathRules& rules = platform::Paths();
    // A drive or network-share prefix goes with the directory part; "C:" alone is entered as
    // that drive's own current directory.
    const std::size_t prefix = rules.PrefixLength(path);
    std::size_t separator = path.size();
    while (separator > prefix && !rules.IsSeparator(path[separator - 1])) --separator;
    std::string directory = path.substr(0, prefix);
    std::string last = path.substr(prefix);
    if (separator > prefix) {
        // The root keeps its separator: "/", "C:\".
        const std::size_t at = separator - 1;
        directory = path.substr(0, at == prefix ? at + 1 : at);
        last = path.substr(at + 1);
    }
    if (!directory.empty()) Enter(*m_system, directory);
    const platform::EntryType lastType =
        last.empty() ? platform::EntryType::Unknown : m_system->ResolveType(last);
    const bool isFile =
        lastType == platform::EntryType::Regular || lastType == platform::EntryType::Other;
    if (!last.empty() && !isFile) {
        Enter(*m_system, last);
        directory = rules.Join(directory, last);
    }
    // A bare file name stands for the directory it is in: the current one.
    return directory.empty() ? "." : directory;
}

void FileSet::SetDirectory(const std::string& path) {
    if (path.empty()) return;
    const std::string resolved = ResolveParts(path);
    // Letter case counts only where the system's names are case-sensitive.
    if (platform::Paths().SameDirectory(resolved, m_directory)) return;
    // A relative path is taken from the directory held, when that still exists.
    m_system->SetCurrentDirectory(m_directory);
    Enter(*m_system, resolved);
    const platform::PathResult now = m_system->CurrentDirectory();
    if (now.error != 0) throw EInOutError(now.error);
    std::string previous = std::exchange(m_directory, now.path);
    try {
        ReadNames();
    } catch (const EDirectoryNotListed&) {
        // As for a directory that cannot be entered: the set stays with the one it held.
        m_directory = std::move(previous);
        m_system->SetCurrentDirectory(m_directory);
        throw;
    }
}

void FileSet::SetMask(const std::string& mask) {
    if (mask == m_mask) return;
    StoreMask(mask);
    ReadNames();
}

void FileSet::Refresh() {
    ReadNames();
}

void FileSet::HoldOnly(std::string name) {
    m_walk.reset();
    m_names.assign(1, std::move(name));
    m_unreadable.clear();
    m_shortReadIsEnd = false;
}

void FileSet::ReadNames() {
    Enter(*m_system, m_directory);
    m_walk.reset();
    try {
        if (m_listing == Listing{}) {
            ListEachPattern();
            return;
        }
        const std::unique_ptr<ParallelWalk> walk = StartWalk();
        walk->Finish();
        TakeWalk(*walk);
    } catch (const std::bad_alloc&) {
        throw Exception("Unable to insert a line");
    }
}

std::unique_ptr<ParallelWalk> FileSet::StartWalk() const {
    return std::make_unique<ParallelWalk>(
        *m_system, m_directory,
        WalkRules{m_masks, m_listing.subdirectories, MaskList(m_listing.leaveOut)}, m_walkers);
}

void FileSet::TakeWalk(ParallelWalk& walk) {
    if (walk.TopError() != 0) throw EDirectoryNotListed(walk.TopError());
    m_names = std::move(walk.Names());
    m_unreadable = std::move(walk.Unreadable());
    m_shortReadIsEnd = walk.ShortReadIsEnd();
    if (m_names.size() > kBusyPlace && m_busy) {
        m_busy(true);
        m_busy(false);
    }
}

void FileSet::BeginRefresh() {
    if (!m_listing.subdirectories) {
        ReadNames();
        return;
    }
    m_walk.reset();
    Enter(*m_system, m_directory);
    m_walk = StartWalk();
    // The directory itself is listed at once, so that a failure shows where entering it would.
    WalkOn([](ParallelWalk& walk) { walk.Start(); });
}

bool FileSet::ContinueRefresh(int directories) {
    return WalkOn([directories](ParallelWalk& walk) {
        for (int i = 0; i < directories && !walk.Done(); ++i) walk.Step();
    });
}

void FileSet::FinishRefresh() {
    WalkOn([](ParallelWalk& walk) { walk.Finish(); });
}

bool FileSet::WalkOn(const std::function<void(ParallelWalk&)>& steps) {
    if (!m_walk) return true;
    try {
        steps(*m_walk);
        if (!m_walk->Done()) return false;
        const std::unique_ptr<ParallelWalk> done = std::move(m_walk);
        done->Finish();
        TakeWalk(*done);
    } catch (const std::bad_alloc&) {
        m_walk.reset();
        throw Exception("Unable to insert a line");
    }
    return true;
}

void FileSet::ListEachPattern() {
    std::vector<std::string> found;
    bool shortReadIsEnd = true;
    for (const std::string& pattern : m_masks.patterns()) {
        if (pattern.empty()) continue;
        const std::int32_t error =
            m_system->ListDirectory(".", [&](const platform::DirEntry& entry) {
                if (entry.hidden || entry.name.empty()) return;
                if (!MatchesWildcard(pattern, entry.name)) return;
                platform::EntryType type = entry.type;
                if (type == platform::EntryType::Symlink || type == platform::EntryType::Unknown)
                    type = m_system->ResolveType(std::string(entry.name));
                // Ordinary files only: opening a FIFO or a device would stall the search.
                if (type != platform::EntryType::Regular) return;
                found.emplace_back(entry.name);
                shortReadIsEnd = shortReadIsEnd && entry.shortReadIsEnd;
            });
        // Part of a listing would read as the whole directory; the names stay as they were.
        if (error != 0) throw EDirectoryNotListed(error);
    }

    OrderedNames ordered = OrderNames(std::move(found), kBusyPlace);
    m_names = std::move(ordered.names);
    m_unreadable.clear();
    m_shortReadIsEnd = shortReadIsEnd;
    if (ordered.reachedWatchedPlace && m_busy) {
        m_busy(true);
        m_busy(false);
    }
}

}  // namespace sifter
