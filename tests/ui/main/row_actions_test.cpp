// From a row to its line: which rows open the viewer and where, with the mouse, F4 and after
// deletions; and Ctrl+C on the rows.

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

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
    }
    void cleanup() { m_dir.reset(); }

    void eachRowOpensItsFileAtItsLine() {
        sifter::test::MessageRecorder messages;
        TForm1 window({});
        Search(window);
        const std::string a = *m_dir / "a b.sc";
        const std::string c = *m_dir / "c.sc";
        // Row by row: the file and line it opens at, or nothing.
        const std::vector<std::pair<std::string, int>> expected{
            {"", 0}, {"", 0}, {"", 0},           // banner, path, search text
            {"", 0}, {a, 1},  {"", 0},           // the first file's heading
            {a, 2},  {a, 2},  {a, 4},            // procedure, its match, a match
            {"", 0}, {c, 1},  {"", 0}, {c, 1}};  // the second file
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
            QCOMPARE(std::make_pair(path, line), expected[static_cast<std::size_t>(row)]);
        }
        QVERIFY(messages.messages().isEmpty());
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
