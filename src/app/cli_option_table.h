#pragma once
// The options of sifter32-cli, written once: the parser reads the command line by this table,
// --help lists it, and a test holds the manual page to it.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cli_options.h"

namespace sifter::cli {

// What the options read so far asked. The rules between options (--procs only with --scripts,
// one output form, context lines only in the grep form) are checked once the whole command line
// is read.
struct OptionsAsked {
    Options options;
    bool optionsEnded = false;
    bool scripts = false;
    bool pascal = false;
    bool procs = false;
    // The output forms asked for, each with the option that asked: more than one is an error.
    std::vector<std::pair<OutputForm, std::string_view>> forms;
    std::optional<std::string> masks;
    bool fixed = false;
    std::optional<std::string> text;  // -e
    int textsGiven = 0;
    std::vector<std::string> leaveOut;
    bool routines = false;
    std::optional<std::string> searchIn;  // --in as typed, checked once all are read
    // Context lines as typed, checked once all are read: -A and -B win over -C, as in grep.
    std::optional<std::string> after, before, context;
    std::string_view contextOption;  // the first option that asked for context lines

    void AskForm(OutputForm form, std::string_view option) { forms.emplace_back(form, option); }
    void AskContext(std::optional<std::string>& lines, std::string_view value,
                    std::string_view option) {
        lines = std::string(value);
        if (contextOption.empty()) contextOption = option;
    }
};

// One option. A name with '=' in it is one value of a family ("--format=grep"): any other
// word that begins with the family's name is refused as an unknown value of it.
struct CliOption {
    std::string_view name;   // "--mask"; empty for an option that has a letter only
    char letter = '\0';      // 'l' for "-l", '\0' when there is no short form
    std::string_view value;  // "LIST" when it takes one, as --NAME LIST or --NAME=LIST
    std::string_view help;   // its words in --help, wrapped there
    void (*apply)(OptionsAsked& asked, std::string_view value) = nullptr;
};

// Every option, in the order of --help.
std::span<const CliOption> OptionTable();

// "  -l, --files-with-matches", "  --mask LIST" and "  -e TEXT": how --help names the option.
std::string OptionHead(const CliOption& option);

// Appends `text` to `out`, each of its lines a paragraph of its own whose words are wrapped
// so that no line is wider than kHelpWidth. The last line of `out` already holds `used`
// columns; every further line begins at `column`.
void AppendWrapped(std::string& out, std::string_view text, std::size_t column = 0,
                   std::size_t used = 0);

// The option part of --help: each option's head and its words from kHelpColumn on.
std::string OptionsHelp();

constexpr std::size_t kHelpWidth = 79;
constexpr std::size_t kHelpColumn = 20;

}  // namespace sifter::cli
