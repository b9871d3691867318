// The line viewer as a user meets it: where it opens, what it highlights, F3, a file that is
// gone or shorter, the editor, copying and closing.

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "fake_desktop.h"
#include "platform/desktop.h"
#include "search/pattern/line_matcher.h"
#include "test_support.h"
#include "ui/messages.h"
#include "ui/viewer/line_view.h"
#include "ui/viewer/line_viewer.h"
#include "ui_test_support.h"

using sifter::LineMatcher;
using sifter::test::FakeDesktop;
using sifter::test::TempDir;
using sifter::test::WriteBytes;
using sifter::ui::LineView;
using sifter::ui::LineViewer;
using sifter::ui::TextPlace;

namespace {

// Numbered lines, with `extra` put in at the given line numbers (from 1).
std::string NumberedLines(int count, const std::map<int, std::string>& extra,
                          const char* lineEnd = "\r\n") {
    std::string bytes;
    for (int i = 1; i <= count; ++i) {
        const auto found = extra.find(i);
        bytes += found != extra.end() ? found->second : "line " + std::to_string(i);
        bytes += lineEnd;
    }
    return bytes;
}

bool ShowsMatchColour(LineView& view, TextPlace place) {
    const QImage image = view.viewport()->grab().toImage();
    const QRect cell = view.PlaceRect(place);
    const QRgb match = LineView::MatchColour().rgb();
    // The top and bottom rows of a cell hold no ink of a letter without accent or descender.
    return image.pixel(cell.center().x(), cell.top()) == match &&
           image.pixel(cell.center().x(), cell.bottom()) == match;
}

}  // namespace

class LineViewerTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<TempDir>(); }
    void cleanup() { m_dir.reset(); }

    void opensWithTheLineSelectedInTheMiddle_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("firstLineEnd");  // the one that decides for the file
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("first") << 1 << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("middle") << 100 << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("last") << 200 << QByteArray("\r\n") << QByteArray("\r\n");
        // Written on Linux: every LF ends a line, and a CR right before it is no part of it.
        QTest::newRow("middle, LF file") << 100 << QByteArray("\n") << QByteArray("\n");
        QTest::newRow("last, LF file") << 200 << QByteArray("\n") << QByteArray("\r\n");
    }
    void opensWithTheLineSelectedInTheMiddle() {
        QFETCH(int, line);
        QFETCH(QByteArray, firstLineEnd);
        QFETCH(QByteArray, lineEnd);
        const std::string path = *m_dir / "caf\xE9 b.pas";
        WriteBytes(path,
                   "line 1" + firstLineEnd.toStdString() +
                       NumberedLines(200, {}, lineEnd.constData()).substr(6 + lineEnd.size()));
        LineViewer viewer;
        viewer.Open(path, line, LineMatcher("x", {}));
        LineView& view = *viewer.View();
        QCOMPARE(viewer.windowTitle(), QStringLiteral(u"Sifter32 Viewer - ") +
                                           QString::fromStdString(m_dir->path()) +
                                           QStringLiteral(u"/café b.pas"));
        QCOMPARE(view.Caret(), (TextPlace{line - 1, 0}));
        QCOMPARE(view.Anchor(), (TextPlace{line - 1, view.LineBytes(line - 1).size()}));
        QCOMPARE(view.SelectedText(), QStringLiteral("line %1").arg(line));
        const int visible = view.VisibleLines();
        QVERIFY(visible > 10);
        const std::int64_t top =
            std::clamp<std::int64_t>(line - 1 - (visible - 1) / 2, 0, 200 - visible);
        QCOMPARE(view.TopLine(), top);
        QCOMPARE(viewer.StatusLine()->text(),
                 QStringLiteral(" Line %1 of 200, column 1").arg(line));
        QVERIFY(viewer.isVisible());
    }

    void highlightsTheSearchTextAsTheSearchMatchesIt_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<int>>("highlighted");  // byte offsets
        QTest::addColumn<bool>("regexp");
        QTest::newRow("case ignored")
            << QByteArray("total") << false << QByteArray("Total total TOTAL x")
            << QList<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16} << false;
        QTest::newRow("case sensitive")
            << QByteArray("total") << true << QByteArray("Total total TOTAL x")
            << QList<int>{6, 7, 8, 9, 10} << false;
        // Typed as UTF-8, found in a legacy line as its Windows-1252 bytes.
        QTest::newRow("Windows-1252 form")
            << QByteArray("caf\xc3\xa9") << false << QByteArray("CAF\xe9 caf\xe9 cafe")
            << QList<int>{0, 1, 2, 3, 5, 6, 7, 8} << false;
        QTest::newRow("pattern, case ignored")
            << QByteArray("t\\w+l") << false << QByteArray("Total total TOTAL x")
            << QList<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16} << true;
        QTest::newRow("pattern, each match in turn")
            << QByteArray("o.") << true << QByteArray("Total total TOTAL x")
            << QList<int>{1, 2, 7, 8} << true;
        QTest::newRow("pattern, both forms")
            << QByteArray("[\xc3\xa9\xc3\xa8]t") << true << QByteArray("\xe9t et \xe8t")
            << QList<int>{0, 1, 6, 7} << true;
    }
    void highlightsTheSearchTextAsTheSearchMatchesIt() {
        QFETCH(QByteArray, text);
        QFETCH(bool, caseSensitive);
        QFETCH(QByteArray, line);
        QFETCH(QList<int>, highlighted);
        QFETCH(bool, regexp);
        const std::string path = *m_dir / "a.pas";
        WriteBytes(path, NumberedLines(5, {{2, line.toStdString()}}));
        LineViewer viewer;
        viewer.Open(
            path, 4,
            LineMatcher(text.toStdString(), {.caseSensitive = caseSensitive, .regexp = regexp}));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        for (int offset = 0; offset < line.size(); ++offset)
            QVERIFY2(ShowsMatchColour(*viewer.View(), {1, static_cast<std::size_t>(offset)}) ==
                         highlighted.contains(offset),
                     qPrintable(QString::number(offset)));
        QVERIFY(!ShowsMatchColour(*viewer.View(), {0, 0}));
    }

    void f3AndShiftF3GoToTheMatchingLinesRoundTheEnd() {
        const std::string path = *m_dir / "a.pas";
        WriteBytes(path, NumberedLines(30, {{3, "a HIT"}, {7, "hit"}, {21, "and hit again"}}));
        LineViewer viewer;
        viewer.Open(path, 7, LineMatcher("hit", {}));
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        const struct {
            Qt::KeyboardModifiers modifiers;
            int line;
        } steps[] = {{Qt::NoModifier, 21},   {Qt::NoModifier, 3},     {Qt::NoModifier, 7},
                     {Qt::ShiftModifier, 3}, {Qt::ShiftModifier, 21}, {Qt::ShiftModifier, 7}};
        for (const auto& step : steps) {
            QTest::keyClick(viewer.View(), Qt::Key_F3, step.modifiers);
            QCOMPARE(viewer.View()->Caret().line + 1, step.line);
            QCOMPARE(viewer.View()->SelectedText(),
                     QString::fromStdString(std::string(viewer.View()->LineBytes(step.line - 1))));
        }
        // With no line to go to the view stays and the status line says why.
        viewer.Open(path, 5, LineMatcher("absent", {}));
        QTest::keyClick(viewer.View(), Qt::Key_F3);
        QCOMPARE(viewer.View()->Caret().line, 4);
        QCOMPARE(viewer.StatusLine()->text(),
                 QStringLiteral(" Line 5 of 30, column 1 - no line holds the search text"));
        // A pattern: the lines it matches, not those that hold its text.
        viewer.Open(path, 5, LineMatcher("^a.*t", {.regexp = true}));
        for (const int line : {21, 3, 21}) {
            QTest::keyClick(viewer.View(), Qt::Key_F3);
            QCOMPARE(viewer.View()->Caret().line + 1, line);
        }
        // Code only (Pascal's Search In): the lines with an occurrence that starts in code, and
        // only such occurrences highlighted; a comment over two lines is one.
        WriteBytes(
            path,
            NumberedLines(
                30, {{3, "{ hit"}, {4, "hit }"}, {7, "s := 'hit'; hit;"}, {21, "hit // hit"}}));
        viewer.Open(path, 5, LineMatcher("hit", {}), {.comments = false, .strings = false});
        for (const int line : {7, 21, 7}) {
            QTest::keyClick(viewer.View(), Qt::Key_F3);
            QCOMPARE(viewer.View()->Caret().line + 1, line);
        }
        viewer.View()->SelectLine(0);
        QTest::qWait(1);
        for (const std::size_t offset : {6u, 13u})
            QCOMPARE(ShowsMatchColour(*viewer.View(), {6, offset}), offset == 13);
    }

    void aFileThatCannotBeReadShowsTheMessageForItsCode_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("gone") << QStringLiteral("gone.pas") << QStringLiteral("File not found.");
        QTest::newRow("a directory now")
            << QStringLiteral("dir.pas") << QStringLiteral("File access denied.");
    }
    void aFileThatCannotBeReadShowsTheMessageForItsCode() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        sifter::test::MessageRecorder messages;
        QVERIFY(QDir().mkpath(QString::fromStdString(*m_dir / "dir.pas")));
        const std::string shown = *m_dir / "shown.pas";
        WriteBytes(shown, NumberedLines(3, {}));
        LineViewer viewer;
        viewer.Open(shown, 2, LineMatcher("x", {}));
        sifter::ui::Guarded(
            [&] { viewer.Open(*m_dir / name.toStdString(), 1, LineMatcher("x", {})); });
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Error);
        QCOMPARE(messages.messages().front().text, message);
        // What was shown stays.
        QCOMPARE(viewer.Path(), shown);
        QCOMPARE(viewer.View()->Caret().line, 1);
    }

    void aShorterFileShowsItsEndAndSaysItChanged() {
        const std::string path = *m_dir / "a.pas";
        WriteBytes(path, NumberedLines(6, {}));
        LineViewer viewer;
        viewer.Open(path, 9, LineMatcher("x", {}));
        QCOMPARE(viewer.View()->Caret().line, 5);
        QCOMPARE(viewer.View()->TopLine(), 0);
        QCOMPARE(viewer.StatusLine()->text(),
                 QStringLiteral(" Line 6 of 6, column 1 - the file changed since the search: it "
                                "ends before line 9"));
        // The note stays while the file is shown, and goes with the next file.
        QTest::keyClick(viewer.View(), Qt::Key_Up);
        QVERIFY(viewer.StatusLine()->text().endsWith(QStringLiteral("it ends before line 9")));
        viewer.Open(path, 2, LineMatcher("x", {}));
        QCOMPARE(viewer.StatusLine()->text(), QStringLiteral(" Line 2 of 6, column 1"));
        WriteBytes(path, "");
        viewer.Open(path, 2, LineMatcher("x", {}));
        QCOMPARE(viewer.StatusLine()->text(),
                 QStringLiteral(" The file holds no line - the file changed since the search: it "
                                "ends before line 2"));
    }

    void openInEditorHandsTheExactPathToTheDesktop() {
        sifter::test::MessageRecorder messages;
        FakeDesktop desktop;
        const sifter::platform::ScopedDesktop scoped(desktop);
        const std::string path = *m_dir / "it's \"my\" caf\xE9 file.sc";
        WriteBytes(path, "proc x()\r\n");
        LineViewer viewer;
        viewer.Open(path, 1, LineMatcher("x", {}));
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(viewer.EditorButton()->text(), QStringLiteral("Open in Editor"));
        viewer.EditorButton()->click();
        QTest::keyClick(viewer.View(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(desktop.opened, (std::vector<std::string>{path, path}));
        QVERIFY(messages.messages().isEmpty());

        desktop.error = 2;
        QTest::keyClick(viewer.View(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Warning);
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("The file could not be handed to the desktop's editor: xdg-open is "
                                "not installed."));
        desktop.error = 1013;
        viewer.OpenInEditor();
        QCOMPARE(messages.messages().back().text,
                 QStringLiteral("The file could not be handed to the desktop's editor: xdg-open "
                                "could not be started "
                                "(I/O error 1013)."));

        // With a command of the user's: the words it makes, at the caret's line and column,
        // counted in characters; a command that cannot start is named.
        WriteBytes(path, "x\r\n\tcaf\xE9 proc x()\r\n");
        viewer.Open(path, 2, LineMatcher("x", {}));
        viewer.SetEditorCommand([] { return std::string("ed +{line}:{column} {file}"); });
        desktop.error = 0;
        viewer.View()->SetSelection({1, 8}, {1, 8});
        QTest::keyClick(viewer.View(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(desktop.started, (std::vector<std::vector<std::string>>{{"ed", "+2:9", path}}));
        desktop.error = 2;
        viewer.OpenInEditor();
        QCOMPARE(messages.messages().back().text,
                 QStringLiteral("The editor command \"ed +{line}:{column} {file}\" failed: ed is "
                                "not installed."));
        QCOMPARE(desktop.opened.size(), std::size_t{4});
    }

    void ctrlCCopiesTheSelectionAsShown() {
        const std::string path = *m_dir / "a.pas";
        WriteBytes(path, "first line\r\ncaf\xE9 au lait\r\nlast\r\n");
        LineViewer viewer;
        viewer.Open(path, 1, LineMatcher("x", {}));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        LineView& view = *viewer.View();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        view.SetSelection({0, 3}, {0, 3});
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        // From the middle of the first line to the middle of the second, by the keys.
        QTest::keyClick(&view, Qt::Key_Right, Qt::NoModifier);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(u"t line\r\ncafé "));

        // By the mouse: from the start of "au" to just past "lait".
        const QRect from = view.PlaceRect({1, 5});
        const QRect to = view.PlaceRect({1, 12});
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from.topLeft() + QPoint(1, 2));
        QTest::mouseMove(view.viewport(), to.topLeft() + QPoint(1, 2));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to.topLeft() + QPoint(1, 2));
        QCOMPARE(view.SelectedText(), QStringLiteral("au lait"));
        QCOMPARE(viewer.StatusLine()->text(), QStringLiteral(" Line 2 of 3, column 13"));
    }

    void escapeClosesTheViewerAndItIsReused() {
        const std::string a = *m_dir / "a.pas";
        const std::string b = *m_dir / "b.pas";
        WriteBytes(a, NumberedLines(3, {}));
        WriteBytes(b, NumberedLines(8, {}));
        LineViewer viewer;
        viewer.Open(a, 1, LineMatcher("x", {}));
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTest::keyClick(viewer.View(), Qt::Key_Escape);
        QVERIFY(!viewer.isVisible());
        viewer.Open(b, 8, LineMatcher("x", {}));
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.View()->LineCount(), 8);
        QCOMPARE(viewer.Path(), b);
    }

private:
    std::unique_ptr<TempDir> m_dir;
};

QTEST_MAIN(LineViewerTest)
#include "line_viewer_test.moc"
