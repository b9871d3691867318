// The window and sifter32-cli read the same files for every combination of the options: both
// ask the engine which files a search of these options reads.

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "app/cli_options.h"
#include "test_support.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui_test_support.h"

using sifter::test::Find;
namespace names = sifter::ui::names;

class SameFilesTest final : public QObject {
    Q_OBJECT

private slots:
    void theWindowAndTheCompanionReadTheSameFiles() {
        sifter::test::ScratchDirectory dir;
        for (const char* sub : {"sub/deeper", "sub/Old.bak", ".hidden"})
            std::filesystem::create_directories(dir / sub);
        // Names two masks of a list match, letter case, a hidden directory, both file types.
        for (const char* name :
             {"a.pas", "B.PAS", "c.pp", "unit1.pas", "d.sc", "e.SC", "sub/f.pas", "sub/g.pp",
              "sub/h.sc", "sub/deeper/i.pas", "sub/Old.bak/l.pas", ".hidden/j.pas", "k.txt"})
            sifter::test::WriteBytes(dir / name, "");
        sifter::ui::TForm1 window({});
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        window.Edit1()->setText(QStringLiteral("x"));
        const char* const pascalLists[] = {"*.pas", "*.pas;unit?.pas;*.pp"};
        const char* const scriptLists[] = {"*.sc", "*.sc;E*"};
        const char* const leaveOutLists[] = {"", "DEEPER;*.bak"};
        for (int combination = 0; combination < 64; ++combination) {
            const bool scripts = (combination & 1) != 0;
            const bool subdirectories = (combination & 2) != 0;
            const bool wholeWords = (combination & 4) != 0;
            const bool regexp = (combination & 8) != 0;
            const bool ownMasks = (combination & 16) != 0;
            const char* const leaveOut = leaveOutLists[(combination & 32) != 0];
            Find<QRadioButton>(window, scripts ? names::kFileType0 : names::kFileType1)->click();
            const auto set = [&](const char* item, bool on) {
                auto* action = Find<QAction>(window, item);
                if (action->isChecked() != on) action->trigger();
            };
            set(names::kIncludeSubdirectories1, subdirectories);
            set(names::kWholeWords1, wholeWords);
            set(names::kRegularExpression1, regexp);
            const std::string masks = scripts ? scriptLists[ownMasks] : pascalLists[ownMasks];
            {
                sifter::test::MaskAnswer answer([&](QDialog& dialog) {
                    Find<QLineEdit>(dialog, names::kScriptMasks)
                        ->setText(QString::fromLatin1(scriptLists[ownMasks]));
                    Find<QLineEdit>(dialog, names::kPascalMasks)
                        ->setText(QString::fromLatin1(pascalLists[ownMasks]));
                    Find<QLineEdit>(dialog, names::kLeaveOutDirectories)
                        ->setText(QString::fromLatin1(leaveOut));
                    Find<QPushButton>(dialog, names::kOKButton)->click();
                });
                Find<QAction>(window, names::kFileMasks1)->trigger();
            }

            std::vector<std::string> arguments;
            if (scripts) arguments.emplace_back("--scripts");
            if (subdirectories) arguments.emplace_back("-r");
            if (wholeWords) arguments.emplace_back("-w");
            if (regexp) arguments.emplace_back("-E");
            arguments.insert(arguments.end(), {"--mask", masks, "--exclude-dir", leaveOut});
            arguments.insert(arguments.end(), {dir.path(), "x"});
            const sifter::cli::Options options = sifter::cli::ParseOptions(arguments);
            QCOMPARE(options.action, sifter::cli::Options::Action::Search);
            sifter::FileSet files(sifter::platform::System(), std::string());
            sifter::cli::ReadSearchedFiles(options, files);
            sifter::test::ChangeDirectory(dir.path());

            const std::string what = "combination " + std::to_string(combination);
            QVERIFY2(!files.Names().empty(), what.c_str());
            QVERIFY2(window.FList().Names() == files.Names(), what.c_str());
            QVERIFY2(window.FList().Unreadable() == files.Unreadable(), what.c_str());
        }
    }
};

QTEST_MAIN(SameFilesTest)
#include "same_files_test.moc"
