#include "search/run/held_rows.h"

#include <cstdint>
#include <cstring>

namespace sifter {
namespace {

// Each row: its kind, its origin's file and line, its length and that of its line (the end of
// its bytes), then its bytes. A file not read is a header of its own kind, with its code in
// place of the line and no bytes.
struct RowHeader {
    std::uint8_t kind;
    std::int32_t file;
    std::int64_t line;
    std::uint64_t length;
    std::uint64_t lineLength;
};

constexpr std::uint8_t kNotRead = 0xFF;  // no RowKind

}  // namespace

void HeldRows::AddRow(const SearchRow& row) {
    const RowHeader header{static_cast<std::uint8_t>(row.kind), row.origin.file, row.origin.line,
                           row.text.size(), row.line.size()};
    m_block.append(reinterpret_cast<const char*>(&header), sizeof header);
    m_block.append(row.text);
    if (m_block.size() >= m_blockBytes) Flush();
}

void HeldRows::FileNotRead(std::int32_t file, std::int32_t code) {
    const RowHeader header{kNotRead, file, code, 0, 0};
    m_block.append(reinterpret_cast<const char*>(&header), sizeof header);
    if (m_block.size() >= m_blockBytes) Flush();
}

void HeldRows::Flush() {
    if (m_block.empty()) return;
    std::string block;
    block.swap(m_block);
    m_handover(std::move(block));
}

void HeldRows::Replay(std::string_view block, RowSink& rows) {
    while (block.size() >= sizeof(RowHeader)) {
        RowHeader header;
        std::memcpy(&header, block.data(), sizeof header);
        block.remove_prefix(sizeof header);
        const std::string_view text = block.substr(0, header.length);
        block.remove_prefix(text.size());
        if (header.kind == kNotRead) {
            rows.FileNotRead(header.file, static_cast<std::int32_t>(header.line));
            continue;
        }
        rows.AddRow({static_cast<RowKind>(header.kind), text, RowOrigin{header.file, header.line},
                     text.substr(text.size() - header.lineLength)});
    }
}

}  // namespace sifter
