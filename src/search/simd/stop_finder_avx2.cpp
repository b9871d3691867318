// The stop finder with 32-byte compares, for processors that have them. This file alone is
// built with AVX2 enabled; StopFinder calls it only after asking the processor.

#include <immintrin.h>

#include "search/simd/stop_finder.h"
#include "search/simd/stop_finder_piece.h"

namespace sifter::stop_avx2 {
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
    explicit Choice(const unsigned char* values)
        : first(Repeat(values[0])), second(Repeat(values[1])) {}
    __m256i In(__m256i bytes) const {
        return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, first), _mm256_cmpeq_epi8(bytes, second));
    }
};

// Ctrl-Z and the keys among the 32 bytes at `from32`.
template <bool kLead, bool kFollower, bool kAlternative>
__m256i Stops32(const Choice& lead, const Choice& follower, const Choice& alternative,
                __m256i bytes, const char* from32, __m256i ctrlZ) {
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
    return hit;
}

template <bool kLead, bool kFollower, bool kAlternative>
ScanStop FindWith(const StopFinder::Values& values, const char* data, std::size_t from,
                  std::size_t size, StopFinder::Piece& piece) {
    ScanStop stop{size, 0, ScanStop::kNone};
    const __m256i lineEnd = Repeat(values.lineEnd);
    const __m256i ctrlZ = Repeat(26);
    const Choice lead(values.lead), follower(values.follower), alternative(values.alternative);
    for (std::size_t at = from; at < size; at += 64) {
        std::uint64_t endBits = 0, stopBits = 0;
        for (int part = 0; part < 2; ++part) {
            const char* from32 = data + at + part * 32;
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from32));
            endBits |= Bits32(_mm256_cmpeq_epi8(bytes, lineEnd)) << (part * 32);
            const __m256i hit = Stops32<kLead, kFollower, kAlternative>(lead, follower, alternative,
                                                                        bytes, from32, ctrlZ);
            stopBits |= Bits32(hit) << (part * 32);
        }
        if (piece::Settle(endBits, stopBits, at, size, stop)) {
            piece = {data, size, at, endBits, stopBits};
            return stop;
        }
    }
    return stop;
}

template <bool kLead, bool kFollower, bool kAlternative>
std::uint64_t PieceStopsWith(const StopFinder::Values& values, const char* data) {
    const __m256i ctrlZ = Repeat(26);
    const Choice lead(values.lead), follower(values.follower), alternative(values.alternative);
    std::uint64_t stopBits = 0;
    for (int part = 0; part < 2; ++part) {
        const char* from32 = data + part * 32;
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from32));
        const __m256i hit = Stops32<kLead, kFollower, kAlternative>(lead, follower, alternative,
                                                                    bytes, from32, ctrlZ);
        stopBits |= Bits32(hit) << (part * 32);
    }
    return stopBits;
}

// A choice compared the way `kCompare` says (see StopFinder::Compare).
template <int kCompare>
struct Compared {
    __m256i value, other;
    explicit Compared(const unsigned char* values) {
        if constexpr (kCompare == StopFinder::kFolded) {
            other = Repeat(static_cast<unsigned char>(values[0] ^ values[1]));
            value = Repeat(static_cast<unsigned char>(values[0] | (values[0] ^ values[1])));
        } else {
            value = Repeat(values[0]);
            other = Repeat(values[1]);
        }
    }
    __m256i In(__m256i bytes) const {
        if constexpr (kCompare == StopFinder::kOneValue) return _mm256_cmpeq_epi8(bytes, value);
        if constexpr (kCompare == StopFinder::kFolded)
            return _mm256_cmpeq_epi8(_mm256_or_si256(bytes, other), value);
        return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, value), _mm256_cmpeq_epi8(bytes, other));
    }
};

// The line ends counted in each byte of `counts`, added up.
std::size_t Total(__m256i counts) {
    const __m256i sums = _mm256_sad_epu8(counts, _mm256_setzero_si256());
    return static_cast<std::size_t>(_mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) +
                                    _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3));
}

