#include "search/run/save_results.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "test_support.h"

namespace sifter {
namespace {

using test::FakeFile;
using test::FakeSystem;
using test::FileLog;

ResultRows Rows(std::initializer_list<std::string_view> texts) {
    ResultRows rows;
    for (std::string_view text : texts) rows.AddRow(text, RowKind::Heading);
    return rows;
}

// Records what the save reports, in order.
class RecordingObserver final : public SaveObserver {
public:
    void Created(std::size_t rowCount) override {
        events.push_back("created " + std::to_string(rowCount));
    }
    void RowWritten(std::size_t rowsWritten) override {
        events.push_back("row " + std::to_string(rowsWritten));
    }
    void BeforeClose() override { events.push_back("close"); }
    std::vector<std::string> events;
};

class SaveResultsTest : public testing::Test {
protected:
    void SetUp() override { TakeError(); }
    void TearDown() override { TakeError(); }

    // Creates real files whose writes go through a fake with this script.
    void WrapCreatedFiles(FakeFile::Script script) {
        m_system.create = [script, log = m_log](const std::string& name) {
            platform::OpenResult real = platform::PosixSystem().Create(name);
            if (!real.file) return real;
            return platform::OpenResult{
                std::make_unique<FakeFile>(script, log, std::move(real.file)), 0};
        };
    }

    test::TempDir m_dir;
    std::shared_ptr<FileLog> m_log = std::make_shared<FileLog>();
    FakeSystem m_system;
};

TEST_F(SaveResultsTest, EveryRowIsFollowedByCrLfAndNothingElse) {
    const std::string name = m_dir / "out.txt";
    RecordingObserver observer;
    EXPECT_EQ(SaveRows(name, Rows({"a", ""}), &observer), SaveOutcome::Saved);
    EXPECT_EQ(test::ReadBytes(name), "a\r\n\r\n");
    EXPECT_EQ(observer.events, (std::vector<std::string>{"created 2", "row 1", "row 2", "close"}));
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(SaveResultsTest, RowsKeepTheirBytesAndBlankRowsTheirBlank) {
    ResultRows rows;
    rows.AddRow(" ", RowKind::Heading);
    rows.AddRow(" a.sc - 1 of 1", RowKind::File);
    rows.AddRow(std::string("[1] \xE9\0\n", 7), RowKind::Match);
    const std::string name = m_dir / "results";  // no extension is added
    ASSERT_EQ(SaveRows(name, rows, nullptr), SaveOutcome::Saved);
    EXPECT_EQ(test::ReadBytes(name), std::string(" \r\n a.sc - 1 of 1\r\n[1] \xE9\0\n\r\n", 28));
}

TEST_F(SaveResultsTest, SavingOverALongerFileLeavesNoneOfItsBytes) {
    const std::string name = m_dir / "out.txt";
    test::WriteBytes(name, std::string(1000, 'o'));
    ASSERT_EQ(SaveRows(name, Rows({"new"}), nullptr), SaveOutcome::Saved);
    EXPECT_EQ(test::ReadBytes(name), "new\r\n");
}

TEST_F(SaveResultsTest, AFileOpenedAndClosedWithNothingWrittenIsEmpty) {
    const std::string name = m_dir / "none.txt";
    test::WriteBytes(name, "old");
    LineFile file;
    file.OpenWrite(name);
    EXPECT_EQ(test::ReadBytes(name), "");  // emptied by the open itself
    file.Close();
    EXPECT_EQ(TakeError(), 0);
    EXPECT_EQ(test::ReadBytes(name), "");
    EXPECT_EQ(SaveRows(m_dir / "zero.txt", ResultRows{}, nullptr), SaveOutcome::Saved);
    EXPECT_EQ(test::ReadBytes(m_dir / "zero.txt"), "");
}

TEST_F(SaveResultsTest, AFileThatCannotBeCreatedIsReportedAndNothingAppears) {
    RecordingObserver observer;
    EXPECT_EQ(SaveRows(m_dir / "missing/out.txt", Rows({"a"}), &observer),
              SaveOutcome::CannotCreate);
    EXPECT_EQ(::access((m_dir / "missing").c_str(), F_OK), -1);
    EXPECT_EQ(SaveRows(m_dir.path(), Rows({"a"}), &observer), SaveOutcome::CannotCreate);
    EXPECT_TRUE(observer.events.empty());
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(SaveResultsTest, AReadOnlyFileCannotBeSavedOver) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes every file";
    const std::string name = m_dir / "ro.txt";
    test::WriteBytes(name, "keep");
    ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
    EXPECT_EQ(SaveRows(name, Rows({"a"}), nullptr), SaveOutcome::CannotCreate);
    EXPECT_EQ(test::ReadBytes(name), "keep");
}

TEST_F(SaveResultsTest, AFailedBlockRaisesItsCodeAndTheFileKeepsTheBlocksBeforeIt) {
    WrapCreatedFiles({.failingWrite = 1, .writeError = 112});
    const std::string name = m_dir / "out.txt";
    const std::string row(100, 'r');
    RecordingObserver observer;
    try {
        SaveRows(name, Rows({row, row, row, row}), &observer, m_system);
        FAIL() << "the failed write was not raised";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.code(), 112);
        EXPECT_STREQ(error.what(), "I/O error 112");
    }
    // 102 bytes per row: the first block went out with row 2, the second failed with row 3.
    EXPECT_EQ(observer.events, (std::vector<std::string>{"created 4", "row 1", "row 2"}));
    EXPECT_EQ(test::ReadBytes(name), (row + "\r\n" + row + "\r\n").substr(0, 128));
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(SaveResultsTest, AFailedWriteOutAtCloseIsRaised) {
    WrapCreatedFiles({.failingWrite = 0, .writeError = 5});
    const std::string name = m_dir / "out.txt";
    try {
        SaveRows(name, Rows({"short"}), nullptr, m_system);
        FAIL() << "the failed close was not raised";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.code(), 5);
        EXPECT_STREQ(error.what(), "File access denied");
    }
    EXPECT_EQ(test::ReadBytes(name), "");
}

TEST_F(SaveResultsTest, AFullDeviceRaisesIoError112) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    try {
        SaveRows("/dev/full", Rows({"a", "b"}), nullptr);
        FAIL() << "writing to /dev/full was not raised";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.code(), 112);
        EXPECT_EQ(ErrorBoxText(error.what()), "I/O error 112.");
    }
}

TEST_F(SaveResultsTest, ACharacterDeviceGetsOneWritePerRow) {
    if (::access("/dev/null", W_OK) != 0) GTEST_SKIP() << "no /dev/null";
    EXPECT_EQ(SaveRows("/dev/null", Rows({"a", "b"}), nullptr), SaveOutcome::Saved);
    m_system.create = [log = m_log](const std::string&) {
        FakeFile::Script script{.kind =
                                    platform::KindResult{platform::HandleKind::CharacterDevice, 0}};
        return platform::OpenResult{std::make_unique<FakeFile>(script, log), 0};
    };
    EXPECT_EQ(SaveRows("tty", Rows({"one", "", "three"}), nullptr, m_system), SaveOutcome::Saved);
    EXPECT_EQ(m_log->writes, (std::vector<std::string>{"one\r\n", "\r\n", "three\r\n"}));
    EXPECT_TRUE(m_log->released);
}

}  // namespace
}  // namespace sifter
