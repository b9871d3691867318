// The main window on directories that try to break it: 100,000 files, odd names, binary
// bytes, FIFOs, sockets and links, and files or directories that change while they are read.
// Each case checks what the window shows and that it still answers afterwards.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>
#include <filesystem>

#include "fault_support.h"
#include "result_list_support.h"
#include "search/io_error.h"
#include "test_support.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

// Faults are written with designated initializers that leave the other fields at their
// defaults on purpose; GCC warns about every such omission.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using sifter::test::Call;
using sifter::test::WriteBytes;
namespace fs = std::filesystem;

using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

// The rows a search for "hit" gives over `files`, each with its match rows.
std::vector<std::string> Expected(
    const std::string& directory,
    const std::vector<std::pair<std::string, std::vector<std::string>>>& files) {
    std::vector<std::string> rows = {"Sifter32 Search Results ", "   Search Path: " + directory,
                                     "   Search String: \"hit\""};
    for (std::size_t i = 0; i < files.size(); ++i) {
        rows.insert(rows.end(), {" ",
                                 " " + files[i].first + " - " + std::to_string(i + 1) + " of " +
                                     std::to_string(files.size()),
                                 " "});
        rows.insert(rows.end(), files[i].second.begin(), files[i].second.end());
    }
    return rows;
}

}  // namespace

class HostileWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<sifter::test::ScratchDirectory>(); }
    void cleanup() {
        m_window.reset();
        m_scoped.reset();
        m_system.reset();
        m_dir.reset();
    }

    void aHundredThousandFilesAreAllListedAndSearched() {
        const std::string many = *m_dir / "many";
        fs::create_directory(many);
        for (int i = 0; i < 100000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "/f%06d.pas", i);
            const int fd = ::open((many + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        WriteBytes(many + "/f000000.pas", "a hit\r\n");
        WriteBytes(many + "/f099999.pas", "hit\r\n");
        // Given on the command line, the directory is read under the layout's mask first,
        // which lists none of its files.
        Open({many});
        QCOMPARE(m_window->FList().Count(), 100000);
        Search(QStringLiteral("hit"));
        const sifter::ResultRows& rows = m_window->ListBox1()->Model().Rows();
        QCOMPARE(rows.size(), std::size_t(300005));
        QCOMPARE(rows.Text(4), std::string_view(" f000000.pas - 1 of 100000"));
        QCOMPARE(rows.Text(6), std::string_view("[1] a hit"));
        QCOMPARE(rows.Text(150002), std::string_view(" f049999.pas - 50000 of 100000"));
        QCOMPARE(rows.Text(300002), std::string_view(" f099999.pas - 100000 of 100000"));
        QCOMPARE(rows.Text(300004), std::string_view("[1] hit"));
        QCOMPARE(m_window->StatusPanel()->text(),
                 QStringLiteral(" Sifter32 Found 2 instances of \"hit\" in 100000 files"));
        QCOMPARE(m_progress.Gauge()->value(), 100000);
        // It still answers: a file removed now is gone at the next refresh.
        fs::remove(many + "/f049999.pas");
        m_window->UpdateStat();
        QCOMPARE(m_window->FList().Count(), 99999);
    }

    void oddNamesAndBytesAreShownAsTheyAreAndFifosSocketsAndLinksAreLeftOut() {
        const std::string nuls(300, '\0');
        for (const char* name : {" lead.pas", "\"quoted\".pas", "--help.pas", "my file.pas",
                                 "new\nline.pas", "\xff\xfe.pas"})
            WriteBytes(name, "hit");
        WriteBytes("bin.pas", nuls + "hit" + nuls + "\r\n\x1ahit after\r\n");
        WriteBytes("zz.pas", std::string(5000, '\x1a') + "hit");
        fs::create_symlink("loop.pas", "loop.pas");
        fs::create_symlink("/dev/zero", "zero.pas");
        fs::create_directory("sub.pas");
        QCOMPARE(::mkfifo("x.pas", 0600), 0);
        const int writer = ::open("x.pas", O_RDWR);  // a writer that stays silent
        QVERIFY(writer >= 0);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, "y.pas");
        QCOMPARE(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

        sifter::test::MessageRecorder messages;
        Open();
        const auto expected = Expected(m_dir->path(), {{" lead.pas", {"[1] hit"}},
                                                       {"\"quoted\".pas", {"[1] hit"}},
                                                       {"--help.pas", {"[1] hit"}},
                                                       {"bin.pas", {"[1] " + nuls + "hit" + nuls}},
                                                       {"my file.pas", {"[1] hit"}},
                                                       {"new\nline.pas", {"[1] hit"}},
                                                       {"zz.pas", {}},
                                                       {"\xff\xfe.pas", {"[1] hit"}}});
        for (const bool caseSensitive : {false, true}) {
            Find<QCheckBox>(*m_window, names::kCaseSensitive)->setChecked(caseSensitive);
            Search(QStringLiteral("hit"));
            QCOMPARE(sifter::test::RowTexts(m_window->ListBox1()->Model().Rows()), expected);
        }
        QVERIFY(messages.messages().isEmpty());
        ::close(writer);
        ::close(listener);
    }

    void aFileThatChangesBeforeOrWhileItIsReadEndsWithoutAMessage_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("change");  // 0 removed, 1 cut to nothing, 2 replaced by a directory
        QTest::newRow("removed after the listing") << int(Call::OpenRead) << 0;
        QTest::newRow("cut to nothing after the listing") << int(Call::OpenRead) << 1;
        QTest::newRow("replaced by a directory after the listing") << int(Call::OpenRead) << 2;
        QTest::newRow("removed while it is read") << int(Call::Read) << 0;
        QTest::newRow("cut to nothing while it is read") << int(Call::Read) << 1;
    }
    void aFileThatChangesBeforeOrWhileItIsReadEndsWithoutAMessage() {
        QFETCH(int, call);
        QFETCH(int, change);
        std::string big;
        std::vector<std::string> bigRows;
        for (int n = 1; n <= 100000; ++n) {
            big += "hit " + std::to_string(n) + "\r\n";
            bigRows.push_back("[" + std::to_string(n) + "] hit " + std::to_string(n));
        }
        WriteBytes("a.pas", "hit a\r\n");
        WriteBytes("b.pas", big);
        WriteBytes("c.pas", "hit c\r\n");
        sifter::test::FaultySystem& system = UseFaultySystem();
        sifter::test::MessageRecorder messages;
        Open();
        system.Inject(
            {.call = Call(call), .error = 0, .after = 128, .name = "b.pas", .action = [change] {
                 if (change == 1)
                     fs::resize_file("b.pas", 0);
                 else
                     fs::remove("b.pas");
                 if (change == 2) fs::create_directory("b.pas");
             }});
        Search(QStringLiteral("hit"));
        QCOMPARE(system.fired(), 1);
        const auto rows = sifter::test::RowTexts(m_window->ListBox1()->Model().Rows());
        const auto full =
            Expected(m_dir->path(),
                     {{"a.pas", {"[1] hit a"}}, {"b.pas", bigRows}, {"c.pas", {"[1] hit c"}}});
        if (call == int(Call::Read) && change == 0) {
            QCOMPARE(rows, full);  // an open file outlives its name
        } else if (call == int(Call::Read)) {
            // What was read before the cut stays, the last line perhaps cut short, then c.pas.
            QVERIFY(rows.size() > 10 && rows.size() < full.size());
            const std::size_t last = rows.size() - 5;
            QVERIFY(std::equal(rows.begin(), rows.begin() + long(last), full.begin()));
            QVERIFY(full[last].starts_with(rows[last]));
            QCOMPARE(std::vector(rows.end() - 4, rows.end()),
                     std::vector(full.end() - 4, full.end()));
        } else {
            QCOMPARE(rows,
                     Expected(m_dir->path(),
                              {{"a.pas", {"[1] hit a"}}, {"b.pas", {}}, {"c.pas", {"[1] hit c"}}}));
        }
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(sifter::PendingError(), 0);
        system.Disarm();
        m_window->UpdateStat();
        QCOMPARE(m_window->FList().Count(), change == 1 ? 3 : 2);
    }

    void aDirectoryRemovedWhileItIsListedShowsTheErrorAtTheNextReadAndGoesOn() {
        fs::create_directory("doomed");
        for (const char* name : {"a.pas", "b.pas", "c.pas", "d.pas"})
            WriteBytes(*m_dir / "doomed/" + name, "hit\r\n");
        sifter::test::ChangeDirectory(*m_dir / "doomed");
        sifter::test::FaultySystem& system = UseFaultySystem();
        sifter::test::MessageRecorder messages;
        Open();
        const std::vector<std::string> before = m_window->FList().Names();
        system.Inject({.call = Call::ListDirectory, .error = 0, .after = 2, .action = [this] {
                           fs::remove_all(*m_dir / "doomed");
                       }});
        m_window->Edit1()->setText(QStringLiteral("hit"));  // one refresh, which lists
        QCOMPARE(system.fired(), 1);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(m_window->FList().Names(), before);  // the listing had them all already
        // Every name is gone: headings only. The refresh that ends the search finds the
        // directory gone and says so; the rows and the summary are shown all the same.
        Search(QStringLiteral("hit"));
        std::vector<std::pair<std::string, std::vector<std::string>>> headingsOnly;
        for (const std::string& name : before) headingsOnly.push_back({name, {}});
        QCOMPARE(sifter::test::RowTexts(m_window->ListBox1()->Model().Rows()),
                 Expected(*m_dir / "doomed", headingsOnly));
        QCOMPARE(m_window->StatusPanel()->text(),
                 QStringLiteral(" Sifter32 Found 0 instances of \"hit\" in 4 files"));
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().text, QStringLiteral("File not found."));
        QTest::keyClick(m_window->Edit1(), Qt::Key_S);
        QCOMPARE(messages.messages().size(), 2);
        QCOMPARE(m_window->FList().Directory(), *m_dir / "doomed");
        QCOMPARE(m_window->Edit1()->text(), QStringLiteral("hits"));
        // A listing that fails part way would read as a directory of fewer files: the error
        // box says why, and the names stay those of the last whole listing.
        fs::create_directory(*m_dir / "doomed");
        for (const char* name : {"a.pas", "b.pas", "c.pas", "d.pas", "e.pas"})
            WriteBytes(*m_dir / "doomed/" + name, "");
        system.Inject({.call = Call::ListDirectory,
                       .error = sifter::platform::MapSystemError(EIO),
                       .after = 3});
        QTest::keyClick(m_window->Edit1(), Qt::Key_Backspace);
        QCOMPARE(messages.messages().size(), 3);
        QCOMPARE(messages.messages().back().text, QStringLiteral("I/O error 1005."));
        QCOMPARE(m_window->FList().Names(), before);
        system.Disarm();
        QTest::keyClick(m_window->Edit1(), Qt::Key_S);
        QCOMPARE(messages.messages().size(), 3);
        QCOMPARE(m_window->FList().Count(), 5);
    }

private:
    sifter::test::FaultySystem& UseFaultySystem() {
        m_system = std::make_unique<sifter::test::FaultySystem>();
        m_scoped = std::make_unique<sifter::platform::ScopedSystem>(*m_system);
        return *m_system;
    }
    void Open(std::vector<std::string> parameters = {}) {
        m_window = std::make_unique<sifter::ui::TForm1>(std::move(parameters));
        m_window->SetProgressWindow(&m_progress);
    }
    void Search(const QString& text) {
        m_window->Edit1()->setText(text);
        Find<QAction>(*m_window, names::kSifter1)->trigger();
    }

    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<sifter::test::FaultySystem> m_system;
    std::unique_ptr<sifter::platform::ScopedSystem> m_scoped;
    sifter::ui::TForm2 m_progress;
    std::unique_ptr<sifter::ui::TForm1> m_window;
};

int main(int argc, char** argv) {
    // The names sort the same way whatever the machine's locale. A hang, which these cases
    // look out for, is ended by the test library's watchdog.
    qputenv("LC_ALL", "C");
    QApplication application(argc, argv);
    HostileWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "hostile_window_test.moc"
