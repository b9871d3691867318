// sifter32-cli: the search of the window, without the window.

#include <unistd.h>

#include <clocale>
#include <cstring>
#include <iostream>
#include <new>

#include "app/cli_options.h"
#include "app/stream_rows.h"
#include "platform/platform.h"
#include "search/command_line.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/run/search_run.h"

namespace {

constexpr int kMatched = 0;
constexpr int kNoMatch = 1;
constexpr int kTrouble = 2;

// A line on standard error for each subdirectory the search could not read, named as the
// user named the directory searched; whether there was any.
bool ReportUnreadable(const sifter::cli::Options& options, const sifter::FileSet& files) {
    for (const sifter::UnreadableDirectory& directory : files.Unreadable())
        std::cerr << "sifter32-cli: "
                  << sifter::platform::PathInDirectory(options.directory, directory.path)
                  << ": directory not read: " << sifter::UnreadableReason(directory.error) << '\n';
    return !files.Unreadable().empty();
}

int Search(const sifter::cli::Options& options) {
    const sifter::SearchRequest& request = options.request;
    // The directory is read once: a set with a mask that finds nothing is moved there first.
    sifter::FileSet files(sifter::platform::System(), std::string());
    files.SetDirectory(options.directory);
    // The options read the set the window's way; at their defaults, the documented way.
    if (request.options.AnyChanged(request.fileType))
        files.SetListing({true, request.options.subdirectories});
    files.SetMask(request.options.Masks(request.fileType));
    if (files.Count() == 0) {
        std::cerr << sifter::EmptySetMessage(request.fileType, files.Directory(), request.options)
                  << '\n';
        return ReportUnreadable(options, files) ? kTrouble : kNoMatch;
    }
    sifter::cli::StreamRows out(STDOUT_FILENO);
    const sifter::SearchSummary summary = sifter::RunSearch(request, files, out);
    if (!out.Flush()) {
        std::cerr << "sifter32-cli: cannot write the results: " << std::strerror(out.error())
                  << '\n';
        return kTrouble;
    }
    const bool unreadable = ReportUnreadable(options, files);
    std::cerr << sifter::SummaryText(request.text, summary) << '\n';
    if (unreadable) return kTrouble;
    return summary.matches > 0 ? kMatched : kNoMatch;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe must come back as a failed write, not end the process unannounced; the
    // rows go out as bytes, CR LF and all, on every system.
    sifter::platform::PrepareProcess();
    // File names sort in the user's collation, as in the window.
    std::setlocale(LC_COLLATE, "");

    const sifter::cli::Options options =
        sifter::cli::ParseOptions(sifter::ProgramParameters(argc, argv));
    switch (options.action) {
        case sifter::cli::Options::Action::Help:
            std::cout << sifter::cli::kUsage;
            return std::cout.flush() ? kMatched : kTrouble;
        case sifter::cli::Options::Action::Version:
            std::cout << "sifter32-cli " SIFTER32_VERSION "\n";
            return std::cout.flush() ? kMatched : kTrouble;
        case sifter::cli::Options::Action::UsageError:
            std::cerr << "sifter32-cli: " << options.error << "\n" << sifter::cli::kUsage;
            return kTrouble;
        case sifter::cli::Options::Action::Search:
            break;
    }
    try {
        return Search(options);
    } catch (const sifter::Exception& error) {
        std::cerr << sifter::ErrorBoxText(error.what()) << '\n';
        return kTrouble;
    } catch (const std::bad_alloc&) {
        // A line or a directory larger than the memory at hand ends the run like any other
        // trouble, not with an abort.
        std::cerr << sifter::ErrorBoxText("Out of memory") << '\n';
        return kTrouble;
    }
}
