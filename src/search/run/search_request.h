#pragma once
// What one search is asked: the file type, the text and how it is matched, the procedure lines,
// and which files of the directory are read. The window builds it from its controls and menus,
// sifter32-cli from its command line; the questions both programs ask of it are answered here,
// once: whether it can run at all (RequestProblem) and which files it reads (ListingFor).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "search/files/file_set.h"
#include "search/pascal/pascal_lexer.h"
#include "search/text/match_rules.h"

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

// Which files a search reads beyond the documented mask of one directory. Each option is off,
// or the documented mask, by default; a search with every option at its default lists exactly
// the rows it always did.
struct SearchOptions {
    bool subdirectories = false;  // the files of every subdirectory too, depth first
    // The mask list of each file type, by FileType: patterns separated by ';' (see mask_list.h).
    std::array<std::string, 2> masks{std::string(FileMask(FileType::Scripts)),
                                     std::string(FileMask(FileType::Pascal))};

    const std::string& Masks(FileType type) const { return masks[static_cast<std::size_t>(type)]; }
    void SetMasks(FileType type, std::string list) {
        masks[static_cast<std::size_t>(type)] = std::move(list);
    }
    bool MasksChanged(FileType type) const { return Masks(type) != FileMask(type); }
    // The rows of the files that give no match row left out, their headings included; the
    // files are read and counted all the same.
    bool onlyFilesWithMatches = false;
    // The subdirectories a search of subdirectories leaves out, by their own names: masks
    // separated by ';' (see mask_list.h); none when empty.
    std::string leaveOut;
    // Pascal sources only: each match row preceded by the header rows of the routines and type
    // declarations it lies in (see pascal_structure.h), each once per file.
    bool routines = false;
    // Pascal sources only: the kinds of text an occurrence must start in to count.
    SearchIn searchIn;
    friend bool operator==(const SearchOptions&, const SearchOptions&) = default;
};

// Lines around each matching line, handed over as rows of their own (RowKind::Context) for
// grep's form of the rows; the documented rows never hold them.
struct ContextLines {
    bool asked = false;  // even with no line either way, groups that do not touch are told apart
    std::int32_t before = 0;
    std::int32_t after = 0;
    friend bool operator==(const ContextLines&, const ContextLines&) = default;
};

struct SearchRequest {
    FileType fileType = FileType::Pascal;
    std::string text;  // used exactly as typed
    MatchRules rules;
    bool includeProcs = false;
    SearchOptions options;
    ContextLines context;
};

// Whether `request` reads its files as Pascal (routines, or only some kinds of text): a search
// of Pascal sources without context lines that asks for either.
bool PascalAware(const SearchRequest& request);

// Why `request` cannot run, in words for the user: a pattern that does not compile as the
// search would compile it, or a mask list of its file type (or of the directories left out) that
// is not one. Nothing when it can.
std::optional<std::string> RequestProblem(const SearchRequest& request);

// What a file set reads for a search of `options` and `type`: the mask list, and how it is
// listed. At the defaults, the documented listing of the documented mask.
struct FileListing {
    std::string mask;
    FileSet::Listing listing;
};
FileListing ListingFor(const SearchOptions& options, FileType type);

}  // namespace sifter
