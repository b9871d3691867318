#include "fuzz_support.h"

namespace sifter::fuzz {

char LineModel::Take() {
    if (m_position == m_end) {
        const platform::ReadResult got =
            m_read ? m_read(m_buffer.data(), kRequest) : m_system.Read(m_buffer.data(), kRequest);
        m_position = 0;
        m_end = 0;
        if (got.error != 0) {
            m_pending = got.error;
            return kCtrlZ;
        }
        if (got.count == 0) {
            m_buffer[0] = kCtrlZ;
            m_end = 1;
        } else {
            m_end = got.count;
        }
    }
    const char byte = m_buffer[static_cast<std::size_t>(m_position)];
    if (byte != kCtrlZ) ++m_position;
    return byte;
}

bool LineModel::AtEnd() {
    if (m_position < m_end) return m_buffer[static_cast<std::size_t>(m_position)] == kCtrlZ;
    if (Take() == kCtrlZ) return true;
    PutBack();
    return false;
}

bool LineModel::EndsLine(char byte) {
    if (byte != '\r' && byte != '\n') return false;
    if (m_ends == 0) m_ends = byte;
    return byte == m_ends;
}

std::string LineModel::ReadLine() {
    std::string line;
    for (;;) {
        const char byte = Take();
        if (byte == kCtrlZ) return line;
        if (EndsLine(byte)) {
            PutBack();
            // In an LF file a CR right before the LF belongs to the line end.
            if (m_ends == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        line += byte;
    }
}

void LineModel::SkipLineEnd() {
    for (;;) {
        const char byte = Take();
        if (byte == kCtrlZ) return;
        if (EndsLine(byte)) break;
    }
    if (m_ends == '\n') return;
    const char next = Take();
    if (next != '\n' && next != kCtrlZ) PutBack();
}

std::vector<std::string> LineModel::Lines(std::size_t limit) {
    std::vector<std::string> lines;
    while (lines.size() < limit && !AtEnd()) {
        lines.push_back(ReadLine());
        SkipLineEnd();
    }
    return lines;
}

}  // namespace sifter::fuzz
