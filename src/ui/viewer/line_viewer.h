#pragma once
// The line viewer: one window, reused, that shows a file of the search at a row's line, with
// the search text highlighted, and hands the file to the desktop's editor.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "search/pascal/pascal_lexer.h"
#include "search/pattern/line_matcher.h"

class QLabel;
class QPushButton;

namespace sifter::ui {

class LineView;

class LineViewer final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineViewer)

public:
    static constexpr const char* kTitle = "Sifter32 Viewer - ";
    static constexpr const char* kEditorButton = "Open in Editor";

    // A window of its own that closes with `owner`.
    explicit LineViewer(QWidget* owner = nullptr);
    ~LineViewer() override;

    // Reads the file now and shows it with line `line` (from 1) selected in the middle; past the
    // file's end it shows the end and says that the file changed. When the file cannot be read
    // this raises EInOutError and the window stays as it was.
    // `matcher` is the search's, so that what is highlighted is what the search found.
    void Open(const std::string& path, std::int64_t line, LineMatcher matcher, SearchIn in = {});

    // F3 and Shift+F3: the next or the previous line that holds the search text.
    void GoToMatch(bool forward);
    // "Open in Editor", Ctrl+E: the file at the caret's line and column, in the editor the
    // owner's command names, or in the desktop's default application.
    void OpenInEditor();
    // Asked for the editor command at each Ctrl+E; without it, the default application opens.
    void SetEditorCommand(std::function<std::string()> command) {
        m_editorCommand = std::move(command);
    }

    const std::string& Path() const { return m_path; }
    LineView* View() const { return m_view; }
    QLabel* StatusLine() const { return m_status; }
    QPushButton* EditorButton() const { return m_editorButton; }

private:
    void UpdateStatus();

    std::string m_path;
    QString m_fileNote;  // stays while the file is shown
    QString m_stepNote;  // until the caret moves again
    LineView* m_view;
    QLabel* m_status;
    QPushButton* m_editorButton;
    std::function<std::string()> m_editorCommand;
};

}  // namespace sifter::ui
