#pragma once
// What each byte of a Pascal source is: code, a comment, a string or a compiler directive, read
// line by line in the file's order (the lines as the line rules give them, see line_ends.h).
//
// The forms: `{ }` and `(* *)` comments, `//` to the line's end; `{$ }` and `(*$ *)` directives;
// `'...'` strings, where `''` is a quote inside. Character codes (`#13`, `#$0A`) are code, and so
// is an `asm ... end` block, whose comments and strings are read as everywhere else (as the
// compiler's own scanner reads them). Comments do not nest: `{ { } }` ends at the first `}`, as
// in Delphi and in Free Pascal's default modes. A comment, directive or string that is not closed
// runs on over the line ends to the end of the file, which is still searched. PascalReader reads
// the same bytes alike, for the structure, without going line by line.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "search/lines/line_index.h"
#include "search/pattern/line_matcher.h"

namespace sifter {

enum class PascalKind : std::uint8_t { Code, Comment, String, Directive };

// Which kinds an occurrence may start in to count; all three at the defaults. A directive counts
// as code.
struct SearchIn {
    bool code = true;
    bool comments = true;
    bool strings = true;

    bool All() const { return code && comments && strings; }
    bool Any() const { return code || comments || strings; }
    bool Has(PascalKind kind) const {
        switch (kind) {
            case PascalKind::Comment:
                return comments;
            case PascalKind::String:
                return strings;
            default:
                return code;
        }
    }
    friend bool operator==(const SearchIn&, const SearchIn&) = default;
};

class PascalLexer final {
public:
    // Reads the next line of the file. With `kinds`, it is filled with the kind of each of the
    // line's bytes.
    void Line(std::string_view line, std::vector<PascalKind>* kinds);

    // What is open at this point (a comment, a directive, a string, or nothing), as one byte
    // to pick up from with Restore: the state, and the kind it is of in the high four bits.
    std::uint8_t Saved() const {
        return static_cast<std::uint8_t>(static_cast<unsigned>(m_state) |
                                         (static_cast<unsigned>(m_kind) << 4));
    }
    void Restore(std::uint8_t saved) {
        m_state = static_cast<State>(saved & 15);
        m_kind = static_cast<PascalKind>(saved >> 4);
    }

private:
    enum class State : std::uint8_t { Code, Brace, Paren, String };

    // Reads code from `at`; returns where it stopped: the line's end, or the start of a comment,
    // directive or string, with m_state set to it.
    std::size_t Code(std::string_view line, std::size_t at, std::vector<PascalKind>* kinds);

    State m_state = State::Code;
    PascalKind m_kind = PascalKind::Code;  // of the comment, directive or string open
};

// The first occurrence that `matcher` finds in `line` at `from` or after it that starts in a
// kind `in` names, `kinds` being the kinds of the line's bytes. An empty match at the line's end
// lies in what its last byte lies in.
std::optional<MatchSpan> FindCounting(LineMatcher& matcher, std::string_view line,
                                      const std::vector<PascalKind>& kinds, SearchIn in,
                                      std::size_t from = 0);

// The occurrences that count in a Pascal source held whole, for the viewer. The file is lexed
// once, keeping the lexer's state at each line's start (a byte a line), so that the kinds of any
// line are found again from that line alone.
class PascalKinds final {
public:
    PascalKinds(const LineIndex& lines, SearchIn in);

    // The first occurrence that `matcher` finds in `line`, the file's line `index` (from 0), at
    // `from` or after it, that starts in a kind asked for.
    std::optional<MatchSpan> FindFrom(LineMatcher& matcher, std::int64_t index,
                                      std::string_view line, std::size_t from);

private:
    SearchIn m_in;
    std::vector<std::uint8_t> m_starts;  // the lexer's state at each line's start
    std::int64_t m_known = -1;           // the line whose kinds m_kinds holds
    std::vector<PascalKind> m_kinds;
};

}  // namespace sifter
