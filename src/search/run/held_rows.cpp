#include "search/run/held_rows.h"

#include <cstdint>
#include <cstring>

namespace sifter {
namespace {

// Each row: its icon, its origin's file and line, its length, then its bytes. A file not read
// is a header of its own kind, with its code in place of the line and no bytes.
struct RowHeader {
    std::uint8_t icon;
    std::int32_t file;
    std::int64_t line;
    std::uint64_t length;
};

constexpr std::uint8_t kNotRead = 0xFF;  // no EntryIcon

}  // namespace

void HeldRows::AddRow(std::string_view text, EntryIcon icon, RowOrigin origin) {
    const RowHeader header{static_cast<std::uint8_t>(icon), origin.file, origin.line, text.size()};
    m_block.append(reinterpret_cast<const char*>(&header), sizeof header);
    m_block.append(text);
    if (m_block.size() >= m_blockBytes) Flush();
}

void HeldRows::FileNotRead(std::int32_t file, std::int32_t code) {
    const RowHeader header{kNotRead, file, code, 0};
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
        if (header.icon == kNotRead) {
            rows.FileNotRead(header.file, static_cast<std::int32_t>(header.line));
            continue;
        }
        rows.AddRow(text, static_cast<EntryIcon>(header.icon), RowOrigin{header.file, header.line});
    }
}

}  // namespace sifter
