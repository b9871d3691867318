// PascalStructure's reading of a token in each place it can stand: among declarations (at a
// unit's level or a routine's), inside a type declaration, in a routine's header, directives
// and declarations, and in a body or block of statements.

#include "search/pascal/pascal_structure.h"

namespace sifter {

using Token = PascalStructure::Token;
using Frame = PascalStructure::Frame;
using Place = PascalPlace;

namespace {

bool AfterEquals(Token previous) {
    return previous == Token::Equals || previous == Token::Packed;
}

// Where a routine keyword names a procedural type, a parameter's type or a method reference.
bool TypePlace(Token previous) {
    return previous == Token::Equals || previous == Token::Colon || previous == Token::Comma ||
           previous == Token::LParen || previous == Token::Of || previous == Token::To;
}

}  // namespace

void PascalStructure::InDeclarations(Token token, Place at) {
    switch (token) {
        case Token::Routine:
            if (TypePlace(m_previous) || m_interface) return;
            Push(Frame::Kind::Routine, m_previous == Token::Class ? m_classPlace : at,
                 Frame::State::Open);
            return;
        case Token::Class:
            if (!AfterEquals(m_previous) || m_angles > 0) {
                m_classPlace = at;
                return;
            }
            OpenType(at);
            return;
        case Token::Interface:
            if (m_previous == Token::Equals) {
                OpenType(at);
                return;
            }
            m_interface = true;
            return;
        case Token::Implementation:
            m_interface = false;
            End();
            return;
        case Token::Initialization:
        case Token::Begin:
            // A unit's initialization or a program's main block: no routine of its own.
            m_frames[static_cast<std::size_t>(
                         Push(Frame::Kind::Block, at, Frame::State::Confirmed))]
                .depth = 1;
            return;
        default:
            InType(token, at);
            return;
    }
}

void PascalStructure::InType(Token token, Place at) {
    switch (token) {
        case Token::End:
            if (Top() != nullptr && Top()->kind == Frame::Kind::Type) Pop(Frame::State::Confirmed);
            return;
        case Token::Record:
            if (m_angles == 0) Push(Frame::Kind::Type, m_declaration, Frame::State::Confirmed);
            return;
        case Token::Object:
            if (AfterEquals(m_previous))
                Push(Frame::Kind::Type, m_declaration, Frame::State::Confirmed);
            return;
        case Token::Class:
        case Token::Interface:
        case Token::TypeWord:
            if (AfterEquals(m_previous) && m_angles == 0) OpenType(at);
            return;
        case Token::Helper:
            // `TFoo = type helper for Integer`
            if (m_typeAfterEquals) Push(Frame::Kind::Type, m_declaration, Frame::State::Confirmed);
            return;
        default:
            return;
    }
}

bool PascalStructure::InRoutine(Frame& frame, Token token, Place at) {
    const auto confirm = [&](bool assembler) {
        frame.state = Frame::State::Confirmed;
        frame.stage = Frame::Stage::Body;
        frame.depth = 1;
        frame.assembler = assembler;
        return true;
    };
    const auto drop = [&] {
        Pop(Frame::State::Dropped);
        return false;
    };
    switch (frame.stage) {
        case Frame::Stage::Header:
            // A variable named `operator` (Delphi's modes allow one) is no header; `:=` is the
            // name of an operator.
            ++frame.depth;
            if (frame.depth == 1 && (token == Token::Comma || token == Token::Semicolon))
                return drop();
            if (frame.depth == 1 && token == Token::Colon) frame.colonFirst = true;
            if (frame.depth == 2 && frame.colonFirst && token != Token::Equals) return drop();
            if (token == Token::End) return drop();
            if (token == Token::LParen) ++frame.parens;
            if (token == Token::RParen) --frame.parens;
            if (token == Token::Semicolon && frame.parens <= 0)
                frame.stage = Frame::Stage::Directives;
            return true;
        case Frame::Stage::Directives:
            if (token == Token::Forward) {
                Pop(Frame::State::Dropped);
                return true;
            }
            if (token == Token::Section || token == Token::TypeKeyword || token == Token::Routine ||
                token == Token::Class) {
                frame.stage = Frame::Stage::Declarations;
                InDeclarations(token, at);
                return true;
            }
            [[fallthrough]];
        case Frame::Stage::Declarations:
            switch (token) {
                case Token::Begin:
                    return confirm(false);
                case Token::Asm:
                    return confirm(true);
                case Token::End:
                case Token::Implementation:
                case Token::Initialization:
                    return drop();
                case Token::Interface:
                    if (m_previous != Token::Equals) return drop();
                    break;
                default:
                    break;
            }
            // The directives' words (inline, cdecl, name 'x', [public]) mean nothing here.
            if (frame.stage == Frame::Stage::Declarations) InDeclarations(token, at);
            return true;
        case Frame::Stage::Body:
            return InBody(frame, token);
    }
    return true;
}

bool PascalStructure::InBody(Frame& frame, Token token) {
    if (frame.assembler) {
        if (token != Token::End) return true;
        frame.assembler = false;
    } else if (token == Token::Begin || token == Token::Block) {
        ++frame.depth;
        return true;
    } else if (token == Token::Asm) {
        ++frame.depth;
        frame.assembler = true;
        return true;
    } else if (token != Token::End) {
        return true;
    }
    if (--frame.depth == 0) {
        Pop(Frame::State::Confirmed);
        // What follows a body begins a declaration, as after a `;`: the body's own are passed over.
        m_startNext = true;
    }
    return true;
}

}  // namespace sifter
