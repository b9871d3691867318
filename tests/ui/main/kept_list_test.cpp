// No trimmed list lost: Ctrl+Z after a new search brings the list before it back as it stood,
// its deletions still undoable and its rows still leading to their own lines and matches; and
// closing the window with rows deleted since the last search or save asks first.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "fake_desktop.h"
#include "result_list_support.h"
#include "test_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui/viewer/line_viewer.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::test::RowTexts;
using sifter::ui::TForm1;
namespace names = sifter::ui::names;
using Texts = std::vector<std::string>;

namespace {

void Select(sifter::ui::ResultList& list, std::initializer_list<int> rows) {
    list.selectionModel()->clearSelection();
    for (int row : rows)
        list.selectionModel()->select(list.Model().index(row), QItemSelectionModel::Select);
}

// Answers the question on closing while it lives, and keeps what was asked.
class QuestionAnswer final {
public:
    explicit QuestionAnswer(bool yes) {
        sifter::ui::SetQuestionHook([this, yes](const sifter::ui::Message& message) {
            asked.append(message);
            return yes;
        });
    }
    ~QuestionAnswer() { sifter::ui::SetQuestionHook(nullptr); }
    QuestionAnswer(const QuestionAnswer&) = delete;
    QuestionAnswer& operator=(const QuestionAnswer&) = delete;
    QList<sifter::ui::Message> asked;
};

}  // namespace

class KeptListTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        sifter::test::WriteBytes(*m_dir / "a.pas", "xx alpha\r\nbeta\r\n");
        sifter::test::WriteBytes(*m_dir / "b.pas", "alpha beta\r\n");
        m_window = std::make_unique<TForm1>(std::vector<std::string>{});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() {
        m_window.reset();
        m_dir.reset();
    }

    void ctrlZAfterANewSearchBringsTheTrimmedListBackOneStep() {
        sifter::test::MessageRecorder messages;
        sifter::test::FakeDesktop desktop;
        const sifter::platform::ScopedDesktop scoped(desktop);
        m_window->SetEditorCommand("ed {file}:{line}:{column}");
        sifter::ui::ResultList& list = *m_window->ListBox1();
        m_window->Edit1()->setText(QStringLiteral("alpha"));
        m_window->pbSifterClick();
        const Texts alpha = RowTexts(list.Model().Rows());
        const QString summary = m_window->StatusPanel()->text();
        QCOMPARE(alpha.size(), std::size_t{11});
        Select(list, {0, 1, 2, 3});
        QTest::keyClick(&list, Qt::Key_Delete);
        const Texts trimmed(alpha.begin() + 4, alpha.end());
        // Enter in the list still runs a search, here for another text.
        m_window->Edit1()->setText(QStringLiteral("beta"));
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(RowTexts(list.Model().Rows()).at(2), std::string("   Search String: \"beta\""));

        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(RowTexts(list.Model().Rows()), trimmed);
        QCOMPARE(m_window->StatusPanel()->text(), summary);
        QVERIFY(list.hasFocus());
        // Its rows open with the search that made them: "alpha" stands at column 4 of a.pas.
        m_window->EditRow(2);
        QCOMPARE(desktop.started,
                 (std::vector<std::vector<std::string>>{{"ed", *m_dir / "a.pas" + ":1:4"}}));
        m_window->ViewRow(2);
        QCOMPARE(m_window->Viewer()->Path(), *m_dir / "a.pas");
        m_window->Viewer()->close();
        // Then its own deletion; then nothing more, the list of "beta" is gone.
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(RowTexts(list.Model().Rows()), alpha);
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(RowTexts(list.Model().Rows()), alpha);
        QVERIFY(messages.messages().isEmpty());
    }

    void anEmptyListIsNotKeptAndAListWithoutRowsToShowIsNotAsked() {
        sifter::ui::ResultList& list = *m_window->ListBox1();
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(list.RowCount(), 0);
        m_window->Edit1()->setText(QStringLiteral("alpha"));
        m_window->pbSifterClick();
        m_window->Edit1()->setText(QStringLiteral("beta"));
        m_window->pbSifterClick();
        m_window->pbSifterClick();
        // One step back: the second search's list, not the first's.
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(RowTexts(list.Model().Rows()).at(2), std::string("   Search String: \"beta\""));
    }

    void closingATrimmedListAsksOnce_data() {
        QTest::addColumn<QString>("how");     // Escape, Exit or the window's close
        QTest::addColumn<QString>("before");  // what was done to the list
        QTest::addColumn<bool>("answer");     // Yes or No
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        for (const char* how : {"escape", "exit", "close"}) {
            const QString way = QString::fromLatin1(how);
            const QString delete_ = QStringLiteral("delete");
            QTest::addRow("%s, trimmed, yes", how) << way << delete_ << true << true << true;
            QTest::addRow("%s, trimmed, no", how) << way << delete_ << false << true << false;
            QTest::addRow("%s, as searched", how) << way << QString() << false << false << true;
        }
        const struct {
            const char* name;
            const char* steps;
            bool asked;
        } rows[] = {
            {"deleted, then undone", "delete undo", false},
            {"deleted, then saved", "delete save", false},
            {"saved, then deleted", "save delete", true},
            {"saved, deleted, undone", "save delete undo", false},
            {"deleted, then searched", "delete search", false},
            {"deleted, searched, brought back", "delete search back", true},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QStringLiteral("close") << QString::fromLatin1(row.steps)
                                    << false << row.asked << !row.asked;
    }
    void closingATrimmedListAsksOnce() {
        QFETCH(QString, how);
        QFETCH(QString, before);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        sifter::ui::ResultList& list = *m_window->ListBox1();
        m_window->Edit1()->setText(QStringLiteral("alpha"));
        m_window->pbSifterClick();
        const std::string saved = *m_dir / "saved.txt";
        sifter::ui::SetSaveDialogHook([saved] { return saved; });
        for (const QString& step : before.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("delete")) {
                Select(list, {5});
                QTest::keyClick(&list, Qt::Key_Delete);
            } else if (step == QLatin1String("save")) {
                m_window->SaveResultsToFile();
            } else if (step == QLatin1String("search")) {
                m_window->pbSifterClick();
            } else {  // undo, or back to the list before
                QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
            }
        }
        sifter::ui::SetSaveDialogHook(nullptr);
        QuestionAnswer question(answer);
        if (how == QLatin1String("escape")) {
            list.setFocus();
            QTest::keyClick(&list, Qt::Key_Escape);
        } else if (how == QLatin1String("exit")) {
            Find<QAction>(*m_window, names::kExit1)->trigger();
        } else {
            m_window->close();
        }
        QCOMPARE(question.asked.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(question.asked.front().kind, sifter::ui::MessageKind::Question);
            QCOMPARE(question.asked.front().caption, QStringLiteral("Sifter32"));
            QCOMPARE(question.asked.front().text, QStringLiteral("Discard the trimmed list?"));
        }
        QCOMPARE(m_window->isVisible(), !closed);
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<TForm1> m_window;
};

QTEST_MAIN(KeptListTest)
#include "kept_list_test.moc"
