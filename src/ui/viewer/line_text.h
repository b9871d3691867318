#pragma once
// How the viewer lays one line of a file out: its bytes decoded as rows are (UTF-8 when the
// whole line is valid UTF-8, otherwise Windows-1252), one character per column of a
// fixed-pitch font, a tab reaching to the next multiple of eight. Places in a line are byte
// offsets at the start of a character, so that they mean the same in the file and on screen.

#include <QString>
#include <cstdint>
#include <string_view>

namespace sifter::ui {

inline constexpr int kTabStop = 8;

struct LineChar {
    std::size_t offset = 0;   // its first byte in the line
    std::size_t length = 0;   // its bytes
    char32_t code = 0;        // the character
    std::int64_t column = 0;  // its first column
    int width = 1;            // columns it takes
};

// The characters of one line, from its start.
class LineChars final {
public:
    explicit LineChars(std::string_view bytes);
    bool Next(LineChar& out);
    bool Utf8() const { return m_utf8; }

private:
    std::string_view m_bytes;
    bool m_utf8;
    std::size_t m_at = 0;
    std::int64_t m_column = 0;
};

// What a character shows in its first column: control characters as their pictures, a tab as
// a blank (the rest of its columns are blank too).
char32_t ShownCode(char32_t code);

// The first column of the character at `offset`; the line's width in columns at its end.
std::int64_t ColumnAt(std::string_view bytes, std::size_t offset);
std::int64_t ColumnCount(std::string_view bytes);
// The characters before `offset`, a tab counting one: an editor's column, less one.
std::int64_t CharactersBefore(std::string_view bytes, std::size_t offset);
// The character boundary nearest to a point `column` columns from the line's start.
std::size_t OffsetNear(std::string_view bytes, double column);
// The boundaries after and before `offset`, as the arrow keys step.
std::size_t NextBoundary(std::string_view bytes, std::size_t offset);
std::size_t PreviousBoundary(std::string_view bytes, std::size_t offset);
// The characters from `from` to `to` as the whole line decodes them.
QString LineText(std::string_view bytes, std::size_t from, std::size_t to);

}  // namespace sifter::ui
