#include "search/text/text_matcher.h"

#include "search/text/scan_keys.h"
#include "search/text/windows1252.h"

namespace sifter {

TextMatcher::TextMatcher(std::string_view text, bool caseSensitive) : m_ignoreCase(!caseSensitive) {
    if (text.empty()) return;
    m_forms.emplace_back(text);
    if (std::optional<std::string> legacy = Windows1252Form(text))
        m_forms.push_back(std::move(*legacy));
    for (std::string& form : m_forms) {
        if (m_ignoreCase) form = AsciiUpper(form);
        m_finders.emplace_back(form);
    }
}

std::string_view TextMatcher::Compared(std::string_view line) {
    if (!m_ignoreCase) return line;
    AsciiUpperInto(line, m_upper);
    return m_upper;
}

bool TextMatcher::Matches(std::string_view line) {
    if (m_finders.empty()) return false;
    const std::string_view compared = Compared(line);
    for (const TextFinder& finder : m_finders)
        if (finder.FoundIn(compared)) return true;
    return false;
}

std::optional<MatchSpan> TextMatcher::FindFrom(std::string_view line, std::size_t from) {
    if (m_finders.empty() || from >= line.size()) return std::nullopt;
    // Upper-casing keeps every byte in its place, so offsets in the rest are offsets in the line.
    const std::string_view rest = Compared(line.substr(from));
    std::optional<MatchSpan> earliest;
    for (std::size_t i = 0; i < m_finders.size(); ++i) {
        const std::size_t at = m_finders[i].Find(rest);
        if (at == std::string_view::npos) continue;
        const MatchSpan span{from + at, m_forms[i].size()};
        if (!earliest || span.offset < earliest->offset ||
            (span.offset == earliest->offset && span.length > earliest->length))
            earliest = span;
    }
    return earliest;
}

LineKeys TextMatcher::Keys() const {
    return KeysForForms(m_forms, m_ignoreCase);
}

}  // namespace sifter
