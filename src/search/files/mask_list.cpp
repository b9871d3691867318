#include "search/files/mask_list.h"

#include "search/files/wildcard.h"

namespace sifter {
namespace {

const char* const kEmptyList = "The list of file masks is empty: give at least one, such as *.pas.";
const char* const kEmptyMask =
    "The list of file masks holds an empty mask: put one mask between each two semicolons.";
const char* const kSeparatorIn =
    " holds a path separator: a mask names the files of a "
    "directory, such as *.pas, without a path.";
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
    if (Trimmed(typed).empty()) return Refused(kEmptyList);
    MaskListCheck taken;
    const MaskList split(typed);
    for (const std::string& raw : split.patterns()) {
        const std::string_view pattern = Trimmed(raw);
        if (pattern.empty()) return Refused(kEmptyMask);
        for (const char c : pattern) {
            // Both separators on every system: a list made on one is refused alike on the other.
            if (c == '/' || c == '\\')
                return Refused("The mask \"" + std::string(pattern) + "\"" + kSeparatorIn);
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                return Refused("The mask \"" + std::string(pattern) + "\"" + kControlIn);
        }
        if (!taken.list.empty()) taken.list += ';';
        taken.list += pattern;
    }
    return taken;
}

bool MaskList::Matches(std::string_view name) const {
    for (const std::string& pattern : m_patterns)
        if (!pattern.empty() && MatchesWildcard(pattern, name)) return true;
    return false;
}

}  // namespace sifter
