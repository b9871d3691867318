#include "search/run/held_rows.h"

#include <cstdint>
#include <cstring>

namespace sifter {
namespace {

// Each row: its kind, how many of its bytes come before its line, its origin's file and line,
// its length, then its bytes. A file not read is a header of its own kind, with its code in
// place of the line and no bytes.
struct RowHeader {
    std::uint8_t kind;
    std::uint8_t prefix;  // kNoLine for a row without a line
    std::int32_t file;
    std::int64_t line;
    std::uint64_t length;
};
static_assert(sizeof(RowHeader) == 24);

constexpr std::uint8_t kNotRead = 0xFF;  // no RowKind
// A row's line follows a prefix of a few bytes ("[12] ", " "); a longer one is never made.
constexpr std::uint8_t kNoLine = 0xFF;

}  // namespace

void HeldRows::AddRow(const SearchRow& row) {
    const std::size_t prefix = row.text.size() - row.line.size();
    const RowHeader header{
        static_cast<std::uint8_t>(row.kind),
        row.line.empty() || prefix >= kNoLine ? kNoLine : static_cast<std::uint8_t>(prefix),
        row.origin.file, row.origin.line, row.text.size()};
    m_block.append(reinterpret_cast<const char*>(&header), sizeof header);
    m_block.append(row.text);
    if (m_block.size() >= m_blockBytes) Flush();
}

void HeldRows::FileNotRead(std::int32_t file, std::int32_t code) {
    const RowHeader header{kNotRead, kNoLine, file, code, 0};
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
                     header.prefix == kNoLine ? std::string_view() : text.substr(header.prefix)});
    }
}

}  // namespace sifter
