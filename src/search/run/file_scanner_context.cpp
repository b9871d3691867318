// The rows of one file when the lines around its matches are asked for, as grep's -A, -B and
// -C show them: each line within `before` lines before or `after` lines after a matching line
// gets a row, once, in the file's order. A line that has a row of its own (a match, a
// procedure line) keeps it; every other one gets a context row.
//
// Lines after a match are handed over by the scan whatever they hold (HandEveryLineUntil);
// lines before it were mostly passed over, and are asked of the file (LinesBefore). Procedure
// rows are the one difficulty: one cannot be written when its line is read, as a match a few
// lines further on may still want lines before it, which must come first. It is held until no
// match to come can reach back past it.

#include <algorithm>

#include "search/run/file_scanner.h"

namespace sifter {

void FileScanner::ContextLine(std::int64_t number, std::string_view line, bool procedure,
                              bool match) {
    const std::int64_t before = m_context.before;
    if (match) {
        const std::int64_t first = std::max(m_shown + 1, number - before);
        ShowHeldBefore(first);
        m_reading->LinesBefore(first, number, [this](std::int64_t earlier, std::string_view text) {
            ShowEarlier(earlier, text);
        });
        if (procedure) AddRow(RowKind::Procedure, number, line);
        AddRow(RowKind::Match, number, line);
        ++m_matches;
        m_shown = number;
        m_afterUntil = number + m_context.after;
        m_reading->HandEveryLineUntil(m_afterUntil);
        return;
    }
    if (number <= m_afterUntil) {
        // Right after the match or the context row before it: nothing is held.
        AddRow(procedure ? RowKind::Procedure : RowKind::Context, number, line);
        m_shown = number;
        return;
    }
    // The next match is after this line, and reaches back to `before` lines before it at most.
    ShowHeldBefore(number + 2 - before);
    if (!procedure) return;
    if (before == 0) {
        AddRow(RowKind::Procedure, number, line);
        m_shown = number;
        return;
    }
    m_held.push_back({number, std::string(line)});
}

void FileScanner::ShowHeldBefore(std::int64_t limit) {
    std::size_t shown = 0;
    for (; shown < m_held.size() && m_held[shown].number < limit; ++shown) {
        AddRow(RowKind::Procedure, m_held[shown].number, m_held[shown].line);
        m_shown = m_held[shown].number;
    }
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(shown));
}

void FileScanner::ShowEarlier(std::int64_t number, std::string_view line) {
    const bool held = !m_held.empty() && m_held.front().number == number;
    AddRow(held ? RowKind::Procedure : RowKind::Context, number, line);
    if (held) m_held.erase(m_held.begin());
    m_shown = number;
}

}  // namespace sifter
