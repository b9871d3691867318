// What the desktop seam does the same way on every system.

#include "platform/desktop.h"

#include "platform/platform.h"

namespace sifter::platform {
namespace {

Desktop* g_current = nullptr;

}  // namespace

LaunchResult Desktop::Start(const std::vector<std::string>& words) {
    if (words.empty()) return {kPathNotFound, {}};
    return {StartProgram(words.front(), {words.begin() + 1, words.end()}), words.front()};
}

Desktop& CurrentDesktop() {
    return g_current != nullptr ? *g_current : SystemDesktop();
}

ScopedDesktop::ScopedDesktop(Desktop& replacement) : m_previous(g_current) {
    g_current = &replacement;
}

ScopedDesktop::~ScopedDesktop() {
    g_current = m_previous;
}

std::string WindowsCommandLine(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += word;
            continue;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (const char c : word) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote escape each other and the quote; elsewhere they are
            // plain characters.
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            line += c;
            backslashes = 0;
        }
        line.append(2 * backslashes, '\\');  // the closing quote follows them
        line += '"';
    }
    return line;
}

}  // namespace sifter::platform
