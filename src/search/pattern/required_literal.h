#pragma once
// The longest run of bytes that every match of a pattern must hold, read from the pattern's
// text: the candidate lines of a search are found by it with the byte scanner, and the pattern
// runs on those lines only.

#include <string>
#include <string_view>

namespace sifter {

// A run of ASCII bytes that stands, in that order and side by side, in every match of
// `pattern`; empty when none can be told for sure. Only what is plainly literal is taken: an
// alternation at the top, a backtracking verb or an option set inside the pattern give none,
// and groups, classes, escapes of letters and optional or repeated parts end a run. With
// `caseless` the letters K and S end a run as well, as the pattern's caseless matching gives
// them partners beyond ASCII (the Kelvin sign, the long s).
std::string RequiredLiteral(std::string_view pattern, bool caseless);

}  // namespace sifter
