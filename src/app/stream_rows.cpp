#include "app/stream_rows.h"

#include <unistd.h>

#include <cerrno>

namespace sifter::cli {

void StreamRows::AddRow(std::string_view text, EntryIcon, RowOrigin) {
    if (m_error != 0) return;  // nothing more goes to a broken output
    if (m_buffer.size() + text.size() + 2 > kCapacity) {
        Flush();
        if (text.size() + 2 > kCapacity) {
            // A very long row goes out directly instead of through the buffer.
            WriteAll(text.data(), text.size());
            WriteAll("\r\n", 2);
            return;
        }
    }
    m_buffer.append(text).append("\r\n");
}

bool StreamRows::Flush() {
    if (!m_buffer.empty()) WriteAll(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return m_error == 0;
}

void StreamRows::WriteAll(const char* data, std::size_t size) {
    while (size > 0 && m_error == 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            if (errno != EINTR) m_error = errno;
            continue;
        }
        if (n == 0) {
            m_error = EIO;
            continue;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace sifter::cli
