#include "soak_log.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace sifter::soak {
namespace {

// Written whole after every action, read only by the handlers.
char g_ready[16384];
volatile sig_atomic_t g_readyLength = 0;

void WriteReady() {
    const ssize_t written =
        ::write(STDERR_FILENO, g_ready, static_cast<std::size_t>(g_readyLength));
    (void)written;
}

constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGALRM};
// What handled each signal before: it gets the signal after the actions are printed, so that
// the sanitizer's or Qt Test's own report follows.
struct sigaction g_previous[std::size(kSignals)];

void OnFatalSignal(int signal) {
    const char* what = signal == SIGALRM ? "\nsoak: an action did not end (hang)\n"
                                         : "\nsoak: the program crashed\n";
    const ssize_t written = ::write(STDERR_FILENO, what, std::strlen(what));
    (void)written;
    WriteReady();
    if (signal == SIGALRM) ::_exit(124);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        if (kSignals[i] == signal) ::sigaction(signal, &g_previous[i], nullptr);
    ::raise(signal);
}

#if defined(__SANITIZE_ADDRESS__)
void OnSanitizerDeath() {
    WriteReady();
}
#endif

}  // namespace

FailureReport::FailureReport(std::uint64_t seed, int seconds) : m_seed(seed), m_seconds(seconds) {
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    // Once: a crash inside the report goes straight on to the previous handler.
    action.sa_flags = SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(OnSanitizerDeath);
#endif
}

FailureReport::~FailureReport() {
    ::alarm(0);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(nullptr);
#endif
    g_readyLength = 0;
}

void FailureReport::Update(const ActionLog& log, unsigned limit) {
    const std::string text = Text(log, {});
    const std::size_t length = std::min(text.size(), sizeof g_ready);
    g_readyLength = 0;
    std::memcpy(g_ready, text.data(), length);
    g_readyLength = static_cast<sig_atomic_t>(length);
    ::alarm(limit);
}

std::string FailureReport::Text(const ActionLog& log, const std::string& problems) const {
    // The replay stops at the same action however fast it runs; the time is only a bound.
    std::string text =
        "soak: seed " + std::to_string(m_seed) + ", action #" + std::to_string(log.Count()) +
        "; replay with: SIFTER32_SOAK_ACTIONS=" + std::to_string(log.Count()) + " scripts/soak " +
        std::to_string(std::max(m_seconds * 10, 60)) + " " + std::to_string(m_seed) + "\n";
    if (!problems.empty()) text += problems;
    text += "the last " + std::to_string(log.Last().size()) + " actions:\n";
    for (const std::string& action : log.Last()) text += "  " + action + "\n";
    return text;
}

}  // namespace sifter::soak
