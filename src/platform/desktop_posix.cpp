#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "platform/desktop.h"
#include "platform/platform.h"

extern char** environ;

namespace sifter::platform {
namespace {

// xdg-open asks the desktop which application opens a file of its kind.
constexpr const char* kOpener = "xdg-open";

class PosixDesktop final : public Desktop {
public:
    LaunchResult OpenWithDefaultApplication(const std::string& path) override {
        // A name that starts with a dash would be read as an option.
        const std::string argument = !path.empty() && path.front() == '-' ? "./" + path : path;
        return {StartProgram(kOpener, {argument}), kOpener};
    }
};

// The attributes of a started program: the signals as a fresh process has them, and a session
// of its own, so that ending this program (Ctrl+C in its terminal) leaves the editor open.
class SpawnSettings final {
public:
    SpawnSettings() {
        posix_spawnattr_init(&m_attributes);
        posix_spawn_file_actions_init(&m_actions);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&m_attributes, &signals);
        sigaddset(&signals, SIGPIPE);
        sigaddset(&signals, SIGCHLD);
        posix_spawnattr_setsigdefault(&m_attributes, &signals);
        posix_spawnattr_setflags(
            &m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    const posix_spawnattr_t* attributes() const { return &m_attributes; }
    const posix_spawn_file_actions_t* actions() const { return &m_actions; }

private:
    posix_spawnattr_t m_attributes;
    posix_spawn_file_actions_t m_actions;
};

}  // namespace

std::int32_t StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    // Each argument is one entry of the vector, so no shell ever splits or interprets it; only
    // a NUL byte cannot be passed.
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        if (word.find('\0') != std::string::npos) return kPathNotFound;
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const SpawnSettings settings;
    pid_t child = 0;
    const int error = ::posix_spawnp(&child, program.c_str(), settings.actions(),
                                     settings.attributes(), argv.data(), environ);
    if (error != 0) return MapSystemError(error);
    // Nobody waits for the program; this thread collects its exit so it leaves no zombie.
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

Desktop& SystemDesktop() {
    static PosixDesktop desktop;
    return desktop;
}

}  // namespace sifter::platform
