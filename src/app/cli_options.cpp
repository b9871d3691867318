#include "app/cli_options.h"

namespace sifter::cli {

const char* const kUsage =
    "Usage: sifter32-cli [--scripts | --pascal] [--case-sensitive] [--procs] [--] DIRECTORY TEXT\n"
    "Lists every line of the *.pas (or, with --scripts, *.sc) files of DIRECTORY that holds\n"
    "TEXT, as Sifter32 does; the rows go to standard output with CR LF line ends, the summary\n"
    "to standard error. A TEXT in UTF-8 with characters beyond ASCII also finds the lines that\n"
    "hold it in Windows-1252, as older sources do.\n"
    "\n"
    "  --scripts         search Paradox scripts (*.sc)\n"
    "  --pascal          search Pascal sources (*.pas); the default\n"
    "  --case-sensitive  compare letter case too; ignored by default\n"
    "  --procs           also list the procedure lines passed (only with --scripts)\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 when a line matched, 1 when none did, 2 on an error.\n";

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    const auto fail = [&](std::string message) {
        options.action = Options::Action::UsageError;
        options.error = std::move(message);
        return options;
    };
    bool scripts = false, pascal = false, procs = false, optionsEnded = false;
    std::vector<std::string> positional;
    for (const std::string& argument : arguments) {
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
    options.request.includeProcs = procs;
    return options;
}

}  // namespace sifter::cli
