// The progress window during a search: what reaches the screen while a long read keeps the
// user-interface thread busy.

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QThread>
#include <QtTest>
#include <mutex>
#include <tuple>

#include "fault_support.h"
#include "test_support.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"

namespace {

// What the window last painted: the label's text and the bar's position. A file may be read on
// another thread than the one that paints, so what was painted is looked at under a lock.
class PaintedState final : public QObject {
public:
    explicit PaintedState(sifter::ui::TForm2& window) {
        window.Label()->installEventFilter(this);
        window.Gauge()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (const auto* label = qobject_cast<QLabel*>(watched)) m_label = label->text();
        if (const auto* gauge = qobject_cast<QProgressBar*>(watched)) m_position = gauge->value();
        return false;
    }
    std::pair<QString, int> Shown() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return {m_label, m_position};
    }

private:
    std::mutex m_mutex;
    QString m_label;
    int m_position = -1;
};

}  // namespace

class ProgressWindowTest final : public QObject {
    Q_OBJECT

private slots:
    // A tiny file, then one that takes long to read: while the second is read, the screen
    // names it and counts it, although its label came less than a frame after the first.
    void aLongReadShowsItsOwnFileBeforeItEnds() {
        const sifter::test::ScratchDirectory dir;
        sifter::test::WriteBytes(dir / "a.pas", "begin\r\n");
        std::string large;
        while (large.size() < (1 << 20)) large += "    x := x + 1; { not the text }\r\n";
        sifter::test::WriteBytes(dir / "b.pas", large);

        sifter::ui::TForm1 window({});
        sifter::ui::TForm2 progress;
        window.SetProgressWindow(&progress);
        window.Edit1()->setText(QStringLiteral("begin"));
        PaintedState painted(progress);
        // The first read of the large file stalls for two frames, as a slow disk would; every
        // read notes what the screen showed at that moment.
        QString shownAtLastRead;
        int positionAtLastRead = -1;
        int reads = 0;
        sifter::test::FaultySystem system(
            sifter::test::Fault{.call = sifter::test::Call::Read,
                                .times = sifter::test::Fault::kForever,
                                .error = 0,
                                .name = "b.pas",
                                .action = [&] {
                                    if (reads++ == 0) QThread::msleep(40);
                                    std::tie(shownAtLastRead, positionAtLastRead) = painted.Shown();
                                }});
        sifter::platform::ScopedSystem scoped(system);
        window.pbSifterClick();

        QVERIFY(reads > 1000);
        QCOMPARE(shownAtLastRead, QStringLiteral("Sifter32 - Searching for \"begin\" in b.pas"));
        QCOMPARE(positionAtLastRead, 2);
    }

    // Files that come faster than frames are not laid out one by one: the screen shows the
    // last of them at the next repaint, and the window holds it from then on.
    void filesWithinAFrameShowTheLastOfThemAtTheNextRepaint() {
        sifter::ui::TForm2 progress;
        PaintedState painted(progress);
        progress.Started(3, "begin");
        progress.FileStarted(1, "a.pas");
        progress.FileStarted(2, "b.pas");
        progress.FileStarted(3, "c.pas");
        QThread::msleep(20);
        progress.StillReading();
        QCOMPARE(painted.Shown(),
                 std::make_pair(QStringLiteral("Sifter32 - Searching for \"begin\" in c.pas"), 3));
        QCOMPARE(progress.Label()->text(),
                 QStringLiteral("Sifter32 - Searching for \"begin\" in c.pas"));
        QCOMPARE(progress.Gauge()->value(), 3);
        progress.CloseProgress();
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
