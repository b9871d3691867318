#include "ui/viewer/line_text.h"

#include <algorithm>

#include "search/text/utf8.h"
#include "search/text/windows1252.h"
#include "ui/conventions.h"

namespace sifter::ui {
LineChars::LineChars(std::string_view bytes) : m_bytes(bytes), m_utf8(IsValidUtf8(bytes)) {}

bool LineChars::Next(LineChar& out) {
    if (m_at >= m_bytes.size()) return false;
    const std::string_view rest = m_bytes.substr(m_at);
    const auto byte = static_cast<unsigned char>(rest[0]);
    out.offset = m_at;
    if (byte < 0x80 || !m_utf8) {
        out.length = 1;
        out.code = m_utf8 ? byte : Windows1252Char(byte);
    } else {
        out.length = CharacterLength(rest);
        out.code = DecodeUtf8(rest, out.length);
    }
    out.column = m_column;
    out.width = out.code == U'\t' ? kTabStop - static_cast<int>(m_column % kTabStop) : 1;
    m_at += out.length;
    m_column += out.width;
    return true;
}

char32_t ShownCode(char32_t code) {
    if (code == U'\t') return U' ';
    if (code < 0x20) return 0x2400 + code;  // the control pictures: NUL, LF and the rest
    if (code == 0x7F) return 0x2421;
    if (code >= 0x80 && code < 0xA0) return 0xFFFD;  // C1 controls, which no font draws
    return code;
}

std::int64_t ColumnAt(std::string_view bytes, std::size_t offset) {
    LineChars chars(bytes);
    LineChar c;
    while (chars.Next(c))
        if (c.offset + c.length > offset) return c.column;
    return ColumnCount(bytes);
}

std::int64_t ColumnCount(std::string_view bytes) {
    LineChars chars(bytes);
    LineChar c;
    std::int64_t columns = 0;
    while (chars.Next(c)) columns = c.column + c.width;
    return columns;
}

std::int64_t CharactersBefore(std::string_view bytes, std::size_t offset) {
    LineChars chars(bytes);
    LineChar c;
    std::int64_t count = 0;
    while (chars.Next(c) && c.offset < offset) ++count;
    return count;
}

std::size_t OffsetNear(std::string_view bytes, double column) {
    LineChars chars(bytes);
    LineChar c;
    while (chars.Next(c))
        if (column < static_cast<double>(c.column) + c.width / 2.0) return c.offset;
    return bytes.size();
}

std::size_t NextBoundary(std::string_view bytes, std::size_t offset) {
    if (offset >= bytes.size()) return bytes.size();
    if (!IsValidUtf8(bytes)) return offset + 1;
    return offset + CharacterLength(bytes.substr(offset));
}

std::size_t PreviousBoundary(std::string_view bytes, std::size_t offset) {
    if (offset == 0) return 0;
    offset = std::min(offset, bytes.size());
    if (!IsValidUtf8(bytes)) return offset - 1;
    do --offset;
    while (offset > 0 && IsContinuation(bytes[offset]));
    return offset;
}

QString LineText(std::string_view bytes, std::size_t from, std::size_t to) {
    to = std::min(to, bytes.size());
    if (from >= to) return {};
    const std::string_view piece = bytes.substr(from, to - from);
    // A piece of a line that is not UTF-8 may be valid UTF-8 by itself; it is shown, and so
    // copied, as its line is.
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size()));
    QString text;
    text.reserve(static_cast<qsizetype>(piece.size()));
    for (char c : piece)
        text.append(QChar(static_cast<char16_t>(Windows1252Char(static_cast<unsigned char>(c)))));
    return text;
}

}  // namespace sifter::ui