// The hot loop of a search: line ends are counted in byte lanes (a compare gives -1 for each),
// which are added up before any lane can overflow.
template <bool kLead, bool kFollower, bool kAlternative, int kCompare>
std::size_t SkimWith(const StopFinder::Values& values, const char* data, std::size_t from,
                     std::size_t size, std::size_t& ends) {
    const __m256i lineEnd = Repeat(values.lineEnd);
    const __m256i ctrlZ = Repeat(26);
    const Compared<kCompare> lead(values.lead), follower(values.follower),
        alternative(values.alternative);
    const auto hits = [&](const char* at) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        __m256i hit = _mm256_cmpeq_epi8(bytes, ctrlZ);
        if constexpr (kLead) {
            __m256i key = lead.In(bytes);
            if constexpr (kFollower)
                key = _mm256_and_si256(
                    key, follower.In(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1))));
            hit = _mm256_or_si256(hit, key);
        }
        if constexpr (kAlternative) hit = _mm256_or_si256(hit, alternative.In(bytes));
        return hit;
    };
    std::size_t at = from;
    while (size - at >= 64) {
        __m256i counts = _mm256_setzero_si256();
        bool stopped = false;
        // Each piece adds at most 2 to a lane.
        for (int piece = 0; piece < 127 && size - at >= 64; ++piece, at += 64) {
            const __m256i hit = _mm256_or_si256(hits(data + at), hits(data + at + 32));
            if (!_mm256_testz_si256(hit, hit)) {
                stopped = true;
                break;
            }
            const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
            const __m256i high =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + 32));
            counts = _mm256_sub_epi8(counts, _mm256_cmpeq_epi8(low, lineEnd));
            counts = _mm256_sub_epi8(counts, _mm256_cmpeq_epi8(high, lineEnd));
        }
        ends += Total(counts);
        if (stopped) break;
    }
    return at;
}

template <bool kLead, bool kFollower, bool kAlternative>
StopFinder::Skimmer SkimmerFor(int compare) {
    switch (compare) {
        case StopFinder::kOneValue:
            return SkimWith<kLead, kFollower, kAlternative, StopFinder::kOneValue>;
        case StopFinder::kFolded:
            return SkimWith<kLead, kFollower, kAlternative, StopFinder::kFolded>;
        default:
            return SkimWith<kLead, kFollower, kAlternative, StopFinder::kTwoValues>;
    }
}

}  // namespace

StopFinder::Skimmer SkimmerFor(int kind, int compare) {
    switch (kind) {
        case StopFinder::kNoKeys:
            return SkimmerFor<false, false, false>(compare);
        case StopFinder::kAlternatives:
            return SkimmerFor<false, false, true>(compare);
        case StopFinder::kLeads:
            return SkimmerFor<true, false, false>(compare);
        case StopFinder::kLeads | StopFinder::kAlternatives:
            return SkimmerFor<true, false, true>(compare);
        case StopFinder::kLeads | StopFinder::kFollowers:
            return SkimmerFor<true, true, false>(compare);
        default:
            return SkimmerFor<true, true, true>(compare);
    }
}

StopFinder::PieceStops PieceStopsFor(int kind) {
    switch (kind) {
        case StopFinder::kNoKeys:
            return PieceStopsWith<false, false, false>;
        case StopFinder::kAlternatives:
            return PieceStopsWith<false, false, true>;
        case StopFinder::kLeads:
            return PieceStopsWith<true, false, false>;
        case StopFinder::kLeads | StopFinder::kAlternatives:
            return PieceStopsWith<true, false, true>;
        case StopFinder::kLeads | StopFinder::kFollowers:
            return PieceStopsWith<true, true, false>;
        default:
            return PieceStopsWith<true, true, true>;
    }
}

StopFinder::Finder FinderFor(int kind) {
    switch (kind) {
        case StopFinder::kNoKeys:
            return FindWith<false, false, false>;
        case StopFinder::kAlternatives:
            return FindWith<false, false, true>;
        case StopFinder::kLeads:
            return FindWith<true, false, false>;
        case StopFinder::kLeads | StopFinder::kAlternatives:
            return FindWith<true, false, true>;
        case StopFinder::kLeads | StopFinder::kFollowers:
            return FindWith<true, true, false>;
        default:
            return FindWith<true, true, true>;
    }
}

}  // namespace sifter::stop_avx2
