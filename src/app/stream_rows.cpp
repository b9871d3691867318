#include "app/stream_rows.h"

#include "search/text/text_rules.h"

namespace sifter::cli {

StreamRows::StreamRows(OutputStream& out, OutputForm form, const std::vector<std::string>& names,
                       NotRead notRead)
    : m_out(out), m_form(form), m_names(names), m_notRead(std::move(notRead)) {}

void StreamRows::AddRow(std::string_view text, EntryIcon icon, RowOrigin origin) {
    if (m_form == OutputForm::Rows) {
        m_out.Write(text);
        m_out.Write("\r\n");
        return;
    }
    // The grep forms take only the rows of a file's lines: a match row "[LINE] TEXT" and a
    // procedure row " TEXT". Headings lead to their file too, but carry the File icon.
    const bool match = icon == EntryIcon::Blank;
    if ((!match && icon != EntryIcon::Procedure) || !origin.Leads() ||
        static_cast<std::size_t>(origin.file) >= m_names.size())
        return;
    const std::string& path = m_names[static_cast<std::size_t>(origin.file)];
    if (match) {
        m_countedFile = origin.file;
        ++m_count;
    }
    switch (m_form) {
        case OutputForm::Grep: {
            m_line.assign(path).append(1, ':');
            const std::size_t digits = m_line.size();
            AppendDecimal(origin.line, m_line);
            // "[", the line number, "] " before a match's line; one blank before a procedure's.
            const std::size_t prefix = match ? m_line.size() - digits + 3 : 1;
            if (text.size() < prefix) return;
            m_line.append(1, match ? ':' : '-').append(text.substr(prefix)).append(1, '\n');
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
