#include "ui/conventions.h"

#include <QApplication>

#include "search/wildcard.h"

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

namespace {

// Windows-1252 at 0x80 to 0x9F; the five holes of that range are shown as their C1 codes.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = CharacterLength(bytes.substr(at));
        if (length == 1) return false;  // a byte that starts no valid sequence
        at += length;
    }
    return true;
}

char16_t Windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t{byte};
}

QString DisplayText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) *out++ = QChar(Windows1252Char(static_cast<unsigned char>(c)));
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
