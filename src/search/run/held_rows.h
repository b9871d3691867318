#pragma once
// Rows of one file made before their turn, on a thread that reads ahead: packed into blocks
// of bytes that are handed over as they fill, and replayed into the real rows in order later.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "search/run/result_rows.h"

namespace sifter {

class HeldRows final : public RowSink {
public:
    using Handover = std::function<void(std::string&& block)>;

    // A block is handed over once it holds `blockBytes` (a longer row makes a block alone).
    HeldRows(Handover handover, std::size_t blockBytes)
        : m_handover(std::move(handover)), m_blockBytes(blockBytes) {}

    // The file is named by whoever replays the rows, in its turn.
    void AddFile(std::string_view) override {}
    void AddRow(const SearchRow& row) override;
    // Held in its place among the rows.
    void FileNotRead(std::int32_t file, std::int32_t code) override;
    // Hands over the rows not handed over yet, if any.
    void Flush();
    // Forgets the rows not handed over yet.
    void Drop() { m_block.clear(); }

    // Adds the rows of one block to `rows`, in the order they were made, and tells it of a file
    // not read where that came.
    static void Replay(std::string_view block, RowSink& rows);

private:
    Handover m_handover;
    const std::size_t m_blockBytes;
    std::string m_block;
};

}  // namespace sifter
