// A file read whole for the viewer must split into exactly the lines the search reads from it.

#include "search/lines/line_index.h"
#include "search/lines/held_file.h"

#include <gtest/gtest.h>

#include <random>

#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "test_support.h"

namespace sifter {
namespace {

using Lines = std::vector<std::string>;

Lines AllLines(const LineIndex& file) {
    Lines lines;
    for (std::int64_t i = 0; i < file.LineCount(); ++i) lines.emplace_back(file.Line(i));
    return lines;
}

// The search's own reading of the same bytes, from a file on disk.
Lines SearchLines(const std::string& path) {
    LineFile file;
    file.OpenRead(path);
    Lines lines = test::ReadAllLines(file);
    file.Close();
    TakeError();
    return lines;
}

// A file that claims a size other than its own, as one that changes while it is read.
class ResizedFile final : public platform::OsFile {
public:
    ResizedFile(std::string data, std::int64_t claimed)
        : m_data(std::move(data)), m_claimed(claimed) {}
    platform::ReadResult Read(char* buffer, std::int32_t size) override {
        const std::size_t n = std::min(static_cast<std::size_t>(size), m_data.size() - m_served);
        std::copy_n(m_data.data() + m_served, n, buffer);
        m_served += n;
        return {static_cast<std::int32_t>(n), 0};
    }
    std::int32_t Write(const char*, std::int32_t) override { return 5; }
    platform::KindResult Kind() override { return {}; }
    std::int64_t SizeHint() override { return m_claimed; }
    std::int32_t Release() override { return 0; }

private:
    std::string m_data;
    std::int64_t m_claimed;
    std::size_t m_served = 0;
};

TEST(LineIndex, SplitsLikeTheSearch) {
    for (const test::LineRuleCase& c : test::LineRuleCases()) {
        const LineIndex file(c.bytes);
        EXPECT_EQ(AllLines(file), c.lines) << testing::PrintToString(c);
        std::size_t longest = 0;
        for (const std::string& line : c.lines) longest = std::max(longest, line.size());
        EXPECT_EQ(file.LongestLine(), longest) << testing::PrintToString(c);
        EXPECT_EQ(file.Line(file.LineCount()), "");
        EXPECT_EQ(file.Line(-1), "");
    }
}

TEST(LineIndex, AgreesWithTheSearchesReaderOnRandomFiles) {
    test::TempDir dir;
    std::mt19937 random(90210);
    const std::string alphabet = "\r\r\r\n\n\nab \t\xE9";
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const std::size_t length = random() % (round % 10 == 0 ? 20000 : 300);
        for (std::size_t i = 0; i < length; ++i) bytes += alphabet[random() % alphabet.size()];
        if (round % 4 == 1 && !bytes.empty()) bytes[random() % bytes.size()] = '\x1A';
        const std::string path = dir / ("f" + std::to_string(round));
        test::WriteBytes(path, bytes);

        const LineIndexResult read = LineIndex::Read(path);
        ASSERT_TRUE(read.lines) << read.error;
        EXPECT_EQ(AllLines(*read.lines), SearchLines(path)) << testing::PrintToString(bytes);
        // The same bytes handed out in small, uneven pieces by a file of unknown size.
        test::FakeSystem system;
        system.openRead = [&](const std::string&) {
            test::FakeFile::Script script{.data = bytes, .chunks = {1 + round % 7, 300}};
            return platform::OpenResult{
                std::make_unique<test::FakeFile>(script, std::make_shared<test::FileLog>()), 0};
        };
        const LineIndexResult pieces = LineIndex::Read("f", system);
        ASSERT_TRUE(pieces.lines);
        EXPECT_EQ(AllLines(*pieces.lines), AllLines(*read.lines));
    }
}

TEST(LineIndex, AFileThatChangedSizeWhileReadIsReadToItsEnd) {
    const std::string bytes = std::string(100000, 'x') + "\r\nlast";
    for (const std::int64_t claimed :
         {std::int64_t{0}, std::int64_t{10}, std::int64_t{100001}, std::int64_t{500000}}) {
        test::FakeSystem system;
        system.openRead = [&](const std::string&) {
            return platform::OpenResult{std::make_unique<ResizedFile>(bytes, claimed), 0};
        };
        const LineIndexResult read = LineIndex::Read("f", system);
        ASSERT_TRUE(read.lines);
        EXPECT_EQ(AllLines(*read.lines), (Lines{std::string(100000, 'x'), "last"})) << claimed;
        EXPECT_LE(read.lines->MemoryUse(), bytes.size() + 1 + 3 * 8) << claimed;
    }
}

TEST(LineIndex, NothingAfterTheFirstCtrlZIsReadOrKept) {
    std::string bytes;
    for (int i = 0; i < 40; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    const std::size_t end = bytes.size();
    bytes += "\x1A" + std::string(100000, 'x');
    test::FakeSystem system;
    auto log = std::make_shared<test::FileLog>();
    system.openRead = [&](const std::string&) {
        // A read after the one that brings the Ctrl-Z would fail.
        test::FakeFile::Script script{.data = bytes, .chunks = {1000}, .failingReads = {1}};
        return platform::OpenResult{std::make_unique<test::FakeFile>(script, log), 0};
    };
    const LineIndexResult read = LineIndex::Read("f", system);
    ASSERT_TRUE(read.lines) << read.error;
    EXPECT_EQ(log->reads, 1);
    EXPECT_EQ(read.lines->LineCount(), 40);
    EXPECT_EQ(read.lines->Line(39), "line 39");
    EXPECT_LE(read.lines->MemoryUse(), end + 1 + 8 * 41);
}

TEST(LineIndex, CostsItsSizePlusEightBytesPerLine) {
    test::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 50000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    test::WriteBytes(dir / "f", bytes);
    const LineIndexResult read = LineIndex::Read(dir / "f");
    ASSERT_TRUE(read.lines);
    ASSERT_EQ(read.lines->LineCount(), 50000);
    EXPECT_EQ(read.lines->Line(49999), "line 49999");
    EXPECT_EQ(read.lines->LongestLine(), 10u);
    // One byte for the end of the data and one entry past the last line.
    EXPECT_LE(read.lines->MemoryUse(), bytes.size() + 1 + 8 * (50000 + 1));
}

// Everything the reads of `file` give, a failure as !CODE, up to the end of its data.
std::string ReadThrough(platform::OsFile& file) {
    std::string got;
    char buffer[7];
    for (int failures = 0; failures < 3;) {
        const platform::ReadResult read = file.Read(buffer, sizeof buffer);
        if (read.error != 0) {
            got += "!" + std::to_string(read.error);
            ++failures;
        } else if (read.count == 0) {
            break;
        } else {
            got.append(buffer, static_cast<std::size_t>(read.count));
        }
    }
    return got;
}

TEST(HoldWhole, KeepsTheBytesReadAndAnswersEveryReadAsTheFileWould) {
    const struct {
        const char* what;
        test::FakeFile::Script script;
        std::size_t limit;
        bool held, whole;
        std::string_view bytes;
    } cases[] = {
        {"a file of its size", {.data = "abc\r\n", .sizeHint = 5}, 100, true, true, "abc\r\n"},
        {"grown since its size was taken",
         {.data = "abcdefgh", .sizeHint = 2},
         100,
         true,
         true,
         "abcdefgh"},
        {"grown past the limit: the rest is read later",
         {.data = "abcdefgh", .sizeHint = 2},
         5,
         true,
         false,
         "abcde"},
        {"a failed read ends what is held",
         {.data = "a\r\nbc", .chunks = {2}, .failingReads = {1}, .readError = 1005, .sizeHint = 5},
         100,
         true,
         false,
         "a\r"},
        {"larger than the limit", {.data = "abcdefgh", .sizeHint = 8}, 5, false, false, ""},
        {"of no known size", {.data = "abc"}, 100, false, false, ""},
    };
    for (const auto& c : cases) {
        auto log = std::make_shared<test::FileLog>();
        HoldBuffer buffer;
        HeldRead read = Hold(std::make_unique<test::FakeFile>(c.script, log), buffer, c.limit);
        EXPECT_EQ(read.held, c.held) << c.what;
        EXPECT_EQ(read.whole, c.whole) << c.what;
        EXPECT_EQ(read.bytes, c.bytes) << c.what;
        test::FakeFile same(c.script, std::make_shared<test::FileLog>());
        EXPECT_EQ(ReadThrough(*read.file), ReadThrough(same)) << c.what;
    }
}

TEST(LineIndex, ReportsTheCodeOfAFailedOpenOrRead) {
    test::TempDir dir;
    const LineIndexResult missing = LineIndex::Read(dir / "gone.sc");
    EXPECT_FALSE(missing.lines);
    EXPECT_EQ(missing.error, 2);
    const LineIndexResult directory = LineIndex::Read(dir.path());
    EXPECT_FALSE(directory.lines);
    EXPECT_EQ(directory.error, 5);
    // A device in a file's place would never end.
    const LineIndexResult device = LineIndex::Read("/dev/zero");
    EXPECT_FALSE(device.lines);
    EXPECT_EQ(device.error, 5);

    test::FakeSystem system;
    system.openRead = [](const std::string&) {
        test::FakeFile::Script script{
            .data = "a\r\nb", .chunks = {2}, .failingReads = {1}, .readError = 1005};
        return platform::OpenResult{
            std::make_unique<test::FakeFile>(script, std::make_shared<test::FileLog>()), 0};
    };
    const LineIndexResult failed = LineIndex::Read("f", system);
    EXPECT_FALSE(failed.lines);
    EXPECT_EQ(failed.error, 1005);
    // Nothing is left pending for a later check to find.
    EXPECT_EQ(PendingError(), 0);
}

}  // namespace
}  // namespace sifter
