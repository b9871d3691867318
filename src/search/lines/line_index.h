#pragma once
// A whole text file in memory with an index of where its lines start, for showing any line at
// once. The lines are exactly those a search reads from the file: the first line end decides how
// lines end (see line_ends.h), the first Ctrl-Z ends the data, a last line without an end is a
// line, and a line end at the end of the data starts no further line.
//
// The file costs its size plus 8 bytes per line.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "search/lines/line_ends.h"

namespace sifter {

class LineIndex;
class StopFinder;

struct LineIndexResult {
    std::unique_ptr<LineIndex> lines;  // null when the file could not be read
    std::int32_t error = 0;            // the code of the failed open or read
};

class LineIndex final {
public:
    // Reads the file named `path` through `system`, in large reads.
    static LineIndexResult Read(const std::string& path,
                                platform::SystemApi& system = platform::System());
    // The lines of bytes already in memory (the same rules; for tests and measurements).
    explicit LineIndex(std::string_view bytes);

    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    std::int64_t LineCount() const { return static_cast<std::int64_t>(m_starts.size()) - 1; }
    // Line `index`, counted from 0, without its line end; valid while the object lives.
    std::string_view Line(std::int64_t index) const;
    // The data, to its end (the first Ctrl-Z or the file's end), and how its lines end.
    std::string_view Data() const { return {m_data.get(), m_dataEnd}; }
    LineEnds Ends() const { return m_ends; }
    // The length in bytes of the longest line.
    std::size_t LongestLine() const { return m_longest; }
    // The bytes the object holds, its index included.
    std::size_t MemoryUse() const;

private:
    static constexpr std::size_t kNoEnd = SIZE_MAX;

    LineIndex() = default;
    // Moves the first `used` bytes into a buffer of `capacity` bytes.
    void Resize(std::size_t used, std::size_t capacity);
    // Indexes the lines of the first `available` bytes, as far as it can be sure of them: with
    // `last` they are all there are. True once the data has ended at a Ctrl-Z.
    bool IndexUpTo(std::size_t available, bool last);
    // Indexes the line ends in bytes[from, to), which are the data's bytes from `origin` on,
    // with `available` bytes of data read.
    void IndexStretch(StopFinder& finder, const char* bytes, std::size_t from, std::size_t to,
                      std::size_t origin, std::size_t available);
    // Ends the index at the end of the data.
    void FinishIndex(std::size_t end);

    std::unique_ptr<char[]> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_longest = 0;
    // Where each line starts, and one more entry just past the last line's end: after its line
    // end, or one past the end of the data for a last line without one.
    std::vector<std::uint64_t> m_starts{0};
    LineEnds m_ends = LineEnds::Undecided;
    std::size_t m_looked = 0;     // bytes looked at for the first line end, while there is none
    std::size_t m_indexed = 0;    // bytes indexed so far
    std::size_t m_lineStart = 0;  // where the line being indexed starts
    std::size_t m_end = kNoEnd;   // where a Ctrl-Z ended the data, once one has
    std::size_t m_dataEnd = 0;    // the end of the data, once the index is finished
};

}  // namespace sifter
