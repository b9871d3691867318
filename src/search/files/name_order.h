#pragma once
// The order of the names in a file set: alphabetical with letter case ignored, in the user's
// collation where one is set, ASCII otherwise; names that compare equal go by their bytes.

#include <cstddef>
#include <string>
#include <vector>

namespace sifter {

struct OrderedNames {
    std::vector<std::string> names;
    // Whether inserting the names one at a time, in the order given, at their sorted places
    // (before any equal name) ever put one at `watchedPlace`.
    bool reachedWatchedPlace = false;
};

// `names` in the order they were found; the result is sorted.
OrderedNames OrderNames(std::vector<std::string> names, std::size_t watchedPlace);

// Whether the collation in effect is the plain C/POSIX one (C.UTF-8 included).
bool IsPlainCollation();

}  // namespace sifter
