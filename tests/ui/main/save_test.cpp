// Saving the result list from the window: the file's bytes, the messages, the progress label.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "platform/path_rules.h"
#include "platform/platform.h"
#include "search/run/save_results.h"
#include "test_support.h"
#include "ui/application_setup.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/main/save_label.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

using sifter::test::ReadBytes;
using sifter::test::TempDir;
namespace names = sifter::ui::names;

namespace {

// Rows as a search leaves them: a banner, headings, blank rows and match rows.
sifter::ResultRows SampleRows(int count) {
    sifter::ResultRows rows;
    rows.AddRow("Sifter32 Search Results ", sifter::RowKind::Banner);
    for (int i = 1; i < count; ++i) {
        if (i % 5 == 1)
            rows.AddRow(" ", sifter::RowKind::Heading);
        else if (i % 5 == 2)
            rows.AddRow(" f" + std::to_string(i) + ".pas - 1 of 9", sifter::RowKind::File);
        else
            rows.AddRow("[" + std::to_string(i) + "] begin \xe9\t", sifter::RowKind::Match);
    }
    return rows;
}

// Answers the save dialog with one name for as long as it lives.
class SaveAnswer final {
public:
    explicit SaveAnswer(std::optional<std::string> name) {
        sifter::ui::SetSaveDialogHook([name] { return name; });
    }
    ~SaveAnswer() { sifter::ui::SetSaveDialogHook(nullptr); }
    SaveAnswer(const SaveAnswer&) = delete;
    SaveAnswer& operator=(const SaveAnswer&) = delete;
};

int WidthIn(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text);
}

}  // namespace

