// The block masks with 32-byte compares, for processors that have them. This file alone is
// built with AVX2 enabled; BlockMasker calls it only after asking the processor.

#include <immintrin.h>

#include "search/block_masks.h"

namespace sifter::avx2 {
namespace {

__m256i Repeat(unsigned char byte) {
    return _mm256_set1_epi8(static_cast<char>(byte));
}

std::uint64_t Bits32(__m256i hit) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(hit));
}

// A choice's values, broadcast once per block; a choice of one value compares it twice.
struct Choice {
    __m256i first, second;
    explicit Choice(const ByteChoice& choice)
        : first(Repeat(choice.first)), second(Repeat(choice.count > 1 ? choice.second : choice.first)) {}
    __m256i In(__m256i bytes) const {
        return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, first), _mm256_cmpeq_epi8(bytes, second));
    }
};

template <bool kLead, bool kFollower, bool kAlternative>
void ComputeWith(const char* block, const LineKeys& keys, LineMasks& masks) {
    const __m256i cr = Repeat('\r');
    const __m256i ctrlZ = Repeat(26);
    const Choice lead(keys.lead), follower(keys.follower), alternative(keys.alternative);
    for (int word = 0; word < 2; ++word) {
        std::uint64_t crBits = 0, ctrlZBits = 0, keyBits = 0;
        for (int part = 0; part < 2; ++part) {
            const char* at = block + word * 64 + part * 32;
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
            crBits |= Bits32(_mm256_cmpeq_epi8(bytes, cr)) << (part * 32);
            ctrlZBits |= Bits32(_mm256_cmpeq_epi8(bytes, ctrlZ)) << (part * 32);
            __m256i key = _mm256_setzero_si256();
            if constexpr (kLead) {
                key = lead.In(bytes);
                if constexpr (kFollower) {
                    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1));
                    key = _mm256_and_si256(key, follower.In(next));
                }
            }
            if constexpr (kAlternative) key = _mm256_or_si256(key, alternative.In(bytes));
            keyBits |= Bits32(key) << (part * 32);
        }
        masks.crs.word[word] = crBits;
        masks.ctrlZs.word[word] = ctrlZBits;
        masks.keys.word[word] = keyBits;
    }
}

}  // namespace

void ComputeMasks(const char* block, const LineKeys& keys, int kind, LineMasks& masks) {
    switch (kind) {
        case 0: ComputeWith<false, false, false>(block, keys, masks); break;
        case 1: ComputeWith<false, false, true>(block, keys, masks); break;
        case 4: ComputeWith<true, false, false>(block, keys, masks); break;
        case 5: ComputeWith<true, false, true>(block, keys, masks); break;
        case 6: ComputeWith<true, true, false>(block, keys, masks); break;
        default: ComputeWith<true, true, true>(block, keys, masks); break;
    }
}

}  // namespace sifter::avx2
