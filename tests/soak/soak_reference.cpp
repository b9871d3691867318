// What the program should list and find, worked out the plain way from the files on disk:
// every file read whole, every line compared with std::string's own search.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

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

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
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

}  // namespace

std::vector<std::string> ExpectedNames(const std::string& directory, FileType type) {
    const std::string extension(FileExtension(type));
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (name.front() == '.' || !fs::is_regular_file(it->path(), ignored)) continue;
        if (EndsWith(Lower(name), extension)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a);
        const std::string lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

ExpectedSearch ExpectedRows(const std::vector<std::string>& names, int directoryFd,
                            const std::string& shownDirectory, const SearchRequest& request) {
    ExpectedSearch search;
    search.rows = {kBannerRow, "   Search Path: " + shownDirectory,
                   "   Search String: \"" + request.text + "\""};
    std::vector<std::string> forms;
    if (!request.text.empty()) forms.push_back(request.text);
    if (const std::string legacy = Legacy(request.text); !legacy.empty()) forms.push_back(legacy);
    if (!request.caseSensitive)
        for (std::string& form : forms) form = Upper(form);

    const std::string count = std::to_string(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        search.rows.insert(
            search.rows.end(),
            {" ", " " + names[i] + " - " + std::to_string(i + 1) + " of " + count, " "});
        const std::vector<std::string> lines = Lines(ReadAt(directoryFd, names[i]));
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            const std::string upper = Upper(line);
            const bool procLine = upper.find("PROC ") != std::string::npos &&
                                  line.find('(') != std::string::npos &&
                                  line.find(')') != std::string::npos;
            if (procLine && request.includeProcs) search.rows.push_back(" " + line);
            const std::string& compared = request.caseSensitive ? line : upper;
            const bool match = std::any_of(
                forms.begin(), forms.end(),
                [&](const std::string& form) { return compared.find(form) != std::string::npos; });
            if (!match) continue;
            search.rows.push_back("[" + std::to_string(n + 1) + "] " + line);
            ++search.matches;
        }
    }
    return search;
}

}  // namespace sifter::soak
