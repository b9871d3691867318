#include "search/pascal/pascal_reader.h"

#include <bit>
#include <cstring>
#include <tuple>

#include "search/pascal/pascal_blocks.h"
#include "search/pascal/pascal_lexer.h"
#include "search/simd/stop_finder_piece.h"

namespace sifter {

using pascal_blocks::IsWordByte;
using pascal_blocks::kBlock;
using pascal_blocks::Look;
using pascal_blocks::MarkBlock;
using pascal_blocks::Marks;

PascalReader::PascalReader(std::string_view data, LineEnds ends, PascalStructure* structure,
                           Pass pass)
    : m_everyToken(pass == Pass::EveryToken),
      m_data(data),
      m_ends(ends == LineEnds::Undecided ? LineEnds::Cr : ends),
      m_lineEnd(LineEndByte(m_ends)),
      m_structure(structure) {}

std::uint8_t PascalReader::Saved() const {
    // As PascalLexer keeps it: its state, and the kind of what is open.
    PascalKind kind = PascalKind::Code;
    if (m_state == State::String) kind = PascalKind::String;
    if (m_state == State::Brace || m_state == State::Paren)
        kind = m_directive ? PascalKind::Directive : PascalKind::Comment;
    return static_cast<std::uint8_t>(static_cast<unsigned>(m_state) |
                                     (static_cast<unsigned>(kind) << 4));
}

std::string_view PascalReader::LineText(std::string_view data, LineEnds ends, std::size_t start) {
    if (start >= data.size()) return {};
    const std::size_t stop = LineStop(data.data(), start, data.size(), ends);
    const std::string_view bytes = data.substr(start, stop - start);
    // A last line without a line end keeps every byte it has.
    return stop < data.size() ? sifter::LineText(bytes, ends) : bytes;
}

bool PascalReader::ToLine(std::int64_t number) {
    m_target = number;
    while (m_place.line < number) {
        if (AtEnd()) return false;
        if (m_state == State::Code)
            CodeStep();
        else
            CloseStep();
    }
    return true;
}

void PascalReader::LineEnd(std::size_t at) {
    ++m_place.line;
    std::size_t next = at + 1;
    if (m_ends == LineEnds::Cr && next < m_data.size() && m_data[next] == '\n') ++next;
    m_place.start = next;
    m_at = next;
}

template <class MarksOf>
bool PascalReader::Seek(Look look, MarksOf marksOf) {
    const std::size_t size = m_data.size();
    char tail[2 * kBlock];
    while (m_at < size) {
        std::size_t base = m_at;
        std::uint64_t stops = 0;
        std::uint64_t ends = 0;
        if (look == m_block.look && m_at >= m_block.base && m_at - m_block.base < kBlock) {
            // Where stops come thick, the block of the last one is not looked at again.
            base = m_block.base;
            const std::uint64_t from = ~std::uint64_t{0} << (m_at - base);
            stops = m_block.stops & from;
            ends = m_block.ends & from;
        } else {
            const char* block = m_data.data() + base;
            // A block and the byte after it are looked at: the last ones in a copy padded with
            // bytes that mark nothing.
            if (size - base <= kBlock) {
                std::memcpy(tail, block, size - base);
                std::memset(tail + (size - base), 0, sizeof tail - (size - base));
                block = tail;
            }
            std::tie(stops, ends) = marksOf(block, base);
            m_block = {look, base, stops, ends};
        }
        const std::uint64_t before = stops != 0 ? ends & ((stops & (0 - stops)) - 1) : ends;
        if (before != 0) {
            const auto count = static_cast<std::int64_t>(piece::Count(before));
            if (m_place.line + count >= m_target) {
                std::uint64_t nth = before;
                for (std::int64_t k = m_target - m_place.line; k > 1; --k) nth &= nth - 1;
                m_place.line = m_target - 1;
                LineEnd(base + static_cast<std::size_t>(std::countr_zero(nth)));
                return false;
            }
            m_place.line += count - 1;
            LineEnd(base + 63 - static_cast<std::size_t>(std::countl_zero(before)));
        }
        if (stops != 0) {
            m_at = base + static_cast<std::size_t>(std::countr_zero(stops));
            return true;
        }
        m_at = std::max(m_at, base + kBlock);
    }
    m_at = size;
    return false;
}

void PascalReader::CodeStep() {
    using Quiet = PascalStructure::Quiet;
    const bool structured = m_structure != nullptr && m_skipFrom == 0;
    if (structured && m_everyToken) {
        CodeToken(true);
        return;
    }
    if (structured) {
        switch (m_structure->quiet()) {
            case Quiet::Tokens:
                if (m_structure->AwaitsDeclaration()) {
                    // Mostly blanks come first, then a name: its place is all that is asked.
                    PassBlanks();
                    if (AtEnd() || m_place.line >= m_target) return;
                    if (pascal_blocks::IsLetter(m_data[m_at])) {
                        m_structure->DeclarationAt(m_place);
                        return;
                    }
                }
                while (m_state == State::Code && m_place.line < m_target && !AtEnd() &&
                       m_skipFrom == 0 && m_structure->quiet() == Quiet::Tokens)
                    CodeToken(true);
                return;
            case Quiet::Value:
                ValueStep();
                return;
            case Quiet::Members:
                QuietStep<Look::Members>(&PascalStructure::MattersAmongMembers);
                return;
            case Quiet::Interface:
                QuietStep<Look::Interface>(&PascalStructure::MattersInInterface);
                return;
            case Quiet::Header:
                QuietStep<Look::Header>(&PascalStructure::MattersInHeader);
                return;
            case Quiet::Body:
                break;
        }
    }
    // In a body, only the words that open and close blocks; elsewhere (no structure, or a later
    // branch of conditional code) no word at all.
    bool found = false;
    if (structured) {
        found = Seek(Look::Words, [&](const char* block, std::size_t base) {
            const Marks marks = MarkBlock<Look::Words>(block, m_lineEnd);
            const std::uint64_t carry = base > 0 && IsWordByte(m_data[base - 1]) ? 1 : 0;
            const std::uint64_t starts = marks.words & ~((marks.words << 1) | carry);
            return std::pair{marks.opens | (starts & marks.openers), marks.ends};
        });
    } else {
        found = Seek(Look::Opens, [&](const char* block, std::size_t) {
            const Marks marks = MarkBlock<Look::Opens>(block, m_lineEnd);
            return std::pair{marks.opens, marks.ends};
        });
    }
    if (!found) return;
    if (structured && IsWordByte(m_data[m_at]))
        Word(&PascalStructure::MayOpenOrClose);
    else
        CodeToken(false);
}

template <Look kLook>
void PascalReader::QuietStep(bool (*tells)(std::string_view)) {
    if (!Seek(kLook, [&](const char* block, std::size_t base) {
            const Marks marks = MarkBlock<kLook>(block, m_lineEnd);
            const std::uint64_t carry = base > 0 && IsWordByte(m_data[base - 1]) ? 1 : 0;
            const std::uint64_t starts = marks.words & ~((marks.words << 1) | carry);
            return std::pair{marks.opens | marks.equal | (starts & marks.openers), marks.ends};
        }))
        return;
    if (IsWordByte(m_data[m_at]))
        Word(tells);
    else
        CodeToken(true);
}

void PascalReader::ValueStep() {
    if (!Seek(Look::Value, [&](const char* block, std::size_t) {
            const Marks marks = MarkBlock<Look::Value>(block, m_lineEnd);
            return std::pair{marks.opens | marks.equal, marks.ends};
        }))
        return;
    const char byte = m_data[m_at];
    const char next = m_at + 1 < m_data.size() ? m_data[m_at + 1] : '\0';
    if (byte == ';' && m_valueDepth <= 0) {
        m_valueDepth = 0;
        CodeToken(true);
    } else if (byte == ';' || (byte == '(' && next == '*') ||
               (byte != '(' && byte != ')' && byte != '[' && byte != ']')) {
        CodeToken(false);
    } else if (byte == '(' || byte == '[') {
        ++m_valueDepth;
        ++m_at;
    } else {
        --m_valueDepth;
        ++m_at;
    }
}

void PascalReader::CloseStep() {
    const char closer = m_state == State::Brace ? '}' : m_state == State::Paren ? '*' : '\'';
    const Look look = m_state == State::Brace   ? Look::Brace
                      : m_state == State::Paren ? Look::Paren
                                                : Look::String;
    while (Seek(look, [&](const char* block, std::size_t) {
        const Marks marks = MarkBlock<Look::Equal>(block, m_lineEnd, closer);
        return std::pair{marks.equal, marks.ends};
    })) {
        const std::size_t at = m_at;
        const bool hasNext = at + 1 < m_data.size();
        if (m_state == State::Paren && !(hasNext && m_data[at + 1] == ')')) {
            m_at = at + 1;
            continue;
        }
        if (m_state == State::String && hasNext && m_data[at + 1] == '\'') {
            // '' is a quote inside the string.
            m_at = at + 2;
            continue;
        }
        m_at = at + (m_state == State::Paren ? 2 : 1);
        m_state = State::Code;
        return;
    }
}

}  // namespace sifter
