#include "search/files/mask_list.h"

#include "search/files/wildcard.h"

namespace sifter {
namespace {

// The words of a refusal, for a list of file masks and for one of directories left out.
struct Words {
    const char* emptyList;  // nullptr: an empty list is taken
    const char* emptyMask;
    const char* separatorIn;
};

constexpr Words kFileWords = {
    "The list of file masks is empty: give at least one, such as *.pas.",
    "The list of file masks holds an empty mask: put one mask between each two semicolons.",
    " holds a path separator: a mask names the files of a directory, such as *.pas, without a "
    "path."};
constexpr Words kDirectoryWords = {
    nullptr,
    "The list of directories to leave out holds an empty mask: put one mask between each two "
    "semicolons.",
    " holds a path separator: a directory to leave out is named by its own name, such as "
    "backup or *.old, without a path."};
const char* const kControlIn = " holds a control character.";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

MaskListCheck Refused(std::string why) {
    return {{}, std::move(why)};
}

MaskListCheck Check(std::string_view typed, const Words& words) {
    if (Trimmed(typed).empty()) {
        if (words.emptyList != nullptr) return Refused(words.emptyList);
        return {};
    }
    MaskListCheck taken;
    const MaskList split(typed);
    for (const std::string& raw : split.patterns()) {
        const std::string_view pattern = Trimmed(raw);
        if (pattern.empty()) return Refused(words.emptyMask);
        for (const char c : pattern) {
            // Both separators on every system: a list made on one is refused alike on the other.
            if (c == '/' || c == '\\')
                return Refused("The mask \"" + std::string(pattern) + "\"" + words.separatorIn);
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                return Refused("The mask \"" + std::string(pattern) + "\"" + kControlIn);
        }
        if (!taken.list.empty()) taken.list += ';';
        taken.list += pattern;
    }
    return taken;
}

}  // namespace

MaskList::MaskList(std::string_view list) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(';', start);
        m_patterns.emplace_back(
            list.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

MaskListCheck CheckMaskList(std::string_view typed) {
    return Check(typed, kFileWords);
}

MaskListCheck CheckLeaveOutList(std::string_view typed) {
    return Check(typed, kDirectoryWords);
}

bool MaskList::Matches(std::string_view name) const {
    for (const std::string& pattern : m_patterns)
        if (!pattern.empty() && MatchesWildcard(pattern, name)) return true;
    return false;
}

}  // namespace sifter
