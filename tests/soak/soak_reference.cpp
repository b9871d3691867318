// What the program should list and find, worked out the plain way from the files on disk:
// every file read whole, every line compared with std::string's own search.

#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>

#include "search/pascal/pascal_lexer.h"
#include "search/pascal/pascal_reader.h"
#include "search/pascal/pascal_structure.h"
#include "search/pattern/line_matcher.h"
#include "search/text/utf8.h"
#include "soak_world.h"

namespace sifter::soak {
namespace {

namespace fs = std::filesystem;

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The search text in Windows-1252, when it is UTF-8 with characters beyond ASCII that the
// soak types: the euro sign and the Latin-1 letters. Empty otherwise.
std::string Legacy(const std::string& text) {
    std::string legacy;
    bool beyondAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            legacy += text[i++];
        } else if (byte == 0xC2 || byte == 0xC3) {
            if (i + 1 >= text.size()) return {};
            const auto next = static_cast<unsigned char>(text[i + 1]);
            const unsigned code = ((byte & 0x1Fu) << 6) | (next & 0x3Fu);
            if ((next & 0xC0) != 0x80 || code < 0xA0) return {};
            legacy += static_cast<char>(code);
            beyondAscii = true;
            i += 2;
        } else if (text.compare(i, 3, "\xE2\x82\xAC") == 0) {
            legacy += '\x80';
            beyondAscii = true;
            i += 3;
        } else {
            return {};
        }
    }
    return beyondAscii ? legacy : std::string();
}

// Ctrl-Z ends the data. When its first CR or LF is an LF, every LF ends a line and a CR right
// before one belongs to the line end; otherwise lines end at CR or CR LF and an LF is data.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    const std::size_t end = std::min(bytes.find('\x1A'), bytes.size());
    const std::size_t first = bytes.find_first_of("\r\n");
    const char lineEnd = first < end && bytes[first] == '\n' ? '\n' : '\r';
    while (at < end) {
        const std::size_t stop = std::min(bytes.find(lineEnd, at), end);
        std::string line = bytes.substr(at, stop - at);
        if (lineEnd == '\n' && stop < end && line.ends_with('\r')) line.pop_back();
        lines.push_back(std::move(line));
        at = stop + 1;
        if (lineEnd == '\r' && at < end && bytes[at] == '\n') ++at;
    }
    return lines;
}

