#include "search/line_ends.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {

std::size_t LineStop(const char* data, std::size_t from, std::size_t size, LineEnds ends) {
    std::size_t at = from;
#if defined(__SSE2__)
    // Lines are seldom longer than a few dozen bytes: one or two compares find their end.
    const __m128i ctrlZ = _mm_set1_epi8(kCtrlZ);
    const __m128i end = _mm_set1_epi8(LineEndByte(ends));
    // Before the decision an LF ends the line as well as a CR.
    const __m128i other = _mm_set1_epi8(ends == LineEnds::Undecided ? '\n' : kCtrlZ);
    for (; size - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(bytes, ctrlZ),
                                         _mm_or_si128(_mm_cmpeq_epi8(bytes, end), _mm_cmpeq_epi8(bytes, other)));
        if (const int bits = _mm_movemask_epi8(hit); bits != 0)
            return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
    }
#endif
    for (; at < size; ++at)
        if (data[at] == kCtrlZ || EndsLine(data[at], ends)) return at;
    return size;
}

}  // namespace sifter
