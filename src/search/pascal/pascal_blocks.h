#pragma once
// The bytes of a 64-byte block of Pascal source that the reader stops at, as bit masks (bit i
// for byte i). The block and the byte after it must be readable.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter::pascal_blocks {

inline constexpr std::size_t kBlock = 64;

// Letters and _: the bytes a word starts with.
inline bool IsLetter(char byte) {
    const char lower = static_cast<char>(byte | 0x20);
    return (lower >= 'a' && lower <= 'z') || byte == '_';
}

// Letters, digits and _: the bytes of a word.
inline bool IsWordByte(char byte) {
    const char lower = static_cast<char>(byte | 0x20);
    return (lower >= 'a' && lower <= 'z') || (byte >= '0' && byte <= '9') || byte == '_';
}

#if defined(__SSE2__)
// IsWordByte for 16 bytes: 0xFF where it holds.
inline __m128i WordBytes(__m128i bytes) {
    const __m128i lower = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
    // Signed compares: bytes from 128 up are below every letter and digit.
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)),
                                         _mm_cmplt_epi8(lower, _mm_set1_epi8('z' + 1)));
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                        _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
    return _mm_or_si128(_mm_or_si128(letter, digit), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')));
}
#endif

// Where the word bytes from `from` end, at `size` at most.
inline std::size_t WordEnd(const char* data, std::size_t from, std::size_t size) {
#if defined(__SSE2__)
    // 16 bytes at a time where that many are there.
    while (from + 16 <= size) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const auto others = static_cast<unsigned>(~_mm_movemask_epi8(WordBytes(bytes))) & 0xFFFFU;
        if (others != 0) return from + static_cast<std::size_t>(std::countr_zero(others));
        from += 16;
    }
#endif
    while (from < size && IsWordByte(data[from])) ++from;
    return from;
}

// The first two letters of the words that mean anything in a body (begin, case, try, asm, end),
// and of those that mean anything among a type's members (end, record, packed, bitpacked, the
// visibilities, the section words and type).
inline constexpr std::pair<char, char> kBodyStarts[] = {
    {'b', 'e'}, {'c', 'a'}, {'t', 'r'}, {'a', 's'}, {'e', 'n'}};
inline constexpr std::pair<char, char> kInterfaceStarts[] = {
    {'i', 'm'}, {'i', 'n'}, {'f', 'i'}, {'b', 'e'}, {'r', 'e'}, {'p', 'a'}, {'b', 'i'}, {'t', 'y'},
    {'v', 'a'}, {'c', 'o'}, {'l', 'a'}, {'t', 'h'}, {'p', 'r'}, {'p', 'u'}, {'s', 't'}};
inline constexpr std::pair<char, char> kHeaderStarts[] = {{'e', 'n'}};
inline constexpr std::pair<char, char> kMemberStarts[] = {
    {'e', 'n'}, {'r', 'e'}, {'p', 'a'}, {'b', 'i'}, {'p', 'r'}, {'p', 'u'},
    {'s', 't'}, {'v', 'a'}, {'c', 'o'}, {'l', 'a'}, {'t', 'h'}, {'t', 'y'}};

// What opens a comment, directive, string or escaped name in code: {, (*, //, ', &.
inline bool Opens(const char* at) {
    return at[0] == '{' || (at[0] == '(' && at[1] == '*') || (at[0] == '/' && at[1] == '/') ||
           at[0] == '\'' || at[0] == '&';
}

struct Marks {
    std::uint64_t ends = 0;     // the line end byte
    std::uint64_t equal = 0;    // the byte asked for
    std::uint64_t opens = 0;    // Opens
    std::uint64_t words = 0;    // IsWordByte
    std::uint64_t openers = 0;  // the starts asked for, wherever a word starts or not
};

// What MarkBlock looks for besides the line ends: the byte asked for; Opens; Opens and, as
// `equal`, the bytes that end a value or nest in it (; ( ) [ ]); Opens, the words and, as
// `openers`, the places with a body's starts (Words) or with a member's starts and, as `equal`,
// the symbols that matter among a type's members (; = < >) (Members), or with the starts and
// symbols (those and : ( ) [ ]) that matter in a unit's interface section (Interface), or with
// the start of `end` and the parentheses, brackets and ; that end a routine's header (Header).
enum class Look {
    Equal,
    Opens,
    Value,
    Words,
    Members,
    Interface,
    Header,
    Brace,
    Paren,
    String,
    None
};

constexpr bool LooksAtWords(Look look) {
    return look == Look::Words || look == Look::Members || look == Look::Interface ||
           look == Look::Header;
}

