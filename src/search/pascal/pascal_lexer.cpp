#include "search/pascal/pascal_lexer.h"

#include <algorithm>
#include <array>

#include "search/pascal/pascal_structure.h"

namespace sifter {
namespace {

// What a byte is to code: the start of a word, a part of one (a digit), a blank, or something
// else.
enum ByteClass : std::uint8_t { kOther = 0, kLetter = 1, kDigit = 2, kBlank = 4 };

constexpr std::array<std::uint8_t, 256> MakeClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 'a'; c <= 'z'; ++c) classes[c] = classes[c - 32] = kLetter;
    classes['_'] = kLetter;
    for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
    classes[' '] = classes['\t'] = kBlank;
    return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

std::uint8_t ClassOf(char byte) {
    return kClasses[static_cast<unsigned char>(byte)];
}

bool IsWordStart(unsigned char byte) {
    return kClasses[byte] == kLetter;
}

bool IsWordPart(unsigned char byte) {
    return kClasses[byte] == kLetter || kClasses[byte] == kDigit;
}

void Mark(std::vector<PascalKind>* kinds, std::size_t from, std::size_t to, PascalKind kind) {
    if (kinds != nullptr) std::fill(kinds->begin() + from, kinds->begin() + to, kind);
}

}  // namespace

void PascalLexer::Line(std::int64_t number, std::string_view line, std::vector<PascalKind>* kinds) {
    if (kinds != nullptr) kinds->assign(line.size(), PascalKind::Code);
    std::size_t at = 0;
    while (at < line.size()) {
        if (m_state == State::Code) {
            at = Code(number, line, at, kinds);
            continue;
        }
        // Inside a comment, directive or string: find where it closes.
        std::size_t end = std::string_view::npos;
        std::size_t next = line.size();
        if (m_state == State::Brace) {
            end = line.find('}', at);
            if (end != std::string_view::npos) next = end + 1;
        } else if (m_state == State::Paren) {
            end = line.find("*)", at);
            if (end != std::string_view::npos) next = end + 2;
        } else {
            // A string: '' is a quote inside it.
            for (std::size_t quote = line.find('\'', at); quote != std::string_view::npos;
                 quote = line.find('\'', quote + 2)) {
                if (quote + 1 < line.size() && line[quote + 1] == '\'') continue;
                end = quote;
                next = quote + 1;
                break;
            }
        }
        Mark(kinds, at, next, m_kind);
        if (end != std::string_view::npos) m_state = State::Code;
        at = next;
    }
    // A // comment ends with its line; nothing else does.
}

