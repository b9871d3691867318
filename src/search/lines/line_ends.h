#pragma once
// How the lines of a file end, one rule for every reader of lines.
//
// The first line end of a file decides: when the first CR or LF before the first Ctrl-Z is an LF,
// the file is an LF file, as files written on Linux are: every LF ends a line, a CR right before
// an LF belongs to that line end, and any other CR is an ordinary byte. Otherwise (a CR first, or
// neither) it is a CR file, as Windows scripts are: CR or CR LF ends a line and a lone LF is an
// ordinary byte. In both the first Ctrl-Z ends the data.

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {

inline constexpr char kCtrlZ = 26;

// Undecided until the first CR or LF of the file has been met; then one of the two for good.
enum class LineEnds : unsigned char { Undecided, Cr, Lf };

// How the lines of a file end whose first CR or LF is `first`.
constexpr LineEnds DecidedBy(char first) {
    return first == '\n' ? LineEnds::Lf : LineEnds::Cr;
}

// The byte that ends a line: LF in an LF file, CR in a CR file (and in a file that has ended
// before any line end, where the two kinds read alike).
constexpr char LineEndByte(LineEnds ends) {
    return ends == LineEnds::Lf ? '\n' : '\r';
}

// Whether `byte` ends a line; before the decision both CR and LF do, the first one deciding.
constexpr bool EndsLine(char byte, LineEnds ends) {
    switch (ends) {
        case LineEnds::Cr:
            return byte == '\r';
        case LineEnds::Lf:
            return byte == '\n';
        case LineEnds::Undecided:
            break;
    }
    return byte == '\r' || byte == '\n';
}

// The bytes of a line that ended at its line end byte, without the CR that belongs to an LF
// file's line end.
constexpr std::string_view LineText(std::string_view bytes, LineEnds ends) {
    if (ends == LineEnds::Lf && !bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
    return bytes;
}

// Where the line that runs through data[from, size) stops: its first Ctrl-Z or byte that ends a
// line (see EndsLine), or `size` when there is none. Inline: the search calls it for every line
// it hands over.
inline std::size_t LineStop(const char* data, std::size_t from, std::size_t size, LineEnds ends) {
    std::size_t at = from;
#if defined(__SSE2__)
    // Lines are seldom longer than a few dozen bytes: one or two compares find their end. Before
    // the decision an LF ends the line as well as a CR, which the last loop sees to.
    if (ends != LineEnds::Undecided) {
        const __m128i ctrlZ = _mm_set1_epi8(kCtrlZ);
        const __m128i end = _mm_set1_epi8(LineEndByte(ends));
        for (; size - at >= 16; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            const __m128i hit =
                _mm_or_si128(_mm_cmpeq_epi8(bytes, ctrlZ), _mm_cmpeq_epi8(bytes, end));
            if (const int bits = _mm_movemask_epi8(hit); bits != 0)
                return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
        }
    }
#endif
    for (; at < size; ++at)
        if (data[at] == kCtrlZ || EndsLine(data[at], ends)) return at;
    return size;
}

}  // namespace sifter
