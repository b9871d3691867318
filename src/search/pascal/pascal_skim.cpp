// PascalLexer::Skim, the lexer's walk through a body of statements, where most of a source's
// bytes are: of its words only begin, case, try, asm and end mean anything to the structure, so
// it looks, 16 bytes at a time, for the start of a word that begins as one of them can, and for
// the bytes that open a comment, a string or an escaped name.

#include <cstdint>

#include "search/pascal/pascal_lexer.h"
#include "search/pascal/pascal_structure.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {
namespace {

bool IsWordByte(char byte) {
    const char lower = static_cast<char>(byte | 0x20);
    return (lower >= 'a' && lower <= 'z') || (byte >= '0' && byte <= '9') || byte == '_';
}

// The first letters of begin, case, try, asm and end, in either case.
bool IsOpenerLetter(char byte) {
    switch (byte | 0x20) {
        case 'a':
        case 'b':
        case 'c':
        case 'e':
        case 't':
            return true;
        default:
            return false;
    }
}

bool IsSpecial(char byte) {
    return byte == '{' || byte == '(' || byte == '/' || byte == '\'' || byte == '&';
}

// Where, from `at` (no word going on there), the next special byte or the start of a word with
// an opener's first letter is; the line's size when there is none.
std::size_t NextStop(const char* data, std::size_t at, std::size_t size) {
    bool wordBefore = false;
#if defined(__SSE2__)
    const auto set = [](char byte) { return _mm_set1_epi8(byte); };
    unsigned carry = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i lower = _mm_or_si128(bytes, set(0x20));
        // Signed compares: bytes from 128 up are below every letter and digit.
        const __m128i letter =
            _mm_and_si128(_mm_cmpgt_epi8(lower, set('a' - 1)), _mm_cmplt_epi8(lower, set('z' + 1)));
        const __m128i digit =
            _mm_and_si128(_mm_cmpgt_epi8(bytes, set('0' - 1)), _mm_cmplt_epi8(bytes, set('9' + 1)));
        const __m128i word =
            _mm_or_si128(_mm_or_si128(letter, digit), _mm_cmpeq_epi8(bytes, set('_')));
        __m128i opener = _mm_cmpeq_epi8(lower, set('a'));
        for (const char c : {'b', 'c', 'e', 't'})
            opener = _mm_or_si128(opener, _mm_cmpeq_epi8(lower, set(c)));
        __m128i special = _mm_cmpeq_epi8(bytes, set('{'));
        for (const char c : {'(', '/', '\'', '&'})
            special = _mm_or_si128(special, _mm_cmpeq_epi8(bytes, set(c)));
        const auto words = static_cast<unsigned>(_mm_movemask_epi8(word));
        const unsigned starts = words & ~((words << 1) | carry);
        const unsigned stops = (static_cast<unsigned>(_mm_movemask_epi8(opener)) & starts) |
                               static_cast<unsigned>(_mm_movemask_epi8(special));
        if (stops != 0) return at + static_cast<std::size_t>(__builtin_ctz(stops));
        carry = (words >> 15) & 1;
    }
    wordBefore = carry != 0;
#endif
    for (; at < size; ++at) {
        const bool word = IsWordByte(data[at]);
        if (IsSpecial(data[at]) || (word && !wordBefore && IsOpenerLetter(data[at]))) return at;
        wordBefore = word;
    }
    return size;
}

}  // namespace

std::size_t PascalLexer::Skim(std::int64_t number, std::string_view line, std::size_t at) {
    const std::size_t size = line.size();
    while (at < size) {
        at = NextStop(line.data(), at, size);
        if (at == size || IsSpecial(line[at])) return at;
        std::size_t end = at + 1;
        while (end < size && IsWordByte(line[end])) ++end;
        const std::string_view word = line.substr(at, end - at);
        if (PascalStructure::MayOpenOrClose(word)) {
            m_structure->Word(number, word);
            if (!m_structure->Skimming()) return end;
        }
        at = end;
    }
    return at;
}

}  // namespace sifter
