#pragma once
// The common dialogs of the program (fonts, file names), each with a hook that tests answer
// instead of a person, so that no test ever blocks on one.

#include <QColor>
#include <QFont>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace sifter {
enum class FileType : std::int32_t;
}

namespace sifter::ui {

struct FontChoice {
    QFont font;
    QColor colour;
};

// FontDialog1: every screen font, fixed pitch or not, with strike-out, underline and colour,
// preset with `current`. Empty when the user cancels.
std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& current);
using FontDialogHook = std::function<std::optional<FontChoice>(const FontChoice& current)>;
void SetFontDialogHook(FontDialogHook hook);

// SaveDialog1: the name to save the results under, starting at "sifter.txt", types "Text File"
// (*.txt) and "Paradox Script" (*.sc), no extension added, an existing file only after asking,
// and only in a directory that exists. It opens in the process's current directory; when that
// was removed under the program, in the closest directory above `searched` (the file set's)
// that still exists. The process's current directory stays where it is. Empty when the user
// cancels.
std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& searched);
using SaveDialogHook = std::function<std::optional<std::string>()>;
void SetSaveDialogHook(SaveDialogHook hook);

// The File Masks dialog: the mask list of each file type, `first`'s first (its field has the
// keyboard), and the list of directories a search of subdirectories leaves out, prefilled with
// `current`; a button that puts the documented masks back and leaves no directory out, one that
// puts the Pascal project list in the Pascal field, OK and Cancel. OK with an empty or
// malformed mask list, or a malformed list of directories, shows a warning that says what is
// wrong and leaves the dialog open; the lists in force stay as they were until OK takes them
// all. Empty when the user cancels.
using MaskLists = std::array<std::string, 2>;
struct FileMaskChoice {
    MaskLists masks;
    std::string leaveOut;  // masks separated by ';', or empty
    friend bool operator==(const FileMaskChoice&, const FileMaskChoice&) = default;
};
std::optional<FileMaskChoice> ChooseMasks(QWidget* parent, const FileMaskChoice& current,
                                          FileType first);
// Runs in place of the person, with the dialog built and prefilled; it works the dialog's
// controls (object names ScriptMasks, PascalMasks, LeaveOutDirectories, DefaultMasks,
// ProjectMasks, OKButton, CancelButton) and ends it as a person would.
using MaskDialogHook = std::function<void(QDialog& dialog)>;
void SetMaskDialogHook(MaskDialogHook hook);

// The Editor dialog: the command that opens a file at a line (ui/editor/editor_command.h),
// prefilled with `current`, with the presets of the system in one list, OK and Cancel. OK with
// a command that cannot be used shows a warning that says why and leaves the dialog open. The
// command taken has no blanks around it; empty names no editor. Empty when the user cancels.
std::optional<std::string> ChooseEditorCommand(QWidget* parent, const std::string& current);
// Works the dialog's controls (EditorCommand, EditorPresets, OKButton, CancelButton) as a
// person would, with the dialog built and prefilled.
using EditorDialogHook = std::function<void(QDialog& dialog)>;
void SetEditorDialogHook(EditorDialogHook hook);

}  // namespace sifter::ui
