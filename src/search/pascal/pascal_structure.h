#pragma once
// The routines and type declarations of a Pascal source, followed word by word as the lexer
// reads its code (see pascal_lexer.h), so that each line can tell which it lies in.
//
// A routine is a procedure, function, constructor, destructor or operator (also after `class`),
// written in any letter case and at any indentation, plainly named or as a method (`TFoo.Bar`,
// `TFoo<T>.Bar`, `TOuter.TInner.Baz`), that has a body: it runs from its header's first word
// to the `end` that closes its `begin` or `asm`, its local declarations and nested routines
// included. A header without a body is none: `forward`, `external`, the interface section of a
// unit, and the methods declared inside a class, record, object or interface type. Where a
// header is followed by another, the first may be the second's outer routine or a declaration
// of a file of declarations; it stays open until its own `begin` or `asm` confirms it, and is
// dropped when the file ends first. A type declaration (`TFoo = class(TBar) ... end`, a record,
// an object, an interface, a helper) runs from the line where its declaration begins to its
// `end`; `class of`, `TFoo = class;` and `IFoo = interface;` have no body. Anonymous methods are
// part of the routine they are written in. A unit's `initialization` and a program's main block
// are followed only to find their `end`.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace sifter {

// Where a token stands: its line, counted from 1, and the offset of that line's first byte.
struct PascalPlace {
    std::int64_t line = 1;
    std::size_t start = 0;
};

class PascalStructure final {
public:
    using Place = PascalPlace;
    struct Frame {
        enum class Kind : std::uint8_t { Routine, Type, Block };
        enum class State : std::uint8_t { Open, Confirmed, Dropped };
        Kind kind = Kind::Routine;
        State state = State::Open;
        Place place;  // where its header or declaration begins
        // A routine: reading its header, then its directives, its declarations, its body.
        enum class Stage : std::uint8_t { Header, Directives, Declarations, Body };
        Stage stage = Stage::Header;
        bool assembler = false;  // in its asm block
        std::int32_t depth = 0;  // a routine's body or a block: the ends still to come
        std::int32_t parens = 0;
        bool colonFirst = false;  // a header that begins with `:`, as `operator :=` does
    };

    // Before each line: with `keep`, the frames the line lies in are gathered (LineFrames).
    void BeginLine(bool keep);
    // The frames open at the line's start and those opened on it, outermost first.
    const std::vector<std::int32_t>& LineFrames() const { return m_lineFrames; }
    void Word(Place at, std::string_view word);
    void Symbol(Place at, char symbol);
    // What the lexer need tell the structure where it stands now, the rest passed over:
    // - Tokens: every token.
    // - Body: in a body of statements, the words that open and close blocks (begin, case, try,
    //   asm, end).
    // - Value: in the value of a constant or variable, the `;` that ends it (outside parentheses
    //   and brackets).
    // - Members: among the members of a type's declaration, end, record, packed, bitpacked, the
    //   visibilities, the section words, type and ; = < >.
    // - Interface: among the declarations of a unit's interface section, outside any type,
    //   where routine headers are declarations only: where a type or a section begins, the
    //   section's end, and the `=`, `:`, parentheses and brackets that tell a value's start.
    // - Header: in a routine's header past its first two tokens, what ends it: the `;` outside
    //   its parentheses and brackets, or an `end` (no header after all).
    // Where a declaration's first token, or the one after `=`, `packed` or a type's keyword,
    // comes next, every token is told.
    enum class Quiet : std::uint8_t { Tokens, Body, Value, Members, Interface, Header };
    Quiet quiet() const { return m_quiet; }
    // Where every token is told only for the place of the one that begins a declaration, after
    // which the rest would be passed over: the lexer may look ahead for that token and give its
    // place (DeclarationAt) instead, then pass over it too.
    bool AwaitsDeclaration() const { return m_awaitsDeclaration; }
    void DeclarationAt(Place at);
    static bool MattersAmongMembers(std::string_view word);
    static bool MattersInInterface(std::string_view word);
    static bool MattersInHeader(std::string_view word);
    // Whether a word may be begin, case, try, asm or end, the only words a body's structure
    // reads, by its length and first letter alone.
    static bool MayOpenOrClose(std::string_view word) {
        if (word.size() < 3) return false;
        const char first = static_cast<char>(word[0] | 0x20);
        switch (word.size()) {
            case 3:
                return first == 't' || first == 'a' || first == 'e';
            case 4:
                return first == 'c';
            case 5:
                return first == 'b';
            default:
                return false;
        }
    }
    // The file has ended: what was never confirmed is dropped.
    void End();

