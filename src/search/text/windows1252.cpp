#include "search/text/windows1252.h"

#include <array>

#include "search/text/utf8.h"

namespace sifter {
namespace {

// The characters of the bytes 0x80 to 0x9F; 0 where the code page assigns none. The rest of
// the upper half, 0xA0 to 0xFF, holds U+00A0 to U+00FF.
constexpr std::array<char32_t, 32> kHighRow = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

}  // namespace

std::optional<unsigned char> Windows1252Byte(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<unsigned char>(character);
    for (std::size_t i = 0; i < kHighRow.size(); ++i)
        if (kHighRow[i] != 0 && kHighRow[i] == character)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

char32_t Windows1252Char(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char32_t character = kHighRow[byte - 0x80];
    return character != 0 ? character : byte;
}

std::optional<std::string> Windows1252Form(std::string_view text) {
    std::string form;
    form.reserve(text.size());
    bool beyondAscii = false;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            form += static_cast<char>(lead);
            ++at;
            continue;
        }
        const std::string_view rest = text.substr(at);
        const std::size_t length = CharacterLength(rest);
        if (length == 1) return std::nullopt;  // not UTF-8: the text stands as it is
        const std::optional<unsigned char> byte = Windows1252Byte(DecodeUtf8(rest, length));
        if (!byte) return std::nullopt;
        form += static_cast<char>(*byte);
        beyondAscii = true;
        at += length;
    }
    if (!beyondAscii) return std::nullopt;
    return form;
}

}  // namespace sifter
