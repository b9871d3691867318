#include "search/run/matched_files.h"

#include <limits>
#include <string>

namespace sifter {

MatchedFilesOnly::MatchedFilesOnly(RowSink& rows)
    : m_rows(rows),
      // Held until the file's first match row decides; never handed over before.
      m_held([this](std::string&& block) { HeldRows::Replay(block, m_rows); },
             std::numeric_limits<std::size_t>::max()) {}

void MatchedFilesOnly::AddFile(std::string_view path) {
    // The file before ended without a match row.
    m_held.Drop();
    m_holding = true;
    m_rows.AddFile(path);
}

void MatchedFilesOnly::AddRow(const SearchRow& row) {
    if (!m_holding) {
        m_rows.AddRow(row);
        return;
    }
    switch (row.kind) {
        case RowKind::Match:
            m_holding = false;
            m_held.Flush();
            m_rows.AddRow(row);
            return;
        case RowKind::Message:
        case RowKind::Banner:
            // Words on the search come between files: the one held has ended without a match.
            m_held.Drop();
            m_holding = false;
            m_rows.AddRow(row);
            return;
        case RowKind::Heading:
        case RowKind::File:
        case RowKind::Procedure:
        case RowKind::Context:  // a line before the first match, wanted only if it comes

            m_held.AddRow(row);
            return;
    }
}

void MatchedFilesOnly::FileNotRead(std::int32_t file, std::int32_t code) {
    // The file's own rows are over; whether they are shown is decided all the same.
    m_rows.FileNotRead(file, code);
}

}  // namespace sifter
