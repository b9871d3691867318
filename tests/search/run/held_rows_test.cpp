// Rows held for a later turn come back as they were made, however they were cut into blocks.

#include "search/run/held_rows.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace sifter {
namespace {

using Row = test::SunkRow;

TEST(HeldRows, ReplayGivesBackEveryRowWithItsKindOriginAndLineInOrder) {
    // Files not read among them, in their places: the first thing held, between rows, last.
    const std::vector<Row> rows = {
        test::RowCollector::NotRead(6, 2),
        {"[1] a hit", RowKind::Match, {7, 1}, "a hit"},
        {"", RowKind::Heading, {7, 2}, ""},
        {std::string(" nul\0inside", 11),
         RowKind::Procedure,
         {7, 3},
         std::string("nul\0inside", 10)},
        test::RowCollector::NotRead(7, 1005),
        {std::string(5000, 'x'), RowKind::Match, {7, 4'000'000'000'000}, std::string(4990, 'x')},
        {" heading", RowKind::File, {}, ""},
        {"last", RowKind::Banner, {RowOrigin::kNoFile, 0}, ""},
        {" a - directory not read: not found", RowKind::Message, {}, ""},
        test::RowCollector::NotRead(8, 2147483647),
    };
    for (const std::size_t blockBytes : {1, 40, 4096, 1 << 20}) {
        std::vector<std::string> blocks;
        HeldRows held([&](std::string&& block) { blocks.push_back(std::move(block)); }, blockBytes);
        held.AddFile("ignored: the file is named in its turn");
        for (const Row& row : rows) {
            const auto code = static_cast<std::int32_t>(row.origin.line);
            if (row == test::RowCollector::NotRead(row.origin.file, code))
                held.FileNotRead(row.origin.file, code);
            else
                held.AddRow({row.kind, row.text, row.origin,
                             std::string_view(row.text).substr(row.text.size() - row.line.size())});
        }
        held.Flush();
        held.Flush();  // nothing more to hand over
        test::RowCollector replayed;
        for (const std::string& block : blocks) {
            EXPECT_FALSE(block.empty());
            HeldRows::Replay(block, replayed);
        }
        EXPECT_EQ(replayed.rows, rows) << "blocks of " << blockBytes;
        EXPECT_EQ(replayed.files, 0);
        // A block is handed over once full, so small blocks hold a row each.
        if (blockBytes == 1) {
            EXPECT_EQ(blocks.size(), rows.size());
        }
        if (blockBytes == 1 << 20) {
            EXPECT_EQ(blocks.size(), 1u);
        }
    }
}

}  // namespace
}  // namespace sifter
