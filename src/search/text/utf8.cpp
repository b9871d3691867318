#include "search/text/utf8.h"

namespace sifter {

std::size_t CharacterLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 1;
    }
    if (text.size() < length) return 1;
    const auto second = static_cast<unsigned char>(text[1]);
    if (second < low || second > high) return 1;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(text[i])) return 1;
    return length;
}

char32_t DecodeUtf8(std::string_view bytes, std::size_t length) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (length == 1) return lead;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        code = code << 6 | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    return code;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = CharacterLength(bytes.substr(at));
        if (length == 1) return false;  // a byte that starts no valid sequence
        at += length;
    }
    return true;
}

}  // namespace sifter
