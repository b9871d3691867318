// sifter32-cli: the search of the window, without the window.

#include <unistd.h>

#include <clocale>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <string_view>

#include "app/cli_options.h"
#include "app/output_stream.h"
#include "app/stream_rows.h"
#include "platform/path_rules.h"
#include "platform/platform.h"
#include "search/command_line.h"
#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/run/search_run.h"

namespace {

using sifter::cli::kMatched;
using sifter::cli::kNoMatch;
using sifter::cli::kTrouble;

const char* const kProgram = "sifter32-cli: ";
const char* const kNotADirectory = "not a directory";
const char* const kTryHelp = "Try 'sifter32-cli --help'.";
const char* const kCannotWrite = "cannot write the results: ";
const char* const kDirectoryNotRead = "directory not read: ";

// "sifter32-cli: PATH: TEXT", the form of every message about a path.
void Complain(const std::string& path, const std::string& text) {
    std::cerr << kProgram << path << ": " << text << '\n';
}

// Whether `path` names a file or a device, with separators after it ("unit1.pas/") or without.
bool NamesAFile(std::string path) {
    const sifter::platform::PathRules& rules = sifter::platform::Paths();
    std::string bare = rules.WithoutTrailingSeparator(path);
    while (bare != path) {
        path = bare;
        bare = rules.WithoutTrailingSeparator(path);
    }
    const sifter::platform::EntryType type = sifter::platform::System().ResolveType(path);
    return type == sifter::platform::EntryType::Regular ||
           type == sifter::platform::EntryType::Other;
}

// "sifter32-cli: PATH: directory not read: REASON"
void ComplainNotRead(const std::string& path, std::int32_t error) {
    Complain(path, std::string(kDirectoryNotRead) + sifter::UnreadableReason(error));
}

// A line on standard error for each subdirectory the search could not read, named as the
// user named the directory searched; whether there was any.
bool ReportUnreadable(const sifter::cli::Options& options, const sifter::FileSet& files) {
    for (const sifter::UnreadableDirectory& directory : files.Unreadable())
        ComplainNotRead(sifter::platform::PathInDirectory(options.directory, directory.path),
                        directory.error);
    return !files.Unreadable().empty();
}

int Search(const sifter::cli::Options& options) {
    using sifter::cli::OutputForm;
    const sifter::SearchRequest& request = options.request;
    // A request that cannot run is refused before anything is read.
    if (const std::optional<std::string> problem = sifter::RequestProblem(request)) {
        std::cerr << kProgram << *problem << '\n';
        return kTrouble;
    }
    // The set would take a file for the directory it is in; the companion searches only what
    // it was told to.
    if (NamesAFile(options.directory)) {
        Complain(options.directory, kNotADirectory);
        return kTrouble;
    }
    sifter::FileSet files(sifter::platform::System(), std::string());
    try {
        sifter::cli::ReadSearchedFiles(options, files);
    } catch (const sifter::EDirectoryNotListed& error) {
        ComplainNotRead(options.directory, error.code());
        return kTrouble;
    } catch (const sifter::EInOutError& error) {
        Complain(options.directory, sifter::ErrorBoxText(error.what()));
        return kTrouble;
    }
    // Only the documented form has a summary and a word for a directory without files; the
    // grep forms say nothing but what went wrong, as grep does.
    const bool rows = options.form == OutputForm::Rows;
    if (files.Count() == 0) {
        if (rows)
            std::cerr << sifter::EmptySetMessage(request.fileType, files.Directory(),
                                                 request.options)
                      << '\n';
        return ReportUnreadable(options, files) ? kTrouble : kNoMatch;
    }
    bool notRead = false;
    sifter::cli::OutputStream out(STDOUT_FILENO, kTrouble);
    sifter::cli::StreamRows sink(
        out, options.form, files.Names(), [&](std::int32_t file, std::int32_t code) {
            notRead = true;
            Complain(sifter::platform::PathInDirectory(options.directory, files.Name(file)),
                     sifter::ErrorBoxText(sifter::IoErrorMessage(code)));
        });
    const sifter::SearchSummary summary = sifter::RunSearch(request, files, sink);
    if (!sink.Finish()) {
        std::cerr << kProgram << kCannotWrite << std::strerror(out.error()) << '\n';
        return kTrouble;
    }
    const bool unreadable = ReportUnreadable(options, files);
    // Lines the pattern could not tell about are said in every form; the row is in the rows.
    if (summary.complexLines > 0)
        std::cerr << kProgram << std::string_view(summary.complexRow).substr(1) << '\n';
    if (rows) std::cerr << sifter::SummaryText(request.text, summary) << '\n';
    // As grep: the rows are all out, and still the answer is not to be trusted.
    if (notRead || unreadable) return kTrouble;
    return summary.matches > 0 ? kMatched : kNoMatch;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe must come back as a failed write, which the output turns into the end
    // grep meets; the rows go out as bytes, CR LF and all, on every system.
    sifter::platform::PrepareProcess();
    // File names sort in the user's collation, as in the window.
    std::setlocale(LC_COLLATE, "");

    const sifter::cli::Options options =
        sifter::cli::ParseOptions(sifter::ProgramParameters(argc, argv));
    switch (options.action) {
        case sifter::cli::Options::Action::Help:
            std::cout << sifter::cli::Usage();
            return std::cout.flush() ? kMatched : kTrouble;
        case sifter::cli::Options::Action::Version:
            std::cout << "sifter32-cli " SIFTER32_VERSION "\n";
            return std::cout.flush() ? kMatched : kTrouble;
        case sifter::cli::Options::Action::UsageError:
            std::cerr << kProgram << options.error << '\n' << kTryHelp << '\n';
            return kTrouble;
        case sifter::cli::Options::Action::Search:
            break;
    }
    try {
        return Search(options);
    } catch (const sifter::Exception& error) {
        std::cerr << kProgram << sifter::ErrorBoxText(error.what()) << '\n';
        return kTrouble;
    } catch (const std::bad_alloc&) {
        // A line or a directory larger than the memory at hand ends the run like any other
        // trouble, not with an abort.
        std::cerr << kProgram << sifter::ErrorBoxText("Out of memory") << '\n';
        return kTrouble;
    }
}