void PascalLexer::Condition(std::string_view directive) {
    std::size_t length = 0;
    while (length < directive.size() && length < 8 && IsWordStart(directive[length])) ++length;
    char name[8];
    for (std::size_t i = 0; i < length; ++i) name[i] = static_cast<char>(directive[i] | 0x20);
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

std::size_t PascalLexer::Code(std::int64_t number, std::string_view line, std::size_t at,
                              std::vector<PascalKind>* kinds) {
    const std::size_t size = line.size();
    while (at < size) {
        if (m_structure != nullptr && m_skipFrom == 0 && m_structure->Skimming()) {
            at = Skim(number, line, at);
            if (at == size) break;
        }
        const auto byte = static_cast<unsigned char>(line[at]);
        const std::uint8_t kind = ClassOf(line[at]);
        if (kind == kBlank) {
            ++at;
            continue;
        }
        if (kind == kLetter) {
            const std::size_t start = at;
            ++at;
            while (at < size && (ClassOf(line[at]) & (kLetter | kDigit)) != 0) ++at;
            if (m_structure != nullptr && m_skipFrom == 0 &&
                (!m_structure->Skimming() ||
                 PascalStructure::MayOpenOrClose(line.substr(start, at - start))))
                m_structure->Word(number, line.substr(start, at - start));
            continue;
        }
        if ((byte == '&' && at + 1 < size &&
             IsWordStart(static_cast<unsigned char>(line[at + 1])))) {
            // A word; `&begin` is an identifier, never the keyword.
            const std::size_t start = at;
            ++at;
            while (at < size && IsWordPart(static_cast<unsigned char>(line[at]))) ++at;
            if (m_structure != nullptr && m_skipFrom == 0 && byte != '&')
                m_structure->Word(number, line.substr(start, at - start));
            continue;
        }
        switch (byte) {
            case '{':
                m_state = State::Brace;
                m_kind = at + 1 < size && line[at + 1] == '$' ? PascalKind::Directive
                                                              : PascalKind::Comment;
                if (m_kind == PascalKind::Directive) Condition(line.substr(at + 2));
                Mark(kinds, at, at + 1, m_kind);
                return at + 1;
            case '(':
                if (at + 1 < size && line[at + 1] == '*') {
                    m_state = State::Paren;
                    m_kind = at + 2 < size && line[at + 2] == '$' ? PascalKind::Directive
                                                                  : PascalKind::Comment;
                    if (m_kind == PascalKind::Directive) Condition(line.substr(at + 3));
                    Mark(kinds, at, at + 2, m_kind);
                    return at + 2;
                }
                break;
            case '/':
                if (at + 1 < size && line[at + 1] == '/') {
                    Mark(kinds, at, size, PascalKind::Comment);
                    return size;
                }
                break;
            case '\'':
                m_state = State::String;
                m_kind = PascalKind::String;
                Mark(kinds, at, at + 1, m_kind);
                return at + 1;
            default:
                if (byte >= '0' && byte <= '9') {
                    // A number (digits and letters, so 1e10 and 0x1F stay one): never a word.
                    while (at < size && IsWordPart(static_cast<unsigned char>(line[at]))) ++at;
                    continue;
                }
                if (byte == '$' || byte == '#' || byte == '%') {
                    // $FF, #13, #$0A, %101: code that names no keyword.
                    ++at;
                    while (at < size &&
                           (IsWordPart(static_cast<unsigned char>(line[at])) || line[at] == '$'))
                        ++at;
                    continue;
                }
                break;
        }
        if (m_structure != nullptr && m_skipFrom == 0 && byte < 128 && !m_structure->Skimming())
            m_structure->Symbol(number, line[at]);
        ++at;
    }
    return at;
}

std::optional<MatchSpan> FindCounting(LineMatcher& matcher, std::string_view line,
                                      const std::vector<PascalKind>& kinds, SearchIn in,
                                      std::size_t from) {
    for (std::optional<MatchSpan> span = matcher.FindFrom(line, from); span;
         span = matcher.FindFrom(line, span->offset + 1)) {
        if (line.empty()) return in.code ? span : std::nullopt;
        if (in.Has(kinds[std::min(span->offset, line.size() - 1)])) return span;
        if (span->offset >= line.size()) break;
    }
    return std::nullopt;
}

PascalKinds::PascalKinds(const LineIndex& lines, SearchIn in) : m_in(in) {
    PascalLexer lexer;
    m_starts.reserve(static_cast<std::size_t>(lines.LineCount()));
    for (std::int64_t i = 0; i < lines.LineCount(); ++i) {
        m_starts.push_back(lexer.Saved());
        lexer.Line(i + 1, lines.Line(i), nullptr);
    }
}

std::optional<MatchSpan> PascalKinds::FindFrom(LineMatcher& matcher, std::int64_t index,
                                               std::string_view line, std::size_t from) {
    if (index < 0 || index >= static_cast<std::int64_t>(m_starts.size())) return std::nullopt;
    if (index != m_known) {
        PascalLexer lexer;
        lexer.Restore(m_starts[static_cast<std::size_t>(index)]);
        lexer.Line(index + 1, line, &m_kinds);
        m_known = index;
    }
    return FindCounting(matcher, line, m_kinds, m_in, from);
}

}  // namespace sifter
