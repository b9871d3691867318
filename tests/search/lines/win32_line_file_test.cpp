// Text files on Windows: the sharing rules of an open file, the
// 259-byte names, and a pipe whose writer goes away.

#include <gtest/gtest.h>

#include "platform/win32_headers.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/run/search_run.h"
#include "test_support.h"

namespace sifter {
namespace {

using Lines = std::vector<std::string>;

// A handle of the test's own, closed when the object goes.
class Handle final {
public:
    Handle(const std::string& name, DWORD access, DWORD share, DWORD disposition)
        : m_handle(::CreateFileA(name.c_str(), access, share, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

class Win32LineFileTest : public testing::Test {
protected:
    void SetUp() override { TakeError(); }
    void TearDown() override { TakeError(); }

    test::TempDir m_dir;
    test::CurrentDirectoryGuard m_restore;
};

TEST_F(Win32LineFileTest, AMissingFileGives2AndAMissingDirectory3) {
    const struct {
        std::string name;
        bool write;
        std::int32_t code;
    } cases[] = {{m_dir / "missing.pas", false, 2},
                 {m_dir / "missing\\a.pas", false, 3},
                 {m_dir / "missing\\a.txt", true, 3}};
    for (const auto& c : cases) {
        LineFile file;
        if (c.write)
            file.OpenWrite(c.name);
        else
            file.OpenRead(c.name);
        EXPECT_EQ(TakeError(), c.code) << c.name;
        EXPECT_EQ(file.mode(), LineFile::Mode::Closed) << c.name;
    }
}

TEST_F(Win32LineFileTest, AFileHeldWithoutSharingCannotBeReadOrSavedOver) {
    test::WriteBytes(m_dir / "held.pas", "begin\r\n");
    test::WriteBytes(m_dir / "open.pas", "begin\r\n");
    const Handle holder(m_dir / "held.pas", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_TRUE(holder.valid());
    LineFile file;
    file.OpenRead(m_dir / "held.pas");
    EXPECT_EQ(TakeError(), 32);
    EXPECT_TRUE(file.AtEnd());
    TakeError();
    file.OpenWrite(m_dir / "held.pas");
    EXPECT_EQ(TakeError(), 32);

    // The search lists the file's headings and leaves no code behind.
    test::ChangeDirectory(m_dir.path());
    FileSet set;
    set.SetMask("*.pas");
    set.Refresh();
    ResultRows rows;
    const SearchSummary summary = RunSearch({FileType::Pascal, "begin"}, set, rows);
    EXPECT_EQ(summary.matches, 1);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < rows.size(); ++i) texts.emplace_back(rows.Text(i));
    EXPECT_EQ(texts, (Lines{"Sifter32 Search Results ", "   Search Path: " + m_dir.path(),
                            "   Search String: \"begin\"", " ", " held.pas - 1 of 2", " ", " ",
                            " open.pas - 2 of 2", " ", "[1] begin"}));
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(Win32LineFileTest, AFileOpenHereMayBeReadByOthersButNotWritten) {
    test::WriteBytes(m_dir / "a.pas", "one\r\n");
    LineFile reading;
    reading.OpenRead(m_dir / "a.pas");
    ASSERT_EQ(TakeError(), 0);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    EXPECT_TRUE(Handle(m_dir / "a.pas", GENERIC_READ, share, OPEN_EXISTING).valid());
    EXPECT_FALSE(Handle(m_dir / "a.pas", GENERIC_WRITE, share, OPEN_EXISTING).valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    reading.Close();

    LineFile writing;
    writing.OpenWrite(m_dir / "b.txt");
    ASSERT_EQ(TakeError(), 0);
    EXPECT_TRUE(Handle(m_dir / "b.txt", GENERIC_READ, share, OPEN_EXISTING).valid());
    EXPECT_FALSE(Handle(m_dir / "b.txt", GENERIC_WRITE, share, OPEN_EXISTING).valid());
    writing.Close();
    EXPECT_EQ(TakeError(), 0);
}

TEST_F(Win32LineFileTest, ANameLongerThan259BytesIsCutBeforeTheOpen) {
    test::ChangeDirectory(m_dir.path());
    test::WriteBytes(m_dir / "a.txt", "cut\r\n");
    // ".\" steps that lead nowhere, then the name: 259 bytes in all, and more after them.
    std::string name;
    for (int step = 0; step < 127; ++step) name += ".\\";
    name += "a.txt";
    ASSERT_EQ(name.size(), 259u);
    for (const std::string& longer : {name + "x", name + std::string(300, 'y')}) {
        LineFile file;
        file.OpenRead(longer);
        ASSERT_EQ(TakeError(), 0) << longer.size();
        EXPECT_EQ(test::ReadAllLines(file), Lines{"cut"});
        file.Close();
    }
    // A save cuts the same way, so it writes the file of the first 259 bytes.
    LineFile save;
    save.OpenWrite(name + ".bak");
    save.WriteText("saved");
    save.Close();
    EXPECT_EQ(TakeError(), 0);
    EXPECT_EQ(test::ReadBytes(m_dir / "a.txt"), "saved");
}

TEST_F(Win32LineFileTest, APipeWhoseWriterGoesAwayEndsTheData) {
    const std::string name =
        "\\\\.\\pipe\\sifter32-test-" + std::to_string(::GetCurrentProcessId());
    const HANDLE server = ::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND,
                                             PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE) << ::GetLastError();
    LineFile file;
    file.OpenRead(name);
    ASSERT_EQ(TakeError(), 0);
    const std::string bytes = "first\r\nsecond";
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(server, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    // The reader still gets what was written, then the broken pipe.
    ASSERT_TRUE(::CloseHandle(server));
    EXPECT_EQ(test::ReadAllLines(file), (Lines{"first", "second"}));
    file.Close();
    EXPECT_EQ(TakeError(), 0);
}

}  // namespace
}  // namespace sifter
