#pragma once
// The lines before a line that ScanLines hands over, which the scan passed over without handing
// them (they held no key): found again by looking backwards through the bytes of the window
// being walked, and, for lines that ended in earlier windows, kept from those windows as each
// was left. Only as many lines as a visitor may ask for are ever kept, so the fast scan stays
// as it is: nothing is looked at again unless a visitor asks.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/lines/line_ends.h"

namespace sifter {

class EarlierLines final {
public:
    using Each = std::function<void(std::int64_t number, std::string_view text)>;

    // Up to `keep` lines before a handed line may be asked for.
    explicit EarlierLines(std::int32_t keep);

    // A window's walk begins: its bytes, how its lines end, where the first line that begins
    // in it begins (after an LF that belongs to a CR of the window before), whether a line
    // that began before it goes on in it, with `carried` of its bytes before the window, and
    // how many lines ended before it.
    void BeginWindow(const char* data, std::size_t size, LineEnds ends, std::size_t firstStart,
                     bool spansIn, std::size_t carried, std::int64_t linesBefore);
    // The window's first line end decided how the file's lines end.
    void Decided(LineEnds ends) { m_ends = ends; }
    // The line about to be handed over begins at `start` of the window; or, `inWindow` false,
    // it began before the window (or lies in no window: a failed read ended it).
    void SetLine(std::size_t start, bool inWindow) {
        m_lineStart = start;
        m_lineInWindow = inWindow;
    }
    // The window is left: keeps the last lines that ended in it, up to `lines`; the line still
    // in progress, if any, begins at `next`. `carried`: the bytes kept of the line that went on
    // into the window, as they stand (they may have the rest of that line after them).
    void EndWindow(std::size_t next, std::int64_t lines, std::string_view carried);
    // Line `number` ended where no window holds it (a failed read ended it).
    void Ended(std::int64_t number, std::string_view text);

    // Hands lines `first` to `number` - 1, in order, where `number` is the line set last
    // (SetLine); `first` is at least `number` - keep.
    void Before(std::int64_t first, std::int64_t number, std::string_view carried,
                const Each& each);

private:
    // In [lo, q) of the window, q the start of a line: the line that ends right before q, as
    // [start, end) of its text.
    void LineBefore(std::size_t lo, std::size_t q, std::size_t& start, std::size_t& end) const;
    // Where the first line that begins in the window begins; finds the end of the line that
    // went on into it the first time.
    std::size_t FirstLineStart();
    // The whole text of the line that went on into the window.
    std::string_view SpanningText(std::string_view carried);
    // Lines `first` to `last` found backwards from `q` (in the window, or before it when not
    // `inWindow`), newest first, into m_found.
    void Collect(std::int64_t first, std::int64_t last, std::size_t q, bool inWindow,
                 std::string_view carried);
    // Keeps `text` as the line after the newest kept.
    void Keep(std::string_view text);

    const std::int32_t m_keep;
    // The window.
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    LineEnds m_ends = LineEnds::Undecided;
    std::size_t m_firstStart = 0;
    bool m_spansIn = false;
    std::size_t m_carried = 0;
    std::int64_t m_linesBefore = 0;
    std::size_t m_spanEnd = 0;  // where the line that went on into the window ends
    bool m_spanFound = false;
    std::string m_spanText;
    // The line handed over.
    std::size_t m_lineStart = 0;
    bool m_lineInWindow = false;
    // The newest lines that ended before the window, oldest first, up to `keep` of them (a
    // large count costs only the lines there are); m_savedLast the newest's number.
    std::deque<std::string> m_saved;
    std::int64_t m_savedLast = 0;
    // Lines found by the last look, newest first.
    std::vector<std::pair<std::int64_t, std::string_view>> m_found;
};

}  // namespace sifter
