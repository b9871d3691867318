// The result list as it looks: where pictures and texts start, the colours of plain and
// selected rows, fonts of any size, and rows that are huge or not UTF-8.

#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTest>

#include "result_list_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/pictures.h"
#include "ui/results/result_delegate.h"
#include "ui/results/result_model.h"

using sifter::EntryIcon;
using sifter::test::ColoursIn;
using sifter::test::InkBounds;
using sifter::test::InkOffset;
using sifter::test::PaintedRows;
using sifter::test::ShownList;
using sifter::ui::FontChoice;
using sifter::ui::ResultList;

namespace {

constexpr int kRow = ResultList::kRowHeight;

QColor Role(const ResultList& list, QPalette::ColorRole role) {
    return list.palette().color(QPalette::Active, role);
}

// The picture of `icon` must sit at x with nothing but background left of it, and every pixel
// the image list leaves transparent must be white.
void CheckPicture(const QImage& painted, int row, EntryIcon icon, int x, QRgb background) {
    const QImage picture =
        sifter::ui::EntryPictures().Picture(icon).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage image = sifter::ui::ListImage(sifter::ui::ImageIndex(icon));
    QCOMPARE(painted.copy(x, row * kRow, picture.width(), picture.height()), picture);
    QCOMPARE(ColoursIn(painted, QRect(0, row * kRow, x, kRow)),
             std::vector<QRgb>{background | 0xFF000000u});
    for (int py = 0; py < image.height(); ++py)
        for (int px = 0; px < image.width(); ++px)
            if (qAlpha(image.pixel(px, py)) == 0)
                QCOMPARE(painted.pixel(x + px, row * kRow + py), qRgb(255, 255, 255));
}

}  // namespace

class ResultListPaintTest final : public QObject {
    Q_OBJECT

private slots:
    void rowLayout_data();
    void rowLayout();
    void tallFontKeepsRowsAndTheirTops();
    void chosenColourOnUnselectedRowsOnly();
    void prefixEndsBetweenCharacters_data();
    void prefixEndsBetweenCharacters();
    void longAndForeignRowsShowTheirStart();
    void focusFrameOnTheCurrentRowOnly();
    void redInPicturesTakesTheBackground();
};

void ResultListPaintTest::rowLayout_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<EntryIcon>("icon");
    QTest::addColumn<int>("pictureX");  // -1: no picture
    QTest::addColumn<int>("textX");
    QTest::newRow("banner") << QByteArray("Sifter32 lists lines ") << EntryIcon::Banner << 2 << 24;
    QTest::newRow("file heading") << QByteArray(" main.sc - 3 of 12") << EntryIcon::File << 2 << 24;
    QTest::newRow("procedure row")
        << QByteArray(" proc Foo(x)") << EntryIcon::Procedure << 10 << 32;
    QTest::newRow("match row") << QByteArray("[12] while x < 10") << EntryIcon::Blank << -1 << 8;
    QTest::newRow("blank row") << QByteArray(" ") << EntryIcon::Blank << -1 << 8;
    QTest::newRow("match of a proc line")
        << QByteArray("[3] proc Foo(x)") << EntryIcon::Blank << -1 << 16;
    QTest::newRow("heading that reads as a proc")
        << QByteArray(" my proc (2).sc - 1 of 1") << EntryIcon::File << 10 << 32;
    QTest::newRow("tabs and ampersands")
        << QByteArray("\t&x\tproc y()") << EntryIcon::Blank << -1 << 16;
}

