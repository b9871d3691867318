#include "search/pascal/pascal_structure.h"

#include <array>
#include <iterator>

namespace sifter {

namespace {

using Token = PascalStructure::Token;
using Frame = PascalStructure::Frame;
using Place = PascalPlace;

struct Keyword {
    std::string_view word;
    Token token;
};

constexpr Keyword kKeywords[] = {
    {"begin", Token::Begin},
    {"end", Token::End},
    {"case", Token::Block},
    {"try", Token::Block},
    {"asm", Token::Asm},
    {"record", Token::Record},
    {"class", Token::Class},
    {"object", Token::Object},
    {"interface", Token::Interface},
    {"dispinterface", Token::TypeWord},
    {"objcclass", Token::TypeWord},
    {"objcprotocol", Token::TypeWord},
    {"objccategory", Token::TypeWord},
    {"cppclass", Token::TypeWord},
    {"helper", Token::Helper},
    {"procedure", Token::Routine},
    {"function", Token::Routine},
    {"constructor", Token::Routine},
    {"destructor", Token::Routine},
    {"operator", Token::Routine},
    {"forward", Token::Forward},
    {"external", Token::Forward},
    {"var", Token::Section},
    {"const", Token::Section},
    {"label", Token::Section},
    {"threadvar", Token::Section},
    {"resourcestring", Token::Section},
    {"type", Token::TypeKeyword},
    {"private", Token::Visibility},
    {"protected", Token::Visibility},
    {"public", Token::Visibility},
    {"published", Token::Visibility},
    {"strict", Token::Visibility},
    {"implementation", Token::Implementation},
    {"initialization", Token::Initialization},
    {"finalization", Token::Initialization},
    {"of", Token::Of},
    {"to", Token::To},
    {"packed", Token::Packed},
    {"bitpacked", Token::Packed},
};

// Each keyword in a slot of its own, found by its first two letters, its last and its length,
// so that a word is compared with one keyword at most.
constexpr std::size_t KeywordSlot(char first, char second, char last, std::size_t size) {
    return (static_cast<unsigned char>(first) + 52U * static_cast<unsigned char>(second) +
            static_cast<unsigned char>(last) + 2U * size) &
           127U;
}

constexpr std::array<std::int8_t, 128> MakeSlots() {
    std::array<std::int8_t, 128> slots{};
    slots.fill(-1);
    for (std::size_t i = 0; i < std::size(kKeywords); ++i) {
        const std::string_view word = kKeywords[i].word;
        std::int8_t& slot = slots[KeywordSlot(word[0], word[1], word.back(), word.size())];
        // Not a constant where two keywords meet: the build stops.
        if (slot >= 0) throw "two keywords in one slot";
        slot = static_cast<std::int8_t>(i);
    }
    return slots;
}

constexpr std::array<std::int8_t, 128> kSlots = MakeSlots();

constexpr std::array<Token, 256> MakeSymbols() {
    std::array<Token, 256> symbols{};
    symbols[';'] = Token::Semicolon;
    symbols['='] = Token::Equals;
    symbols[':'] = Token::Colon;
    symbols[','] = Token::Comma;
    symbols['('] = symbols['['] = Token::LParen;
    symbols[')'] = symbols[']'] = Token::RParen;
    symbols['<'] = Token::Less;
    symbols['>'] = Token::Greater;
    return symbols;
}

constexpr std::array<Token, 256> kSymbols = MakeSymbols();

Token Classify(std::string_view word) {
    if (word.size() < 2 || word.size() > 14) return Token::Other;
    // Words hold letters, digits and _ only: | 0x20 lowers the letters and leaves no digit or
    // _ equal to a letter.
    const auto lower = [&](std::size_t i) { return static_cast<char>(word[i] | 0x20); };
    const std::int8_t slot =
        kSlots[KeywordSlot(lower(0), lower(1), lower(word.size() - 1), word.size())];
    if (slot < 0) return Token::Other;
    const Keyword& keyword = kKeywords[static_cast<std::size_t>(slot)];
    if (keyword.word.size() != word.size()) return Token::Other;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(i) != keyword.word[i]) return Token::Other;
    return keyword.token;
}

}  // namespace

