#pragma once
// Bit masks of where chosen bytes stand in a 128-byte block: bit i is set when byte i is one of
// the bytes looked for. Lines can then be walked with bit operations instead of a library call
// per line.

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sifter {

// Up to two byte values; a choice without values matches nothing.
struct ByteChoice {
    unsigned char first = 0;
    unsigned char second = 0;
    int count = 0;
};

// The bytes that make a line worth looking at: a `lead` byte with a `follower` byte right after
// it (or a lead byte alone when there are no followers), or an `alternative` byte.
// Where a pair of keys stands in a text looked for: a pair in a line belongs to an occurrence
// only when the form stands `offset` bytes before it. A line none of whose pairs stands in a
// form need not be looked at.
struct KeyAnchor {
    std::string_view form;  // upper-cased when the keys fold case
    std::size_t offset = 0;
};

struct LineKeys {
    ByteChoice lead;
    ByteChoice follower;
    ByteChoice alternative;
    // Without anchors a pair alone lets a line through.
    KeyAnchor anchors[2];
    int anchorCount = 0;
    bool foldCase = false;  // letters of the line compared as upper case
};

struct Mask128 {
    std::uint64_t word[2] = {0, 0};

    // Bit queries over [from, to) with 0 <= from, to <= 128. They work on one 128-bit number,
    // which the compiler turns into a few branch-free instructions per query.
    bool AnyIn(int from, int to) const { return Range(from, to) != 0; }
    int CountIn(int from, int to) const {
        const Bits bits = Range(from, to);
        return Count(static_cast<std::uint64_t>(bits)) + Count(static_cast<std::uint64_t>(bits >> 64));
    }
    // The highest set bit in [from, to), or -1.
    int LastIn(int from, int to) const {
        const Bits bits = Range(from, to);
        const auto high = static_cast<std::uint64_t>(bits >> 64);
        const auto low = static_cast<std::uint64_t>(bits);
        if (high != 0) return 127 - __builtin_clzll(high);
        return low != 0 ? 63 - __builtin_clzll(low) : -1;
    }
    // The first set bit at `from` or after it, or 128.
    int FirstFrom(int from) const {
        const Bits bits = Range(from, 128);
        const auto low = static_cast<std::uint64_t>(bits);
        const auto high = static_cast<std::uint64_t>(bits >> 64);
        if (low != 0) return __builtin_ctzll(low);
        return high != 0 ? 64 + __builtin_ctzll(high) : 128;
    }

private:
    __extension__ typedef unsigned __int128 Bits;  // a GCC and Clang type

    Bits All() const { return static_cast<Bits>(word[1]) << 64 | word[0]; }
    // The bits at `from` and above, then those below `to`.
    Bits Range(int from, int to) const {
        if (from >= to) return 0;
        const Bits ones = ~static_cast<Bits>(0);
        const Bits below = to >= 128 ? ones : (static_cast<Bits>(1) << to) - 1;
        return All() & below & (ones << from);
    }
    static int Count(std::uint64_t bits) {
#if defined(__POPCNT__)
        return __builtin_popcountll(bits);
#else
        // Without the instruction the builtin becomes a library call; this is inline.
        bits -= (bits >> 1) & 0x5555555555555555ULL;
        bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
        bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
        return static_cast<int>((bits * 0x0101010101010101ULL) >> 56);
#endif
    }
};

// Where the line ends (CR), the data end (Ctrl-Z) and the key bytes stand in a block.
struct LineMasks {
    Mask128 crs;
    Mask128 ctrlZs;
    Mask128 keys;
};

// Finds CR, Ctrl-Z and the keys in a 128-byte block in one pass.
class BlockMasker final {
public:
    // Widest: the 32-byte compares where the processor has them; Baseline: 16-byte ones.
    enum class Width { Widest, Baseline };
    explicit BlockMasker(const LineKeys& keys, Width width = Width::Widest);

    // Masks over the first `size` bytes of the block. The block must be readable one byte
    // further for the followers; a lead in the last byte counts as a key whatever follows.
    void Compute(const char* block, int size, LineMasks& masks) const;

private:
    void FinishMasks(const char* block, int size, LineMasks& masks) const;

    LineKeys m_keys;
    bool m_avx2 = false;
#if defined(__SSE2__)
    __m128i m_lead[2], m_follower[2], m_alternative[2];
#endif
};

}  // namespace sifter
