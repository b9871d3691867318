// The main window's Options menu: subdirectories, whole words, regular expressions and the file
// masks, what they do to the file set, the rows and the file type's captions, and that at their
// defaults nothing differs.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "platform/path_rules.h"
#include "result_list_support.h"
#include "test_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_model.h"
#include "ui/viewer/line_view.h"
#include "ui/viewer/line_viewer.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::test::MaskAnswer;
using sifter::test::WriteBytes;
using sifter::ui::TForm1;
namespace names = sifter::ui::names;
using Texts = std::vector<std::string>;

namespace {

// `directory` and `name` joined, the slashes of both written with the system's separator.
std::string Below(const std::string& directory, const std::string& name) {
    std::string path = directory + "/" + name;
    for (char& c : path)
        if (c == '/') c = sifter::platform::Paths().Separator();
    return path;
}

QStringList Latin1(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) list << QString::fromLatin1(text);
    return list;
}

QString Masks(QDialog& dialog, const char* edit) {
    return Find<QLineEdit>(dialog, edit)->text();
}

}  // namespace

class OptionsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        std::filesystem::create_directories(*m_dir / "sub");
        std::filesystem::create_directories(*m_dir / ".hidden");
        WriteBytes(*m_dir / "a.pas", "Result := 1;\r\nResults\r\n");
        WriteBytes(*m_dir / "c.pp", "Result\r\n");
        WriteBytes(Below(m_dir->path(), "sub/b.pas"), "x\r\nx := Result;\r\nResults\r\n");
        WriteBytes(Below(m_dir->path(), "sub/d.inc"), "Result\r\n");
        WriteBytes(Below(m_dir->path(), ".hidden/e.pas"), "Result\r\n");
        m_window = std::make_unique<TForm1>(std::vector<std::string>{});
        m_progress = std::make_unique<sifter::ui::TForm2>();
        m_window->SetProgressWindow(m_progress.get());
    }
    void cleanup() {
        m_window.reset();
        m_progress.reset();
        m_dir.reset();
    }

    void theMenuSitsBetweenEditAndHelpWithEveryItemOff() {
        QStringList menus;
        for (const QAction* action : m_window->menuBar()->actions()) menus << action->text();
        QCOMPARE(menus, (Latin1({"&File", "&Edit", "&Options", "&Help"})));
        auto* options = Find<QMenu>(*m_window, names::kOptions1Menu);
        QStringList items;
        for (const QAction* action : options->actions()) items << action->text();
        QCOMPARE(items, (Latin1({"Include &Subdirectories", "&Whole Words", "Regular E&xpression",
                                 "File &Masks...", "", "&Only Files with Matches", "Show &Routines",
                                 "Search &In", "&Editor..."})));
        QStringList kinds;
        for (const QAction* action : Find<QMenu>(*m_window, names::kSearchIn1Menu)->actions())
            kinds << (action->isChecked() ? QStringLiteral("+") : QStringLiteral("-")) +
                         action->text();
        QCOMPARE(kinds, (Latin1({"+&Code", "+Co&mments", "+&Strings"})));
        // Usable with an empty search box, while the Edit menu is not.
        QVERIFY(options->menuAction()->isEnabled());
        QVERIFY(!Find<QMenu>(*m_window, names::kEdit1Menu)->menuAction()->isEnabled());
        for (const char* option :
             {names::kIncludeSubdirectories1, names::kWholeWords1, names::kRegularExpression1,
              names::kOnlyFilesWithMatches1, names::kShowRoutines1}) {
            QVERIFY2(Find<QAction>(*m_window, option)->isCheckable(), option);
            QVERIFY2(!Find<QAction>(*m_window, option)->isChecked(), option);
        }
        QVERIFY(!Find<QAction>(*m_window, names::kFileMasks1)->isCheckable());
        QVERIFY(!Find<QAction>(*m_window, names::kEditor1)->isCheckable());
        QVERIFY(m_window->EditorCommand().empty());
        QCOMPARE(Find<QRadioButton>(*m_window, names::kFileType0)->text(),
                 QStringLiteral("&Scripts (*.sc)"));
        QCOMPARE(Find<QRadioButton>(*m_window, names::kFileType1)->text(),
                 QStringLiteral("P&ascal (*.pas)"));
        QVERIFY(m_window->Request().options == sifter::SearchOptions{});
    }

    void atTheDefaultsTheRowsAreTheDocumentedOnes() {
        Search("Result");
        QCOMPARE(Rows(), (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                                "   Search String: \"Result\"", " ", " a.pas - 1 of 1", " ",
                                "[1] Result := 1;", "[2] Results"}));
    }

    void eachOptionChangesTheSetTheRowsAndTheBanner() {
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        QCOMPARE(m_window->FList().Names(), (Texts{"a.pas", Below("sub", "b.pas")}));
        Search("Result");
        QCOMPARE(Rows(), (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                                "   Search String: \"Result\"", "   Options: Subdirectories", " ",
                                " a.pas - 1 of 2", " ", "[1] Result := 1;", "[2] Results", " ",
                                " " + Below("sub", "b.pas") + " - 2 of 2", " ", "[2] x := Result;",
                                "[3] Results"}));
        QCOMPARE(m_window->StatusPanel()->text(),
                 QStringLiteral(" Sifter32 Found 4 instances of \"Result\" in 2 files"));

        Find<QAction>(*m_window, names::kWholeWords1)->trigger();
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        QVERIFY(m_window->Request().rules.wholeWords &&
                !m_window->Request().options.subdirectories);
        QCOMPARE(m_window->FList().Names(), Texts{"a.pas"});
        Search("result");
        QCOMPARE(Rows(), (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                                "   Search String: \"result\"", "   Options: Whole Words", " ",
                                " a.pas - 1 of 1", " ", "[1] Result := 1;"}));
        // Back at the defaults, the documented rows again.
        Find<QAction>(*m_window, names::kWholeWords1)->trigger();
        Search("Results");
        QCOMPARE(Rows(), (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                                "   Search String: \"Results\"", " ", " a.pas - 1 of 1", " ",
                                "[2] Results"}));
    }

    void pascalsOptionsGiveRoutineRowsAndCodeOnlyAndRestWhileScriptsAreChosen() {
        WriteBytes(*m_dir / "a.pas",
                   "procedure A;\r\nbegin\r\n  Result := 1; // Result\r\nend;\r\n{ Result }\r\n");
        WriteBytes(*m_dir / "s.sc", "proc Result()\r\n");
        Find<QAction>(*m_window, names::kShowRoutines1)->trigger();
        Find<QAction>(*m_window, names::kSearchInComments1)->trigger();
        Search("Result");
        QCOMPARE(
            Rows(),
            (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                   "   Search String: \"Result\"", "   Options: Routines, Search In Code/Strings",
                   " ", " a.pas - 1 of 1", " ", " procedure A;", "[3]   Result := 1; // Result"}));
        // Scripts: the items cannot be reached, and change nothing, but keep their marks.
        Find<QRadioButton>(*m_window, names::kFileType0)->click();
        QVERIFY(!Find<QAction>(*m_window, names::kShowRoutines1)->isEnabled());
        QVERIFY(!Find<QMenu>(*m_window, names::kSearchIn1Menu)->menuAction()->isEnabled());
        Search("Result");
        QCOMPARE(Rows().at(3), std::string(" "));
        Find<QRadioButton>(*m_window, names::kFileType1)->click();
        QVERIFY(Find<QAction>(*m_window, names::kShowRoutines1)->isEnabled());
        QVERIFY(m_window->Request().options.routines);
        // No kind at all cannot be searched.
        Find<QAction>(*m_window, names::kSearchInCode1)->trigger();
        Find<QAction>(*m_window, names::kSearchInStrings1)->trigger();
        QVERIFY(sifter::RequestProblem(m_window->Request()).has_value());
    }

    void onlyFilesWithMatchesLeavesOutTheOthersWithTheirNumbersKept() {
        WriteBytes(*m_dir / "b.pas", "nothing\r\n");
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        Find<QAction>(*m_window, names::kOnlyFilesWithMatches1)->trigger();
        QVERIFY(m_window->Request().options.onlyFilesWithMatches);
        Search("x :=");
        QCOMPARE(Rows(),
                 (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                        "   Search String: \"x :=\"",
                        "   Options: Subdirectories, Only Files with Matches", " ",
                        " " + Below("sub", "b.pas") + " - 3 of 3", " ", "[2] x := Result;"}));
        QCOMPARE(m_window->StatusPanel()->text(),
                 QStringLiteral(" Sifter32 Found 1 instances of \"x :=\" in 3 files"));
        // A search that matches nothing lists the heading rows alone.
        Search("absent");
        QCOMPARE(Rows().size(), std::size_t{4});
        // Off again: every file's heading.
        Find<QAction>(*m_window, names::kOnlyFilesWithMatches1)->trigger();
        Search("x :=");
        QCOMPARE(Rows().size(), std::size_t{14});
    }

    void aPatternGivesTheLinesItMatchesAndTheBannerNamesIt() {
        Find<QAction>(*m_window, names::kRegularExpression1)->trigger();
        QVERIFY(m_window->Request().rules.regexp);
        Search("^result\\b");
        QCOMPARE(Rows(),
                 (Texts{"Sifter32 Search Results ", "   Search Path: " + m_dir->path(),
                        "   Search String: \"^result\\b\"", "   Options: Regular Expression", " ",
                        " a.pas - 1 of 1", " ", "[1] Result := 1;"}));
        // With whole words too, a match must stand alone.
        Find<QAction>(*m_window, names::kWholeWords1)->trigger();
        Search("Res\\w{4}");
        QCOMPARE(Rows().back(), "[2] Results");
        Search("Res\\w{3}");
        QCOMPARE(Rows().back(), "[1] Result := 1;");
    }

    void aBadPatternIsRefusedBeforeAnythingIsRead() {
        Search("Result");
        const Texts before = Rows();
        Find<QAction>(*m_window, names::kRegularExpression1)->trigger();
        sifter::test::MessageRecorder messages;
        Search("Result(");
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Warning);
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("missing closing parenthesis at position 7"));
        QCOMPARE(Rows(), before);
        QCOMPARE(m_window->focusWidget(), static_cast<QWidget*>(m_window->Edit1()));
        // As plain text the same is no problem.
        Find<QAction>(*m_window, names::kRegularExpression1)->trigger();
        Search("Result(");
        QCOMPARE(messages.messages().size(), 1);
    }

    void theMaskDialogTakesAListRefusesABadOneAndRestoresTheDefaults() {
        sifter::test::MessageRecorder messages;
        QStringList prefilled;
        bool refusedStaysOpen = false;
        {
            MaskAnswer answer([&](QDialog& dialog) {
                prefilled << Masks(dialog, names::kScriptMasks)
                          << Masks(dialog, names::kPascalMasks);
                Find<QLineEdit>(dialog, names::kPascalMasks)
                    ->setText(QStringLiteral("*.pas;;*.pp"));
                Find<QPushButton>(dialog, names::kOKButton)->click();
                refusedStaysOpen = dialog.result() != QDialog::Accepted;
                Find<QLineEdit>(dialog, names::kPascalMasks)
                    ->setText(QStringLiteral(" *.pas; *.pp "));
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
        }
        QCOMPARE(prefilled, (Latin1({"*.sc", "*.pas"})));
        QVERIFY(refusedStaysOpen);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Warning);
        QVERIFY(messages.messages().front().text.contains(QStringLiteral("empty mask")));
        QCOMPARE(m_window->Request().options.Masks(sifter::FileType::Pascal),
                 std::string("*.pas;*.pp"));
        QCOMPARE(m_window->FList().Mask(), std::string("*.pas;*.pp"));
        QCOMPARE(m_window->FList().Names(), (Texts{"a.pas", "c.pp"}));
        auto* pascal = Find<QRadioButton>(*m_window, names::kFileType1);
        QCOMPARE(pascal->text(), QStringLiteral("P&ascal (*.pas;*.pp)"));
        QCOMPARE(pascal->toolTip(), QStringLiteral("*.pas;*.pp"));
        Search("Result");
        QCOMPARE(Rows().at(3), std::string("   Options: Masks *.pas;*.pp"));

        // A list too long for the caption is cut there and whole in the tooltip.
        const QString many = QStringLiteral("*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk");
        {
            MaskAnswer answer([&](QDialog& dialog) {
                prefilled << Masks(dialog, names::kPascalMasks);
                Find<QLineEdit>(dialog, names::kPascalMasks)->setText(many);
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
        }
        QCOMPARE(prefilled.back(), QStringLiteral("*.pas;*.pp"));
        QVERIFY(pascal->text().startsWith(QStringLiteral("P&ascal (*.pas;")));
        QVERIFY(pascal->text().endsWith(QChar(0x2026)));
        QVERIFY(pascal->fontMetrics().horizontalAdvance(pascal->text().remove(QLatin1Char('&'))) <
                pascal->width());
        QCOMPARE(pascal->toolTip(), many);

        // Defaults then Cancel keeps the lists; Defaults then OK puts the documented ones back.
        for (const char* button : {names::kCancelButton, names::kOKButton}) {
            MaskAnswer answer([&](QDialog& dialog) {
                Find<QPushButton>(dialog, names::kDefaultMasks)->click();
                prefilled << Masks(dialog, names::kScriptMasks)
                          << Masks(dialog, names::kPascalMasks);
                Find<QPushButton>(dialog, button)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
            if (std::string(button) == names::kCancelButton) QCOMPARE(pascal->toolTip(), many);
        }
        QCOMPARE(prefilled.mid(prefilled.size() - 4), (Latin1({"*.sc", "*.pas", "*.sc", "*.pas"})));
        QVERIFY(m_window->Request().options == sifter::SearchOptions{});
        QCOMPARE(pascal->text(), QStringLiteral("P&ascal (*.pas)"));
        QVERIFY(pascal->toolTip().isEmpty());
        QCOMPARE(m_window->FList().Names(), Texts{"a.pas"});
        QCOMPARE(messages.messages().size(), 1);
    }

    void theMaskDialogLeavesDirectoriesOutOfAWalkAndTheBannerNamesThem() {
        sifter::test::MessageRecorder messages;
        std::filesystem::create_directories(Below(m_dir->path(), "sub/Deep"));
        WriteBytes(Below(m_dir->path(), "sub/Deep/f.pas"), "Result\r\n");
        WriteBytes(Below(m_dir->path(), "sub/deep.pas"), "Result\r\n");
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        QCOMPARE(m_window->FList().Names(),
                 (Texts{"a.pas", Below("sub", "b.pas"), Below("sub", "deep.pas"),
                        Below("sub", "Deep/f.pas")}));
        QString prefilled = QStringLiteral("untouched");
        bool refusedStaysOpen = false;
        {
            MaskAnswer answer([&](QDialog& dialog) {
                prefilled = Masks(dialog, names::kLeaveOutDirectories);
                Find<QLineEdit>(dialog, names::kLeaveOutDirectories)
                    ->setText(QStringLiteral("sub/Deep"));
                Find<QPushButton>(dialog, names::kOKButton)->click();
                refusedStaysOpen = dialog.result() != QDialog::Accepted;
                Find<QLineEdit>(dialog, names::kLeaveOutDirectories)
                    ->setText(QStringLiteral(" deep ; *.old "));
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
        }
        QVERIFY(prefilled.isEmpty());
        QVERIFY(refusedStaysOpen);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.messages().front().text.contains(QStringLiteral("path separator")));
        QCOMPARE(m_window->Request().options.leaveOut, std::string("deep;*.old"));
        // A directory by its name, letter case ignored; a file of the same name stays.
        QCOMPARE(m_window->FList().Names(),
                 (Texts{"a.pas", Below("sub", "b.pas"), Below("sub", "deep.pas")}));
        Search("Result");
        QCOMPARE(Rows().at(3), std::string("   Options: Subdirectories, Leave Out deep;*.old"));
        // Without subdirectories nothing is left out, and the banner has nothing to say.
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        Search("Result");
        QCOMPARE(Rows().at(3), std::string(" "));
        // Defaults leaves no directory out.
        {
            MaskAnswer answer([&](QDialog& dialog) {
                prefilled = Masks(dialog, names::kLeaveOutDirectories);
                Find<QPushButton>(dialog, names::kDefaultMasks)->click();
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
        }
        QCOMPARE(prefilled, QStringLiteral("deep;*.old"));
        QVERIFY(m_window->Request().options == sifter::SearchOptions{});
    }

    void aSavedFileAndTheViewerTakeARowFromASubdirectory() {
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        Find<QAction>(*m_window, names::kWholeWords1)->trigger();
        Search("Result");
        const Texts rows = Rows();
        const auto row = std::find(rows.begin(), rows.end(), "[2] x := Result;");
        QVERIFY(row != rows.end());
        m_window->ViewRow(static_cast<int>(row - rows.begin()));
        sifter::ui::LineViewer* viewer = m_window->Viewer();
        QVERIFY(viewer != nullptr);
        QCOMPARE(viewer->Path(), Below(m_dir->path(), "sub/b.pas"));
        QCOMPARE(viewer->View()->Caret().line + 1, 2);
        // The viewer finds what the search found: "Results" on line 3 is no whole word.
        QVERIFY(viewer->View()->GoToMatch(true));
        QCOMPARE(viewer->View()->Caret().line + 1, 2);

        const std::string saved = *m_dir / "saved.txt";
        sifter::ui::SetSaveDialogHook([saved] { return saved; });
        m_window->SaveResultsToFile();
        sifter::ui::SetSaveDialogHook(nullptr);
        QCOMPARE(sifter::test::ReadBytes(saved),
                 sifter::test::SavedBytes(m_window->ListBox1()->Model().Rows()));
        QVERIFY(sifter::test::ReadBytes(saved).find(" " + Below("sub", "b.pas") +
                                                    " - 2 of 2\r\n") != std::string::npos);
    }

    void aSearchAfterAKeystrokeSeesTheWholeWalk() {
        Find<QAction>(*m_window, names::kIncludeSubdirectories1)->trigger();
        // A file made after the option was set, before the keystroke that reads the tree again.
        std::filesystem::create_directories(Below(m_dir->path(), "sub/deeper"));
        WriteBytes(Below(m_dir->path(), "sub/deeper/z.pas"), "Result\r\n");
        QTest::keyClicks(m_window->Edit1(), QStringLiteral("Result"));
        QTest::keyClick(m_window->Edit1(), Qt::Key_Return);
        const Texts rows = Rows();
        QCOMPARE(rows.size(), std::size_t{18});
        QCOMPARE(rows.at(15), " " + Below("sub", "deeper/z.pas") + " - 3 of 3");
    }

private:
    void Search(const char* text) {
        m_window->Edit1()->setText(QString::fromLatin1(text));
        m_window->pbSifterClick();
    }
    Texts Rows() const { return sifter::test::RowTexts(m_window->ListBox1()->Model().Rows()); }

    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<TForm1> m_window;
    std::unique_ptr<sifter::ui::TForm2> m_progress;
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
