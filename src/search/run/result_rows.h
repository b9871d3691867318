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

// What a row of a search is; its picture follows from it (IconOf).
enum class RowKind : std::uint8_t {
    Banner,     // the first row
    Heading,    // the search's path, text and options, and the blank rows around a file's heading
    File,       // a file's heading
    Procedure,  // a procedure line passed
    Match,      // a matching line
    Message,    // a word on the search: a subdirectory not read, lines too complex
    Context,    // a line around a matching line, made only when a search asks for them
};

constexpr EntryIcon IconOf(RowKind kind) {
    switch (kind) {
        case RowKind::Banner:
            return EntryIcon::Banner;
        case RowKind::File:
            return EntryIcon::File;
        case RowKind::Procedure:
            return EntryIcon::Procedure;
        case RowKind::Heading:
        case RowKind::Match:
        case RowKind::Message:
        case RowKind::Context:
            break;
    }
    return EntryIcon::Blank;
}

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

// One row as a search makes it, with its parts, so that a reader of rows never takes its text
// apart again.
struct SearchRow {
    RowKind kind = RowKind::Heading;
    std::string_view text;  // as listed and saved: "[12] x := 1;"
    RowOrigin origin;
    // A procedure's, a match's or a context row's line as it was read, the end of `text`
    // ("x := 1;"); empty for the other kinds.
    std::string_view line;
};

// Where the rows of a search go as they are made. Each file's rows follow the call that names
// the file, so a search may gather one file's rows apart and hand them over later, in order.
class RowSink {
public:
    virtual ~RowSink() = default;
    // The next file of the search, by the path it can be opened under from anywhere.
    virtual void AddFile(std::string_view path) = 0;
    virtual void AddRow(const SearchRow& row) = 0;
    // File `file` (numbered as the rows' origins) could not be opened, or not read to its end:
    // `code` is the program's code for why (IoErrorMessage words it). It comes after the rows
    // the file gave and before the next file is named. A list of rows has no place for it.
    virtual void FileNotRead(std::int32_t /*file*/, std::int32_t /*code*/) {}
};

class ResultRows final : public RowSink {
public:
    void AddFile(std::string_view path) override;
    void AddRow(const SearchRow& row) override { AddRow(row.text, row.kind, row.origin); }
    void AddRow(std::string_view text, RowKind kind, RowOrigin origin = {});
    void Clear();
    // Gives back what the stores hold beyond the rows (they grow in steps while rows are added).
    void ShrinkToFit();
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    std::string_view Text(std::size_t row) const;
    RowKind Kind(std::size_t row) const { return static_cast<RowKind>(m_rows[row].kind); }
    EntryIcon Icon(std::size_t row) const { return IconOf(Kind(row)); }
    ResultEntry Entry(std::size_t row) const { return {std::string(Text(row)), Icon(row)}; }
    RowOrigin Origin(std::size_t row) const;
    // The line a procedure or match row shows, the end of its text, found by its kind and its
    // line number; empty for the other rows and for rows that lead nowhere.
    std::string_view Line(std::size_t row) const;
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
    // kinds and origins; the rows around them are those that were kept.
    void PutBack(const Removed& removed);

private:
    struct Row {
        std::uint64_t offset : 56;  // into m_bytes
        std::uint64_t kind : 8;     // RowKind
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
