// The parts of the test helpers that ask Windows directly.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/win32_headers.h"
#include "test_support.h"

namespace sifter::test {
namespace {

std::string Win32Error(const std::string& what) {
    return what + " failed with " + std::to_string(::GetLastError());
}

}  // namespace

TempDir::TempDir() {
    char base[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(sizeof base, base);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error(Win32Error("GetTempPathA"));
    // A name of the process and a counter, tried until one is free.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = std::string(base) + "sifter32-test-" +
                                 std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(++counter);
        if (!::CreateDirectoryA(path.c_str(), nullptr)) {
            if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
            throw std::runtime_error(Win32Error("CreateDirectoryA " + path));
        }
        // The long form, which is what the current directory reports once it is entered.
        char full[MAX_PATH + 1];
        const DWORD fullLength = ::GetLongPathNameA(path.c_str(), full, sizeof full);
        m_path = fullLength > 0 && fullLength <= MAX_PATH ? std::string(full) : path;
        return;
    }
    throw std::runtime_error("no free name for a scratch directory");
}

TempDir::~TempDir() {
    // Windows removes no directory that is a process's current one: a test that leaves the
    // process in here is moved out first.
    char current[MAX_PATH + 1];
    const DWORD length = ::GetCurrentDirectoryA(sizeof current, current);
    if (length > 0 && length <= MAX_PATH &&
        std::string_view(current, length).substr(0, m_path.size()) == m_path)
        ::SetCurrentDirectoryA((m_path + "\\..").c_str());
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error(Win32Error("GetCurrentDirectoryA"));
    return buffer;
}

void ChangeDirectory(const std::string& path) {
    if (!::SetCurrentDirectoryA(path.c_str()))
        throw std::runtime_error(Win32Error("SetCurrentDirectoryA " + path));
}

CurrentDirectoryGuard::CurrentDirectoryGuard() : m_saved(CurrentDirectory()) {}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    // Out of a directory a test removes, so that the removal can happen at all.
    if (!::SetCurrentDirectoryA(m_saved.c_str()) && !::SetCurrentDirectoryA("C:\\")) std::abort();
}

}  // namespace sifter::test
