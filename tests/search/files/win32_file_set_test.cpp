// The file set on Windows: drive roots, drives and their own current directories, directory
// names compared with letter case ignored, and the hidden and system attributes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/win32_headers.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "test_support.h"

namespace sifter {
namespace {

using Names = std::vector<std::string>;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void MakeDirectory(const std::string& path) {
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path << ": " << ::GetLastError();
}

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

// The scratch directory holds src\{a.pas,b.pas}; it is declared before the guard so that the
// process has left it by the time it is removed.
class Win32FileSetTest : public testing::Test {
protected:
    void SetUp() override {
        MakeDirectory(m_dir / "src");
        test::WriteBytes(m_dir / "src\\a.pas", "x");
        test::WriteBytes(m_dir / "src\\b.pas", "x");
    }

    test::TempDir m_dir;
    test::TempDir m_elsewhere;
    test::CurrentDirectoryGuard m_restore;
};

TEST_F(Win32FileSetTest, DriveRootsAreHeldWithTheirSeparatorOtherDirectoriesWithout) {
    const struct {
        std::string path;
        std::string held;
    } cases[] = {{"C:\\", "C:\\"},
                 {"Z:\\", "Z:\\"},
                 {"C:\\windows\\", "C:\\windows"},
                 {m_dir / "src\\", m_dir / "src"},
                 {"Z:/", "Z:\\"}};
    FileSet set;
    set.SetMask("no-such-name-*.zz");
    for (const auto& c : cases) {
        set.SetDirectory(c.path);
        EXPECT_EQ(set.Directory(), c.held) << c.path;
        EXPECT_EQ(test::CurrentDirectory(), c.held) << c.path;
    }
}

TEST_F(Win32FileSetTest, TheDirectoryHeldInAnotherCaseOrWithASeparatorChangesNothing) {
    FileSet set;
    set.SetMask("*.pas");
    set.SetDirectory(m_dir / "src");
    test::WriteBytes(m_dir / "src\\c.pas", "x");
    test::ChangeDirectory(m_elsewhere.path());
    for (const std::string& same : {Upper(m_dir / "src"), m_dir / "src\\", Upper(m_dir / "SRC/")}) {
        set.SetDirectory(same);
        EXPECT_EQ(set.Names(), (Names{"a.pas", "b.pas"})) << same;
        EXPECT_EQ(set.Directory(), m_dir / "src") << same;
        EXPECT_EQ(test::CurrentDirectory(), m_elsewhere.path()) << same;
    }
}

TEST_F(Win32FileSetTest, RelativePathsAndFilesGiveTheFullPathAsTheSystemReportsIt) {
    test::ChangeDirectory(m_dir.path());
    FileSet set;
    set.SetDirectory("src\\");
    EXPECT_EQ(set.Directory(), m_dir / "src");
    set.SetDirectory("..");
    EXPECT_EQ(set.Directory(), m_dir.path());
    set.SetDirectory("src\\a.pas");  // a file stands for the directory it is in
    EXPECT_EQ(set.Directory(), m_dir / "src");
    // The letter case is the one the system reports, which is the one the path was given in.
    set.SetDirectory(Upper(m_dir.path()));
    EXPECT_EQ(set.Directory(), Upper(m_dir.path()));
    set.SetDirectory("src");
    EXPECT_EQ(set.Directory(), Upper(m_dir.path()) + "\\src");
}

TEST_F(Win32FileSetTest, ABareDriveStandsForThatDrivesOwnCurrentDirectory) {
    DriveDirectoryGuard remembered("=C:");
    ASSERT_TRUE(::SetEnvironmentVariableA("=C:", "C:\\windows"));
    test::ChangeDirectory("Z:\\");
    FileSet set;
    set.SetMask("no-such-name-*.zz");
    set.SetDirectory("C:");
    EXPECT_EQ(set.Directory(), "C:\\windows");
    set.SetDirectory("C:system32");  // below that drive's current directory
    EXPECT_EQ(set.Directory(), "C:\\windows\\system32");
    // The current drive's own directory is the one held.
    set.SetDirectory("C:");
    EXPECT_EQ(set.Directory(), "C:\\windows\\system32");
    EXPECT_EQ(test::CurrentDirectory(), "C:\\windows\\system32");
}

TEST_F(Win32FileSetTest, HiddenAndSystemFilesAndDirectoriesAreNeverListed) {
    for (const char* name : {"plain.pas", "hidden.pas", "system.pas", "ro.pas", "UPPER.PAS"})
        test::WriteBytes(m_dir / name, "x");
    MakeDirectory(m_dir / "dir.pas");
    SetAttributes(m_dir / "hidden.pas", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(m_dir / "system.pas", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(m_dir / "ro.pas", FILE_ATTRIBUTE_READONLY);
    FileSet set;
    set.SetMask("*.pas");
    set.SetDirectory(m_dir.path());
    EXPECT_EQ(set.Names(), (Names{"plain.pas", "ro.pas", "UPPER.PAS"}));
    SetAttributes(m_dir / "ro.pas", FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
}

TEST_F(Win32FileSetTest, AMissingDirectoryRaisesTheSystemsCodeAndChangesNothing) {
    FileSet set;
    set.SetMask("*.pas");
    set.SetDirectory(m_dir / "src");
    test::ChangeDirectory(m_elsewhere.path());
    const struct {
        std::string path;
        const char* message;
    } cases[] = {{m_dir / "missing", "File not found"},
                 {m_dir / "missing\\deeper\\", "Invalid filename"},
                 {"missing", "File not found"}};
    for (const auto& c : cases) {
        try {
            set.SetDirectory(c.path);
            ADD_FAILURE() << c.path << " was accepted";
        } catch (const EInOutError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.path;
        }
        EXPECT_EQ(set.Directory(), m_dir / "src");
        EXPECT_EQ(set.Names(), (Names{"a.pas", "b.pas"}));
        EXPECT_EQ(test::CurrentDirectory(), m_elsewhere.path()) << c.path;
    }
}

}  // namespace
}  // namespace sifter
