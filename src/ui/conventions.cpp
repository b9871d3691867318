#include "ui/conventions.h"

#include <QApplication>

#include "search/utf8.h"
#include "search/windows1252.h"

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
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) *out++ = QChar(static_cast<char16_t>(Windows1252Char(static_cast<unsigned char>(c))));
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
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

}  // namespace sifter::ui
