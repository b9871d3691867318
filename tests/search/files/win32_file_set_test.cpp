// The file set on Windows alone: drives and their own current directories, the letter case of
// the directory held, and the hidden and system attributes. What holds on every system is in
// file_set_test.cpp and file_set_directory_test.cpp, in Windows' path forms there.

#include <gtest/gtest.h>

#include "file_set_fixture.h"
#include "platform/win32_headers.h"
#include "search/files/file_set.h"
#include "test_support.h"

namespace sifter::test {
namespace {

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes)) << path << ": " << ::GetLastError();
}

// Puts a drive's remembered current directory ("=C:") back as it was.
class DriveDirectoryGuard final {
public:
    explicit DriveDirectoryGuard(std::string name) : m_name(std::move(name)) {
        char value[MAX_PATH + 1];
        const DWORD length = ::GetEnvironmentVariableA(m_name.c_str(), value, sizeof value);
        if (length > 0 && length <= MAX_PATH) m_saved = value;
    }
    ~DriveDirectoryGuard() {
        ::SetEnvironmentVariableA(m_name.c_str(), m_saved.empty() ? nullptr : m_saved.c_str());
    }
    DriveDirectoryGuard(const DriveDirectoryGuard&) = delete;
    DriveDirectoryGuard& operator=(const DriveDirectoryGuard&) = delete;

private:
    std::string m_name;
    std::string m_saved;
};

class Win32FileSetTest : public FileSetFixture {};

TEST_F(Win32FileSetTest, TheLetterCaseHeldIsTheOneTheDirectoryWasGivenIn) {
    MakeDirectories({"src"});
    ChangeDirectory(m_dir.path());
    FileSet set;
    set.SetDirectory("src");
    // The letter case is the one the system reports, which is the one the path was given in.
    set.SetDirectory(Upper(m_dir.path()));
    EXPECT_EQ(set.Directory(), Upper(m_dir.path()));
    set.SetDirectory("src");
    EXPECT_EQ(set.Directory(), Upper(m_dir.path()) + "\\src");
}

TEST_F(Win32FileSetTest, ABareDriveStandsForThatDrivesOwnCurrentDirectory) {
    DriveDirectoryGuard remembered("=C:");
    ASSERT_TRUE(::SetEnvironmentVariableA("=C:", "C:\\windows"));
    ChangeDirectory("Z:\\");
    FileSet set;
    set.SetMask("no-such-name-*.zz");
    set.SetDirectory("C:");
    EXPECT_EQ(set.Directory(), "C:\\windows");
    set.SetDirectory("C:system32");  // below that drive's current directory
    EXPECT_EQ(set.Directory(), "C:\\windows\\system32");
    // The current drive's own directory is the one held.
    set.SetDirectory("C:");
    EXPECT_EQ(set.Directory(), "C:\\windows\\system32");
    EXPECT_EQ(CurrentDirectory(), "C:\\windows\\system32");
}

TEST_F(Win32FileSetTest, HiddenAndSystemFilesAndDirectoriesAreNeverListed) {
    for (const char* name : {"plain.pas", "hidden.pas", "system.pas", "ro.pas", "UPPER.PAS"})
        Touch(name);
    MakeDirectories({"dir.pas"});
    SetAttributes(m_dir / "hidden.pas", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(m_dir / "system.pas", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(m_dir / "ro.pas", FILE_ATTRIBUTE_READONLY);
    FileSet set;
    set.SetMask("*.pas");
    set.SetDirectory(m_dir.path());
    EXPECT_EQ(set.Names(), (Names{"plain.pas", "ro.pas", "UPPER.PAS"}));
    SetAttributes(m_dir / "ro.pas", FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
}

}  // namespace
}  // namespace sifter::test