    const Frame& At(std::int32_t id) const { return m_frames[static_cast<std::size_t>(id)]; }
    // Whether each of `frames` is confirmed or dropped by now.
    bool Settled(std::span<const std::int32_t> frames) const;
    // Whether the frame is a confirmed routine or type, which a match's rows name.
    bool Shown(std::int32_t id) const {
        const Frame& frame = At(id);
        return frame.state == Frame::State::Confirmed && frame.kind != Frame::Kind::Block;
    }

    // The words and symbols that matter to the structure; every other word is Other.
    enum class Token : std::uint8_t {
        Other,
        Semicolon,
        Equals,
        Colon,
        Comma,
        LParen,
        RParen,
        Less,
        Greater,
        Begin,
        End,
        Block,  // case, try: closed by an end of their own
        Asm,
        Record,
        Class,
        Object,
        Interface,
        TypeWord,  // dispinterface and the Objective-C and C++ class kinds
        Helper,
        Routine,
        Forward,  // forward, external
        Section,  // var, const, label, threadvar, resourcestring
        TypeKeyword,
        Visibility,
        Implementation,
        Initialization,  // initialization, finalization
        Of,
        To,
        Packed,  // packed, bitpacked
    };

private:
    Frame* Top() { return m_stack.empty() ? nullptr : &m_frames[m_stack.back()]; }
    std::int32_t Push(Frame::Kind kind, Place at, Frame::State state);
    void Pop(Frame::State state);
    // The token in each context; true when it was taken, false when the frame it closed passes
    // it on to the one below.
    bool InRoutine(Frame& frame, Token token, Place at);
    bool InBody(Frame& frame, Token token);
    void InDeclarations(Token token, Place at);
    void InType(Token token, Place at);
    // A type keyword after `=` (class, interface, ...): its body is not sure yet.
    void OpenType(Place at);
    void Take(Token token, Place at);
    // A token that is none of the others: a name, a number's sign, an operator.
    void OtherToken(Place at);
    // What quiet() gives, with the token that begins a declaration still to come or not.
    Quiet FindQuiet(bool startNext) const;
    void UpdateQuiet();
    // Reads a token while a type's body is still in question; true when it was taken.
    bool CheckPendingType(Token token);

    std::vector<Frame> m_frames;
    std::vector<std::int32_t> m_stack;
    std::vector<std::int32_t> m_lineFrames;
    bool m_keep = false;
    bool m_skimming = false;
    Quiet m_quiet = Quiet::Tokens;
    bool m_awaitsDeclaration = false;
    bool m_valueSection = false;  // in a var or const section, outside any type or header
    std::int32_t m_parens = 0;    // parentheses and brackets open in the declarations
    bool m_typed = false;         // a `:` in the declaration so far, outside generic brackets
    bool m_generic = false;       // a `<` since the last `=`
    bool m_valueNext = false;     // after the `=` of a constant or variable
    bool m_inValue = false;
    Token m_previous{};
    bool m_interface = false;  // in a unit's interface section
    bool m_startNext = true;   // the next token begins a declaration
    Place m_declaration;
    Place m_classPlace{0, 0};  // where a `class` before a routine keyword stands
    bool m_typeAfterEquals = false;
    std::int32_t m_angles = 0;  // generic brackets open in a declaration's head
    // A type whose body is in question: after its keyword, in its parentheses, after them.
    enum class Pending : std::uint8_t { None, AfterKeyword, InParens, AfterParens };
    Pending m_pending = Pending::None;
    std::int32_t m_pendingParens = 0;
};

}  // namespace sifter
