#include "app/cli_option_table.h"

namespace sifter::cli {

namespace {

using Asked = OptionsAsked;

constexpr CliOption kOptions[] = {
    {"--scripts", 0, "", "search Paradox scripts (*.sc)",
     [](Asked& asked, std::string_view) { asked.scripts = true; }},
    {"--pascal", 0, "", "search Pascal sources (*.pas); the default",
     [](Asked& asked, std::string_view) { asked.pascal = true; }},
    {"--case-sensitive", 0, "", "compare letter case too; ignored by default",
     [](Asked& asked, std::string_view) { asked.options.request.rules.caseSensitive = true; }},
    {"--procs", 0, "", "also list the procedure lines passed (only with --scripts)",
     [](Asked& asked, std::string_view) { asked.procs = true; }},
    {"--format=rows", 0, "",
     "the rows as Sifter32 saves them, each followed by CR LF, and the summary on standard "
     "error; the default",
     [](Asked& asked, std::string_view) { asked.AskForm(OutputForm::Rows, "--format=rows"); }},
    {"--format=grep", 0, "",
     "PATH:LINE:TEXT for each matching line, PATH:LINE-TEXT for each procedure line, each "
     "followed by LF; PATH is DIRECTORY as given joined with the file's path below it (or "
     "FILE), and an LF in TEXT is written as a blank",
     [](Asked& asked, std::string_view) { asked.AskForm(OutputForm::Grep, "--format=grep"); }},
    {"--count", 'c', "", "PATH:N for each file with N matching lines",
     [](Asked& asked, std::string_view) { asked.AskForm(OutputForm::Count, "--count"); }},
    {"--files-with-matches", 'l', "", "PATH for each file with a matching line",
     [](Asked& asked, std::string_view) {
         asked.AskForm(OutputForm::FilesWithMatches, "--files-with-matches");
     }},
    {"--recursive", 'r', "",
     "also search every subdirectory, depth first (hidden ones and links to directories left "
     "out)",
     [](Asked& asked, std::string_view) { asked.options.request.options.subdirectories = true; }},
    {"--word-regexp", 'w', "",
     "count TEXT only as a whole word: no letter, digit, _ or byte from 128 up right before or "
     "after it",
     [](Asked& asked, std::string_view) { asked.options.request.rules.wholeWords = true; }},
    {"--regexp", 'E', "",
     "TEXT is a regular expression (PCRE2), matched against each line without its line end; a "
     "bad one is refused with PCRE2's message",
     [](Asked& asked, std::string_view) { asked.options.request.rules.regexp = true; }},
    {"--mask", 0, "LIST",
     "the files to search, as masks separated by ; (\"*.pas;*.pp;*.inc\") instead of *.pas or "
     "*.sc",
     [](Asked& asked, std::string_view list) { asked.masks = std::string(list); }},
    {"--hide-files-without-match", 0, "",
     "leave out the rows of each file that gives no matching line, its heading included; the "
     "files are still searched and counted",
     [](Asked& asked, std::string_view) {
         asked.options.request.options.onlyFilesWithMatches = true;
     }},
    {"--routines", 'p', "",
     "before the first matching line inside a Pascal routine (procedure, function, "
     "constructor, destructor, operator, with a body), its header line as a procedure row, "
     "once per file, an outer routine's before a nested one's; inside a class, record, object "
     "or interface type declaration, the type's first line instead (not with --scripts or "
     "context lines)",
     [](Asked& asked, std::string_view) { asked.routines = true; }},
    {"--in", 0, "LIST",
     "count an occurrence only when its first byte lies in one of the kinds of Pascal text "
     "LIST names, separated by commas: code (compiler directives included), comments, strings "
     "(not with --scripts or context lines)",
     [](Asked& asked, std::string_view list) { asked.searchIn = std::string(list); }},
    {"--", 0, "", "ends the options (put it before a TEXT that starts with -)",
     [](Asked& asked, std::string_view) { asked.optionsEnded = true; }},
    {"--help", 0, "", "show this help",
     [](Asked& asked, std::string_view) { asked.options.action = Options::Action::Help; }},
    {"--version", 0, "", "show the version",
     [](Asked& asked, std::string_view) { asked.options.action = Options::Action::Version; }},
    // grep's own options, with grep's meaning.
    {"--ignore-case", 'i', "", "ignore letter case (a to z only); the default",
     [](Asked& asked, std::string_view) { asked.options.request.rules.caseSensitive = false; }},
    {"--fixed-strings", 'F', "", "TEXT is plain text, no pattern; the default",
     [](Asked& asked, std::string_view) { asked.fixed = true; }},
    {"--line-number", 'n', "", "each line with its number, as it always is",
     [](Asked&, std::string_view) {}},
    {"", 'e', "TEXT",
     "the TEXT to look for, also one that starts with -; DIRECTORY is then the only other word",
     [](Asked& asked, std::string_view text) {
         asked.text = std::string(text);
         ++asked.textsGiven;
     }},
    {"--quiet", 'q', "",
     "print nothing: the exit status says whether a line matched; the first match ends the "
     "search",
     [](Asked& asked, std::string_view) { asked.AskForm(OutputForm::Quiet, "--quiet"); }},
    {"--no-messages", 's', "",
     "no message about a file or directory that cannot be read; the exit status still says 2",
     [](Asked& asked, std::string_view) { asked.options.noMessages = true; }},
    {"--no-filename", 'h', "", "no PATH before the lines of --format=grep or the counts",
     [](Asked& asked, std::string_view) { asked.options.style.names = false; }},
    {"--after-context", 'A', "NUM",
     "with --format=grep, NUM lines after each matching line too, as PATH-LINE-TEXT, and -- "
     "between groups that do not touch",
     [](Asked& asked, std::string_view value) {
         asked.AskContext(asked.after, value, "--after-context");
     }},
    {"--before-context", 'B', "NUM", "with --format=grep, NUM lines before each matching line",
     [](Asked& asked, std::string_view value) {
         asked.AskContext(asked.before, value, "--before-context");
     }},
    {"--context", 'C', "NUM",
     "with --format=grep, NUM lines before and after each matching line (-A and -B win)",
     [](Asked& asked, std::string_view value) {
         asked.AskContext(asked.context, value, "--context");
     }},
    {"--exclude-dir", 0, "GLOB",
     "with -r, leave out every subdirectory whose name GLOB matches (masks as --mask has them, "
     "separated by ;); may be given again",
     [](Asked& asked, std::string_view glob) { asked.leaveOut.emplace_back(glob); }},
};

}  // namespace

std::span<const CliOption> OptionTable() {
    return kOptions;
}

std::string OptionHead(const CliOption& option) {
    std::string head = "  ";
    if (option.letter != '\0') head += {'-', option.letter};
    if (option.letter != '\0' && !option.name.empty()) head += ", ";
    head += option.name;
    if (!option.value.empty()) (head += ' ') += option.value;
    return head;
}

void AppendWrapped(std::string& out, std::string_view text, std::size_t column, std::size_t used) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view paragraph = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        bool lineStarted = false;
        while (!paragraph.empty()) {
            const std::size_t blank = paragraph.find(' ');
            const std::string_view word = paragraph.substr(0, blank);
            paragraph =
                blank == std::string_view::npos ? std::string_view() : paragraph.substr(blank + 1);
            if (word.empty()) continue;
            if (lineStarted && used + 1 + word.size() > kHelpWidth) {
                (out += '\n').append(column, ' ');
                used = column;
                lineStarted = false;
            }
            if (lineStarted) {
                out += ' ';
                ++used;
            }
            out += word;
            used += word.size();
            lineStarted = true;
        }
        out += '\n';
        if (!text.empty()) {
            out.append(column, ' ');
            used = column;
        }
    }
}

std::string OptionsHelp() {
    std::string help;
    for (const CliOption& option : kOptions) {
        const std::string head = OptionHead(option);
        help += head;
        // A head too wide for two blanks before the words has the line to itself.
        if (head.size() + 2 > kHelpColumn) {
            (help += '\n').append(kHelpColumn, ' ');
        } else {
            help.append(kHelpColumn - head.size(), ' ');
        }
        AppendWrapped(help, option.help, kHelpColumn, kHelpColumn);
    }
    return help;
}

}  // namespace sifter::cli
