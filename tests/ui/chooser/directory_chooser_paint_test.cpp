// The directory chooser as it looks: the window layout, its pictures, the tree's rows and the
// entries of the volume list.

#include <QComboBox>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include "directory_chooser_support.h"
#include "ui/chooser/chooser_drawing.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/chooser/directory_outline.h"
#include "ui/chooser/volume_selector.h"
#include "ui/conventions.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui_test_support.h"

using sifter::platform::Volume;
using sifter::test::ChooserWorld;
using sifter::test::Combined;
using sifter::test::Press;
using sifter::test::Rows;
using sifter::test::Run;
using sifter::test::SelectRowReading;
using sifter::ui::FolderImage;
using sifter::ui::FolderPicture;
using sifter::ui::TForm3;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(sifter::platform::Volume)

using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

// What a picture looks like drawn on `background`, cut to `size`.
QImage OnBackground(const QPixmap& picture, QSize size, QColor background) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, picture);
    return image;
}

QImage Region(const QImage& image, const QRect& rect) {
    return image.copy(rect).convertToFormat(QImage::Format_RGB32);
}

bool AllPixels(const QImage& image, const QRect& rect, QColor colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixelColor(x, y).rgb() != colour.rgb()) return false;
    return true;
}

}  // namespace

class DirectoryChooserPaintTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<ChooserWorld>(); }
    void cleanup() { m_world.reset(); }

    void layoutFollowsTheWindowDesign() {
        TForm3 dialog;
        QCOMPARE(dialog.objectName(), u"Form3"_s);
        QCOMPARE(dialog.size(), QSize(439, 392));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog.font().family(), u"Liberation Sans"_s);
        QCOMPARE(dialog.font().pixelSize(), 11);
        const std::pair<const char*, QRect> controls[] = {
            {names::kDirectoryListbox1, {0, 0, 439, 351}}, {names::kPanel1, {0, 351, 439, 41}},
            {names::kDriveComboBox1, {7, 12, 201, 19}},    {names::kBitBtn1, {260, 9, 75, 25}},
            {names::kBitBtn2, {352, 9, 75, 25}},
        };
        for (const auto& [name, geometry] : controls) {
            QCOMPARE(Find<QWidget>(dialog, name)->geometry(), geometry);
        }
        QCOMPARE(dialog.DriveComboBox1()->parentWidget(), dialog.Panel1());
        QVERIFY(!dialog.DriveComboBox1()->isEditable());
        QCOMPARE(dialog.BitBtn1()->text(), u"OK"_s);
        QCOMPARE(dialog.BitBtn2()->text(), u"&Cancel"_s);
        QVERIFY(dialog.BitBtn1()->isDefault());
        QVERIFY(!dialog.BitBtn2()->isDefault());
        for (const QPushButton* button : {dialog.BitBtn1(), dialog.BitBtn2()}) {
            QCOMPARE(button->iconSize(), QSize(18, 18));
            const QImage normal = button->icon().pixmap(18, QIcon::Normal).toImage();
            QVERIFY(!normal.isNull());
            QVERIFY(normal != button->icon().pixmap(18, QIcon::Disabled).toImage());
        }
        // Tab goes through the panel first, then to the tree.
        QList<QWidget*> order;
        QWidget* widget = dialog.DriveComboBox1();
        do {
            if (widget->focusPolicy() & Qt::TabFocus && widget->window() == &dialog)
                order.append(widget);
            widget = widget->nextInFocusChain();
        } while (widget != dialog.DriveComboBox1());
        QCOMPARE(order, (QList<QWidget*>{dialog.DriveComboBox1(), dialog.BitBtn1(),
                                         dialog.BitBtn2(), dialog.DirectoryListbox1()}));
    }

    void picturesAreKeyedByTheirBottomLeftPixel() {
        for (const FolderPicture kind :
             {FolderPicture::Open, FolderPicture::Closed, FolderPicture::Leaf}) {
            const QImage image = FolderImage(kind).toImage();
            QCOMPARE(image.size(), QSize(14, 14));
            for (int x = 0; x < 14; ++x) QCOMPARE(image.pixelColor(x, 13).alpha(), 0);
        }
        QVERIFY(FolderImage(FolderPicture::Open).toImage() !=
                FolderImage(FolderPicture::Closed).toImage());
        // The leaf's face is a yellow and white checkerboard inside a black outline.
        const QImage leaf = FolderImage(FolderPicture::Leaf).toImage();
        QCOMPARE(leaf.pixelColor(1, 12), QColor(Qt::black));
        for (int y = 5; y < 11; ++y) {
            for (int x = 3; x < 11; ++x) {
                const QColor here = leaf.pixelColor(x, y);
                QVERIFY(here == QColor(Qt::yellow) || here == QColor(Qt::white));
                QVERIFY(here != leaf.pixelColor(x + 1, y));
                QVERIFY(here != leaf.pixelColor(x, y + 1));
            }
        }
        QList<QImage> volumes;
        for (const auto kind : {Volume::Kind::Fixed, Volume::Kind::Removable, Volume::Kind::Network,
                                Volume::Kind::CdRom, Volume::Kind::RamDisk}) {
            const QImage image = sifter::ui::VolumeImage(kind).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            QCOMPARE(image.pixelColor(0, 15).alpha(), 0);
            QVERIFY(!volumes.contains(image));
            volumes.append(image);
        }
        QImage keyed(3, 2, QImage::Format_RGB32);
        keyed.fill(Qt::red);
        keyed.setPixelColor(1, 0, Qt::blue);
        keyed = sifter::ui::KeyedByBottomLeft(keyed);
        QCOMPARE(keyed.pixelColor(2, 0).alpha(), 0);
        QCOMPARE(keyed.pixelColor(1, 0), QColor(Qt::blue));
    }

    void rowsShowTheirFolderAndTheSelectedName() {
        TForm3 dialog;
        Run(dialog, [&](TForm3& shown) {
            auto* outline = shown.DirectoryListbox1();
            SelectRowReading(shown, u"  src"_s);
            Press(shown, Combined(Qt::Key_Right));
            Press(shown, Combined(Qt::Key_Minus));  // src: children listed, closed
            SelectRowReading(shown, u"  C"_s);
            Press(shown, Combined(Qt::Key_Right));  // C: read, nothing listed
            const QImage image = outline->viewport()->grab().toImage();
            const QColor base = outline->palette().color(QPalette::Active, QPalette::Base);
            const std::pair<QString, FolderPicture> expected[] = {
                {m_world->Expected({u"<top>"_s}).front(), FolderPicture::Open},
                {u" work"_s, FolderPicture::Open},
                {u"  src"_s, FolderPicture::Closed},
                {u"  C"_s, FolderPicture::Leaf},
                {u"  B"_s, FolderPicture::Leaf},
            };
            for (const auto& [row, picture] : expected) {
                const int index = static_cast<int>(Rows(shown).indexOf(row));
                const QRect rect = outline->PictureRect(index);
                QCOMPARE(rect.size(), QSize(14, 13));
                QCOMPARE(Region(image, rect),
                         OnBackground(FolderImage(picture), rect.size(), base));
            }
            const int c = outline->SelectedRow();
            QCOMPARE(outline->RowRect(c + 1).top() - outline->RowRect(c).top(), 13);
            // The highlight covers the name's width and the row's 13 pixels, nothing beyond.
            const QRect name = outline->NameRect(c);
            QCOMPARE(name.width(), outline->fontMetrics().horizontalAdvance(u"C"_s) + 4);
            const QColor highlight =
                outline->palette().color(QPalette::Active, QPalette::Highlight);
            QVERIFY(AllPixels(image, {name.left() + 1, name.top() + 1, 1, 11}, highlight));
            QVERIFY(AllPixels(image, {name.right() + 1, name.top(), 3, 13}, base));
            const QRect above = outline->NameRect(c - 1);
            QVERIFY(AllPixels(image, {above.left() + 1, above.top(), 1, 13}, base));
        });
    }

    void theSelectedNameHasAFocusRectangleWhileTheTreeHasTheFocus() {
        TForm3 dialog;
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* outline = dialog.DirectoryListbox1();
        const QRect name = outline->NameRect(outline->SelectedRow());
        const QColor highlight = outline->palette().color(QPalette::Active, QPalette::Highlight);
        const QColor inverse(255 - highlight.red(), 255 - highlight.green(),
                             255 - highlight.blue());
        QVERIFY(outline->hasFocus());
        QCOMPARE(outline->viewport()->grab().toImage().pixelColor(name.topLeft()), inverse);
        dialog.BitBtn1()->setFocus();
        QCOMPARE(outline->viewport()->grab().toImage().pixelColor(name.topLeft()), highlight);
    }

    void volumeEntryTexts_data() {
        QTest::addColumn<Volume>("volume");
        QTest::addColumn<QString>("text");
        using K = Volume::Kind;
        QTest::newRow("fixed") << Volume{"/", "System", "ext4", K::Fixed} << u"/ [system]"_s;
        QTest::newRow("no label") << Volume{"/srv", "", "xfs", K::Fixed} << u"/srv []"_s;
        QTest::newRow("ampersand")
            << Volume{"/data", "Fotos & Mehr", "ext4", K::Fixed} << u"/data [fotos & mehr]"_s;
        QTest::newRow("not ASCII")
            << Volume{"/d", "\xC3\x84RGER", "ext4", K::Fixed} << u"/d [\u00E4rger]"_s;
        QTest::newRow("mount path keeps its case")
            << Volume{"/Big", "B", "ext4", K::Fixed} << u"/Big [b]"_s;
        QTest::newRow("removable")
            << Volume{"/media/usb", "STICK", "vfat", K::Removable} << u"/media/usb"_s;
        QTest::newRow("network") << Volume{"/mnt/s", "//Server/Share", "cifs", K::Network}
                                 << u"/mnt/s //server/share"_s;
        QTest::newRow("network, no source")
            << Volume{"/mnt/n", "", "nfs", K::Network} << u"/mnt/n []"_s;
        QTest::newRow("CD") << Volume{"/media/cd", "DISC_1", "iso9660", K::CdRom}
                            << u"/media/cd [disc_1]"_s;
        QTest::newRow("RAM disk") << Volume{"/run/ram", "", "tmpfs", K::RamDisk}
                                  << u"/run/ram []"_s;
    }
    void volumeEntryTexts() {
        QFETCH(Volume, volume);
        QFETCH(QString, text);
        QCOMPARE(sifter::ui::VolumeEntryText(volume), text);
    }

    void volumeEntriesPutThePictureAndTheTextInPlace() {
        TForm3 dialog;
        Run(dialog, [](TForm3&) {});
        const QComboBox* drives = dialog.DriveComboBox1();
        QCOMPARE(drives->currentText(), QString::fromStdString(m_world->Top() + " [data disk]"));
        sifter::ui::VolumeEntryDelegate delegate;
        QStyleOptionViewItem option;
        option.font = sifter::ui::DialogFont();
        option.rect = QRect(0, 0, 200, 16);
        const auto& volumes = dialog.DriveComboBox1()->Volumes();
        for (int entry = 0; entry < drives->count(); ++entry) {
            const QModelIndex index = drives->model()->index(entry, 0);
            QCOMPARE(delegate.sizeHint(option, index).height(), 16);
            QImage image(200, 16, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            delegate.paint(&painter, option, index);
            painter.end();
            const auto kind = volumes[static_cast<std::size_t>(entry)].kind;
            QCOMPARE(Region(image, {2, 0, 16, 16}),
                     OnBackground(sifter::ui::VolumeImage(kind), {16, 16}, Qt::white));
            // The text begins 6 pixels after the picture's width.
            QVERIFY(AllPixels(image, {18, 0, 4, 16}, Qt::white));
            QVERIFY(!AllPixels(image, {22, 0, 8, 16}, Qt::white));
        }
    }

private:
    std::unique_ptr<ChooserWorld> m_world;
};

QTEST_MAIN(DirectoryChooserPaintTest)
#include "directory_chooser_paint_test.moc"
