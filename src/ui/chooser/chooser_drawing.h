#pragma once
// The chooser's pictures and how a volume entry is drawn. Each picture's bottom-left pixel
// gives the colour that counts as transparent, the way the window layouts' bitmaps are keyed;
// the files use magenta, which no picture shows.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "platform/platform.h"

class QPainter;

namespace sifter::ui {

enum class FolderPicture {
    Open,    // expanded, with listed subdirectories
    Closed,  // collapsed, with listed subdirectories
    Leaf,    // no listed subdirectories: not read yet, or read and empty
};

inline constexpr int kFolderPictureSize = 14;
inline constexpr int kVolumePictureSize = 16;
inline constexpr int kGlyphSize = 18;

// 14 by 14; the bottom row is transparent, so a 13-pixel row shows all of the folder. The
// leaf is a closed folder with a black outline and a yellow and white checkered face.
const QPixmap& FolderImage(FolderPicture picture);
// 16 by 16: floppy disk, hard disk, network drive, CD, memory module.
const QPixmap& VolumeImage(platform::Volume::Kind kind);
// 18 by 18 with a greyed form for the disabled state: a green check mark, a red cross.
QIcon OkGlyph();
QIcon CancelGlyph();

// One entry of the volume list: the picture 2 pixels from the left, centred in height, the
// text 6 pixels after the picture's width, on one line, centred in height; an ampersand is
// drawn like any other character.
inline constexpr int kVolumePictureLeft = 2;
inline constexpr int kVolumeTextGap = 6;
void PaintVolumeEntry(QPainter& painter, const QRect& rect, platform::Volume::Kind kind,
                      const QString& text, const QColor& colour);

}  // namespace sifter::ui
