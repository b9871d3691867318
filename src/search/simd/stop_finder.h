#pragma once
// Where the line scan has to stop and look in a stretch of bytes: at a key or a Ctrl-Z. The bytes
// are looked at 64 at a time; lines without a key are passed over by counting their line ends
// (CRs, or LFs in an LF file), instead of a library call per line.

#include <cstddef>
#include <cstdint>

#include "search/simd/line_keys.h"

namespace sifter {

// Where a stretch of bytes has to be looked at: its first key or Ctrl-Z.
struct ScanStop {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t at = 0;           // the key or Ctrl-Z, or the end of the stretch
    std::size_t ends = 0;         // the line end bytes before it
    std::size_t lastEnd = kNone;  // the last of them
};

class StopFinder final {
public:
    // Widest: the 32-byte compares where the processor has them; Baseline: 16-byte ones.
    enum class Width { Widest, Baseline };
    // Bytes past the end of a stretch that must be readable (they are looked at, never used).
    static constexpr std::size_t kPadding = 64;

    explicit StopFinder(const LineKeys& keys, Width width = Width::Widest);

    // A new stretch of bytes, whose lines end at `lineEnd` (CR until told otherwise).
    void Start(char lineEnd) {
        m_values.lineEnd = static_cast<unsigned char>(lineEnd);
        Forget();
    }

    // The first key or Ctrl-Z in data[from, size), counting the line ends before it. A lead in the
    // last byte counts as a key whatever follows it: the byte after is not known yet. Where
    // stops come thick, the next call often starts in the piece of the last stop, whose bytes
    // are then not compared again: a new stretch of bytes, even at the same place, must be
    // announced with Forget first.
    ScanStop Find(const char* data, std::size_t from, std::size_t size);
    void Forget() { m_piece.data = nullptr; }

    // Calls `each(at)` for every key and Ctrl-Z in data[from, size), in order, while it returns
    // true; returns where it stopped (`size` when it went through). For stops that come thick,
    // as every line end does: a piece's stops are taken from its bits at once. Line ends are
    // not counted.
    template <typename Each>
    std::size_t ForEachStop(const char* data, std::size_t from, std::size_t size, Each each) {
        for (std::size_t at = from; at < size; at += 64) {
            std::uint64_t bits = m_pieceStops(m_values, data + at);
            if (size - at <= 64) {
                if (size - at < 64) bits &= (std::uint64_t{1} << (size - at)) - 1;
                if (LeadAtEnd(data, size)) bits |= std::uint64_t{1} << (size - 1 - at);
            }
            for (; bits != 0; bits &= bits - 1) {
                const std::size_t stop = at + static_cast<std::size_t>(__builtin_ctzll(bits));
                if (!each(stop)) return stop;
            }
        }
        return size;
    }

    // The values of the three choices, each given twice when it has one (see stop_finder.cpp),
    // and the byte that ends a line.
    struct Values {
        unsigned char lead[2], follower[2], alternative[2];
        unsigned char lineEnd = '\r';
    };
    // How the choices' values are compared, the cheapest way that serves all of them: one value
    // each; values that differ only in bit 0x20 (a letter's two cases), with that bit set; or
    // two values each, one by one.
    enum Compare { kOneValue = 0, kFolded = 1, kTwoValues = 2 };
    // The 64-byte piece a stop was found in, with its bits (before the end of the stretch is
    // cut off).
    struct Piece {
        const char* data = nullptr;  // the stretch; null when no piece is kept
        std::size_t size = 0;
        std::size_t at = 0;
        std::uint64_t endBits = 0;
        std::uint64_t stopBits = 0;
    };
    // The kinds of key a stretch is looked at for, as bits of one number that picks the
    // compiled loop: leads, followers after them (only with leads), alternatives. With none,
    // only Ctrl-Z stops.
    enum KeyKind : int { kNoKeys = 0, kAlternatives = 1, kFollowers = 2, kLeads = 4 };
    // A finder keeps the piece it stopped in.
    using Finder = ScanStop (*)(const Values&, const char*, std::size_t, std::size_t, Piece& piece);
    // Passes over the whole 64-byte pieces from `from` that hold no key and no Ctrl-Z: returns
    // where it stopped, and adds the line ends passed to `ends`.
    using Skimmer = std::size_t (*)(const Values&, const char*, std::size_t, std::size_t,
                                    std::size_t& ends);
    // The keys and Ctrl-Z among the 64 bytes at a place, as bits.
    using PieceStops = std::uint64_t (*)(const Values&, const char*);

private:
    // Whether the stretch data[0, size) ends with a lead, which is a stop of its own.
    bool LeadAtEnd(const char* data, std::size_t size) const;

    LineKeys m_keys;
    Values m_values{};
    Finder m_find = nullptr;
    Skimmer m_skim = nullptr;
    PieceStops m_pieceStops = nullptr;
    Piece m_piece;
};

}  // namespace sifter
