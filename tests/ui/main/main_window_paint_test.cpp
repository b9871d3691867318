// The main window as drawn: the Sifter button's glyph and caption, and the status bar's panel.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QtTest>

#include "test_support.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui_test_support.h"

using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

// Where `glyph` appears in `image` with every opaque pixel as it is; (-1, -1) when nowhere.
QPoint FindGlyph(const QImage& image, const QImage& glyph) {
    for (int y = 0; y + glyph.height() <= image.height(); ++y) {
        for (int x = 0; x + glyph.width() <= image.width(); ++x) {
            bool same = true;
            for (int gy = 0; same && gy < glyph.height(); ++gy)
                for (int gx = 0; same && gx < glyph.width(); ++gx)
                    if (qAlpha(glyph.pixel(gx, gy)) == 255)
                        same = image.pixel(x + gx, y + gy) == glyph.pixel(gx, gy);
            if (same) return {x, y};
        }
    }
    return {-1, -1};
}

// The first column from `from` on with a pixel other than `background` in rows `top` to
// `bottom`; -1 when there is none.
int FirstInkColumn(const QImage& image, int from, int to, int top, int bottom, QRgb background) {
    for (int x = from; x < to; ++x)
        for (int y = top; y <= bottom; ++y)
            if (image.pixel(x, y) != background) return x;
    return -1;
}

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class MainWindowPaintTest final : public QObject {
    Q_OBJECT

private slots:
    // The look the program sets for itself.
    void initTestCase() { QApplication::setStyle(QStringLiteral("Windows")); }
    void init() { m_dir = std::make_unique<sifter::test::ScratchDirectory>(); }
    void cleanup() { m_dir.reset(); }

    // The caption starts 5 pixels after the 16-pixel glyph, in every state of the button.
    void theSifterCaptionStartsFivePixelsAfterTheGlyph_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("down");
        QTest::newRow("disabled") << false << false;
        QTest::newRow("enabled") << true << false;
        QTest::newRow("pressed") << true << true;
    }
    void theSifterCaptionStartsFivePixelsAfterTheGlyph() {
        QFETCH(bool, enabled);
        QFETCH(bool, down);
        sifter::ui::TForm1 window({});
        window.show();
        if (enabled) window.Edit1()->setText(QStringLiteral("x"));
        auto* button = Find<QPushButton>(window, names::kPbSifter);
        QCOMPARE(button->isEnabled(), enabled);
        button->setDown(down);
        const QImage shown = Grab(button);
        const QImage glyph = sifter::ui::SifterGlyph()
                                 .pixmap(QSize(16, 16), enabled ? QIcon::Normal : QIcon::Disabled)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        const QPoint at = FindGlyph(shown, glyph);
        QVERIFY(at.x() >= 0);

        // Where the caption's first ink stands from the point it is drawn at, in this font.
        const QRgb face = button->palette().color(QPalette::Button).rgb();
        QImage alone(shown.size(), QImage::Format_RGB32);
        alone.fill(face);
        {
            QPainter painter(&alone);
            painter.setFont(button->font());
            button->style()->drawItemText(
                &painter, alone.rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                button->palette(), enabled, button->text(), QPalette::ButtonText);
        }
        const int bearing = FirstInkColumn(alone, 0, alone.width(), 0, alone.height() - 1, face);
        QVERIFY(bearing >= 0);
        const int ink =
            FirstInkColumn(shown, at.x() + 16, shown.width() - 3, at.y(), at.y() + 15, face);
        QVERIFY(ink >= 0);
        QCOMPARE(ink - bearing - (at.x() + 16), 5);
    }

    // One panel, 400 pixels wide from the left edge, in one sunken frame.
    void theStatusBarHasOnePanelWithOneFrameFromTheLeftEdge() {
        sifter::ui::TForm1 window({});
        window.show();
        auto* bar = Find<QStatusBar>(window, names::kStatusBar1);
        auto* panel = Find<QLabel>(window, names::kStatusPanel0);
        QCOMPARE(bar->height(), 21);
        QCOMPARE(panel->geometry(), QRect(0, 2, 400, 19));
        const QImage shown = Grab(bar);
        const QPalette& colours = panel->palette();
        const QRgb dark = colours.color(QPalette::Dark).rgb();
        const QRgb light = colours.color(QPalette::Light).rgb();
        const QRgb face = bar->palette().color(QPalette::Window).rgb();
        const int middle = 11;
        QCOMPARE(shown.pixel(0, middle), dark);
        QCOMPARE(shown.pixel(399, middle), light);
        QCOMPARE(shown.pixel(200, 2), dark);
        QCOMPARE(shown.pixel(200, 20), light);
        // Inside the frame, and right of it, nothing but the face: no second frame.
        for (int x = 1; x < 399; ++x) QCOMPARE(shown.pixel(x, middle), face);
        for (int x = 400; x < shown.width(); ++x) QCOMPARE(shown.pixel(x, middle), face);
        for (int y = 3; y < 20; ++y) QCOMPARE(shown.pixel(1, y), face);
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
};

QTEST_MAIN(MainWindowPaintTest)
#include "main_window_paint_test.moc"
