// The rules of closing, and those that hold after any action: the control states of the text,
// the file type and the rows; the title and the file set; the clipboard after Ctrl+C; saved
// files; the viewer and the editor; and nothing left behind by a handler.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWidget>
#include <filesystem>

#include "search/io_error.h"
#include "soak_answers.h"
#include "soak_checks.h"
#include "soak_session.h"
#include "soak_world.h"
#include "test_support.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/conventions.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/progress_window.h"
#include "ui/editor/editor_command.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui/viewer/line_text.h"
#include "ui/viewer/line_view.h"
#include "ui/viewer/line_viewer.h"

namespace sifter::soak {
namespace {

namespace names = ui::names;

QString State(bool enabled) {
    return enabled ? QStringLiteral("enabled") : QStringLiteral("disabled");
}

const QString kDiscard = QStringLiteral("Discard the trimmed list?");

}  // namespace

bool AnErrorBoxWasShown(const DialogAnswers& answers) {
    for (const ui::Message& message : answers.Messages())
        if (message.kind == ui::MessageKind::Error) return true;
    return false;
}

bool CheckClosing(Context& c, bool closes) {
    const Model& model = c.model;
    // Closing asks once, exactly when rows were deleted since the search or the last save.
    const std::vector<Question>& questions = c.answers.Questions();
    bool answeredYes = false, answeredNo = false;
    for (const Question& question : questions) {
        c.Expect(
            question.message.kind == ui::MessageKind::Question && question.message.text == kDiscard,
            QStringLiteral("an unexpected question: \"%1\"").arg(question.message.text));
        answeredYes |= question.yes == true;
        answeredNo |= question.yes == false;
    }
    c.Expect(questions.size() == (closes && model.Trimmed() ? 1u : 0u),
             QStringLiteral("closing asked %1 times, with the list %2")
                 .arg(questions.size())
                 .arg(model.Trimmed() ? QStringLiteral("trimmed") : QStringLiteral("as saved")));
    if (!c.session.Form1().isVisible()) {
        c.Expect(closes && !answeredNo,
                 QStringLiteral("the main window closed, but nothing that closes it was pressed "
                                "or chosen, or No was the answer"));
        // The program ends with its main window as Qt ends it: once no shown window of its own
        // (one without an owner) is left that asks to keep it running.
        for (const QWidget* window : QApplication::topLevelWidgets())
            c.Expect(!window->isVisible() || window->parentWidget() != nullptr ||
                         !window->testAttribute(Qt::WA_QuitOnClose),
                     QStringLiteral("%1 keeps the program running after the main window closed")
                         .arg(window->objectName()));
        return true;
    }
    c.Expect(!closes || (model.Trimmed() && !questions.empty() && !answeredYes),
             QStringLiteral("Escape, Alt+F4 or Exit left the main window open"));
    return false;
}

void CheckControlStates(Context& c) {
    Session& s = c.session;
    const bool hasText = !s.Edit1()->text().isEmpty();
    const bool scripts = s.Form1().SelectedFileType() == FileType::Scripts;
    const QString text = hasText ? QStringLiteral("a") : QStringLiteral("no");
    const auto expectText = [&](const QString& what, bool enabled, bool wanted) {
        c.Expect(enabled == wanted, QStringLiteral("%1 is %2 with %3 search text%4")
                                        .arg(what, State(enabled), text,
                                             scripts ? QStringLiteral(" and Scripts")
                                                     : QStringLiteral(" and Pascal")));
    };
    expectText(QString::fromLatin1(names::kPbSifter), s.Sifter()->isEnabled(), hasText);
    expectText(QStringLiteral("\"&Sifter!\""), s.Item(names::kSifter1)->isEnabled(), hasText);
    expectText(QString::fromLatin1(names::kCaseSensitive), s.CaseSensitive()->isEnabled(), hasText);
    expectText(QString::fromLatin1(names::kDoProcs), s.DoProcs()->isEnabled(), hasText && scripts);
    c.Expect(s.DoProcs()->isEnabled() || !s.DoProcs()->isChecked(),
             QStringLiteral("doProcs is disabled but checked"));
    const bool editMenu = s.EditMenu()->menuAction()->isEnabled();
    if (c.updateStatRan && (!AnErrorBoxWasShown(c.answers) || editMenu == hasText))
        c.model.editMenu = hasText;
    c.Expect(editMenu == c.model.editMenu,
             QStringLiteral("the \"&Edit\" menu is %1 with %2 search text, expected %3")
                 .arg(State(editMenu), text, State(c.model.editMenu)));

    // The rows' rule holds as the last UpdateStat left it: deleting rows does not run it.
    const bool withRows = c.model.rowsAtUpdateStat > 0;
    const QString rows =
        QStringLiteral(" although the last UpdateStat saw %1 rows").arg(c.model.rowsAtUpdateStat);
    c.Expect(s.ListBox1()->isEnabled() == withRows,
             QStringLiteral("ListBox1 is ") + State(s.ListBox1()->isEnabled()) + rows);
    for (const char* item : {names::kSavetoFile1, names::kSavetoTable1})
        c.Expect(s.Item(item)->isEnabled() == withRows,
                 QString::fromLatin1(item) + QStringLiteral(" is ") +
                     State(s.Item(item)->isEnabled()) + rows);
    c.Expect(c.answers.SaveDialogsShown() == 0 || c.before.saveEnabled,
             QStringLiteral("the save dialog opened while \"Sa&ve to File\" was disabled"));
}

void CheckTitleAndFileSet(Context& c) {
    const FileSet& files = c.session.Form1().FList();
    const std::string& directory = files.Directory();
    c.Expect(directory == c.model.directory,
             QStringLiteral("the file set holds %1, expected %2")
                 .arg(Quoted(directory), Quoted(c.model.directory)));
    const QString title = QStringLiteral("Sifter32 - Search Path: ") + ui::DisplayText(directory);
    c.Expect(c.session.Form1().windowTitle() == title,
             QStringLiteral("the title reads \"%1\", expected \"%2\"")
                 .arg(c.session.Form1().windowTitle(), title));
    if (!c.updateStatRan) return;
    std::error_code ignored;
    if (!std::filesystem::is_directory(directory, ignored)) {
        c.Expect(AnErrorBoxWasShown(c.answers),
                 QStringLiteral("the file set's directory is gone, and no error box said so"));
        return;
    }
    const FileType type = c.session.Form1().SelectedFileType();
    const SearchOptions options = c.session.Form1().Request().options;
    c.Expect(files.Mask() == options.Masks(type),
             QStringLiteral("the file set's mask is %1").arg(Quoted(files.Mask())));
    const std::vector<std::string> expected = ExpectedNames(directory, type, options);
    if (files.Names() == expected) return;
    QStringList held;
    QStringList wanted;
    for (const std::string& name : files.Names()) held << Quoted(name);
    for (const std::string& name : expected) wanted << Quoted(name);
    c.Expect(false, QStringLiteral("after UpdateStat the file set lists %1, the directory holds %2")
                        .arg(held.join(QLatin1Char(' ')), wanted.join(QLatin1Char(' '))));
}

void CheckClipboard(Context& c) {
    if (!c.KeyOnMain(Qt::Key_C, Qt::ControlModifier) || c.before.focus != c.session.ListBox1())
        return;
    QString expected = c.before.clipboard;
    if (!c.before.selected.empty()) {
        expected.clear();
        for (int row : c.before.selected)
            expected += ui::DisplayText(c.before.rows[static_cast<std::size_t>(row)]) +
                        QStringLiteral("\r\n");
    }
    c.Expect(QGuiApplication::clipboard()->text() == expected,
             QStringLiteral("Ctrl+C put \"%1\" on the clipboard, expected \"%2\"")
                 .arg(QGuiApplication::clipboard()->text(), expected));
}

void CheckSaves(Context& c) {
    std::string expected;
    for (const std::string& row : c.rows) expected += row + "\r\n";
    for (const SaveChoice& save : c.answers.Saves()) {
        if (!save.creatable) continue;
        std::string saved;
        try {
            saved = test::ReadBytes(save.name);
        } catch (const std::exception&) {
            c.Expect(false, QStringLiteral("nothing was saved to %1").arg(Quoted(save.name)));
            continue;
        }
        c.Expect(saved == expected, QStringLiteral("%1 holds %2 bytes, the %3 rows shown %4")
                                        .arg(Quoted(save.name))
                                        .arg(saved.size())
                                        .arg(c.rows.size())
                                        .arg(expected.size()));
    }
}

void CheckViewerAndEditor(Context& c) {
    const ui::LineViewer* viewer = c.session.Viewer();
    if (viewer != nullptr && viewer->isVisible())
        c.Expect(viewer->windowTitle() ==
                     QString::fromLatin1(ui::LineViewer::kTitle) + ui::DisplayText(viewer->Path()),
                 QStringLiteral("the viewer's title reads \"%1\"").arg(viewer->windowTitle()));
    const ResultRows& rows = c.session.ListBox1()->Model().Rows();
    for (const int row : c.session.seen().viewRequests) {
        if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) continue;
        const RowOrigin origin = rows.Origin(static_cast<std::size_t>(row));
        if (!origin.Leads()) continue;
        const std::string path(rows.FilePath(origin.file));
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(path, ignored)) continue;
        c.Expect(viewer != nullptr && viewer->isVisible() && viewer->Path() == path,
                 QStringLiteral("row %1 did not open %2 in the viewer").arg(row).arg(Quoted(path)));
    }

    // The editor: first the rows' (Ctrl+E in the list, the row's menu) at their lines and first
    // matches, then the viewer's at its caret; by the command in force, or by the desktop's
    // default application when there is none.
    std::vector<ui::EditorPlace> places;
    for (const int row : c.session.seen().editRequests) {
        if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) continue;
        const auto index = static_cast<std::size_t>(row);
        const RowOrigin origin = rows.Origin(index);
        if (!origin.Leads()) continue;
        const bool match = rows.Kind(index) == RowKind::Match;
        places.push_back(
            {std::string(rows.FilePath(origin.file)), origin.line,
             match ? ExpectedColumn(std::string(rows.Line(index)), c.model.search) : 1});
    }
    const std::string& command = c.before.editorCommand;
    const bool byDefault = ui::SplitEditorCommand(command, {"x", 1, 1}).words.empty();
    const std::size_t opened = c.desktop.opened.size() - c.before.editorOpens;
    const std::size_t started = c.desktop.started.size() - c.before.editorStarts;
    c.Expect(
        (byDefault ? started : opened) == 0,
        QStringLiteral("the editor command \"%1\" was passed over").arg(ui::DisplayText(command)));
    const std::size_t launches = byDefault ? opened : started;
    c.Expect(launches >= places.size(),
             QStringLiteral("%1 rows asked for the editor, which started %2 times")
                 .arg(places.size())
                 .arg(launches));
    for (std::size_t i = 0; i < launches; ++i) {
        ui::EditorPlace place;
        if (i < places.size()) {
            place = places[i];
        } else if (viewer != nullptr) {
            const ui::LineView& view = *viewer->View();
            const std::string_view line =
                view.LineCount() > 0 ? view.LineBytes(view.Caret().line) : std::string_view();
            place = {viewer->Path(), view.Caret().line + 1,
                     ui::CharactersBefore(line, view.Caret().offset) + 1};
        }
        const std::vector<std::string> words =
            byDefault ? std::vector<std::string>{c.desktop.opened[c.before.editorOpens + i]}
                      : c.desktop.started[c.before.editorStarts + i];
        const std::vector<std::string> expected =
            byDefault ? std::vector<std::string>{place.path}
                      : ui::SplitEditorCommand(command, place).words;
        QStringList shown;
        for (const std::string& word : words) shown << Quoted(word);
        c.Expect(words == expected,
                 QStringLiteral("the editor was started with %1, not at %2 line %3 column %4")
                     .arg(shown.join(QLatin1Char(' ')), Quoted(place.path))
                     .arg(place.line)
                     .arg(place.column));
    }
}

void CheckNothingLeftOver(Context& c) {
    c.Expect(PendingError() == 0,
             QStringLiteral("I/O error code %1 is left pending").arg(PendingError()));
    c.Expect(QApplication::overrideCursor() == nullptr,
             QStringLiteral("the hourglass (or another cursor) is still up"));
    ui::Program& program = c.session.Program();
    for (const QWidget* window : {static_cast<const QWidget*>(&program.Form2()),
                                  static_cast<const QWidget*>(&program.Form3()),
                                  static_cast<const QWidget*>(&program.AboutBox())})
        c.Expect(!window->isVisible(),
                 QStringLiteral("%1 is still shown").arg(window->objectName()));
    ui::ResultList& list = *c.session.ListBox1();
    if (list.RowCount() > 0)
        c.Expect(list.visualRect(list.Model().index(0)).height() == ui::ResultList::kRowHeight,
                 QStringLiteral("rows are %1 pixels high")
                     .arg(list.visualRect(list.Model().index(0)).height()));
}

}  // namespace sifter::soak
