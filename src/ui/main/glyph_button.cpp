#include "ui/main/glyph_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace sifter::ui {

GlyphPlaces PlaceGlyphAndCaption(const QRect& contents, QSize glyph, int captionWidth,
                                 int spacing) {
    const int width = glyph.width() + spacing + captionWidth;
    const int left = contents.x() + (contents.width() - width) / 2;
    const QRect glyphRect(left, contents.y() + (contents.height() - glyph.height()) / 2,
                          glyph.width(), glyph.height());
    const QRect caption(glyphRect.right() + 1 + spacing, contents.y(), captionWidth,
                        contents.height());
    return {glyphRect, caption};
}

GlyphButton::GlyphButton(const QString& caption, const QIcon& glyph, QWidget* parent)
    : QPushButton(caption, parent) {
    setIcon(glyph);
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    // The style draws the bevel and the focus rectangle of a button without a label ...
    QStyleOptionButton frame = option;
    frame.text.clear();
    frame.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, frame);

    // ... and the label goes where the style would put it, pressed in when the button is down.
    QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if ((option.state & (QStyle::State_Sunken | QStyle::State_On)) != 0)
        contents.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                           style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    const int captionWidth = option.fontMetrics.boundingRect(contents, flags, option.text).width();
    const GlyphPlaces places =
        PlaceGlyphAndCaption(contents, option.iconSize, captionWidth, kSpacing);

    const bool enabled = (option.state & QStyle::State_Enabled) != 0;
    const QIcon::Mode mode = enabled ? QIcon::Normal : QIcon::Disabled;
    painter.drawPixmap(places.glyph.topLeft(),
                       option.icon.pixmap(option.iconSize, devicePixelRatio(), mode));
    style()->drawItemText(&painter, places.caption, flags, option.palette, enabled, option.text,
                          QPalette::ButtonText);
}

}  // namespace sifter::ui
