#include "app/cli_options.h"

#include <optional>
#include <string_view>

#include "app/cli_option_table.h"
#include "search/files/mask_list.h"

namespace sifter::cli {

namespace {

// What --help says before and after the options; each line is a paragraph, wrapped to fit.
const char* const kUsageIntro =
    "Usage: sifter32-cli [OPTION]... [--] DIRECTORY TEXT\n"
    "Lists every line of the *.pas (or, with --scripts, *.sc) files of DIRECTORY that holds "
    "TEXT, as Sifter32 does. A TEXT in UTF-8 with characters beyond ASCII also finds the lines "
    "that hold it in Windows-1252, as older sources do.\n";
const char* const kUsageEnd =
    "A file that cannot be read keeps its heading and is named on standard error as "
    "'sifter32-cli: PATH: REASON', as is a subdirectory that cannot be listed; the search goes "
    "on. A DIRECTORY that is not one is refused.\n"
    "Exit status: 0 when a line matched, 1 when none did, 2 on an error (a usage error, a "
    "DIRECTORY that cannot be searched, a file or subdirectory that could not be read, output "
    "that could not be written, a bad regular expression). A closed pipe ends the program as it "
    "ends grep, with no message.\n";

const char* const kUnknownOption = "' (put -- before a TEXT that starts with -)";

// The option `argument` names, with its value taken from it or from the next argument; none
// for a word that no option is.
struct Named {
    const CliOption* option = nullptr;
    std::optional<std::string_view> value;
};

Named Find(const std::vector<std::string>& arguments, std::size_t& i) {
    const std::string_view argument = arguments[i];
    for (const CliOption& option : OptionTable()) {
        const bool letter = option.letter != '\0' && argument.size() == 2 && argument[0] == '-' &&
                            argument[1] == option.letter;
        if (letter || argument == option.name) {
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
    if (asked.count && asked.filesWithMatches)
        return fail("--count and --files-with-matches exclude each other");
    if ((asked.count || asked.filesWithMatches) && asked.rowsAsked)
        return fail("--format=rows lists rows, not counts or file names");
    if (positional.size() != 2) return fail("expected DIRECTORY and TEXT");
    options.directory = positional[0];
    options.request.text = positional[1];
    options.request.fileType = asked.scripts ? FileType::Scripts : FileType::Pascal;
    if (asked.masks) {
        const MaskListCheck checked = CheckMaskList(*asked.masks);
        if (!checked.ok()) return fail("--mask: " + checked.error);
        options.request.options.SetMasks(options.request.fileType, checked.list);
    }
    options.request.includeProcs = asked.procs;
    options.form = asked.count              ? OutputForm::Count
                   : asked.filesWithMatches ? OutputForm::FilesWithMatches
                                            : asked.format;
    return options;
}

void ReadSearchedFiles(const Options& options, FileSet& files) {
    // The directory is read once: a set with a mask that finds nothing is moved there first.
    files.StoreMask(std::string());
    files.SetDirectory(options.directory);
    const FileListing listing = ListingFor(options.request.options, options.request.fileType);
    files.SetListing(listing.listing);
    files.SetMask(listing.mask);
}

}  // namespace sifter::cli
