// Failures injected under the real files: reads and opens during a search, writes, write-outs
// and releases during a save, changes of directory under the file set.

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "fault_support.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/run/save_results.h"
#include "search/run/search_run.h"
#include "test_support.h"

namespace sifter {
namespace {

using test::Call;
using test::Fault;
using test::FaultySystem;
using Rows = std::vector<ResultEntry>;
using Matches = std::vector<std::pair<std::size_t, std::string>>;
using platform::MapSystemError;

// Lines laid out against the reader's 128-byte blocks: block 1 starts with line 2, block 2
// between the CR and the LF of line 2, block 3 inside line 3.
const std::vector<std::string> kLines = {
    "hit one" + std::string(119, '.'), "run two" + std::string(120, '.'),
    "hit three" + std::string(141, '.'), "run four", "hit five"};
const std::string kA = kLines[0] + "\r\n" + kLines[1] + "\r\n" + kLines[2] + "\r\n" + kLines[3] +
                       "\r\n" + kLines[4] + "\r\n";

// A search for "hit": the heading, a.pas with `aMatches`, b.pas with its line if `bRead`.
Rows SearchRows(const std::string& directory, const Matches& aMatches, bool bRead = true) {
    Rows rows = {{kBannerRow, EntryIcon::Banner},
                 {"   Search Path: " + directory, EntryIcon::Blank},
                 {"   Search String: \"hit\"", EntryIcon::Blank}};
    const auto file = [&](const std::string& heading, const Matches& matches) {
        rows.insert(rows.end(),
                    {{" ", EntryIcon::Blank}, {heading, EntryIcon::File}, {" ", EntryIcon::Blank}});
        for (const auto& [number, text] : matches)
            rows.push_back({"[" + std::to_string(number) + "] " + text, EntryIcon::Blank});
    };
    file(" a.pas - 1 of 2", aMatches);
    file(" b.pas - 2 of 2", bRead ? Matches{{1, "hit in b"}} : Matches{});
    return rows;
}

Rows Entries(const ResultRows& rows) {
    Rows entries;
    for (std::size_t i = 0; i < rows.size(); ++i) entries.push_back(rows.Entry(i));
    return entries;
}

class FaultInjectionTest : public testing::Test {
protected:
    void SetUp() override {
        TakeError();
        test::ChangeDirectory(m_dir.path());
        test::WriteBytes("a.pas", kA);
        test::WriteBytes("b.pas", "hit in b\r\n");
    }

    Rows Search() {
        FileSet files(m_system);
        files.SetMask("*.pas");
        ResultRows rows;
        m_matches =
            RunSearch({.fileType = FileType::Pascal, .text = "hit"}, files, rows, nullptr, m_system)
                .matches;
        return Entries(rows);
    }

    Rows Expected(const Matches& aMatches) const { return SearchRows(m_dir.path(), aMatches); }
    static Fault ReadOfA(std::int64_t after, int times, std::int32_t error = 5) {
        return {
            .call = Call::Read, .times = times, .error = error, .after = after, .name = "a.pas"};
    }

