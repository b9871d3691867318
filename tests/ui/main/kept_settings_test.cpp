// What the window keeps between runs: one run's choices are the next run's start, the
// documented controls start as documented all the same, a damaged file gives the defaults and a
// note; Up and Down in the search box, the recent directories and a folder dropped on the window.

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QtTest>
#include <filesystem>

#include "fault_support.h"
#include "search/settings/settings_file.h"
#include "test_support.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui_test_support.h"

using sifter::KeptSettings;
using sifter::SettingsFile;
using sifter::test::Find;
using sifter::test::WriteBytes;
using sifter::ui::TForm1;
namespace names = sifter::ui::names;

namespace {

QStringList ItemTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) texts << action->text();
    return texts;
}

// A drag of `path` from a file manager onto `target`: whether it was taken.
bool Drop(QWidget* target, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    data.setText(QString::fromStdString(path));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

}  // namespace

class KeptSettingsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        for (const char* name : {"sub", "a&b", "config"})
            std::filesystem::create_directories(*m_dir / name);
        WriteBytes(*m_dir / "a.pas", "Result\r\nbegin\r\n");
        WriteBytes(*m_dir / "s.sc", "begin\r\n");
        WriteBytes(*m_dir / "sub/b.pas", "begin\r\n");
        WriteBytes(*m_dir / "a&b/c.pas", "begin\r\n");
        const std::string directory = sifter::platform::PathInDirectory(*m_dir / "config", "s32");
        m_place = {*m_dir / "config", directory,
                   sifter::platform::PathInDirectory(directory, "sifter32.conf")};
    }
    void cleanup() {
        QVERIFY(m_messages.messages().isEmpty());
        m_dir.reset();
    }

    void oneRunsChoicesAreTheNextRunsStart() {
        KeptSettings wanted;
        {
            SettingsFile file(m_place);
            TForm1 window({}, &file);
            Find<QAction>(window, names::kIncludeSubdirectories1)->trigger();
            Find<QAction>(window, names::kRegularExpression1)->trigger();
            Find<QAction>(window, names::kOnlyFilesWithMatches1)->trigger();
            sifter::test::MaskAnswer answer([](QDialog& dialog) {
                Find<QLineEdit>(dialog, names::kScriptMasks)->setText(QStringLiteral("*.sc;*.x"));
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(window, names::kFileMasks1)->trigger();
            // The documented controls are not kept.
            Find<QRadioButton>(window, names::kFileType0)->click();
            Search(window, "Result");
            Find<QCheckBox>(window, names::kCaseSensitive)->setChecked(true);
            Find<QCheckBox>(window, names::kDoProcs)->setChecked(true);
            Search(window, "begin");
            window.SetEditorCommand("gvim +{line} {file}");
            wanted.switches = {{names::kIncludeSubdirectories1, true},
                               {names::kRegularExpression1, true},
                               {names::kOnlyFilesWithMatches1, true}};
            wanted.masks = {"*.sc;*.x", "*.pas"};
            wanted.editor = "gvim +{line} {file}";
            wanted.texts = {"begin", "Result"};
            wanted.directories = {m_dir->path()};
            QCOMPARE(window.Kept(), wanted);
        }
        QCOMPARE(sifter::test::ReadBytes(m_place.file), sifter::SettingsText(wanted));

        // Nothing changes in the next run: nothing is written.
        sifter::test::FaultySystem system;
        system.Inject({.call = sifter::test::Call::Create, .occurrence = 1000});
        SettingsFile file(m_place, system);
        TForm1 window({}, &file);
        QVERIFY(Find<QAction>(window, names::kIncludeSubdirectories1)->isChecked());
        QVERIFY(Find<QAction>(window, names::kRegularExpression1)->isChecked());
        QVERIFY(!Find<QAction>(window, names::kWholeWords1)->isChecked());
        QVERIFY(window.Request().options.onlyFilesWithMatches);
        QCOMPARE(window.Request().options.Masks(sifter::FileType::Scripts),
                 std::string("*.sc;*.x"));
        QCOMPARE(
            window.FList().Names(),
            (std::vector<std::string>{"a.pas", sifter::platform::PathInDirectory("a&b", "c.pas"),
                                      sifter::platform::PathInDirectory("sub", "b.pas")}));
        QCOMPARE(window.EditorCommand(), std::string("gvim +{line} {file}"));
        QCOMPARE(window.Kept(), wanted);
        QVERIFY(Find<QRadioButton>(window, names::kFileType1)->isChecked());
        QVERIFY(!Find<QCheckBox>(window, names::kCaseSensitive)->isChecked());
        QVERIFY(!Find<QCheckBox>(window, names::kDoProcs)->isChecked());
        QVERIFY(window.Edit1()->text().isEmpty());
        QVERIFY(window.StatusPanel()->text().isEmpty());
        QCOMPARE(window.OptionsPanel()->toolTip(),
                 QStringLiteral(" Subdirectories \u00B7 Regular Expression \u00B7 Only Files with "
                                "Matches"));
        Search(window, "begin");
        QCOMPARE(system.seen(), 0);
        QCOMPARE(sifter::test::ReadBytes(m_place.file), sifter::SettingsText(wanted));
    }

    void aFileThatCannotBeTakenGivesTheDefaultsAndANote_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: a directory stands in its place
        QTest::addColumn<QString>("note");
        QTest::newRow("damaged") << QByteArray("option.WholeWords1=1\nmasks.pascal=a/b\n")
                                 << QStringLiteral(" Settings damaged in %1, line 2: The mask");
        QTest::newRow("not a file")
            << QByteArray() << QStringLiteral(" Settings not read from %1: ");
    }
    void aFileThatCannotBeTakenGivesTheDefaultsAndANote() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, note);
        std::filesystem::create_directories(m_place.directory);
        if (bytes.isEmpty())
            std::filesystem::create_directories(m_place.file);
        else
            WriteBytes(m_place.file, bytes.toStdString());
        SettingsFile file(m_place);
        TForm1 window({}, &file);
        QVERIFY(!Find<QAction>(window, names::kWholeWords1)->isChecked());
        QVERIFY(window.Request().options == sifter::SearchOptions{});
        QVERIFY(window.StatusPanel()->text().isEmpty());
        QVERIFY(!window.OptionsPanel()->isHidden());
        QVERIFY(window.OptionsPanel()->toolTip().startsWith(
            note.arg(QString::fromStdString(m_place.file))));
        // The options chosen next take the panel's place.
        Find<QAction>(window, names::kWholeWords1)->trigger();
        QCOMPARE(window.OptionsPanel()->toolTip(), QStringLiteral(" Whole Words"));
        Find<QAction>(window, names::kWholeWords1)->trigger();
        QVERIFY(window.OptionsPanel()->isHidden());
    }

    void upAndDownStepThroughTheTextsSearched_data() {
        QTest::addColumn<QString>("keys");  // U, D, or a letter typed
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << ""
                              << "dr";
        QTest::newRow("Up") << "U"
                            << "three";
        QTest::newRow("Up, Up") << "UU"
                                << "two";
        QTest::newRow("past the oldest") << "UUUUU"
                                         << "one";
        QTest::newRow("back to the text typed") << "UUDD"
                                                << "dr";
        QTest::newRow("Down alone") << "D"
                                    << "dr";
        QTest::newRow("an edited one is the text typed") << "UUxU"
                                                         << "three";
        QTest::newRow("and Down gives it back") << "UUxUD"
                                                << "twox";
    }
    void upAndDownStepThroughTheTextsSearched() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        TForm1 window({});
        for (const char* text : {"one", "two", "three", "two", "three"}) Search(window, text);
        QCOMPARE(window.Kept().texts, (std::vector<std::string>{"three", "two", "one"}));
        QLineEdit* box = window.Edit1();
        box->clear();
        QTest::keyClicks(box, QStringLiteral("dr"));
        for (const QChar key : keys) {
            if (key == QLatin1Char('U'))
                QTest::keyClick(box, Qt::Key_Up);
            else if (key == QLatin1Char('D'))
                QTest::keyClick(box, Qt::Key_Down);
            else
                QTest::keyClicks(box, QString(key));
        }
        QCOMPARE(box->text(), shown);
        QCOMPARE(window.Request().text, shown.toStdString());
        // The keys change nothing else: no search, and the list stays.
        QCOMPARE(window.Kept().texts, (std::vector<std::string>{"three", "two", "one"}));
    }

    void recentDirectoriesAndDroppedFoldersDoWhatTheChoosersOkDoes() {
        TForm1 window({});
        auto* recent = Find<QMenu>(window, names::kRecentDirectories1);
        QVERIFY(!recent->menuAction()->isEnabled());
        Search(window, "begin");
        // Anything but one folder is left to whatever takes it.
        QVERIFY(!Drop(&window, *m_dir / "a.pas"));
        QVERIFY(!Drop(&window, *m_dir / "gone"));
        QVERIFY(window.ListBox1()->RowCount() > 0);
        QVERIFY(Drop(window.Edit1(), *m_dir / "a&b"));
        QCOMPARE(window.FList().Directory(), *m_dir / "a&b");
        QCOMPARE(sifter::test::CurrentDirectory(), *m_dir / "a&b");
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QVERIFY(window.StatusPanel()->text().isEmpty());
        QCOMPARE(window.Edit1()->text(), QStringLiteral("begin"));
        QVERIFY(Drop(&window, *m_dir / "sub"));
        Search(window, "begin");
        QVERIFY(recent->menuAction()->isEnabled());
        QCOMPARE(ItemTexts(*recent),
                 (QStringList{QStringLiteral("&1 ") + QString::fromStdString(*m_dir / "sub"),
                              QStringLiteral("&2 ") + QString::fromStdString(m_dir->path())}));
        QVERIFY(Drop(&window, *m_dir / "a&b"));
        Search(window, "begin");
        QCOMPARE(ItemTexts(*recent).front(),
                 QStringLiteral("&1 ") + QString::fromStdString(*m_dir / "a&&b"));

        const std::string top = m_dir->path();
        sifter::test::ChangeDirectory(*m_dir / "sub");
        Find<QAction>(window, (std::string(names::kRecentDirectory) + "3").c_str())->trigger();
        QCOMPARE(window.FList().Directory(), top);
        QCOMPARE(sifter::test::CurrentDirectory(), top);
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QCOMPARE(window.FList().Names(), std::vector<std::string>{"a.pas"});
        // Only a search moves a directory up the list.
        QCOMPARE(ItemTexts(*recent).size(), qsizetype{3});
        QCOMPARE(ItemTexts(*recent).back(), QStringLiteral("&3 ") + QString::fromStdString(top));
    }

private:
    static void Search(TForm1& window, const char* text) {
        window.Edit1()->setText(QString::fromLatin1(text));
        window.pbSifterClick();
    }

    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    sifter::platform::SettingsPlace m_place;
    sifter::test::MessageRecorder m_messages;  // none is expected; none may block
};

QTEST_MAIN(KeptSettingsTest)
#include "kept_settings_test.moc"
