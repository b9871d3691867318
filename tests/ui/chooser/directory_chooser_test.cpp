// The directory chooser as a user drives it: the first showing, the keys and the mouse in the
// tree, the current directory following the selection, the volumes, and showing it again.

#include <unistd.h>

#include <QPushButton>
#include <QtTest>

#include "directory_chooser_support.h"
#include "ui/chooser/chooser_drawing.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/chooser/directory_outline.h"
#include "ui/chooser/volume_selector.h"
#include "ui_test_support.h"

using sifter::test::ChooserWorld;
using sifter::test::Combined;
using sifter::test::CurrentDirectory;
using sifter::test::kEndedByTheTest;
using sifter::test::MessageRecorder;
using sifter::test::Press;
using sifter::test::Rows;
using sifter::test::Run;
using sifter::test::SelectedName;
using sifter::test::SelectRowReading;
using sifter::ui::TForm3;
using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList kStartRows = {u"<top>"_s, u" other"_s, u" work"_s, u"  B"_s,
                                u"  C"_s,   u"  a"_s,    u"  src"_s};

}  // namespace

class DirectoryChooserTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<ChooserWorld>(); }
    void cleanup() { m_world.reset(); }

    void firstShowingOpensTheAncestorsOfTheStartDirectoryAndSelectsIt() {
        TForm3 dialog;
        QVERIFY(!dialog.DriveComboBox1()->IsFilled());
        Run(dialog, [&](TForm3& shown) {
            // Directories only, in byte order, without dot names, files or links.
            QCOMPARE(Rows(shown), m_world->Expected(kStartRows));
            QCOMPARE(SelectedName(shown), QStringLiteral("src"));
            QVERIFY(!shown.Tree().IsExpanded(shown.Tree().Selected()));
            QVERIFY(!shown.Tree().IsRead(shown.Tree().Selected()));
            QCOMPARE(shown.focusWidget(), shown.DirectoryListbox1());
            QCOMPARE(shown.DriveComboBox1()->count(), 4);
            QCOMPARE(shown.DriveComboBox1()->currentIndex(), 1);
        });
        QCOMPARE(dialog.windowTitle(),
                 QString::fromStdString("Working Dir: " + *m_world / "work/src"));
        QVERIFY(m_world->System().directoriesEntered.empty());
    }

    void keysInTheTree_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("selected");
        const QStringList deep = kStartRows + QStringList{u"   deep"_s};
        const auto add = [](const char* name, const char* start, const QList<int>& keys,
                            const QStringList& rows, const char* selected) {
            QTest::newRow(name) << QString::fromLatin1(start) << keys << rows
                                << QString::fromLatin1(selected);
        };
        const int left = Combined(Qt::Key_Left), right = Combined(Qt::Key_Right);
        const int up = Combined(Qt::Key_Up), down = Combined(Qt::Key_Down);
        const int ctrlUp = Combined(Qt::Key_Up, Qt::ControlModifier);
        const int ctrlDown = Combined(Qt::Key_Down, Qt::ControlModifier);
        const int star = Combined(Qt::Key_Asterisk, Qt::ShiftModifier);
        const int keypadStar = Combined(Qt::Key_Asterisk, Qt::KeypadModifier);
        const int ctrlKeypadStar =
            Combined(Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier);
        add("Left on a closed node", "  src", {left}, kStartRows, "src");
        add("Right opens in place", "  src", {right}, deep, "src");
        add("Right on an empty node", "  B", {right}, kStartRows, "B");
        add("+", "  src", {Combined(Qt::Key_Plus)}, deep, "src");
        add("+ then -", "  src", {Combined(Qt::Key_Plus), Combined(Qt::Key_Minus)}, kStartRows,
            "src");
        add("* opens the subtree", " work", {star}, deep, "work");
        add("Left closes everything below", " work", {keypadStar, left, right}, kStartRows, "work");
        add("Ctrl+keypad * opens everything", "  B", {ctrlKeypadStar}, deep, "B");
        add("Up", "  src", {up}, kStartRows, "a");
        add("Down", "  C", {down}, kStartRows, "a");
        add("Down at the end", "  src", {down}, kStartRows, "src");
        add("Home", "  C", {Combined(Qt::Key_Home)}, kStartRows, "<top>");
        add("End", "  C", {Combined(Qt::Key_End)}, kStartRows, "src");
        add("Page Up", "  a", {Combined(Qt::Key_PageUp)}, kStartRows, "<top>");
        add("Page Down", " other", {Combined(Qt::Key_PageDown)}, kStartRows, "src");
        add("Ctrl+Up", "  src", {ctrlUp}, kStartRows, "a");
        add("Ctrl+Down", "  B", {ctrlDown}, kStartRows, "C");
        add("Ctrl+Down, no next sibling", "  src", {ctrlDown}, kStartRows, "src");
        add("Ctrl+Up at the first level", " work", {ctrlUp}, kStartRows, "other");
        add("a typed letter", "  src", {Combined(Qt::Key_X)}, kStartRows, "src");
    }
    void keysInTheTree() {
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, rows);
        QFETCH(QString, selected);
        TForm3 dialog;
        Run(dialog, [&](TForm3& shown) {
            SelectRowReading(shown, m_world->Expected({start}).front());
            for (const int key : keys) Press(shown, key);
            QVERIFY(shown.isVisible());
            QCOMPARE(Rows(shown), m_world->Expected(rows));
            QCOMPARE(SelectedName(shown), m_world->Expected({selected}).front());
            // Every selection is the current directory at once.
            QCOMPARE(CurrentDirectory(), shown.Directory());
            QCOMPARE(shown.Tree().Path(shown.Tree().Selected()), shown.Directory());
        });
    }

    void rightOnANodeWithoutSubdirectoriesMarksItReadAndOpen() {
        TForm3 dialog;
        SelectRowReading(dialog, QStringLiteral("  B"));
        const auto b = dialog.Tree().Selected();
        QVERIFY(!dialog.Tree().IsRead(b));
        Press(dialog, Combined(Qt::Key_Right));
        QVERIFY(dialog.Tree().IsRead(b));
        QVERIFY(dialog.Tree().IsExpanded(b));
        QVERIFY(dialog.Tree().Children(b).empty());
        QCOMPARE(dialog.Tree().Selected(), b);
    }

    void theMouseSelectsAndADoubleClickOpensAndCloses() {
        TForm3 dialog;
        Run(dialog, [&](TForm3& shown) {
            auto* outline = shown.DirectoryListbox1();
            const int c = static_cast<int>(Rows(shown).indexOf(QStringLiteral("  C")));
            QTest::mouseClick(outline->viewport(), Qt::LeftButton, {},
                              outline->NameRect(c).center());
            QCOMPARE(SelectedName(shown), QStringLiteral("C"));
            QCOMPARE(CurrentDirectory(), *m_world / "work/C");
            const int src = static_cast<int>(Rows(shown).indexOf(QStringLiteral("  src")));
            QTest::mouseDClick(outline->viewport(), Qt::LeftButton, {},
                               outline->NameRect(src).center());
            QCOMPARE(Rows(shown), m_world->Expected(kStartRows + QStringList{u"   deep"_s}));
            QCOMPARE(SelectedName(shown), QStringLiteral("src"));
            QTest::mouseDClick(outline->viewport(), Qt::LeftButton, {},
                               outline->NameRect(src).center());
            QCOMPARE(Rows(shown), m_world->Expected(kStartRows));
        });
    }

    void f5ReadsTheSelectedDirectoryAgain() {
        TForm3 dialog;
        Run(dialog, [&](TForm3& shown) {
            SelectRowReading(shown, QStringLiteral(" work"));
            sifter::test::MakeDirectory(*m_world / "work/D");
            QVERIFY(::rmdir((*m_world / "work/C").c_str()) == 0);
            Press(shown, Combined(Qt::Key_Down));  // B
            Press(shown, Combined(Qt::Key_F5));    // B has nothing to read again
            QCOMPARE(Rows(shown), m_world->Expected(kStartRows));
            Press(shown, Combined(Qt::Key_Up));
            Press(shown, Combined(Qt::Key_F5));
            QCOMPARE(Rows(shown), m_world->Expected({u"<top>"_s, u" other"_s, u" work"_s, u"  B"_s,
                                                     u"  D"_s, u"  a"_s, u"  src"_s}));
            QCOMPARE(SelectedName(shown), QStringLiteral("work"));
        });
    }

    void aDirectoryRemovedAfterItWasReadGivesTheErrorBox() {
        MessageRecorder messages;
        TForm3 dialog;
        const int result = Run(dialog, [&](TForm3& shown) {
            QVERIFY(::rmdir((*m_world / "work/C").c_str()) == 0);
            Press(shown, Combined(Qt::Key_Up));  // a
            Press(shown, Combined(Qt::Key_Up));  // C, gone
            QCOMPARE(messages.messages().size(), 1);
            QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
            QCOMPARE(messages.messages().front().text, QStringLiteral("File not found."));
            QCOMPARE(SelectedName(shown), QStringLiteral("C"));
            QCOMPARE(shown.Directory(), *m_world / "work/C");
            QCOMPARE(CurrentDirectory(), *m_world / "work/a");
            shown.BitBtn1()->click();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(dialog.Directory(), *m_world / "work/C");
    }

    void endingKeysAndButtons_data() {
        QTest::addColumn<QString>("focus");  // the control the key goes to, or a button to click
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << u"tree"_s << Combined(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("keypad Enter")
            << u"tree"_s << Combined(Qt::Key_Enter, Qt::KeypadModifier) << int(QDialog::Accepted);
        QTest::newRow("Enter on OK")
            << u"BitBtn1"_s << Combined(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Enter on Cancel")
            << u"BitBtn2"_s << Combined(Qt::Key_Return) << int(QDialog::Rejected);
        QTest::newRow("Ctrl+Enter")
            << u"tree"_s << Combined(Qt::Key_Return, Qt::ControlModifier) << kEndedByTheTest;
        QTest::newRow("Escape") << u"tree"_s << Combined(Qt::Key_Escape) << int(QDialog::Rejected);
        QTest::newRow("Shift+Escape")
            << u"tree"_s << Combined(Qt::Key_Escape, Qt::ShiftModifier) << kEndedByTheTest;
        QTest::newRow("c") << u"tree"_s << Combined(Qt::Key_C) << int(QDialog::Rejected);
        QTest::newRow("C") << u"tree"_s << Combined(Qt::Key_C, Qt::ShiftModifier)
                           << int(QDialog::Rejected);
        QTest::newRow("Alt+C") << u"tree"_s << Combined(Qt::Key_C, Qt::AltModifier)
                               << int(QDialog::Rejected);
        QTest::newRow("c on OK") << u"BitBtn1"_s << Combined(Qt::Key_C) << int(QDialog::Rejected);
        QTest::newRow("Ctrl+C") << u"tree"_s << Combined(Qt::Key_C, Qt::ControlModifier)
                                << kEndedByTheTest;
        QTest::newRow("click OK") << u"click BitBtn1"_s << 0 << int(QDialog::Accepted);
        QTest::newRow("click Cancel") << u"click BitBtn2"_s << 0 << int(QDialog::Rejected);
        QTest::newRow("close box") << u"close"_s << 0 << int(QDialog::Rejected);
    }
    void endingKeysAndButtons() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, result);
        TForm3 dialog;
        const int ended = Run(
            dialog,
            [&](TForm3& shown) {
                QWidget* target = shown.DirectoryListbox1();
                if (focus.endsWith(QStringLiteral("BitBtn1"))) target = shown.BitBtn1();
                if (focus.endsWith(QStringLiteral("BitBtn2"))) target = shown.BitBtn2();
                if (focus == QStringLiteral("close"))
                    shown.close();
                else if (focus.startsWith(QStringLiteral("click")))
                    QTest::mouseClick(target, Qt::LeftButton);
                else
                    Press(target, key);
            },
            kEndedByTheTest);
        QCOMPARE(ended, result);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Directory(), *m_world / "work/src");
    }

    void showingAgainRestoresTheTreeAndKeepsTheTitle() {
        TForm3 dialog;
        const QString title = dialog.windowTitle();
        QStringList left;
        Run(
            dialog,
            [&](TForm3& shown) {
                Press(shown, Combined(Qt::Key_Right));
                Press(shown, Combined(Qt::Key_Up));
                left = Rows(shown);
            },
            QDialog::Accepted);
        QCOMPARE(dialog.Directory(), *m_world / "work/a");
        QCOMPARE(dialog.windowTitle(), title);
        const int volumeListings = m_world->System().volumeListings;
        Run(dialog, [&](TForm3& shown) {
            QCOMPARE(Rows(shown), left);
            QCOMPARE(SelectedName(shown), QStringLiteral("a"));
            QCOMPARE(shown.windowTitle(), title);
        });
        QCOMPARE(left, m_world->Expected(kStartRows + QStringList{u"   deep"_s}));
        // The volume list is built at the first showing only.
        QCOMPARE(m_world->System().volumeListings, volumeListings);
    }

    void pickingVolumes() {
        MessageRecorder messages;
        TForm3 dialog;
        auto& entered = m_world->System().directoriesEntered;
        Run(
            dialog,
            [&](TForm3& shown) {
                auto* drives = shown.DriveComboBox1();
                drives->Pick(1);  // the volume shown
                QCOMPARE(Rows(shown), m_world->Expected(kStartRows));
                QVERIFY(entered.empty());

                drives->Pick(2);
                QCOMPARE(Rows(shown), QStringList{QString::fromStdString(*m_world / "other")});
                QCOMPARE(shown.DirectoryListbox1()->SelectedRow(), 0);
                QVERIFY(!shown.Tree().IsExpanded(0));
                QCOMPARE(shown.Directory(), *m_world / "other");
                QCOMPARE(CurrentDirectory(), *m_world / "other");

                // A volume that cannot be entered: the error, the entry stays picked, nothing else
                // moves.
                Press(shown, Combined(Qt::Key_Right));
                const QStringList before = Rows(shown);
                const std::size_t changes = entered.size();
                drives->Pick(3);
                QCOMPARE(messages.messages().size(), 1);
                QCOMPARE(messages.messages().front().text, QStringLiteral("I/O error 21."));
                QCOMPARE(drives->currentIndex(), 3);
                QCOMPARE(Rows(shown), before);
                QCOMPARE(shown.Directory(), *m_world / "other");
                QCOMPARE(CurrentDirectory(), *m_world / "other");
                // Back to the volume the tree still shows: nothing to do.
                drives->Pick(2);
                QCOMPARE(Rows(shown), before);
                QCOMPARE(entered.size(), changes);

                drives->Pick(1);
                QCOMPARE(Rows(shown), m_world->Expected({u"<top>"_s}));
                QCOMPARE(shown.Directory(), m_world->Top());
            },
            QDialog::Accepted);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(dialog.Directory(), m_world->Top());
    }

private:
    std::unique_ptr<ChooserWorld> m_world;
};

QTEST_MAIN(DirectoryChooserTest)
#include "directory_chooser_test.moc"