    test::TempDir m_dir;
    test::CurrentDirectoryGuard m_cwd;
    FaultySystem m_system;
    std::int64_t m_matches = 0;
};

TEST_F(FaultInjectionTest, AReadFailureEndsTheLineThereAndTheSearchGoesOnWithTheNextFile) {
    const struct {
        const char* what;
        std::int64_t after;
        int times;
        Rows rows;
    } cases[] = {
        {"once, inside a line: the rest of it is skipped", 384, 1,
         Expected({{1, kLines[0]}, {3, kLines[2].substr(0, 127)}, {5, kLines[4]}})},
        {"for good, inside a line", 384, Fault::kForever,
         Expected({{1, kLines[0]}, {3, kLines[2].substr(0, 127)}})},
        {"once, at a line's start: the file reads as ended", 128, 1, Expected({{1, kLines[0]}})},
        {"once, between CR and LF: the LF opens the next line", 256, 1,
         Expected({{1, kLines[0]}, {3, "\n" + kLines[2]}, {5, kLines[4]}})},
        {"for good, between CR and LF", 256, Fault::kForever, Expected({{1, kLines[0]}})},
    };
    for (const auto& c : cases) {
        for (const std::int32_t error : {5, MapSystemError(EIO), MapSystemError(ESTALE)}) {
            m_system.Inject(ReadOfA(c.after, c.times, error));
            EXPECT_EQ(Search(), c.rows) << c.what;
            EXPECT_EQ(m_matches, static_cast<std::int64_t>(c.rows.size()) - 9) << c.what;
            EXPECT_EQ(PendingError(), 0) << c.what;
        }
    }
}

TEST_F(FaultInjectionTest, ScanningAgreesWithLineByLineReadingWhereverTheReadFails) {
    for (std::int64_t after = 0; after <= static_cast<std::int64_t>(kA.size()); ++after) {
        for (const int times : {1, 2, Fault::kForever}) {
            m_system.Inject(ReadOfA(after, times));
            LineFile reference(m_system);
            reference.OpenRead("a.pas");
            const std::vector<std::string> lines = test::ReadAllLines(reference);
            reference.Close();
            TakeError();
            Matches matches;
            for (std::size_t n = 0; n < lines.size(); ++n)
                if (lines[n].find("hit") != std::string::npos)
                    matches.emplace_back(n + 1, lines[n]);
            m_system.Inject(ReadOfA(after, times));
            ASSERT_EQ(Search(), Expected(matches))
                << "after " << after << " bytes, " << times << " failures";
        }
    }
}

TEST_F(FaultInjectionTest, AFileThatCannotBeOpenedGivesItsHeadingOnlyAndLeavesNothingPending) {
    for (const std::int32_t error :
         {2, 5, 32, MapSystemError(EMFILE), MapSystemError(ENFILE), MapSystemError(EACCES)}) {
        m_system.Inject({.call = Call::OpenRead, .error = error, .name = "a.pas"});
        EXPECT_EQ(Search(), Expected({})) << error;
        EXPECT_EQ(PendingError(), 0) << error;
    }
}

TEST_F(FaultInjectionTest, WithEveryDescriptorTakenFilesGiveNoLinesAndASaveCannotCreate) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizers' runtime needs descriptors of its own to check a call; with none left it
    // reports a fault of its own making.
    GTEST_SKIP() << "needs free descriptors under the sanitizers";
#endif
    FileSet files;  // read while descriptors are still free
    files.SetMask("*.pas");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const rlimit low{std::min<rlim_t>(saved.rlim_cur, 256), saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> taken;
    for (int fd; (fd = ::dup(STDERR_FILENO)) >= 0;) taken.push_back(fd);

    ResultRows rows;
    RunSearch({.fileType = FileType::Pascal, .text = "hit"}, files, rows);
    const std::int32_t searchPending = TakeError();
    const SaveOutcome outcome = SaveRows(m_dir / "saved.txt", rows, nullptr);
    for (const int fd : taken) ::close(fd);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

    EXPECT_EQ(Entries(rows), SearchRows(m_dir.path(), {}, false));
    EXPECT_EQ(searchPending, 0);
    EXPECT_EQ(outcome, SaveOutcome::CannotCreate);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "saved.txt"));
}

// Twenty rows of 30 bytes and one of 8; with their line ends 650 bytes: five full blocks.
ResultRows SaveSample() {
    ResultRows rows;
    for (int i = 10; i < 30; ++i)
        rows.AddRow("row " + std::to_string(i) + std::string(24, '-'), RowKind::Heading);
    rows.AddRow("last row", RowKind::Heading);
    return rows;
}

struct CountingObserver final : SaveObserver {
    void Created(std::size_t) override {}
    void RowWritten(std::size_t rowsWritten) override { written = rowsWritten; }
    void BeforeClose() override { closing = true; }
    std::size_t written = 0;
    bool closing = false;
};

TEST_F(FaultInjectionTest, AFailedWriteOrCloseEndsTheSaveWithTheBlocksHandedOverBeforeIt) {
    std::string full;
    for (std::size_t i = 0; i < SaveSample().size(); ++i)
        full.append(SaveSample().Text(i)).append("\r\n");
    ASSERT_EQ(full.size(), 650u);
    const struct {
        Call call;
        std::int64_t after;
        std::int32_t error;
        const char* message;
        std::size_t kept;
        std::size_t rowsWritten;  // the failing block fills up during the next row
    } cases[] = {
        {Call::Write, 0, 112, "I/O error 112", 0, 3},
        {Call::Write, 300, 5, "File access denied", 256, 11},
        {Call::Write, 512, MapSystemError(ENOSPC), "I/O error 112", 512, 19},
        {Call::Write, 639, MapSystemError(EDQUOT), "I/O error 112", 512, 19},
        // At Close: the write-out of the last, partial block, then the release.
        {Call::Write, 640, MapSystemError(EMFILE), "Too many open files", 640, 21},
        {Call::Write, 649, MapSystemError(EFBIG), "I/O error 1027", 640, 21},
        {Call::Release, 0, MapSystemError(EBADF), "I/O error 1009", 650, 21},
    };
    for (const auto& c : cases) {
        test::WriteBytes("out.txt", std::string(2000, 'o'));
        m_system.Inject({.call = c.call, .error = c.error, .after = c.after});
        CountingObserver observer;
        try {
            SaveRows("out.txt", SaveSample(), &observer, m_system);
            ADD_FAILURE() << "no error after " << c.after;
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.code(), c.error);
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(test::ReadBytes("out.txt"), full.substr(0, c.kept)) << c.message;
        EXPECT_EQ(observer.written, c.rowsWritten) << c.message;
        EXPECT_EQ(observer.closing, c.rowsWritten == 21) << c.message;
        EXPECT_EQ(PendingError(), 0);
    }
}

