#include "search/run/search_run.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include "search/files/file_set.h"
#include "search/run/matched_files.h"
#include "search/run/ordered_search.h"
#include "search/text/text_rules.h"

namespace sifter {

const char* const kBannerRow = "Sifter32 Search Results ";

namespace {

// The names of the options in the heading row, in the order of the Options menu.
const char* const kOptionsHead = "   Options: ";
const char* const kSubdirectoriesName = "Subdirectories";
const char* const kWholeWordsName = "Whole Words";
const char* const kRegexpName = "Regular Expression";
const char* const kMasksName = "Masks ";
const char* const kOnlyMatchedName = "Only Files with Matches";
const char* const kLeaveOutName = "Leave Out ";
const char* const kRoutinesName = "Routines";
const char* const kSearchInName = "Search In ";
const char* const kNotRead = " - directory not read: ";

}  // namespace

std::string EmptySetMessage(FileType type, const std::string& directory,
                            const SearchOptions& options) {
    const std::string what =
        options.MasksChanged(type) ? options.Masks(type) : std::string(FileExtension(type));
    return " No " + what + " files in " + directory +
           (options.subdirectories ? " or its subdirectories." : ".");
}

std::vector<std::string> OptionNames(const SearchRequest& request) {
    std::vector<std::string> named;
    if (request.options.subdirectories) named.emplace_back(kSubdirectoriesName);
    if (request.rules.wholeWords) named.emplace_back(kWholeWordsName);
    if (request.rules.regexp) named.emplace_back(kRegexpName);
    if (request.options.MasksChanged(request.fileType))
        named.push_back(kMasksName + request.options.Masks(request.fileType));
    if (request.options.onlyFilesWithMatches) named.emplace_back(kOnlyMatchedName);
    // Pascal's own options, read for Pascal sources only.
    if (request.fileType == FileType::Pascal) {
        if (request.options.routines) named.emplace_back(kRoutinesName);
        const SearchIn& in = request.options.searchIn;
        if (!in.All()) {
            std::string kinds;
            for (const auto& [on, kind] :
                 {std::pair{in.code, "Code"}, std::pair{in.comments, "Comments"},
                  std::pair{in.strings, "Strings"}})
                if (on) kinds.append(kinds.empty() ? "" : "/").append(kind);
            named.push_back(kSearchInName + kinds);
        }
    }
    // Only a walk of subdirectories leaves any out.
    if (request.options.subdirectories && !request.options.leaveOut.empty())
        named.push_back(kLeaveOutName + request.options.leaveOut);
    return named;
}

std::string OptionsRow(const SearchRequest& request) {
    const std::vector<std::string> named = OptionNames(request);
    if (named.empty()) return {};
    std::string row = kOptionsHead;
    for (std::size_t i = 0; i < named.size(); ++i) row.append(i > 0 ? ", " : "").append(named[i]);
    return row;
}

std::string UnreadableRow(const UnreadableDirectory& directory) {
    return " " + directory.path + kNotRead + UnreadableReason(directory.error);
}

std::string ComplexRow(std::int64_t count, const std::string& name, std::int64_t line) {
    return " Pattern too complex for " + DecimalText(count) + " lines; first at " + name + ":" +
           DecimalText(line);
}

std::string SummaryText(const std::string& text, const SearchSummary& summary) {
    return " Sifter32 Found " + DecimalText(summary.matches) + " instances of \"" + text +
           "\" in " + DecimalText(summary.files) + " files";
}

std::int32_t DefaultWorkers() {
    const auto cores = static_cast<std::int32_t>(std::thread::hardware_concurrency());
    return std::max(cores - 1, 0);
}

SearchSummary RunSearch(const SearchRequest& request, const FileSet& files, RowSink& sink,
                        SearchProgress* progress, platform::SystemApi& system,
                        std::int32_t workers) {
    std::optional<MatchedFilesOnly> matchedOnly;
    if (request.options.onlyFilesWithMatches) matchedOnly.emplace(sink);
    RowSink& rows = matchedOnly ? static_cast<RowSink&>(*matchedOnly) : sink;
    // The heading shows where the names are opened: the current directory, which the file set
    // made its own at its last read (a chooser that was cancelled may have moved it since).
    const platform::PathResult current = system.CurrentDirectory();
    const std::string& directory = current.error == 0 ? current.path : files.Directory();
    const auto add = [&rows](RowKind kind, std::string_view text, RowOrigin origin = {}) {
        rows.AddRow({kind, text, origin, {}});
    };
    add(RowKind::Banner, kBannerRow);
    add(RowKind::Heading, "   Search Path: " + directory);
    add(RowKind::Heading, "   Search String: \"" + request.text + "\"");
    if (const std::string options = OptionsRow(request); !options.empty())
        add(RowKind::Heading, options);

    SearchSummary summary;
    summary.files = files.Count();
    if (progress != nullptr) progress->Started(summary.files, request.text);

    const std::string ofCount = " of " + DecimalText(summary.files);
    // Each unreadable subdirectory stands before the first file that comes after it.
    const std::vector<UnreadableDirectory>& unreadable = files.Unreadable();
    std::size_t nextUnreadable = 0;
    const auto unreadableBefore = [&](std::int32_t place) {
        for (; nextUnreadable < unreadable.size() && unreadable[nextUnreadable].place <= place;
             ++nextUnreadable)
            add(RowKind::Message, UnreadableRow(unreadable[nextUnreadable]));
    };
    const auto beginFile = [&](std::int32_t i) {
        unreadableBefore(i);
        const std::string& name = files.Name(i);
        if (progress != nullptr) progress->FileStarted(i + 1, name);
        // Rows keep the full path: the current directory may have moved by the time a row is
        // followed back to its file.
        rows.AddFile(platform::PathInDirectory(directory, name));
        add(RowKind::Heading, " ");
        add(RowKind::File, " " + name + " - " + DecimalText(i + 1) + ofCount, {i, 1});
        add(RowKind::Heading, " ");
    };
    OrderedSearch search(request, files, system, workers);
    summary.matches = search.Run(rows, beginFile, progress);
    unreadableBefore(summary.files);
    summary.complexLines = search.complex().count();
    if (summary.complexLines > 0) {
        const RowOrigin first = search.complex().first();
        summary.complexRow = ComplexRow(summary.complexLines, files.Name(first.file), first.line);
        add(RowKind::Message, summary.complexRow);
    }
    if (progress != nullptr) progress->Finished();
    return summary;
}

}  // namespace sifter
