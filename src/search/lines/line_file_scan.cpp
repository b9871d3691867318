// LineFile::ScanLines: the line loop of a search, a stretch of bytes at a time.
//
// The reader walks the bytes where they already are: the rest of its buffer, or the bytes the
// file read ahead and holds. Lines that end before the next key are counted by their line ends,
// 64 bytes at a time; only the lines that hold a key are looked at, straight from the stretch
// where they fit in it. A stretch is what a run of the reader's 128-byte requests would have
// received without asking the system, so the line rules see the same bytes in the same order;
// only a request that does ask the system can fail, and each is made where the line-at-a-time
// operations would make it.

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
[[gnu::always_inline]] inline bool MayHold(const LineKeys& keys, const char* data,
                                           std::size_t start, std::size_t key, std::size_t size,
                                           bool earlier, char lineEnd) {
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
            if (m_earlier) m_earlier->SetLine(0, false);
            if (state.hasKey) visitor.Line(state.lines, m_line.View());
            if (m_earlier) m_earlier->Ended(state.lines, m_line.View());
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

// One window's walk once the file's line ends are known: every line handed over, or only those
// with a key, and the steps the two share.
class LineFile::WindowWalk final {
public:
    WindowWalk(LineFile& file, const Window& window, ScanState& state, LineVisitor& visitor)
        : m_file(file),
          m_window(window),
          m_data(window.data),
          m_size(window.size),
          m_ends(file.m_ends),
          m_state(state),
          m_visitor(visitor) {}

    // Both return what ScanWindow does, walking from `at`. Both are made part of ScanWindow,
    // where the walk's fields stay in registers across the calls to the finder and the visitor.
    // With `kContext`, for a visitor that may want more lines than those with keys (a search
    // without context lines walks exactly as it always did).
    template <bool kContext>
    [[gnu::always_inline]] bool EveryLine(std::size_t at);
    template <bool kContext>
    [[gnu::always_inline]] bool KeyedLines(std::size_t at, const LineKeys& keys,
                                           StopFinder& finder);

private:
    // Hands over the line that began at `start` (or in an earlier window) and whose end lies at
    // `from` or after. Returns where the next line begins: the window's size when the line goes
    // on in the next window, or when the data ended in it (m_ended).
    template <bool kContext>
    std::size_t HandOverLine(std::size_t start, std::size_t from);
    // From `at`, where a line begins, hands over the lines the visitor wants whatever they
    // hold (LineFile::HandEveryLineUntil); returns where the first line it does not want
    // begins. Asked only where a line was handed over, as only then can the visitor want more.
    template <bool kContext>
    std::size_t HandWanted(std::size_t at) {
        if (!kContext) return at;
        while (at < m_size && !m_state.spans && m_state.lines < m_file.m_handUntil)
            at = HandOverLine<kContext>(at, at);
        return at;
    }
    // The line's bytes up to `end`: in place, or joined to those of earlier windows.
    std::string_view Joined(std::size_t start, std::size_t end);
    void Visit(std::string_view text);
    // Past the line end at `end`: a CR's LF too, and an LF file's LF alone.
    std::size_t PastLineEnd(std::size_t end);
    bool Carry(std::size_t from, bool hasKey) {
        return m_file.CarryOver(m_window, from, m_state, hasKey);
    }
    // The data ends with the Ctrl-Z at `at`.
    bool End(std::size_t at) {
        m_file.StopAt(m_window, at);
        m_ended = true;
        return true;
    }

    LineFile& m_file;
    const Window& m_window;
    const char* const m_data;
    const std::size_t m_size;
    const LineEnds m_ends;
    ScanState& m_state;
    LineVisitor& m_visitor;
    bool m_ended = false;
};

bool LineFile::ScanWindow(const Window& window, const LineKeys& keys, StopFinder& finder,
                          ScanState& state, LineVisitor& visitor) {
    std::size_t at = 0;
    if (state.skipLf) {
        // As SkipLineEnd: an LF right after the CR belongs to the line end.
        state.skipLf = false;
        if (window.data[0] == '\n') at = 1;
    }
    // Before anything is carried over: a window that ends a line (a failed read can end one
    // before the file's lines are decided) tells its lines from this one's.
    if (m_earlier)
        m_earlier->BeginWindow(window.data, window.size, m_ends, at, state.spans,
                               m_line.View().size(), state.lines);
    if (m_ends == LineEnds::Undecided) {
        // The file's first CR or LF decides how its lines end. Until it comes, every byte
        // belongs to the first line, which is then handed over whole, key or not.
        const std::size_t first = LineStop(window.data, at, window.size, LineEnds::Undecided);
        if (first == window.size) return CarryOver(window, at, state, true);
        if (window.data[first] != kCtrlZ) Decide(window.data[first]);
    }
    if (m_earlier) m_earlier->Decided(m_ends);
    WindowWalk walk(*this, window, state, visitor);
    bool ended = false;
    if (m_context)
        ended = keys.everyLine ? walk.EveryLine<true>(at) : walk.KeyedLines<true>(at, keys, finder);
    else
        ended =
            keys.everyLine ? walk.EveryLine<false>(at) : walk.KeyedLines<false>(at, keys, finder);
    // A window left with no line in progress keeps its last lines here; one with a line in
    // progress kept them as that line was carried over.
    if (m_earlier && !ended && !state.spans)
        m_earlier->EndWindow(window.size, state.lines, m_line.View());
    return ended;
}

bool LineFile::CarryOver(const Window& window, std::size_t from, ScanState& state, bool hasKey) {
    // The last lines of the window are kept before the bytes of the line that began before it
    // (the first of them, maybe) make room for the next one's.
    if (m_earlier) m_earlier->EndWindow(from, state.lines, m_line.View());
    if (!state.spans) m_line.Clear();
    m_line.Append(window.data + from, window.size - from);
    state.spans = true;
    state.hasKey = state.hasKey || hasKey;
    return false;
}

template <bool kContext>
inline bool LineFile::WindowWalk::EveryLine(std::size_t at) {
    // Each line is found by its line end alone.
    while (at < m_size) at = HandOverLine<kContext>(at, at);
    return m_ended;
}

template <bool kContext>
inline bool LineFile::WindowWalk::KeyedLines(std::size_t at, const LineKeys& keys,
                                             StopFinder& finder) {
    const char lineEnd = LineEndByte(m_ends);
    finder.Start(lineEnd);
    // Set while a line goes on past a key that belongs to no occurrence: where it began.
    bool resuming = false;
    std::size_t resume = 0;
    // Lines wanted after the last one handed over in an earlier window.
    at = HandWanted<kContext>(at);
    while (at < m_size) {
        if (m_state.spans && m_state.hasKey) {
            // The rest of a line with a key, begun in an earlier window.
            at = HandWanted<kContext>(HandOverLine<kContext>(at, at));
            continue;
        }

        // Lines without a key are only counted; `start` is where the line in progress began.
        const ScanStop stop = finder.Find(m_data, at, m_size);
        m_state.lines += static_cast<std::int64_t>(stop.ends);
        std::size_t start = resuming ? resume : at;
        if (stop.lastEnd != ScanStop::kNone) {
            m_state.spans = false;
            resuming = false;
            start = PastLineEnd(stop.lastEnd);
            if (start > stop.at) {
                // The stop was the LF of that line end, which belongs to no line.
                at = start;
                continue;
            }
        }
        if (stop.at == m_size) {
            // The line goes on in the next window; without a key its bytes may still be needed.
            return start < m_size ? Carry(start, false) : false;
        }
        if (m_data[stop.at] == kCtrlZ) {
            // The data ends here; a line begun before it is the last, and holds no key.
            if (m_state.spans || start < stop.at) ++m_state.lines;
            m_state.spans = false;
            return End(stop.at);
        }

        if (!MayHold(keys, m_data, start, stop.at, m_size, m_state.spans, lineEnd)) {
            // The line goes on as one without a key, maybe into the next window.
            resuming = true;
            resume = start;
            at = stop.at + 1;
            if (at < m_size) continue;
            return Carry(start, false);
        }
        resuming = false;
        // A line with a key: handed over whole, straight from the window where it fits.
        at = HandWanted<kContext>(HandOverLine<kContext>(start, stop.at));
    }
    return m_ended;
}

template <bool kContext>
inline std::size_t LineFile::WindowWalk::HandOverLine(std::size_t start, std::size_t from) {
    if (kContext && m_file.m_earlier) m_file.m_earlier->SetLine(start, !m_state.spans);
    const std::size_t end = LineStop(m_data, from, m_size, m_ends);
    if (end == m_size) {
        Carry(start, true);
        return m_size;
    }
    if (m_data[end] == kCtrlZ) {
        // Nothing after the last line end and before the Ctrl-Z is no line. The last line is
        // ended by the Ctrl-Z, not by a line end: its bytes stay as they are.
        if (m_state.spans || end > start) Visit(Joined(start, end));
        End(end);
        return m_size;
    }
    Visit(LineText(Joined(start, end), m_ends));
    return PastLineEnd(end);
}

inline std::string_view LineFile::WindowWalk::Joined(std::size_t start, std::size_t end) {
    const std::string_view text(m_data + start, end - start);
    if (!m_state.spans) return text;
    m_file.m_line.Append(text.data(), text.size());
    return m_file.m_line.View();
}

inline void LineFile::WindowWalk::Visit(std::string_view text) {
    ++m_state.lines;
    m_visitor.Line(m_state.lines, text);
    m_state.spans = false;
    m_state.hasKey = false;
}

inline std::size_t LineFile::WindowWalk::PastLineEnd(std::size_t end) {
    std::size_t next = end + 1;
    if (m_ends == LineEnds::Lf) return next;
    if (next == m_size)
        m_state.skipLf = true;
    else if (m_data[next] == '\n')
        ++next;
    return next;
}

void LineFile::OfferContext(std::int32_t before) {
    m_context = true;
    m_earlier = before > 0 ? std::make_unique<EarlierLines>(before) : nullptr;
}

void LineFile::LinesBefore(std::int64_t first, std::int64_t number,
                           const EarlierLines::Each& each) {
    if (m_earlier) m_earlier->Before(first, number, m_line.View(), each);
}

}  // namespace sifter