void PascalStructure::BeginLine(bool keep) {
    m_keep = keep;
    if (keep) m_lineFrames = m_stack;
}

bool PascalStructure::Settled(std::span<const std::int32_t> frames) const {
    for (const std::int32_t id : frames)
        if (At(id).state == Frame::State::Open) return false;
    return true;
}

std::int32_t PascalStructure::Push(Frame::Kind kind, Place at, Frame::State state) {
    const auto id = static_cast<std::int32_t>(m_frames.size());
    Frame& frame = m_frames.emplace_back();
    frame.kind = kind;
    frame.place = at;
    frame.state = state;
    m_stack.push_back(id);
    if (m_keep) m_lineFrames.push_back(id);
    m_valueSection = false;
    m_parens = 0;
    return id;
}

void PascalStructure::Pop(Frame::State state) {
    Frame& frame = *Top();
    if (frame.state == Frame::State::Open) frame.state = state;
    m_stack.pop_back();
    m_valueSection = false;
    m_parens = 0;
}

void PascalStructure::End() {
    while (!m_stack.empty()) Pop(Frame::State::Dropped);
    m_pending = Pending::None;
    m_skimming = false;
    UpdateQuiet();
}

bool PascalStructure::MattersAmongMembers(std::string_view word) {
    const Token token = Classify(word);
    return token == Token::End || token == Token::Record || token == Token::Packed ||
           token == Token::Section || token == Token::Visibility || token == Token::TypeKeyword;
}

bool PascalStructure::MattersInInterface(std::string_view word) {
    const Token token = Classify(word);
    return token == Token::Implementation || token == Token::Initialization ||
           token == Token::Begin || token == Token::Record || token == Token::Packed ||
           token == Token::Section || token == Token::Visibility || token == Token::TypeKeyword;
}

bool PascalStructure::MattersInHeader(std::string_view word) {
    return Classify(word) == Token::End;
}

void PascalStructure::Word(Place at, std::string_view word) {
    const Token token = Classify(word);
    if (token == Token::Other)
        OtherToken(at);
    else
        Take(token, at);
    UpdateQuiet();
}

void PascalStructure::Symbol(Place at, char symbol) {
    const Token token = kSymbols[static_cast<unsigned char>(symbol)];
    if (token == Token::Other)
        OtherToken(at);
    else
        Take(token, at);
    UpdateQuiet();
}

void PascalStructure::UpdateQuiet() {
    m_quiet = FindQuiet(m_startNext);
    const Quiet started = m_startNext ? FindQuiet(false) : Quiet::Tokens;
    m_awaitsDeclaration =
        started == Quiet::Members || started == Quiet::Interface || started == Quiet::Header;
}

void PascalStructure::DeclarationAt(Place at) {
    m_declaration = at;
    m_startNext = false;
    UpdateQuiet();
}

PascalStructure::Quiet PascalStructure::FindQuiet(bool startNext) const {
    if (m_inValue) return Quiet::Value;
    if (m_pending != Pending::None || startNext || m_typeAfterEquals ||
        m_previous == Token::Equals || m_previous == Token::Packed)
        return m_skimming ? Quiet::Body : Quiet::Tokens;
    if (m_stack.empty()) return m_interface ? Quiet::Interface : Quiet::Tokens;
    const Frame& top = m_frames[static_cast<std::size_t>(m_stack.back())];
    if (top.kind == Frame::Kind::Type) return Quiet::Members;
    if (top.kind == Frame::Kind::Routine && top.stage == Frame::Stage::Header)
        return top.depth >= 2 ? Quiet::Header : Quiet::Tokens;
    return m_skimming ? Quiet::Body : Quiet::Tokens;
}

