// The windows over a file system that fails on purpose: what the user sees when a read, an
// open, a write, a close or a change of directory fails, and that the program goes on.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <cerrno>

#include "fault_support.h"
#include "result_list_support.h"
#include "search/io_error.h"
#include "test_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/program.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

// Faults are written with designated initializers that leave the other fields at their
// defaults on purpose; GCC warns about every such omission.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using sifter::platform::MapSystemError;
using sifter::test::Call;
using sifter::test::Fault;
using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

// Line 2 runs across the reader's first 128-byte block.
const std::string kLine1 = "hit one";
const std::string kLine2 = "hit two " + std::string(150, '.');
const std::string kLine3 = "hit three";

}  // namespace

class FaultInjectionWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        sifter::test::WriteBytes("a.pas", kLine1 + "\r\n" + kLine2 + "\r\n" + kLine3 + "\r\n");
        sifter::test::WriteBytes("b.pas", "hit in b\r\n");
        m_system = std::make_unique<sifter::test::FaultySystem>();
        m_scoped = std::make_unique<sifter::platform::ScopedSystem>(*m_system);
        m_program = std::make_unique<sifter::ui::Program>(std::vector<std::string>{});
        QTest::keyClicks(Window().Edit1(), QStringLiteral("hit"));
    }
    void cleanup() {
        sifter::ui::SetSaveDialogHook(nullptr);
        m_program.reset();
        m_scoped.reset();
        m_system.reset();
        m_dir.reset();
    }

    void aFailedReadEndsItsLineAndTheSearchGoesOnWithTheNextFile() {
        sifter::test::MessageRecorder messages;
        m_system->Inject({.call = Call::Read,
                          .times = Fault::kForever,
                          .error = 5,
                          .after = 128,
                          .name = "a.pas"});
        Search();
        QCOMPARE(sifter::test::RowTexts(Rows()),
                 Expected({"[1] " + kLine1, "[2] " + kLine2.substr(0, 119)}, true));
        QCOMPARE(Window().StatusPanel()->text(),
                 QStringLiteral(" Sifter32 Found 3 instances of \"hit\" in 2 files"));
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(sifter::PendingError(), 0);
        m_system->Disarm();
        Search();
        QCOMPARE(sifter::test::RowTexts(Rows()),
                 Expected({"[1] " + kLine1, "[2] " + kLine2, "[3] " + kLine3}, true));
    }

    void aFileThatCannotBeOpenedGivesItsHeadingOnlyWithoutAMessage_data() {
        QTest::addColumn<int>("error");
        QTest::newRow("access denied") << 5;
        QTest::newRow("too many open files") << int(MapSystemError(EMFILE));
        QTest::newRow("held by another process") << 32;
    }
    void aFileThatCannotBeOpenedGivesItsHeadingOnlyWithoutAMessage() {
        QFETCH(int, error);
        sifter::test::MessageRecorder messages;
        m_system->Inject(
            {.call = Call::OpenRead, .times = Fault::kForever, .error = error, .name = "a.pas"});
        Search();
        QCOMPARE(sifter::test::RowTexts(Rows()), Expected({}, true));
        QCOMPARE(Window().StatusPanel()->text(),
                 QStringLiteral(" Sifter32 Found 1 instances of \"hit\" in 2 files"));
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(Find<QAction>(Window(), names::kSavetoFile1)->isEnabled());
    }

    void aFailedSaveShowsTheErrorBoxAndKeepsTheBlocksWrittenBeforeIt_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("kept");
        // Ten rows of 32 bytes and one of 6 with their line ends: two blocks and 70 bytes.
        QTest::newRow("disk full in the second block")
            << int(Call::Write) << 112 << 200 << QStringLiteral("I/O error 112.") << 128;
        QTest::newRow("access denied in the first block")
            << int(Call::Write) << 5 << 0 << QStringLiteral("File access denied.") << 0;
        QTest::newRow("too many open files") << int(Call::Write) << int(MapSystemError(EMFILE))
                                             << 100 << QStringLiteral("Too many open files.") << 0;
        QTest::newRow("the write-out at close") << int(Call::Write) << int(MapSystemError(ENOSPC))
                                                << 300 << QStringLiteral("I/O error 112.") << 256;
        QTest::newRow("the release at close") << int(Call::Release) << int(MapSystemError(EBADF))
                                              << 0 << QStringLiteral("I/O error 1009.") << 326;
    }
    void aFailedSaveShowsTheErrorBoxAndKeepsTheBlocksWrittenBeforeIt() {
        QFETCH(int, call);
        QFETCH(int, error);
        QFETCH(int, after);
        QFETCH(QString, shown);
        QFETCH(int, kept);
        sifter::ResultRows rows;
        for (int i = 10; i < 20; ++i)
            rows.AddRow("[" + std::to_string(i) + "] " + std::string(25, 'x'),
                        sifter::RowKind::Match);
        rows.AddRow("last", sifter::RowKind::Heading);
        Window().ListBox1()->SetRows(std::move(rows),
                                     std::make_shared<const sifter::ui::EntryPictures>());
        Window().UpdateStat();
        const std::string full = sifter::test::SavedBytes(Rows());
        QCOMPARE(full.size(), 326u);
        const QString status = Window().StatusPanel()->text();
        sifter::test::MessageRecorder messages;
        m_system->Inject({.call = Call(call), .error = error, .after = after});
        Save("results.txt");
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().caption, QStringLiteral("Sifter32"));
        QCOMPARE(messages.messages().front().text, shown);
        QCOMPARE(sifter::test::ReadBytes("results.txt"), full.substr(0, std::size_t(kept)));
        QVERIFY(!m_program->Form2().isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(Window().StatusPanel()->text(), status);
        // The program goes on: the next save, with nothing failing, writes every row.
        messages.clear();
        m_system->Disarm();
        Save("results.txt");
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(sifter::test::ReadBytes("results.txt"), full);
    }

    void aFileThatCannotBeCreatedGivesTheWarning() {
        Search();
        sifter::test::MessageRecorder messages;
        m_system->Inject({.call = Call::Create, .error = MapSystemError(EMFILE)});
        Save("results.txt");
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Warning);
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("File access error - probably a bad filename."));
        QVERIFY(!std::filesystem::exists(*m_dir / "results.txt"));
        QVERIFY(!m_program->Form2().isVisible());
    }

    void aDirectoryThatCannotBeMadeCurrentShowsTheErrorBoxAndTheWindowGoesOn_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("removed") << int(MapSystemError(ENOENT))
                                 << QStringLiteral("File not found.");
        QTest::newRow("access denied")
            << int(MapSystemError(EACCES)) << QStringLiteral("File access denied.");
        QTest::newRow("no longer a directory")
            << int(MapSystemError(ENOTDIR)) << QStringLiteral("Invalid filename.");
        QTest::newRow("stale") << int(MapSystemError(ESTALE))
                               << QStringLiteral("I/O error %1.").arg(1000 + ESTALE);
    }
    void aDirectoryThatCannotBeMadeCurrentShowsTheErrorBoxAndTheWindowGoesOn() {
        QFETCH(int, error);
        QFETCH(QString, shown);
        Search();
        const std::vector<std::string> rows = sifter::test::RowTexts(Rows());
        sifter::test::WriteBytes("c.pas", "hit in c\r\n");
        sifter::test::ChangeDirectory("/");
        sifter::test::MessageRecorder messages;
        m_system->Inject(
            {.call = Call::SetCurrentDirectory, .error = error, .name = m_dir->path()});
        QTest::keyClick(Window().Edit1(), Qt::Key_S);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().text, shown);
        QCOMPARE(Window().FList().Directory(), m_dir->path());
        QCOMPARE(Window().FList().Names(), (std::vector<std::string>{"a.pas", "b.pas"}));
        QCOMPARE(sifter::test::CurrentDirectory(), std::string("/"));
        QCOMPARE(sifter::test::RowTexts(Rows()), rows);
        // The next keystroke reads the directory again, and a search finds the new file.
        QTest::keyClick(Window().Edit1(), Qt::Key_Backspace);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(Window().FList().Count(), 3);
        Search();
        QCOMPARE(Rows().size(), 17u);
    }

    void aStartDirectoryThatCannotBeEnteredShowsTheErrorBoxAndStartsWhereItStands() {
        std::filesystem::create_directory(*m_dir / "sub");
        sifter::test::WriteBytes(*m_dir / "sub/s.pas", "hit in s\r\n");
        sifter::test::MessageRecorder messages;
        m_system->Inject({.call = Call::SetCurrentDirectory,
                          .times = Fault::kForever,
                          .error = 5,
                          .name = "sub"});
        sifter::ui::Program program({"sub", "hit", "/A"});
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().text, QStringLiteral("File access denied."));
        QCOMPARE(program.Form1().FList().Directory(), m_dir->path());
        program.RunAutoSearch();
        QCOMPARE(program.Form1().ListBox1()->RowCount(), 0);  // the error ended the start-up
        QCOMPARE(program.Form1().Edit1()->text(), QString());
        program.Form1().Edit1()->setText(QStringLiteral("hit"));
        program.Form1().pbSifterClick();
        QCOMPARE(program.Form1().ListBox1()->RowCount(), 13);
    }

