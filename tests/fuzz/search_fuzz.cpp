// A whole search through its threads: files served by a system that reads ahead as the real one
// does, and fails or ends early where the input says, searched with 0 to 3 workers reading
// ahead. The rows must be those built from the byte-by-byte line model and the plain model of
// the text's forms, file by file in order, and no code may be left pending. The companion's
// grep forms, written as the same search goes, must be those the rows give, each file that
// could not be read told with the model's code in its place.
//
// Input, as FuzzedDataProvider takes it (numbers from the back, bytes from the front): flags (bit
// 0: case kept; bit 1: procedure rows; bits 2 and 3: the workers; bit 4: whole words, which
// also adds the heading row of the options; bit 5: the text searched as a regular expression
// that escapes each of its bytes, which must give the rows of the plain text; bit 6: only the
// files with a match row, which must leave out exactly the others' rows; bit 7: context lines
// asked, before and after the numbers that follow, 0 to 4 each: the documented rows must stay
// as they are, and the grep form show what grep would), the text's length (at most 15) and
// the text, the number of files (1 to 6), then for each file three read-ahead sizes (1 to
// 256, each times 1 to 8), up to 4 read steps as the line reader target takes them, its length
// and its bytes. The last file takes whatever is left. A second number, after the flags, shapes
// the tree the files are walked in (bit 0: subdirectories walked; bits 1 to 5: file N in a new
// directory below the one before; bit 7: each directory also holds one that cannot be listed).

#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "cli_model.h"
#include "fuzz_support.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/run/search_run.h"
#include "search/text/text_rules.h"
#include "search_system.h"
#include "text_model.h"

