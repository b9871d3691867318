// A search and two saves, one through the engine and one through the window, made so that
// tests/cli/security_test.sh can watch them under strace. Run alone it checks the saved
// bytes; under the trace, a failed open of a mark name before and after each save tells the
// save's own system calls apart from those of the test around it.

#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QLineEdit>
#include <QtTest>

#include "search/files/file_set.h"
#include "search/run/save_results.h"
#include "search/run/search_run.h"
#include "test_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

// Leaves "<directory>/.trace-mark-<what>" in the trace as an open that fails.
void Mark(const std::string& directory, const char* what) {
    const int fd = ::open((directory + "/.trace-mark-" + what).c_str(), O_RDONLY);
    if (fd >= 0) ::close(fd);
}

}  // namespace

class SaveTraceTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        sifter::test::WriteBytes("a.pas", "program a;\r\nbegin hit\r\nend.\r\n");
        sifter::test::WriteBytes("b.pas", std::string(300, 'x') + " hit\r\n");
    }
    void cleanup() {
        sifter::ui::SetSaveDialogHook(nullptr);
        m_dir.reset();
    }

    void savingThroughTheEngineWritesOnlyTheNamedFile() {
        sifter::FileSet files;
        files.SetMask("*.pas");
        sifter::ResultRows rows;
        sifter::RunSearch({.fileType = sifter::FileType::Pascal, .text = "hit"}, files, rows);
        QCOMPARE(rows.size(), std::size_t(11));
        const std::string name = *m_dir / "engine.txt";
        Mark(m_dir->path(), "save-begins");
        const sifter::SaveOutcome outcome = sifter::SaveRows(name, rows, nullptr);
        Mark(m_dir->path(), "save-ends");
        QCOMPARE(outcome, sifter::SaveOutcome::Saved);
        QCOMPARE(sifter::test::ReadBytes(name), sifter::test::SavedBytes(rows));
    }

    void savingFromTheWindowWritesOnlyTheNamedFile() {
        sifter::test::MessageRecorder messages;
        sifter::ui::TForm1 window({});
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        window.Edit1()->setText(QStringLiteral("hit"));
        Find<QAction>(window, names::kSifter1)->trigger();
        const sifter::ResultRows& rows = window.ListBox1()->Model().Rows();
        QCOMPARE(rows.size(), std::size_t(11));
        const std::string name = *m_dir / "window.txt";
        sifter::ui::SetSaveDialogHook([name] { return std::optional<std::string>(name); });
        Mark(m_dir->path(), "save-begins");
        Find<QAction>(window, names::kSavetoFile1)->trigger();
        Mark(m_dir->path(), "save-ends");
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(sifter::test::ReadBytes(name), sifter::test::SavedBytes(rows));
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
};

QTEST_MAIN(SaveTraceTest)
#include "save_trace_test.moc"
