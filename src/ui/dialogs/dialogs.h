#pragma once
// The common dialogs of the program (fonts, file names), each with a hook that tests answer
// instead of a person, so that no test ever blocks on one.

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

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

}  // namespace sifter::ui