void ResultListPaintTest::rowLayout() {
    QFETCH(QByteArray, text);
    QFETCH(EntryIcon, icon);
    QFETCH(int, pictureX);
    QFETCH(int, textX);
    // The row of interest sits between two others, once plain and once selected.
    auto list = ShownList(
        {{"above", EntryIcon::File}, {text.toStdString(), icon}, {"below", EntryIcon::Blank}});
    QVERIFY(list);
    const QFont font = list->font();
    const QPoint inkAt =
        QPoint(textX, kRow) + InkOffset(font, QString::fromUtf8(text).replace(u'\t', u' '));

    for (const bool selected : {false, true}) {
        list->selectionModel()->select(
            list->Model().index(1),
            selected ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
        const QImage painted = PaintedRows(*list);
        const QColor background = Role(*list, selected ? QPalette::Highlight : QPalette::Base);
        const QColor ink = selected ? Role(*list, QPalette::HighlightedText) : list->TextColour();
        QCOMPARE(QColor(painted.pixel(painted.width() - 1, kRow)), background);
        if (pictureX >= 0) {
            CheckPicture(painted, 1, icon, pictureX, background.rgb());
            if (QTest::currentTestFailed()) return;
        }
        const int from = pictureX >= 0 ? pictureX + 16 : 0;
        if (text.trimmed().isEmpty()) {
            QCOMPARE(ColoursIn(painted, QRect(0, kRow, painted.width(), kRow)),
                     std::vector<QRgb>{background.rgb()});
            continue;
        }
        QCOMPARE(InkBounds(painted, QRect(from, kRow, painted.width() - from, kRow), ink.rgb())
                     .topLeft(),
                 inkAt);
        // Nothing but background and ink in the text's strip.
        std::vector<QRgb> expected{background.rgb(), ink.rgb()};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(ColoursIn(painted, QRect(from, kRow, painted.width() - from, kRow)), expected);
    }
}

void ResultListPaintTest::tallFontKeepsRowsAndTheirTops() {
    auto list = ShownList({{"HHHH", EntryIcon::Blank}, {"HHHH", EntryIcon::Blank}}, {200, 100});
    QVERIFY(list);
    list->setFont(sifter::test::CrispFont(30));
    QCOMPARE(list->visualRect(list->Model().index(1)),
             QRect(0, kRow, list->viewport()->width(), kRow));
    const QImage painted = PaintedRows(*list);
    const QRgb ink = list->TextColour().rgb();
    // Top-aligned: the capitals of a 30-pixel font start where they would on a taller row.
    const QPoint inkAt = QPoint(8, kRow) + InkOffset(list->font(), QStringLiteral("HHHH"));
    QVERIFY(inkAt.y() < 2 * kRow);
    QCOMPARE(InkBounds(painted, QRect(0, kRow, painted.width(), kRow), ink).topLeft(), inkAt);
    // Clipped: nothing of the last row spills below it.
    const QRgb base = Role(*list, QPalette::Base).rgb();
    QCOMPARE(ColoursIn(painted, QRect(0, 2 * kRow, painted.width(), painted.height() - 2 * kRow)),
             std::vector<QRgb>{base});
}

void ResultListPaintTest::chosenColourOnUnselectedRowsOnly() {
    auto list = ShownList({{"Plain row", EntryIcon::Blank}, {"Chosen row", EntryIcon::Blank}});
    QVERIFY(list);
    // The choice comes through the font dialog's hook, as a person would make it.
    std::optional<FontChoice> offered;
    QFont chosenFont = sifter::test::CrispFont(20);
    chosenFont.setUnderline(true);
    sifter::ui::SetFontDialogHook([&](const FontChoice& current) {
        offered = current;
        return std::optional<FontChoice>(FontChoice{chosenFont, QColor(128, 0, 128)});
    });
    const auto chosen = sifter::ui::ChooseFont(list.get(), {list->font(), list->TextColour()});
    sifter::ui::SetFontDialogHook(nullptr);
    QVERIFY(offered && chosen);
    QCOMPARE(offered->font, list->font());
    QCOMPARE(offered->colour, list->TextColour());
    list->setFont(chosen->font);
    list->SetTextColour(chosen->colour);

    list->selectionModel()->select(list->Model().index(1), QItemSelectionModel::ClearAndSelect);
    const QImage painted = PaintedRows(*list);
    QCOMPARE(list->visualRect(list->Model().index(1)).top(), kRow);
    const QRgb base = Role(*list, QPalette::Base).rgb();
    const QRgb purple = qRgb(128, 0, 128);
    const QRgb highlight = Role(*list, QPalette::Highlight).rgb();
    const QRgb highlightText = Role(*list, QPalette::HighlightedText).rgb();
    QCOMPARE(ColoursIn(painted, QRect(0, 0, painted.width(), kRow)),
             (std::vector<QRgb>{std::min(base, purple), std::max(base, purple)}));
    QCOMPARE(ColoursIn(painted, QRect(0, kRow, painted.width(), kRow)),
             (std::vector<QRgb>{std::min(highlight, highlightText),
                                std::max(highlight, highlightText)}));
}

void ResultListPaintTest::prefixEndsBetweenCharacters_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("prefix");
    // A strip of one pixel shows at most two characters of four bytes: eight bytes.
    QTest::newRow("short enough") << QByteArray("abcdefgh") << 1 << QByteArray("abcdefgh");
    QTest::newRow("plain bytes") << QByteArray("abcdefghij") << 1 << QByteArray("abcdefgh");
    QTest::newRow("cut in a euro")
        << QByteArray("abcdefg\xE2\x82\xACz") << 1 << QByteArray("abcdefg");
    QTest::newRow("cut after a euro")
        << QByteArray("abcde\xE2\x82\xACz") << 1 << QByteArray("abcde\xE2\x82\xAC");
    QTest::newRow("cut in a four-byte character")
        << QByteArray("abcde\xF0\x90\x8D\x88z") << 1 << QByteArray("abcde");
    QTest::newRow("stray tail bytes") << QByteArray(20, '\x80') << 1 << QByteArray(5, '\x80');
    QTest::newRow("no width") << QByteArray("abcdefghij") << 0 << QByteArray("abcd");
}

