// LineFile::ScanLines: the line loop of a search, a stretch of bytes at a time.
//
// The reader walks the bytes where they already are: the rest of its buffer, or the bytes the
// file read ahead and holds. Lines that end before the next key are counted by their line ends,
// 64 bytes at a time; only the lines that hold a key are looked at, straight from the stretch
// where they fit in it. A stretch is what a run of the reader's 128-byte requests would have
// received without asking the system, so the line rules see the same bytes in the same order;
// only a request that does ask the system can fail, and each is made where the line-at-a-time
// operations would make it.

#include <algorithm>
#include <cstring>

#include "search/io_error.h"
#include "search/lines/line_file.h"
#include "search/text/text_rules.h"

namespace sifter {
namespace {

bool IsOneOf(unsigned char byte, const ByteChoice& choice) {
    return (choice.count > 0 && byte == choice.first) ||
           (choice.count > 1 && byte == choice.second);
}

// Whether the key at `key`, in a line that begins at `start` of the window (or before the
// window, when `earlier`), may belong to an occurrence of a text looked for. Where that cannot
// be told from the window alone, it may.
bool MayHold(const LineKeys& keys, const char* data, std::size_t start, std::size_t key,
             std::size_t size, bool earlier, char lineEnd) {
    // A key on a line end (a text that holds one) ends its line: that is never passed over.
    const auto byte = static_cast<unsigned char>(data[key]);
    if (keys.anchorCount == 0 || data[key] == lineEnd || IsOneOf(byte, keys.alternative))
        return true;
    for (int i = 0; i < keys.anchorCount; ++i) {
        const KeyAnchor& anchor = keys.anchors[i];
        if (key < start + anchor.offset) {
            if (earlier) return true;
            continue;  // the form would begin before the line
        }
        const std::size_t from = key - anchor.offset;
        const std::size_t end = from + anchor.form.size();
        // Whole words look at the byte after the form too.
        if (end + (keys.wholeWords ? 1 : 0) > size) return true;
        const char* const bytes = data + from;
        if (!keys.foldCase) {
            if (std::memcmp(bytes, anchor.form.data(), anchor.form.size()) != 0) continue;
        } else {
            std::size_t same = 0;
            while (same < anchor.form.size()) {
                auto folded = static_cast<unsigned char>(bytes[same]);
                if (folded >= 'a' && folded <= 'z') folded -= 32;
                if (folded != static_cast<unsigned char>(anchor.form[same])) break;
                ++same;
            }
            if (same != anchor.form.size()) continue;
        }
        if (!keys.wholeWords) return true;
        // A line end, or the Ctrl-Z that ends the data, is no word byte. The line's first byte
        // has nothing before it, unless the line began in an earlier window.
        if (from == start && earlier) return true;
        const bool wordBefore =
            from > start && IsWordByte(static_cast<unsigned char>(data[from - 1]));
        if (!wordBefore && !IsWordByte(static_cast<unsigned char>(data[end]))) return true;
    }
    return false;
}

}  // namespace

std::int64_t LineFile::ScanLines(const LineKeys& keys, LineVisitor& visitor) {
    if (m_mode != Mode::Reading) {
        SetPendingError(kNotOpenForReading);  // as AtEnd
        return 0;
    }
    StopFinder finder(keys);
    ScanState state;
    for (;;) {
        Window window;
        if (NextWindow(window)) {
            if (ScanWindow(window, keys, finder, state, visitor)) return state.lines;
            continue;
        }
        if (state.spans) {
            // As ReadLine: the failed read ends the line with the bytes read so far; then the
            // line end is skipped as usual, which asks the system again.
            ++state.lines;
            // Ended by the failure, not by a line end: the bytes stay as they were read.
            if (state.hasKey) visitor.Line(state.lines, m_line.View());
            state.spans = false;
            state.hasKey = false;
            SkipLineEnd();
        } else if (state.skipLf) {
            // The look for an LF after the CR failed; the next line's AtEnd asks again.
            state.skipLf = false;
        } else {
            return state.lines;  // as AtEnd: a failed read ends the file
        }
    }
}

bool LineFile::NextWindow(Window& window) {
    if (m_mode == Mode::Reading && m_position >= m_end) {
        const std::string_view held = m_file->TakeHeld();
        if (!held.empty()) {
            // As many of the pulse's steps as the requests that would have taken these bytes.
            Filled((held.size() + kBufferSize - 1) / kBufferSize);
            window = {held.data(), held.size(), false};
            return true;
        }
    }
    if (!Fill()) return false;
    window = {m_buffer.data() + m_position, static_cast<std::size_t>(m_end - m_position), true};
    // The buffer's bytes are the window's now; StopAt puts the reader back on a Ctrl-Z.
    m_position = m_end;
    return true;
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

bool LineFile::ScanWindow(const Window& window, const LineKeys& keys, StopFinder& finder,
                          ScanState& state, LineVisitor& visitor) {
    const char* const data = window.data;
    const std::size_t size = window.size;
    std::size_t at = 0;
    if (state.skipLf) {
        // As SkipLineEnd: an LF right after the CR belongs to the line end.
        state.skipLf = false;
        if (data[0] == '\n') at = 1;
    }
    if (m_ends == LineEnds::Undecided) {
        // The file's first CR or LF decides how its lines end. Until it comes, every byte
        // belongs to the first line, which is then handed over whole, key or not.
        const std::size_t first = LineStop(data, at, size, LineEnds::Undecided);
        if (first == size) {
            if (!state.spans) m_line.Clear();
            m_line.Append(data + at, size - at);
            state.spans = true;
            state.hasKey = true;
            return false;
        }
        if (data[first] != kCtrlZ) Decide(data[first]);
    }
    const LineEnds ends = m_ends;
    const char lineEnd = LineEndByte(ends);
    finder.Start(lineEnd);
    // Moves past the line end at `end`: a CR's LF too, and an LF file's LF alone.
    const auto pastLineEnd = [&](std::size_t end) {
        std::size_t next = end + 1;
        if (ends == LineEnds::Lf) return next;
        if (next == size)
            state.skipLf = true;
        else if (data[next] == '\n')
            ++next;
        return next;
    };
    // A line with a key that ended at `end`, handed over.
    const auto handOver = [&](std::string_view text, std::size_t end) {
        ++state.lines;
        visitor.Line(state.lines, data[end] == kCtrlZ ? text : LineText(text, ends));
        state.spans = false;
        state.hasKey = false;
    };

    if (keys.everyLine) {
        // Every line is handed over: each is found by its line end alone.
        while (at < size) {
            const std::size_t end = LineStop(data, at, size, ends);
            if (end == size) {
                if (!state.spans) m_line.Clear();
                m_line.Append(data + at, size - at);
                state.spans = true;
                state.hasKey = true;
                return false;
            }
            std::string_view text(data + at, end - at);
            if (state.spans) {
                m_line.Append(text.data(), text.size());
                text = m_line.View();
            }
            if (data[end] == kCtrlZ) {
                // Nothing after the last line end and before the Ctrl-Z is no line.
                if (state.spans || end > at) handOver(text, end);
                state.spans = false;
                StopAt(window, end);
                return true;
            }
            handOver(text, end);
            at = pastLineEnd(end);
        }
        return false;
    }

    // Set while a line goes on past a key that belongs to no occurrence: where it began.
    bool resuming = false;
    std::size_t resume = 0;
    while (at < size) {
        if (state.spans && state.hasKey) {
            // The rest of a line with a key, begun in an earlier window.
            const std::size_t end = LineStop(data, at, size, ends);
            m_line.Append(data + at, end - at);
            if (end == size) return false;
            handOver(m_line.View(), end);
            if (data[end] == kCtrlZ) {
                StopAt(window, end);
                return true;
            }
            at = pastLineEnd(end);
            continue;
        }

        // Lines without a key are only counted; `start` is where the line in progress began.
        const ScanStop stop = finder.Find(data, at, size);
        state.lines += static_cast<std::int64_t>(stop.ends);
        std::size_t start = resuming ? resume : at;
        if (stop.lastEnd != ScanStop::kNone) {
            state.spans = false;
            resuming = false;
            start = pastLineEnd(stop.lastEnd);
            if (start > stop.at) {
                // The stop was the LF of that line end, which belongs to no line.
                at = start;
                continue;
            }
        }
        if (stop.at == size) {
            // The line goes on in the next window; without a key its bytes may still be needed.
            if (start < size) {
                if (!state.spans) m_line.Clear();
                m_line.Append(data + start, size - start);
                state.spans = true;
            }
            return false;
        }
        if (data[stop.at] == kCtrlZ) {
            // The data ends here; a line begun before it is the last, and holds no key.
            if (state.spans || start < stop.at) ++state.lines;
            state.spans = false;
            StopAt(window, stop.at);
            return true;
        }

        if (!MayHold(keys, data, start, stop.at, size, state.spans, lineEnd)) {
            // The line goes on as one without a key, maybe into the next window.
            resuming = true;
            resume = start;
            at = stop.at + 1;
            if (at < size) continue;
            if (!state.spans) m_line.Clear();
            m_line.Append(data + start, size - start);
            state.spans = true;
            return false;
        }
        resuming = false;

        // A line with a key: handed over whole, straight from the window where it fits.
        const std::size_t end = LineStop(data, stop.at, size, ends);
        if (end == size) {
            if (!state.spans) m_line.Clear();
            m_line.Append(data + start, size - start);
            state.spans = true;
            state.hasKey = true;
            return false;
        }
        std::string_view text(data + start, end - start);
        if (state.spans) {
            m_line.Append(text.data(), text.size());
            text = m_line.View();
        }
        handOver(text, end);
        if (data[end] == kCtrlZ) {
            StopAt(window, end);
            return true;
        }
        at = pastLineEnd(end);
    }
    return false;
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
