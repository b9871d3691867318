#include "search/lines/line_file.h"

#include <algorithm>
#include <cstring>

#include "platform/path_rules.h"
#include "search/io_error.h"

namespace sifter {

LineFile::LineFile(platform::SystemApi& system) : m_system(&system) {}

LineFile::~LineFile() = default;

void LineFile::Reset(const std::string& name) {
    // Where the system takes names of limited length, a longer one is cut rather than refused.
    m_name = name.substr(0, platform::Paths().MaxOpenName());
    m_mode = Mode::Closed;
    m_ends = LineEnds::Undecided;
    m_file.reset();
    m_position = 0;
    m_end = 0;
    m_writeOutAtLineEnd = false;
}

void LineFile::OpenRead(const std::string& name, bool shortReadIsEnd) {
    Reset(name);
    platform::OpenResult opened =
        shortReadIsEnd ? m_system->OpenListedRead(m_name) : m_system->OpenRead(m_name);
    if (!opened.file) {
        SetPendingError(opened.error);
        return;
    }
    m_file = std::move(opened.file);
    m_mode = Mode::Reading;
}

void LineFile::OpenBytes(const std::string& name, std::string_view bytes) {
    Reset(name);
    m_file = BytesAsFile(bytes);
    m_mode = Mode::Reading;
}

HeldRead LineFile::HoldWhole(HoldBuffer& buffer, std::size_t limit) {
    if (m_mode != Mode::Reading) return {};
    HeldRead held = Hold(std::move(m_file), buffer, limit);
    m_file = std::move(held.file);
    return held;
}

void LineFile::OpenWrite(const std::string& name) {
    Reset(name);
    platform::OpenResult created = m_system->Create(m_name);
    if (!created.file) {
        SetPendingError(created.error);
        return;
    }
    const platform::KindResult kind = created.file->Kind();
    if (kind.error != 0) {
        created.file->Release();
        SetPendingError(kNotOpenForWriting);
        return;
    }
    m_file = std::move(created.file);
    m_mode = Mode::Writing;
    m_writeOutAtLineEnd = kind.kind == platform::HandleKind::CharacterDevice;
}

bool LineFile::Fill() {
    // Checked before the buffer: a file closed after reading still holds its last bytes.
    if (m_mode != Mode::Reading) {
        SetPendingError(kNotOpenForReading);
        return false;
    }
    if (m_position < m_end) return true;
    const platform::ReadResult got = m_file->Read(m_buffer.data(), kBufferSize);
    m_position = 0;
    Filled(1);
    if (got.error != 0) {
        // Nothing is kept, so the next request asks the system again.
        m_end = 0;
        SetPendingError(got.error);
        return false;
    }
    if (got.count == 0) {
        // The end of the data becomes a Ctrl-Z wall that every later request finds.
        m_buffer[0] = kCtrlZ;
        m_end = 1;
        return true;
    }
    m_end = got.count;
    return true;
}

void LineFile::Filled(std::uint64_t requests) {
    const std::uint64_t before = m_fills;
    m_fills += requests;
    if (m_pulse != nullptr && m_fills / kBuffersPerPulse != before / kBuffersPerPulse)
        m_pulse->StillReading();
}

char LineFile::TakeByte() {
    if (!Fill()) return kCtrlZ;
    const char byte = m_buffer[m_position];
    if (byte != kCtrlZ) ++m_position;
    return byte;
}

void LineFile::StopAt(const Window& window, std::size_t at) {
    if (window.inBuffer) {
        m_position = static_cast<std::int32_t>(window.data + at - m_buffer.data());
        return;
    }
    // The Ctrl-Z stands in bytes the file held: it becomes the wall in the buffer. Nothing is
    // ever read past it, so the held bytes after it are of no more use.
    m_buffer[0] = kCtrlZ;
    m_position = 0;
    m_end = 1;
}

bool LineFile::AtEnd() {
    if (m_mode == Mode::Reading && m_position < m_end) return m_buffer[m_position] == kCtrlZ;
    if (TakeByte() == kCtrlZ) return true;
    --m_position;
    return false;
}

std::string LineFile::ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
}