inline void PascalStructure::OtherToken(Place at) {
    // Most tokens are names and operators that no place but a header's start reads.
    if (m_pending != Pending::None || (!m_stack.empty() && Top()->kind == Frame::Kind::Routine &&
                                       Top()->stage == Frame::Stage::Header)) {
        Take(Token::Other, at);
        return;
    }
    if (m_startNext) {
        m_declaration = at;
        m_startNext = false;
    }
    m_typeAfterEquals = false;
    m_previous = Token::Other;
    m_inValue = m_valueNext;
    m_valueNext = false;
}

void PascalStructure::Take(Token token, Place at) {
    if (m_startNext) {
        m_declaration = at;
        m_startNext = false;
    }
    if (m_pending == Pending::None || !CheckPendingType(token)) {
        for (;;) {
            Frame* top = Top();
            if (top == nullptr) {
                InDeclarations(token, at);
                break;
            }
            if (top->kind == Frame::Kind::Type) {
                InType(token, at);
                break;
            }
            if (top->kind == Frame::Kind::Block ? InBody(*top, token) : InRoutine(*top, token, at))
                break;
        }
    }
    if (token == Token::Semicolon || token == Token::Equals) m_angles = 0;
    if (token == Token::Less) ++m_angles;
    if (token == Token::Greater && m_angles > 0) --m_angles;
    m_typeAfterEquals = token == Token::TypeKeyword && m_previous == Token::Equals;
    if (token == Token::Semicolon || token == Token::Section || token == Token::Visibility ||
        (token == Token::TypeKeyword && !m_typeAfterEquals))
        m_startNext = true;
    m_previous = token;
    const Frame* top = m_stack.empty() ? nullptr : &m_frames[m_stack.back()];
    m_skimming = m_pending == Pending::None && top != nullptr &&
                 (top->kind == Frame::Kind::Block ||
                  (top->kind == Frame::Kind::Routine && top->stage == Frame::Stage::Body));
    // A var or const section of a unit or routine (not of a type, nor a routine's parameters):
    // after its `=`, a value runs to the `;` at its end, and nothing in it matters.
    const bool declarations = m_pending == Pending::None &&
                              (top == nullptr || (top->kind == Frame::Kind::Routine &&
                                                  top->stage == Frame::Stage::Declarations));
    // A declaration with a type before its `=` is a typed constant or an initialized variable
    // even where no section keyword was seen (a file included into a section).
    // Parameters (of a procedural type) are left out: their `var` and `const` open no section.
    if (declarations && token == Token::LParen) ++m_parens;
    if (declarations && token == Token::RParen && m_parens > 0) --m_parens;
    const bool outside = declarations && m_parens == 0;
    if (token == Token::Section && outside) m_valueSection = true;
    if (token == Token::TypeKeyword) m_valueSection = false;
    if (m_startNext) m_typed = false;
    if (token == Token::Less && outside) m_generic = true;
    if (token == Token::Equals) m_generic = false;
    if (token == Token::Colon && outside && !m_generic) m_typed = true;
    // The value begins with a name, a sign or a parenthesis, never with a type's keyword.
    m_inValue = m_valueNext && declarations && (token == Token::LParen || token == Token::Other);
    m_valueNext = token == Token::Equals && declarations && (m_valueSection || m_typed);
}

bool PascalStructure::CheckPendingType(Token token) {
    const bool none = token == Token::Semicolon || token == Token::Of;
    switch (m_pending) {
        case Pending::AfterKeyword:
            if (token == Token::LParen) {
                m_pending = Pending::InParens;
                m_pendingParens = 1;
                return true;
            }
            break;
        case Pending::InParens:
            if (token == Token::LParen) ++m_pendingParens;
            if (token == Token::RParen && --m_pendingParens == 0) m_pending = Pending::AfterParens;
            return true;
        default:
            break;
    }
    // `class of T`, `TFoo = class;`, `TFoo = class(TBar);`: no body.
    m_pending = Pending::None;
    if (none) {
        Pop(Frame::State::Dropped);
        return true;
    }
    Top()->state = Frame::State::Confirmed;
    return false;
}

void PascalStructure::OpenType(Place) {
    Push(Frame::Kind::Type, m_declaration, Frame::State::Open);
    m_pending = Pending::AfterKeyword;
}

}  // namespace sifter
