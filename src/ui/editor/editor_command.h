#pragma once
// The user's editor command, "code -g {file}:{line}:{column}", made into the words of a program
// to start. No shell ever sees the command: it is split by the rules below, once, and the file
// name, the line and the column are put into the words afterwards, so that a name with blanks,
// quotes or ';' in it is one argument and never code.
//
// The rules:
// - Blanks (spaces and tabs) outside quotes end a word; several count as one, and those at the
//   start or the end make no word.
// - "..." and '...' quote: what stands between them is taken as it is, blanks, the other quote
//   and backslashes included. A quoted part joins what touches it into one word (-c"a b" is
//   the word -ca b); "" alone is an empty word. A quote that is not closed is refused.
// - Nothing else is special: a backslash is an ordinary character (Windows paths stand as
//   typed), and so are ; | & $( ) ` < > * ~.
// - In every word, {file}, {line} and {column} become the file's path, the line (from 1) and
//   the column (from 1), as often as they stand there; what they are replaced by is never read
//   again. Any other {...} stays as it is.
// - A command without {file} gets the path as a word of its own at the end.
// - The first word is the program, looked up in the search path; it may hold no placeholder.
// A command of blanks alone names no editor: the desktop's default application opens the file.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sifter::ui {

// A place in a file for the editor: the path, a line and a column, each from 1.
struct EditorPlace {
    std::string path;
    std::int64_t line = 1;
    std::int64_t column = 1;
};

struct EditorWords {
    std::vector<std::string> words;  // the program, then its arguments; none for no editor
    std::string problem;             // why the command cannot be used; empty when it can
};

EditorWords SplitEditorCommand(std::string_view command, const EditorPlace& place);

// Why `command` cannot be used whatever the place, in words for the user; empty when it can.
std::string EditorCommandProblem(std::string_view command);

// The commands the Editor dialog offers, for the system the program runs on.
std::span<const char* const> EditorPresets();

}  // namespace sifter::ui
