#include "search/text/text_matcher.h"

#include "search/text/scan_keys.h"
#include "search/text/windows1252.h"

namespace sifter {

TextMatcher::TextMatcher(std::string_view text, MatchRules rules)
    : m_ignoreCase(!rules.caseSensitive), m_wholeWords(rules.wholeWords) {
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
    for (const TextFinder& finder : m_finders) {
        const std::size_t at = m_wholeWords ? finder.FindWord(compared, 0) : finder.Find(compared);
        if (at != std::string_view::npos) return true;
    }
    return false;
}

std::optional<MatchSpan> TextMatcher::FindFrom(std::string_view line, std::size_t from) {
    if (m_finders.empty() || from >= line.size()) return std::nullopt;
    // Upper-casing keeps every byte in its place, so offsets in the rest are offsets in the line.
    // Whole words look at the byte before the rest too; it is a word byte in either case.
    const std::size_t before = m_wholeWords ? from : 0;
    const std::string_view compared = Compared(line.substr(from - before));
    std::optional<MatchSpan> earliest;
    for (std::size_t i = 0; i < m_finders.size(); ++i) {
        const std::size_t at =
            m_wholeWords ? m_finders[i].FindWord(compared, before) : m_finders[i].Find(compared);
        if (at == std::string_view::npos) continue;
        const MatchSpan span{from - before + at, m_forms[i].size()};
        if (!earliest || span.offset < earliest->offset ||
            (span.offset == earliest->offset && span.length > earliest->length))
            earliest = span;
    }
    return earliest;
}

LineKeys TextMatcher::Keys() const {
    LineKeys keys = KeysForForms(m_forms, m_ignoreCase);
    keys.wholeWords = m_wholeWords;
    return keys;
}

}  // namespace sifter
