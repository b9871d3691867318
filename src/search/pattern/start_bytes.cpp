#include "search/pattern/start_bytes.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {

StartBytes::StartBytes(const std::uint8_t* bitmap) : m_any(false) {
    int runs = 0;
    for (int byte = 0; byte < 256; ++byte) {
        m_table[static_cast<std::size_t>(byte)] = ((bitmap[byte >> 3] >> (byte & 7)) & 1) != 0;
        if (!m_table[static_cast<std::size_t>(byte)]) continue;
        if (byte > 0 && m_table[static_cast<std::size_t>(byte - 1)]) {
            if (runs <= kMostRuns) ++m_runs[static_cast<std::size_t>(runs - 1)].span;
            continue;
        }
        if (runs < kMostRuns)
            m_runs[static_cast<std::size_t>(runs)] = {static_cast<std::uint8_t>(byte), 0};
        ++runs;
    }
    m_runCount = runs <= kMostRuns ? runs : -1;
}

bool StartBytes::AnyIn(std::string_view line) const {
    if (m_any) return true;
    std::size_t at = 0;
#if defined(__SSE2__)
    if (m_runCount > 0) {
        // A byte is in a run when, less the run's first value, it is at most the run's span:
        // the unsigned minimum of the two is then the byte itself.
        __m128i firsts[kMostRuns], spans[kMostRuns];
        for (int i = 0; i < m_runCount; ++i) {
            firsts[i] = _mm_set1_epi8(static_cast<char>(m_runs[static_cast<std::size_t>(i)].first));
            spans[i] = _mm_set1_epi8(static_cast<char>(m_runs[static_cast<std::size_t>(i)].span));
        }
        for (; line.size() - at >= 16; at += 16) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
            __m128i hit = _mm_setzero_si128();
            for (int i = 0; i < m_runCount; ++i) {
                const __m128i offset = _mm_sub_epi8(bytes, firsts[i]);
                hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(offset, spans[i]), offset));
            }
            if (_mm_movemask_epi8(hit) != 0) return true;
        }
    }
#endif
    for (; at < line.size(); ++at)
        if (m_table[static_cast<unsigned char>(line[at])]) return true;
    return false;
}

}  // namespace sifter
