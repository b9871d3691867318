#pragma once
// Handing files to other programs of the desktop. The windows reach it through
// `CurrentDesktop()`, so tests can put a fake in its place and never start a real program.

#include <cstdint>
#include <string>
#include <vector>

namespace sifter::platform {

struct LaunchResult {
    std::int32_t error = 0;  // 0: started; otherwise the system's code, mapped
    std::string program;     // what was to be started, for a message
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens the file in the desktop's default application for it and returns without waiting.
    // The path reaches that application byte for byte: blanks, quotes and bytes that are not
    // UTF-8 included.
    virtual LaunchResult OpenWithDefaultApplication(const std::string& path) = 0;
    // Starts the program that the first of `words` names, looked up in the search path, with
    // the other words as its arguments exactly (no shell between), and returns without waiting,
    // as StartProgram does. The result names the program.
    virtual LaunchResult Start(const std::vector<std::string>& words);
};

// The desktop the program runs in.
Desktop& SystemDesktop();
// The desktop the windows use: the system's unless a `ScopedDesktop` stands in for it.
Desktop& CurrentDesktop();

class ScopedDesktop final {
public:
    explicit ScopedDesktop(Desktop& replacement);
    ~ScopedDesktop();
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;

private:
    Desktop* m_previous;
};

// Starts `program`, looked up in the search path, with `arguments` as its arguments exactly,
// its input from nowhere and in a session of its own, and returns without waiting; the program
// is reaped when it ends. 0, or the code of why it could not be started.
std::int32_t StartProgram(const std::string& program, const std::vector<std::string>& arguments);

// `words` as one Windows command line that the C runtime's splitting (CommandLineToArgvW's
// rules) takes back into exactly these words: a word with a blank, a tab or a quote in it, or
// an empty one, is quoted; backslashes are doubled only where a quote follows them.
std::string WindowsCommandLine(const std::vector<std::string>& words);

}  // namespace sifter::platform
