// The main window as a user drives it: control states, keys, searches and the command line.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "search/files/file_set.h"
#include "search/run/search_run.h"
#include "test_support.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::test::TempDir;
using sifter::test::WriteBytes;
using sifter::ui::TForm1;
namespace names = sifter::ui::names;

namespace {

std::vector<sifter::ResultEntry> Rows(const sifter::ResultRows& rows) {
    std::vector<sifter::ResultEntry> entries;
    for (std::size_t i = 0; i < rows.size(); ++i) entries.push_back(rows.Entry(i));
    return entries;
}

// What the engine alone gives for the same search, to compare the window's rows with.
std::vector<sifter::ResultEntry> EngineRows(sifter::FileType type, const std::string& text,
                                            bool caseSensitive) {
    sifter::FileSet files;
    files.SetMask(std::string(sifter::FileMask(type)));
    files.Refresh();
    sifter::ResultRows rows;
    sifter::RunSearch({.fileType = type, .text = text, .rules = {.caseSensitive = caseSensitive}},
                      files, rows);
    return Rows(rows);
}

}  // namespace

class MainWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        WriteBytes(*m_dir / "a.pas", "program a;\r\nbegin\r\nend.\r\n");
        WriteBytes(*m_dir / "b.pas", "unit b;\r\nBEGIN\r\n  writeln('begin');\r\nEND;\r\n");
        WriteBytes(*m_dir / "s.sc", "proc Foo(x)\r\n  begin\r\nendproc\r\n");
    }
    void cleanup() { m_dir.reset(); }

    void startsWithEverythingButTheSearchBoxDisabled() {
        TForm1 window({});
        QCOMPARE(window.windowTitle(), QStringLiteral("Sifter32 - Search Path: ") +
                                           QString::fromStdString(m_dir->path()));
        QVERIFY(!Find<QPushButton>(window, names::kPbSifter)->isEnabled());
        QVERIFY(!Find<QAction>(window, names::kSifter1)->isEnabled());
        QVERIFY(!Find<QCheckBox>(window, names::kDoProcs)->isEnabled());
        QVERIFY(!Find<QCheckBox>(window, names::kCaseSensitive)->isEnabled());
        QVERIFY(!window.ListBox1()->isEnabled());
        QVERIFY(!Find<QAction>(window, names::kSavetoFile1)->isEnabled());
        QVERIFY(!Find<QAction>(window, names::kSavetoTable1)->isEnabled());
        QVERIFY(!Find<QMenu>(window, names::kEdit1Menu)->menuAction()->isEnabled());
        QVERIFY(Find<QRadioButton>(window, names::kFileType1)->isChecked());
        QCOMPARE(window.FList().Mask(), std::string("*.pas"));
        QCOMPARE(window.FList().Count(), 2);
    }

    void typingAndDeletingOneCharacterFollowsTheFileType_data() {
        QTest::addColumn<bool>("scripts");
        QTest::newRow("Pascal") << false;
        QTest::newRow("Scripts") << true;
    }
    void typingAndDeletingOneCharacterFollowsTheFileType() {
        QFETCH(bool, scripts);
        TForm1 window({});
        if (scripts) Find<QRadioButton>(window, names::kFileType0)->click();
        QCOMPARE(window.FList().Mask(), std::string(scripts ? "*.sc" : "*.pas"));
        QTest::keyClick(window.Edit1(), Qt::Key_X);
        QVERIFY(Find<QPushButton>(window, names::kPbSifter)->isEnabled());
        QVERIFY(Find<QAction>(window, names::kSifter1)->isEnabled());
        QVERIFY(Find<QMenu>(window, names::kEdit1Menu)->menuAction()->isEnabled());
        QVERIFY(Find<QCheckBox>(window, names::kCaseSensitive)->isEnabled());
        QCOMPARE(Find<QCheckBox>(window, names::kDoProcs)->isEnabled(), scripts);
        if (scripts) Find<QCheckBox>(window, names::kDoProcs)->setChecked(true);
        Find<QCheckBox>(window, names::kCaseSensitive)->setChecked(true);
        QTest::keyClick(window.Edit1(), Qt::Key_Backspace);
        QVERIFY(!Find<QPushButton>(window, names::kPbSifter)->isEnabled());
        QVERIFY(!Find<QCheckBox>(window, names::kDoProcs)->isEnabled());
        QVERIFY(!Find<QCheckBox>(window, names::kDoProcs)->isChecked());
        // Disabling the case option keeps its check mark.
        QVERIFY(!Find<QCheckBox>(window, names::kCaseSensitive)->isEnabled());
        QVERIFY(Find<QCheckBox>(window, names::kCaseSensitive)->isChecked());
    }

    // Every control that can take the focus is one stop, in the layout's order; the file type
    // is one stop at the button that holds the check, however the check got there.
    void tabVisitsEachControlOnceInOrder_data() {
        QTest::addColumn<QString>("check");  // how the file type is chosen
        QTest::addColumn<bool>("rows");
        QTest::addColumn<QStringList>("stops");
        const QString edit = QString::fromLatin1(names::kEdit1);
        const QString caseSensitive = QString::fromLatin1(names::kCaseSensitive);
        const QString sifter = QString::fromLatin1(names::kPbSifter);
        const QString list = QString::fromLatin1(names::kListBox1);
        const QString scripts = QString::fromLatin1(names::kFileType0);
        const QString pascal = QString::fromLatin1(names::kFileType1);
        const QString procs = QString::fromLatin1(names::kDoProcs);
        QTest::newRow("Pascal at start")
            << QString() << false << QStringList{edit, caseSensitive, pascal, sifter, edit};
        QTest::newRow("Pascal at start, with rows")
            << QString() << true << QStringList{edit, caseSensitive, pascal, sifter, list, edit};
        QTest::newRow("Scripts by a click")
            << QStringLiteral("click") << true
            << QStringList{edit, procs, caseSensitive, scripts, sifter, list, edit};
        QTest::newRow("Scripts by an arrow key")
            << QStringLiteral("arrow") << false
            << QStringList{edit, procs, caseSensitive, scripts, sifter, edit};
        QTest::newRow("back to Pascal by an arrow key")
            << QStringLiteral("arrow twice") << true
            << QStringList{edit, caseSensitive, pascal, sifter, list, edit};
    }
    void tabVisitsEachControlOnceInOrder() {
        QFETCH(QString, check);
        QFETCH(bool, rows);
        QFETCH(QStringList, stops);
        TForm1 window({});
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.Edit1(), Qt::Key_B);
        if (rows) window.pbSifterClick();
        if (check == QLatin1String("click"))
            QTest::mouseClick(Find<QRadioButton>(window, names::kFileType0), Qt::LeftButton);
        if (check.startsWith(QLatin1String("arrow"))) {
            Find<QRadioButton>(window, names::kFileType1)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
            if (check.endsWith(QLatin1String("twice")))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        }
        window.Edit1()->setFocus();
        for (const bool forward : {true, false}) {
            QStringList visited{QApplication::focusWidget()->objectName()};
            for (int i = 1; i < stops.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(),
                                forward ? Qt::Key_Tab : Qt::Key_Backtab);
                visited << QApplication::focusWidget()->objectName();
            }
            QStringList expected = stops;
            if (!forward) std::reverse(expected.begin(), expected.end());
            QCOMPARE(visited, expected);
        }
    }

    void switchingToPascalClearsIncludeProcs() {
        TForm1 window({});
        Find<QRadioButton>(window, names::kFileType0)->click();
        QTest::keyClicks(window.Edit1(), QStringLiteral("begin"));
        auto* procs = Find<QCheckBox>(window, names::kDoProcs);
        procs->setChecked(true);
        Find<QRadioButton>(window, names::kFileType1)->click();
        QVERIFY(!procs->isEnabled());
        QVERIFY(!procs->isChecked());
        QCOMPARE(window.FList().Mask(), std::string("*.pas"));
        QCOMPARE(window.FList().Count(), 2);
    }

    void enterInAnEmptySearchBoxOrOnTheFileTypeDoesNothingAndEscapeCloses() {
        sifter::test::MessageRecorder messages;
        TForm1 window({});
        window.show();
        QTest::keyClick(window.Edit1(), Qt::Key_Return);
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(window.isVisible());
        // The file type's keys have no handler, on its buttons or on the panels around them.
        window.Edit1()->setText(QStringLiteral("begin"));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* pascal = Find<QRadioButton>(window, names::kFileType1);
        pascal->setFocus();
        for (QWidget* target :
             {static_cast<QWidget*>(pascal), Find<QWidget>(window, names::kPanel2)})
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(target, key);
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QVERIFY(window.isVisible());
        QTest::keyClick(window.Edit1(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void f2AndEnterGiveTheEnginesRowsAndTheSummary_data() {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<bool>("caseSensitive");
        QTest::newRow("F2") << 0 << false;
        QTest::newRow("Enter in the search box") << 1 << false;
        QTest::newRow("Enter on the button, case sensitive") << 2 << true;
    }
    void f2AndEnterGiveTheEnginesRowsAndTheSummary() {
        QFETCH(int, trigger);
        QFETCH(bool, caseSensitive);
        TForm1 window({});
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClicks(window.Edit1(), QStringLiteral("begin"));
        Find<QCheckBox>(window, names::kCaseSensitive)->setChecked(caseSensitive);
        if (trigger == 0) QTest::keyClick(&window, Qt::Key_F2);
        if (trigger == 1) QTest::keyClick(window.Edit1(), Qt::Key_Return);
        if (trigger == 2)
            QTest::keyClick(Find<QPushButton>(window, names::kPbSifter), Qt::Key_Return);
        const auto expected = EngineRows(sifter::FileType::Pascal, "begin", caseSensitive);
        QCOMPARE(Rows(window.ListBox1()->Model().Rows()), expected);
        const int matches = caseSensitive ? 2 : 3;
        QCOMPARE(
            window.StatusPanel()->text(),
            QStringLiteral(" Sifter32 Found %1 instances of \"begin\" in 2 files").arg(matches));
        QVERIFY(window.ListBox1()->isVisible());
        QVERIFY(window.ListBox1()->isEnabled());
        QTRY_VERIFY(window.ListBox1()->hasFocus());
        QCOMPARE(window.ListBox1()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(window.ListBox1()->selectionModel()->selectedRows().front().row(), 0);
        QVERIFY(Find<QAction>(window, names::kSavetoFile1)->isEnabled());
        QVERIFY(!progress.isVisible());
        QCOMPARE(progress.Gauge()->value(), 2);
    }

    void anEmptyFileSetShowsItsMessageAndKeepsTheOldResults() {
        sifter::test::MessageRecorder messages;
        TForm1 window({});
        QTest::keyClicks(window.Edit1(), QStringLiteral("begin"));
        window.pbSifterClick();
        const auto before = Rows(window.ListBox1()->Model().Rows());
        const QString summary = window.StatusPanel()->text();
        Find<QRadioButton>(window, names::kFileType0)->click();
        std::remove((*m_dir / "s.sc").c_str());
        window.UpdateStat();
        window.pbSifterClick();
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Information);
        QCOMPARE(messages.messages().front().text, QStringLiteral(" No .sc files in ") +
                                                       QString::fromStdString(m_dir->path()) +
                                                       QLatin1Char('.'));
        QCOMPARE(Rows(window.ListBox1()->Model().Rows()), before);
        QCOMPARE(window.StatusPanel()->text(), summary);
    }

    void aDirectoryRemovedBehindTheProgramGivesTheErrorBoxAndTheProgramGoesOn() {
#ifdef _WIN32
        QSKIP("Windows removes no directory that is a process's current one");
#endif
        sifter::test::MessageRecorder messages;
        TempDir doomed;
        TForm1 window({doomed.path()});
        QCOMPARE(window.FList().Directory(), doomed.path());
        std::filesystem::remove_all(doomed.path());
        QTest::keyClick(window.Edit1(), Qt::Key_A);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().text, QStringLiteral("File not found."));
        QCOMPARE(window.Edit1()->text(), QStringLiteral("a"));
        QVERIFY(Find<QPushButton>(window, names::kPbSifter)->isEnabled());
    }

    void saveToTableShowsItsNotice() {
        sifter::test::MessageRecorder messages;
        TForm1 window({});
        window.SaveToTable();
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().caption, QStringLiteral("Information"));
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("The BDE files are not included with this build, so the \"Save To "
                                "Table\" feature is disabled."));
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
