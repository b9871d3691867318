#include "app/stream_rows.h"

#include "search/text/text_rules.h"

namespace sifter::cli {

StreamRows::StreamRows(OutputStream& out, OutputForm form, const std::vector<std::string>& names,
                       NotRead notRead)
    : m_out(out), m_form(form), m_names(names), m_notRead(std::move(notRead)) {}

void StreamRows::AddRow(const SearchRow& row) {
    if (m_form == OutputForm::Rows) {
        m_out.Write(row.text);
        m_out.Write("\r\n");
        return;
    }
    // The grep forms take only the rows of a file's lines.
    const bool match = row.kind == RowKind::Match;
    if ((!match && row.kind != RowKind::Procedure) || !row.origin.Leads() ||
        static_cast<std::size_t>(row.origin.file) >= m_names.size())
        return;
    const std::string& path = m_names[static_cast<std::size_t>(row.origin.file)];
    if (match) {
        m_countedFile = row.origin.file;
        ++m_count;
    }
    switch (m_form) {
        case OutputForm::Grep:
            m_line.assign(path).append(1, ':');
            AppendDecimal(row.origin.line, m_line);
            m_line.append(1, match ? ':' : '-').append(row.line).append(1, '\n');
            m_out.Write(m_line);
            break;
        case OutputForm::FilesWithMatches:
            if (match && m_count == 1) {
                m_out.Write(path);
                m_out.Write("\n");
            }
            break;
        case OutputForm::Rows:
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
    m_line.assign(m_names[static_cast<std::size_t>(m_countedFile)]).append(1, ':');
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
    return m_out.Flush();
}

}  // namespace sifter::cli
