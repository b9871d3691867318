// Where the stop finder stops, whichever compare width found it, against a byte-by-byte reading.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "search/simd/stop_finder.h"

namespace sifter {
namespace {

bool IsOneOf(unsigned char byte, const ByteChoice& choice) {
    return (choice.count > 0 && byte == choice.first) ||
           (choice.count > 1 && byte == choice.second);
}

ScanStop Expected(const std::string& bytes, std::size_t from, std::size_t size,
                  const LineKeys& keys, char lineEnd = '\r') {
    ScanStop stop{size, 0, ScanStop::kNone};
    for (std::size_t at = from; at < size; ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        // A lead in the last byte may pair with the first byte of the next stretch.
        const bool paired = keys.follower.count == 0 || at + 1 == size ||
                            IsOneOf(static_cast<unsigned char>(bytes[at + 1]), keys.follower);
        if (byte == 26 || (IsOneOf(byte, keys.lead) && paired) || IsOneOf(byte, keys.alternative)) {
            stop.at = at;
            return stop;
        }
        if (bytes[at] == lineEnd) {
            ++stop.ends;
            stop.lastEnd = at;
        }
    }
    return stop;
}

TEST(StopFinder, EveryWidthStopsWhereAByteByByteReadingStops) {
    std::mt19937 random(7);
    const ByteChoice choices[] = {{},          {'a', 0, 1},    {'a', 'A', 2}, {'b', 'B', 2},
                                  {')', 0, 1}, {0xe9, 0xc9, 2}};
    for (int round = 0; round < 3000; ++round) {
        // Stops common, stops rare among many line ends, and line ends alone, for long enough
        // that the counts of the pieces passed over pile up: the place that holds the stop and
        // the pieces passed over on the way are tried in every part of a stretch. Lines end at
        // CR, or at LF every other round, the other byte being data then.
        const int regime = round % 3;
        const char lineEnd = round % 2 == 0 ? '\r' : '\n';
        const char other = lineEnd == '\r' ? '\n' : '\r';
        std::string alphabet =
            "\r\n\x1a"
            "abAB() \xe9\xc9";
        if (regime == 1) alphabet = std::string(600, 'x') + std::string(100, lineEnd) + alphabet;
        if (regime == 2) alphabet = std::string(4000, lineEnd) + other + "x" + alphabet;
        const std::size_t size = 1 + random() % (regime == 0 ? 200 : 20000);
        std::string bytes(size + StopFinder::kPadding, '\0');
        for (char& byte : bytes) byte = alphabet[random() % alphabet.size()];
        const std::size_t from = random() % size;
        LineKeys keys;
        keys.lead = choices[random() % 6];
        if (keys.lead.count > 0) keys.follower = choices[random() % 6];
        keys.alternative = choices[random() % 6];
        const ScanStop expected = Expected(bytes, from, size, keys, lineEnd);
        for (const auto width : {StopFinder::Width::Widest, StopFinder::Width::Baseline}) {
            StopFinder finder(keys, width);
            finder.Start(lineEnd);
            const ScanStop actual = finder.Find(bytes.data(), from, size);
            EXPECT_EQ(actual.at, expected.at) << "round " << round;
            EXPECT_EQ(actual.ends, expected.ends) << "round " << round;
            EXPECT_EQ(actual.lastEnd, expected.lastEnd) << "round " << round;
            // Every stop at once, as the line index takes them.
            std::vector<std::size_t> stops, expectedStops;
            for (std::size_t at = from; at < size;) {
                const std::size_t next = Expected(bytes, at, size, keys, lineEnd).at;
                if (next == size) break;
                expectedStops.push_back(next);
                at = next + 1;
            }
            finder.ForEachStop(bytes.data(), from, size, [&](std::size_t at) {
                stops.push_back(at);
                return true;
            });
            EXPECT_EQ(stops, expectedStops) << "round " << round;
        }
        if (HasFailure()) break;
    }
}

TEST(StopFinder, GoingFromStopToStopWithOneFinderAgreesWithAFreshLookEachTime) {
    // As the line scan goes: each search starts just past the last stop, often inside the
    // piece that held it. A new stretch in the same place is announced, then walked the same way.
    std::mt19937 random(11);
    const std::string alphabet =
        "xxxxxxxx\r\r\n\x1a"
        "abAB()";
    const LineKeys keys{{'a', 'A', 2}, {'b', 'B', 2}, {')', 0, 1}};
    for (const auto width : {StopFinder::Width::Widest, StopFinder::Width::Baseline}) {
        StopFinder finder(keys, width);
        std::string bytes(2000 + StopFinder::kPadding, '\0');
        for (int stretch = 0; stretch < 300; ++stretch) {
            const std::size_t size = 1 + random() % 2000;
            for (char& byte : bytes) byte = alphabet[random() % alphabet.size()];
            finder.Forget();
            for (std::size_t from = 0; from < size;) {
                const ScanStop expected = Expected(bytes, from, size, keys);
                const ScanStop actual = finder.Find(bytes.data(), from, size);
                ASSERT_EQ(actual.at, expected.at) << "stretch " << stretch << " from " << from;
                ASSERT_EQ(actual.ends, expected.ends) << "stretch " << stretch << " from " << from;
                ASSERT_EQ(actual.lastEnd, expected.lastEnd)
                    << "stretch " << stretch << " from " << from;
                from = actual.at + 1 + random() % 3;
            }
        }
    }
}

TEST(StopFinder, TheBytesPastTheEndAreNeverTakenForAKeyOrALineEnd) {
    const LineKeys keys{{'a', 0, 1}, {'b', 0, 1}, {}};
    const struct {
        const char* what;
        std::string bytes;  // the stretch is the first 10
        std::size_t at;
        std::size_t ends;
    } cases[] = {
        {"a pair across the end stops at its lead", "xxxxxxxxxab\r", 9, 0},
        {"a CR and a Ctrl-Z past the end", "xx\rxxxxxxx\r\x1a", 10, 1},
        {"a pair right at the end", "xxxxxxxxab\x1a", 8, 0},
        {"nothing at all", "xxxxxxxxxx\x1a\r", 10, 0},
    };
    for (const auto& c : cases) {
        std::string bytes = c.bytes;
        bytes.resize(10 + StopFinder::kPadding, '\x1a');
        const ScanStop stop = StopFinder(keys).Find(bytes.data(), 0, 10);
        EXPECT_EQ(stop.at, c.at) << c.what;
        EXPECT_EQ(stop.ends, c.ends) << c.what;
    }
}

}  // namespace
}  // namespace sifter
