// The buffer-at-a-time line loop must read exactly what the line-at-a-time one reads: the same
// lines with the same numbers, the same system calls, the same pending code at the end.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/text/text_matcher.h"
#include "test_support.h"
#include "text_model.h"

namespace sifter::test {
namespace {

struct Outcome {
    std::int64_t lineCount = 0;
    std::map<std::int64_t, std::string> lines;  // by number: all lines, or the handed-over ones
    int reads = 0;
    std::int32_t pending = 0;
};

class Collector final : public LineVisitor {
public:
    void Line(std::int64_t number, std::string_view text) override {
        EXPECT_TRUE(lines.emplace(number, std::string(text)).second)
            << "line " << number << " twice";
    }
    std::map<std::int64_t, std::string> lines;
};

std::unique_ptr<LineFile> OpenScripted(const FakeFile::Script& script, std::shared_ptr<FileLog> log,
                                       FakeSystem& system) {
    system.openRead = [&, log](const std::string&) {
        return platform::OpenResult{std::make_unique<FakeFile>(script, log), 0};
    };
    auto file = std::make_unique<LineFile>(system);
    file->OpenRead("scripted");
    return file;
}

Outcome LineByLine(const FakeFile::Script& script) {
    FakeSystem system;
    auto log = std::make_shared<FileLog>();
    auto file = OpenScripted(script, log, system);
    Outcome outcome;
    for (const std::string& line : ReadAllLines(*file)) outcome.lines[++outcome.lineCount] = line;
    outcome.reads = log->reads;
    outcome.pending = TakeError();
    return outcome;
}

Outcome Scanned(const FakeFile::Script& script, const LineKeys& keys) {
    FakeSystem system;
    auto log = std::make_shared<FileLog>();
    auto file = OpenScripted(script, log, system);
    Collector collector;
    Outcome outcome;
    outcome.lineCount = file->ScanLines(keys, collector);
    outcome.lines = std::move(collector.lines);
    outcome.reads = log->reads;
    outcome.pending = TakeError();
    // A failed read ends the loop as it ends AtEnd; without one the data must be used up.
    if (script.failingReads.empty()) {
        EXPECT_TRUE(file->AtEnd()) << "the scan stopped early";
    }
    return outcome;
}

// The scan counted the reference's lines and handed over every one with a key, as it is.
void ExpectLinesOf(const Outcome& reference, const Outcome& scanned, const LineKeys& keys) {
    EXPECT_EQ(scanned.lineCount, reference.lineCount);
    for (const auto& [number, text] : scanned.lines) {
        const auto same = reference.lines.find(number);
        ASSERT_NE(same, reference.lines.end())
            << "handed a line " << number << " that does not exist";
        EXPECT_EQ(text, same->second) << "line " << number;
    }
    for (const auto& [number, text] : reference.lines) {
        if (ModelHoldsKey(text, keys)) {
            EXPECT_TRUE(scanned.lines.count(number)) << "line " << number << " missed";
        }
    }
}

void ExpectSameReading(const FakeFile::Script& script, const LineKeys& keys,
                       const std::string& label) {
    SCOPED_TRACE(label);
    const Outcome reference = LineByLine(script);
    const Outcome scanned = Scanned(script, keys);
    ExpectLinesOf(reference, scanned, keys);
    EXPECT_EQ(scanned.reads, reference.reads);
    EXPECT_EQ(scanned.pending, reference.pending);
}

// The random files and keys of the agreement rounds, drawn from one seed.
class RandomScans final {
public:
    RandomScans(std::uint32_t seed, std::string alphabet)
        : m_random(seed), m_alphabet(std::move(alphabet)) {}

    // Fewer than `longest` bytes of the alphabet; most Ctrl-Zs become 'a', so that most of the
    // data lies before the end.
    std::string Data(std::size_t longest) {
        std::string data;
        const std::size_t length = m_random() % longest;
        for (std::size_t i = 0; i < length; ++i) {
            char byte = m_alphabet[m_random() % m_alphabet.size()];
            if (byte == '\x1a' && m_random() % 8 != 0) byte = 'a';
            data += byte;
        }
        return data;
    }

    // Read sizes or the calls that fail: at least one number from `from` below `from + span`;
    // the count is drawn anew before each, which keeps short lists the likelier.
    template <typename Number>
    std::vector<Number> Numbers(int mostCount, Number from, std::uint32_t span) {
        std::vector<Number> numbers;
        for (int i = 0; i < 1 + static_cast<int>(m_random() % mostCount); ++i)
            numbers.push_back(from + static_cast<Number>(m_random() % span));
        return numbers;
    }

