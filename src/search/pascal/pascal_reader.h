#pragma once
// A Pascal source held whole, read from its start for its structure: the routines and types each
// line lies in (see pascal_structure.h) and what is open (a comment, a directive, a string) where
// each line starts, which PascalLexer picks up from to tell the kinds of that line's bytes.
//
// The bytes are read as PascalLexer reads them line by line (see pascal_lexer.h), without going
// through the lines one at a time: the stretches nobody needs to see a token of (a comment, a
// string, a body of statements between the words that open and close its blocks) are passed over
// 64 bytes at a time, counting the line ends on the way. Of conditional code ({$ifdef} ...
// {$else} ... {$endif}) the structure is told the first branch only, as the branches often
// repeat what they open or close.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "search/lines/line_ends.h"
#include "search/pascal/pascal_blocks.h"
#include "search/pascal/pascal_structure.h"

namespace sifter {

class PascalReader final {
public:
    // `data` is the file's data up to its first Ctrl-Z, whose lines end as `ends` says (a file
    // without a line end reads alike either way); `structure` (or nothing) is told of every word
    // and symbol of code. Both must outlive the reader.
    // With EveryToken, the structure is told of every token, nothing passed over: the same
    // routines and types, more slowly, for checking the passes over.
    enum class Pass { OverWhatCannotMatter, EveryToken };
    PascalReader(std::string_view data, LineEnds ends, PascalStructure* structure,
                 Pass pass = Pass::OverWhatCannotMatter);

    // Reads on to the start of line `number` (from 1); false when the data ends before it, with
    // everything read.
    bool ToLine(std::int64_t number);
    // The line it stands at the start of, or, at the end of the data, the last line begun.
    std::int64_t Line() const { return m_place.line; }
    std::size_t LineStart() const { return m_place.start; }
    bool AtEnd() const { return m_at >= m_data.size(); }
    // What is open where it stands, as PascalLexer::Saved gives it.
    std::uint8_t Saved() const;

    // Line `place.line`'s text, without its line end, from the data of `place.start` on.
    static std::string_view LineText(std::string_view data, LineEnds ends, std::size_t start);

private:
    enum class State : std::uint8_t { Code, Brace, Paren, String };

    // The state's own step: each stops where the line asked for begins, or earlier.
    void CodeStep();
    void CloseStep();
    // Passes over the bytes from m_at, counting line ends, to the first stop `marksOf` gives
    // for a block (its bytes and where it starts), with its line ends, when it looks for `look`
    // (true, m_at on it), or to the start of the line asked for or the data's end (false).
    template <class MarksOf>
    bool Seek(pascal_blocks::Look look, MarksOf marksOf);
    // A line end at `at`, a byte EndsLine picks.
    void LineEnd(std::size_t at);
    // In a constant's or variable's value: on to the `;` that ends it.
    void ValueStep();
    // On over the spaces, tabs and line ends from m_at, to the start of the line asked for at most.
    void PassBlanks();
    // One token of code at m_at, told to the structure with `tell`.
    void CodeToken(bool tell);
    // Among a type's members, or among a unit's interface declarations: on to the next word
    // (told when `tells` says it matters) or symbol that kLook says may matter there.
    template <pascal_blocks::Look kLook>
    void QuietStep(bool (*tells)(std::string_view));
    // A word of code from m_at, told to the structure when `tells` (or, without it, always)
    // says it may matter; m_at after it.
    void Word(bool (*tells)(std::string_view));
    // Opens a comment or directive with `open` bytes at m_at ({ or (*).
    void OpenComment(State state, std::size_t open);
    void Condition(std::size_t at);

    bool m_everyToken;
    std::string_view m_data;
    LineEnds m_ends;
    char m_lineEnd;
    PascalStructure* m_structure;
    std::size_t m_at = 0;
    PascalPlace m_place;            // the line m_at is in
    std::int64_t m_target = 0;      // the line ToLine reads to
    std::int32_t m_conditions = 0;  // the {$if...}s open
    std::int32_t m_skipFrom = 0;    // the {$if...} whose later branch is passed over, or 0
    std::int32_t m_valueDepth = 0;  // the parentheses and brackets open in a value
    State m_state = State::Code;
    // The last block Seek looked at, for what, and its stops and line ends.
    struct Block {
        pascal_blocks::Look look = pascal_blocks::Look::None;
        std::size_t base = 0;
        std::uint64_t stops = 0;
        std::uint64_t ends = 0;
    };
    Block m_block;
    bool m_directive = false;  // the comment open is a directive
};

}  // namespace sifter
