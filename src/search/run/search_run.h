#pragma once
// One search: every file of a file set read as lines, giving the rows of the result list.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "search/files/directory_walk.h"
#include "search/lines/line_file.h"
#include "search/run/result_rows.h"
#include "search/run/search_request.h"

namespace sifter {

class FileSet;

// What a search shows while it runs. The window's progress display implements it.
class SearchProgress : public ReadPulse {
public:
    virtual void Started(std::int32_t fileCount, const std::string& text) = 0;
    // Before each file: its number from 1 on, and its name.
    virtual void FileStarted(std::int32_t number, const std::string& name) = 0;
    // Every 64 KiB or so while a file is read.
    void StillReading() override {}
    // After the last file, before the rows are shown.
    virtual void Finished() = 0;
};

struct SearchSummary {
    std::int64_t matches = 0;  // matching lines, not occurrences
    std::int32_t files = 0;
    // Lines a pattern was too complex to tell about, and the row that said so (empty if none).
    std::int64_t complexLines = 0;
    std::string complexRow;
};

extern const char* const kBannerRow;

// " No .sc files in /home/a." for a set without files. Masks that are not the documented ones
// are named instead of the extension, and subdirectories said to have been searched.
std::string EmptySetMessage(FileType type, const std::string& directory,
                            const SearchOptions& options = {});
// The heading row that names the options of `request` that differ from their defaults:
// "   Options: Subdirectories, Whole Words, Regular Expression, Masks *.pas;*.pp, Leave Out
// backup"; empty when none does.
std::string OptionsRow(const SearchRequest& request);
// The names OptionsRow lists, in its order; the window shows them in its status bar too.
std::vector<std::string> OptionNames(const SearchRequest& request);
// The row of a subdirectory that a search could not read: " rtl/x - directory not read: why".
std::string UnreadableRow(const UnreadableDirectory& directory);
// The row after the files of a search by a pattern too complex for some lines:
// " Pattern too complex for 3 lines; first at rtl/x.pas:12".
std::string ComplexRow(std::int64_t count, const std::string& name, std::int64_t line);
// " Sifter32 Found 5 instances of "begin" in 12 files"
std::string SummaryText(const std::string& text, const SearchSummary& summary);

// Threads that read files ahead of the one a search runs on: one for every core beyond the
// first, none on a machine of one core.
std::int32_t DefaultWorkers();

// Runs the search over a set that holds at least one file, adding its rows to `rows` in order,
// each file's as soon as the files before it are done; a subdirectory the set could not read
// gives its row at its place among them. `workers` threads read ahead of the calling one;
// `rows` and `progress` are only ever called on the calling thread. A file that cannot be read
// keeps its heading and is told to `rows` in its place, and the search goes on. No I/O error
// code is left pending on any thread; only running out of memory is thrown.
SearchSummary RunSearch(const SearchRequest& request, const FileSet& files, RowSink& rows,
                        SearchProgress* progress = nullptr,
                        platform::SystemApi& system = platform::System(),
                        std::int32_t workers = DefaultWorkers());

}  // namespace sifter
