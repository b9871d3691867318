#pragma once
// The pictures of the program: the six 16 by 16 images of the row image list (each with a
// one-bit mask), the Sifter button's glyph and the program icon.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <array>

#include "search/run/result_rows.h"

namespace sifter::ui {

inline constexpr int kImageCount = 6;

// Image `index` (0 to 5) of the image list, 16 by 16; masked-out pixels are fully transparent,
// every other pixel fully opaque.
QImage ListImage(int index);

// The image list index that stands for a row picture; -1 for Blank, which has no image.
int ImageIndex(EntryIcon icon);

// The pictures one search gives its rows: Banner, File and Procedure as 16 by 16 pictures
// whose masked-out pixels are white, Blank as an empty picture of width 0. Rows only refer
// to them; they live as long as the rows of that search.
class EntryPictures final {
public:
    EntryPictures();
    const QPixmap& Picture(EntryIcon icon) const {
        return m_pictures[static_cast<std::size_t>(icon)];
    }

private:
    std::array<QPixmap, 4> m_pictures;  // by EntryIcon
};

// The Sifter button's glyph: the pointing hand and its greyed form for the disabled state,
// olive (128, 128, 0) taken as transparent.
QIcon SifterGlyph();

// The chooser's pictures name their transparent colour in their bottom-left pixel, as the
// window layouts' bitmaps do; the Sifter glyph alone has a key colour of its own (olive, which
// its bottom-left pixel does not show). A picture loaded with every pixel of that colour made
// transparent; a missing picture is null, with a warning.
QImage LoadKeyed(const char* path);
QImage KeyedByBottomLeft(const QImage& image);
// A glyph whose picture holds its normal form on the left half and its greyed form, for the
// disabled state, on the right.
QIcon TwoStateGlyph(const QImage& both);

// The 32 by 32 program icon.
QIcon ProgramIcon();
QImage ProgramIconImage();

}  // namespace sifter::ui
