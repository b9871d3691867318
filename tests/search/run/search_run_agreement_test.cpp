// The search's rows must be exactly what the line rules and the string rules give line by
// line (a text looked for in each of its forms), however the search gets there: on one thread
// or with workers reading ahead, over files a walk found on one thread or on several. Random
// files of a few telling bytes are read every way. The companion's grep forms of the same
// search must be what those rows give, and, with context lines asked, what grep would show
// around the matching lines. With only the files that gave a match row, the others' rows are
// left out, and nothing else changes.

#include <gtest/gtest.h>

#include <clocale>
#include <random>

#include "cli_model.h"
#include "platform/path_rules.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/run/search_run.h"
#include "search/text/text_rules.h"
#include "test_support.h"
#include "text_model.h"

namespace sifter {
namespace {

using Rows = std::vector<ResultEntry>;

// One file as the plain line operations and the string rules read it: its lines, which are
// procedure lines and which match, and the rows they give with the line each came from.
struct ExpectedFile {
    std::vector<std::string> lines;
    std::vector<bool> procedures;
    std::vector<bool> matches;
    Rows rows;
    std::vector<std::int64_t> lineOfRow;
};

ExpectedFile ExpectedFileRows(const std::string& name, const SearchRequest& request) {
    LineFile file;
    file.OpenRead(name);
    ExpectedFile expected;
    expected.lines = test::ReadAllLines(file);
    file.Close();
    const std::vector<std::string> forms =
        test::ModelForms(request.text, request.rules.caseSensitive);
    for (std::size_t i = 0; i < expected.lines.size(); ++i) {
        const std::string& line = expected.lines[i];
        const auto number = static_cast<std::int64_t>(i + 1);
        expected.procedures.push_back(request.includeProcs && IsProcLine(line));
        expected.matches.push_back(
            test::ModelFindFrom(forms, line, 0, request.rules.caseSensitive).has_value());
        if (expected.procedures.back()) {
            expected.rows.push_back({" " + line, EntryIcon::Procedure});
            expected.lineOfRow.push_back(number);
        }
        if (expected.matches.back()) {
            expected.rows.push_back({"[" + std::to_string(number) + "] " + line, EntryIcon::Blank});
            expected.lineOfRow.push_back(number);
        }
    }
    return expected;
}

std::string RandomFile(std::mt19937& random) {
    // Pieces of the patterns below in both cases, line ends, a rare Ctrl-Z, bytes above 127
    // and accented text in UTF-8 and in Windows-1252; some files have long lines that cross
    // many 128-byte blocks.
    static const std::string pieces[] = {
        "proc ",    "PROC ", "pRoc", "begin", "BeGiN",        "(",     ")",
        "x",        " ",     "\xE9", "\xC9",  "endproc ",     "BEGIN", "c (",
        "zz z",     "\t",    "rocb", "b",     "(x)",          "caf",   "CAF",
        "\xC3\xA9", "\xC3",  "\xA9", "\x80",  "\xE2\x82\xAC", "\xE2",  "na\xC3\xAFve",
        "na\xEFve"};
    const bool longLines = random() % 4 == 0;
    const std::size_t pieceCount = random() % (longLines ? 900 : 200);
    std::string bytes;
    for (std::size_t i = 0; i < pieceCount; ++i) {
        const unsigned roll = random() % 1000;
        if (roll < (longLines ? 4u : 90u))
            bytes += '\r';
        else if (roll < (longLines ? 8u : 140u))
            bytes += '\n';
        else if (roll < (longLines ? 9u : 145u))
            bytes += '\0';
        else if (roll == 999 && random() % 3 == 0)
            bytes += '\x1A';
        else
            bytes += pieces[random() % std::size(pieces)];
    }
    return bytes;
}

TEST(SearchRunAgreementTest, RowsMatchTheLineAndStringRulesOnRandomFiles) {
    std::setlocale(LC_COLLATE, "C");
    TakeError();
    test::CurrentDirectoryGuard restore;
    test::TempDir dir;
    std::mt19937 random(7001);
    // A small tree, listed on four threads; a set listed on one alone must name the same files.
    const platform::PathRules& paths = platform::Paths();
    const std::string places[] = {"", "s", paths.Join("s", "t"), "u", paths.Join("u", "v")};
    for (const std::string& place : places)
        if (!place.empty()) platform::System().MakeDirectory(dir / place);
    for (int i = 0; i < 120; ++i) {
        std::string bytes = RandomFile(random);
        // A few files too large for the system to read in a batch with others.
        if (i % 17 == 5)
            while (bytes.size() <= platform::ReadBatch::kRoom) bytes += RandomFile(random);
        test::WriteBytes(
            dir / paths.Join(places[i % std::size(places)], "f" + std::to_string(1000 + i) + ".sc"),
            bytes);
    }
    FileSet sets[2];
    for (const std::int32_t walkers : {3, 0}) {
        FileSet& read = sets[walkers == 0 ? 1 : 0];
        read.SetDirectory(dir.path());
        read.SetListing({.eachNameOnce = true, .subdirectories = true});
        read.SetWalkers(walkers);
        read.SetMask("*.sc");
    }
    const FileSet& set = sets[0];
    ASSERT_EQ(set.Count(), 120);
    EXPECT_EQ(set.Names(), sets[1].Names());

    const SearchRequest requests[] = {
        {.fileType = FileType::Scripts, .text = "proc", .includeProcs = true},
        {.fileType = FileType::Scripts,
         .text = "proc",
         .rules = {.caseSensitive = true},
         .includeProcs = true},
        {.fileType = FileType::Scripts, .text = "Begin"},
        {.fileType = FileType::Scripts, .text = "BEGIN", .rules = {.caseSensitive = true}},
        {.fileType = FileType::Scripts, .text = "\xE9", .includeProcs = true},
        {.fileType = FileType::Scripts, .text = "c ("},
        {.fileType = FileType::Scripts, .text = ")", .rules = {.caseSensitive = true}},
        {.fileType = FileType::Scripts, .text = "", .includeProcs = true},
        {.fileType = FileType::Scripts, .text = "x"},
        {.fileType = FileType::Scripts, .text = "rocb"},
        {.fileType = FileType::Scripts,
         .text = "(\t",
         .rules = {.caseSensitive = true},
         .includeProcs = true},
        {.fileType = FileType::Scripts, .text = "zz z"},
        {.fileType = FileType::Scripts, .text = "caf\xC3\xA9", .includeProcs = true},
        {.fileType = FileType::Scripts, .text = "CAF\xC3\xA9", .rules = {.caseSensitive = true}},
        {.fileType = FileType::Scripts, .text = "\xC3\xA9", .rules = {.caseSensitive = true}},
        {.fileType = FileType::Scripts, .text = "\xE2\x82\xAC", .includeProcs = true},
        {.fileType = FileType::Scripts, .text = "\xA9 \xE2\x82\xAC"},
        {.fileType = FileType::Scripts, .text = "\xC3\xAFv"}};
    // The grep forms, each written by the companion's sink as the search goes; the searches
    // take turns at asking for context lines, which only the grep form writes.
    test::GrepForms plain(dir / "grep", set.Names());
    test::GrepForms grouped(dir / "context", set.Names(), {.groups = true});
    constexpr std::size_t kForms = std::size(test::GrepForms::kForms);
    const ContextLines contexts[] = {{}, {true, 0, 0}, {true, 2, 1}, {true, 1, 3}, {true, 5, 0}};
    std::size_t turn = 0;
    for (const SearchRequest& asked : requests)
        for (const std::int32_t workers : {0, 1, 3, -1, -3}) {
            // Without workers, and with one or three, each with only the files with a match.
            SearchRequest request = asked;
            request.options.onlyFilesWithMatches = workers < 0;
            request.context = contexts[turn++ % std::size(contexts)];
            const std::int32_t readers = workers < 0 ? -workers : workers;
            test::GrepForms& grep = request.context.asked ? grouped : plain;
            SCOPED_TRACE(testing::Message()
                         << readers << " workers, only files with matches "
                         << request.options.onlyFilesWithMatches << ", context "
                         << request.context.before << " " << request.context.after);
            ResultRows produced;
            test::FanOutRows sinks(grep.Sinks({&produced}));
            const SearchSummary summary =
                RunSearch(request, set, sinks, nullptr, platform::System(), readers);
            // The documented rows are the same whatever context is asked: it is rows of its own.
            std::vector<bool> context(produced.size());
            for (std::size_t r = 0; r < produced.size(); ++r)
                context[r] = produced.Kind(r) == RowKind::Context;
            produced.RemoveRows(context);
            std::string expectedGrep[kForms];
            // Past the three rows that open the list, and the options row.
            std::size_t row = request.options.onlyFilesWithMatches ? 4 : 3;
            ASSERT_GE(produced.size(), row);
            std::int64_t matches = 0;
            bool written = false;
            for (std::int32_t f = 0; f < set.Count(); ++f) {
                const std::string& name = set.Name(f);
                Rows expected = {
                    {" ", EntryIcon::Blank},
                    {" " + name + " - " + std::to_string(f + 1) + " of 120", EntryIcon::File},
                    {" ", EntryIcon::Blank}};
                ExpectedFile file = ExpectedFileRows(name, request);
                const std::int64_t matchesBefore = matches;
                for (const ResultEntry& entry : file.rows) {
                    matches += entry.icon == EntryIcon::Blank ? 1 : 0;
                    expected.push_back(entry);
                }
                if (request.options.onlyFilesWithMatches && matches == matchesBefore) {
                    expected.clear();
                    file = {};
                }
                for (std::size_t g = 0; g < kForms; ++g)
                    expectedGrep[g] +=
                        test::GrepForms::kForms[g] == cli::OutputForm::Grep && request.context.asked
                            ? test::ModelContextText(name, file.lines, file.procedures,
                                                     file.matches, request.context, written)
                            : test::ModelGrepText(test::GrepForms::kForms[g], name, file.rows,
                                                  file.lineOfRow, "");
                Rows actual;
                for (std::size_t k = 0; k < expected.size() && row < produced.size(); ++k)
                    actual.push_back(produced.Entry(row++));
                ASSERT_EQ(actual, expected) << name << " searched for \"" << request.text << "\"";
            }
            EXPECT_EQ(row, produced.size());
            EXPECT_EQ(summary.matches, matches);
            for (std::size_t g = 0; g < kForms; ++g)
                EXPECT_EQ(grep.Take(g), expectedGrep[g])
                    << "form " << g << " of \"" << request.text << "\"";
            EXPECT_EQ(PendingError(), 0);
        }
}

}  // namespace
}  // namespace sifter