std::string ReadAt(int directoryFd, const std::string& name) {
    const int fd = ::openat(directoryFd, name.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return {};
    std::string bytes;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return bytes;
}

bool MatchesMasks(const std::string& masks, const std::string& name) {
    std::size_t start = 0;
    while (start <= masks.size()) {
        const std::size_t end = std::min(masks.find(';', start), masks.size());
        const std::string pattern = masks.substr(start, end - start);
        start = end + 1;
        if (!pattern.empty() && ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            return true;
    }
    return false;
}

bool NameOrder(const std::string& a, const std::string& b) {
    const std::string la = Lower(a);
    const std::string lb = Lower(b);
    return la != lb ? la < lb : a < b;
}

void Walk(const fs::path& directory, const std::string& below, FileType type,
          const SearchOptions& options, std::vector<std::string>& names) {
    std::vector<std::string> files;
    std::vector<std::string> subdirectories;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (name.front() == '.') continue;
        if (!fs::is_symlink(it->path(), ignored) && fs::is_directory(it->path(), ignored)) {
            subdirectories.push_back(name);
            continue;
        }
        if (fs::is_regular_file(it->path(), ignored) && MatchesMasks(options.Masks(type), name))
            files.push_back(name);
    }
    std::sort(files.begin(), files.end(), NameOrder);
    std::sort(subdirectories.begin(), subdirectories.end(), NameOrder);
    for (const std::string& name : files)
        names.push_back(below.empty() ? name : below + "/" + name);
    if (!options.subdirectories) return;
    for (const std::string& name : subdirectories)
        Walk(directory / name, below.empty() ? name : below + "/" + name, type, options, names);
}

// Where `form` first stands in `compared` (the line, upper-cased or not) at a place `counts`
// takes; with `whole`, only where no letter, digit, '_' or byte from 128 up of `line` stands
// right before or after it.
std::size_t FindForm(const std::string& compared, const std::string& line, const std::string& form,
                     bool whole, const std::function<bool(std::size_t)>& counts) {
    const auto inWord = [&](std::size_t at) {
        if (at >= line.size()) return false;
        const auto byte = static_cast<unsigned char>(line[at]);
        return byte >= 128 || byte == '_' || std::isalnum(byte) != 0;
    };
    for (std::size_t at = compared.find(form); at != std::string::npos;
         at = compared.find(form, at + 1))
        if ((!whole || (!(at > 0 && inWord(at - 1)) && !inWord(at + form.size()))) && counts(at))
            return at;
    return std::string::npos;
}

// The forms of the text a line is compared with: as typed and in Windows-1252, upper-cased
// when letter case is ignored.
std::vector<std::string> Forms(const SearchRequest& request) {
    std::vector<std::string> forms;
    if (!request.text.empty()) forms.push_back(request.text);
    if (const std::string legacy = Legacy(request.text); !legacy.empty()) forms.push_back(legacy);
    if (!request.rules.caseSensitive)
        for (std::string& form : forms) form = Upper(form);
    return forms;
}

// Where the search first finds something in `line`, or npos; with `kinds`, something that starts
// in a kind of text the search asks for. What a pattern matches, and what kind of Pascal text
// a byte is, are the engine tests' business; the soak checks the rows around them.
std::size_t FirstMatch(const std::string& line, const std::vector<std::string>& forms,
                       const SearchRequest& request, LineMatcher& pattern,
                       const std::vector<PascalKind>* kinds = nullptr) {
    const SearchIn in = request.options.searchIn;
    if (request.rules.regexp && kinds != nullptr) {
        const std::optional<MatchSpan> found = FindCounting(pattern, line, *kinds, in);
        return found ? found->offset : std::string::npos;
    }
    if (request.rules.regexp) {
        const std::optional<MatchSpan> found = pattern.FindFrom(line, 0);
        return found ? found->offset : std::string::npos;
    }
    const std::string compared = request.rules.caseSensitive ? line : Upper(line);
    std::size_t first = std::string::npos;
    for (const std::string& form : forms)
        first = std::min(
            first, FindForm(compared, line, form, request.rules.wholeWords, [&](std::size_t at) {
                return kinds == nullptr || in.Has((*kinds)[at]);
            }));
    return first;
}

// A procedure line of a script, as the documented rule has it.
bool ProcLine(const std::string& line) {
    return Upper(line).find("PROC ") != std::string::npos && line.find('(') != std::string::npos &&
           line.find(')') != std::string::npos;
}

// A Pascal source as the engine reads it: each line's kinds of text and the routines and types
// it lies in.
struct PascalLines {
    std::vector<std::vector<PascalKind>> kinds;
    std::vector<std::vector<std::int32_t>> frames;
    PascalStructure structure;

    PascalLines(const std::string& bytes, const std::vector<std::string>& lines) {
        const std::string_view data = std::string_view(bytes).substr(0, bytes.find('\x1A'));
        const std::size_t first = data.find_first_of("\r\n");
        const LineEnds ends = first < data.size() ? DecidedBy(data[first]) : LineEnds::Cr;
        PascalReader reader(data, ends, &structure);
        PascalLexer lexer;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            lexer.Line(lines[n], &kinds.emplace_back());
            reader.ToLine(static_cast<std::int64_t>(n + 1));
            structure.BeginLine(true);
            reader.ToLine(static_cast<std::int64_t>(n + 2));
            structure.BeginLine(false);
            frames.push_back(structure.LineFrames());
        }
        structure.End();
    }
};

std::string KindNames(const SearchIn& in) {
    std::string names;
    for (const auto& [on, name] : {std::pair{in.code, "Code"}, std::pair{in.comments, "Comments"},
                                   std::pair{in.strings, "Strings"}})
        if (on) names.append(names.empty() ? "" : "/").append(name);
    return names;
}

}  // namespace

std::vector<std::string> ExpectedNames(const std::string& directory, FileType type,
                                       const SearchOptions& options) {
    std::vector<std::string> names;
    Walk(directory, "", type, options, names);
    return names;
}

