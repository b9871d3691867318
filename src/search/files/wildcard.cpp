#include "search/files/wildcard.h"

#include "search/text/utf8.h"

namespace sifter {
namespace {

unsigned char Fold(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

bool SameCharacter(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

}  // namespace

// "*.pas" and the like, the masks of every search: a star, then plain ASCII. ASCII bytes are
// characters of their own whatever comes before them, so the name matches when it ends in
// those bytes, letter case aside.
bool IsStarThenAscii(std::string_view pattern) {
    if (pattern.empty() || pattern[0] != '*') return false;
    for (const char c : pattern.substr(1))
        if (c == '*' || c == '?' || static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    if (IsStarThenAscii(pattern)) {
        const std::string_view tail = pattern.substr(1);
        return name.size() >= tail.size() &&
               SameCharacter(tail, name.substr(name.size() - tail.size()));
    }
    // Both sides are taken character by character (a valid UTF-8 sequence, or a single byte).
    // Greedy matching with one remembered star: on a mismatch the last star takes one more
    // character, which is enough because a later star can take whatever an earlier one would.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        const std::size_t nameLength = CharacterLength(name.substr(n));
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
            continue;
        }
        if (p < pattern.size()) {
            const std::size_t patternLength = CharacterLength(pattern.substr(p));
            if (pattern[p] == '?' ||
                (patternLength == nameLength &&
                 SameCharacter(pattern.substr(p, patternLength), name.substr(n, nameLength)))) {
                p += pattern[p] == '?' ? 1 : patternLength;
                n += nameLength;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        p = starP;
        starN += CharacterLength(name.substr(starN));
        n = starN;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace sifter
