#pragma once
// File-name patterns: '*' any run of characters, '?' any one character, letter case ignored.

#include <string_view>

namespace sifter {

// '?' takes one whole UTF-8 character where the name holds a valid one, else one byte; letters
// 'a' to 'z' match their upper-case forms. "*.*" matches every name, also one without a dot.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// Bytes of the character that starts `text` (1 for a byte that starts no valid UTF-8 sequence).
std::size_t CharacterLength(std::string_view text);

}  // namespace sifter
