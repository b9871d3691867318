// Writing through the 128-byte buffer: when blocks reach the system and what a failure costs.

#include <gtest/gtest.h>

#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "test_support.h"

namespace sifter {
namespace {

using test::FakeFile;
using test::FakeSystem;
using test::FileLog;
using Writes = std::vector<std::string>;

class LineFileWriteTest : public testing::Test {
protected:
    void SetUp() override { TakeError(); }
    void TearDown() override { TakeError(); }

    // Opens a LineFile for writing on a fake file with this script.
    std::unique_ptr<LineFile> OpenFake(FakeFile::Script script) {
        m_system.create = [script, log = m_log](const std::string&) {
            return platform::OpenResult{std::make_unique<FakeFile>(script, log), 0};
        };
        auto file = std::make_unique<LineFile>(m_system);
        file->OpenWrite("out.txt");
        return file;
    }

    std::shared_ptr<FileLog> m_log = std::make_shared<FileLog>();
    FakeSystem m_system;
};

TEST_F(LineFileWriteTest, FullBuffersGoOutAs128ByteBlocksAndTheRestAtClose) {
    const std::string text(300, 'a');
    auto file = OpenFake({});
    ASSERT_EQ(file->mode(), LineFile::Mode::Writing);
    file->WriteText(text);
    EXPECT_EQ(m_log->writes, (Writes{std::string(128, 'a'), std::string(128, 'a')}));
    EXPECT_FALSE(m_log->released);
    file->Close();
    EXPECT_EQ(m_log->writes,
              (Writes{std::string(128, 'a'), std::string(128, 'a'), std::string(44, 'a')}));
    EXPECT_TRUE(m_log->released);
    EXPECT_EQ(file->mode(), LineFile::Mode::Closed);
    EXPECT_EQ(PendingError(), 0);
}

TEST_F(LineFileWriteTest, ABufferThatBecomesExactlyFullIsWrittenAtOnce) {
    auto file = OpenFake({});
    file->WriteText(std::string(127, 'x'));
    EXPECT_EQ(m_log->writeCalls, 0);
    file->WriteText("y");
    ASSERT_EQ(m_log->writes.size(), 1u);
    EXPECT_EQ(m_log->writes[0], std::string(127, 'x') + "y");
    file->Close();
    EXPECT_EQ(m_log->writeCalls, 1);  // nothing was left to write out
}

TEST_F(LineFileWriteTest, SmallPiecesAreGatheredIntoBlocks) {
    auto file = OpenFake({});
    std::string all;
    for (int i = 0; i < 50; ++i) {
        file->WriteText("abc");
        file->WriteLineEnd();
        all += "abc\r\n";
    }
    file->Close();
    std::string written;
    for (const std::string& block : m_log->writes) written += block;
    EXPECT_EQ(written, all);
    EXPECT_EQ(m_log->writeCalls, 2);  // 250 bytes: one block of 128 and 122 at close
}

TEST_F(LineFileWriteTest, AFailedBlockIsLostWithTheRestOfThatCall) {
    auto file = OpenFake({.failingWrite = 1, .writeError = 112});
    file->WriteText(std::string(400, 'b'));
    EXPECT_EQ(PendingError(), 112);
    EXPECT_EQ(m_log->writeCalls, 2);
    file->Close();
    EXPECT_EQ(m_log->writes, Writes{std::string(128, 'b')});
    EXPECT_EQ(m_log->writeCalls, 2);
    EXPECT_EQ(file->mode(), LineFile::Mode::Closed);
}

TEST_F(LineFileWriteTest, ACharacterDeviceGetsEveryLineAsItEnds) {
    auto file = OpenFake({.kind = platform::KindResult{platform::HandleKind::CharacterDevice, 0}});
    file->WriteText("x");
    file->WriteLineEnd();
    file->WriteLineEnd();
    file->WriteText("yy");
    EXPECT_EQ(m_log->writes, (Writes{"x\r\n", "\r\n"}));
    file->WriteLineEnd();
    file->Close();
    EXPECT_EQ(m_log->writes, (Writes{"x\r\n", "\r\n", "yy\r\n"}));
}

TEST_F(LineFileWriteTest, AnyOtherKindKeepsLineEndsInTheBuffer) {
    auto file = OpenFake({.kind = platform::KindResult{platform::HandleKind::Other, 0}});
    file->WriteText("x");
    file->WriteLineEnd();
    EXPECT_EQ(m_log->writeCalls, 0);
    file->Close();
    EXPECT_EQ(m_log->writes, Writes{"x\r\n"});
}

TEST_F(LineFileWriteTest, AFailedWriteOutAtCloseKeepsTheFileOpenForWriting) {
    auto file = OpenFake({.failingWrite = 0, .writeError = 5});
    file->WriteText("abc");
    file->Close();
    EXPECT_EQ(file->mode(), LineFile::Mode::Writing);
    EXPECT_EQ(TakeError(), 5);
    EXPECT_FALSE(m_log->released);
    file.reset();
    // Dropping it lets the handle go and writes nothing more.
    EXPECT_TRUE(m_log->destroyed);
    EXPECT_TRUE(m_log->writes.empty());
    EXPECT_EQ(m_log->writeCalls, 1);
}

TEST_F(LineFileWriteTest, AFailedReleaseAtCloseLeavesItsCode) {
    auto file = OpenFake({.releaseError = 1005});
    file->WriteText("abc");
    file->Close();
    EXPECT_EQ(file->mode(), LineFile::Mode::Closed);
    EXPECT_EQ(m_log->writes, Writes{"abc"});
    EXPECT_EQ(TakeError(), 1005);
}

TEST_F(LineFileWriteTest, AnObjectOfNoKnownKindIsReleasedAndLeaves105) {
    auto file = OpenFake({.kind = platform::KindResult{platform::HandleKind::Other, 9}});
    EXPECT_EQ(file->mode(), LineFile::Mode::Closed);
    EXPECT_TRUE(m_log->released);
    EXPECT_EQ(TakeError(), 105);
    file->WriteText("x");
    EXPECT_EQ(TakeError(), 105);
    EXPECT_EQ(m_log->writeCalls, 0);
}

TEST_F(LineFileWriteTest, WritingToAFileOpenForReadingLeaves105) {
    test::TempDir dir;
    test::WriteBytes(dir / "in.sc", "keep\r\n");
    LineFile file;
    file.OpenRead(dir / "in.sc");
    file.WriteText("x");
    EXPECT_EQ(TakeError(), 105);
    file.WriteLineEnd();
    EXPECT_EQ(TakeError(), 105);
    EXPECT_EQ(test::ReadAllLines(file), std::vector<std::string>{"keep"});
    file.Close();
    EXPECT_EQ(test::ReadBytes(dir / "in.sc"), "keep\r\n");
}

}  // namespace
}  // namespace sifter
