// A search text and a file's bytes: the matcher against the plain model of the text's forms, and
// the scan's keys against every line. The matcher must look for the model's forms, find the
// model's earliest occurrence from any place, and no line that holds a form may be skipped by
// the scan.
//
// Input: a byte of flags (bit 0: case kept; bit 1: procedure lines wanted, which adds the
// scan's ')' key; bit 2: whole words), a byte with the text's length (at most 63), the text,
// then the file's bytes.

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/text/text_matcher.h"
#include "text_model.h"

namespace sifter::fuzz {
namespace {

class Collector final : public LineVisitor {
public:
    void Line(std::int64_t number, std::string_view text) override {
        handed.emplace_back(number, std::string(text));
    }
    std::vector<std::pair<std::int64_t, std::string>> handed;
};

void CheckSpan(const char* where, const std::optional<MatchSpan>& got,
               const std::optional<MatchSpan>& want, std::size_t from) {
    if (got.has_value() != want.has_value())
        Fail("%s from %zu: %s, the model %s", where, from, got ? "found" : "nothing",
             want ? "found" : "nothing");
    if (got && (got->offset != want->offset || got->length != want->length))
        Fail("%s from %zu: %zu+%zu, the model %zu+%zu", where, from, got->offset, got->length,
             want->offset, want->length);
}

void CheckLine(TextMatcher& matcher, const std::vector<std::string>& forms, const std::string& line,
               bool caseSensitive, bool wholeWords) {
    const std::optional<MatchSpan> first =
        test::ModelFindFrom(forms, line, 0, caseSensitive, wholeWords);
    const bool matches = matcher.Matches(line);
    if (matches != first.has_value())
        Fail("Matches says %d for a line of %zu bytes, the model %d", matches, line.size(),
             first.has_value());
    CheckSpan("FindFrom", matcher.FindFrom(line, 0), first, 0);
    // Then the next few occurrences, each searched from one byte past the last.
    std::optional<MatchSpan> span = first;
    for (int step = 0; span && step < 8; ++step) {
        const std::size_t from = span->offset + 1;
        span = test::ModelFindFrom(forms, line, from, caseSensitive, wholeWords);
        CheckSpan("FindFrom", matcher.FindFrom(line, from), span, from);
    }
}

}  // namespace
}  // namespace sifter::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sifter;
    using namespace sifter::fuzz;
    if (size < 2) return 0;
    const bool caseSensitive = (data[0] & 1) != 0;
    const bool procs = (data[0] & 2) != 0;
    const bool wholeWords = (data[0] & 4) != 0;
    const std::size_t length = std::min<std::size_t>(data[1] & 63, size - 2);
    const std::string text(reinterpret_cast<const char*>(data) + 2, length);
    const std::string bytes(reinterpret_cast<const char*>(data) + 2 + length, size - 2 - length);

    TextMatcher matcher(text, {.caseSensitive = caseSensitive, .wholeWords = wholeWords});
    const std::vector<std::string> forms = test::ModelForms(text, caseSensitive);
    if (matcher.forms() != forms)
        Fail("the matcher looks for %zu forms, the model for %zu (or they differ)",
             matcher.forms().size(), forms.size());
    LineKeys keys = matcher.Keys();
    if (procs) keys.alternative = ByteChoice{')', 0, 1};

    TakeError();
    ReadScript script(bytes, {});
    FuzzSystem system(script);
    LineFile file(system);
    file.OpenRead("scripted");
    Collector collector;
    file.ScanLines(keys, collector);
    file.Close();
    TakeError();

    const std::vector<std::string> lines = LineModel(ReadScript(bytes, {})).Lines();
    std::size_t next = 0;
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        const std::string& line = lines[number - 1];
        const bool handed = next < collector.handed.size() &&
                            collector.handed[next].first == static_cast<std::int64_t>(number);
        if (handed) ++next;
        if (!handed && test::ModelFindFrom(forms, line, 0, caseSensitive, wholeWords))
            Fail("line %zu holds a form of the text but the scan skipped it", number);
        CheckLine(matcher, forms, line, caseSensitive, wholeWords);
    }
    if (next != collector.handed.size()) Fail("the scan handed over lines the model does not have");
    return 0;
}
