#include "app/output_stream.h"

#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace sifter::cli {

OutputStream::OutputStream(int fd, int closedPipeStatus)
    : m_fd(fd), m_closedPipeStatus(closedPipeStatus) {
    m_buffer.reserve(kCapacity);
}

void OutputStream::Write(std::string_view bytes) {
    if (m_error != 0) return;  // nothing more goes to a broken output
    if (m_buffer.size() + bytes.size() > kCapacity) {
        Flush();
        if (bytes.size() > kCapacity) {
            // A very long piece goes out directly instead of through the buffer.
            WriteAll(bytes.data(), bytes.size());
            return;
        }
    }
    m_buffer.append(bytes);
}

bool OutputStream::Flush() {
    if (!m_buffer.empty()) WriteAll(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return m_error == 0;
}

void OutputStream::WriteAll(const char* data, std::size_t size) {
    while (size > 0 && m_error == 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            // The reader has what it wanted (`| head`): the rest of the search is of no use.
            if (errno == EPIPE) platform::EndByClosedPipe(m_closedPipeStatus);
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