constexpr std::span<const std::pair<char, char>> StartsOf(Look look) {
    if (look == Look::Words) return kBodyStarts;
    if (look == Look::Interface) return kInterfaceStarts;
    if (look == Look::Header) return kHeaderStarts;
    return kMemberStarts;
}

template <Look kLook>
inline Marks MarkBlock(const char* p, char lineEnd, char equal = 0) {
    Marks marks;
#if defined(__SSE2__)
    const auto set = [](char byte) { return _mm_set1_epi8(byte); };
    const auto is = [&](__m128i bytes, char byte) { return _mm_cmpeq_epi8(bytes, set(byte)); };
    for (unsigned piece = 0; piece < 4; ++piece) {
        const auto bits = [&](__m128i hits) {
            return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits)))
                   << (16 * piece);
        };
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * piece));
        marks.ends |= bits(is(bytes, lineEnd));
        if constexpr (kLook == Look::Equal) marks.equal |= bits(is(bytes, equal));
        if constexpr (kLook != Look::Equal) {
            const __m128i next =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * piece + 1));
            __m128i opens = _mm_or_si128(is(bytes, '{'), is(bytes, '\''));
            opens = _mm_or_si128(opens, is(bytes, '&'));
            opens = _mm_or_si128(opens, _mm_and_si128(is(bytes, '('), is(next, '*')));
            opens = _mm_or_si128(opens, _mm_and_si128(is(bytes, '/'), is(next, '/')));
            marks.opens |= bits(opens);
        }
        if constexpr (kLook == Look::Value) {
            __m128i value = _mm_or_si128(is(bytes, ';'), is(bytes, '('));
            value = _mm_or_si128(value, _mm_or_si128(is(bytes, ')'), is(bytes, '[')));
            marks.equal |= bits(_mm_or_si128(value, is(bytes, ']')));
        }
        if constexpr (kLook == Look::Header) {
            __m128i symbols = _mm_or_si128(is(bytes, ';'), is(bytes, '('));
            symbols = _mm_or_si128(symbols, _mm_or_si128(is(bytes, ')'), is(bytes, '[')));
            marks.equal |= bits(_mm_or_si128(symbols, is(bytes, ']')));
        }
        if constexpr (kLook == Look::Members || kLook == Look::Interface) {
            __m128i symbols = _mm_or_si128(is(bytes, ';'), is(bytes, '='));
            symbols = _mm_or_si128(symbols, _mm_or_si128(is(bytes, '<'), is(bytes, '>')));
            if constexpr (kLook == Look::Interface) {
                symbols = _mm_or_si128(symbols, _mm_or_si128(is(bytes, ':'), is(bytes, '(')));
                symbols = _mm_or_si128(symbols, _mm_or_si128(is(bytes, ')'), is(bytes, '[')));
                symbols = _mm_or_si128(symbols, is(bytes, ']'));
            }
            marks.equal |= bits(symbols);
        }
        if constexpr (LooksAtWords(kLook)) {
            const __m128i next =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * piece + 1));
            const __m128i lower = _mm_or_si128(bytes, set(0x20));
            const __m128i nextLower = _mm_or_si128(next, set(0x20));
            marks.words |= bits(WordBytes(bytes));
            __m128i openers = _mm_setzero_si128();
            for (const auto& [first, second] : StartsOf(kLook))
                openers =
                    _mm_or_si128(openers, _mm_and_si128(is(lower, first), is(nextLower, second)));
            marks.openers |= bits(openers);
        }
    }
#else
    for (unsigned i = 0; i < kBlock; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (p[i] == lineEnd) marks.ends |= bit;
        if (kLook == Look::Equal && p[i] == equal) marks.equal |= bit;
        if (kLook == Look::Value &&
            (p[i] == ';' || p[i] == '(' || p[i] == ')' || p[i] == '[' || p[i] == ']'))
            marks.equal |= bit;
        if constexpr (kLook != Look::Equal) {
            if (Opens(p + i)) marks.opens |= bit;
        }
        if constexpr (kLook == Look::Members || kLook == Look::Interface || kLook == Look::Header) {
            const std::string_view symbols = kLook == Look::Members  ? ";=<>"
                                             : kLook == Look::Header ? ";()[]"
                                                                     : ";=<>:()[]";
            if (symbols.find(p[i]) != std::string_view::npos) marks.equal |= bit;
        }
        if constexpr (LooksAtWords(kLook)) {
            if (IsWordByte(p[i])) marks.words |= bit;
            for (const auto& [first, second] : StartsOf(kLook))
                if ((p[i] | 0x20) == first && (p[i + 1] | 0x20) == second) marks.openers |= bit;
        }
    }
#endif
    return marks;
}

}  // namespace sifter::pascal_blocks
