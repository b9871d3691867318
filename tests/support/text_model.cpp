#include "text_model.h"

#include <array>
#include <cctype>

namespace sifter::test {
namespace {

// The characters of the bytes 0x80 to 0x9F as UTF-8; empty where the code page has none.
const std::array<std::string_view, 32> kLowRow = {
    "€", "",  "‚", "ƒ", "„", "…", "†", "‡", "ˆ", "‰", "Š", "‹", "Œ", "", "Ž", "",
    "",  "‘", "’", "“", "”", "•", "–", "—", "˜", "™", "š", "›", "œ", "", "ž", "Ÿ"};

// The UTF-8 bytes of the character of byte `byte` (0x80 to 0xFF) in the code page.
std::string Utf8Of(int byte) {
    if (byte < 0xA0) return std::string(kLowRow[static_cast<std::size_t>(byte - 0x80)]);
    // 0xA0 to 0xFF are U+00A0 to U+00FF: two bytes, C2 or C3 and the low six bits.
    return {static_cast<char>(0xC0 | byte >> 6), static_cast<char>(0x80 | (byte & 0x3F))};
}

bool IsOneOf(char c, const ByteChoice& choice) {
    const auto byte = static_cast<unsigned char>(c);
    return (choice.count >= 1 && byte == choice.first) ||
           (choice.count >= 2 && byte == choice.second);
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

}  // namespace

std::optional<std::string> ModelWindows1252(std::string_view text) {
    std::string form;
    bool beyondAscii = false;
    std::size_t at = 0;
    while (at < text.size()) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            form += text[at++];
            continue;
        }
        int found = 0;
        for (int byte = 0x80; byte <= 0xFF && found == 0; ++byte) {
            const std::string utf8 = Utf8Of(byte);
            if (!utf8.empty() && text.substr(at).starts_with(utf8)) {
                found = byte;
                at += utf8.size();
            }
        }
        if (found == 0) return std::nullopt;
        form += static_cast<char>(found);
        beyondAscii = true;
    }
    if (!beyondAscii) return std::nullopt;
    return form;
}

std::vector<std::string> ModelForms(std::string_view text, bool caseSensitive) {
    if (text.empty()) return {};
    std::vector<std::string> forms = {std::string(text)};
    if (const auto legacy = ModelWindows1252(text)) forms.push_back(*legacy);
    if (!caseSensitive)
        for (std::string& form : forms) form = Upper(form);
    return forms;
}

std::optional<MatchSpan> ModelFindFrom(const std::vector<std::string>& forms, std::string_view line,
                                       std::size_t from, bool caseSensitive, bool wholeWords) {
    const std::string compared = caseSensitive ? std::string(line) : Upper(line);
    const std::string_view wordBytes =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    const auto inWord = [&](std::size_t at) {
        return at < line.size() && (static_cast<unsigned char>(line[at]) >= 128 ||
                                    wordBytes.find(line[at]) != std::string_view::npos);
    };
    for (std::size_t at = from; at < compared.size(); ++at) {
        std::optional<MatchSpan> best;
        for (const std::string& form : forms) {
            if (compared.compare(at, form.size(), form) != 0) continue;
            if (wholeWords && ((at > 0 && inWord(at - 1)) || inWord(at + form.size()))) continue;
            if (!best || form.size() > best->length) best = MatchSpan{at, form.size()};
        }
        if (best) return best;
    }
    return std::nullopt;
}

std::string EscapedPattern(std::string_view text) {
    std::string pattern;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 && !std::isalnum(byte)) pattern.push_back('\\');
        pattern.push_back(c);
    }
    return pattern;
}

bool ModelHoldsKey(std::string_view line, const LineKeys& keys) {
    if (keys.everyLine) return true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsOneOf(line[i], keys.alternative)) return true;
        if (!IsOneOf(line[i], keys.lead)) continue;
        if (keys.follower.count == 0) return true;
        if (i + 1 < line.size() && IsOneOf(line[i + 1], keys.follower)) return true;
    }
    return false;
}

}  // namespace sifter::test
