#include "search/files/name_order.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <numeric>

namespace sifter {
namespace {

unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// strcasecmp's order for names that may hold NUL bytes is the byte order of the names with
// their letters folded to lower case.
std::string Folded(const std::string& name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
    return folded;
}

std::string CollationKey(const std::string& name) {
    std::string key(name.size() * 4 + 16, '\0');
    for (;;) {
        const std::size_t needed = std::strxfrm(key.data(), name.c_str(), key.size());
        if (needed < key.size()) {
            key.resize(needed);
            return key;
        }
        key.assign(needed + 1, '\0');
    }
}

// Counts inserted ranks below a rank; the names are placed in O(n log n) instead of being
// moved one by one into a growing list.
class RankCounter {
public:
    explicit RankCounter(std::size_t size) : m_tree(size + 1, 0) {}
    void Add(std::size_t rank) {
        for (std::size_t i = rank + 1; i < m_tree.size(); i += i & (~i + 1)) ++m_tree[i];
    }
    std::size_t CountBelow(std::size_t rank) const {
        std::size_t sum = 0;
        for (std::size_t i = rank; i > 0; i -= i & (~i + 1)) sum += m_tree[i];
        return sum;
    }

private:
    std::vector<std::size_t> m_tree;
};

}  // namespace

bool IsPlainCollation() {
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    if (name == nullptr) return true;
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

OrderedNames OrderNames(std::vector<std::string> names, std::size_t watchedPlace) {
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Names are turned into keys once, which then compare as bytes: folding or strcoll on
    // every comparison is far slower.
    const bool plain = IsPlainCollation();
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) keys.push_back(plain ? Folded(name) : CollationKey(name));
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : names[a] < names[b];
    });

    OrderedNames result;
    if (names.size() > watchedPlace) {
        // rank[i]: the sorted place of name i's group of identical names.
        std::vector<std::size_t> rank(names.size());
        for (std::size_t place = 0; place < order.size(); ++place) {
            const bool sameAsPrevious = place > 0 && names[order[place]] == names[order[place - 1]];
            rank[order[place]] = sameAsPrevious ? rank[order[place - 1]] : place;
        }
        RankCounter inserted(names.size());
        for (std::size_t i = 0; i < names.size() && !result.reachedWatchedPlace; ++i) {
            result.reachedWatchedPlace = inserted.CountBelow(rank[i]) == watchedPlace;
            inserted.Add(rank[i]);
        }
    }
    result.names.reserve(names.size());
    for (std::size_t index : order) result.names.push_back(std::move(names[index]));
    return result;
}

}  // namespace sifter
