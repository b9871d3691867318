#include "ui/chooser_controls.h"

#include <QPainter>
#include <QtDebug>
#include <algorithm>
#include <array>

namespace sifter::ui {
namespace {

QImage LoadKeyed(const char* path) {
    const QImage image(QString::fromLatin1(path));
    if (image.isNull()) {
        qWarning("sifter32: picture %s is missing from the resources", path);
        return image;
    }
    return KeyedByBottomLeft(image);
}

// A two-state glyph file holds the normal form on the left and the greyed one on the right.
QIcon TwoStateGlyph(const char* path) {
    const QImage both = LoadKeyed(path);
    QIcon icon;
    if (both.isNull()) return icon;
    const int width = both.width() / 2;
    icon.addPixmap(QPixmap::fromImage(both.copy(0, 0, width, both.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(both.copy(width, 0, width, both.height())), QIcon::Disabled);
    return icon;
}

}  // namespace

QImage KeyedByBottomLeft(const QImage& image) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    if (keyed.isNull()) return keyed;
    const QRgb key = keyed.pixel(0, keyed.height() - 1) & 0x00FFFFFFu;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return keyed;
}

const QPixmap& FolderImage(FolderPicture picture) {
    // Made on first use: pixmaps need the application object.
    static const std::array<QPixmap, 3> pictures = {
        QPixmap::fromImage(LoadKeyed(":/folder_open.xpm")),
        QPixmap::fromImage(LoadKeyed(":/folder_closed.xpm")),
        QPixmap::fromImage(LoadKeyed(":/folder_leaf.xpm")),
    };
    return pictures[static_cast<std::size_t>(picture)];
}

const QPixmap& VolumeImage(platform::Volume::Kind kind) {
    using Kind = platform::Volume::Kind;
    static const std::array<QPixmap, 5> pictures = {
        QPixmap::fromImage(LoadKeyed(":/volume_fixed.xpm")),
        QPixmap::fromImage(LoadKeyed(":/volume_removable.xpm")),
        QPixmap::fromImage(LoadKeyed(":/volume_network.xpm")),
        QPixmap::fromImage(LoadKeyed(":/volume_cdrom.xpm")),
        QPixmap::fromImage(LoadKeyed(":/volume_ramdisk.xpm")),
    };
    static_assert(static_cast<int>(Kind::Fixed) == 0 && static_cast<int>(Kind::RamDisk) == 4);
    return pictures[static_cast<std::size_t>(kind)];
}

QIcon OkGlyph() {
    return TwoStateGlyph(":/ok_glyph.xpm");
}

QIcon CancelGlyph() {
    return TwoStateGlyph(":/cancel_glyph.xpm");
}

void DottedVertical(QPainter& painter, int x, int top, int bottom, int origin) {
    for (int y = top; y <= bottom; ++y) {
        if ((y - origin) % 2 == 0) painter.drawPoint(x, y);
    }
}

void DottedHorizontal(QPainter& painter, int left, int right, int y, int origin) {
    for (int x = left; x <= right; ++x) {
        if ((x - origin) % 2 == 0) painter.drawPoint(x, y);
    }
}

void FocusRectangle(QPainter& painter, const QRect& rect, const QColor& fill) {
    painter.save();
    // The inverse colour itself rather than an XOR raster operation, which would also invert
    // the alpha of a translucent surface.
    painter.setPen(QColor(255 - fill.red(), 255 - fill.green(), 255 - fill.blue()));
    DottedHorizontal(painter, rect.left(), rect.right(), rect.top(), rect.left());
    DottedHorizontal(painter, rect.left(), rect.right(), rect.bottom(), rect.left());
    DottedVertical(painter, rect.left(), rect.top() + 1, rect.bottom() - 1, rect.top());
    DottedVertical(painter, rect.right(), rect.top() + 1, rect.bottom() - 1, rect.top());
    painter.restore();
}

void PaintVolumeEntry(QPainter& painter, const QRect& rect, platform::Volume::Kind kind,
                      const QString& text, const QColor& colour) {
    const QPixmap& picture = VolumeImage(kind);
    const int pictureWidth = picture.isNull() ? kVolumePictureSize : picture.width();
    if (!picture.isNull()) {
        const int top = rect.top() + (rect.height() - picture.height()) / 2;
        painter.drawPixmap(rect.left() + kVolumePictureLeft, top, picture);
    }
    const int textLeft = rect.left() + pictureWidth + kVolumeTextGap;
    const QRect textRect(textLeft, rect.top(), std::max(0, rect.right() + 1 - textLeft),
                         rect.height());
    painter.setPen(colour);
    // No mnemonic handling: an ampersand in a label is drawn as it is.
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

}  // namespace sifter::ui
