#pragma once
// What one search is asked: the file type, the text, the two options of the window's group box,
// and the options of a project search. The window builds it from its controls and menus,
// sifter32-cli from its command line; the file set, the run, every file's scan and the banner
// read it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sifter {

enum class FileType : std::int32_t { Scripts = 0, Pascal = 1 };

// "*.sc", "*.pas"
constexpr std::string_view FileMask(FileType type) {
    return type == FileType::Scripts ? "*.sc" : "*.pas";
}

// ".sc", ".pas"
constexpr std::string_view FileExtension(FileType type) {
    return type == FileType::Scripts ? ".sc" : ".pas";
}

// How a search reaches beyond the files of one directory and the plain text. Each option is
// off, or the documented mask, by default; a search with every option at its default lists
// exactly the rows it always did.
struct SearchOptions {
    bool subdirectories = false;  // the files of every subdirectory too, depth first
    bool wholeWords = false;      // an occurrence counts only between two non-word bytes
    // The mask list of each file type, by FileType: patterns separated by ';' (see mask_list.h).
    std::array<std::string, 2> masks{std::string(FileMask(FileType::Scripts)),
                                     std::string(FileMask(FileType::Pascal))};
    bool regexp = false;  // the text is a regular expression (see pattern_matcher.h)

    const std::string& Masks(FileType type) const { return masks[static_cast<std::size_t>(type)]; }
    void SetMasks(FileType type, std::string list) {
        masks[static_cast<std::size_t>(type)] = std::move(list);
    }
    bool MasksChanged(FileType type) const { return Masks(type) != FileMask(type); }
    // Whether a search of `type` differs in anything from the documented one.
    bool AnyChanged(FileType type) const {
        return subdirectories || wholeWords || regexp || MasksChanged(type);
    }
    friend bool operator==(const SearchOptions&, const SearchOptions&) = default;
};

struct SearchRequest {
    FileType fileType = FileType::Pascal;
    std::string text;  // used exactly as typed
    bool caseSensitive = false;
    bool includeProcs = false;
    SearchOptions options;
};

}  // namespace sifter
