#include "ui/editor/open_in_editor.h"

#include <QString>

#include "platform/desktop.h"
#include "platform/platform.h"
#include "search/io_error.h"
#include "ui/conventions.h"
#include "ui/messages.h"
#include "ui/viewer/line_text.h"

namespace sifter::ui {
namespace {

// Why `result` did not start, after the program's name.
QString Why(const platform::LaunchResult& result) {
    if (result.error == platform::kFileNotFound) return QStringLiteral(" is not installed");
    return QStringLiteral(" could not be started (") + DisplayText(IoErrorMessage(result.error)) +
           QLatin1Char(')');
}

QString DefaultFailure(const platform::LaunchResult& result) {
    return QStringLiteral("The file could not be handed to the desktop's editor: ") +
           DisplayText(result.program) + Why(result) + QLatin1Char('.');
}

QString CommandFailure(std::string_view command, const QString& why) {
    return QStringLiteral("The editor command \"") + DisplayText(command) +
           QStringLiteral("\" failed: ") + why + QLatin1Char('.');
}

}  // namespace

void OpenInEditor(std::string_view command, const EditorPlace& place) {
    if (place.path.empty()) return;
    platform::Desktop& desktop = platform::CurrentDesktop();
    const EditorWords editor = SplitEditorCommand(command, place);
    if (!editor.problem.empty()) {
        ShowWarning(CommandFailure(command, DisplayText(editor.problem)));
        return;
    }
    if (editor.words.empty()) {
        const platform::LaunchResult result = desktop.OpenWithDefaultApplication(place.path);
        if (result.error != 0) ShowWarning(DefaultFailure(result));
        return;
    }
    // A command that cannot be started is an error of the user's setting: the error box names it.
    const platform::LaunchResult result = desktop.Start(editor.words);
    if (result.error != 0)
        ShowError(CommandFailure(command, DisplayText(result.program) + Why(result)));
}

std::int64_t MatchColumn(std::string_view line, LineMatcher matcher) {
    const std::optional<MatchSpan> found = matcher.FindFrom(line, 0);
    if (!found) return 1;
    return CharactersBefore(line, found->offset) + 1;
}

}  // namespace sifter::ui
