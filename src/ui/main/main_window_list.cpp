// The main window's list beyond one search: the list a search or a chosen directory replaced,
// brought back by Ctrl+Z; the question before a trimmed list is given up on closing; a row
// opened in the user's editor, and the command that names it.

#include <QCloseEvent>
#include <QLabel>

#include "search/pattern/line_matcher.h"
#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/open_in_editor.h"
#include "ui/main/main_window.h"
#include "ui/messages.h"
#include "ui/results/result_list.h"

namespace sifter::ui {
namespace {

const char* const kDiscardQuestion = "Discard the trimmed list?";

}  // namespace

void TForm1::KeepShownList(const QString& status) {
    // An empty list is nothing to go back to: the one before it stays.
    if (m_list->RowCount() == 0) return;
    const QModelIndex current = m_list->currentIndex();
    m_earlierList = ShownList{m_list->Model().TakeContents(), m_shownSearch, status,
                              current.isValid() ? current.row() : 0};
}

void TForm1::BringBackEarlierList() {
    if (!m_earlierList) return;
    // One step back: the list on show (a search's as it came, or none) is given up.
    ShownList earlier = std::move(*m_earlierList);
    m_earlierList.reset();
    m_list->Model().PutContents(std::move(earlier.contents));
    m_shownSearch = std::move(earlier.search);
    SetStatus(earlier.status);
    m_list->show();
    m_list->setEnabled(true);
    m_list->setFocus();
    m_list->SelectRow(earlier.current);
    UpdateStat();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_list->Model().Trimmed() && !AskYesNo(QString::fromLatin1(kDiscardQuestion))) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TForm1::EditRow(int row) {
    const ResultRows& rows = m_list->Model().Rows();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
    const auto index = static_cast<std::size_t>(row);
    const RowOrigin origin = rows.Origin(index);
    if (!origin.Leads()) return;
    std::int64_t column = 1;
    if (rows.Kind(index) == RowKind::Match)
        column =
            MatchColumn(rows.Line(index), LineMatcher(m_shownSearch.text, m_shownSearch.rules));
    OpenInEditor(m_editorCommand, {std::string(rows.FilePath(origin.file)), origin.line, column});
}

void TForm1::Editor1Click() {
    if (std::optional<std::string> chosen = ChooseEditorCommand(this, m_editorCommand))
        m_editorCommand = std::move(*chosen);
}

}  // namespace sifter::ui
