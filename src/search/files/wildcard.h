#pragma once
// File-name patterns: '*' any run of characters, '?' any one character, letter case ignored.

#include <string_view>

namespace sifter {

// '?' takes one whole UTF-8 character where the name holds a valid one, else one byte; letters
// 'a' to 'z' match their upper-case forms. "*.*" matches every name, also one without a dot.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace sifter
