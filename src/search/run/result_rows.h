#pragma once
// The rows of one result list, kept compactly: all texts in one byte store and a small
// fixed-size record per row, so a million rows cost their bytes plus 24 bytes each. A row
// also knows where it came from (a file of the search and a line), so that it can lead back to
// that line without its text being parsed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sifter {

// The picture a row carries.
enum class EntryIcon : std::uint8_t { Banner, File, Procedure, Blank };

// One row: its bytes and its picture.
struct ResultEntry {
    std::string text;
    EntryIcon icon = EntryIcon::Blank;
    friend bool operator==(const ResultEntry&, const ResultEntry&) = default;
};

// Where a row leads: a file of the search, numbered from 0 in the order the sink was told of
// the files, and a line of it from 1. Headings without a file, and blank rows, lead nowhere.
struct RowOrigin {
    static constexpr std::int32_t kNoFile = -1;
    // Rows keep the numbers of this many files; rows of files after them lead nowhere.
    static constexpr std::int32_t kFileLimit = (1 << 24) - 1;
    std::int32_t file = kNoFile;
    std::int64_t line = 0;
    bool Leads() const { return file != kNoFile; }
    friend bool operator==(const RowOrigin&, const RowOrigin&) = default;
};

// Where the rows of a search go as they are made. Each file's rows follow the call that names
// the file, so a search may gather one file's rows apart and hand them over later, in order.
class RowSink {
public:
    virtual ~RowSink() = default;
    // The next file of the search, by the path it can be opened under from anywhere.
    virtual void AddFile(std::string_view path) = 0;
    virtual void AddRow(std::string_view text, EntryIcon icon, RowOrigin origin) = 0;
    // File `file` (numbered as the rows' origins) could not be opened, or not read to its end:
    // `code` is the program's code for why (IoErrorMessage words it). It comes after the rows
    // the file gave and before the next file is named. A list of rows has no place for it.
    virtual void FileNotRead(std::int32_t /*file*/, std::int32_t /*code*/) {}
};

class ResultRows final : public RowSink {
public:
    void AddFile(std::string_view path) override;
    void AddRow(std::string_view text, EntryIcon icon, RowOrigin origin) override;
    // A row that leads nowhere.
    void AddRow(std::string_view text, EntryIcon icon) { AddRow(text, icon, RowOrigin{}); }
    void Clear();
    // Gives back what the stores hold beyond the rows (they grow in steps while rows are added).
    void ShrinkToFit();
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    std::string_view Text(std::size_t row) const;
    EntryIcon Icon(std::size_t row) const { return static_cast<EntryIcon>(m_rows[row].icon); }
    ResultEntry Entry(std::size_t row) const { return {std::string(Text(row)), Icon(row)}; }
    RowOrigin Origin(std::size_t row) const;
    // The path of a file that rows lead to; empty for a number no file was given.
    std::string_view FilePath(std::int32_t file) const;
    std::size_t FileCount() const { return m_files.size(); }
    // Removes every row whose flag is set, in one pass over the store; `remove` has one flag
    // per row. The files stay: the rows kept still lead to theirs.
    void RemoveRows(const std::vector<bool>& remove);
    // The same, handing the removed rows back with the places they held.
    struct Removed;
    Removed TakeRows(const std::vector<bool>& remove);
    // Puts rows taken by the last TakeRows not yet undone back at their places, with their
    // icons and origins; the rows around them are those that were kept.
    void PutBack(const Removed& removed);

private:
    struct Row {
        std::uint64_t offset : 56;  // into m_bytes
        std::uint64_t icon : 8;     // EntryIcon
        std::uint64_t length : 40;  // a row of a terabyte would not fit in memory anyway
        std::uint64_t file : 24;    // the file's number + 1; 0 for a row that leads nowhere
        std::int64_t line;
    };
    static_assert(sizeof(Row) == 24);
    // Appends row `row` of `from` to the stores of this list.
    void CopyRow(const ResultRows& from, std::size_t row);

    std::vector<Row> m_rows;
    std::string m_bytes;
    std::vector<std::string> m_files;
};

// Rows taken out of a list: the rows themselves (their origins still count the list's files),
// and the runs of places they held in the list as it was before, in order.
struct ResultRows::Removed {
    struct Run {
        std::size_t first = 0;
        std::size_t count = 0;
        friend bool operator==(const Run&, const Run&) = default;
    };
    ResultRows rows;
    std::vector<Run> runs;
};

}  // namespace sifter
