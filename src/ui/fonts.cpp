#include "ui/fonts.h"

namespace sifter::ui {

QFont DialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace sifter::ui
