#pragma once
// The bytes a match of a pattern can start with, as PCRE2 reports them in a bitmap, for a quick
// look at a whole line before PCRE2 is called on it: most lines of source text hold no byte
// that could start a match of a pattern without a literal, such as "[0-9]{6,}".

#include <array>
#include <cstdint>
#include <string_view>

namespace sifter {

class StartBytes final {
public:
    // Any byte may start a match.
    StartBytes() = default;
    // Bit (b & 7) of bitmap[b >> 3] set for each byte b that may start a match.
    explicit StartBytes(const std::uint8_t* bitmap);

    // Whether `line` holds a byte that may start a match.
    bool AnyIn(std::string_view line) const;

private:
    // The bytes as runs of consecutive values, which 16 bytes at a time are compared against;
    // more runs than kMostRuns are looked up byte by byte.
    static constexpr int kMostRuns = 4;
    struct Run {
        std::uint8_t first = 0;
        std::uint8_t span = 0;  // last - first
    };
    bool m_any = true;
    int m_runCount = 0;
    std::array<Run, kMostRuns> m_runs{};
    std::array<bool, 256> m_table{};
};

}  // namespace sifter