ExpectedSearch ExpectedRows(const std::vector<std::string>& names, int directoryFd,
                            const std::string& shownDirectory, const SearchRequest& request,
                            const std::vector<UnreadableDirectory>& unreadable) {
    ExpectedSearch search;
    search.rows = {kBannerRow, "   Search Path: " + shownDirectory,
                   "   Search String: \"" + request.text + "\""};
    std::string options;
    const SearchOptions& chosen = request.options;
    if (chosen.subdirectories) options += ", Subdirectories";
    if (request.rules.wholeWords) options += ", Whole Words";
    if (request.rules.regexp) options += ", Regular Expression";
    if (chosen.Masks(request.fileType) != FileMask(request.fileType))
        options += ", Masks " + chosen.Masks(request.fileType);
    if (chosen.onlyFilesWithMatches) options += ", Only Files with Matches";
    const bool pascal = request.fileType == FileType::Pascal;
    if (pascal && chosen.routines) options += ", Routines";
    if (pascal && !chosen.searchIn.All()) options += ", Search In " + KindNames(chosen.searchIn);
    const bool structured = pascal && (chosen.routines || !chosen.searchIn.All());
    if (!options.empty()) search.rows.push_back("   Options: " + options.substr(2));
    std::size_t nextUnreadable = 0;
    const auto unreadableUpTo = [&](std::size_t place) {
        for (; nextUnreadable < unreadable.size() &&
               static_cast<std::size_t>(unreadable[nextUnreadable].place) <= place;
             ++nextUnreadable)
            search.rows.push_back(
                " " + unreadable[nextUnreadable].path +
                " - directory not read: " + UnreadableReason(unreadable[nextUnreadable].error));
    };
    const std::vector<std::string> forms = Forms(request);
    LineMatcher pattern(request.rules.regexp ? request.text : std::string(), request.rules);

    const std::string count = std::to_string(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        unreadableUpTo(i);
        // A file's rows, left out whole when it gives no match and only such files are shown.
        std::vector<std::string> rows = {
            " ", " " + names[i] + " - " + std::to_string(i + 1) + " of " + count, " "};
        const std::int64_t matchesBefore = search.matches;
        const std::string bytes = ReadAt(directoryFd, names[i]);
        const std::vector<std::string> lines = Lines(bytes);
        std::optional<PascalLines> read;
        if (structured) read.emplace(bytes, lines);
        std::vector<bool> routineShown;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            const bool procLine = ProcLine(line);
            if (procLine && request.includeProcs) rows.push_back(" " + line);
            const std::vector<PascalKind>* kinds =
                read && !chosen.searchIn.All() ? &read->kinds[n] : nullptr;
            if (FirstMatch(line, forms, request, pattern, kinds) == std::string::npos) continue;
            // The routines and types the match lies in, outermost first, each once a file; a
            // header the procedure lines listed already is not listed again.
            for (const std::int32_t id :
                 read&& chosen.routines ? read->frames[n] : std::vector<std::int32_t>()) {
                if (!read->structure.Shown(id)) continue;
                if (routineShown.size() <= static_cast<std::size_t>(id))
                    routineShown.resize(static_cast<std::size_t>(id) + 1);
                if (routineShown[static_cast<std::size_t>(id)]) continue;
                routineShown[static_cast<std::size_t>(id)] = true;
                const std::string& header =
                    lines[static_cast<std::size_t>(read->structure.At(id).place.line - 1)];
                if (!(request.includeProcs && ProcLine(header))) rows.push_back(" " + header);
            }
            rows.push_back("[" + std::to_string(n + 1) + "] " + line);
            ++search.matches;
        }
        if (!request.options.onlyFilesWithMatches || search.matches > matchesBefore)
            search.rows.insert(search.rows.end(), rows.begin(), rows.end());
    }
    unreadableUpTo(names.size());
    return search;
}

std::int64_t ExpectedColumn(const std::string& line, const SearchRequest& request) {
    LineMatcher pattern(request.rules.regexp ? request.text : std::string(), request.rules);
    const std::size_t at = FirstMatch(line, Forms(request), request, pattern);
    if (at == std::string::npos) return 1;
    // Characters, as the line decodes: UTF-8 ones when the whole line is UTF-8, else bytes.
    if (!IsValidUtf8(line)) return static_cast<std::int64_t>(at) + 1;
    return 1 + std::count_if(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(at),
                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

}  // namespace sifter::soak
