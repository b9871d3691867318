// How reading survives what the system does wrong: failed opens, failed reads, pipes.

#include <fcntl.h>
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
using Lines = std::vector<std::string>;

class LineFileFailureTest : public testing::Test {
protected:
    void SetUp() override { TakeError(); }
    void TearDown() override { TakeError(); }

    // Every open serves `script`; the log is the test's view of the calls.
    void Script(FakeFile::Script script) {
        m_system.openRead = [script, log = m_log](const std::string&) {
            return platform::OpenResult{std::make_unique<FakeFile>(script, log), 0};
        };
    }

    test::TempDir m_dir;
    std::shared_ptr<FileLog> m_log = std::make_shared<FileLog>();
    FakeSystem m_system;
};

TEST_F(LineFileFailureTest, AFailedReadEndsTheLineWithTheBytesSoFarAndIsAskedAgainNextTime) {
    Script({.data = "hello world\r\nnext\r\n", .chunks = {5}, .failingReads = {1}, .readError = 5});
    LineFile file(m_system);
    file.OpenRead("f.sc");
    ASSERT_FALSE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "hello");
    EXPECT_EQ(PendingError(), 5);
    EXPECT_EQ(m_log->reads, 2);
    // The failure kept nothing, so the next request goes to the system, which now answers;
    // the rest of the broken line is skipped as far as its line end.
    file.SkipLineEnd();
    EXPECT_EQ(m_log->reads, 4);
    EXPECT_EQ(test::ReadAllLines(file), Lines{"next"});
}

TEST_F(LineFileFailureTest, ASystemThatKeepsFailingReadsAsEndedAndIsAskedEveryTime) {
    Script({.data = "never seen\r\n", .failingReads = {0, 1, 2, 3}, .readError = 1005});
    LineFile file(m_system);
    file.OpenRead("f.sc");
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(TakeError(), 1005);
    EXPECT_EQ(file.ReadLine(), "");
    file.SkipLineEnd();
    EXPECT_EQ(m_log->reads, 3);
    EXPECT_EQ(TakeError(), 1005);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(m_log->reads, 4);
    // Once the system answers again, the file reads on from where it stood.
    EXPECT_FALSE(file.AtEnd());
    EXPECT_EQ(test::ReadAllLines(file), Lines{"never seen"});
}

TEST_F(LineFileFailureTest, AFailedOpenLeavesTheFileClosedWithTheSystemsCode) {
    test::WriteBytes(m_dir / "plain.sc", "x\r\n");
    const struct {
        std::string name;
        std::int32_t code;
    } cases[] = {{m_dir / "missing.sc", 2},
                 {m_dir / "nodir/f.sc", 2},
                 {m_dir / "plain.sc/f.sc", 3},
                 {m_dir / std::string(300, 'n'), 3}};
    for (const auto& c : cases) {
        LineFile file;
        file.OpenRead(c.name);
        EXPECT_EQ(file.mode(), LineFile::Mode::Closed) << c.name;
        EXPECT_EQ(TakeError(), c.code) << c.name;
        EXPECT_TRUE(file.AtEnd());
        EXPECT_EQ(TakeError(), 104);
        file.Close();
        EXPECT_EQ(TakeError(), 103);
    }
}

TEST_F(LineFileFailureTest, AFileWithoutReadPermissionCannotBeOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    test::WriteBytes(m_dir / "locked.sc", "x\r\n");
    ASSERT_EQ(::chmod((m_dir / "locked.sc").c_str(), 0), 0);
    LineFile file;
    file.OpenRead(m_dir / "locked.sc");
    EXPECT_EQ(file.mode(), LineFile::Mode::Closed);
    EXPECT_EQ(TakeError(), 5);
}

TEST_F(LineFileFailureTest, ReadingADirectoryFailsAtTheFirstReadAndGivesNoLine) {
    LineFile file;
    file.OpenRead(m_dir.path());
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(TakeError(), 5);  // EISDIR
    file.Close();
    EXPECT_EQ(TakeError(), 0);
}

TEST_F(LineFileFailureTest, AnOpenThatSucceedsKeepsACodeThatWasAlreadyPending) {
    test::WriteBytes(m_dir / "f.sc", "x");
    SetPendingError(7);
    LineFile file;
    file.OpenRead(m_dir / "f.sc");
    EXPECT_EQ(file.mode(), LineFile::Mode::Reading);
    EXPECT_EQ(PendingError(), 7);
}

TEST_F(LineFileFailureTest, AFifoWithoutAWriterOpensAtOnceAndReadsAsEmpty) {
    const std::string fifo = m_dir / "pipe.sc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LineFile file;
    file.OpenRead(fifo);
    EXPECT_EQ(file.mode(), LineFile::Mode::Reading);
    EXPECT_TRUE(file.AtEnd());
    file.Close();
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(LineFileFailureTest, AFifoWhoseWriterNeverWritesReadsAsFailedInsteadOfWaiting) {
    const std::string fifo = m_dir / "pipe.sc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LineFile file;
    file.OpenRead(fifo);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    // A blocking read would wait here for ever.
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(TakeError(), 1000 + EAGAIN);
    file.Close();
    ::close(writer);
}

TEST_F(LineFileFailureTest, APipeWhoseWriterHasGoneGivesItsLinesAndThenEnds) {
    const std::string fifo = m_dir / "pipe.sc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LineFile file;
    file.OpenRead(fifo);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string bytes = "first\r\nsecond";
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(writer);
    EXPECT_EQ(test::ReadAllLines(file), (Lines{"first", "second"}));
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(LineFileFailureTest, AFailedReleaseAtCloseLeavesItsCodeAndTheFileClosed) {
    Script({.data = "x", .releaseError = 1009});
    LineFile file(m_system);
    file.OpenRead("f.sc");
    file.Close();
    EXPECT_EQ(file.mode(), LineFile::Mode::Closed);
    EXPECT_TRUE(m_log->released);
    EXPECT_EQ(TakeError(), 1009);
}

}  // namespace
}  // namespace sifter