TEST_F(FaultInjectionTest, AFailedCloseLeavesTheFileOpenOnlyWhenItsWriteOutFailed) {
    for (const Call call : {Call::Write, Call::Release}) {
        m_system.Inject({.call = call, .error = 112});
        {
            LineFile file(m_system);
            file.OpenWrite("out.txt");
            file.WriteText("short");
            file.WriteLineEnd();
            EXPECT_EQ(PendingError(), 0);  // still buffered: nothing was handed over yet
            file.Close();
            EXPECT_EQ(TakeError(), 112);
            EXPECT_EQ(file.mode(),
                      call == Call::Write ? LineFile::Mode::Writing : LineFile::Mode::Closed);
        }
        EXPECT_EQ(m_system.seen(), 1);  // dropping the file tried neither again
        EXPECT_EQ(test::ReadBytes("out.txt"), call == Call::Write ? "" : "short\r\n");
    }
    // A create that fails, or a kind that cannot be told, leaves no file to save into.
    for (const Call call : {Call::Create, Call::Kind}) {
        m_system.Inject({.call = call, .error = MapSystemError(EROFS)});
        EXPECT_EQ(SaveRows("new.txt", SaveSample(), nullptr, m_system), SaveOutcome::CannotCreate);
        EXPECT_EQ(PendingError(), 0);
        EXPECT_EQ(std::filesystem::exists("new.txt"), call == Call::Kind);
    }
}

TEST_F(FaultInjectionTest, ADirectoryThatCannotBeEnteredOrListedLeavesTheFileSetAsItWas) {
    for (const char* sub : {"old", "other", "elsewhere"})
        std::filesystem::create_directory(m_dir / sub);
    test::WriteBytes(m_dir / "other/x.pas", "");
    const std::string parent = m_dir.path().substr(m_dir.path().rfind('/') + 1);
    const struct {
        std::string name;  // the directory that cannot be entered, at its `occurrence`th try
        int occurrence;
        std::int32_t code;
        bool refresh;         // a Refresh instead of setting the directory to "other"
        const char* message;  // what is raised, or none when the change goes through
        const char* cwd;      // where the process stands afterwards
        Call call = Call::SetCurrentDirectory;
        bool walk = false;  // the listing of a project, not the documented one
    } cases[] = {
        {parent, 1, 2, false, "File not found", "elsewhere"},
        {"other", 1, 5, false, "File access denied", "elsewhere"},
        // The resolved path, entered once the old directory is current again.
        {"other", 2, MapSystemError(ENOTDIR), false, "Invalid filename", "old"},
        {"old", 1, MapSystemError(ENOENT), true, "File not found", "elsewhere"},
        // The old directory only serves a relative path; failing to enter it is no error.
        {"old", 1, 2, false, nullptr, "other"},
        // Entered but not listed: its names would read as none.
        {".", 1, 5, false, "File access denied", "old", Call::ListDirectory},
        {".", 1, MapSystemError(EIO), true, "I/O error 1005", "old", Call::ListDirectory},
        {"other", 1, 5, false, "File access denied", "old", Call::ListDirectory, true},
        {"old", 1, 5, true, "File access denied", "old", Call::ListDirectory, true},
    };
    for (const auto& c : cases) {
        test::ChangeDirectory(m_dir / "old");
        test::WriteBytes(m_dir / "old/o.pas", "");
        FileSet files(m_system);
        files.SetMask("*.pas");
        files.SetListing({.eachNameOnce = c.walk, .subdirectories = c.walk});
        std::filesystem::remove(m_dir / "old/o.pas");  // a read that happens would drop it
        test::ChangeDirectory(m_dir / "elsewhere");
        m_system.Inject(
            {.call = c.call, .occurrence = c.occurrence, .error = c.code, .name = c.name});
        const std::string what = c.name + " #" + std::to_string(c.occurrence);
        try {
            c.refresh ? files.Refresh() : files.SetDirectory(m_dir / "other");
            EXPECT_EQ(c.message, nullptr) << what;
        } catch (const EInOutError& error) {
            EXPECT_STREQ(error.what(), c.message) << what;
            const bool notListed = dynamic_cast<const EDirectoryNotListed*>(&error) != nullptr;
            EXPECT_EQ(notListed, c.call == Call::ListDirectory) << what;
        }
        EXPECT_EQ(m_system.fired(), 1) << what;
        EXPECT_EQ(test::CurrentDirectory(), m_dir / c.cwd) << what;
        const bool moved = c.message == nullptr;
        EXPECT_EQ(files.Directory(), m_dir / (moved ? "other" : "old")) << what;
        EXPECT_EQ(files.Names(), std::vector<std::string>{moved ? "x.pas" : "o.pas"}) << what;
    }
}

}  // namespace
}  // namespace sifter
