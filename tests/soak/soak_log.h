#pragma once
// The soak's source of choices, its memory of what it did, and what a failure prints. Every
// choice comes from one generator seeded once, through arithmetic of its own rather than the
// standard library's distributions, so that a seed gives the same actions wherever it is
// replayed.

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

namespace sifter::soak {

class Random final {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() {
        // splitmix64
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to count - 1; count must be positive.
    int Below(int count) { return static_cast<int>(Next() % static_cast<std::uint64_t>(count)); }
    bool Percent(int chance) { return Below(100) < chance; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
    }
    // An index chosen in proportion to the weights.
    int Weighted(std::initializer_list<int> weights) {
        int total = 0;
        for (int weight : weights) total += weight;
        int roll = Below(total);
        int index = 0;
        for (int weight : weights) {
            if (roll < weight) return index;
            roll -= weight;
            ++index;
        }
        return index - 1;
    }

private:
    std::uint64_t m_state;
};

// The actions so far: their number, and the last ones in words, to be printed with the seed
// when a rule is broken.
class ActionLog final {
public:
    static constexpr std::size_t kKept = 20;

    void Add(std::string what) {
        ++m_count;
        m_last.push_back("#" + std::to_string(m_count) + " " + std::move(what));
        if (m_last.size() > kKept) m_last.pop_front();
    }
    // What happened inside the last action (a dialog's answer), added to its line.
    void Note(const std::string& what) {
        if (!m_last.empty()) m_last.back() += "; " + what;
    }
    std::uint64_t Count() const { return m_count; }
    const std::deque<std::string>& Last() const { return m_last; }

private:
    std::uint64_t m_count = 0;
    std::deque<std::string> m_last;
};

// What a failed soak prints: the seed to replay it with and the last actions. A broken rule
// prints it through the test; a crash, a sanitizer's report or a hang prints it from a signal
// handler, from a copy kept ready after every action.
class FailureReport final {
public:
    // Handlers for fatal signals and the sanitizers' death, and an alarm for a hang, in place
    // while the object lives.
    FailureReport(std::uint64_t seed, int seconds);
    ~FailureReport();
    FailureReport(const FailureReport&) = delete;
    FailureReport& operator=(const FailureReport&) = delete;

    // Takes the log as it is after an action, and gives the action `limit` seconds.
    void Update(const ActionLog& log, unsigned limit);
    // The report for `problems` found after the last action.
    std::string Text(const ActionLog& log, const std::string& problems) const;

private:
    std::uint64_t m_seed;
    int m_seconds;
};

}  // namespace sifter::soak
