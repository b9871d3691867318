#include "app/cli_options.h"

#include <optional>

#include "search/files/mask_list.h"

namespace sifter::cli {

const char* const kUsage =
    "Usage: sifter32-cli [--scripts | --pascal] [--case-sensitive] [--procs] [--recursive]\n"
    "                    [--word-regexp] [--mask LIST] [--] DIRECTORY TEXT\n"
    "Lists every line of the *.pas (or, with --scripts, *.sc) files of DIRECTORY that holds\n"
    "TEXT, as Sifter32 does; the rows go to standard output with CR LF line ends, the summary\n"
    "to standard error. A TEXT in UTF-8 with characters beyond ASCII also finds the lines that\n"
    "hold it in Windows-1252, as older sources do.\n"
    "\n"
    "  --scripts         search Paradox scripts (*.sc)\n"
    "  --pascal          search Pascal sources (*.pas); the default\n"
    "  --case-sensitive  compare letter case too; ignored by default\n"
    "  --procs           also list the procedure lines passed (only with --scripts)\n"
    "  -r, --recursive   also search every subdirectory, depth first (hidden ones and links\n"
    "                    to directories left out)\n"
    "  -w, --word-regexp count TEXT only as a whole word: no letter, digit, _ or byte from\n"
    "                    128 up right before or after it\n"
    "  --mask LIST       the files to search, as masks separated by ; (\"*.pas;*.pp;*.inc\")\n"
    "                    instead of *.pas or *.sc\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 when a line matched, 1 when none did, 2 on an error (also after all\n"
    "rows when a subdirectory could not be read).\n";

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    const auto fail = [&](std::string message) {
        options.action = Options::Action::UsageError;
        options.error = std::move(message);
        return options;
    };
    bool scripts = false, pascal = false, procs = false, optionsEnded = false;
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
            options.request.caseSensitive = true;
        } else if (argument == "--procs") {
            procs = true;
        } else if (argument == "--recursive" || argument == "-r") {
            options.request.options.subdirectories = true;
        } else if (argument == "--word-regexp" || argument == "-w") {
            options.request.options.wholeWords = true;
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
    return options;
}

}  // namespace sifter::cli
