#pragma once
// What each byte of a Pascal source is: code, a comment, a string or a compiler directive, read
// line by line in the file's order (the lines as the line rules give them, see line_ends.h).
//
// The forms: `{ }` and `(* *)` comments, `//` to the line's end; `{$ }` and `(*$ *)` directives;
// `'...'` strings, where `''` is a quote inside. Character codes (`#13`, `#$0A`) are code, and so
// is an `asm ... end` block, whose comments and strings are read as everywhere else (as the
// compiler's own scanner reads them). Comments do not nest: `{ { } }` ends at the first `}`, as
// in Delphi and in Free Pascal's default modes. A comment, directive or string that is not closed
// runs on over the line ends to the end of the file, which is still searched. The code's words
// and symbols go on to a PascalStructure (when given), which follows the routines and types; of
// conditional code ({$ifdef} ... {$else} ... {$endif}) it is told the first branch only, whose
// bytes are still code like the others'.

#include <cstdint>
#include <string_view>
#include <vector>

namespace sifter {

class PascalStructure;

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
    // `structure` (or nothing) is told of every word and symbol of code.
    explicit PascalLexer(PascalStructure* structure = nullptr) : m_structure(structure) {}

    // Reads the next line of the file, numbered `number`. With `kinds`, it is filled with the
    // kind of each of the line's bytes.
    void Line(std::int64_t number, std::string_view line, std::vector<PascalKind>* kinds);

    // What is open at this point (a comment, a directive, a string, or nothing), as one byte
    // to pick up from with Restore; for a lexer without a structure.
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
    std::size_t Code(std::int64_t number, std::string_view line, std::size_t at,
                     std::vector<PascalKind>* kinds);

    // In a body of statements (PascalStructure::Skimming): passes over the code from `at` in
    // large steps, telling the structure of the words that open and close blocks; returns
    // where a comment, string or escaped name begins, the line's size, or where the body ended
    // (pascal_skim.cpp).
    std::size_t Skim(std::int64_t number, std::string_view line, std::size_t at);
    // Reads a directive's name ({$ifdef ...}): of conditional code, the structure is told of
    // the first branch only, as the branches often repeat what they open or close.
    void Condition(std::string_view directive);

    PascalStructure* m_structure;
    std::int32_t m_conditions = 0;  // the {$if...}s open
    std::int32_t m_skipFrom = 0;    // the {$if...} whose later branch is passed over, or 0
    State m_state = State::Code;
    PascalKind m_kind = PascalKind::Code;  // of the comment, directive or string open
};

}  // namespace sifter
