#include "search/lines/line_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "search/io_error.h"
#include "test_support.h"

namespace sifter {
namespace {

using namespace std::string_literals;
using test::FakeFile;
using test::FakeSystem;
using test::FileLog;
using Lines = std::vector<std::string>;

// A fake system whose every open serves `script`, logging into `log`.
FakeSystem ScriptedSystem(const FakeFile::Script& script, const std::shared_ptr<FileLog>& log) {
    FakeSystem system;
    system.openRead = [script, log](const std::string&) {
        return platform::OpenResult{std::make_unique<FakeFile>(script, log), 0};
    };
    return system;
}

// Each file is read from disk (chunk 0) and through a fake that hands out at most `chunk`
// bytes per read: how the system splits the data must not change the lines.
class LineTableTest : public testing::TestWithParam<std::tuple<test::LineRuleCase, std::int32_t>> {
protected:
    void SetUp() override { TakeError(); }
    test::TempDir m_dir;
};

TEST_P(LineTableTest, SplitsTheBytesIntoTheseLines) {
    const auto& [c, chunk] = GetParam();
    Lines lines;
    if (chunk == 0) {
        test::WriteBytes(m_dir / "f.sc", c.bytes);
        LineFile file;
        file.OpenRead(m_dir / "f.sc");
        lines = test::ReadAllLines(file);
        file.Close();
    } else {
        auto log = std::make_shared<FileLog>();
        FakeSystem system = ScriptedSystem({.data = c.bytes, .chunks = {chunk}}, log);
        LineFile file(system);
        file.OpenRead("f.sc");
        lines = test::ReadAllLines(file);
        file.Close();
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(PendingError(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, LineTableTest,
                         testing::Combine(testing::ValuesIn(test::LineRuleCases()),
                                          testing::Values(0, 1, 2, 7, 127, 128)));

TEST(LineFileTest, CrEndingOneBlockAndLfStartingTheNextAreOneLineEnd) {
    test::TempDir dir;
    const std::string first(127, 'a');
    test::WriteBytes(dir / "f.sc", first + "\r\nsecond\r\n");
    auto log = std::make_shared<FileLog>();
    FakeSystem system = ScriptedSystem({.data = first + "\r\nsecond\r\n", .chunks = {128}}, log);
    for (platform::SystemApi* source :
         {&platform::NativeSystem(), static_cast<platform::SystemApi*>(&system)}) {
        LineFile file(*source);
        file.OpenRead(dir / "f.sc");
        EXPECT_EQ(test::ReadAllLines(file), (Lines{first, "second"}));
    }
}

TEST(LineFileTest, ALineOfAThousandBytesComesBackWholeFromOneReadLine) {
    test::TempDir dir;
    std::string line;
    for (int i = 0; i < 1000; ++i) line += static_cast<char>('a' + i % 26);
    test::WriteBytes(dir / "long.sc", line + "\r\nnext");
    LineFile file;
    file.OpenRead(dir / "long.sc");
    ASSERT_FALSE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), line);
    file.SkipLineEnd();
    EXPECT_EQ(file.ReadLine(), "next");
    EXPECT_TRUE(file.AtEnd());
}

TEST(LineFileTest, AnEmptyFileIsAtEndAtOnce) {
    test::TempDir dir;
    test::WriteBytes(dir / "empty.sc", "");
    TakeError();
    LineFile file;
    file.OpenRead(dir / "empty.sc");
    EXPECT_EQ(file.mode(), LineFile::Mode::Reading);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_TRUE(file.AtEnd());
    file.Close();
    EXPECT_EQ(file.mode(), LineFile::Mode::Closed);
    EXPECT_EQ(PendingError(), 0);
}

TEST(LineFileTest, TheEndOfTheDataIsAWallThatIsNeverReadPast) {
    auto log = std::make_shared<FileLog>();
    FakeSystem system = ScriptedSystem({.data = "ab\x1A"
                                                "cd\r\nef",
                                        .chunks = {3}},
                                       log);
    LineFile file(system);
    file.OpenRead("f.sc");
    EXPECT_EQ(test::ReadAllLines(file), Lines{"ab"});
    EXPECT_EQ(log->reads, 1);  // the bytes after the Ctrl-Z are never asked for
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(file.AtEnd());
        EXPECT_EQ(file.ReadLine(), "");
        file.SkipLineEnd();
    }
    EXPECT_EQ(log->reads, 1);

    auto endLog = std::make_shared<FileLog>();
    FakeSystem ending = ScriptedSystem({.data = "ab"}, endLog);
    LineFile atEnd(ending);
    atEnd.OpenRead("g.sc");
    EXPECT_EQ(test::ReadAllLines(atEnd), Lines{"ab"});
    const int reads = endLog->reads;
    EXPECT_TRUE(atEnd.AtEnd());
    EXPECT_EQ(endLog->reads, reads);  // the end found once stays found
}

TEST(LineFileTest, AtEndIsAnsweredFromBufferedBytesWithoutAskingTheSystem) {
    auto log = std::make_shared<FileLog>();
    FakeSystem system = ScriptedSystem({.data = "abc\r\ndef\r\n"}, log);
    LineFile file(system);
    file.OpenRead("f.sc");
    EXPECT_EQ(log->reads, 0);  // opening reads nothing
    EXPECT_FALSE(file.AtEnd());
    EXPECT_FALSE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "abc");
    EXPECT_EQ(log->reads, 1);
}

TEST(LineFileTest, OperationsOnAFileThatIsNotOpenLeaveTheirCodes) {
    TakeError();
    LineFile never;
    EXPECT_TRUE(never.AtEnd());
    EXPECT_EQ(TakeError(), 104);
    EXPECT_EQ(never.ReadLine(), "");
    EXPECT_EQ(TakeError(), 104);
    never.SkipLineEnd();
    EXPECT_EQ(TakeError(), 104);
    never.Close();
    EXPECT_EQ(TakeError(), 103);
    never.WriteText("x");
    EXPECT_EQ(TakeError(), 105);
    never.WriteLineEnd();
    EXPECT_EQ(TakeError(), 105);
}

TEST(LineFileTest, AClosedFileKeepsNoneOfTheBytesItHadBuffered) {
    test::TempDir dir;
    test::WriteBytes(dir / "f.sc", "first\r\nsecond\r\n");
    TakeError();
    LineFile file;
    file.OpenRead(dir / "f.sc");
    EXPECT_EQ(file.ReadLine(), "first");
    file.Close();
    EXPECT_EQ(TakeError(), 0);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(TakeError(), 104);
    file.SkipLineEnd();
    EXPECT_EQ(TakeError(), 104);
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_EQ(TakeError(), 104);
    file.Close();
    EXPECT_EQ(TakeError(), 103);
    file.WriteText("x");
    EXPECT_EQ(TakeError(), 105);
}

}  // namespace
}  // namespace sifter
