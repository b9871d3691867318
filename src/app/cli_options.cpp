#include "app/cli_options.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <tuple>

#include "app/cli_option_table.h"
#include "platform/path_rules.h"
#include "search/files/mask_list.h"

namespace sifter::cli {

namespace {

// What --help says before and after the options; each line is a paragraph, wrapped to fit.
const char* const kUsageIntro =
    "Usage: sifter32-cli [OPTION]... [--] DIRECTORY|FILE TEXT\n"
    "Lists every line of the *.pas (or, with --scripts, *.sc) files of DIRECTORY that holds "
    "TEXT, as Sifter32 does; a FILE is searched alone, whatever its name. A TEXT in UTF-8 with "
    "characters beyond ASCII also finds the lines that hold it in Windows-1252, as older sources "
    "do. Short options combine as grep's do: -rwE, -A2, -e TEXT.\n";
const char* const kUsageEnd =
    "A file that cannot be read keeps its heading and is named on standard error as "
    "'sifter32-cli: PATH: REASON', as is a subdirectory that cannot be listed; the search goes "
    "on. A name that is neither a directory nor a file is refused. Every message on standard "
    "error begins with 'sifter32-cli: ', but for the summary of the rows (or its word for a "
    "directory without such files).\n"
    "Exit status: 0 when a line matched, 1 when none did, 2 on an error (a usage error, a "
    "DIRECTORY that cannot be searched, a file or subdirectory that could not be read, output "
    "that could not be written, a bad regular expression); with --quiet, 0 once a line matched "
    "whatever else happened. A closed pipe ends the program as it ends grep, with no "
    "message.\n";

const char* const kUnknownOption = "' (put -- before a TEXT that starts with -)";

// The option whose long name `argument` is, with its value taken from it or from the next
// argument; none for a word that no option is.
struct Named {
    const CliOption* option = nullptr;
    std::optional<std::string_view> value;
};

Named Find(const std::vector<std::string>& arguments, std::size_t& i) {
    const std::string_view argument = arguments[i];
    for (const CliOption& option : OptionTable()) {
        if (option.name.empty()) continue;
        if (argument == option.name) {
            if (option.value.empty()) return {&option, std::string_view()};
            if (i + 1 == arguments.size()) return {&option, std::nullopt};
            return {&option, arguments[++i]};
        }
        if (!option.value.empty() && argument.starts_with(option.name) &&
            argument.substr(option.name.size()).starts_with('='))
            return {&option, argument.substr(option.name.size() + 1)};
    }
    return {};
}

const CliOption* ByLetter(char letter) {
    for (const CliOption& option : OptionTable())
        if (option.letter != '\0' && option.letter == letter) return &option;
    return nullptr;
}

// "-rwE", "-A2", "-A 2", "-e TEXT": letters, each an option, the first that takes a value taking
// the rest of the word, or the next word. What is wrong, if anything.
std::optional<std::string> ShortOptions(const std::vector<std::string>& arguments, std::size_t& i,
                                        OptionsAsked& asked) {
    const std::string& argument = arguments[i];
    for (std::size_t at = 1; at < argument.size(); ++at) {
        const char letter = argument[at];
        const CliOption* option = ByLetter(letter);
        const std::string spelled{'-', letter};
        if (option == nullptr) {
            const std::string in = argument.size() > 2 ? "' in '" + argument : "";
            return "unknown option '" + spelled + in + kUnknownOption;
        }
        if (option->value.empty()) {
            option->apply(asked, {});
            continue;
        }
        if (at + 1 < argument.size()) {
            option->apply(asked, std::string_view(argument).substr(at + 1));
        } else if (i + 1 < arguments.size()) {
            option->apply(asked, arguments[++i]);
        } else {
            return spelled + " needs a " + std::string(option->value);
        }
        break;
    }
    return std::nullopt;
}

// For a word that begins as a family of values does ("--format" of "--format=grep"): that
// it is not one of them, and which they are.
std::optional<std::string> UnknownValue(std::string_view argument) {
    std::string family, values;
    for (const CliOption& option : OptionTable()) {
        const std::size_t equals = option.name.find('=');
        if (equals == std::string_view::npos) continue;
        if (!argument.starts_with(option.name.substr(0, equals))) continue;
        family = option.name.substr(2, equals - 2);
        values += (values.empty() ? "" : " or ") + std::string(option.name);
    }
    if (family.empty()) return std::nullopt;
    return "unknown " + family + " in '" + std::string(argument) + "' (" + values + ")";
}

// The lines of a context option: a number from 0 on, as large as it likes. What is wrong.
std::optional<std::string> ContextLength(const std::optional<std::string>& typed,
                                         std::string_view option, std::int32_t& lines) {
    if (!typed) return std::nullopt;
    if (typed->empty() || typed->find_first_not_of("0123456789") != std::string::npos)
        return std::string(option) + ": '" + *typed + "' is not a number of lines";
    const std::size_t digits = typed->find_first_not_of('0');
    // More lines than a file can hold are all of them.
    const std::string_view kMost = "2147483647";
    const std::string_view number =
        digits == std::string::npos ? "0" : std::string_view(*typed).substr(digits);
    lines = number.size() > kMost.size() || (number.size() == kMost.size() && number > kMost)
                ? INT32_MAX
                : static_cast<std::int32_t>(std::stol(std::string(number)));
    return std::nullopt;
}

// The form the options ask for, or what is wrong with them.
std::optional<std::string> FormProblem(const OptionsAsked& asked) {
    for (const auto& [form, option] : asked.forms) {
        const auto& [firstForm, firstOption] = asked.forms.front();
        if (form == firstForm) continue;
        const bool rows = form == OutputForm::Rows || firstForm == OutputForm::Rows;
        const auto listing = [](OutputForm f) {
            return f == OutputForm::Count || f == OutputForm::FilesWithMatches;
        };
        if (rows && (listing(form) || listing(firstForm)))
            return "--format=rows lists rows, not counts or file names";
        return std::string(firstOption) + " and " + std::string(option) + " exclude each other";
    }
    return std::nullopt;
}

// The kinds of text --in names: any non-empty list of code, comments and strings.
std::optional<std::string> SearchInProblem(const std::string& list, SearchIn& in) {
    in = {false, false, false};
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view kind = std::string_view(list).substr(start, comma - start);
        if (kind == "code")
            in.code = true;
        else if (kind == "comments")
            in.comments = true;
        else if (kind == "strings")
            in.strings = true;
        else
            return "--in: '" + list + "' is not a list of code, comments and strings";
        if (comma == list.size()) return std::nullopt;
        start = comma + 1;
    }
}

}  // namespace

