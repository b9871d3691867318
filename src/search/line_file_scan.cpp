// LineFile::ScanLines: the line loop of a search, one buffer at a time.
//
// Where CR, Ctrl-Z and the key bytes stand in the buffer is found once per refill as bit
// masks. Lines that end before the next key are then counted all at once, and only the lines
// that hold a key are looked at, straight from the buffer where they fit in it.

#include <algorithm>
#include <cstring>

#include "search/io_error.h"
#include "search/line_file.h"

namespace sifter {
std::int64_t LineFile::ScanLines(const LineKeys& keys, LineVisitor& visitor) {
    if (m_mode != Mode::Reading) {
        SetPendingError(104);  // what AtEnd leaves on a file that is not open for reading
        return 0;
    }
    const BlockMasker masker(keys);
    LineMasks masks;
    std::uint64_t maskedFill = m_fills - 1;
    const auto refreshMasks = [&] {
        if (maskedFill == m_fills) return;
        masker.Compute(m_buffer.data(), m_end, masks);
        maskedFill = m_fills;
    };

    std::int64_t lines = 0;
    bool inLine = false;  // a line has begun and not ended yet
    bool spans = false;   // its first bytes are kept in m_line
    bool hasKey = false;
    for (;;) {
        if (!inLine) {
            // As AtEnd: a Ctrl-Z, the end of the data or a failed read ends the loop.
            if (m_position >= m_end && !Fill()) return lines;
            if (m_buffer[m_position] == kCtrlZ) return lines;
            inLine = true;
            spans = false;
            hasKey = false;
        }
        refreshMasks();
        const int keyAt = masks.keys.FirstFrom(m_position);
        const int ctrlZAt = masks.ctrlZs.FirstFrom(m_position);

        if (!hasKey) {
            // Every line that ends before the next key or Ctrl-Z is only counted.
            int limit = keyAt < ctrlZAt ? keyAt : ctrlZAt;
            if (limit > m_end) limit = m_end;
            const int lastCr = masks.crs.LastIn(m_position, limit);
            if (lastCr >= 0) {
                lines += masks.crs.CountIn(m_position, limit);
                m_position = lastCr + 1;
                inLine = false;
                // As SkipLineEnd: an LF right after the CR belongs to the line end.
                if (m_position >= m_end) {
                    if (Fill() && m_buffer[m_position] == '\n') ++m_position;
                    continue;
                }
                if (m_buffer[m_position] == '\n') ++m_position;
                // The bytes up to the limit start the next line (none of them is a Ctrl-Z);
                // without any, the end test above decides.
                if (m_position >= limit) continue;
                inLine = true;
                spans = false;
            }
            if (limit == m_end) {
                // No CR, key or Ctrl-Z before the end: the line goes on in the next buffer.
                if (!spans) m_line.Clear();
                m_line.Append(m_buffer.data() + m_position, static_cast<std::size_t>(m_end - m_position));
                spans = true;
                m_position = m_end;
                if (!Fill()) {
                    EndLineAfterFailedRead(lines, visitor, hasKey);
                    inLine = false;
                }
                continue;
            }
        }

        // As ReadLine for a line with a key: up to its CR or Ctrl-Z, or the end of the buffer.
        const int crAt = masks.crs.FirstFrom(m_position);
        const int stop = crAt < ctrlZAt ? crAt : ctrlZAt;
        const int end = stop < m_end ? stop : m_end;
        hasKey = hasKey || keyAt < end;
        const char* start = m_buffer.data() + m_position;
        const auto length = static_cast<std::size_t>(end - m_position);
        m_position = end;
        if (stop >= m_end) {
            if (!spans) m_line.Clear();
            m_line.Append(start, length);
            spans = true;
            if (!Fill()) {
                EndLineAfterFailedRead(lines, visitor, hasKey);
                inLine = false;
            }
            continue;
        }
        if (spans) m_line.Append(start, length);
        const std::string_view text = spans ? m_line.View() : std::string_view(start, length);
        ++lines;
        inLine = false;
        // Handed over before the line end is skipped: that may refill the buffer under `text`.
        if (hasKey) visitor.Line(lines, text);
        SkipLineEnd();
    }
}

void LineFile::SpanningLine::Append(const char* from, std::size_t count) {
    if (m_size + kBufferSize > m_capacity) {
        const std::size_t capacity = std::max<std::size_t>(2 * m_capacity, m_size + 4 * kBufferSize);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0) std::memcpy(grown.get(), m_data.get(), m_size);
        m_data = std::move(grown);
        m_capacity = capacity;
    }
    std::memcpy(m_data.get() + m_size, from, kBufferSize);
    m_size += count;
}

void LineFile::EndLineAfterFailedRead(std::int64_t& lines, LineVisitor& visitor, bool hasKey) {
    // The line ends with the bytes read so far; then the line end is skipped as usual, which
    // asks the system again.
    ++lines;
    if (hasKey) visitor.Line(lines, m_line.View());
    SkipLineEnd();
}

}  // namespace sifter
