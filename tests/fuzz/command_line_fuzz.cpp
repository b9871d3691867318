// SplitCommandLine and ParseParams against references written from their rules alone: the
// splitter as a byte-at-a-time state machine, the parse as index arithmetic over the list.
// The line lives in a buffer of exactly its size, so any read past it is caught.
//
// Input: the line first; from the back, taken in this order: a byte whose low bit asks for a
// long run to be put into the line (to reach the 4096-byte limit with short inputs), the run's
// byte, its extra length (0 to 39 over 4080) and where it goes, a byte whose bits say which
// of the first eight parameters name an existing directory, and a byte whose bits say where
// empty arguments stand among them (the system hands those over too).

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "search/command_line.h"

namespace sifter::fuzz {
namespace {

bool IsSeparator(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte != 0 && byte <= 32;
}

std::vector<std::string> ReferenceSplit(std::string_view line) {
    std::vector<std::string> parameters;
    std::string current;
    bool inParameter = false;
    bool quoted = false;  // carries on from one parameter to the next when one is cut
    for (std::size_t i = 0; i < line.size() && line[i] != '\0'; ++i) {
        const char c = line[i];
        if (!inParameter) {
            if (!quoted && IsSeparator(c)) continue;
            if (!quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                ++i;  // an empty pair where a parameter would start counts as a separator
                continue;
            }
            inParameter = true;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && IsSeparator(c)) {
            if (current.empty()) return parameters;
            parameters.push_back(std::move(current));
            current.clear();
            inParameter = false;
        } else {
            current += c;
            if (current.size() == 4096) {
                parameters.push_back(std::move(current));
                current.clear();
                inParameter = false;
            }
        }
    }
    if (!current.empty()) parameters.push_back(std::move(current));
    return parameters;
}

bool IsAutoFlag(const std::string& word) {
    return word.size() == 2 && (word[0] == '/' || word[0] == '-') &&
           (word[1] == 'a' || word[1] == 'A');
}

// `words` as the system hands them, empty ones included; only the others are parameters.
StartupRequest ReferenceParse(const std::vector<std::string>& words, bool firstIsDirectory) {
    std::vector<std::size_t> at;  // where the parameters stand in `words`
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!words[i].empty()) at.push_back(i);
    StartupRequest request;
    std::size_t first = 0;
    std::size_t last = at.size();  // the search words are at[first] to at[last - 1]
    if (last == 0) return request;
    if (firstIsDirectory) {
        request.directory = words[at[0]];
        first = 1;
        if (last == first) return request;
    }
    if (IsAutoFlag(words[at[last - 1]])) {
        if (last - first == 1) return request;
        request.autoSearch = true;
        --last;
    }
    std::string text;
    for (std::size_t i = first; i < last; ++i) text += (i == first ? "" : " ") + words[at[i]];
    request.searchText = text;
    return request;
}

const std::string* FirstParameter(const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (!word.empty()) return &word;
    return nullptr;
}

const char* Shown(const std::optional<std::string>& value) {
    return value ? value->c_str() : "(none)";
}

void CompareParse(const std::vector<std::string>& words, unsigned directoryBits) {
    // A name is a directory when one of the chosen parameters holds it, so equal names get
    // equal answers.
    const auto isDirectory = [&](const std::string& name) {
        for (std::size_t i = 0; i < words.size() && i < 8; ++i)
            if ((directoryBits >> i & 1U) != 0 && words[i] == name) return true;
        return false;
    };
    const std::string* first = FirstParameter(words);
    int asked = 0;
    const StartupRequest got = ParseParams(words, [&](const std::string& name) {
        if (++asked > 1 || first == nullptr || name != *first)
            Fail("ParseParams asked whether a parameter other than the first is a directory");
        return isDirectory(name);
    });
    const StartupRequest want = ReferenceParse(words, first != nullptr && isDirectory(*first));
    if (got.directory != want.directory || got.searchText != want.searchText ||
        got.autoSearch != want.autoSearch)
        Fail(
            "ParseParams of %zu parameters: directory %s, text %s, auto %d; the reference: %s, %s, "
            "%d",
            words.size(), Shown(got.directory), Shown(got.searchText), got.autoSearch,
            Shown(want.directory), Shown(want.searchText), want.autoSearch);
}

}  // namespace
}  // namespace sifter::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sifter::fuzz;
    FuzzedDataProvider input(data, size);
    const bool longRun = (input.ConsumeIntegral<unsigned char>() & 1U) != 0;
    const char runByte = input.ConsumeIntegral<char>();
    const std::size_t runLength = 4080 + input.ConsumeIntegralInRange<std::size_t>(0, 39);
    const auto runAt = input.ConsumeIntegral<std::uint16_t>();
    const unsigned directoryBits = input.ConsumeIntegral<unsigned char>();
    const unsigned emptyBits = input.ConsumeIntegral<unsigned char>();
    std::string text = input.ConsumeRemainingBytesAsString();
    if (longRun) text.insert(runAt % (text.size() + 1), runLength, runByte);

    // Exactly the line's bytes, nothing after them: no terminating NUL to lean on.
    const auto line = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), line.get());
    const std::string_view view(line.get(), text.size());

    const std::vector<std::string> got = sifter::SplitCommandLine(view);
    const std::vector<std::string> want = ReferenceSplit(view);
    if (got.size() != want.size())
        Fail("SplitCommandLine gave %zu parameters, the reference %zu", got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i])
            Fail("parameter %zu: %zu bytes, the reference's %zu", i, got[i].size(), want[i].size());

    // ParseParams sees parameters 1 to N; the program's own name is not one of them. Empty
    // arguments go before the first seven where bits 0 to 6 say, and at the end for bit 7.
    std::vector<std::string> words;
    for (std::size_t i = 1; i < got.size(); ++i) {
        if (i <= 7 && (emptyBits >> (i - 1) & 1U) != 0) words.emplace_back();
        words.push_back(got[i]);
    }
    if ((emptyBits & 0x80U) != 0) words.emplace_back();
    CompareParse(words, directoryBits);
    return 0;
}
