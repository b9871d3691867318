// The rows of one Pascal source when the search reads its structure: the routines and type
// declarations each match lies in (their header lines as procedure rows, each once per file,
// outermost first), and only the occurrences that start in the kinds of text asked for.
//
// The scan itself runs as always and only gathers the numbers of its matching lines, so a file
// without one is never read again nor lexed. A file with some is read whole (LineIndex) and
// lexed from its start to its last matching line; a little further when a routine that line
// lies in is not yet known to have a body (see pascal_structure.h), at most to the file's end.

#include <algorithm>
#include <limits>
#include <span>

#include "search/lines/held_file.h"
#include "search/lines/line_index.h"
#include "search/pascal/pascal_reader.h"
#include "search/pascal/pascal_structure.h"
#include "search/run/file_scanner.h"
#include "search/text/text_rules.h"

namespace sifter {

bool FileScanner::Counts(std::string_view line, const std::vector<PascalKind>& kinds) {
    return FindCounting(m_matcher, line, kinds, m_searchIn).has_value();
}

std::int32_t FileScanner::PascalRows(const std::string& name, LineEnds ends) {
    platform::OpenResult opened = m_system.OpenRead(name);
    if (opened.file && opened.file->Kind().kind != platform::HandleKind::CharacterDevice) {
        // Into the memory the thread holds files in, grown once to the largest such file,
        // without an index of its lines.
        const HeldRead held =
            Hold(std::move(opened.file), m_hold, std::numeric_limits<std::size_t>::max());
        if (held.whole) {
            held.file->Release();
            ShowPascalRows(held.bytes, ends);
            return 0;
        }
        if (held.file) held.file->Release();
    } else if (opened.file) {
        opened.file->Release();
    }
    // A file that cannot be held whole (or opened) is read as a line index, which tells why.
    const LineIndexResult read = LineIndex::Read(name, m_system);
    if (!read.lines) return read.error;
    ShowPascalRows(read.lines->Data(), read.lines->Ends());
    return 0;
}

void FileScanner::ShowPascalRows(std::string_view bytes, LineEnds ends) {
    // The data ends at the first Ctrl-Z.
    const std::string_view data = bytes.substr(0, bytes.find(kCtrlZ));
    PascalStructure structure;
    PascalReader reader(data, ends, m_routines ? &structure : nullptr);
    PascalLexer lexer;
    std::vector<PascalKind> kinds;
    const bool allKinds = m_searchIn.All();

    struct Found {
        std::int64_t number = 0;
        std::string_view text;
        std::size_t framesFrom = 0;  // the routines and types it lies in, in `frames`
        std::size_t framesTo = 0;
    };
    std::vector<Found> found;
    std::vector<std::int32_t> frames;
    const auto framesOf = [&](const Found& match) {
        return std::span<const std::int32_t>(frames).subspan(match.framesFrom,
                                                             match.framesTo - match.framesFrom);
    };
    for (const std::int64_t number : m_candidates) {
        // A file that changed since the scan may have fewer lines now.
        if (!reader.ToLine(number) || reader.LineStart() >= data.size()) break;
        const std::uint8_t open = reader.Saved();
        const std::string_view text = PascalReader::LineText(data, ends, reader.LineStart());
        structure.BeginLine(m_routines);
        reader.ToLine(number + 1);
        structure.BeginLine(false);
        if (!allKinds) {
            lexer.Restore(open);
            lexer.Line(text, &kinds);
            if (!Counts(text, kinds)) continue;
        }
        const std::size_t from = frames.size();
        if (m_routines)
            frames.insert(frames.end(), structure.LineFrames().begin(),
                          structure.LineFrames().end());
        found.push_back({number, text, from, frames.size()});
    }
    if (m_routines) {
        // Frames still open may yet be dropped: read on until every one is settled, in steps
        // that grow, as reading further than needed changes nothing.
        std::size_t settled = 0;
        std::int64_t step = 1;
        for (;;) {
            while (settled < found.size() && structure.Settled(framesOf(found[settled]))) ++settled;
            if (settled == found.size()) break;
            if (!reader.ToLine(reader.Line() + step)) {
                structure.End();
                break;
            }
            step = std::min<std::int64_t>(2 * step, 1 << 16);
        }
    }

    std::vector<bool> shown;
    std::size_t proc = 0;
    std::int64_t lastProc = 0;
    const auto procsUpTo = [&](std::int64_t limit) {
        for (; proc < m_procLines.size() && m_procLines[proc].number <= limit; ++proc) {
            lastProc = m_procLines[proc].number;
            AddRow(RowKind::Procedure, lastProc, m_procLines[proc].line);
        }
    };
    for (const Found& match : found) {
        procsUpTo(match.number);
        for (const std::int32_t id : framesOf(match)) {
            if (!structure.Shown(id)) continue;
            if (shown.size() <= static_cast<std::size_t>(id)) shown.resize(id + 1);
            if (shown[id]) continue;
            shown[id] = true;
            const PascalPlace header = structure.At(id).place;
            const std::string_view text =
                header.line >= 1 ? PascalReader::LineText(data, ends, header.start) : "";
            // A procedure line the documented rule already listed is not listed twice.
            if (m_includeProcs && header.line <= lastProc && IsProcLine(text)) continue;
            AddRow(RowKind::Procedure, header.line, text);
        }
        AddRow(RowKind::Match, match.number, match.text);
        ++m_matches;
    }
    procsUpTo(INT64_MAX);
}

}  // namespace sifter
