// sifter32-cli: the search of the window, without the window.

#include <unistd.h>

#include <clocale>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

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

// What the companion's first word names.
enum class Target { Directory, File, Neither };

// A regular file (or a link to one) is searched alone; a device, a FIFO or a socket, or a file
// written with separators after it ("unit1.pas/"), is neither; anything else is taken for a
// directory, which says what is wrong with it when it is entered.
Target TargetOf(const std::string& path) {
    using sifter::platform::EntryType;
    const sifter::platform::PathRules& rules = sifter::platform::Paths();
    const EntryType type = sifter::platform::System().ResolveType(path);
    if (type == EntryType::Regular) return Target::File;
    if (type == EntryType::Other) return Target::Neither;
    std::string bare = rules.WithoutTrailingSeparator(path);
    while (bare != path && !bare.empty()) {
        const EntryType named = sifter::platform::System().ResolveType(bare);
        if (named == EntryType::Regular || named == EntryType::Other) return Target::Neither;
        const std::string shorter = rules.WithoutTrailingSeparator(bare);
        if (shorter == bare) break;
        bare = shorter;
    }
    return Target::Directory;
}

// Where the messages about paths go: nowhere with --no-messages, whose status still tells.
class Messages final {
public:
    explicit Messages(const sifter::cli::Options& options) : m_quiet(options.noMessages) {}
    void AboutPath(const std::string& path, const std::string& text) const {
        if (!m_quiet) Complain(path, text);
    }
    // "sifter32-cli: PATH: directory not read: REASON"
    void NotRead(const std::string& path, std::int32_t error) const {
        AboutPath(path, std::string(kDirectoryNotRead) + sifter::UnreadableReason(error));
    }

private:
    const bool m_quiet;
};

// The PATH of each file in the grep forms and the messages: the DIRECTORY argument as given,
// joined with the file's path below it as grep joins them; a FILE as given.
std::string PathAsGiven(const sifter::cli::Options& options, const sifter::FileSet& files,
                        bool file, std::int32_t index) {
    if (file) return options.directory;
    return sifter::platform::Paths().JoinAsTyped(options.directory, files.Name(index));
}

// A line on standard error for each subdirectory the search could not read, named as the
// user named the directory searched; whether there was any.
bool ReportUnreadable(const sifter::cli::Options& options, const sifter::FileSet& files,
                      const Messages& messages) {
    for (const sifter::UnreadableDirectory& directory : files.Unreadable())
        messages.NotRead(sifter::platform::Paths().JoinAsTyped(options.directory, directory.path),
                         directory.error);
    return !files.Unreadable().empty();
}

int Search(const sifter::cli::Options& options) {
    using sifter::cli::OutputForm;
    const sifter::SearchRequest& request = options.request;
    const Messages messages(options);
    // A request that cannot run is refused before anything is read.
    if (const std::optional<std::string> problem = sifter::RequestProblem(request)) {
        std::cerr << kProgram << *problem << '\n';
        return kTrouble;
    }
    const Target target = TargetOf(options.directory);
    if (target == Target::Neither) {
        Complain(options.directory, kNotADirectory);
        return kTrouble;
    }
    const bool file = target == Target::File;
    sifter::FileSet files(sifter::platform::System(), std::string());
    try {
        sifter::cli::ReadSearchedFiles(options, files, file);
    } catch (const sifter::EDirectoryNotListed& error) {
        messages.NotRead(options.directory, error.code());
        return kTrouble;
    } catch (const sifter::EInOutError& error) {
        messages.AboutPath(options.directory, sifter::ErrorBoxText(error.what()));
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
        return ReportUnreadable(options, files, messages) ? kTrouble : kNoMatch;
    }
    bool notRead = false;
    sifter::cli::OutputStream out(STDOUT_FILENO, kTrouble);
    sifter::cli::StreamRows sink(
        out, options.form,
        [&](std::int32_t index) { return PathAsGiven(options, files, file, index); },
        [&](std::int32_t index, std::int32_t code) {
            notRead = true;
            messages.AboutPath(PathAsGiven(options, files, file, index),
                               sifter::ErrorBoxText(sifter::IoErrorMessage(code)));
        },
        options.style);
    sifter::SearchSummary summary;
    try {
        summary = sifter::RunSearch(request, files, sink);
    } catch (const sifter::cli::FirstMatch&) {
        // As grep -q: a line matched, and that is the answer, whatever went wrong before it.
        return kMatched;
    }
    if (!sink.Finish()) {
        std::cerr << kProgram << kCannotWrite << std::strerror(out.error()) << '\n';
        return kTrouble;
    }
    const bool unreadable = ReportUnreadable(options, files, messages);
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
            std::cerr << kProgram << options.error << '\n' << kProgram << kTryHelp << '\n';
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
