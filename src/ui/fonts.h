#pragma once
// The one dialog font of the program: "MS Sans Serif" at 8 points, which Linux does not have,
// is stood in for by Liberation Sans at 11 pixels, the size the window layouts were made for.

#include <QFont>

namespace sifter::ui {

QFont DialogFont();

}  // namespace sifter::ui
