#include "search/lines/held_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "search/io_error.h"

namespace sifter {
namespace {

// Reads of at least this size go straight to the system, past any buffer of its own.
constexpr std::size_t kLeastRead = 64 * 1024;

class HeldFile final : public platform::OsFile {
public:
    HeldFile(std::unique_ptr<platform::OsFile> file, std::string_view bytes, std::int32_t error,
             bool more)
        : m_file(std::move(file)), m_rest(bytes), m_error(error), m_more(more) {}

    platform::ReadResult Read(char* buffer, std::int32_t size) override {
        if (size <= 0) return {};
        if (m_rest.empty()) {
            // The failure comes where the reading met it, once; a read after it asks the file.
            if (m_error != 0) {
                m_more = true;
                return {0, std::exchange(m_error, 0)};
            }
            return m_more ? m_file->Read(buffer, size) : platform::ReadResult{};
        }
        const auto count =
            static_cast<std::int32_t>(std::min(m_rest.size(), static_cast<std::size_t>(size)));
        std::memcpy(buffer, m_rest.data(), static_cast<std::size_t>(count));
        m_rest.remove_prefix(static_cast<std::size_t>(count));
        return {count, 0};
    }
    std::string_view TakeHeld() override {
        const std::string_view held = m_rest;
        m_rest = {};
        return held;
    }
    // Without a file of the system's behind it: the bytes are all there is.
    std::int32_t Write(const char* data, std::int32_t size) override {
        return m_file ? m_file->Write(data, size) : kNotOpenForWriting;
    }
    platform::KindResult Kind() override {
        return m_file ? m_file->Kind() : platform::KindResult{};
    }
    std::int64_t SizeHint() override {
        return m_file ? m_file->SizeHint() : static_cast<std::int64_t>(m_rest.size());
    }
    std::int32_t Release() override { return m_file ? m_file->Release() : 0; }

private:
    std::unique_ptr<platform::OsFile> m_file;
    std::string_view m_rest;  // the bytes held not yet read
    std::int32_t m_error;     // the failure that ended the reading, until it is reported
    bool m_more;              // the file may go on past the bytes held
};

}  // namespace

std::unique_ptr<platform::OsFile> BytesAsFile(std::string_view bytes) {
    return std::make_unique<HeldFile>(nullptr, bytes, 0, false);
}

char* HoldBuffer::Reserve(std::size_t size, std::size_t kept) {
    if (size > m_capacity) {
        const std::size_t capacity = std::max(size, 2 * m_capacity);
        auto larger =
            std::make_unique_for_overwrite<char[]>(capacity + platform::OsFile::kHeldPadding);
        if (kept > 0) std::memcpy(larger.get(), m_data.get(), kept);
        m_data = std::move(larger);
        m_capacity = capacity;
    }
    return m_data.get();
}

HeldRead Hold(std::unique_ptr<platform::OsFile> file, HoldBuffer& buffer, std::size_t limit) {
    const std::int64_t hint = file->SizeHint();
    if (hint < 0 || static_cast<std::uint64_t>(hint) > limit) return {std::move(file)};
    // A byte more than the size, so that a file that has grown since shows it at once.
    std::size_t capacity =
        std::max(static_cast<std::size_t>(hint) + 1, std::min(kLeastRead, limit));
    char* data = buffer.Reserve(capacity);
    std::size_t size = 0;
    std::int32_t error = 0;
    bool more = false;
    for (;;) {
        if (size == capacity) {
            if (capacity >= limit) {
                more = true;
                break;
            }
            // Grown while it is read: kept whole while it stays within the limit.
            capacity = std::min(2 * capacity, limit);
            data = buffer.Reserve(capacity, size);
        }
        const platform::ReadResult got = file->Read(
            data + size,
            static_cast<std::int32_t>(std::min<std::size_t>(capacity - size, INT32_MAX)));
        if (got.error != 0) {
            error = got.error;
            break;
        }
        if (got.count == 0) break;
        size += static_cast<std::size_t>(got.count);
    }
    // Looked at by the line scan's wide compares, never used: but never unknown.
    std::memset(data + size, 0, platform::OsFile::kHeldPadding);
    const std::string_view bytes(data, size);
    const bool whole = error == 0 && !more;
    return {std::make_unique<HeldFile>(std::move(file), bytes, error, more), true, whole, bytes};
}

}  // namespace sifter
