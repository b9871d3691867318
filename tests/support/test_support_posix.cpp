// The parts of the test helpers that ask POSIX directly.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "test_support.h"

namespace sifter::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/sifter32-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    // The physical path, which is what getcwd gives once the directory is current.
    char resolved[PATH_MAX];
    if (::realpath(pattern.c_str(), resolved) == nullptr) throw std::runtime_error("realpath");
    m_path = resolved;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) throw std::runtime_error("getcwd failed");
    return buffer;
}

void ChangeDirectory(const std::string& path) {
    if (::chdir(path.c_str()) != 0) throw std::runtime_error("chdir failed: " + path);
}

CurrentDirectoryGuard::CurrentDirectoryGuard() : m_saved(CurrentDirectory()) {}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    // When a test removed the saved directory, the process still ends up somewhere valid.
    if (::chdir(m_saved.c_str()) != 0 && ::chdir("/") != 0) std::abort();
}

}  // namespace sifter::test