    // No keys, one byte, either of two cases, or a ')' for each choice; a follower only after
    // a lead; now and then every line.
    LineKeys Keys() {
        static const ByteChoice kChoices[] = {
            {}, {'x', 0, 1}, {'x', 'X', 2}, {'y', 'Y', 2}, {')', 0, 1}};
        LineKeys keys;
        keys.lead = kChoices[m_random() % 5];
        if (keys.lead.count > 0) keys.follower = kChoices[m_random() % 5];
        keys.alternative = kChoices[m_random() % 5];
        keys.everyLine = m_random() % 6 == 0;
        return keys;
    }

private:
    std::mt19937 m_random;
    std::string m_alphabet;
};

TEST(LineScan, SplitsAsTheLineRulesSayWhateverTheSystemReadsAhead) {
    LineKeys everyLine;
    everyLine.everyLine = true;
    for (const LineKeys& keys : {LineKeys{{}, {}, {'a', 'x', 2}}, everyLine})
        for (const LineRuleCase& c : LineRuleCases()) {
            Outcome reference;
            for (const std::string& line : c.lines) reference.lines[++reference.lineCount] = line;
            for (const std::int32_t ahead : {0, 1, 7, 128, 200, 65536}) {
                SCOPED_TRACE(testing::Message()
                             << testing::PrintToString(c) << ", " << ahead << " bytes read ahead");
                FakeFile::Script script{.data = c.bytes};
                if (ahead > 0) script.aheads = {ahead};
                ExpectLinesOf(reference, Scanned(script, keys), keys);
            }
        }
}

TEST(LineScan, AgreesWithLineByLineReadingOnHandPickedFiles) {
    const ByteChoice x{'x', 0, 1}, xX{'x', 'X', 2}, y{'y', 0, 1}, paren{')', 0, 1};
    const std::string crAt127 = std::string(127, 'a') + "\r\n" + "x";
    const std::string keyAcrossBlocks = std::string(127, 'a') + "xy\r\n";
    const struct {
        std::string label;
        std::string data;
        LineKeys keys;
    } cases[] = {
        {"empty", "", {x, {}, {}}},
        {"no line end", "abx", {x, {}, {}}},
        {"CR LF pairs", "ax\r\nb\r\nxx\r\n", {x, {}, {}}},
        {"lone CR and LF", "x\rb\nx\r\r\nx", {x, {}, {}}},
        {"LF CR", "x\n\rb", {x, {}, {}}},
        {"Ctrl-Z ends the data", "x\r\nx\x1ax\r\nx", {x, {}, {}}},
        {"Ctrl-Z first", "\x1ax\r\n", {x, {}, {}}},
        {"CR at byte 128, LF at 129", crAt127, {x, {}, {}}},
        {"pair split by the block edge", keyAcrossBlocks, {x, y, {}}},
        {"both cases", "aX\r\nax\r\nb\r\n", {xX, {}, {}}},
        {"alternative only", "f(a)\r\nb\r\n", {{}, {}, paren}},
        {"no keys at all", "a\r\nb\r\n", {}},
        {"every line", "a\r\n\r\nb\nc\rd\x1a", {.everyLine = true}},
        {"every line of an LF file", "a\n\r\nb\rc\n\x1a", {.everyLine = true}},
        {"long line", std::string(1000, 'a') + "x" + std::string(500, 'b') + "\r\n", {x, {}, {}}},
    };
    for (const auto& c : cases) ExpectSameReading({c.data}, c.keys, c.label);
}

TEST(LineScan, AgreesWithLineByLineReadingUnderShortAndFailingReads) {
    RandomScans random(20261208,
                       "\r\r\r\n\n\x1a"
                       "abxyXY() ");
    for (int round = 0; round < 4000; ++round) {
        FakeFile::Script script{.data = random.Data(700)};
        if (round % 2 == 1) script.chunks = random.Numbers<std::int32_t>(6, 1, 128);
        if (round % 3 == 2) script.failingReads = random.Numbers<int>(4, 0, 12);
        ExpectSameReading(script, random.Keys(), "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

TEST(LineScan, AgreesWithLineByLineReadingWhenTheFileReadsAhead) {
    // The scan then walks the bytes the file holds in place; the line-by-line reading takes
    // them 128 at a time. Both must ask the system at the same places, so a failure lands alike.
    RandomScans random(20261209, std::string(30, 'a') +
                                     "\r\r\r\n\n\x1a"
                                     "bxyXY() ");
    for (int round = 0; round < 3000; ++round) {
        FakeFile::Script script{.data = random.Data(3000)};
        script.aheads = random.Numbers<std::int32_t>(4, 1, round % 2 == 0 ? 200 : 1500);
        if (round % 3 != 0) script.failingReads = random.Numbers<int>(4, 0, 10);
        ExpectSameReading(script, random.Keys(), "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

TEST(LineScan, APairOfKeysOutsideEveryFormLetsItsLineBeOnlyCounted) {
    const struct {
        std::string text;
        bool caseSensitive;
        std::vector<std::string> handed;  // lines that hold a form
    } cases[] = {
        {"Result", true, {"  Result := 0;", "x.Result", "ResultResult"}},
        {"begin", false, {"BEGIN", "  Begin x", "rebegins"}},
        {"na\xC3\xAFve", false, {"a NA\xC3\xAFVE one", "na\xEFve", "NA\xEFVE!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TextMatcher matcher(c.text, {.caseSensitive = c.caseSensitive});
        const LineKeys keys = matcher.Keys();
        ASSERT_GT(keys.anchorCount, 0);
        // The pair alone, in a line that holds no form.
        const std::string stray = "pair " + std::string(1, static_cast<char>(keys.lead.first)) +
                                  std::string(1, static_cast<char>(keys.follower.first)) + " alone";
        ASSERT_FALSE(matcher.Matches(stray));
        FakeFile::Script script;
        std::vector<std::string> lines;
        for (const std::string& line : c.handed) lines.insert(lines.end(), {stray, line});
        lines.push_back(stray);
        for (const std::string& line : lines) script.data += line + "\r\n";
        script.aheads = {4096};  // one stretch: every pair can be told from its bytes
        FakeSystem system;
        auto log = std::make_shared<FileLog>();
        auto file = OpenScripted(script, log, system);
        Collector collector;
        EXPECT_EQ(file->ScanLines(keys, collector), static_cast<std::int64_t>(lines.size()));
        std::map<std::int64_t, std::string> expected;
        for (std::size_t i = 0; i < c.handed.size(); ++i)
            expected[2 * static_cast<std::int64_t>(i) + 2] = c.handed[i];
        EXPECT_EQ(collector.lines, expected);
    }
}

TEST(LineScan, KeysOnALineEndStillEndTheirLine) {
    // A text that holds CR LF can take them for its keys; a pair there that stands in no form
    // must still end its line.
    const std::string data = "begin\r\n  x\r\nend\r\r\nend\r\nbegin";
    for (const std::string text : {"begin\r\n", "\r\nend", "n\r\ne"}) {
        SCOPED_TRACE(testing::PrintToString(text));
        TextMatcher matcher(text, {});
        FakeFile::Script script{.data = data};
        script.aheads = {4096};
        const Outcome reference = LineByLine(script);
        const Outcome scanned = Scanned(script, matcher.Keys());
        EXPECT_EQ(scanned.lineCount, reference.lineCount);
        for (const auto& [number, line] : scanned.lines)
            EXPECT_EQ(line, reference.lines.at(number));
    }
}

TEST(LineScan, TellsItsPulseAsOftenAsLineByLineReadingDoes) {
    // Every 512 requests' worth of bytes, whether they came through requests or stretches.
    struct Counter final : ReadPulse {
        int told = 0;
        void StillReading() override { ++told; }
    };
    std::string data;
    while (data.size() < 300'000) data += "a line of the file, x marks it\r\n";
    for (const std::vector<std::int32_t>& aheads :
         {std::vector<std::int32_t>{}, {65536}, {1000, 70000}}) {
        SCOPED_TRACE(aheads.empty() ? 0 : aheads.back());
        FakeFile::Script script{.data = data};
        script.aheads = aheads;
        Counter byLine, scanned;
        FakeSystem system;
        auto file = OpenScripted(script, std::make_shared<FileLog>(), system);
        file->SetReadPulse(&byLine);
        ReadAllLines(*file);
        file = OpenScripted(script, std::make_shared<FileLog>(), system);
        file->SetReadPulse(&scanned);
        Collector collector;
        file->ScanLines({{'x', 0, 1}, {}, {}}, collector);
        EXPECT_EQ(byLine.told, static_cast<int>(data.size() / 128 / LineFile::kBuffersPerPulse));
        EXPECT_EQ(scanned.told, byLine.told);
    }
}

}  // namespace
}  // namespace sifter::test
