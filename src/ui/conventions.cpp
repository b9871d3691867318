#include "ui/conventions.h"

#include <QApplication>
#include <QPainter>

#include "search/text/utf8.h"
#include "search/text/windows1252.h"

namespace sifter::ui {

QFont DialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont FixedPitchFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

QString DisplayText(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = QChar(static_cast<char16_t>(Windows1252Char(static_cast<unsigned char>(c))));
    return text;
}

std::string EngineBytes(const QString& text) {
    return text.toStdString();
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

void SetWaitCursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
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
    if (rect.width() <= 0 || rect.height() <= 0) return;
    painter.save();
    // The inverse colour itself rather than an XOR raster operation, which would also invert
    // the alpha of a translucent surface.
    painter.setPen(QColor(255 - fill.red(), 255 - fill.green(), 255 - fill.blue()));
    // The dots of a checkerboard laid from the top-left corner, so that no two neighbours
    // along an edge are alike, whatever the rectangle's size.
    const int left = rect.left(), top = rect.top();
    DottedHorizontal(painter, left, rect.right(), top, left);
    DottedHorizontal(painter, left, rect.right(), rect.bottom(), left - (rect.height() - 1));
    DottedVertical(painter, left, top + 1, rect.bottom() - 1, top);
    DottedVertical(painter, rect.right(), top + 1, rect.bottom() - 1, top - (rect.width() - 1));
    painter.restore();
}

}  // namespace sifter::ui
