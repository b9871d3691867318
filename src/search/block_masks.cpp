#include "search/block_masks.h"

#include "search/block_masks_piece.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {
namespace avx2 {
// In block_masks_avx2.cpp; `kind` as StopFinder's kinds of key.
StopFinder::Finder FinderFor(int kind);
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

__m128i In(__m128i bytes, const unsigned char* values) {
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, Repeat(values[0])), _mm_cmpeq_epi8(bytes, Repeat(values[1])));
}

// The kinds of key are known to the compiler, so the loop has no tests for them.
template <bool kLead, bool kFollower, bool kAlternative>
ScanStop FindWith(const StopFinder::Values& values, const char* data, std::size_t from, std::size_t size) {
    ScanStop stop{size, 0, ScanStop::kNone};
    const __m128i cr = Repeat(kCr);
    const __m128i ctrlZ = Repeat(kCtrlZ);
    for (std::size_t at = from; at < size; at += 64) {
        std::uint64_t crBits = 0, stopBits = 0;
        for (int part = 0; part < 4; ++part) {
            const char* from16 = data + at + part * 16;
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from16));
            crBits |= Bits16(_mm_cmpeq_epi8(bytes, cr)) << (part * 16);
            __m128i hit = _mm_cmpeq_epi8(bytes, ctrlZ);
            if constexpr (kLead) {
                __m128i key = In(bytes, values.lead);
                if constexpr (kFollower) {
                    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from16 + 1));
                    key = _mm_and_si128(key, In(next, values.follower));
                }
                hit = _mm_or_si128(hit, key);
            }
            if constexpr (kAlternative) hit = _mm_or_si128(hit, In(bytes, values.alternative));
            stopBits |= Bits16(hit) << (part * 16);
        }
        if (piece::Settle(crBits, stopBits, at, size, stop)) return stop;
    }
    return stop;
}
#else
// Byte by byte, where there are no vector compares.
template <bool kLead, bool kFollower, bool kAlternative>
ScanStop FindWith(const StopFinder::Values& values, const char* data, std::size_t from, std::size_t size) {
    const auto in = [](unsigned char byte, const unsigned char* pair) { return byte == pair[0] || byte == pair[1]; };
    ScanStop stop{size, 0, ScanStop::kNone};
    for (std::size_t at = from; at < size; ++at) {
        const auto byte = static_cast<unsigned char>(data[at]);
        bool key = byte == kCtrlZ;
        if (kLead && in(byte, values.lead))
            key = key || !kFollower || in(static_cast<unsigned char>(data[at + 1]), values.follower);
        if (kAlternative && in(byte, values.alternative)) key = true;
        if (key) {
            stop.at = at;
            return stop;
        }
        if (byte == kCr) {
            ++stop.crs;
            stop.lastCr = at;
        }
    }
    return stop;
}
#endif

StopFinder::Finder BaselineFor(int kind) {
    switch (kind) {
        case 0: return FindWith<false, false, false>;
        case 1: return FindWith<false, false, true>;
        case 4: return FindWith<true, false, false>;
        case 5: return FindWith<true, false, true>;
        case 6: return FindWith<true, true, false>;
        default: return FindWith<true, true, true>;
    }
}

}  // namespace

StopFinder::StopFinder(const LineKeys& keys, Width width) : m_keys(keys) {
    // A choice of one value compares it twice, so every choice costs the same.
    const auto values = [](const ByteChoice& choice, unsigned char* out) {
        out[0] = choice.first;
        out[1] = choice.count > 1 ? choice.second : choice.first;
    };
    values(keys.lead, m_values.lead);
    values(keys.follower, m_values.follower);
    values(keys.alternative, m_values.alternative);
    const bool lead = keys.lead.count > 0;
    const int kind = (lead ? 4 : 0) | (lead && keys.follower.count > 0 ? 2 : 0) |
                     (keys.alternative.count > 0 ? 1 : 0);
    m_find = BaselineFor(kind);
#if defined(SIFTER32_HAVE_AVX2)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2 && width == Width::Widest) m_find = avx2::FinderFor(kind);
#else
    (void)width;
#endif
}

ScanStop StopFinder::Find(const char* data, std::size_t from, std::size_t size) const {
    if (from >= size) return {size, 0, ScanStop::kNone};
    // A lead in the last byte is a stop of its own: the pieces before it are looked at alone.
    if (m_keys.follower.count > 0 && IsOneOf(static_cast<unsigned char>(data[size - 1]), m_keys.lead))
        return m_find(m_values, data, from, size - 1);
    return m_find(m_values, data, from, size);
}

}  // namespace sifter