const std::string& Usage() {
    static const std::string usage = [] {
        std::string text;
        AppendWrapped(text, kUsageIntro);
        text += '\n';
        text += OptionsHelp();
        text += '\n';
        AppendWrapped(text, kUsageEnd);
        return text;
    }();
    return usage;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
    OptionsAsked asked;
    Options& options = asked.options;
    const auto fail = [&](std::string message) {
        options.action = Options::Action::UsageError;
        options.error = std::move(message);
        return options;
    };
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (asked.optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
            continue;
        }
        if (argument[1] != '-') {
            if (std::optional<std::string> problem = ShortOptions(arguments, i, asked))
                return fail(std::move(*problem));
            continue;
        }
        const Named named = Find(arguments, i);
        if (named.option == nullptr) {
            if (std::optional<std::string> unknown = UnknownValue(argument))
                return fail(std::move(*unknown));
            return fail("unknown option '" + argument + kUnknownOption);
        }
        if (!named.value)
            return fail(std::string(named.option->name) + " needs a " +
                        std::string(named.option->value));
        named.option->apply(asked, *named.value);
        // Help and version answer at once, whatever follows.
        if (options.action != Options::Action::Search) return options;
    }
    if (asked.scripts && asked.pascal) return fail("--scripts and --pascal exclude each other");
    if (asked.procs && !asked.scripts)
        return fail("--procs needs --scripts (Pascal sources list no procedure lines)");
    if (std::optional<std::string> problem = FormProblem(asked)) return fail(std::move(*problem));
    if (asked.fixed && options.request.rules.regexp)
        return fail("--fixed-strings and --regexp exclude each other");
    if (asked.textsGiven > 1) return fail("-e is given twice: one TEXT only");
    if (asked.text) {
        if (positional.size() != 1) return fail("expected DIRECTORY after -e TEXT");
        positional.push_back(*asked.text);
    }
    if (positional.size() != 2) return fail("expected DIRECTORY and TEXT");
    options.directory = positional[0];
    options.request.text = positional[1];
    options.request.fileType = asked.scripts ? FileType::Scripts : FileType::Pascal;
    if (asked.masks) {
        const MaskListCheck checked = CheckMaskList(*asked.masks);
        if (!checked.ok()) return fail("--mask: " + checked.error);
        options.request.options.SetMasks(options.request.fileType, checked.list);
    }
    if (!asked.leaveOut.empty()) {
        std::string list;
        for (const std::string& glob : asked.leaveOut) (list += list.empty() ? "" : ";") += glob;
        const MaskListCheck checked = CheckLeaveOutList(list);
        if (!checked.ok()) return fail("--exclude-dir: " + checked.error);
        options.request.options.leaveOut = checked.list;
    }
    options.request.includeProcs = asked.procs;
    for (const auto& [asking, option] :
         {std::pair{asked.routines, "--routines"}, std::pair{asked.searchIn.has_value(), "--in"}}) {
        if (!asking) continue;
        if (asked.scripts) return fail(std::string(option) + " reads Pascal sources, not scripts");
        if (!asked.contextOption.empty())
            return fail(std::string(option) + " and " + std::string(asked.contextOption) +
                        " exclude each other");
    }
    options.request.options.routines = asked.routines;
    if (asked.searchIn) {
        if (std::optional<std::string> problem =
                SearchInProblem(*asked.searchIn, options.request.options.searchIn))
            return fail(std::move(*problem));
    }
    options.form = asked.forms.empty() ? OutputForm::Rows : asked.forms.front().first;
    if (!asked.contextOption.empty()) {
        // The rows are the saved list, which has no place for lines that do not match.
        if (options.form != OutputForm::Grep)
            return fail(std::string(asked.contextOption) + " needs --format=grep");
        ContextLines& context = options.request.context;
        context.asked = true;
        std::int32_t around = 0;
        for (const auto& [typed, option, lines] :
             {std::tuple{&asked.context, "--context", &around},
              std::tuple{&asked.after, "--after-context", &context.after},
              std::tuple{&asked.before, "--before-context", &context.before}})
            if (std::optional<std::string> problem = ContextLength(*typed, option, *lines))
                return fail(std::move(*problem));
        if (!asked.after) context.after = around;
        if (!asked.before) context.before = around;
    }
    if (!options.style.names && options.form == OutputForm::Rows)
        return fail("--no-filename needs --format=grep or --count");
    options.style.groups = options.request.context.asked;
    return options;
}

void ReadSearchedFiles(const Options& options, FileSet& files, bool file) {
    // The directory is read once: a set with a mask that finds nothing is moved there first.
    files.StoreMask(std::string());
    files.SetDirectory(options.directory);
    if (file) {
        // The set moved to the file's directory; the file is the part after the last separator.
        const platform::PathRules& rules = platform::Paths();
        std::size_t name = options.directory.size();
        while (name > rules.PrefixLength(options.directory) &&
               !rules.IsSeparator(options.directory[name - 1]))
            --name;
        files.HoldOnly(options.directory.substr(name));
        return;
    }
    const FileListing listing = ListingFor(options.request.options, options.request.fileType);
    files.SetListing(listing.listing);
    // The tree is listed on every core, as the files are read.
    files.SetWalkers(DefaultWorkers());
    files.SetMask(listing.mask);
}

}  // namespace sifter::cli
