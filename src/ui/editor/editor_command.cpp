#include "ui/editor/editor_command.h"

#include "search/text/text_rules.h"

namespace sifter::ui {
namespace {

const char* const kUnclosedQuote = "a quote is not closed: ";
const char* const kProgramPlaceholder = "the program's name cannot hold {file}, {line} or {column}";
const char* const kNoProgram = "the command names no program";

constexpr std::string_view kFile = "{file}";
constexpr std::string_view kLine = "{line}";
constexpr std::string_view kColumn = "{column}";

constexpr const char* kPresets[] = {
#ifdef _WIN32
    "notepad++ -n{line} {file}",
    "code -g {file}:{line}:{column}",
#else
    "code -g {file}:{line}:{column}",
    "kate -l {line} -c {column} {file}",
    "gvim +{line} {file}",
    "emacs +{line}:{column} {file}",
#endif
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The words of `command` before any placeholder is replaced; `problem` says why there are none.
std::vector<std::string> Split(std::string_view command, std::string& problem) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (IsBlank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '"' || c == '\'') {
            const std::size_t close = command.find(c, i + 1);
            if (close == std::string_view::npos) {
                problem = kUnclosedQuote + std::string(command.substr(i));
                return {};
            }
            word.append(command.substr(i + 1, close - i - 1));
            inWord = true;
            i = close;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

bool HoldsPlaceholder(std::string_view word) {
    for (const std::string_view name : {kFile, kLine, kColumn})
        if (word.find(name) != std::string_view::npos) return true;
    return false;
}

// `word` with its placeholders replaced, in one pass from its start.
std::string Replaced(std::string_view word, const EditorPlace& place) {
    std::string out;
    std::size_t at = 0;
    while (at < word.size()) {
        const std::string_view rest = word.substr(at);
        if (rest.starts_with(kFile)) {
            out += place.path;
            at += kFile.size();
        } else if (rest.starts_with(kLine)) {
            AppendDecimal(place.line, out);
            at += kLine.size();
        } else if (rest.starts_with(kColumn)) {
            AppendDecimal(place.column, out);
            at += kColumn.size();
        } else {
            out += word[at++];
        }
    }
    return out;
}

}  // namespace

std::string EditorCommandProblem(std::string_view command) {
    std::string problem;
    const std::vector<std::string> words = Split(command, problem);
    if (!problem.empty() || words.empty()) return problem;
    if (words.front().empty()) return kNoProgram;
    if (HoldsPlaceholder(words.front())) return kProgramPlaceholder;
    return {};
}

EditorWords SplitEditorCommand(std::string_view command, const EditorPlace& place) {
    EditorWords result;
    result.problem = EditorCommandProblem(command);
    if (!result.problem.empty()) return result;
    const std::vector<std::string> words = Split(command, result.problem);
    bool fileNamed = false;
    for (const std::string& word : words) {
        fileNamed = fileNamed || word.find(kFile) != std::string::npos;
        result.words.push_back(Replaced(word, place));
    }
    if (!words.empty() && !fileNamed) result.words.push_back(place.path);
    return result;
}

std::span<const char* const> EditorPresets() {
    return kPresets;
}

}  // namespace sifter::ui
