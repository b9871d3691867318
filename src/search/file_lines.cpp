#include "search/file_lines.h"

#include <algorithm>
#include <cstring>

#include "search/block_masks.h"
#include "search/line_file.h"

namespace sifter {
namespace {

// Reads this large go straight to the system, without any buffer between.
constexpr std::size_t kReadSize = 4 * 1024 * 1024;

struct Buffer {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
};

// Moves the bytes into a buffer of `capacity` bytes.
void Resize(Buffer& buffer, std::size_t used, std::size_t capacity) {
    auto resized = std::make_unique_for_overwrite<char[]>(capacity);
    if (used > 0) std::memcpy(resized.get(), buffer.data.get(), used);
    buffer.data = std::move(resized);
    buffer.capacity = capacity;
}

}  // namespace

FileLinesResult FileLines::Read(const std::string& path, platform::SystemApi& system) {
    platform::OpenResult opened = system.OpenRead(path);
    if (!opened.file) return {nullptr, opened.error};
    platform::OsFile& file = *opened.file;

    // One byte more than the data: the index puts a CR there for the end of the data.
    const std::int64_t hint = file.SizeHint();
    Buffer buffer;
    Resize(buffer, 0, hint >= 0 ? static_cast<std::size_t>(hint) + 1 : kReadSize);
    std::size_t size = 0;
    for (;;) {
        if (buffer.capacity - size <= 1) {
            // Full as far as the size said; a small read shows whether the file has grown.
            char probe[64 * 1024];
            const platform::ReadResult more = file.Read(probe, sizeof probe);
            if (more.error != 0) return {nullptr, more.error};
            if (more.count == 0) break;
            const auto count = static_cast<std::size_t>(more.count);
            Resize(buffer, size, std::max(2 * buffer.capacity, size + count + 1));
            std::memcpy(buffer.data.get() + size, probe, count);
            size += count;
            continue;
        }
        const std::size_t room = std::min(buffer.capacity - size - 1, kReadSize);
        const platform::ReadResult got =
            file.Read(buffer.data.get() + size, static_cast<std::int32_t>(room));
        if (got.error != 0) return {nullptr, got.error};
        if (got.count == 0) break;
        size += static_cast<std::size_t>(got.count);
    }
    file.Release();
    // Without a size to go by the buffer grew in steps; what it holds beyond the data goes.
    if (buffer.capacity > size + 1) Resize(buffer, size, size + 1);
    return {std::unique_ptr<FileLines>(new FileLines(std::move(buffer.data), size, buffer.capacity)),
            0};
}

FileLines::FileLines(std::string_view bytes)
    : m_data(std::make_unique_for_overwrite<char[]>(bytes.size() + 1)), m_capacity(bytes.size() + 1) {
    if (!bytes.empty()) std::memcpy(m_data.get(), bytes.data(), bytes.size());
    IndexLines(bytes.size());
}

FileLines::FileLines(std::unique_ptr<char[]> data, std::size_t size, std::size_t capacity)
    : m_data(std::move(data)), m_capacity(capacity) {
    IndexLines(size);
}

void FileLines::IndexLines(std::size_t size) {
    char* const data = m_data.get();
    // Where CR and Ctrl-Z stand is found a block at a time as bit masks; every CR before the
    // end of the data ends exactly one line, and the next starts after it, or after its LF.
    const BlockMasker masker(LineKeys{});
    LineMasks masks;
    std::size_t end = size;
    m_starts.push_back(0);
    std::size_t lineStart = 0;
    for (std::size_t block = 0; block < end; block += LineFile::kBufferSize) {
        const auto count = static_cast<int>(std::min<std::size_t>(LineFile::kBufferSize, end - block));
        if (count == LineFile::kBufferSize) {
            masker.Compute(data + block, count, masks);
        } else {
            // The last, short block is read from a copy: the masker reads whole blocks.
            char tail[LineFile::kBufferSize] = {};
            std::memcpy(tail, data + block, static_cast<std::size_t>(count));
            masker.Compute(tail, count, masks);
        }
        int limit = masks.ctrlZs.FirstFrom(0);
        if (limit < count) end = block + static_cast<std::size_t>(limit);
        else limit = count;
        for (int bit = masks.crs.FirstFrom(0); bit < limit; bit = masks.crs.FirstFrom(bit + 1)) {
            const std::size_t cr = block + static_cast<std::size_t>(bit);
            m_longest = std::max(m_longest, cr - lineStart);
            lineStart = cr + 1;
            if (lineStart < end && data[lineStart] == '\n') ++lineStart;
            m_starts.push_back(lineStart);
        }
    }
    // A last line without a line end ends at the end of the data, where a CR is put for it.
    data[end] = '\r';
    if (m_starts.back() < end) {
        m_longest = std::max(m_longest, end - lineStart);
        m_starts.push_back(end + 1);
    }
    m_starts.shrink_to_fit();
}

std::string_view FileLines::Line(std::int64_t index) const {
    if (index < 0 || index >= LineCount()) return {};
    const auto i = static_cast<std::size_t>(index);
    const std::size_t start = m_starts[i];
    std::size_t next = m_starts[i + 1];
    // The entry after a line is just past its CR, or past the LF of its CR LF.
    next -= m_data[next - 1] == '\n' ? 2 : 1;
    return {m_data.get() + start, next - start};
}

std::size_t FileLines::MemoryUse() const {
    return m_capacity + m_starts.capacity() * sizeof(std::uint64_t);
}

}  // namespace sifter
