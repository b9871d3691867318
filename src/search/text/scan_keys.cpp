#include "search/text/scan_keys.h"

#include <algorithm>
#include <limits>

#include "search/text/text_rules.h"

namespace sifter {
namespace {

// A lead byte of one form with the follower right after it, or a lead byte alone (only where a
// form of one byte leaves no pair, as a lone byte lets far more lines through).
struct Piece {
    unsigned char lead = 0;
    unsigned char follower = 0;
    int rank = 0;            // how common the piece is in source text; lower is rarer
    std::size_t offset = 0;  // where it stands in its form
};

// Long texts offer many pieces; the rarest few of each form are plenty to combine.
constexpr std::size_t kPiecesPerForm = 48;

// Two forms' bytes in one choice make it match more often than either alone.
constexpr int kMixedRank = 10;

std::vector<Piece> Pieces(const std::string& form, bool pairs) {
    std::vector<Piece> pieces;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(form[i]); };
    if (pairs) {
        for (std::size_t i = 0; i + 1 < form.size(); ++i)
            pieces.push_back(
                {at(i), at(i + 1), ByteCommonness(at(i)) + ByteCommonness(at(i + 1)), i});
    } else {
        for (std::size_t i = 0; i < form.size(); ++i)
            pieces.push_back({at(i), 0, ByteCommonness(at(i)), i});
    }
    // Stable, so that among equally rare pieces the first in the text wins.
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return a.rank < b.rank; });
    if (pieces.size() > kPiecesPerForm) pieces.resize(kPiecesPerForm);
    return pieces;
}

// The values a byte of an upper-cased form stands for in the line.
ByteChoice Values(unsigned char byte, bool ignoreCase) {
    if (ignoreCase && byte >= 'A' && byte <= 'Z')
        return {byte, static_cast<unsigned char>(byte + 32), 2};
    return {byte, 0, 1};
}

// The union of two choices, or a choice without values when it needs more than two.
ByteChoice Union(const ByteChoice& a, const ByteChoice& b) {
    ByteChoice both = a;
    const unsigned char values[] = {b.first, b.second};
    for (int i = 0; i < b.count; ++i) {
        const unsigned char value = values[i];
        if ((both.count > 0 && both.first == value) || (both.count > 1 && both.second == value))
            continue;
        if (both.count == 2) return {};
        if (both.count == 0)
            both.first = value;
        else
            both.second = value;
        ++both.count;
    }
    return both;
}

struct Best {
    LineKeys keys;
    int rank = std::numeric_limits<int>::max();
    std::size_t offsets[2] = {0, 0};  // of the pieces in the first and the second form
};

void Consider(const Piece& a, const Piece& b, bool pairs, bool ignoreCase, Best& best) {
    const ByteChoice lead = Union(Values(a.lead, ignoreCase), Values(b.lead, ignoreCase));
    if (lead.count == 0) return;
    ByteChoice follower;
    if (pairs) {
        follower = Union(Values(a.follower, ignoreCase), Values(b.follower, ignoreCase));
        if (follower.count == 0) return;
    }
    int rank = std::max(a.rank, b.rank);
    if (a.lead != b.lead) rank += kMixedRank;
    if (pairs && a.follower != b.follower) rank += kMixedRank;
    if (rank < best.rank) {
        best.rank = rank;
        best.keys.lead = lead;
        best.keys.follower = follower;
        best.offsets[0] = a.offset;
        best.offsets[1] = b.offset;
    }
}

Best Choose(const std::vector<std::string>& forms, bool pairs, bool ignoreCase) {
    Best best;
    const std::vector<Piece> first = Pieces(forms.front(), pairs);
    if (forms.size() == 1) {
        // A piece paired with itself: the form's own rarest piece wins, as for any text.
        for (const Piece& piece : first) Consider(piece, piece, pairs, ignoreCase, best);
        return best;
    }
    const std::vector<Piece> second = Pieces(forms[1], pairs);
    for (const Piece& piece : first)
        for (const Piece& other : second) Consider(piece, other, pairs, ignoreCase, best);
    return best;
}

}  // namespace

LineKeys KeysForForms(const std::vector<std::string>& forms, bool ignoreCase) {
    if (forms.empty()) return {};
    bool pairs = true;
    for (const std::string& form : forms) {
        if (form.empty()) return {};
        pairs = pairs && form.size() > 1;
    }
    if (pairs) {
        Best best = Choose(forms, true, ignoreCase);
        if (best.keys.lead.count > 0) {
            // Each form is looked for around a pair, where its piece would put it.
            for (std::size_t i = 0; i < forms.size(); ++i)
                best.keys.anchors[i] = KeyAnchor{forms[i], best.offsets[i]};
            best.keys.anchorCount = static_cast<int>(forms.size());
            best.keys.foldCase = ignoreCase;
            return best.keys;
        }
    }
    return Choose(forms, false, ignoreCase).keys;
}

}  // namespace sifter
