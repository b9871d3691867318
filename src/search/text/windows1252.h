#pragma once
// Windows-1252, the code page of the legacy sources: text typed as UTF-8 is also looked for in
// its bytes.

#include <optional>
#include <string>
#include <string_view>

namespace sifter {

// The Windows-1252 byte of a character, or nothing for one the code page lacks (its five
// unassigned bytes and the C1 controls U+0080 to U+009F included).
std::optional<unsigned char> Windows1252Byte(char32_t character);

// The character of a Windows-1252 byte; the five bytes the code page leaves unassigned stand
// for their C1 controls (0x81 for U+0081), as Windows shows them.
char32_t Windows1252Char(unsigned char byte);

// The Windows-1252 bytes of `text` when it is valid UTF-8, holds characters beyond ASCII and
// Windows-1252 has every one of them; nothing otherwise (ASCII only, not UTF-8, or a character
// outside the code page).
std::optional<std::string> Windows1252Form(std::string_view text);

}  // namespace sifter
