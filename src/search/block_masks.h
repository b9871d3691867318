#pragma once
// Bit masks of where chosen bytes stand in a 128-byte block: bit i is set when byte i is one of
// the bytes looked for. Lines can then be walked with bit operations instead of a library call
// per line.

#include <cstdint>

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
struct LineKeys {
    ByteChoice lead;
    ByteChoice follower;
    ByteChoice alternative;
};

struct Mask128 {
    std::uint64_t word[2] = {0, 0};

    bool AnyIn(int from, int to) const {  // bits [from, to), 0 <= from, to <= 128
        if (from >= to) return false;
        return (word[0] & Bits(from, to < 64 ? to : 64)) != 0 ||
               (to > 64 && (word[1] & Bits(from > 64 ? from - 64 : 0, to - 64)) != 0);
    }
    // Set bits in [from, to) and the highest of them (-1 when there is none).
    int CountIn(int from, int to) const {
        if (from >= to) return 0;
        return Count(word[0] & Bits(from, to < 64 ? to : 64)) +
               (to > 64 ? Count(word[1] & Bits(from > 64 ? from - 64 : 0, to - 64)) : 0);
    }
    int LastIn(int from, int to) const {
        if (from >= to) return -1;
        if (to > 64) {
            const std::uint64_t high = word[1] & Bits(from > 64 ? from - 64 : 0, to - 64);
            if (high != 0) return 127 - __builtin_clzll(high);
        }
        const std::uint64_t low = from < 64 ? word[0] & Bits(from, to < 64 ? to : 64) : 0;
        return low != 0 ? 63 - __builtin_clzll(low) : -1;
    }
    // The first set bit at `from` or after it, or 128.
    int FirstFrom(int from) const {
        if (from < 64) {
            const std::uint64_t low = word[0] & ~Bits(0, from);
            if (low != 0) return __builtin_ctzll(low);
            from = 64;
        }
        if (from >= 128) return 128;
        const std::uint64_t high = word[1] & ~Bits(0, from - 64);
        return high != 0 ? 64 + __builtin_ctzll(high) : 128;
    }

private:
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
    static std::uint64_t Bits(int from, int to) {  // bits [from, to) of one word
        const std::uint64_t below = to >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1;
        const std::uint64_t under = from >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << from) - 1;
        return below & ~under;
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
