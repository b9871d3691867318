#pragma once
// What one search is asked: the file type, the text and the two options. The window builds it
// from its controls, sifter32-cli from its command line; the run and every file's scan read it.

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

struct SearchRequest {
    FileType fileType = FileType::Pascal;
    std::string text;  // used exactly as typed
    bool caseSensitive = false;
    bool includeProcs = false;
};

}  // namespace sifter
