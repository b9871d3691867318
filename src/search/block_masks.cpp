#include "search/block_masks.h"

#include <initializer_list>

namespace sifter {
namespace avx2 {
// In block_masks_avx2.cpp; `kind` as in BlockMasker::Compute.
void ComputeMasks(const char* block, const LineKeys& keys, int kind, LineMasks& masks);
}  // namespace avx2

namespace {

constexpr unsigned char kCr = '\r';
constexpr unsigned char kCtrlZ = 26;

bool IsOneOf(unsigned char byte, const ByteChoice& choice) {
    return (choice.count > 0 && byte == choice.first) || (choice.count > 1 && byte == choice.second);
}

#if defined(__SSE2__)
__m128i Repeat(unsigned char byte) {
    return _mm_set1_epi8(static_cast<char>(byte));
}

std::uint64_t Bits16(__m128i hit) {
    return static_cast<std::uint16_t>(_mm_movemask_epi8(hit));
}

// One pass with the kinds of key known to the compiler, so the loop unrolls without tests.
template <bool kLead, bool kFollower, bool kAlternative>
void ComputeWith(const char* block, const __m128i* lead, const __m128i* follower,
                 const __m128i* alternative, LineMasks& masks) {
    const __m128i cr = Repeat(kCr);
    const __m128i ctrlZ = Repeat(kCtrlZ);
    for (int word = 0; word < 2; ++word) {
        std::uint64_t crBits = 0, ctrlZBits = 0, keyBits = 0;
        for (int part = 0; part < 4; ++part) {
            const char* at = block + word * 64 + part * 16;
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            crBits |= Bits16(_mm_cmpeq_epi8(bytes, cr)) << (part * 16);
            ctrlZBits |= Bits16(_mm_cmpeq_epi8(bytes, ctrlZ)) << (part * 16);
            __m128i key = _mm_setzero_si128();
            if constexpr (kLead) {
                key = _mm_or_si128(_mm_cmpeq_epi8(bytes, lead[0]), _mm_cmpeq_epi8(bytes, lead[1]));
                if constexpr (kFollower) {
                    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
                    key = _mm_and_si128(key, _mm_or_si128(_mm_cmpeq_epi8(next, follower[0]),
                                                          _mm_cmpeq_epi8(next, follower[1])));
                }
            }
            if constexpr (kAlternative) {
                key = _mm_or_si128(key, _mm_or_si128(_mm_cmpeq_epi8(bytes, alternative[0]),
                                                     _mm_cmpeq_epi8(bytes, alternative[1])));
            }
            keyBits |= Bits16(key) << (part * 16);
        }
        masks.crs.word[word] = crBits;
        masks.ctrlZs.word[word] = ctrlZBits;
        masks.keys.word[word] = keyBits;
    }
}
#endif

}  // namespace

BlockMasker::BlockMasker(const LineKeys& keys, Width width) : m_keys(keys) {
#if defined(SIFTER32_HAVE_AVX2)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    m_avx2 = hasAvx2 && width == Width::Widest;
#else
    (void)width;
#endif
#if defined(__SSE2__)
    // A choice of one value compares it twice, so every choice costs the same.
    const auto values = [](const ByteChoice& choice, __m128i* out) {
        out[0] = Repeat(choice.first);
        out[1] = Repeat(choice.count > 1 ? choice.second : choice.first);
    };
    values(keys.lead, m_lead);
    values(keys.follower, m_follower);
    values(keys.alternative, m_alternative);
#endif
}

void BlockMasker::Compute(const char* block, int size, LineMasks& masks) const {
    const bool lead = m_keys.lead.count > 0;
    const bool follower = lead && m_keys.follower.count > 0;
    const bool alternative = m_keys.alternative.count > 0;
    const int kind = (lead ? 4 : 0) | (follower ? 2 : 0) | (alternative ? 1 : 0);
#if defined(SIFTER32_HAVE_AVX2)
    if (m_avx2) {
        avx2::ComputeMasks(block, m_keys, kind, masks);
        FinishMasks(block, size, masks);
        return;
    }
#endif
#if defined(__SSE2__)
    switch (kind) {
        case 0: ComputeWith<false, false, false>(block, m_lead, m_follower, m_alternative, masks); break;
        case 1: ComputeWith<false, false, true>(block, m_lead, m_follower, m_alternative, masks); break;
        case 4: ComputeWith<true, false, false>(block, m_lead, m_follower, m_alternative, masks); break;
        case 5: ComputeWith<true, false, true>(block, m_lead, m_follower, m_alternative, masks); break;
        case 6: ComputeWith<true, true, false>(block, m_lead, m_follower, m_alternative, masks); break;
        default: ComputeWith<true, true, true>(block, m_lead, m_follower, m_alternative, masks); break;
    }
#else
    masks = LineMasks{};
    for (int at = 0; at < 128; ++at) {
        const auto byte = static_cast<unsigned char>(block[at]);
        const std::uint64_t bit = std::uint64_t{1} << (at % 64);
        if (byte == kCr) masks.crs.word[at / 64] |= bit;
        if (byte == kCtrlZ) masks.ctrlZs.word[at / 64] |= bit;
        const bool paired = !follower || IsOneOf(static_cast<unsigned char>(block[at + 1]), m_keys.follower);
        if ((IsOneOf(byte, m_keys.lead) && paired) || IsOneOf(byte, m_keys.alternative))
            masks.keys.word[at / 64] |= bit;
    }
#endif
    FinishMasks(block, size, masks);
}

void BlockMasker::FinishMasks(const char* block, int size, LineMasks& masks) const {
    // The byte after the last one is not known yet: a lead there may start a pair.
    if (size > 0 && IsOneOf(static_cast<unsigned char>(block[size - 1]), m_keys.lead))
        masks.keys.word[(size - 1) / 64] |= std::uint64_t{1} << ((size - 1) % 64);
    if (size < 128) {
        const std::uint64_t low = size >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1;
        const std::uint64_t high = size <= 64 ? 0 : (std::uint64_t{1} << (size - 64)) - 1;
        for (Mask128* mask : {&masks.crs, &masks.ctrlZs, &masks.keys}) {
            mask->word[0] &= low;
            mask->word[1] &= high;
        }
    }
}

}  // namespace sifter
