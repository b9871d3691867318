// From a row to its line: which rows open the viewer and the editor and where, with the mouse,
// F4, Ctrl+E and the context menu, and after deletions; and Ctrl+C on the rows.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "fake_desktop.h"
#include "result_list_support.h"
#include "test_support.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_model.h"
#include "ui/viewer/line_view.h"
#include "ui/viewer/line_viewer.h"
#include "ui_test_support.h"

using sifter::EntryIcon;
using sifter::test::Find;
using sifter::test::WriteBytes;
using sifter::ui::ResultList;
using sifter::ui::TForm1;
namespace names = sifter::ui::names;

namespace {

constexpr int kRow = ResultList::kRowHeight;

QPoint RowCentre(int row) {
    return {40, row * kRow + kRow / 2};
}

void Select(ResultList& list, const std::vector<int>& rows) {
    list.selectionModel()->clearSelection();
    for (int row : rows)
        list.selectionModel()->select(list.Model().index(row), QItemSelectionModel::Select);
}

sifter::test::RowTable FiveRows() {
    return {{"Sifter32 Search Results ", EntryIcon::Banner},
            {" a.pas - 1 of 1", EntryIcon::File},
            {"[3] caf\xE9", EntryIcon::Blank},
            {"[4] caf\xC3\xA9", EntryIcon::Blank},
            {"[9] last", EntryIcon::Blank}};
}

}  // namespace

class RowActionsTest final : public QObject {
    Q_OBJECT

private slots:
    void aDoubleClickOrF4AsksForTheRowsLine() {
        auto list = sifter::test::ShownList(FiveRows());
        QVERIFY(list);
        QSignalSpy views(list.get(), &ResultList::ViewRequested);
        Select(*list, {0, 1});
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(3));
        QCOMPARE(views.count(), 1);
        QCOMPARE(views.takeFirst().at(0).toInt(), 3);
        // As a click would: the row alone is selected and current.
        QCOMPARE(sifter::test::SelectedRows(*list), std::vector<int>{3});
        QCOMPARE(list->currentIndex().row(), 3);

        QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, RowCentre(2));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(40, 6 * kRow + 3));
        QCOMPARE(views.count(), 0);

        list->selectionModel()->setCurrentIndex(list->Model().index(4),
                                                QItemSelectionModel::NoUpdate);
        QTest::keyClick(list.get(), Qt::Key_F4);
        QCOMPARE(views.count(), 1);
        QCOMPARE(views.takeFirst().at(0).toInt(), 4);
        // Alt+F4 belongs to the window's Exit.
        QTest::keyClick(list.get(), Qt::Key_F4, Qt::AltModifier);
        QCOMPARE(views.count(), 0);

        // Ctrl+E asks for the current row's editor. These rows lead to no file, so the context
        // menu does not offer it.
        QSignalSpy edits(list.get(), &ResultList::EditRequested);
        QTest::keyClick(list.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.takeFirst().at(0).toInt(), 4);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, RowCentre(2));
        QVERIFY(list->PopupMenu()->isVisible());
        QVERIFY(!Find<QAction>(*list->PopupMenu(), names::kOpenInEditor1)->isEnabled());
        list->PopupMenu()->close();
    }

    void ctrlCCopiesTheSelectedRowsInListOrder() {
        auto list = sifter::test::ShownList(FiveRows());
        QVERIFY(list);
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        list->selectionModel()->setCurrentIndex(list->Model().index(1),
                                                QItemSelectionModel::NoUpdate);
        Select(*list, {});
        QTest::keyClick(list.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));

        Select(*list, {4, 0, 3, 2});
        QTest::keyClick(list.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(
            QGuiApplication::clipboard()->text(),
            QStringLiteral(u"Sifter32 Search Results \r\n[3] café\r\n[4] café\r\n[9] last\r\n"));
        QCOMPARE(list->RowCount(), 5);
    }
};

