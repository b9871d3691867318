#pragma once
// The sorted names of the ordinary files of one directory that match a mask; or, when asked,
// the files of a whole project below it (see directory_walk.h), named relative to it.
//
// The set owns the process's current directory: the search opens its names relative to it, so
// setting the directory makes it current, and so does every read.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/files/directory_walk.h"
#include "search/files/mask_list.h"
#include "search/files/parallel_walk.h"

namespace sifter {

class FileSet final {
public:
    // Called with true when a read has grown large enough to deserve the hourglass, and with
    // false when that read ends; never called for a small read.
    using BusyCallback = std::function<void(bool busy)>;

    // How reads list names beyond the plain listing of one directory: each name once however
    // many patterns of the mask match it, and the files of every subdirectory too, but for the
    // subdirectories `leaveOut` (a mask list) names. A read with subdirectories lists each name
    // once.
    struct Listing {
        bool eachNameOnce = false;
        bool subdirectories = false;
        std::string leaveOut;
        friend bool operator==(const Listing&, const Listing&) = default;
    };

    // Holds the current directory and the mask "*.*"; reads nothing yet.
    explicit FileSet(platform::SystemApi& system = platform::System());
    // The same with another mask to begin with, for a caller that knows it already.
    FileSet(platform::SystemApi& system, std::string mask);
    ~FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    const std::string& Directory() const { return m_directory; }
    const std::string& Mask() const { return m_mask; }
    std::int32_t Count() const { return static_cast<std::int32_t>(m_names.size()); }
    const std::string& Name(std::int32_t index) const {
        return m_names.at(static_cast<std::size_t>(index));
    }
    const std::vector<std::string>& Names() const { return m_names; }
    // The subdirectories the last read could not list, each with its place among the names.
    const std::vector<UnreadableDirectory>& Unreadable() const { return m_unreadable; }
    const Listing& listing() const { return m_listing; }
    // Every name is a regular file its listing gave with DirEntry::shortReadIsEnd: the
    // search opens them with OpenListedRead.
    bool ShortReadIsEnd() const { return m_shortReadIsEnd; }

    // Makes `path` current and reads it, unless it already is the directory held. Throws
    // EInOutError when a part of the path cannot be entered, EDirectoryNotListed when it cannot
    // be listed; nothing changes then.
    void SetDirectory(const std::string& path);
    // Stores a mask that differs from the one held and reads at once; "a;b" lists both.
    void SetMask(const std::string& mask);
    // Makes the directory current again and reads it. Throws EInOutError when it cannot be
    // made current, EDirectoryNotListed when it cannot be listed; the names stay as they were
    // then. So does a read of a new mask.
    void Refresh();
    // Holds `name` alone, a file of the directory held, as if a read had found only it; nothing
    // is read. A read after it lists the directory again.
    void HoldOnly(std::string name);

    // Stored for the reads to come; nothing is read now.
    void SetListing(Listing listing) { m_listing = listing; }
    // A mask for the reads to come, stored without reading now.
    void StoreMask(std::string mask) {
        m_mask = std::move(mask);
        m_masks = MaskList(m_mask);
    }

    // A read spread over time, for a tree too large to walk at once: `BeginRefresh` makes the
    // directory current and lists it as `Refresh` does (throwing as it does) and starts the read,
    // `ContinueRefresh` lists up to `directories` more directories and says whether the read
    // is over, `FinishRefresh` completes it. Until the read is over the names are those of the
    // read before; any other read drops it. Without subdirectories the read is over at once.
    void BeginRefresh();
    bool ContinueRefresh(int directories);
    void FinishRefresh();
    bool Refreshing() const { return m_walk != nullptr; }

    void SetBusyCallback(BusyCallback callback) { m_busy = std::move(callback); }
    // Threads that list a tree's directories beside the one that reads (parallel_walk.h);
    // none at first. A read spread over time lists on the calling thread alone until
    // FinishRefresh, which lists what is left with them. The system must then be safe on
    // several threads at once.
    void SetWalkers(std::int32_t workers) { m_walkers = workers; }

private:
    void ReadNames();
    // The documented listing: one pass over the directory per pattern of the mask.
    void ListEachPattern();
    // Takes the names of a walk that is over.
    void TakeWalk(ParallelWalk& walk);
    // Takes `steps` of the read in progress, and its names once it is over (true then); running
    // out of memory ends the read with the program's message.
    bool WalkOn(const std::function<void(ParallelWalk&)>& steps);
    std::unique_ptr<ParallelWalk> StartWalk() const;
    // The path P stands for, checked part by part from the current directory; still relative
    // when P is.
    std::string ResolveParts(const std::string& path);

    platform::SystemApi* m_system;
    std::string m_directory;
    std::string m_mask = "*.*";
    MaskList m_masks{m_mask};  // the mask split into its patterns
    std::vector<std::string> m_names;
    std::vector<UnreadableDirectory> m_unreadable;
    bool m_shortReadIsEnd = false;
    Listing m_listing;
    std::unique_ptr<ParallelWalk> m_walk;  // a read in progress
    BusyCallback m_busy;
    std::int32_t m_walkers = 0;
};

}  // namespace sifter
