#pragma once
// Shared by the two compare widths of StopFinder (and the Pascal reader's count of line ends).
// Internal to each file that includes it, so each is compiled with that file's instruction set.

#include <cstdint>

#include "search/simd/stop_finder.h"

namespace sifter::piece {

static inline int Count(std::uint64_t bits) {
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

// Settles the 64-byte piece at `at` from its line end bits and its stop bits (keys and Ctrl-Z):
// true when the stop is in it, which `stop` then tells; otherwise its line ends are counted.
static inline bool Settle(std::uint64_t endBits, std::uint64_t stopBits, std::size_t at,
                          std::size_t size, ScanStop& stop) {
    if (size - at < 64) {
        const std::uint64_t valid = (std::uint64_t{1} << (size - at)) - 1;
        endBits &= valid;
        stopBits &= valid;
    }
    if (stopBits != 0) {
        const int first = __builtin_ctzll(stopBits);
        endBits &= (std::uint64_t{1} << first) - 1;
        stop.at = at + static_cast<std::size_t>(first);
    }
    stop.ends += static_cast<std::size_t>(Count(endBits));
    if (endBits != 0) stop.lastEnd = at + 63 - static_cast<std::size_t>(__builtin_clzll(endBits));
    return stopBits != 0;
}

}  // namespace sifter::piece
