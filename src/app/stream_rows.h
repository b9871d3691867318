#pragma once
// Rows written to a file descriptor as they are made, each followed by CR LF: the bytes a save
// of the same rows gives.

#include <cstdint>
#include <string>

#include "search/run/result_rows.h"

namespace sifter::cli {

class StreamRows final : public RowSink {
public:
    explicit StreamRows(int fd) : m_fd(fd) { m_buffer.reserve(kCapacity); }
    // Only the rows' bytes are written; where they lead is of no use in a stream.
    void AddFile(std::string_view) override {}
    void AddRow(std::string_view text, EntryIcon icon, RowOrigin origin) override;
    // Writes what is buffered; false once anything could not be written.
    bool Flush();
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }  // the errno of the first failure

private:
    static constexpr std::size_t kCapacity = 64 * 1024;
    void WriteAll(const char* data, std::size_t size);

    int m_fd;
    std::string m_buffer;
    int m_error = 0;
};

}  // namespace sifter::cli
