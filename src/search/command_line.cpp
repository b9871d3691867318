#include "search/command_line.h"

#include <algorithm>

#include "platform/platform.h"
#include "search/text/text_rules.h"

namespace sifter {
namespace {

bool IsSeparator(unsigned char byte) {
    return byte >= 1 && byte <= ' ';
}

// The rest of a line ends at the first NUL, as the system's string does.
std::string_view UpToNul(std::string_view line) {
    return line.substr(0, std::min(line.find('\0'), line.size()));
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    line = UpToNul(line);
    std::vector<std::string> parameters;
    std::size_t at = 0;
    // A parameter cut at the size limit inside quotes goes on in quotes in the next one.
    bool quoted = false;
    for (;;) {
        if (!quoted) {
            for (;;) {
                while (at < line.size() && IsSeparator(static_cast<unsigned char>(line[at]))) ++at;
                if (line.substr(at, 2) != "\"\"") break;
                at += 2;
            }
        }
        std::string parameter;
        while (at < line.size() && parameter.size() < kMaxParameterBytes) {
            const char byte = line[at];
            if (byte == '"') {
                quoted = !quoted;
                ++at;
            } else if (!quoted && IsSeparator(static_cast<unsigned char>(byte))) {
                break;
            } else {
                parameter += byte;
                ++at;
            }
        }
        if (parameter.empty()) break;
        parameters.push_back(std::move(parameter));
    }
    return parameters;
}

std::vector<std::string> ProgramParameters(int argc, char** argv) {
    if (const char* raw = platform::RawCommandLine()) {
        std::vector<std::string> parameters = SplitCommandLine(raw);
        if (!parameters.empty()) parameters.erase(parameters.begin());
        return parameters;
    }
    return {argv + std::min(argc, 1), argv + argc};
}

StartupRequest ParseParams(const std::vector<std::string>& parameters,
                           const std::function<bool(const std::string&)>& isDirectory) {
    StartupRequest request;
    // An empty argument ("" on a shell's line) is not a parameter: it neither starts the text
    // with a blank nor makes a text of nothing.
    std::vector<std::string> entries;
    for (const std::string& parameter : parameters)
        if (!parameter.empty()) entries.push_back(parameter);
    if (entries.empty()) return request;
    if (isDirectory(entries.front())) {
        request.directory = entries.front();
        if (entries.size() == 1) return request;
        entries.erase(entries.begin());
    }
    const std::string flag = AsciiUpper(entries.back());
    if (flag == "/A" || flag == "-A") {
        if (entries.size() == 1) return request;
        request.autoSearch = true;
        entries.pop_back();
    }
    std::string text;
    for (const std::string& entry : entries) text.append(entry).append(" ");
    text.pop_back();
    request.searchText = std::move(text);
    return request;
}

}  // namespace sifter
