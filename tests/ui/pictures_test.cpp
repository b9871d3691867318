// The pictures: the image list against its XPM sources, the colours and shapes the rows
// depend on, the row pictures on white, the button glyph and the program icon.

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "ui/pictures.h"

using sifter::EntryIcon;
namespace ui = sifter::ui;

Q_DECLARE_METATYPE(sifter::EntryIcon)

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255), kGrey = qRgb(128, 128, 128);
constexpr QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kCyan = qRgb(0, 255, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0), kOlive = qRgb(128, 128, 0);

// Reads an XPM of one character per pixel with its own small parser, so that the image list
// is checked against the file rather than against the loader it uses.
QImage ParseXpm(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromLatin1(file.readAll());
    QStringList strings;
    for (const auto& match : QRegularExpression(QStringLiteral("\"([^\"]*)\"")).globalMatch(text)) {
        strings << match.captured(1);
    }
    if (strings.isEmpty()) return {};
    const QStringList header = strings.takeFirst().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int width = header[0].toInt(), height = header[1].toInt(), colours = header[2].toInt();
    QHash<QChar, QRgb> palette;
    for (const QString& entry : strings.mid(0, colours)) {
        const QString value = entry.mid(entry.lastIndexOf(QLatin1Char(' ')) + 1);
        palette[entry[0]] = value == QStringLiteral("None")
                                ? qRgba(0, 0, 0, 0)
                                : (value.mid(1).toUInt(nullptr, 16) | 0xFF000000u);
    }
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, palette.value(strings[colours + y][x]));
    }
    return image;
}

QSet<QRgb> OpaqueColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) colours << pixel;
        }
    }
    return colours;
}

int CountOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

bool Transparent(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 0;
}

}  // namespace

