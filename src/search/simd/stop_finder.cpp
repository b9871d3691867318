#include "search/simd/stop_finder.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "search/simd/stop_finder_piece.h"

namespace sifter {
namespace stop_avx2 {
// In stop_finder_avx2.cpp; `kind` a set of StopFinder's KeyKind bits, `compare` a Compare.
StopFinder::Finder FinderFor(int kind);
StopFinder::Skimmer SkimmerFor(int kind, int compare);
StopFinder::PieceStops PieceStopsFor(int kind);
}  // namespace stop_avx2

namespace {

constexpr unsigned char kCtrlZ = 26;

bool IsOneOf(unsigned char byte, const ByteChoice& choice) {
    return (choice.count > 0 && byte == choice.first) ||
           (choice.count > 1 && byte == choice.second);
}

#if defined(__SSE2__)
__m128i Repeat(unsigned char byte) {
    return _mm_set1_epi8(static_cast<char>(byte));
}

std::uint64_t Bits16(__m128i hit) {
    return static_cast<std::uint16_t>(_mm_movemask_epi8(hit));
}

__m128i In(__m128i bytes, const unsigned char* values) {
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, Repeat(values[0])),
                        _mm_cmpeq_epi8(bytes, Repeat(values[1])));
}

// Ctrl-Z and the keys among the 16 bytes at `from16`. The kinds of key are known to the
// compiler, so the loops that use it have no tests for them.
template <bool kLead, bool kFollower, bool kAlternative>
__m128i Stops16(const StopFinder::Values& values, __m128i bytes, const char* from16,
                __m128i ctrlZ) {
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
    return hit;
}

template <bool kLead, bool kFollower, bool kAlternative>
ScanStop FindWith(const StopFinder::Values& values, const char* data, std::size_t from,
                  std::size_t size, StopFinder::Piece& piece) {
    ScanStop stop{size, 0, ScanStop::kNone};
    const __m128i lineEnd = Repeat(values.lineEnd);
    const __m128i ctrlZ = Repeat(kCtrlZ);
    for (std::size_t at = from; at < size; at += 64) {
        std::uint64_t endBits = 0, stopBits = 0;
        for (int part = 0; part < 4; ++part) {
            const char* from16 = data + at + part * 16;
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from16));
            endBits |= Bits16(_mm_cmpeq_epi8(bytes, lineEnd)) << (part * 16);
            stopBits |=
                Bits16(Stops16<kLead, kFollower, kAlternative>(values, bytes, from16, ctrlZ))
                << (part * 16);
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
    const __m128i ctrlZ = Repeat(kCtrlZ);
    std::uint64_t stopBits = 0;
    for (int part = 0; part < 4; ++part) {
        const char* from16 = data + part * 16;
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from16));
        stopBits |= Bits16(Stops16<kLead, kFollower, kAlternative>(values, bytes, from16, ctrlZ))
                    << (part * 16);
    }
    return stopBits;
}

// A choice compared the way `kCompare` says (see StopFinder::Compare).
template <int kCompare>
struct Compared {
    __m128i value, other;
    explicit Compared(const unsigned char* values) {
        if constexpr (kCompare == StopFinder::kFolded) {
            other = Repeat(static_cast<unsigned char>(values[0] ^ values[1]));
            value = Repeat(static_cast<unsigned char>(values[0] | (values[0] ^ values[1])));
        } else {
            value = Repeat(values[0]);
            other = Repeat(values[1]);
        }
    }
    __m128i In(__m128i bytes) const {
        if constexpr (kCompare == StopFinder::kOneValue) return _mm_cmpeq_epi8(bytes, value);
        if constexpr (kCompare == StopFinder::kFolded)
            return _mm_cmpeq_epi8(_mm_or_si128(bytes, other), value);
        return _mm_or_si128(_mm_cmpeq_epi8(bytes, value), _mm_cmpeq_epi8(bytes, other));
    }
};

