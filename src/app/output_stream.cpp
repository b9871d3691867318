#include "app/output_stream.h"

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
            WriteAll(bytes);
            return;
        }
    }
    m_buffer.append(bytes);
}

bool OutputStream::Flush() {
    if (!m_buffer.empty()) WriteAll(m_buffer);
    m_buffer.clear();
    return m_error == 0;
}

void OutputStream::WriteAll(std::string_view bytes) {
    if (m_error != 0) return;
    m_error = platform::WriteToDescriptor(m_fd, bytes);
    // The reader has what it wanted (`| head`): the rest of the search is of no use.
    if (m_error == EPIPE) platform::EndByClosedPipe(m_closedPipeStatus);
}

}  // namespace sifter::cli
