// The desktop on Windows: the shell opens a file with the program registered for its kind.

#include "platform/desktop.h"
#include "platform/platform.h"
#include "platform/win32_headers.h"

#include <shellapi.h>

namespace sifter::platform {
namespace {

class Win32Desktop final : public Desktop {
public:
    LaunchResult OpenWithDefaultApplication(const std::string& path) override {
        static const char* const kProgram = "a program for this kind of file";
        if (path.find('\0') != std::string::npos) return {3, kProgram};
        const auto result = reinterpret_cast<INT_PTR>(
            ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result > 32) return {0, kProgram};
        // No program registered for the kind is what a missing opener is elsewhere.
        const DWORD error = ::GetLastError();
        if (result == SE_ERR_NOASSOC || error == ERROR_NO_ASSOCIATION) return {2, kProgram};
        return {MapSystemError(static_cast<int>(error != 0 ? error : result)), kProgram};
    }
};

}  // namespace

std::int32_t StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    for (const std::string& word : words)
        if (word.find('\0') != std::string::npos) return kPathNotFound;
    std::string line = WindowsCommandLine(words);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // No handle of ours is inherited, and the program has no console of ours: it lives on
    // when this program ends. Nobody waits for it.
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                          DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                          &started))
        return MapSystemError(static_cast<int>(::GetLastError()));
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return 0;
}

Desktop& SystemDesktop() {
    static Win32Desktop desktop;
    return desktop;
}

}  // namespace sifter::platform