// The same through the main window, on the rows of a real search.
class RowsOfASearchTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        WriteBytes(*m_dir / "a b.sc", "x\r\nproc Begin()\r\nx\r\nbegin\r\n");
        WriteBytes(*m_dir / "c.sc", "BEGIN\r\n");
        // Windows-1252, a tab before the match: the editor's column counts characters.
        WriteBytes(*m_dir / "d.sc", "\tcaf\xE9 begin\r\n");
    }
    void cleanup() { m_dir.reset(); }

    void eachRowOpensItsFileAtItsLineAndTheEditorAtItsMatch() {
        sifter::test::MessageRecorder messages;
        sifter::test::FakeDesktop desktop;
        const sifter::platform::ScopedDesktop scoped(desktop);
        TForm1 window({});
        window.SetEditorCommand("ed {file} {line} {column}");
        Search(window);
        const std::string a = *m_dir / "a b.sc";
        const std::string c = *m_dir / "c.sc";
        const std::string d = *m_dir / "d.sc";
        // Row by row: the file and line it opens at, or nothing, and the editor's column.
        const std::vector<std::tuple<std::string, int, int>> expected{
            {"", 0, 0}, {"", 0, 0}, {"", 0, 0},             // banner, path, search text
            {"", 0, 0}, {a, 1, 1},  {"", 0, 0},             // the first file's heading
            {a, 2, 1},  {a, 2, 6},  {a, 4, 1},              // procedure, its match, a match
            {"", 0, 0}, {c, 1, 1},  {"", 0, 0}, {c, 1, 1},  // the second file
            {"", 0, 0}, {d, 1, 1},  {"", 0, 0}, {d, 1, 7}};
        QCOMPARE(window.ListBox1()->RowCount(), static_cast<int>(expected.size()));
        for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
            std::string path;
            int line = 0;
            window.ViewRow(row);
            if (sifter::ui::LineViewer* viewer = window.Viewer();
                viewer != nullptr && viewer->isVisible()) {
                path = viewer->Path();
                line = static_cast<int>(viewer->View()->Caret().line) + 1;
                viewer->close();
            }
            desktop.started.clear();
            window.EditRow(row);
            const auto& [wantPath, wantLine, wantColumn] = expected[static_cast<std::size_t>(row)];
            QCOMPARE(std::make_pair(path, line), std::make_pair(wantPath, wantLine));
            if (wantPath.empty()) {
                QVERIFY(desktop.started.empty());
            } else {
                QCOMPARE(
                    desktop.started,
                    (std::vector<std::vector<std::string>>{
                        {"ed", wantPath, std::to_string(wantLine), std::to_string(wantColumn)}}));
            }
        }
        QVERIFY(messages.messages().isEmpty());

        // The row's context menu, opened over a match: that row, whatever the current one is.
        ResultList& list = *window.ListBox1();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        desktop.started.clear();
        QTest::mouseClick(list.viewport(), Qt::RightButton, {}, RowCentre(7));
        auto* openInEditor = Find<QAction>(*list.PopupMenu(), names::kOpenInEditor1);
        QVERIFY(openInEditor->isEnabled());
        openInEditor->trigger();
        list.PopupMenu()->close();
        QCOMPARE(desktop.started, (std::vector<std::vector<std::string>>{{"ed", a, "2", "6"}}));
        QCOMPARE(list.currentIndex().row(), 0);
        // No command: the desktop's default application, with the path alone; Ctrl+E in the list.
        window.SetEditorCommand("");
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Down, Qt::NoModifier);
        QTest::keyClick(&list, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(desktop.opened, (std::vector<std::string>{}));
        list.SelectRow(8);
        QTest::keyClick(&list, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(desktop.opened, (std::vector<std::string>{a}));
        // A command that cannot start is named in the error box.
        window.SetEditorCommand("nowhere-ed +{line} {file}");
        desktop.error = 2;
        window.EditRow(8);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("The editor command \"nowhere-ed +{line} {file}\" failed: "
                                "nowhere-ed is not installed."));
    }

    void rowsStillOpenTheirLineAfterDeletionsAndADoubleClick() {
        TForm1 window({});
        Search(window);
        ResultList& list = *window.ListBox1();
        Select(list, {0, 1, 2, 3, 4, 5, 7});
        list.DeleteItems();
        // Left: the procedure row (a b.sc, 2), the match of line 4, then the second file.
        QCOMPARE(list.Model().Rows().Text(0), " proc Begin()");
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, RowCentre(1));
        QVERIFY(window.Viewer() != nullptr);
        QCOMPARE(window.Viewer()->Path(), *m_dir / "a b.sc");
        QCOMPARE(window.Viewer()->View()->Caret().line, 3);
    }

    void theViewerMatchesAsTheSearchDidWhateverTheBoxesSayNow() {
        TForm1 window({});
        Search(window);
        // The case option changes after the search; the rows still stand for the search.
        Find<QCheckBox>(window, names::kCaseSensitive)->setChecked(true);
        window.ViewRow(7);
        sifter::ui::LineView& view = *window.Viewer()->View();
        view.GoToMatch(true);
        QCOMPARE(view.Caret().line, 3);  // "begin"
        view.GoToMatch(true);
        QCOMPARE(view.Caret().line, 1);  // "proc Begin()", round the end
    }

private:
    static void Search(TForm1& window) {
        Find<QRadioButton>(window, names::kFileType0)->click();
        window.Edit1()->setText(QStringLiteral("begin"));
        Find<QCheckBox>(window, names::kDoProcs)->setChecked(true);
        window.pbSifterClick();
    }

    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RowActionsTest rows;
    RowsOfASearchTest search;
    return QTest::qExec(&rows, argc, argv) | QTest::qExec(&search, argc, argv);
}

#include "row_actions_test.moc"
