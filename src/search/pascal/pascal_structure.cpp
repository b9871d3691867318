#include "search/pascal/pascal_structure.h"

#include <cstring>

namespace sifter {

namespace {

using Token = PascalStructure::Token;
using Frame = PascalStructure::Frame;

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

Token Classify(std::string_view word) {
    if (word.size() < 2 || word.size() > 14) return Token::Other;
    char lower[16];
    for (std::size_t i = 0; i < word.size(); ++i)
        lower[i] = static_cast<char>(word[i] | 0x20);  // letters, digits and _ only
    for (const Keyword& keyword : kKeywords)
        if (keyword.word.size() == word.size() &&
            std::memcmp(keyword.word.data(), lower, word.size()) == 0)
            return keyword.token;
    return Token::Other;
}

}  // namespace

void PascalStructure::BeginLine(bool keep) {
    m_keep = keep;
    if (keep) m_lineFrames = m_stack;
}

bool PascalStructure::Settled(const std::vector<std::int32_t>& frames) const {
    for (const std::int32_t id : frames)
        if (At(id).state == Frame::State::Open) return false;
    return true;
}

std::int32_t PascalStructure::Push(Frame::Kind kind, std::int64_t line, Frame::State state) {
    const auto id = static_cast<std::int32_t>(m_frames.size());
    Frame& frame = m_frames.emplace_back();
    frame.kind = kind;
    frame.line = line;
    frame.state = state;
    m_stack.push_back(id);
    if (m_keep) m_lineFrames.push_back(id);
    return id;
}

void PascalStructure::Pop(Frame::State state) {
    Frame& frame = *Top();
    if (frame.state == Frame::State::Open) frame.state = state;
    m_stack.pop_back();
}

void PascalStructure::End() {
    while (!m_stack.empty()) Pop(Frame::State::Dropped);
    m_pending = Pending::None;
}

void PascalStructure::Word(std::int64_t line, std::string_view word) {
    Take(Classify(word), line);
}

void PascalStructure::Symbol(std::int64_t line, char symbol) {
    Token token = Token::Other;
    switch (symbol) {
        case ';':
            token = Token::Semicolon;
            break;
        case '=':
            token = Token::Equals;
            break;
        case ':':
            token = Token::Colon;
            break;
        case ',':
            token = Token::Comma;
            break;
        case '(':
        case '[':
            token = Token::LParen;
            break;
        case ')':
        case ']':
            token = Token::RParen;
            break;
        case '<':
            token = Token::Less;
            break;
        case '>':
            token = Token::Greater;
            break;
        default:
            break;
    }
    Take(token, line);
}

void PascalStructure::Take(Token token, std::int64_t line) {
    if (m_startNext) {
        m_declaration = line;
        m_startNext = false;
    }
    if (m_pending == Pending::None || !CheckPendingType(token)) {
        for (;;) {
            Frame* top = Top();
            if (top == nullptr) {
                InDeclarations(token, line);
                break;
            }
            if (top->kind == Frame::Kind::Type) {
                InType(token, line);
                break;
            }
            if (top->kind == Frame::Kind::Block ? InBody(*top, token)
                                                : InRoutine(*top, token, line))
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

void PascalStructure::OpenType(std::int64_t) {
    Push(Frame::Kind::Type, m_declaration, Frame::State::Open);
    m_pending = Pending::AfterKeyword;
}

}  // namespace sifter
