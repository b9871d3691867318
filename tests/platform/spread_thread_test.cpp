// The worker threads of a search are moved off the caller's processor at their start, and
// then left free to run anywhere the caller may.

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace sifter {
namespace {

cpu_set_t AffinityOf(pthread_t thread) {
    cpu_set_t set;
    CPU_ZERO(&set);
    EXPECT_EQ(::pthread_getaffinity_np(thread, sizeof set, &set), 0);
    return set;
}

// Restricts the calling thread to `cpus` (those of them it may use) while the object lives.
class CallerOn final {
public:
    explicit CallerOn(const std::vector<int>& cpus) : m_saved(AffinityOf(::pthread_self())) {
        cpu_set_t wanted;
        CPU_ZERO(&wanted);
        for (int cpu : cpus)
            if (CPU_ISSET(cpu, &m_saved)) CPU_SET(cpu, &wanted);
        if (CPU_COUNT(&wanted) > 0)
            ::pthread_setaffinity_np(::pthread_self(), sizeof wanted, &wanted);
    }
    ~CallerOn() { ::pthread_setaffinity_np(::pthread_self(), sizeof m_saved, &m_saved); }
    CallerOn(const CallerOn&) = delete;
    CallerOn& operator=(const CallerOn&) = delete;

private:
    cpu_set_t m_saved;
};

std::vector<int> AllowedCpus() {
    const cpu_set_t set = AffinityOf(::pthread_self());
    std::vector<int> cpus;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &set)) cpus.push_back(cpu);
    return cpus;
}

TEST(SpreadThreadTest, LeavesTheThreadFreeToRunWhereverTheCallerMay) {
    const std::vector<int> all = AllowedCpus();
    // The caller on every processor it has, on the first two, and on the first alone (where
    // there is no other processor to move to).
    const std::vector<std::vector<int>> callers = {
        all,
        {all.begin(), all.begin() + std::min<std::ptrdiff_t>(2, std::ssize(all))},
        {all.front()}};
    for (const std::vector<int>& cpus : callers) {
        const CallerOn caller(cpus);
        std::atomic<bool> go{false};
        std::atomic<int> ranOn{-1};
        std::thread thread([&] {
            while (!go.load()) std::this_thread::yield();
            ranOn = ::sched_getcpu();
        });
        platform::SpreadThread(thread);
        const cpu_set_t expected = AffinityOf(::pthread_self());
        const cpu_set_t actual = AffinityOf(thread.native_handle());
        go = true;
        thread.join();
        EXPECT_TRUE(CPU_EQUAL(&expected, &actual)) << cpus.size() << " processors for the caller";
        EXPECT_TRUE(CPU_ISSET(ranOn.load(), &expected)) << "ran on processor " << ranOn.load();
    }
}

}  // namespace
}  // namespace sifter