namespace sifter::fuzz {
namespace {

constexpr std::int32_t kFailureCodes[4] = {5, 1005, 109, 2147483647};

FileScript TakeFile(FuzzedDataProvider& input, bool last) {
    FileScript file;
    for (int i = 0; i < 3; ++i) {
        const auto size = input.ConsumeIntegralInRange<std::int32_t>(1, 256);
        file.aheads.push_back(size * input.ConsumeIntegralInRange<std::int32_t>(1, 8));
    }
    const int steps = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < steps; ++i) {
        const auto byte = input.ConsumeIntegral<unsigned char>();
        ReadStep step;
        if (byte >= 0xF0)
            step.error = kFailureCodes[byte % 4];
        else if (byte != 0xEF)
            step.most = 1 + byte;
        file.steps.push_back(step);
    }
    const auto length = input.ConsumeIntegral<std::uint16_t>();
    file.bytes =
        last ? input.ConsumeRemainingBytesAsString() : input.ConsumeBytesAsString(length % 3000);
    return file;
}

// The same files read as Pascal sources with routine rows and some kinds of text (a non-empty
// set that the flags pick): one thread and many give the same rows, and but for the routine rows
// and the Options row they are rows of the same search without the options, in their order.
void CheckPascal(SearchRequest request, const FileSet& set, platform::SystemApi& system,
                 unsigned flags) {
    request.fileType = FileType::Pascal;
    request.includeProcs = false;
    request.context = {};
    const auto rowsOf = [&](const SearchRequest& asked, std::int32_t workers) {
        ResultRows rows;
        RunSearch(asked, set, rows, nullptr, system, workers);
        TakeError();
        std::vector<ResultEntry> entries;
        for (std::size_t r = 0; r < rows.size(); ++r) entries.push_back(rows.Entry(r));
        return entries;
    };
    const std::vector<ResultEntry> plain = rowsOf(request, 0);
    request.options.routines = true;
    const unsigned kinds = 1 + (flags >> 1) % 7;
    request.options.searchIn = {(kinds & 1) != 0, (kinds & 2) != 0, (kinds & 4) != 0};
    const std::vector<ResultEntry> one = rowsOf(request, 0);
    if (one != rowsOf(request, 3)) Fail("Pascal's rows differ between one thread and many");
    // The plain rows' matches, in order, with those of the options among them.
    std::size_t at = 0;
    for (const ResultEntry& row : one) {
        if (row.icon == EntryIcon::Procedure || row.text.starts_with("   Options: ")) continue;
        while (at < plain.size() && !(plain[at] == row)) ++at;
        if (at == plain.size()) Fail("a row of Pascal's options is none of the plain search's");
        ++at;
    }
}

}  // namespace
}  // namespace sifter::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sifter;
    using namespace sifter::fuzz;
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<unsigned char>();
    SearchRequest request;
    request.fileType = FileType::Scripts;
    request.rules.caseSensitive = (flags & 1) != 0;
    request.includeProcs = (flags & 2) != 0;
    const std::int32_t workers = (flags >> 2) & 3;
    const auto shape = input.ConsumeIntegral<unsigned char>();
    request.rules.wholeWords = (flags & 16) != 0;
    request.options.onlyFilesWithMatches = (flags & 64) != 0;
    if ((flags & 128) != 0) {
        request.context.asked = true;
        request.context.before = input.ConsumeIntegralInRange<std::int32_t>(0, 4);
        request.context.after = input.ConsumeIntegralInRange<std::int32_t>(0, 4);
    }
    request.text = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, 15));
    std::vector<FileScript> files(input.ConsumeIntegralInRange<std::size_t>(1, 6));
    for (std::size_t i = 0; i < files.size(); ++i)
        files[i] = TakeFile(input, i + 1 == files.size());
    const std::string plainText = request.text;
    if ((flags & 32) != 0) {
        request.rules.regexp = true;
        request.text = test::EscapedPattern(plainText);
        // A pattern's caseless matching folds more than ASCII letters (E acute, the Kelvin
        // sign): the two agree where every byte is ASCII.
        const auto beyondAscii = [](const std::string& bytes) {
            for (const char c : bytes)
                if (static_cast<unsigned char>(c) >= 0x80) return true;
            return false;
        };
        bool wide = beyondAscii(plainText);
        for (const FileScript& file : files) wide = wide || beyondAscii(file.bytes);
        if (wide) request.rules.caseSensitive = true;
    }

    // Each file in the directory of the one before or in a new one below it, so that the walk's
    // order is the files' own; the walk lists on as many threads as the search reads.
    std::vector<std::string> places(files.size());
    for (std::size_t i = 1; i < files.size(); ++i)
        places[i] = places[i - 1] + ((shape >> i) & 1 ? "d" + std::to_string(i) + "/" : "");
    const bool tree = (shape & 1) != 0;
    const bool unlisted = tree && (shape & 128) != 0;
    if (!tree) places.assign(files.size(), std::string());

    TakeError();
    SearchSystem system(files, places, unlisted);
    FileSet set(system, "*.sc");
    set.SetListing({.eachNameOnce = tree, .subdirectories = tree});
    set.SetWalkers(workers);
    set.Refresh();
    if (set.Count() != static_cast<std::int32_t>(files.size()))
        Fail("the set holds %d files", set.Count());
    ResultRows rows;
    test::GrepForms grep("/tmp/sifter32-search-fuzz-" + std::to_string(::getpid()) + "-",
                         set.Names(), {.groups = request.context.asked});
    test::FanOutRows fanOut(grep.Sinks({&rows}));
    const SearchSummary summary = RunSearch(request, set, fanOut, nullptr, system, workers);
    if (PendingError() != 0) Fail("code %d left pending", PendingError());
    // Context rows are the grep form's alone: without them, the rows are the documented ones.
    std::vector<bool> context(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) context[r] = rows.Kind(r) == RowKind::Context;
    rows.RemoveRows(context);
    std::string wantGrep[std::size(test::GrepForms::kForms)];
    bool written = false;

    std::vector<ResultEntry> want = {
        {kBannerRow, EntryIcon::Banner},
        {"   Search Path: /fuzz", EntryIcon::Blank},
        {"   Search String: \"" + request.text + "\"", EntryIcon::Blank}};
    if (request.rules.wholeWords || request.rules.regexp || request.options.onlyFilesWithMatches)
        want.push_back({OptionsRow(request), EntryIcon::Blank});
    const std::vector<std::string> forms = test::ModelForms(plainText, request.rules.caseSensitive);
    std::int64_t matches = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::vector<ResultEntry> heading = {
            {" ", EntryIcon::Blank},
            {" " + places[i] + "f" + std::to_string(i) + ".sc - " + std::to_string(i + 1) + " of " +
                 std::to_string(files.size()),
             EntryIcon::File},
            {" ", EntryIcon::Blank}};
        const std::int64_t matchesBefore = matches;
        AheadReader reader(files[i]);
        LineModel model(
            [&](char* buffer, std::int32_t bytes) { return reader.Read(buffer, bytes); });
        const std::vector<std::string> lines = model.Lines();
        std::vector<ResultEntry> fileRows;
        std::vector<std::int64_t> lineOfRow;
        std::vector<bool> procedures, matching;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const auto number = static_cast<std::int64_t>(n + 1);
            procedures.push_back(request.includeProcs && IsProcLine(lines[n]));
            matching.push_back(test::ModelFindFrom(forms, lines[n], 0, request.rules.caseSensitive,
                                                   request.rules.wholeWords)
                                   .has_value());
            if (procedures.back()) {
                fileRows.push_back({" " + lines[n], EntryIcon::Procedure});
                lineOfRow.push_back(number);
            }
            if (matching.back()) {
                fileRows.push_back(
                    {"[" + std::to_string(number) + "] " + lines[n], EntryIcon::Blank});
                lineOfRow.push_back(number);
                ++matches;
            }
        }
        const bool dropped = request.options.onlyFilesWithMatches && matches == matchesBefore;
        if (dropped) {
            fileRows.clear();
            lineOfRow.clear();
        } else {
            want.insert(want.end(), heading.begin(), heading.end());
        }
        want.insert(want.end(), fileRows.begin(), fileRows.end());
        const std::string notRead =
            model.pending() != 0
                ? test::GrepForms::NotReadLine(static_cast<std::int32_t>(i), model.pending())
                : std::string();
        const std::string& name = set.Name(static_cast<std::int32_t>(i));
        for (std::size_t g = 0; g < std::size(test::GrepForms::kForms); ++g)
            wantGrep[g] +=
                test::GrepForms::kForms[g] == cli::OutputForm::Grep && request.context.asked
                    ? (dropped ? std::string()
                               : test::ModelContextText(name, lines, procedures, matching,
                                                        request.context, written)) +
                          notRead
                    : test::ModelGrepText(test::GrepForms::kForms[g], name, fileRows, lineOfRow,
                                          notRead);
    }
    // Every directory's "zz" comes after the files below it: the deepest first, at the end.
    if (unlisted)
        for (std::size_t i = files.size(); i-- > 0;)
            if (i == 0 || places[i] != places[i - 1])
                want.push_back(
                    {UnreadableRow({places[i] + "zz", platform::kAccessDenied}), EntryIcon::Blank});
    if (rows.size() != want.size())
        Fail("%zu rows with %d workers, the model's %zu", rows.size(), workers, want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        if (!(rows.Entry(i) == want[i])) Fail("row %zu differs with %d workers", i, workers);
    for (std::size_t g = 0; g < std::size(test::GrepForms::kForms); ++g)
        if (grep.Take(g) != wantGrep[g])
            Fail("the grep form %zu with %d workers is not the one the rows give", g, workers);
    if (summary.matches != matches)
        Fail("%lld matches, the model's %lld", static_cast<long long>(summary.matches),
             static_cast<long long>(matches));
    CheckPascal(request, set, system, flags);
    return 0;
}
