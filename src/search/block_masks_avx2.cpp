// The stop finder with 32-byte compares, for processors that have them. This file alone is
// built with AVX2 enabled; StopFinder calls it only after asking the processor.

#include <immintrin.h>

#include "search/block_masks.h"
#include "search/block_masks_piece.h"

namespace sifter::avx2 {
namespace {

__m256i Repeat(unsigned char byte) {
    return _mm256_set1_epi8(static_cast<char>(byte));
}

std::uint64_t Bits32(__m256i hit) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(hit));
}

// A choice's two values, broadcast once per stretch.
struct Choice {
    __m256i first, second;
    explicit Choice(const unsigned char* values) : first(Repeat(values[0])), second(Repeat(values[1])) {}
    __m256i In(__m256i bytes) const {
        return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, first), _mm256_cmpeq_epi8(bytes, second));
    }
};

template <bool kLead, bool kFollower, bool kAlternative>
ScanStop FindWith(const StopFinder::Values& values, const char* data, std::size_t from, std::size_t size) {
    ScanStop stop{size, 0, ScanStop::kNone};
    const __m256i cr = Repeat('\r');
    const __m256i ctrlZ = Repeat(26);
    const Choice lead(values.lead), follower(values.follower), alternative(values.alternative);
    for (std::size_t at = from; at < size; at += 64) {
        std::uint64_t crBits = 0, stopBits = 0;
        for (int part = 0; part < 2; ++part) {
            const char* from32 = data + at + part * 32;
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from32));
            crBits |= Bits32(_mm256_cmpeq_epi8(bytes, cr)) << (part * 32);
            __m256i hit = _mm256_cmpeq_epi8(bytes, ctrlZ);
            if constexpr (kLead) {
                __m256i key = lead.In(bytes);
                if constexpr (kFollower) {
                    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from32 + 1));
                    key = _mm256_and_si256(key, follower.In(next));
                }
                hit = _mm256_or_si256(hit, key);
            }
            if constexpr (kAlternative) hit = _mm256_or_si256(hit, alternative.In(bytes));
            stopBits |= Bits32(hit) << (part * 32);
        }
        if (piece::Settle(crBits, stopBits, at, size, stop)) return stop;
    }
    return stop;
}

}  // namespace

StopFinder::Finder FinderFor(int kind) {
    switch (kind) {
        case 0: return FindWith<false, false, false>;
        case 1: return FindWith<false, false, true>;
        case 4: return FindWith<true, false, false>;
        case 5: return FindWith<true, false, true>;
        case 6: return FindWith<true, true, false>;
        default: return FindWith<true, true, true>;
    }
}

}  // namespace sifter::avx2
