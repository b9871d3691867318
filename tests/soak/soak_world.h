#pragma once
// The world around the program under soak: the directories it runs in, the changes made to
// them under its feet, the desktop it hands files to, and what it should list and find there,
// worked out from the files themselves.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fake_desktop.h"
#include "search/run/search_run.h"
#include "soak_log.h"
#include "test_support.h"

namespace sifter::soak {

using test::FakeDesktop;

// A scratch volume: work/ (where the program starts), work/sub/, alt/ and mnt/ with script
// and Pascal files, out/ for saves. The system in place lists three volumes: the scratch
// directory itself, mnt/ as a removable one, and net/, a network volume that answers every
// change of directory with "not ready".
class SoakWorld final {
public:
    // The first files are chosen by `random` too.
    explicit SoakWorld(Random& random);
    ~SoakWorld();
    SoakWorld(const SoakWorld&) = delete;
    SoakWorld& operator=(const SoakWorld&) = delete;

    const std::string& Top() const { return m_top; }
    std::string Path(const std::string& relative) const { return m_top + "/" + relative; }
    // The directories whose files change: work, work/sub, alt, mnt.
    const std::vector<std::string>& Directories() const { return m_directories; }
    std::string SaveDirectory() const { return Path("out"); }
    // Whether `path` (absolute, without . or .. parts) lies in the scratch directory.
    bool Holds(const std::string& path) const {
        return path == m_top || path.rfind(m_top + "/", 0) == 0;
    }

    // Files the program asked to create outside the scratch directory since the last call,
    // refused (as access denied) so that nothing is ever written there.
    std::vector<std::string> TakeRefused() { return std::exchange(m_refused, {}); }

    // One change of the files or directories, described for the log: a file written (its
    // lines in Windows-1252 or UTF-8), emptied or removed, a directory removed, recreated, or
    // both at once.
    std::string Change(Random& random);

private:
    void Fill(const std::string& directory, Random& random);

    // Named with digits only, which every font draws equally wide: the paths show in message
    // boxes, whose size decides where a click lands, so a replay must not depend on them.
    std::string m_top;
    test::CurrentDirectoryGuard m_cwd;
    test::FakeSystem m_system;
    std::unique_ptr<platform::ScopedSystem> m_scoped;
    std::vector<std::string> m_directories;
    std::vector<std::string> m_refused;
};

// The names a file set of `directory` holds for `type`, in its order (the C locale's): regular
// files whose name one of the type's masks in `options` matches, letter case ignored, and does
// not start with a full stop; with subdirectories, those of every subdirectory that does not
// start with one and is no link, each after the files above it, named by its path below
// `directory`. Empty when the directory cannot be read.
std::vector<std::string> ExpectedNames(const std::string& directory, FileType type,
                                       const SearchOptions& options = {});

struct ExpectedSearch {
    std::vector<std::string> rows;
    std::int64_t matches = 0;
};

// The rows a search of `names` gives for `request`: the three heading rows (the path row shows
// `shownDirectory`) and the row of the options that are not at their defaults, then each
// file's heading and its procedure and match rows, and the rows of `unreadable` subdirectories
// at their places. The names are opened in the directory `directoryFd` stands for, which may
// since have been removed.
ExpectedSearch ExpectedRows(const std::vector<std::string>& names, int directoryFd,
                            const std::string& shownDirectory, const SearchRequest& request,
                            const std::vector<UnreadableDirectory>& unreadable = {});

// The editor's column of a match row of `line`: where the search of `request` first finds
// something in it, in characters from 1.
std::int64_t ExpectedColumn(const std::string& line, const SearchRequest& request);

}  // namespace sifter::soak
