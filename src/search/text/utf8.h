#pragma once
// UTF-8 as the program reads it: lengths and code points of its sequences, and whether a run of
// bytes is UTF-8 at all. Overlong forms, surrogates and code points past U+10FFFF are invalid.

#include <cstddef>
#include <string_view>

namespace sifter {

// Bytes of the character that starts `text` (1 for a byte that starts no valid UTF-8 sequence,
// 0 for an empty text).
std::size_t CharacterLength(std::string_view text);

// Whether `byte` can only go on a sequence begun before it.
constexpr bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The code point of the valid sequence of `length` bytes that starts `bytes`.
char32_t DecodeUtf8(std::string_view bytes, std::size_t length);

// Whether all of `bytes` is valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace sifter