class PicturesTest final : public QObject {
    Q_OBJECT

private slots:
    void listImageIsItsFile_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("file");
        QTest::newRow("0 banner") << 0 << QStringLiteral(":/list_banner.xpm");
        QTest::newRow("1 arrow") << 1 << QStringLiteral(":/list_arrow.xpm");
        QTest::newRow("2 hand") << 2 << QStringLiteral(":/list_hand.xpm");
        QTest::newRow("3 procedure") << 3 << QStringLiteral(":/list_procedure.xpm");
        QTest::newRow("4 file") << 4 << QStringLiteral(":/list_file.xpm");
        QTest::newRow("5 bolt") << 5 << QStringLiteral(":/list_bolt.xpm");
    }
    void listImageIsItsFile() {
        QFETCH(int, index);
        QFETCH(QString, file);
        const QImage image = ui::ListImage(index);
        const QImage drawn = ParseXpm(file);
        QCOMPARE(image.size(), QSize(16, 16));
        QCOMPARE(drawn.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY2(qAlpha(pixel) == 0 || qAlpha(pixel) == 255, "mask is not one bit");
                // Masked-out pixels carry black, every other pixel the colour that was drawn.
                QCOMPARE(pixel, drawn.pixel(x, y));
            }
        }
    }

    void listImageOutOfRangeIsNull() {
        QVERIFY(ui::ListImage(-1).isNull());
        QVERIFY(ui::ListImage(ui::kImageCount).isNull());
    }

    // The row images are drawn on the highlight colour as well, so they keep to exactly
    // their own few colours, never pure red; the others need only show theirs.
    void imageColours_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<QRgb>>("colours");
        QTest::addColumn<bool>("only");
        QTest::newRow("banner") << 0 << QList<QRgb>{kBlack, kWhite, kBlue} << true;
        QTest::newRow("arrow") << 1 << QList<QRgb>{kRed, kBlack} << false;
        QTest::newRow("hand") << 2 << QList<QRgb>{kYellow, kWhite, kBlack} << false;
        QTest::newRow("procedure") << 3 << QList<QRgb>{kBlack, kWhite, kGrey, kCyan} << true;
        QTest::newRow("file") << 4 << QList<QRgb>{kBlack, kWhite, kGrey, kYellow} << true;
        QTest::newRow("bolt") << 5 << QList<QRgb>{kYellow, kRed} << false;
    }
    void imageColours() {
        QFETCH(int, index);
        QFETCH(QList<QRgb>, colours);
        QFETCH(bool, only);
        const QSet<QRgb> used = OpaqueColours(ui::ListImage(index));
        const QSet<QRgb> expected(colours.begin(), colours.end());
        if (only) {
            QCOMPARE(used, expected);
            QVERIFY(!used.contains(kRed));
        } else {
            QVERIFY(used.contains(expected));
        }
    }

    void bannerIsABookOnHalfTheCell() {
        const QImage image = ui::ListImage(0);
        const int clear = CountOf(image, qRgba(0, 0, 0, 0));
        QVERIFY2(clear >= 96 && clear <= 160, qPrintable(QString::number(clear)));
        // The blue edge lies under the pages: above every blue pixel there is book, below none.
        int blue = 0;
        for (int y = 1; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (image.pixel(x, y) != kBlue) continue;
                ++blue;
                QVERIFY(!Transparent(image, x, y - 1));
                QVERIFY(y == 15 || image.pixel(x, y + 1) != kBlack);
            }
        }
        QVERIFY(blue >= 6);
        // The fold: a black column near the middle with white pages on both sides.
        int foldRows = 0;
        for (int y = 0; y < 16; ++y) {
            const bool fold = image.pixel(7, y) == kBlack && image.pixel(6, y) == kWhite &&
                              image.pixel(8, y) == kWhite;
            foldRows += fold ? 1 : 0;
        }
        QVERIFY(foldRows >= 4);
    }

    void procedureIsAButtonInTheTopLeft() {
        const QImage image = ui::ListImage(3);
        for (int i = 0; i < 16; ++i) {
            QVERIFY(Transparent(image, 15, i));
            QVERIFY(Transparent(image, i, 15));
        }
        // Ring by ring from the outside: cyan, black, then the lit and shaded inner edges.
        for (int i = 0; i < 15; ++i) {
            for (const QPoint p : {QPoint(i, 0), QPoint(0, i), QPoint(i, 14), QPoint(14, i)}) {
                QCOMPARE(image.pixel(p), kCyan);
            }
        }
        for (int i = 1; i < 14; ++i) {
            for (const QPoint p : {QPoint(i, 1), QPoint(1, i), QPoint(i, 13), QPoint(13, i)}) {
                QCOMPARE(image.pixel(p), kBlack);
            }
        }
        for (int i = 2; i < 12; ++i) {
            QCOMPARE(image.pixel(i, 2), kWhite);
            QCOMPARE(image.pixel(2, i), kWhite);
            QCOMPARE(image.pixel(i + 1, 12), kGrey);
            QCOMPARE(image.pixel(12, i + 1), kGrey);
        }
        // The face: clear but for a triangle that narrows to the right, level about row 7.
        int previous = 16, widest = 0, black = 0, clear = 0;
        for (int x = 3; x < 12; ++x) {
            int column = 0;
            for (int y = 3; y < 12; ++y) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY(pixel == kBlack || qAlpha(pixel) == 0);
                if (pixel == kBlack) {
                    ++column;
                    QCOMPARE(image.pixel(x, 14 - y), kBlack);
                }
                clear += qAlpha(pixel) == 0 ? 1 : 0;
            }
            if (column > 0) QVERIFY(column < previous || widest == 0);
            if (column > 0) previous = column;
            widest = std::max(widest, column);
            black += column;
        }
        QVERIFY(widest >= 5);
        QVERIFY(clear > black);
    }

    void fileIsAYellowBoxFillingTheCell() {
        const QImage image = ui::ListImage(4);
        int clear = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (!Transparent(image, x, y)) continue;
                ++clear;
                QVERIFY2(y == 0 || y == 15, "a transparent pixel away from the corners");
            }
        }
        const int yellow = CountOf(image, kYellow);
        QVERIFY(clear <= 16);
        for (const QRgb other : {kBlack, kWhite, kGrey}) QVERIFY(yellow > CountOf(image, other));
    }

    void entryPictures_data() {
        QTest::addColumn<EntryIcon>("icon");
        QTest::addColumn<int>("index");
        QTest::newRow("banner") << EntryIcon::Banner << 0;
        QTest::newRow("file") << EntryIcon::File << 4;
        QTest::newRow("procedure") << EntryIcon::Procedure << 3;
    }
    void entryPictures() {
        QFETCH(EntryIcon, icon);
        QFETCH(int, index);
        QCOMPARE(ui::ImageIndex(icon), index);
        const ui::EntryPictures pictures;
        const QImage picture = pictures.Picture(icon).toImage();
        const QImage image = ui::ListImage(index);
        QCOMPARE(picture.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb pixel = picture.pixel(x, y);
                QCOMPARE(qAlpha(pixel), 255);
                const QRgb expected = Transparent(image, x, y) ? kWhite : image.pixel(x, y);
                QCOMPARE(pixel, expected);
            }
        }
    }

    void blankPictureIsEmpty() {
        const ui::EntryPictures pictures;
        QCOMPARE(ui::ImageIndex(EntryIcon::Blank), -1);
        QVERIFY(pictures.Picture(EntryIcon::Blank).isNull());
        QCOMPARE(pictures.Picture(EntryIcon::Blank).width(), 0);
    }

    void sifterGlyphHasTwoStates() {
        const QIcon glyph = ui::SifterGlyph();
        QVERIFY(!glyph.isNull());
        const QImage normal = glyph.pixmap(QSize(16, 16), QIcon::Normal).toImage();
        const QImage disabled = glyph.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
        QCOMPARE(normal.size(), QSize(16, 16));
        QCOMPARE(disabled.size(), QSize(16, 16));
        QVERIFY(normal != disabled);
        for (const QImage& state : {normal, disabled}) {
            const QSet<QRgb> used = OpaqueColours(state);
            QVERIFY(!used.contains(kOlive));
            QVERIFY(Transparent(state, 0, 0));
            QVERIFY(used.size() >= 2);
        }
        // The pointing hand marks its target in red; greyed out, only grey and white remain.
        QVERIFY(OpaqueColours(normal).contains(kRed));
        QCOMPARE(OpaqueColours(disabled), (QSet<QRgb>{kGrey, kWhite}));
    }

    void programIconHasSixteenColours() {
        // The classic palette: every mix of off and full, of off and half, and silver.
        QSet<QRgb> palette{qRgb(192, 192, 192)};
        for (const int on : {128, 255}) {
            for (int mix = 0; mix < 8; ++mix) {
                palette << qRgb(mix & 1 ? on : 0, mix & 2 ? on : 0, mix & 4 ? on : 0);
            }
        }
        QCOMPARE(palette.size(), 16);
        const QImage image = ui::ProgramIconImage();
        QCOMPARE(image.size(), QSize(32, 32));
        const QSet<QRgb> used = OpaqueColours(image);
        QVERIFY(used.size() >= 4 && used.size() <= 16);
        for (const QRgb colour : used) {
            QVERIFY2(palette.contains(colour), qPrintable(QColor(colour).name()));
        }
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) QVERIFY(qAlpha(image.pixel(x, y)) % 255 == 0);
        }
        const QIcon icon = ui::ProgramIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
