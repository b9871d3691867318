#include "search/settings/kept_settings.h"

#include <algorithm>
#include <optional>

#include "platform/path_rules.h"
#include "search/files/mask_list.h"
#include "search/text/text_rules.h"

namespace sifter {
namespace {

const char* const kHeader =
    "# Sifter32's settings, kept between runs of the window program and written whole by it.\n"
    "# key=value a line; a backslash starts an escape: \\\\ \\n \\r \\t \\xHH.\n";
const std::string_view kOptionKey = "option.";
const std::array<std::string_view, 2> kMaskKeys = {"masks.scripts", "masks.pascal"};
const std::string_view kLeaveOutKey = "leaveout";
const std::string_view kEditorKey = "editor";
const std::string_view kTextKey = "text";
const std::string_view kDirectoryKey = "directory";
const char kHexDigits[] = "0123456789ABCDEF";

bool IsKeyByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

void PutLine(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).push_back('=');
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            text += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            text += "\\x";
            text += kHexDigits[byte >> 4];
            text += kHexDigits[byte & 0x0F];
        } else {
            text += c;
        }
    }
    text += '\n';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The value's bytes, or nothing for an escape that is none.
std::optional<std::string> Unescaped(std::string_view value) {
    std::string bytes;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            bytes += value[i];
            continue;
        }
        if (++i == value.size()) return std::nullopt;
        switch (value[i]) {
            case '\\':
                bytes += '\\';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'x': {
                const int high = i + 1 < value.size() ? HexValue(value[i + 1]) : -1;
                const int low = i + 2 < value.size() ? HexValue(value[i + 2]) : -1;
                if (high < 0 || low < 0) return std::nullopt;
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return bytes;
}

template <typename Same>
void PutFirst(std::vector<std::string>& list, std::string entry, std::size_t most, Same same) {
    if (entry.empty()) return;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const std::string& kept) { return same(kept, entry); }),
               list.end());
    list.insert(list.begin(), std::move(entry));
    if (list.size() > most) list.resize(most);
}

// Why one line's key and value are refused; empty when `settings` took them.
std::string Take(KeptSettings& settings, std::string_view key, std::string value) {
    if (key.substr(0, kOptionKey.size()) == kOptionKey) {
        if (value != "0" && value != "1") return "a check mark is 0 or 1";
        settings.switches[std::string(key.substr(kOptionKey.size()))] = value == "1";
        return {};
    }
    for (std::size_t type = 0; type < kMaskKeys.size(); ++type) {
        if (key != kMaskKeys[type]) continue;
        MaskListCheck check = CheckMaskList(value);
        if (!check.ok()) return check.error;
        settings.masks[type] = std::move(check.list);
        return {};
    }
    if (key == kLeaveOutKey) {
        MaskListCheck check = CheckLeaveOutList(value);
        if (!check.ok()) return check.error;
        settings.leaveOut = std::move(check.list);
        return {};
    }
    // The lists are written latest first: each line goes last, once.
    const auto putLast = [](std::vector<std::string>& list, std::string entry, std::size_t most) {
        if (entry.empty() || list.size() >= most) return;
        if (std::find(list.begin(), list.end(), entry) == list.end())
            list.push_back(std::move(entry));
    };
    if (key == kEditorKey)
        settings.editor = std::move(value);
    else if (key == kTextKey)
        putLast(settings.texts, std::move(value), KeptSettings::kTexts);
    else if (key == kDirectoryKey)
        putLast(settings.directories, std::move(value), KeptSettings::kDirectories);
    return {};
}

}  // namespace

void KeptSettings::RememberText(std::string text) {
    PutFirst(texts, std::move(text), kTexts,
             [](const std::string& a, const std::string& b) { return a == b; });
}

void KeptSettings::RememberDirectory(std::string directory) {
    PutFirst(directories, std::move(directory), kDirectories,
             [](const std::string& a, const std::string& b) {
                 return platform::Paths().SameDirectory(a, b);
             });
}

std::string SettingsText(const KeptSettings& settings) {
    std::string text = kHeader;
    for (const auto& [name, checked] : settings.switches)
        PutLine(text, std::string(kOptionKey) + name, checked ? "1" : "0");
    for (std::size_t type = 0; type < kMaskKeys.size(); ++type)
        PutLine(text, kMaskKeys[type], settings.masks[type]);
    if (!settings.leaveOut.empty()) PutLine(text, kLeaveOutKey, settings.leaveOut);
    PutLine(text, kEditorKey, settings.editor);
    for (const std::string& searched : settings.texts) PutLine(text, kTextKey, searched);
    for (const std::string& directory : settings.directories)
        PutLine(text, kDirectoryKey, directory);
    return text;
}

SettingsReading ReadSettingsText(std::string_view text) {
    SettingsReading reading;
    std::int64_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const std::size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        std::string why;
        if (equals == std::string_view::npos || key.empty() ||
            !std::all_of(key.begin(), key.end(), IsKeyByte)) {
            why = "no key=value";
        } else if (std::optional<std::string> value = Unescaped(line.substr(equals + 1))) {
            why = Take(reading.settings, key, std::move(*value));
        } else {
            why = "a backslash that starts no escape";
        }
        if (!why.empty()) return {KeptSettings(), "line " + DecimalText(number) + ": " + why};
    }
    return reading;
}

}  // namespace sifter
