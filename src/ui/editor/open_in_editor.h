#pragma once
// A place in a file handed to the user's editor, or to the desktop's default application, and
// the column a row of the list opens at.

#include <cstdint>
#include <string_view>

#include "search/pattern/line_matcher.h"
#include "ui/editor/editor_command.h"

namespace sifter::ui {

// Opens `place` in the editor `command` names (editor_command.h), or the file in the desktop's
// default application when the command is blanks alone. A command that cannot be used or
// started shows a warning that names it, and so does a default application that cannot be had.
void OpenInEditor(std::string_view command, const EditorPlace& place);

// The column, from 1 and in characters as the line decodes (a tab counting one), where
// `matcher` first finds something in `line`; 1 when it finds nothing.
std::int64_t MatchColumn(std::string_view line, LineMatcher matcher);

}  // namespace sifter::ui
