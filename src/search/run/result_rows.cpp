#include "search/run/result_rows.h"

#include <cstring>

namespace sifter {

void ResultRows::AddFile(std::string_view path) {
    m_files.emplace_back(path);
}

void ResultRows::AddRow(std::string_view text, RowKind kind, RowOrigin origin) {
    const bool leads = origin.Leads() && origin.file < RowOrigin::kFileLimit;
    m_rows.push_back(Row{m_bytes.size(), static_cast<std::uint8_t>(kind), text.size(),
                         leads ? static_cast<std::uint64_t>(origin.file) + 1 : 0,
                         leads ? origin.line : 0});
    m_bytes.append(text);
}

void ResultRows::Clear() {
    // Give the memory back: the previous list may have been very large.
    std::vector<Row>().swap(m_rows);
    std::string().swap(m_bytes);
    std::vector<std::string>().swap(m_files);
}

void ResultRows::ShrinkToFit() {
    m_rows.shrink_to_fit();
    m_bytes.shrink_to_fit();
    m_files.shrink_to_fit();
}

std::string_view ResultRows::Text(std::size_t row) const {
    const Row& r = m_rows[row];
    return std::string_view(m_bytes.data() + r.offset, r.length);
}

RowOrigin ResultRows::Origin(std::size_t row) const {
    const Row& r = m_rows[row];
    if (r.file == 0) return {};
    return {static_cast<std::int32_t>(r.file - 1), r.line};
}

std::string_view ResultRows::Line(std::size_t row) const {
    const Row& r = m_rows[row];
    if (r.file == 0) return {};
    // " " before a procedure's line; "[", the number, "] " before a match's.
    std::size_t prefix = 1;
    if (static_cast<RowKind>(r.kind) == RowKind::Match) {
        prefix = 3;
        for (std::int64_t n = r.line; n >= 10; n /= 10) ++prefix;
        ++prefix;
    } else if (static_cast<RowKind>(r.kind) != RowKind::Procedure) {
        return {};
    }
    const std::string_view text = Text(row);
    return prefix <= text.size() ? text.substr(prefix) : std::string_view();
}

std::string_view ResultRows::FilePath(std::int32_t file) const {
    if (file < 0 || static_cast<std::size_t>(file) >= m_files.size()) return {};
    return m_files[static_cast<std::size_t>(file)];
}

void ResultRows::RemoveRows(const std::vector<bool>& remove) {
    std::size_t keptRows = 0;
    std::uint64_t keptBytes = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (i < remove.size() && remove[i]) continue;
        Row row = m_rows[i];
        // Rows only move towards the front, so the bytes can be moved in place.
        if (row.offset != keptBytes)
            std::memmove(m_bytes.data() + keptBytes, m_bytes.data() + row.offset, row.length);
        row.offset = keptBytes;
        keptBytes += row.length;
        m_rows[keptRows++] = row;
    }
    m_rows.resize(keptRows);
    m_bytes.resize(keptBytes);
}

void ResultRows::CopyRow(const ResultRows& from, std::size_t row) {
    Row copy = from.m_rows[row];
    copy.offset = m_bytes.size();
    m_bytes.append(from.Text(row));
    m_rows.push_back(copy);
}

ResultRows::Removed ResultRows::TakeRows(const std::vector<bool>& remove) {
    Removed removed;
    for (std::size_t i = 0; i < m_rows.size() && i < remove.size(); ++i) {
        if (!remove[i]) continue;
        removed.rows.CopyRow(*this, i);
        if (!removed.runs.empty() && removed.runs.back().first + removed.runs.back().count == i)
            ++removed.runs.back().count;
        else
            removed.runs.push_back({i, 1});
    }
    RemoveRows(remove);
    return removed;
}

void ResultRows::PutBack(const Removed& removed) {
    // Built anew in list order: the kept rows move apart to let the others in, and one pass
    // that copies every row is simpler than moving the store's bytes around in place.
    ResultRows merged;
    merged.m_rows.reserve(m_rows.size() + removed.rows.size());
    merged.m_bytes.reserve(m_bytes.size() + removed.rows.m_bytes.size());
    std::size_t kept = 0;
    std::size_t back = 0;
    for (const Removed::Run& run : removed.runs) {
        while (merged.size() < run.first && kept < size()) merged.CopyRow(*this, kept++);
        for (std::size_t i = 0; i < run.count && back < removed.rows.size(); ++i)
            merged.CopyRow(removed.rows, back++);
    }
    while (kept < size()) merged.CopyRow(*this, kept++);
    m_rows.swap(merged.m_rows);
    m_bytes.swap(merged.m_bytes);
}

}  // namespace sifter
