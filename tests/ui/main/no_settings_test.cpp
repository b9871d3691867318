// The window program writes no file but the one the user saves and its own settings file: Qt's
// save dialog, used for real, leaves nothing of Qt's in the user's home, and the save still goes
// where it was asked; after the directory searched was removed, it opens in the closest
// directory above it.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

#include "platform/platform.h"
#include "search/settings/settings_file.h"
#include "test_support.h"
#include "ui/application_setup.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

using sifter::test::TempDir;
namespace names = sifter::ui::names;

namespace {

// The home the program runs with; set before the application object reads the environment.
TempDir* g_home = nullptr;

// Everything below `top`, each path relative to it.
QStringList Contents(const std::string& top) {
    QStringList found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top))
        found << QString::fromStdString(std::filesystem::relative(entry.path(), top).string());
    found.sort();
    return found;
}

// The home after a search for "begin" in `searched` by a window with the program's settings
// file: that file alone, holding the search.
void ExpectOnlyTheSettingsFile(const std::string& searched) {
    QCOMPARE(Contents(g_home->path()),
             (QStringList{QStringLiteral(".config"), QStringLiteral(".config/sifter32"),
                          QStringLiteral(".config/sifter32/sifter32.conf")}));
    sifter::KeptSettings kept;
    kept.RememberText("begin");
    kept.RememberDirectory(searched);
    QCOMPARE(sifter::test::ReadBytes(*g_home / ".config/sifter32/sifter32.conf"),
             sifter::SettingsText(kept));
}

}  // namespace

class NoSettingsTest final : public QObject {
    Q_OBJECT

private slots:
    // Each test starts as the program's first run would.
    void init() { std::filesystem::remove_all(*g_home / ".config"); }
    void theRealSaveDialogLeavesTheHomeAsItWas_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("cancelled") << false;
    }
    void theRealSaveDialogLeavesTheHomeAsItWas() {
        QFETCH(bool, save);
        const sifter::test::ScratchDirectory work;
        TempDir out;
        sifter::test::WriteBytes(work / "a.pas", "begin\r\nend\r\n");
        sifter::test::MessageRecorder messages;
        sifter::SettingsFile settings(sifter::platform::SettingsLocation());
        sifter::ui::TForm1 window({}, &settings);
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        window.Edit1()->setText(QStringLiteral("begin"));
        window.pbSifterClick();
        QCOMPARE(window.ListBox1()->RowCount(), 7);

        const std::string target = out / "rows.txt";
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            answered = true;
            auto* name = dialog->findChild<QLineEdit*>(QString::fromLatin1(names::kFileNameEdit));
            if (name == nullptr || !save) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            name->setText(QString::fromStdString(target));
            QTest::keyClick(name, Qt::Key_Return);
        });
        window.SaveResultsToFile();
        QVERIFY(answered);
        QVERIFY(messages.messages().isEmpty());
        if (save) {
            QCOMPARE(sifter::test::ReadBytes(target),
                     sifter::test::SavedBytes(window.ListBox1()->Model().Rows()));
        } else {
            QCOMPARE(Contents(out.path()), QStringList());
        }
        ExpectOnlyTheSettingsFile(work.path());
    }
    void theRealSaveDialogOpensAboveARemovedDirectory();
};

void NoSettingsTest::theRealSaveDialogOpensAboveARemovedDirectory() {
    TempDir top;
    const std::string searched = top / "gone";
    std::filesystem::create_directory(searched);
    sifter::test::CurrentDirectoryGuard cwd;
    sifter::test::ChangeDirectory(searched);
    sifter::test::WriteBytes(searched + "/a.pas", "begin\r\n");
    sifter::test::MessageRecorder messages;
    sifter::SettingsFile settings(sifter::platform::SettingsLocation());
    sifter::ui::TForm1 window({}, &settings);
    window.Edit1()->setText(QStringLiteral("begin"));
    window.pbSifterClick();
    QCOMPARE(window.ListBox1()->RowCount(), 7);
    // The system can no longer name the current directory; the dialog must not fall back to
    // the file system's root, where it would offer to write.
    std::filesystem::remove_all(searched);

    QString opened;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        opened = dialog->directory().absolutePath();
        auto* name = dialog->findChild<QLineEdit*>(QString::fromLatin1(names::kFileNameEdit));
        if (name == nullptr || opened != QString::fromStdString(top.path())) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        QTest::keyClick(name, Qt::Key_Return);  // the name it starts with
    });
    window.SaveResultsToFile();
    QCOMPARE(opened, QString::fromStdString(top.path()));
    QVERIFY(messages.messages().isEmpty());
    QCOMPARE(sifter::test::ReadBytes(top / "sifter.txt"),
             sifter::test::SavedBytes(window.ListBox1()->Model().Rows()));
    ExpectOnlyTheSettingsFile(searched);
}

int main(int argc, char** argv) {
    TempDir home;
    g_home = &home;
    // Qt finds the user's settings through these; the defaults of the others lie in the home.
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    for (const char* name : {"XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) ::unsetenv(name);
    QApplication application(argc, argv);
    sifter::ui::PrepareApplication();
    NoSettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "no_settings_test.moc"
