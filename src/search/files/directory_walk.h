#pragma once
// The files of a project: those of one directory that match a mask list, then, when asked,
// those of every subdirectory below it, in the order a search reads them. Each directory's own
// files come first, in a file set's order; then its subdirectories, in the same order, each
// walked whole (files, then its own subdirectories) before the next.
//
// Hidden directories are left out as hidden files are, and a link to a directory (a junction
// or any other reparse point on Windows) is never followed, so no tree is walked twice and a
// tree that links to itself ends. A subdirectory that cannot be listed is noted at its place
// in the order, and the walk goes on.
//
// The walk lists one directory per step, so that a caller can spread a large tree over time.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "search/files/mask_list.h"

namespace sifter {

struct UnreadableDirectory {
    std::string path;        // below the walked directory, with the system's separators
    std::int32_t error = 0;  // the system's code, or kPathTooLong
    std::int32_t place = 0;  // how many of the walk's files come before it
    friend bool operator==(const UnreadableDirectory&, const UnreadableDirectory&) = default;
};

// A directory whose path is longer than the system lists; never asked of the system.
constexpr std::int32_t kPathTooLong = -1;

// Why a directory was not read, in a few words: "access denied", "path too long".
std::string UnreadableReason(std::int32_t error);

// What a walk takes from a tree: the files `masks` match, and when `subdirectories` is set the
// subdirectories whose own names `leaveOut` does not match.
struct WalkRules {
    MaskList masks;
    bool subdirectories = false;
    MaskList leaveOut = MaskList({});
};

// One directory of a walk: its files and the subdirectories to walk, each in a file set's
// order, named relative to the walked directory; or the code that says why it was not listed
// (then both are empty).
struct WalkedDirectory {
    std::int32_t error = 0;
    std::vector<std::string> files;
    std::vector<std::string> directories;
    // Every file is one the system may read without asking past its end (DirEntry).
    bool shortReadIsEnd = true;
};

// Lists `relative` (empty for the walked directory `root` itself). Safe on several threads at
// once when `system` is.
WalkedDirectory ListWalkedDirectory(platform::SystemApi& system, const std::string& root,
                                    const std::string& relative, const WalkRules& rules);

class DirectoryWalk final {
public:
    // Nothing is listed yet. `root` is the full path of the walked directory; names are given
    // relative to it. The files are those `masks` match, each listed once; a subdirectory whose
    // own name `leaveOut` matches is not walked (the root always is).
    DirectoryWalk(platform::SystemApi& system, std::string root, MaskList masks,
                  bool subdirectories, MaskList leaveOut = MaskList({}));

    bool Done() const { return m_pending.empty(); }
    // Lists the next directory of the walk. Only running out of memory is thrown; a walked
    // directory that cannot be listed ends the walk (TopError).
    void Step();
    void Finish() {
        while (!Done()) Step();
    }

    // The files so far, in order: "a.pas", "rtl/b.pp".
    std::vector<std::string>& Names() { return m_names; }
    std::vector<UnreadableDirectory>& Unreadable() { return m_unreadable; }
    // The code of the walked directory's own listing when it failed; then nothing was listed.
    std::int32_t TopError() const { return m_topError; }

private:
    platform::SystemApi& m_system;
    const std::string m_root;
    const WalkRules m_rules;
    // Directories still to list, relative to the root, the next one last.
    std::vector<std::string> m_pending;
    std::vector<std::string> m_names;
    std::vector<UnreadableDirectory> m_unreadable;
    std::int32_t m_topError = 0;
};

}  // namespace sifter
