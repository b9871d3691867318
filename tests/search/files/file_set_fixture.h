#pragma once
// The scratch directories of the file set's tests that hold on every system, and the path forms
// of the system they run on: its separator, its roots, the other spellings of a directory, and
// what a path that leads to no directory raises. A case is written once, with '/'; each system
// runs it in its own forms.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/path_rules.h"
#include "search/files/file_set.h"
#include "test_support.h"

namespace sifter::test {

using Names = std::vector<std::string>;

// `path` with each '/' written as the system's separator.
inline std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::Paths().Separator());
    return path;
}

struct PathSpelling {
    struct Held {
        std::string given;
        std::string held;
    };
    struct Refused {
        std::string below;  // below the scratch directory, with '/'
        const char* message;
    };
    // Roots as given and as held: with their separator, however given.
    std::vector<Held> roots;
    // Spellings of a directory's full path, other than the path itself and the path with a
    // separator after it, that name the same directory.
    std::function<std::vector<std::string>(const std::string&)> sameAs;
    // Paths that lead to no directory in a scratch directory that holds src/a.sc, with the
    // message of each.
    std::vector<Refused> refused;
    // The code with which the listing of a directory that was removed in the meantime fails.
    std::int32_t goneListing = 0;
};

inline std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The forms of the system the tests run on.
inline const PathSpelling& SystemSpelling() {
    static const PathSpelling posix{
        {{"/", "/"}, {"//", "/"}},
        [](const std::string&) { return std::vector<std::string>{}; },
        {{"missing/deeper/", "File not found"}, {"src/a.sc/sub", "Invalid filename"}},
        2};
    // Drive roots, and directory names compared with letter case ignored.
    static const PathSpelling windows{
        {{"C:\\", "C:\\"}, {"Z:\\", "Z:\\"}, {"C:\\windows\\", "C:\\windows"}, {"Z:/", "Z:\\"}},
        [](const std::string& path) {
            return std::vector<std::string>{Upper(path), Upper(path) + "/"};
        },
        {{"missing/deeper/", "Invalid filename"}},
        3};
    return platform::Paths().style() == platform::PathRules::Style::Windows ? windows : posix;
}

// A scratch directory, another one to stand elsewhere in, and the current directory put back
// before either is removed; names sorted as in the C locale.
class FileSetFixture : public testing::Test {
protected:
    void SetUp() override { std::setlocale(LC_COLLATE, "C"); }

    void Touch(const std::string& name) { WriteBytes(m_dir / Native(name), "x\r\n"); }

    void MakeDirectories(std::initializer_list<const char*> names) {
        for (const char* name : names)
            ASSERT_TRUE(std::filesystem::create_directory(m_dir / Native(name))) << name;
    }

    // The names listed for `mask` in the scratch directory.
    Names List(const std::string& mask, FileSet::Listing listing = {}) {
        FileSet set;
        set.SetDirectory(m_dir.path());
        set.SetListing(listing);
        set.SetMask(mask);
        set.Refresh();  // the set may have started there, with this mask: nothing read yet
        return set.Names();
    }

    TempDir m_dir;
    TempDir m_elsewhere;
    CurrentDirectoryGuard m_restore;  // made after the directories, so it goes first
};

}  // namespace sifter::test