class SaveTest final : public QObject {
    Q_OBJECT

private slots:
    // As the program sets itself up: the real dialog below keeps no settings in the home.
    void initTestCase() { sifter::ui::PrepareApplication(); }
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        m_window = std::make_unique<sifter::ui::TForm1>(std::vector<std::string>{});
        m_progress = std::make_unique<sifter::ui::TForm2>();
        m_window->SetProgressWindow(m_progress.get());
        m_window->ListBox1()->SetRows(SampleRows(40),
                                      std::make_shared<const sifter::ui::EntryPictures>());
    }
    void cleanup() {
        m_window.reset();
        m_progress.reset();
        m_dir.reset();
    }

    void aFortyRowListGivesFortyLinesAndDeletedRowsAreLeftOut() {
        const std::string name = *m_dir / "results";  // no extension, and none is added
        SaveAnswer answer(name);
        sifter::test::MessageRecorder messages;
        m_window->SaveResultsToFile();
        const std::string saved = ReadBytes(name);
        QCOMPARE(saved, sifter::test::SavedBytes(m_window->ListBox1()->Model().Rows()));
        QCOMPARE(std::count(saved.begin(), saved.end(), '\n'), 40);
        QVERIFY(saved.rfind("Sifter32 Search Results \r\n \r\n", 0) == 0);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_progress->isVisible());
        QCOMPARE(m_progress->Gauge()->value(), 40);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        sifter::ui::ResultList& list = *m_window->ListBox1();
        list.selectionModel()->select(list.model()->index(0, 0), QItemSelectionModel::Select);
        list.selectionModel()->select(list.model()->index(39, 0), QItemSelectionModel::Select);
        list.DeleteItems();
        m_window->SaveResultsToFile();
        const std::string after = ReadBytes(name);
        QCOMPARE(std::count(after.begin(), after.end(), '\n'), 38);
        QVERIFY(after.rfind(" \r\n f2.pas", 0) == 0);
        QCOMPARE(after, sifter::test::SavedBytes(list.Model().Rows()));
    }

    void aListWhoseRowsWereAllDeletedSavesWithAnEmptyBar() {
        sifter::ui::ResultList& list = *m_window->ListBox1();
        list.selectAll();
        list.DeleteItems();
        QCOMPARE(list.RowCount(), 0);
        const std::string name = *m_dir / "empty.txt";
        SaveAnswer answer(name);
        m_window->SaveResultsToFile();
        QCOMPARE(ReadBytes(name), std::string());
        // Not Qt's busy bar, which a range of nothing would give: a bar with nothing done.
        const QProgressBar& gauge = *m_progress->Gauge();
        QVERIFY(gauge.maximum() > gauge.minimum());
        QCOMPARE(gauge.value(), gauge.minimum());
        QProgressBar empty;
        empty.setGeometry(gauge.geometry());
        empty.setRange(0, 1);
        empty.setValue(0);
        empty.setTextVisible(false);
        QCOMPARE(m_progress->Gauge()->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 empty.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    // The real dialog: the type can be switched back and forth and the name stays as given.
    void switchingTheTypeKeepsTheNameAsGiven_data() {
        QTest::addColumn<QString>("typed");  // empty: the name the dialog starts with
        QTest::addColumn<QString>("saved");
        QTest::newRow("the starting name") << QString() << QStringLiteral("sifter.txt");
        QTest::newRow("a typed name") << QStringLiteral("notes.TXT") << QStringLiteral("notes.TXT");
        QTest::newRow("two dots") << QStringLiteral("week.12.txt") << QStringLiteral("week.12.txt");
        QTest::newRow("no extension") << QStringLiteral("results") << QStringLiteral("results");
    }
    void switchingTheTypeKeepsTheNameAsGiven() {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            answered = true;
            [&] {
                auto* name =
                    dialog->findChild<QLineEdit*>(QString::fromLatin1(names::kFileNameEdit));
                auto* types =
                    dialog->findChild<QComboBox*>(QString::fromLatin1(names::kFileTypeCombo));
                QVERIFY(name != nullptr && types != nullptr);
                if (!typed.isEmpty()) {
                    name->selectAll();
                    QTest::keyClicks(name, typed);
                }
                const QString given = name->text();
                for (const auto& [key, type] : {std::pair{Qt::Key_Down, "Paradox Script (*.sc)"},
                                                std::pair{Qt::Key_Up, "Text File (*.txt)"},
                                                std::pair{Qt::Key_Down, "Paradox Script (*.sc)"}}) {
                    QTest::keyClick(types, key);
                    QCOMPARE(types->currentText(), QString::fromLatin1(type));
                    QCOMPARE(name->text(), given);
                }
                static_cast<QDialog*>(dialog)->accept();
            }();
            if (dialog->isVisible()) dialog->reject();
        });
        const std::optional<std::string> chosen =
            sifter::ui::ChooseSaveFile(m_window.get(), m_dir->path());
        QVERIFY(answered);
        QCOMPARE(chosen, std::optional<std::string>(*m_dir / saved.toStdString()));
    }

    void aNameThatCannotBeCreatedGivesTheWarningAndNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing directory") << QStringLiteral("no/such/dir/r.txt");
        QTest::newRow("a directory") << QStringLiteral(".");
        QTest::newRow("empty name") << QString();
    }
    void aNameThatCannotBeCreatedGivesTheWarningAndNoFile() {
        QFETCH(QString, name);
        SaveAnswer answer(name.toStdString());
        sifter::test::MessageRecorder messages;
        m_window->SaveResultsToFile();
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Warning);
        QCOMPARE(messages.messages().front().caption, QStringLiteral("Warning"));
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("File access error - probably a bad filename."));
        QVERIFY(!m_progress->isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(!std::filesystem::exists(*m_dir / "no"));
    }

    void aWriteFailureShowsTheErrorBoxAndNoSuccess() {
        SaveAnswer answer(std::string("/dev/full"));
        sifter::test::MessageRecorder messages;
        // What the menu command does: the handler runs guarded.
        sifter::ui::Guarded([&] { m_window->SaveResultsToFile(); });
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().caption, QStringLiteral("Sifter32"));
        QCOMPARE(messages.messages().front().text, QStringLiteral("I/O error 112."));
        QVERIFY(!m_progress->isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void aCancelledDialogChangesNothing() {
        SaveAnswer answer(std::nullopt);
        sifter::test::MessageRecorder messages;
        m_window->SaveResultsToFile();
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_progress->isVisible());
        QCOMPARE(std::distance(std::filesystem::directory_iterator(m_dir->path()), {}), 0);
    }

    void theLabelDropsLeadingDirectoriesUntilItFits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("label");
        const QString prefix = QStringLiteral("Saving search results to ");
        // Widths counted in characters, so each step is plain to follow.
        if (sifter::platform::Paths().style() == sifter::platform::PathRules::Style::Windows) {
            QTest::newRow("short name stays whole")
                << QStringLiteral("C:\\r.txt") << 380 << prefix + QStringLiteral("C:\\r.txt");
            const QString deep =
                QStringLiteral("C:\\Projects\\Accounts\\Reports\\2023\\results.txt");
            QTest::newRow("one step")
                << deep << 64
                << prefix + QStringLiteral("C:\\...Accounts\\Reports\\2023\\results.txt");
            QTest::newRow("two steps")
                << deep << 63 << prefix + QStringLiteral("C:\\...Reports\\2023\\results.txt");
            QTest::newRow("nothing left to drop")
                << QStringLiteral("C:\\a\\r.txt") << 10 << prefix + QStringLiteral("C:\\...r.txt");
            return;
        }
        QTest::newRow("short name stays whole")
            << QStringLiteral("/r.txt") << 380 << prefix + QStringLiteral("/r.txt");
        QTest::newRow("one step") << QStringLiteral("/home/a/Projects/Accounts/r.txt") << 54
                                  << prefix + QStringLiteral("/...a/Projects/Accounts/r.txt");
        QTest::newRow("two steps") << QStringLiteral("/home/a/Projects/Accounts/r.txt") << 52
                                   << prefix + QStringLiteral("/...Projects/Accounts/r.txt");
        QTest::newRow("nothing left to drop")
            << QStringLiteral("/home/a/r.txt") << 10 << prefix + QStringLiteral("/...r.txt");
        QTest::newRow("relative name")
            << QStringLiteral("a/b/r.txt") << 30 << prefix + QStringLiteral("...r.txt");
    }
    void theLabelDropsLeadingDirectoriesUntilItFits() {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(QString, label);
        QCOMPARE(
            sifter::ui::SaveLabel(
                name, width, [](const QString& text) { return static_cast<int>(text.size()); }),
            label);
    }

    void theProgressLabelFitsItsWidthInTheWindowsFont() {
        TempDir deep;
        std::string path = deep.path();
        // Far wider than the label, and short of Windows' 259 bytes.
        for (int i = 0; i < 6; ++i)
            path = sifter::platform::PathInDirectory(
                path, "a_rather_long_directory_name_" + std::to_string(i));
        std::filesystem::create_directories(path);
        const std::string name = sifter::platform::PathInDirectory(path, "r.txt");
        SaveAnswer answer(name);
        m_window->SaveResultsToFile();
        const QString shown = m_progress->Label()->text();
        // The drive part ("C:\") or the root's "/" stays in front.
        const std::string head = path.substr(0, sifter::platform::Paths().LabelHeadLength(path));
        QVERIFY(shown.startsWith(QStringLiteral("Saving search results to ") +
                                 QString::fromStdString(head) + QStringLiteral("...")));
        QVERIFY(shown.endsWith(QString::fromStdString(name.substr(path.size()))));
        QVERIFY(WidthIn(QFontMetrics(m_progress->Label()->font()), shown) <= 380);
        QCOMPARE(ReadBytes(name), sifter::test::SavedBytes(m_window->ListBox1()->Model().Rows()));
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<sifter::ui::TForm1> m_window;
    std::unique_ptr<sifter::ui::TForm2> m_progress;
};

QTEST_MAIN(SaveTest)
#include "save_test.moc"