// The hot loop of a search: line ends are counted in byte lanes (a compare gives -1 for each),
// which are added up before any lane can overflow.
template <bool kLead, bool kFollower, bool kAlternative, int kCompare>
std::size_t SkimWith(const StopFinder::Values& values, const char* data, std::size_t from,
                     std::size_t size, std::size_t& ends) {
    const __m128i lineEnd = Repeat(values.lineEnd);
    const __m128i ctrlZ = Repeat(kCtrlZ);
    const Compared<kCompare> lead(values.lead), follower(values.follower),
        alternative(values.alternative);
    const auto load = [](const char* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    };
    std::size_t at = from;
    while (size - at >= 64) {
        __m128i counts = _mm_setzero_si128();
        bool stopped = false;
        // Each piece adds at most 4 to a lane.
        for (int piece = 0; piece < 63 && size - at >= 64; ++piece, at += 64) {
            __m128i hit = _mm_setzero_si128();
            for (int part = 0; part < 4; ++part) {
                const __m128i bytes = load(data + at + part * 16);
                hit = _mm_or_si128(hit, _mm_cmpeq_epi8(bytes, ctrlZ));
                if constexpr (kLead) {
                    __m128i key = lead.In(bytes);
                    if constexpr (kFollower)
                        key = _mm_and_si128(key, follower.In(load(data + at + part * 16 + 1)));
                    hit = _mm_or_si128(hit, key);
                }
                if constexpr (kAlternative) hit = _mm_or_si128(hit, alternative.In(bytes));
            }
            if (_mm_movemask_epi8(hit) != 0) {
                stopped = true;
                break;
            }
            for (int part = 0; part < 4; ++part)
                counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(load(data + at + part * 16), lineEnd));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        ends += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) +
                                         _mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
        if (stopped) break;
    }
    return at;
}

template <bool kLead, bool kFollower, bool kAlternative>
StopFinder::Skimmer SkimmerWith(int compare) {
    switch (compare) {
        case StopFinder::kOneValue:
            return SkimWith<kLead, kFollower, kAlternative, StopFinder::kOneValue>;
        case StopFinder::kFolded:
            return SkimWith<kLead, kFollower, kAlternative, StopFinder::kFolded>;
        default:
            return SkimWith<kLead, kFollower, kAlternative, StopFinder::kTwoValues>;
    }
}
#else
// Byte by byte, where there are no vector compares; no piece is kept.
template <bool kLead, bool kFollower, bool kAlternative>
ScanStop FindWith(const StopFinder::Values& values, const char* data, std::size_t from,
                  std::size_t size, StopFinder::Piece&) {
    const auto in = [](unsigned char byte, const unsigned char* pair) {
        return byte == pair[0] || byte == pair[1];
    };
    ScanStop stop{size, 0, ScanStop::kNone};
    for (std::size_t at = from; at < size; ++at) {
        const auto byte = static_cast<unsigned char>(data[at]);
        bool key = byte == kCtrlZ;
        if (kLead && in(byte, values.lead))
            key =
                key || !kFollower || in(static_cast<unsigned char>(data[at + 1]), values.follower);
        if (kAlternative && in(byte, values.alternative)) key = true;
        if (key) {
            stop.at = at;
            return stop;
        }
        if (byte == values.lineEnd) {
            ++stop.ends;
            stop.lastEnd = at;
        }
    }
    return stop;
}

template <bool kLead, bool kFollower, bool kAlternative>
std::uint64_t PieceStopsWith(const StopFinder::Values& values, const char* data) {
    std::uint64_t stopBits = 0;
    StopFinder::Piece none;
    for (std::size_t at = 0; at < 64;) {
        const ScanStop stop = FindWith<kLead, kFollower, kAlternative>(values, data, at, 64, none);
        if (stop.at == 64) break;
        stopBits |= std::uint64_t{1} << stop.at;
        at = stop.at + 1;
    }
    return stopBits;
}

// The byte-by-byte finder needs no skimming ahead of it.
std::size_t SkimNothing(const StopFinder::Values&, const char*, std::size_t from, std::size_t,
                        std::size_t&) {
    return from;
}

template <bool, bool, bool>
StopFinder::Skimmer SkimmerWith(int) {
    return SkimNothing;
}
#endif

StopFinder::Skimmer BaselineSkimmer(int kind, int compare) {
    switch (kind) {
        case StopFinder::kNoKeys:
            return SkimmerWith<false, false, false>(compare);
        case StopFinder::kAlternatives:
            return SkimmerWith<false, false, true>(compare);
        case StopFinder::kLeads:
            return SkimmerWith<true, false, false>(compare);
        case StopFinder::kLeads | StopFinder::kAlternatives:
            return SkimmerWith<true, false, true>(compare);
        case StopFinder::kLeads | StopFinder::kFollowers:
            return SkimmerWith<true, true, false>(compare);
        default:
            return SkimmerWith<true, true, true>(compare);
    }
}

