// The rows of one Pascal source when the search reads its structure: the routines and type
// declarations each match lies in (their header lines as procedure rows, each once per file,
// outermost first), and only the occurrences that start in the kinds of text asked for.
//
// The scan itself runs as always and only gathers the numbers of its matching lines, so a file
// without one is never read again nor lexed. A file with some is read whole (LineIndex) and
// lexed from its start to its last matching line; a little further when a routine that line
// lies in is not yet known to have a body (see pascal_structure.h), at most to the file's end.

#include <algorithm>

#include "search/lines/line_index.h"
#include "search/pascal/pascal_structure.h"
#include "search/run/file_scanner.h"
#include "search/text/text_rules.h"

namespace sifter {

bool FileScanner::Counts(std::string_view line, const std::vector<PascalKind>& kinds) {
    return FindCounting(m_matcher, line, kinds, m_searchIn).has_value();
}

std::int32_t FileScanner::PascalRows(const std::string& name) {
    const LineIndexResult read = LineIndex::Read(name, m_system);
    if (!read.lines) return read.error;
    const LineIndex& file = *read.lines;
    const std::int64_t count = file.LineCount();
    PascalStructure structure;
    PascalLexer lexer(m_routines ? &structure : nullptr);
    std::vector<PascalKind> kinds;
    const bool allKinds = m_searchIn.All();

    struct Found {
        std::int64_t number = 0;
        std::vector<std::int32_t> frames;  // the routines and types it lies in
    };
    std::vector<Found> found;
    std::int64_t lexed = 0;
    const auto lex = [&](bool keep, std::vector<PascalKind>* into) {
        ++lexed;
        structure.BeginLine(keep);
        lexer.Line(lexed, file.Line(lexed - 1), into);
    };
    for (const std::int64_t number : m_candidates) {
        // A file that changed since the scan may have fewer lines now.
        if (number > count) break;
        while (lexed + 1 < number) lex(false, nullptr);
        lex(m_routines, allKinds ? nullptr : &kinds);
        if (!allKinds && !Counts(file.Line(number - 1), kinds)) continue;
        found.push_back(
            {number, m_routines ? structure.LineFrames() : std::vector<std::int32_t>()});
    }
    if (m_routines) {
        // Frames still open may yet be dropped: read on until every one is settled.
        std::size_t settled = 0;
        for (;;) {
            while (settled < found.size() && structure.Settled(found[settled].frames)) ++settled;
            if (settled == found.size()) break;
            if (lexed == count) {
                structure.End();
                break;
            }
            lex(false, nullptr);
        }
    }

    std::vector<bool> shown;
    std::size_t proc = 0;
    std::int64_t lastProc = 0;
    const auto procsUpTo = [&](std::int64_t limit) {
        for (; proc < m_procLines.size() && m_procLines[proc] <= limit; ++proc) {
            lastProc = m_procLines[proc];
            if (lastProc <= count) AddRow(RowKind::Procedure, lastProc, file.Line(lastProc - 1));
        }
    };
    for (const Found& match : found) {
        procsUpTo(match.number);
        for (const std::int32_t id : match.frames) {
            if (!structure.Shown(id)) continue;
            if (shown.size() <= static_cast<std::size_t>(id)) shown.resize(id + 1);
            if (shown[id]) continue;
            shown[id] = true;
            const std::int64_t header = structure.At(id).line;
            const std::string_view text = file.Line(header - 1);
            // A procedure line the documented rule already listed is not listed twice.
            if (m_includeProcs && header <= lastProc && IsProcLine(text)) continue;
            AddRow(RowKind::Procedure, header, text);
        }
        AddRow(RowKind::Match, match.number, file.Line(match.number - 1));
        ++m_matches;
    }
    procsUpTo(INT64_MAX);
    return 0;
}

}  // namespace sifter
