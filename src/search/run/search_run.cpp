#include "search/run/search_run.h"

#include <algorithm>
#include <thread>

#include "search/files/file_set.h"
#include "search/run/ordered_search.h"
#include "search/text/text_rules.h"

namespace sifter {

const char* const kBannerRow = "Sifter32 Search Results ";

std::string EmptySetMessage(FileType type, const std::string& directory) {
    return " No " + std::string(FileExtension(type)) + " files in " + directory + ".";
}

std::string SummaryText(const std::string& text, const SearchSummary& summary) {
    return " Sifter32 Found " + DecimalText(summary.matches) + " instances of \"" + text +
           "\" in " + DecimalText(summary.files) + " files";
}

std::int32_t DefaultWorkers() {
    const auto cores = static_cast<std::int32_t>(std::thread::hardware_concurrency());
    return std::max(cores - 1, 0);
}

SearchSummary RunSearch(const SearchRequest& request, const FileSet& files, RowSink& rows,
                        SearchProgress* progress, platform::SystemApi& system,
                        std::int32_t workers) {
    // The heading shows where the names are opened: the current directory, which the file set
    // made its own at its last read (a chooser that was cancelled may have moved it since).
    const platform::PathResult current = system.CurrentDirectory();
    const std::string& directory = current.error == 0 ? current.path : files.Directory();
    rows.AddRow(kBannerRow, EntryIcon::Banner, {});
    rows.AddRow("   Search Path: " + directory, EntryIcon::Blank, {});
    rows.AddRow("   Search String: \"" + request.text + "\"", EntryIcon::Blank, {});

    SearchSummary summary;
    summary.files = files.Count();
    if (progress != nullptr) progress->Started(summary.files, request.text);

    const std::string ofCount = " of " + DecimalText(summary.files);
    const auto beginFile = [&](std::int32_t i) {
        const std::string& name = files.Name(i);
        if (progress != nullptr) progress->FileStarted(i + 1, name);
        // Rows keep the full path: the current directory may have moved by the time a row is
        // followed back to its file.
        rows.AddFile(platform::PathInDirectory(directory, name));
        rows.AddRow(" ", EntryIcon::Blank, {});
        rows.AddRow(" " + name + " - " + DecimalText(i + 1) + ofCount, EntryIcon::File, {i, 1});
        rows.AddRow(" ", EntryIcon::Blank, {});
    };
    OrderedSearch search(request, files, system, workers);
    summary.matches = search.Run(rows, beginFile, progress);
    if (progress != nullptr) progress->Finished();
    return summary;
}

}  // namespace sifter
