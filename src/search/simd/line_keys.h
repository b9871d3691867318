#pragma once
// The key bytes that let a line through the fast scan to the matcher: what the text matcher
// asks of the byte scanner (see scan_keys.h and stop_finder.h).

#include <cstddef>
#include <string_view>

namespace sifter {

// Up to two byte values; a choice without values matches nothing.
struct ByteChoice {
    unsigned char first = 0;
    unsigned char second = 0;
    int count = 0;
};

// Where a pair of keys stands in a text looked for: a pair in a line belongs to an occurrence
// only when the form stands `offset` bytes before it. A line none of whose pairs stands in a
// form need not be looked at.
struct KeyAnchor {
    std::string_view form;  // upper-cased when the keys fold case
    std::size_t offset = 0;
};

// The bytes that make a line worth looking at: a `lead` byte with a `follower` byte right after
// it (or a lead byte alone when there are no followers), or an `alternative` byte.
struct LineKeys {
    ByteChoice lead;
    ByteChoice follower;
    ByteChoice alternative;
    // Without anchors a pair alone lets a line through.
    KeyAnchor anchors[2];
    int anchorCount = 0;
    bool foldCase = false;  // letters of the line compared as upper case
    // An anchored form counts only where no word byte stands right before or after it.
    bool wholeWords = false;
    // Every line is handed over, whatever bytes it holds: the other keys are not looked at.
    bool everyLine = false;
};

}  // namespace sifter