void ResultListPaintTest::prefixEndsBetweenCharacters() {
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QByteArray, prefix);
    const std::string_view shown =
        sifter::ui::VisiblePrefix({text.constData(), std::size_t(text.size())}, width);
    QCOMPARE(QByteArray(shown.data(), qsizetype(shown.size())), prefix);
}

void ResultListPaintTest::longAndForeignRowsShowTheirStart() {
    // Each long or foreign row must look exactly like its short or UTF-8 twin below it. The
    // width is chosen so that the decoded prefix of the euro row ends inside a character.
    const std::string tenMegabytes(10'000'000, 'M');
    std::string euros;
    for (int i = 0; i < 3'000'000; ++i) euros += "\xE2\x82\xAC";
    auto list = ShownList({{tenMegabytes, EntryIcon::Blank},
                           {std::string(600, 'M'), EntryIcon::Blank},
                           {euros, EntryIcon::File},
                           {euros.substr(0, 3 * 300), EntryIcon::File},
                           {"caf\xE9 cr\xE8me \xFF", EntryIcon::Blank},
                           {"caf\xC3\xA9 cr\xC3\xA8me \xC3\xBF", EntryIcon::Blank},
                           {"\xE2\x82", EntryIcon::Blank},
                           {"\xC3\xA2\xE2\x80\x9A", EntryIcon::Blank}},
                          {301, 200});
    QVERIFY(list);
    const QImage painted = PaintedRows(*list);
    for (int row = 0; row < 8; row += 2) {
        QVERIFY(!InkBounds(painted, QRect(8, row * kRow, painted.width() - 8, kRow),
                           list->TextColour().rgb())
                     .isEmpty());
        QCOMPARE(painted.copy(0, row * kRow, painted.width(), kRow),
                 painted.copy(0, (row + 1) * kRow, painted.width(), kRow));
    }
}

void ResultListPaintTest::focusFrameOnTheCurrentRowOnly() {
    auto list = ShownList(
        {{"first", EntryIcon::Blank}, {"current", EntryIcon::Blank}, {"last", EntryIcon::Blank}},
        {200, 64});
    QVERIFY(list);
    list->selectionModel()->setCurrentIndex(list->Model().index(1),
                                            QItemSelectionModel::ClearAndSelect);
    const QImage unfocused = PaintedRows(*list);
    list->activateWindow();
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    const QImage focused = PaintedRows(*list);
    const int width = focused.width();
    // Only the current row's outermost pixels change, every other one of them.
    QCOMPARE(focused.copy(0, 0, width, kRow), unfocused.copy(0, 0, width, kRow));
    QCOMPARE(focused.copy(0, 2 * kRow, width, 2 * kRow),
             unfocused.copy(0, 2 * kRow, width, 2 * kRow));
    QCOMPARE(focused.copy(1, kRow + 1, width - 2, kRow - 2),
             unfocused.copy(1, kRow + 1, width - 2, kRow - 2));
    for (const QRect& edge : {QRect(0, kRow, width, 1), QRect(0, 2 * kRow - 1, width, 1),
                              QRect(0, kRow, 1, kRow), QRect(width - 1, kRow, 1, kRow)}) {
        int changed = 0;
        for (int y = edge.top(); y <= edge.bottom(); ++y)
            for (int x = edge.left(); x <= edge.right(); ++x)
                changed += focused.pixel(x, y) != unfocused.pixel(x, y);
        const int length = std::max(edge.width(), edge.height());
        QVERIFY2(changed >= length / 2 - 1 && changed <= length / 2 + 1,
                 qPrintable(QString::number(changed)));
    }
    // The selection stays highlighted without the focus.
    list->clearFocus();
    QCOMPARE(PaintedRows(*list), unfocused);
}

void ResultListPaintTest::redInPicturesTakesTheBackground() {
    QImage image(4, 2, QImage::Format_ARGB32);
    image.fill(qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    image.setPixel(2, 1, qRgb(254, 0, 0));
    const QImage result = sifter::ui::WithRedAs(QPixmap::fromImage(image), QColor(0, 0, 128))
                              .toImage()
                              .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const QRgb before = image.pixel(x, y);
            QCOMPARE(result.pixel(x, y), before == qRgb(255, 0, 0) ? qRgb(0, 0, 128) : before);
        }
}

QTEST_MAIN(ResultListPaintTest)
#include "result_list_paint_test.moc"
