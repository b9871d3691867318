// The masks of a block, whichever compare width found them, against a byte-by-byte reading.

#include <gtest/gtest.h>

#include <random>

#include "search/block_masks.h"

namespace sifter {
namespace {

bool IsOneOf(unsigned char byte, const ByteChoice& choice) {
    return (choice.count > 0 && byte == choice.first) || (choice.count > 1 && byte == choice.second);
}

LineMasks Expected(const char* block, int size, const LineKeys& keys) {
    LineMasks masks;
    for (int at = 0; at < size; ++at) {
        const auto byte = static_cast<unsigned char>(block[at]);
        const std::uint64_t bit = std::uint64_t{1} << (at % 64);
        if (byte == '\r') masks.crs.word[at / 64] |= bit;
        if (byte == 26) masks.ctrlZs.word[at / 64] |= bit;
        // A lead in the last byte may pair with the first byte of the next block.
        const bool paired = keys.follower.count == 0 || at + 1 == size ||
                            IsOneOf(static_cast<unsigned char>(block[at + 1]), keys.follower);
        if ((IsOneOf(byte, keys.lead) && paired) || IsOneOf(byte, keys.alternative))
            masks.keys.word[at / 64] |= bit;
    }
    return masks;
}

void ExpectSame(const Mask128& actual, const Mask128& expected, const char* what, int round) {
    EXPECT_EQ(actual.word[0], expected.word[0]) << what << " low word, round " << round;
    EXPECT_EQ(actual.word[1], expected.word[1]) << what << " high word, round " << round;
}

TEST(BlockMasks, EveryWidthFindsWhatAByteByByteReadingFinds) {
    std::mt19937 random(7);
    const std::string alphabet = "\r\n\x1a" "abAB() \xe9\xc9";
    const ByteChoice choices[] = {{}, {'a', 0, 1}, {'a', 'A', 2}, {'b', 'B', 2}, {')', 0, 1}, {0xe9, 0xc9, 2}};
    for (int round = 0; round < 3000; ++round) {
        char block[129];
        for (char& byte : block) byte = alphabet[random() % alphabet.size()];
        const int size = round % 4 == 0 ? 1 + static_cast<int>(random() % 128) : 128;
        LineKeys keys;
        keys.lead = choices[random() % 6];
        if (keys.lead.count > 0) keys.follower = choices[random() % 6];
        keys.alternative = choices[random() % 6];
        const LineMasks expected = Expected(block, size, keys);
        for (const auto width : {BlockMasker::Width::Widest, BlockMasker::Width::Baseline}) {
            LineMasks actual;
            BlockMasker(keys, width).Compute(block, size, actual);
            ExpectSame(actual.crs, expected.crs, "CR", round);
            ExpectSame(actual.ctrlZs, expected.ctrlZs, "Ctrl-Z", round);
            ExpectSame(actual.keys, expected.keys, "keys", round);
        }
        if (HasFailure()) break;
    }
}

TEST(BlockMasks, RangeQueriesCountAndFindTheRightBits) {
    Mask128 mask;
    for (int bit : {0, 5, 63, 64, 100, 127}) mask.word[bit / 64] |= std::uint64_t{1} << (bit % 64);
    const struct {
        int from, to, count, last;
    } ranges[] = {{0, 128, 6, 127}, {1, 63, 1, 5}, {6, 63, 0, -1}, {63, 65, 2, 64},
                  {64, 64, 0, -1}, {65, 127, 1, 100}, {101, 128, 1, 127}, {0, 1, 1, 0}};
    for (const auto& r : ranges) {
        EXPECT_EQ(mask.CountIn(r.from, r.to), r.count) << r.from << ".." << r.to;
        EXPECT_EQ(mask.LastIn(r.from, r.to), r.last) << r.from << ".." << r.to;
        EXPECT_EQ(mask.AnyIn(r.from, r.to), r.count > 0) << r.from << ".." << r.to;
    }
    const int firsts[][2] = {{0, 0}, {1, 5}, {6, 63}, {64, 64}, {65, 100}, {101, 127}, {128, 128}};
    for (const auto& f : firsts) EXPECT_EQ(mask.FirstFrom(f[0]), f[1]) << "from " << f[0];
}

}  // namespace
}  // namespace sifter
