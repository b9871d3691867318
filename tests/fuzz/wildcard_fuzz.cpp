// MatchesWildcard against a plain recursive matcher over whole characters, and
// CharacterLength against a decoder that works out the code point. A character is a valid
// UTF-8 sequence (shortest form, no surrogate, at most U+10FFFF) or else a single byte.
//
// Input: the pattern first (libFuzzer's random-length string: a backslash escapes the next
// byte, a lone backslash ends it), then the name.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "search/files/wildcard.h"
#include "search/text/utf8.h"

namespace sifter::fuzz {
namespace {

std::size_t DecodedLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1FU;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0FU;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07U;
    } else {
        return 1;
    }
    if (text.size() < length) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) return 1;
        codePoint = codePoint << 6 | (byte & 0x3FU);
    }
    constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < kShortest[length] || codePoint > 0x10FFFF || surrogate) return 1;
    return length;
}

std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> characters;
    while (!text.empty()) {
        const std::size_t length = DecodedLength(text);
        if (sifter::CharacterLength(text) != length)
            Fail("CharacterLength gives %zu, the decoder %zu", sifter::CharacterLength(text),
                 length);
        characters.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return characters;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameCharacter(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

class Matcher final {
public:
    Matcher(std::string_view pattern, std::string_view name)
        : m_pattern(Characters(pattern)),
          m_name(Characters(name)),
          m_known((m_pattern.size() + 1) * (m_name.size() + 1), kUnknown) {}

    // Whether pattern characters from `p` on match name characters from `n` on.
    bool Matches(std::size_t p, std::size_t n) {
        signed char& known = m_known[p * (m_name.size() + 1) + n];
        if (known == kUnknown) known = Decide(p, n) ? 1 : 0;
        return known == 1;
    }

private:
    static constexpr signed char kUnknown = -1;

    bool Decide(std::size_t p, std::size_t n) {
        if (p == m_pattern.size()) return n == m_name.size();
        if (m_pattern[p] == "*")
            return Matches(p + 1, n) || (n < m_name.size() && Matches(p, n + 1));
        if (n == m_name.size()) return false;
        if (m_pattern[p] == "?" || SameCharacter(m_pattern[p], m_name[n]))
            return Matches(p + 1, n + 1);
        return false;
    }

    std::vector<std::string_view> m_pattern;
    std::vector<std::string_view> m_name;
    std::vector<signed char> m_known;
};

bool ReferenceMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;  // every name, also one without a dot
    return Matcher(pattern, name).Matches(0, 0);
}

}  // namespace
}  // namespace sifter::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sifter::fuzz;
    FuzzedDataProvider input(data, size);
    const std::string pattern = input.ConsumeRandomLengthString(256);
    const std::string name = input.ConsumeRemainingBytesAsString();
    const bool got = sifter::MatchesWildcard(pattern, name);
    if (got != ReferenceMatch(pattern, name))
        Fail("pattern of %zu bytes against a name of %zu bytes: MatchesWildcard says %d",
             pattern.size(), name.size(), got);
    return 0;
}