void LineFile::ReadLine(std::string& line) {
    line.clear();
    if (m_mode != Mode::Reading) {
        SetPendingError(kNotOpenForReading);
        return;
    }
    while (Fill()) {
        const char* const start = m_buffer.data() + m_position;
        const auto available = static_cast<std::size_t>(m_end - m_position);
        // The line stops at its line end or a Ctrl-Z, whichever comes first; both stay unread.
        const std::size_t take = LineStop(start, 0, available, m_ends);
        line.append(start, take);
        m_position += static_cast<std::int32_t>(take);
        if (take < available) {
            if (start[take] != kCtrlZ) {
                Decide(start[take]);
                line.resize(LineText(line, m_ends).size());
            }
            return;
        }
    }
}

void LineFile::SkipLineEnd() {
    // Usual case first: the line end, and for a CR the byte after it, are in the buffer.
    if (m_mode == Mode::Reading && m_position < m_end && m_ends != LineEnds::Undecided &&
        m_buffer[m_position] == LineEndByte(m_ends)) {
        if (m_ends == LineEnds::Lf) {
            ++m_position;
            return;
        }
        if (m_position + 1 < m_end) {
            if (m_buffer[++m_position] == '\n') ++m_position;
            return;
        }
    }
    for (;;) {
        const char byte = TakeByte();
        if (byte == kCtrlZ) return;
        if (EndsLine(byte, m_ends)) {
            Decide(byte);
            break;
        }
    }
    if (m_ends == LineEnds::Lf) return;
    // An LF right after a CR belongs to the line end.
    const char next = TakeByte();
    if (next != '\n' && next != kCtrlZ) --m_position;
}

std::int32_t LineFile::WriteBlock(const char* data, std::int32_t size) {
    const std::int32_t error = m_file->Write(data, size);
    if (error != 0) SetPendingError(error);
    return error;
}

void LineFile::WriteText(std::string_view bytes) {
    if (m_mode != Mode::Writing) {
        SetPendingError(kNotOpenForWriting);
        return;
    }
    while (!bytes.empty()) {
        const std::size_t room = static_cast<std::size_t>(kBufferSize - m_position);
        const std::size_t n = std::min(room, bytes.size());
        std::memcpy(m_buffer.data() + m_position, bytes.data(), n);
        m_position += static_cast<std::int32_t>(n);
        bytes.remove_prefix(n);
        if (m_position == kBufferSize) {
            m_position = 0;
            // A failed block is lost and the rest of this call's bytes are dropped.
            if (WriteBlock(m_buffer.data(), kBufferSize) != 0) return;
        }
    }
}

void LineFile::WriteLineEnd() {
    WriteText("\r\n");
    if (m_writeOutAtLineEnd && m_mode == Mode::Writing) WriteOut();
}

std::int32_t LineFile::WriteOut() {
    if (m_position <= 0) return 0;
    const std::int32_t n = m_position;
    m_position = 0;
    return WriteBlock(m_buffer.data(), n);
}

void LineFile::Close() {
    switch (m_mode) {
        case Mode::Closed:
            SetPendingError(kNotOpen);
            return;
        case Mode::Writing:
            if (WriteOut() != 0) return;  // the file stays open with its handle
            break;
        case Mode::Reading:
            break;
    }
    m_mode = Mode::Closed;
    const std::int32_t error = m_file->Release();
    m_file.reset();
    if (error != 0) SetPendingError(error);
}

void LineFile::SpanningLine::Append(const char* from, std::size_t count) {
    if (m_size + count > m_capacity) {
        const std::size_t capacity = std::max(2 * m_capacity, m_size + count + 4 * kBufferSize);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0) std::memcpy(grown.get(), m_data.get(), m_size);
        m_data = std::move(grown);
        m_capacity = capacity;
    }
    if (count > 0) std::memcpy(m_data.get() + m_size, from, count);
    m_size += count;
}

}  // namespace sifter
