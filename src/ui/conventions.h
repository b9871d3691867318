#pragma once
// The conventions every window follows: one dialog font, rows turned into text only to be
// shown, and the hourglass while the program is busy.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

class QPainter;

namespace sifter::ui {

// "MS Sans Serif" at 8 points, which Linux does not have, stood in for by Liberation Sans at
// 11 pixels, the size the window layouts were made for.
QFont DialogFont();
// The viewer's font, whose characters all take the same width: Liberation Mono at 12 pixels.
QFont FixedPitchFont();

// Rows are bytes end to end; only to show them are they turned into text: bytes that are
// valid UTF-8 are shown as UTF-8, anything else as Windows-1252 (search/utf8.h and
// search/windows1252.h hold the two halves of that rule, for text shown piece by piece).
QString DisplayText(std::string_view bytes);

// Bytes of a text the user typed (the search text), for the engine.
std::string EngineBytes(const QString& text);

// The hourglass through the application's override-cursor stack, so that whatever cursor was
// there before comes back; pushed for as long as the object lives.
class WaitCursor final {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The same for a callback that is told when to start and when to stop.
void SetWaitCursor(bool busy);

// Dotted lines whose dots sit on the even pixels counted from `origin`, so that a line drawn
// row by row stays one evenly dotted line.
void DottedVertical(QPainter& painter, int x, int top, int bottom, int origin);
void DottedHorizontal(QPainter& painter, int left, int right, int y, int origin);

// The focus rectangle of the result list's row and of the chooser's selected name, drawn as
// the system draws one over a filled area: every other pixel, as on a checkerboard, in the
// inverse of the fill.
void FocusRectangle(QPainter& painter, const QRect& rect, const QColor& fill);

}  // namespace sifter::ui