// The last line end `lineEnd` in data[from, end), which holds one: looked for from the end back,
// eight bytes at a time while they are there.
std::size_t LastEnd(const char* data, std::size_t from, std::size_t end, unsigned char lineEnd) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t ends = 0x0101010101010101ULL * lineEnd;
    while (end - from >= 8) {
        std::uint64_t word;
        std::memcpy(&word, data + end - 8, sizeof word);
        word ^= ends;  // a line end becomes a zero byte
        // The high bit of each byte that is zero, and of no other (no carry crosses bytes).
        const std::uint64_t zeros = ~(((word & kLow7) + kLow7) | word | kLow7);
        if (zeros != 0)
            return end - 8 + static_cast<std::size_t>((63 - __builtin_clzll(zeros)) / 8);
        end -= 8;
    }
    while (static_cast<unsigned char>(data[end - 1]) != lineEnd) --end;
    return end - 1;
}

// The cheapest compare that serves a choice.
int CompareFor(const ByteChoice& choice) {
    if (choice.count < 2 || choice.first == choice.second) return StopFinder::kOneValue;
    return (choice.first ^ choice.second) == 0x20 ? StopFinder::kFolded : StopFinder::kTwoValues;
}

StopFinder::Finder BaselineFor(int kind) {
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

StopFinder::PieceStops BaselinePieceStops(int kind) {
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
    const int kind = (lead ? kLeads : kNoKeys) |
                     (lead && keys.follower.count > 0 ? kFollowers : kNoKeys) |
                     (keys.alternative.count > 0 ? kAlternatives : kNoKeys);
    int compare = kOneValue;
    if (lead) compare = std::max(compare, CompareFor(keys.lead));
    if (kind & kFollowers) compare = std::max(compare, CompareFor(keys.follower));
    if (kind & kAlternatives) compare = std::max(compare, CompareFor(keys.alternative));
    m_find = BaselineFor(kind);
    m_skim = BaselineSkimmer(kind, compare);
    m_pieceStops = BaselinePieceStops(kind);
#if defined(SIFTER32_HAVE_AVX2)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2 && width == Width::Widest) {
        m_find = stop_avx2::FinderFor(kind);
        m_skim = stop_avx2::SkimmerFor(kind, compare);
        m_pieceStops = stop_avx2::PieceStopsFor(kind);
    }
#else
    (void)width;
#endif
}

bool StopFinder::LeadAtEnd(const char* data, std::size_t size) const {
    return m_keys.follower.count > 0 &&
           IsOneOf(static_cast<unsigned char>(data[size - 1]), m_keys.lead);
}

ScanStop StopFinder::Find(const char* data, std::size_t from, std::size_t size) {
    if (from >= size) return {size, 0, ScanStop::kNone};
    // A lead in the last byte is a stop of its own: the pieces before it are looked at alone.
    if (LeadAtEnd(data, size)) --size;
    ScanStop head{size, 0, ScanStop::kNone};
    std::size_t start = from;
    if (m_piece.data == data && m_piece.size == size && from >= m_piece.at &&
        from - m_piece.at < 64) {
        // The rest of the last stop's piece, from its bits.
        const std::uint64_t fromHere = ~std::uint64_t{0} << (from - m_piece.at);
        if (piece::Settle(m_piece.endBits & fromHere, m_piece.stopBits & fromHere, m_piece.at, size,
                          head))
            return head;
        start = m_piece.at + 64;
        if (start >= size) return head;
    }
    std::size_t skimmedEnds = 0;
    const std::size_t skimmed = m_skim(m_values, data, start, size, skimmedEnds);
    m_piece.data = nullptr;
    ScanStop stop = m_find(m_values, data, skimmed, size, m_piece);
    stop.ends += head.ends + skimmedEnds;
    if (stop.lastEnd == ScanStop::kNone)
        stop.lastEnd =
            skimmedEnds > 0 ? LastEnd(data, start, skimmed, m_values.lineEnd) : head.lastEnd;
    return stop;
}

}  // namespace sifter
