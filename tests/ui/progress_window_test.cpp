// The progress window during a search: what reaches the screen while a long read keeps the
// user-interface thread busy.

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QThread>
#include <QtTest>

#include "fault_support.h"
#include "test_support.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"

using sifter::test::TempDir;

namespace {

// What the window last painted: the label's text and the bar's position.
class PaintedState final : public QObject {
public:
    explicit PaintedState(sifter::ui::TForm2& window) {
        window.Label()->installEventFilter(this);
        window.Gauge()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        if (const auto* label = qobject_cast<QLabel*>(watched)) m_label = label->text();
        if (const auto* gauge = qobject_cast<QProgressBar*>(watched)) m_position = gauge->value();
        return false;
    }
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
        TempDir dir;
        sifter::test::CurrentDirectoryGuard cwd;
        sifter::test::ChangeDirectory(dir.path());
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
                                    shownAtLastRead = painted.m_label;
                                    positionAtLastRead = painted.m_position;
                                }});
        sifter::platform::ScopedSystem scoped(system);
        window.pbSifterClick();

        QVERIFY(reads > 1000);
        QCOMPARE(shownAtLastRead, QStringLiteral("Sifter32 - Searching for \"begin\" in b.pas"));
        QCOMPARE(positionAtLastRead, 2);
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
