#pragma once
// The rows of one result list, kept compactly: all texts in one byte store and a small
// fixed-size record per row, so a million rows cost their bytes plus 16 bytes each.

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

// Where the rows of a search go as they are made.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void AddRow(std::string_view text, EntryIcon icon) = 0;
};

class ResultRows final : public RowSink {
public:
    void AddRow(std::string_view text, EntryIcon icon) override;
    void Clear();
    // Gives back what the stores hold beyond the rows (they grow in steps while rows are added).
    void ShrinkToFit();
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    std::string_view Text(std::size_t row) const;
    EntryIcon Icon(std::size_t row) const { return static_cast<EntryIcon>(m_rows[row].icon); }
    ResultEntry Entry(std::size_t row) const { return {std::string(Text(row)), Icon(row)}; }
    // Removes every row whose flag is set, in one pass over the store; `remove` has one flag
    // per row.
    void RemoveRows(const std::vector<bool>& remove);

private:
    struct Row {
        std::uint64_t offset : 56;  // into m_bytes
        std::uint64_t icon : 8;     // EntryIcon
        std::uint64_t length;
    };
    static_assert(sizeof(Row) == 16);
    std::vector<Row> m_rows;
    std::string m_bytes;
};

}  // namespace sifter
