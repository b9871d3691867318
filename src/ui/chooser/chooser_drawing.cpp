#include "ui/chooser/chooser_drawing.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "ui/conventions.h"
#include "ui/pictures.h"

namespace sifter::ui {

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
    return TwoStateGlyph(LoadKeyed(":/ok_glyph.xpm"));
}

QIcon CancelGlyph() {
    return TwoStateGlyph(LoadKeyed(":/cancel_glyph.xpm"));
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
