// The search text as bytes: words from the command line are searched as the system handed
// them over, typed text as UTF-8, whichever way the search is started; the rows, the summary,
// the saved file and the progress label show the text each in its own way.

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "search/files/file_set.h"
#include "search/run/search_run.h"
#include "test_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/program.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::test::WriteBytes;
namespace names = sifter::ui::names;

namespace {

const std::string kLatin1Cafe = "caf\xe9";           // as a Windows-1252 command line hands it over
const std::string kUtf8Cafe = "caf\xc3\xa9";         // as the box gives it
const QString kShownCafe = QStringLiteral(u"café");  // how the box shows either

std::vector<sifter::ResultEntry> Rows(const sifter::ResultRows& rows) {
    std::vector<sifter::ResultEntry> entries;
    for (std::size_t i = 0; i < rows.size(); ++i) entries.push_back(rows.Entry(i));
    return entries;
}

std::vector<sifter::ResultEntry> EngineRows(const std::string& text) {
    sifter::FileSet files;
    files.SetMask("*.pas");
    files.Refresh();
    sifter::ResultRows rows;
    sifter::RunSearch({.fileType = sifter::FileType::Pascal, .text = text}, files, rows);
    return Rows(rows);
}

// Types each character as a key that gives it, as a keyboard with that letter would.
void Type(QWidget* target, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

std::string SearchStringRow(const sifter::ui::TForm1& window) {
    return std::string(window.ListBox1()->Model().Rows().Text(2));
}

}  // namespace

class SearchTextTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        WriteBytes(*m_dir / "legacy.pas", "s := 'caf\xe9';\r\n");
        WriteBytes(*m_dir / "modern.pas", "s := 'caf\xc3\xa9';\r\n");
    }
    void cleanup() { m_dir.reset(); }

    void commandLineWordsAreSearchedAsTheirBytes() {
        sifter::test::MessageRecorder messages;
        sifter::ui::Program program({kLatin1Cafe, "/A"});
        sifter::ui::TForm1& window = program.Form1();
        QCOMPARE(window.Edit1()->text(), kShownCafe);
        program.RunAutoSearch();
        QCOMPARE(Rows(window.ListBox1()->Model().Rows()), EngineRows(kLatin1Cafe));
        QCOMPARE(SearchStringRow(window), "   Search String: \"" + kLatin1Cafe + "\"");
        QVERIFY(window.StatusPanel()->text().endsWith(QStringLiteral(u"of \"café\" in 2 files")));

        const std::string saved = *m_dir / "saved.txt";
        sifter::ui::SetSaveDialogHook([&] { return std::optional<std::string>(saved); });
        window.SaveResultsToFile();
        sifter::ui::SetSaveDialogHook(nullptr);
        const std::string bytes = sifter::test::ReadBytes(saved);
        QVERIFY(bytes.find("\r\n   Search String: \"caf\xe9\"\r\n") != std::string::npos);
        QVERIFY(messages.messages().isEmpty());
    }

    // Every way of starting a search takes the same bytes; an edit makes the box's text the
    // search text, and undoing every edit, or Up to the text searched, brings the command
    // line's bytes back.
    void everyTriggerAndEditGivesTheSameBytes_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QByteArray>("searched");
        const QByteArray latin1 = QByteArray::fromStdString(kLatin1Cafe);
        const QByteArray utf8 = QByteArray::fromStdString(kUtf8Cafe);
        for (const char* trigger : {"Enter", "F2", "button", "list Enter"})
            QTest::addRow("%s, unedited", trigger)
                << QString::fromLatin1(trigger) << QString() << latin1;
        QTest::newRow("typed then deleted")
            << QStringLiteral("Enter") << QStringLiteral("x, Backspace") << utf8;
        QTest::newRow("typed then undone")
            << QStringLiteral("F2") << QStringLiteral("x, undo") << latin1;
        QTest::newRow("undone then redone")
            << QStringLiteral("button") << QStringLiteral("x, undo, redo") << utf8 + "x";
        QTest::newRow("retyped") << QStringLiteral("list Enter") << QStringLiteral("retype")
                                 << utf8;
        // Up in the box brings back the bytes searched, as the command line's are.
        QTest::newRow("typed over, then Up")
            << QStringLiteral("Enter") << QStringLiteral("recall") << latin1;
        QTest::newRow("Up, then edited")
            << QStringLiteral("button") << QStringLiteral("recall, edit") << utf8 + "x";
    }
    void everyTriggerAndEditGivesTheSameBytes() {
        QFETCH(QString, trigger);
        QFETCH(QString, edit);
        QFETCH(QByteArray, searched);
        sifter::ui::TForm1 window({kLatin1Cafe});
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QLineEdit* box = window.Edit1();
        if (trigger == QLatin1String("list Enter")) window.pbSifterClick();  // the list needs rows
        if (edit.startsWith(QLatin1String("x"))) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClick(box, Qt::Key_X);
        }
        if (edit.contains(QLatin1String("Backspace"))) QTest::keyClick(box, Qt::Key_Backspace);
        if (edit.contains(QLatin1String("undo")))
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        if (edit.contains(QLatin1String("redo")))
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        if (edit == QLatin1String("retype")) {
            box->selectAll();
            Type(box, kShownCafe);
        }
        if (edit.startsWith(QLatin1String("recall"))) {
            window.pbSifterClick();
            box->setFocus();
            box->selectAll();
            Type(box, QStringLiteral("other"));
            QTest::keyClick(box, Qt::Key_Up);
        }
        if (edit.endsWith(QLatin1String(", edit"))) {
            QTest::keyClick(box, Qt::Key_X);
        }
        QCOMPARE(box->text(),
                 QString::fromUtf8(searched.endsWith('x') ? kUtf8Cafe + "x" : kUtf8Cafe));

        if (trigger == QLatin1String("Enter")) QTest::keyClick(box, Qt::Key_Return);
        if (trigger == QLatin1String("F2")) QTest::keyClick(&window, Qt::Key_F2);
        if (trigger == QLatin1String("button"))
            QTest::mouseClick(Find<QPushButton>(window, names::kPbSifter), Qt::LeftButton);
        if (trigger == QLatin1String("list Enter")) {
            window.ListBox1()->Clear();
            QTest::keyClick(window.ListBox1(), Qt::Key_Return);
        }
        QCOMPARE(QByteArray::fromStdString(SearchStringRow(window)),
                 "   Search String: \"" + searched + "\"");
    }

    // "café" typed, or handed over in UTF-8 on the command line, finds the UTF-8 line and the
    // Windows-1252 one, exactly as sifter32-cli does.
    void theWindowListsTheRowsOfTheCommandLineCompanion_data() {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed") << true;
        QTest::newRow("on the command line") << false;
    }
    void theWindowListsTheRowsOfTheCommandLineCompanion() {
#ifdef _WIN32
        QSKIP("Windows hands the companion its words in the system's code page, not as typed");
#endif
        QFETCH(bool, typed);
        QProcess cli;
        cli.start(QStringLiteral(SIFTER32_CLI),
                  {QStringLiteral("--"), QString::fromStdString(m_dir->path()), kShownCafe});
        QVERIFY(cli.waitForFinished());
        QCOMPARE(cli.exitCode(), 0);
        const QByteArray listed = cli.readAllStandardOutput();

        sifter::ui::TForm1 window(typed ? std::vector<std::string>{}
                                        : std::vector<std::string>{kUtf8Cafe});
        if (typed) Type(window.Edit1(), kShownCafe);
        window.pbSifterClick();
        const sifter::ResultRows& rows = window.ListBox1()->Model().Rows();
        QByteArray shown;
        for (std::size_t i = 0; i < rows.size(); ++i)
            shown.append(QByteArray::fromStdString(std::string(rows.Text(i)))).append("\r\n");
        QCOMPARE(shown, listed);
        QVERIFY(shown.contains("[1] s := 'caf\xe9';\r\n"));
        QVERIFY(shown.contains("[1] s := 'caf\xc3\xa9';\r\n"));
    }

    // A text typed as UTF-8 and a name in Windows-1252 each read right in the progress label.
    void theProgressLabelDecodesTextAndNameEachOnItsOwn() {
        WriteBytes(*m_dir / "\xe9t\xe9.pas", "caf\xc3\xa9\r\n");
        sifter::ui::TForm1 window({});
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        Type(window.Edit1(), kShownCafe);
        window.pbSifterClick();
        // The label of the last file stays until the next operation.
        QCOMPARE(progress.Label()->text(),
                 QStringLiteral(u"Sifter32 - Searching for \"café\" in été.pas"));
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
};

QTEST_MAIN(SearchTextTest)
#include "search_text_test.moc"
