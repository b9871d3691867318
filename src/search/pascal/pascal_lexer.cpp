#include "search/pascal/pascal_lexer.h"

#include <algorithm>

namespace sifter {
namespace {

void Mark(std::vector<PascalKind>* kinds, std::size_t from, std::size_t to, PascalKind kind) {
    if (kinds != nullptr) std::fill(kinds->begin() + from, kinds->begin() + to, kind);
}

}  // namespace

void PascalLexer::Line(std::string_view line, std::vector<PascalKind>* kinds) {
    if (kinds != nullptr) kinds->assign(line.size(), PascalKind::Code);
    std::size_t at = 0;
    while (at < line.size()) {
        if (m_state == State::Code) {
            at = Code(line, at, kinds);
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
        if (end != std::string_view::npos) {
            m_state = State::Code;
            m_kind = PascalKind::Code;
        }
        at = next;
    }
    // A // comment ends with its line; nothing else does.
}

std::size_t PascalLexer::Code(std::string_view line, std::size_t at,
                              std::vector<PascalKind>* kinds) {
    // Words, numbers, character codes and symbols are all code: only what opens a comment,
    // directive or string changes the kind.
    const std::size_t size = line.size();
    for (; at < size; ++at) {
        const char next = at + 1 < size ? line[at + 1] : '\0';
        switch (line[at]) {
            case '{':
                m_state = State::Brace;
                m_kind = next == '$' ? PascalKind::Directive : PascalKind::Comment;
                Mark(kinds, at, at + 1, m_kind);
                return at + 1;
            case '(':
                if (next != '*') break;
                m_state = State::Paren;
                m_kind = at + 2 < size && line[at + 2] == '$' ? PascalKind::Directive
                                                              : PascalKind::Comment;
                Mark(kinds, at, at + 2, m_kind);
                return at + 2;
            case '/':
                if (next != '/') break;
                Mark(kinds, at, size, PascalKind::Comment);
                return size;
            case '\'':
                m_state = State::String;
                m_kind = PascalKind::String;
                Mark(kinds, at, at + 1, m_kind);
                return at + 1;
            default:
                break;
        }
    }
    return size;
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
        lexer.Line(lines.Line(i), nullptr);
    }
}

std::optional<MatchSpan> PascalKinds::FindFrom(LineMatcher& matcher, std::int64_t index,
                                               std::string_view line, std::size_t from) {
    if (index < 0 || index >= static_cast<std::int64_t>(m_starts.size())) return std::nullopt;
    if (index != m_known) {
        PascalLexer lexer;
        lexer.Restore(m_starts[static_cast<std::size_t>(index)]);
        lexer.Line(line, &m_kinds);
        m_known = index;
    }
    return FindCounting(matcher, line, m_kinds, m_in, from);
}

}  // namespace sifter
