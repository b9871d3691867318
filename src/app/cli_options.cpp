#include "app/cli_options.h"

#include <optional>

#include "search/files/mask_list.h"

namespace sifter::cli {

const char* const kUsage =
    "Usage: sifter32-cli [OPTION]... [--] DIRECTORY TEXT\n"
    "Lists every line of the *.pas (or, with --scripts, *.sc) files of DIRECTORY that holds\n"
    "TEXT, as Sifter32 does. A TEXT in UTF-8 with characters beyond ASCII also finds the lines\n"
    "that hold it in Windows-1252, as older sources do.\n"
    "\n"
    "  --scripts         search Paradox scripts (*.sc)\n"
    "  --pascal          search Pascal sources (*.pas); the default\n"
    "  --case-sensitive  compare letter case too; ignored by default\n"
    "  --procs           also list the procedure lines passed (only with --scripts)\n"
    "  --format=rows     the rows as Sifter32 saves them, each followed by CR LF, and the\n"
    "                    summary on standard error; the default\n"
    "  --format=grep     PATH:LINE:TEXT for each matching line, PATH:LINE-TEXT for each\n"
    "                    procedure line, each followed by LF; PATH is relative to DIRECTORY\n"
    "  --count           PATH:N for each file with N matching lines\n"
    "  -l, --files-with-matches\n"
    "                    PATH for each file with a matching line\n"
    "  -r, --recursive   also search every subdirectory, depth first (hidden ones and links\n"
    "                    to directories left out)\n"
    "  -w, --word-regexp count TEXT only as a whole word: no letter, digit, _ or byte from\n"
    "                    128 up right before or after it\n"
    "  -E, --regexp      TEXT is a regular expression (PCRE2), matched against each line\n"
    "                    without its line end; a bad one is refused with PCRE2's message\n"
    "  --mask LIST       the files to search, as masks separated by ; (\"*.pas;*.pp;*.inc\")\n"
    "                    instead of *.pas or *.sc\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "A file that cannot be read keeps its heading and is named on standard error as\n"
    "'sifter32-cli: PATH: REASON', as is a subdirectory that cannot be listed; the search\n"
    "goes on. A DIRECTORY that is not one is refused.\n"
    "Exit status: 0 when a line matched, 1 when none did, 2 on an error (a usage error, a\n"
    "DIRECTORY that cannot be searched, a file or subdirectory that could not be read, output\n"
    "that could not be written, a bad regular expression). A closed pipe ends the program as it "
    "ends grep, with no\n"
    "message.\n";

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    const auto fail = [&](std::string message) {
        options.action = Options::Action::UsageError;
        options.error = std::move(message);
        return options;
    };
    bool scripts = false, pascal = false, procs = false, optionsEnded = false;
    bool count = false, filesWithMatches = false, rowsAsked = false;
    OutputForm format = OutputForm::Rows;
    std::optional<std::string> masks;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            options.action = Options::Action::Help;
            return options;
        } else if (argument == "--version") {
            options.action = Options::Action::Version;
            return options;
        } else if (argument == "--scripts") {
            scripts = true;
        } else if (argument == "--pascal") {
            pascal = true;
        } else if (argument == "--case-sensitive") {
            options.request.rules.caseSensitive = true;
        } else if (argument == "--procs") {
            procs = true;
        } else if (argument == "--format=rows" || argument == "--format=grep") {
            format = argument.ends_with("grep") ? OutputForm::Grep : OutputForm::Rows;
            rowsAsked = format == OutputForm::Rows;
        } else if (argument.starts_with("--format")) {
            return fail("unknown format in '" + argument + "' (--format=rows or --format=grep)");
        } else if (argument == "--count") {
            count = true;
        } else if (argument == "--files-with-matches" || argument == "-l") {
            filesWithMatches = true;
        } else if (argument == "--recursive" || argument == "-r") {
            options.request.options.subdirectories = true;
        } else if (argument == "--word-regexp" || argument == "-w") {
            options.request.rules.wholeWords = true;
        } else if (argument == "--regexp" || argument == "-E") {
            options.request.rules.regexp = true;
        } else if (argument == "--mask") {
            if (i + 1 == arguments.size()) return fail("--mask needs a LIST");
            masks = arguments[++i];
        } else if (argument.starts_with("--mask=")) {
            masks = argument.substr(7);
        } else {
            return fail("unknown option '" + argument +
                        "' (put -- before a TEXT that starts with -)");
        }
    }
    if (scripts && pascal) return fail("--scripts and --pascal exclude each other");
    if (procs && !scripts)
        return fail("--procs needs --scripts (Pascal sources list no procedure lines)");
    if (count && filesWithMatches)
        return fail("--count and --files-with-matches exclude each other");
    if ((count || filesWithMatches) && rowsAsked)
        return fail("--format=rows lists rows, not counts or file names");
    if (positional.size() != 2) return fail("expected DIRECTORY and TEXT");
    options.directory = positional[0];
    options.request.text = positional[1];
    options.request.fileType = scripts ? FileType::Scripts : FileType::Pascal;
    if (masks) {
        const MaskListCheck checked = CheckMaskList(*masks);
        if (!checked.ok()) return fail("--mask: " + checked.error);
        options.request.options.SetMasks(options.request.fileType, checked.list);
    }
    options.request.includeProcs = procs;
    options.form = count              ? OutputForm::Count
                   : filesWithMatches ? OutputForm::FilesWithMatches
                                      : format;
    return options;
}

}  // namespace sifter::cli
