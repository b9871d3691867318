#pragma once
// A push button with a glyph left of its caption and a fixed gap between the two, the pair
// centred on the button; Qt's own buttons put a gap of their style's choosing there.

#include <QPushButton>
#include <QRect>

namespace sifter::ui {

// Where the glyph and the caption go inside `contents`: the glyph, `spacing` pixels, then the
// caption, the whole centred; the glyph is centred vertically, the caption takes the full
// height.
struct GlyphPlaces {
    QRect glyph;
    QRect caption;
};
GlyphPlaces PlaceGlyphAndCaption(const QRect& contents, QSize glyph, int captionWidth, int spacing);

class GlyphButton final : public QPushButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlyphButton)

public:
    static constexpr int kSpacing = 5;

    GlyphButton(const QString& caption, const QIcon& glyph, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace sifter::ui
