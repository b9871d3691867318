// Arbitrary bytes through the real LineFile, compared with the byte-by-byte model of the line
// rules: once from a real temporary file, once from a system that gives short counts, fails
// and ends early where the input says. Both the line-at-a-time loop and ScanLines must give
// the model's lines with their numbers, make as many read calls and leave the same pending
// code.
//
// Input: the file's bytes first; from the back, taken in this order: how many lines to read
// line by line before ScanLines takes over (0 to 3), the three key choices (a count of 0 to 2
// and two bytes each), up to 8 read steps of one byte each (F0 to FF: a failure with one of 16
// codes, EF: an early end, anything else: at most 1 + byte % 128 bytes), and a byte that puts
// 65,500 bytes 'x' before the file's bytes when it is A5 (with A6, 65,600), so that its first
// line end, which decides how its lines end, comes near the end of the first 64 KiB read of a
// real file or in the next one. (Values that mutations seldom make: such inputs are slow.)

#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/simd/line_keys.h"
#include "text_model.h"

namespace sifter::fuzz {
namespace {

// The system's own numbers and ours alike: the reader must store whatever code it is given.
constexpr std::int32_t kFailureCodes[16] = {5, 32,  112, 2,   3,  4,   13,    109,
                                            1, 100, 104, 106, -1, 255, 65536, 2147483647};

struct Case {
    std::size_t prefix = 0;
    LineKeys keys;
    std::vector<ReadStep> steps;
    std::string bytes;
};

ByteChoice TakeChoice(FuzzedDataProvider& input) {
    ByteChoice choice;
    choice.count = input.ConsumeIntegralInRange(0, 2);
    choice.first = input.ConsumeIntegral<unsigned char>();
    choice.second = input.ConsumeIntegral<unsigned char>();
    return choice;
}

Case TakeCase(FuzzedDataProvider& input) {
    Case c;
    c.prefix = input.ConsumeIntegralInRange<std::size_t>(0, 3);
    c.keys.lead = TakeChoice(input);
    c.keys.follower = TakeChoice(input);
    c.keys.alternative = TakeChoice(input);
    const int steps = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < steps; ++i) {
        const auto byte = input.ConsumeIntegral<unsigned char>();
        ReadStep step;
        if (byte >= 0xF0)
            step.error = kFailureCodes[byte - 0xF0];
        else if (byte != 0xEF)
            step.most = 1 + byte % 128;
        c.steps.push_back(step);
    }
    const auto stretch = input.ConsumeIntegral<unsigned char>();
    if (stretch == 0xA5 || stretch == 0xA6) c.bytes.assign(stretch == 0xA5 ? 65500 : 65600, 'x');
    c.bytes += input.ConsumeRemainingBytesAsString();
    return c;
}

// One real file for the whole run, rewritten for every input. It is unlinked at once and
// opened through its /proc name, so nothing is left behind however the run ends.
class TempFile final {
public:
    TempFile() {
        const char* dir = getenv("TMPDIR");
        std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") +
                              "/sifter32-line-reader-XXXXXX";
        m_fd = mkstemp(pattern.data());
        if (m_fd < 0) Fail("cannot create a temporary file in %s", pattern.c_str());
        unlink(pattern.c_str());
        m_name = "/proc/self/fd/" + std::to_string(m_fd);
    }
    const std::string& Holding(const std::string& bytes) {
        // Written over, then cut to length: cheaper than emptying it first.
        if (pwrite(m_fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()) ||
            ftruncate(m_fd, static_cast<off_t>(bytes.size())) != 0)
            Fail("cannot write the temporary file");
        return m_name;
    }

private:
    int m_fd = -1;
    std::string m_name;
};

void CheckLine(const char* where, std::size_t number, const std::string& got,
               const std::string& want) {
    if (got != want)
        Fail("%s: line %zu has %zu bytes, the model's %zu", where, number, got.size(), want.size());
}

void CheckEnd(const char* where, const FuzzSystem& system, const LineModel& model) {
    if (system.reads() != model.reads())
        Fail("%s: %d read calls, the model made %d", where, system.reads(), model.reads());
    if (PendingError() != model.pending())
        Fail("%s: pending code %d, the model's %d", where, PendingError(), model.pending());
}

// The search's own loop against the model's.
void CompareLineByLine(const char* where, FuzzSystem& system, const std::string& name,
                       LineModel model) {
    TakeError();
    const std::vector<std::string> want = model.Lines();
    LineFile file(system);
    file.OpenRead(name);
    std::size_t count = 0;
    while (!file.AtEnd()) {
        const std::string line = file.ReadLine();
        file.SkipLineEnd();
        if (++count > want.size())
            Fail("%s: line %zu beyond the model's %zu", where, count, want.size());
        CheckLine(where, count, line, want[count - 1]);
    }
    if (count != want.size()) Fail("%s: %zu lines, the model has %zu", where, count, want.size());
    CheckEnd(where, system, model);
    file.Close();
    TakeError();
}

class Collector final : public LineVisitor {
public:
    void Line(std::int64_t number, std::string_view text) override {
        if (!lines.empty() && number <= lines.back().first)
            Fail("ScanLines: line %lld handed over after line %lld", static_cast<long long>(number),
                 static_cast<long long>(lines.back().first));
        lines.emplace_back(number, std::string(text));
    }
    std::vector<std::pair<std::int64_t, std::string>> lines;
};

// A few lines line by line, then ScanLines for the rest, against the model doing the same.
void CompareScan(const char* where, FuzzSystem& system, const std::string& name, LineModel model,
                 const Case& c) {
    TakeError();
    LineFile file(system);
    file.OpenRead(name);
    const std::vector<std::string> before = model.Lines(c.prefix);
    std::size_t count = 0;
    while (count < c.prefix && !file.AtEnd()) {
        const std::string line = file.ReadLine();
        file.SkipLineEnd();
        if (++count > before.size())
            Fail("%s: line %zu before the scan is beyond the model's", where, count);
        CheckLine(where, count, line, before[count - 1]);
    }
    if (count != before.size())
        Fail("%s: %zu lines before the scan, the model %zu", where, count, before.size());

    const std::vector<std::string> want = model.Lines();
    Collector collector;
    const std::int64_t scanned = file.ScanLines(c.keys, collector);
    if (scanned != static_cast<std::int64_t>(want.size()))
        Fail("%s: ScanLines counted %lld lines, the model %zu", where,
             static_cast<long long>(scanned), want.size());
    std::size_t next = 0;  // the first handed-over line not yet matched
    for (std::size_t number = 1; number <= want.size(); ++number) {
        const bool handed = next < collector.lines.size() &&
                            collector.lines[next].first == static_cast<std::int64_t>(number);
        if (handed)
            CheckLine(where, number, collector.lines[next++].second, want[number - 1]);
        else if (test::ModelHoldsKey(want[number - 1], c.keys))
            Fail("%s: line %zu holds a key but was not handed over", where, number);
    }
    if (next != collector.lines.size())
        Fail("%s: line %lld handed over, the model has %zu", where,
             static_cast<long long>(collector.lines[next].first), want.size());
    CheckEnd(where, system, model);
    file.Close();
    TakeError();
}

}  // namespace
}  // namespace sifter::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sifter::fuzz;
    static TempFile realFile;
    FuzzedDataProvider input(data, size);
    const Case c = TakeCase(input);

    const std::string& name = realFile.Holding(c.bytes);
    {
        FuzzSystem real;
        CompareLineByLine("real file, line by line", real, name,
                          LineModel(ReadScript(c.bytes, {})));
    }
    {
        FuzzSystem real;
        CompareScan("real file, scanned", real, name, LineModel(ReadScript(c.bytes, {})), c);
    }
    {
        ReadScript script(c.bytes, c.steps);
        FuzzSystem scripted(script);
        CompareLineByLine("scripted reads, line by line", scripted, "scripted",
                          LineModel(ReadScript(c.bytes, c.steps)));
    }
    {
        ReadScript script(c.bytes, c.steps);
        FuzzSystem scripted(script);
        CompareScan("scripted reads, scanned", scripted, "scripted",
                    LineModel(ReadScript(c.bytes, c.steps)), c);
    }
    return 0;
}
