// Only the files with a match row: a file's heading and the procedure rows before its first
// match wait for that match, and go when the file ends without one; everything else passes in
// its order, and every file is still named, so that the rows lead to their own files.

#include "search/run/matched_files.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace sifter {
namespace {

using Row = test::SunkRow;
using test::RowCollector;

Row File(const std::string& path) {
    return {"file " + path, RowKind::File, {}, {}};
}
Row Blank(std::int32_t) {
    return {" ", RowKind::Heading, {}, {}};
}
Row Heading(std::int32_t file, const std::string& name) {
    return {" " + name, RowKind::File, {file, 1}, {}};
}
Row Proc(std::int32_t file, std::int64_t line) {
    return {" proc P" + std::to_string(line) + "()",
            RowKind::Procedure,
            {file, line},
            "proc P" + std::to_string(line) + "()"};
}
Row Match(std::int32_t file, std::int64_t line) {
    return {"[" + std::to_string(line) + "] hit", RowKind::Match, {file, line}, "hit"};
}
Row Message(const std::string& text) {
    return {text, RowKind::Message, {}, {}};
}

// The rows a search gives to the sink, each with whether it is still there behind the filter.
struct Step {
    Row row;
    bool kept;
};

void Give(RowSink& sink, const Row& row) {
    if (row.kind == RowKind::File && !row.origin.Leads() && row.text.starts_with("file ")) {
        sink.AddFile(row.text.substr(5));
    } else if (row ==
               RowCollector::NotRead(row.origin.file, static_cast<std::int32_t>(row.origin.line))) {
        sink.FileNotRead(row.origin.file, static_cast<std::int32_t>(row.origin.line));
    } else {
        const std::string_view text = row.text;
        sink.AddRow({row.kind, text, row.origin, text.substr(text.size() - row.line.size())});
    }
}

TEST(MatchedFilesOnly, LeavesOutTheRowsOfEachFileWithoutAMatchRowAndNothingElse) {
    const Row banner{"Sifter32 Search Results ", RowKind::Banner, {}, {}};
    const Row path{"   Search Path: /w", RowKind::Heading, {}, {}};
    const std::vector<std::vector<Step>> cases = {
        // The heading rows of the search pass; a file without lines goes; one with a match stays
        // with its number in the whole set.
        {{banner, true},
         {path, true},
         {File("/w/a"), true},
         {Blank(0), false},
         {Heading(0, "a - 1 of 2"), false},
         {Blank(0), false},
         {File("/w/b"), true},
         {Blank(1), true},
         {Heading(1, "b - 2 of 2"), true},
         {Blank(1), true},
         {Match(1, 3), true},
         {Match(1, 9), true}},
        // Procedure rows wait for the file's first match, and those after it follow it; a file
        // of procedure rows alone goes whole.
        {{File("/w/p"), true},
         {Blank(0), true},
         {Heading(0, "p"), true},
         {Blank(0), true},
         {Proc(0, 1), true},
         {Proc(0, 2), true},
         {Match(0, 3), true},
         {Proc(0, 4), true},
         {File("/w/q"), true},
         {Blank(1), false},
         {Heading(1, "q"), false},
         {Blank(1), false},
         {Proc(1, 1), false},
         {Proc(1, 7), false}},
        // A file not read is told in its place, whether its rows stay or go; a word on a
        // subdirectory or on the pattern passes between files, after the rows kept before it.
        {{File("/w/x"), true},
         {Blank(0), false},
         {Heading(0, "x"), false},
         {Blank(0), false},
         {RowCollector::NotRead(0, 5), true},
         {Message(" sub - directory not read: why"), true},
         {File("/w/y"), true},
         {Blank(1), true},
         {Heading(1, "y"), true},
         {Blank(1), true},
         {Match(1, 1), true},
         {RowCollector::NotRead(1, 1005), true},
         {File("/w/z"), true},
         {Blank(2), false},
         {Heading(2, "z"), false},
         {Blank(2), false},
         {Proc(2, 4), false},
         {Message(" Pattern too complex for 1 lines; first at z:4"), true}},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        RowCollector collected;
        MatchedFilesOnly filter(collected);
        std::vector<Row> kept;
        for (const Step& step : cases[c]) {
            Give(filter, step.row);
            if (step.kept) kept.push_back(step.row);
        }
        EXPECT_EQ(collected.rows, kept) << "case " << c;
    }
}

}  // namespace
}  // namespace sifter