private:
    sifter::ui::TForm1& Window() const { return m_program->Form1(); }
    const sifter::ResultRows& Rows() const { return Window().ListBox1()->Model().Rows(); }

    void Search() { Find<QAction>(Window(), names::kSifter1)->trigger(); }

    void Save(const std::string& name) {
        sifter::ui::SetSaveDialogHook([name] { return std::optional<std::string>(name); });
        Find<QAction>(Window(), names::kSavetoFile1)->trigger();
    }

    std::vector<std::string> Expected(const std::vector<std::string>& aRows, bool withB) const {
        std::vector<std::string> rows = {
            "Sifter32 Search Results ",  "   Search Path: " + m_dir->path(),
            "   Search String: \"hit\"", " ",
            " a.pas - 1 of 2",           " "};
        rows.insert(rows.end(), aRows.begin(), aRows.end());
        for (const char* row : {" ", " b.pas - 2 of 2", " "}) rows.emplace_back(row);
        if (withB) rows.emplace_back("[1] hit in b");
        return rows;
    }

    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<sifter::test::FaultySystem> m_system;
    std::unique_ptr<sifter::platform::ScopedSystem> m_scoped;
    std::unique_ptr<sifter::ui::Program> m_program;
};

QTEST_MAIN(FaultInjectionWindowTest)
#include "fault_injection_window_test.moc"
