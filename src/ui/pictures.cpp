#include "ui/pictures.h"

#include <QPainter>
#include <QString>
#include <QtDebug>

namespace sifter::ui {
namespace {

constexpr int kCellSize = 16;

// The image list in index order; the rows only use 0, 3 and 4, the others are kept so that
// the list stays complete and its indexes keep their meaning.
constexpr std::array<const char*, kImageCount> kListImageFiles = {
    ":/list_banner.xpm",    ":/list_arrow.xpm", ":/list_hand.xpm",
    ":/list_procedure.xpm", ":/list_file.xpm",  ":/list_bolt.xpm",
};

// The glyph is drawn on olive: the button's key colour, not part of the picture.
constexpr QRgb kGlyphKeyColour = qRgb(128, 128, 0);

QImage LoadPicture(const char* path) {
    const QString name = QString::fromLatin1(path);
    QImage image(name);
    if (image.isNull()) {
        qWarning("sifter32: picture %s is missing from the resources", path);
        return image;
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The list keeps a one-bit mask: whatever the file says, a pixel is either drawn or not, and
// a masked-out pixel holds black so that no stray colour survives under the mask.
QImage WithOneBitMask(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qAlpha(line[x]) < 128 ? qRgba(0, 0, 0, 0) : (line[x] | 0xFF000000u);
        }
    }
    return image;
}

// `key` is an opaque colour; pixels of exactly that colour become transparent.
QImage KeyedOut(QImage image, QRgb key) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

// A row picture: white where the image is masked out, so that the icon keeps a white
// background on a highlighted row as well.
QPixmap OnWhite(const QImage& image) {
    QPixmap picture(kCellSize, kCellSize);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, image);
    return picture;
}

}  // namespace

QImage ListImage(int index) {
    if (index < 0 || index >= kImageCount) return {};
    // Loaded once: every search makes new row pictures, the images themselves never change.
    static const std::array<QImage, kImageCount> images = [] {
        std::array<QImage, kImageCount> loaded;
        for (int i = 0; i < kImageCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            loaded[at] = WithOneBitMask(LoadPicture(kListImageFiles[at]));
        }
        return loaded;
    }();
    return images[static_cast<std::size_t>(index)];
}

int ImageIndex(EntryIcon icon) {
    switch (icon) {
        case EntryIcon::Banner:
            return 0;
        case EntryIcon::File:
            return 4;
        case EntryIcon::Procedure:
            return 3;
        case EntryIcon::Blank:
            return -1;
    }
    return -1;
}

EntryPictures::EntryPictures() {
    for (const EntryIcon icon : {EntryIcon::Banner, EntryIcon::File, EntryIcon::Procedure}) {
        m_pictures[static_cast<std::size_t>(icon)] = OnWhite(ListImage(ImageIndex(icon)));
    }
    // Blank stays a null pixmap: its width of 0 is what places the text of a Blank row.
}

QIcon SifterGlyph() {
    return TwoStateGlyph(KeyedOut(LoadPicture(":/sifter_glyph.xpm"), kGlyphKeyColour));
}

QImage KeyedByBottomLeft(const QImage& image) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    if (keyed.isNull()) return keyed;
    return KeyedOut(keyed, keyed.pixel(0, keyed.height() - 1) | 0xFF000000u);
}

QImage LoadKeyed(const char* path) {
    const QImage image = LoadPicture(path);
    return image.isNull() ? image : KeyedByBottomLeft(image);
}

QIcon TwoStateGlyph(const QImage& both) {
    QIcon icon;
    if (both.isNull()) return icon;
    const int half = both.width() / 2;
    icon.addPixmap(QPixmap::fromImage(both.copy(0, 0, half, both.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(both.copy(half, 0, half, both.height())), QIcon::Disabled);
    return icon;
}

QImage ProgramIconImage() {
    return LoadPicture(":/sifter32.xpm");
}

QIcon ProgramIcon() {
    return QIcon(QPixmap::fromImage(ProgramIconImage()));
}

}  // namespace sifter::ui
