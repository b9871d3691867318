// Choosing the directory to search from the main window's menu.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "platform/path_rules.h"
#include "platform/platform.h"
#include "search/files/directory_tree.h"
#include "test_support.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/program.h"
#include "ui/results/result_list.h"
#include "ui/viewer/line_viewer.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::ui::TForm3;
namespace names = sifter::ui::names;

namespace {

// Answers the chooser for as long as it lives: selects `path` (when given), then OK or Cancel.
class ChooserAnswer final {
public:
    ChooserAnswer(std::string path, int answer) {
        TForm3::SetAnswerHook([path, answer](TForm3& dialog) {
            if (!path.empty()) Select(dialog.Tree(), path);
            return answer;
        });
    }
    ~ChooserAnswer() { TForm3::SetAnswerHook(nullptr); }
    ChooserAnswer(const ChooserAnswer&) = delete;
    ChooserAnswer& operator=(const ChooserAnswer&) = delete;

private:
    static void Select(sifter::DirectoryTree& tree, const std::string& path) {
        for (sifter::DirectoryTree::Node node = 0; node < tree.NodeCount(); ++node) {
            if (tree.Path(node) == path) {
                tree.Select(node);
                return;
            }
        }
        qFatal("no node for %s", path.c_str());
    }
};

}  // namespace

class ChooseDirectoryTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        std::filesystem::create_directories(*m_dir / "start");
        std::filesystem::create_directories(*m_dir / "other");
        sifter::test::WriteBytes(*m_dir / "start/a.pas", "begin\r\n");
        sifter::test::WriteBytes(*m_dir / "other/b.pas", "begin\r\n");
        sifter::test::WriteBytes(*m_dir / "other/c.pas", "end\r\n");
        sifter::test::ChangeDirectory(*m_dir / "start");
        m_program = std::make_unique<sifter::ui::Program>(std::vector<std::string>{});
        sifter::ui::TForm1& window = m_program->Form1();
        window.Edit1()->setText(QStringLiteral("begin"));
        window.pbSifterClick();
        QCOMPARE(window.ListBox1()->RowCount(), 7);
    }
    void cleanup() {
        m_program.reset();
        m_dir.reset();
    }

    void okTakesTheChosenDirectoryAndClearsTheResults() {
        sifter::ui::TForm1& window = m_program->Form1();
        ChooserAnswer answer(*m_dir / "other", QDialog::Accepted);
        Find<QAction>(window, names::kSearchDirectory1)->trigger();
        QCOMPARE(window.FList().Directory(), *m_dir / "other");
        QCOMPARE(window.FList().Count(), 2);
        QCOMPARE(sifter::test::CurrentDirectory(), *m_dir / "other");
        QCOMPARE(window.windowTitle(), QStringLiteral("Sifter32 - Search Path: ") +
                                           QString::fromStdString(*m_dir / "other"));
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QVERIFY(window.StatusPanel()->text().isEmpty());
        QVERIFY(!window.ListBox1()->isEnabled());
        // The chooser's own title keeps the directory it was made in.
        QCOMPARE(m_program->Form3().windowTitle(),
                 QStringLiteral("Working Dir: ") + QString::fromStdString(*m_dir / "start"));
    }

    void ctrlZInTheSearchBoxBringsTheClearedListBackWithItsOwnFiles() {
        sifter::ui::TForm1& window = m_program->Form1();
        const QString summary = window.StatusPanel()->text();
        ChooserAnswer answer(*m_dir / "other", QDialog::Accepted);
        window.SearchDirectory1Click();
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QCOMPARE(window.focusWidget(), static_cast<QWidget*>(window.Edit1()));
        QTest::keyClick(window.Edit1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window.ListBox1()->RowCount(), 7);
        QVERIFY(window.ListBox1()->isEnabled());
        QCOMPARE(window.StatusPanel()->text(), summary);
        QCOMPARE(window.Edit1()->text(), QStringLiteral("begin"));
        // The directory chosen stays; the rows lead to the files they came from.
        QCOMPARE(window.FList().Directory(), *m_dir / "other");
        window.ViewRow(6);
        QCOMPARE(window.Viewer()->Path(),
                 *m_dir / "start" + sifter::platform::Paths().Separator() + "a.pas");
        // One step back only: now Ctrl+Z in the box undoes typing again.
        window.Edit1()->setFocus();
        QTest::keyClicks(window.Edit1(), QStringLiteral("x"));
        QTest::keyClick(window.Edit1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window.Edit1()->text(), QStringLiteral("begin"));
        QCOMPARE(window.ListBox1()->RowCount(), 7);
    }

    void okWithoutMovingStillClearsTheResults() {
        sifter::ui::TForm1& window = m_program->Form1();
        ChooserAnswer answer(std::string(), QDialog::Accepted);
        window.SearchDirectory1Click();
        QCOMPARE(window.FList().Directory(), *m_dir / "start");
        QCOMPARE(window.ListBox1()->RowCount(), 0);
        QVERIFY(window.StatusPanel()->text().isEmpty());
    }

    void cancelAfterMovingLeavesTheWindowButNotTheCurrentDirectory() {
        sifter::ui::TForm1& window = m_program->Form1();
        const QString title = window.windowTitle();
        const QString summary = window.StatusPanel()->text();
        ChooserAnswer answer(*m_dir / "other", QDialog::Rejected);
        window.SearchDirectory1Click();
        QCOMPARE(sifter::test::CurrentDirectory(), *m_dir / "other");
        QCOMPARE(window.FList().Directory(), *m_dir / "start");
        QCOMPARE(window.FList().Count(), 1);
        QCOMPARE(window.windowTitle(), title);
        QCOMPARE(window.StatusPanel()->text(), summary);
        QCOMPARE(window.ListBox1()->RowCount(), 7);
        // The next read puts the file set's directory back.
        window.UpdateStat();
        QCOMPARE(sifter::test::CurrentDirectory(), *m_dir / "start");
    }

    void aChosenDirectoryThatVanishedShowsTheErrorAndChangesNothing() {
#ifdef _WIN32
        QSKIP("Windows removes no directory that is a process's current one");
#endif
        sifter::ui::TForm1& window = m_program->Form1();
        sifter::test::MessageRecorder messages;
        TForm3::SetAnswerHook([&](TForm3& dialog) {
            for (sifter::DirectoryTree::Node node = 0; node < dialog.Tree().NodeCount(); ++node)
                if (dialog.Tree().Path(node) == *m_dir / "other") dialog.Tree().Select(node);
            std::filesystem::remove_all(*m_dir / "other");
            return int(QDialog::Accepted);
        });
        sifter::ui::Guarded([&] { window.SearchDirectory1Click(); });
        TForm3::SetAnswerHook(nullptr);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().text, QStringLiteral("File not found."));
        QCOMPARE(window.FList().Directory(), *m_dir / "start");
        QCOMPARE(window.ListBox1()->RowCount(), 7);
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<sifter::ui::Program> m_program;
};

QTEST_MAIN(ChooseDirectoryTest)
#include "choose_directory_test.moc"
