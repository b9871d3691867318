#pragma once
// The rows of a search with the files that gave no match row left out: a file's heading (and
// the procedure rows before its first match) wait until the file gives a match row, and go
// when it ends without one. Both programs put it in front of their sink, so they leave out the
// same rows.

#include <cstdint>
#include <string_view>

#include "search/run/held_rows.h"
#include "search/run/result_rows.h"

namespace sifter {

class MatchedFilesOnly final : public RowSink {
public:
    explicit MatchedFilesOnly(RowSink& rows);

    // Every file is named on, so that the rows' origins keep counting the files of the search.
    void AddFile(std::string_view path) override;
    void AddRow(const SearchRow& row) override;
    void FileNotRead(std::int32_t file, std::int32_t code) override;

private:
    RowSink& m_rows;
    HeldRows m_held;
    // Between a file's naming and its first match row.
    bool m_holding = false;
};

}  // namespace sifter
