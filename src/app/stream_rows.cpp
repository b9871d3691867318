#include "app/stream_rows.h"

#include <algorithm>
#include <cstring>

#include "search/text/text_rules.h"

namespace sifter::cli {

StreamRows::StreamRows(OutputStream& out, OutputForm form, PathOf pathOf, NotRead notRead,
                       GrepStyle style)
    : m_out(out),
      m_form(form),
      m_pathOf(std::move(pathOf)),
      m_notRead(std::move(notRead)),
      m_style(style) {}

const std::string& StreamRows::FilePath(std::int32_t file) {
    if (file != m_pathFile) {
        m_path = m_pathOf(file);
        m_pathFile = file;
    }
    return m_path;
}

inline void StreamRows::StartLine(const std::string& path, char mark) {
    if (m_style.names)
        m_line.assign(path).append(1, mark);
    else
        m_line.clear();
}

void StreamRows::SeparateGroup(const RowOrigin& origin) {
    // A procedure line that also matches gives two rows of one line.
    const bool touches = origin.file == m_written.file &&
                         (origin.line == m_written.line || origin.line == m_written.line + 1);
    if (m_written.Leads() && !touches) m_out.Write("--\n");
    m_written = origin;
}

void StreamRows::AddRow(const SearchRow& row) {
    if (m_form == OutputForm::Rows) {
        m_out.Write(row.text);
        m_out.Write("\r\n");
        return;
    }
    if (m_form == OutputForm::Quiet) {
        if (row.kind == RowKind::Match) throw FirstMatch{};
        return;
    }
    // The grep forms take only the rows of a file's lines.
    const bool match = row.kind == RowKind::Match;
    const bool context = row.kind == RowKind::Context;
    if ((!match && !context && row.kind != RowKind::Procedure) || !row.origin.Leads()) return;
    const std::string& path = FilePath(row.origin.file);
    if (match) {
        m_countedFile = row.origin.file;
        ++m_count;
    }
    switch (m_form) {
        case OutputForm::Grep: {
            if (m_style.groups) SeparateGroup(row.origin);
            StartLine(path, context ? '-' : ':');
            AppendDecimal(row.origin.line, m_line);
            m_line.append(1, match ? ':' : '-');
            const std::size_t text = m_line.size();
            m_line.append(row.line);
            // Only a line of a file whose lines end in CR can hold an LF.
            if (!row.line.empty() && std::memchr(row.line.data(), '\n', row.line.size()) != nullptr)
                std::replace(m_line.begin() + static_cast<std::ptrdiff_t>(text), m_line.end(), '\n',
                             ' ');
            m_line.append(1, '\n');
            m_out.Write(m_line);
            break;
        }
        case OutputForm::FilesWithMatches:
            if (match && m_count == 1) {
                m_out.Write(path);
                m_out.Write("\n");
            }
            break;
        case OutputForm::Rows:
        case OutputForm::Quiet:
        case OutputForm::Count:
            break;
    }
}

void StreamRows::AddFile(std::string_view) {
    WriteCount();
    m_count = 0;
}

void StreamRows::WriteCount() {
    if (m_form != OutputForm::Count || m_count == 0) return;
    StartLine(FilePath(m_countedFile), ':');
    AppendDecimal(m_count, m_line);
    m_line.append(1, '\n');
    m_out.Write(m_line);
}

void StreamRows::FileNotRead(std::int32_t file, std::int32_t code) {
    // On a terminal the message then stands after the rows the file gave.
    m_out.Flush();
    if (m_notRead) m_notRead(file, code);
}

bool StreamRows::Finish() {
    WriteCount();
    m_count = 0;
    m_written = {};
    return m_out.Flush();
}

}  // namespace sifter::cli
