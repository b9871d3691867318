// PascalReader's token by token reading of code: a word, a number, a symbol, the opening of a
// comment, directive or string, and the conditions a directive opens or closes.

#include <cstring>

#include "search/pascal/pascal_blocks.h"
#include "search/pascal/pascal_reader.h"

namespace sifter {

using pascal_blocks::IsLetter;
using pascal_blocks::IsWordByte;

void PascalReader::CodeToken(bool tell) {
    const std::size_t at = m_at;
    const char byte = m_data[at];
    const char next = at + 1 < m_data.size() ? m_data[at + 1] : '\0';
    const auto passWord = [&](std::size_t from, bool dollars) {
        if (!dollars) {
            m_at = pascal_blocks::WordEnd(m_data.data(), from, m_data.size());
            return;
        }
        while (from < m_data.size() && (IsWordByte(m_data[from]) || m_data[from] == '$')) ++from;
        m_at = from;
    };
    if (byte == m_lineEnd || byte == ' ' || byte == '\t') {
        PassBlanks();
        return;
    }
    if (IsLetter(byte)) {
        if (tell)
            Word(nullptr);
        else
            passWord(at + 1, false);
        return;
    }
    switch (byte) {
        case '&':
            // `&begin` is an identifier, never the keyword.
            if (IsLetter(next)) {
                passWord(at + 1, false);
                return;
            }
            break;
        case '{':
            OpenComment(State::Brace, 1);
            return;
        case '(':
            if (next == '*') {
                OpenComment(State::Paren, 2);
                return;
            }
            break;
        case '/':
            if (next == '/') {
                // To the line's end, which the next step reads.
                const void* end = std::memchr(m_data.data() + at, m_lineEnd, m_data.size() - at);
                m_at = end != nullptr
                           ? static_cast<std::size_t>(static_cast<const char*>(end) - m_data.data())
                           : m_data.size();
                return;
            }
            break;
        case '\'':
            m_state = State::String;
            m_at = at + 1;
            return;
        case '\r':
            // The CR of an LF file's CR LF belongs to the line end.
            if (m_ends == LineEnds::Lf && next == '\n') {
                m_at = at + 1;
                return;
            }
            break;
        case '$':
        case '#':
        case '%':
            // $FF, #13, #$0A, %101: code that names no keyword.
            passWord(at + 1, true);
            return;
        default:
            if (byte >= '0' && byte <= '9') {
                // A number (digits and letters, so 1e10 and 0x1F stay one): never a word.
                passWord(at + 1, false);
                return;
            }
            break;
    }
    if (tell && static_cast<unsigned char>(byte) < 128) m_structure->Symbol(m_place, byte);
    m_at = at + 1;
}

void PascalReader::PassBlanks() {
    const char* data = m_data.data();
    const std::size_t size = m_data.size();
    std::size_t at = m_at;
    while (at < size) {
        const char byte = data[at];
        if (byte == m_lineEnd) {
            LineEnd(at);
            at = m_at;
            if (m_place.line >= m_target) return;
        } else if (byte == ' ' || byte == '\t' ||
                   (byte == '\r' && m_ends == LineEnds::Lf && at + 1 < size &&
                    data[at + 1] == '\n')) {
            ++at;
        } else {
            break;
        }
    }
    m_at = at;
}

void PascalReader::OpenComment(State state, std::size_t open) {
    const std::size_t at = m_at;
    m_state = state;
    m_directive = at + open < m_data.size() && m_data[at + open] == '$';
    if (m_directive) Condition(at + open + 1);
    m_at = at + open;
}

void PascalReader::Condition(std::size_t at) {
    char name[8];
    std::size_t length = 0;
    while (length < sizeof name && at + length < m_data.size() && IsLetter(m_data[at + length])) {
        name[length] = static_cast<char>(m_data[at + length] | 0x20);
        ++length;
    }
    const std::string_view word(name, length);
    if (word == "if" || word == "ifdef" || word == "ifndef" || word == "ifopt") {
        ++m_conditions;
    } else if (word == "else" || word == "elseif") {
        // The first branch is the one followed; the others are passed over from here.
        if (m_conditions > 0 && m_skipFrom == 0) m_skipFrom = m_conditions;
    } else if ((word == "endif" || word == "ifend") && m_conditions > 0) {
        if (m_skipFrom == m_conditions) m_skipFrom = 0;
        --m_conditions;
    }
}

void PascalReader::Word(bool (*tells)(std::string_view)) {
    const std::size_t start = m_at;
    const std::size_t end = pascal_blocks::WordEnd(m_data.data(), start + 1, m_data.size());
    m_at = end;
    const std::string_view word = m_data.substr(start, end - start);
    if (tells == nullptr || tells(word)) m_structure->Word(m_place, word);
}

}  // namespace sifter
