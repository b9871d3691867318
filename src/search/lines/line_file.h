#pragma once
// A text file read as lines or written as lines through a 128-byte buffer.
//
// A file's first line end decides how its lines end (see line_ends.h): in a CR file a line ends
// at CR or CR LF and a lone LF is an ordinary byte; in an LF file every LF ends a line. The first
// Ctrl-Z, or the physical end, ends the data. Written lines end with CR LF. Failures are never
// thrown: they are stored as the pending error code (see io_error.h).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "search/lines/earlier_lines.h"
#include "search/lines/held_file.h"
#include "search/lines/line_ends.h"
#include "search/simd/stop_finder.h"

namespace sifter {

class LineVisitor {
public:
    virtual ~LineVisitor() = default;
    // `text` is valid only during the call.
    virtual void Line(std::int64_t number, std::string_view text) = 0;
};

// Told every so many bytes while a file is read, so that whoever waits for the read (a
// display that held its last change back) can catch up during a long one.
class ReadPulse {
public:
    virtual ~ReadPulse() = default;
    virtual void StillReading() = 0;
};

class LineFile final {
public:
    enum class Mode { Closed, Reading, Writing };
    static constexpr std::int32_t kBufferSize = 128;
    // The pulse comes after every this many buffers read: 64 KiB, what the system layer reads
    // in one call.
    static constexpr std::uint64_t kBuffersPerPulse = 512;

    explicit LineFile(platform::SystemApi& system = platform::System());
    // A file still open here (a failed write-out at Close, an abandoned save) is released
    // without writing anything more to it.
    ~LineFile();
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    // `shortReadIsEnd`: the file's listing said so (platform::DirEntry), and it is opened with
    // OpenListedRead.
    void OpenRead(const std::string& name, bool shortReadIsEnd = false);
    // Reads `bytes` as the file `name`, read whole already (BytesAsFile).
    void OpenBytes(const std::string& name, std::string_view bytes);
    // Right after OpenRead: reads the file whole into `buffer` when it holds at most `limit`
    // bytes (see held_file.h), so that ScanLines walks it in place. Returns what Hold read
    // (nothing when it did not); the bytes stay in `buffer` after Close.
    HeldRead HoldWhole(HoldBuffer& buffer, std::size_t limit);
    // `pulse` (or nothing) is told while this file reads; it must outlive the reading.
    void SetReadPulse(ReadPulse* pulse) { m_pulse = pulse; }
    void OpenWrite(const std::string& name);

    bool AtEnd();
    std::string ReadLine();
    // The same line into a buffer the caller reuses (it is cleared first).
    void ReadLine(std::string& line);
    void SkipLineEnd();

    // Reads every remaining line, exactly as repeated AtEnd, ReadLine and SkipLineEnd would,
    // numbering them from 1. Lines without the keys are only counted, and so are lines whose
    // pairs of keys stand in none of the keys' anchored forms; the others go to the visitor,
    // which makes its own test (a line may hold a key and still not be wanted).
    // Returns the number of lines read.
    std::int64_t ScanLines(const LineKeys& keys, LineVisitor& visitor);
    // For a visitor that shows the lines around some of those it is handed. Before ScanLines:
    // the scan keeps what it needs for the visitor to ask, while it is handed line N, for up
    // to `before` lines before N (LinesBefore), and for the lines after it (HandEveryLineUntil).
    void OfferContext(std::int32_t before);
    // While the visitor is handed line `number`: lines `first` to `number` - 1 (no more than
    // the count kept), in order, whether the scan handed them or not.
    void LinesBefore(std::int64_t first, std::int64_t number, const EarlierLines::Each& each);
    // Every line up to `last` is handed over, whatever bytes it holds; also while a line is.
    void HandEveryLineUntil(std::int64_t last) { m_handUntil = last; }

    void WriteText(std::string_view bytes);
    void WriteLineEnd();
    void Close();

    Mode mode() const { return m_mode; }
    // Undecided until the file's first CR or LF has been read.
    LineEnds lineEnds() const { return m_ends; }

private:
    void Reset(const std::string& name);
    // Makes buffered bytes available; false when the data has ended or the read failed,
    // with the byte source's Ctrl-Z then reported to the caller.
    bool Fill();
    // Counts requests answered (or bytes taken as if by requests), telling the pulse each time
    // their count passes a multiple of kBuffersPerPulse.
    void Filled(std::uint64_t requests);
    // The byte source: the next byte, consumed unless it is Ctrl-Z; Ctrl-Z when nothing can
    // be read.
    char TakeByte();
    // A stretch of the data that ScanLines walks in place: the unread rest of the buffer, or
    // bytes the file already held. Readable StopFinder::kPadding bytes past its end.
    struct Window {
        const char* data = nullptr;
        std::size_t size = 0;
        bool inBuffer = false;
    };
    // Where ScanLines is between windows.
    struct ScanState {
        std::int64_t lines = 0;
        bool spans = false;   // a line has begun in an earlier window; m_line holds its bytes
        bool hasKey = false;  // that line holds a key
        bool skipLf = false;  // the last window ended with a CR, whose LF may come next
    };
    // Called with the first CR or LF the file gives.
    void Decide(char lineEnd) {
        if (m_ends == LineEnds::Undecided) m_ends = DecidedBy(lineEnd);
    }
    // The next window, refilling the buffer when the file holds nothing; false when the read
    // failed (or the file is not open for reading), with the code pending.
    bool NextWindow(Window& window);
    // Walks a window: counts its lines, hands over those with a key. True when the data ended
    // in it; the reader is then left on the Ctrl-Z, as AtEnd would leave it.
    bool ScanWindow(const Window& window, const LineKeys& keys, StopFinder& finder,
                    ScanState& state, LineVisitor& visitor);
    void StopAt(const Window& window, std::size_t at);
    // Keeps window.data[from, size) as the bytes, or the next bytes, of a line that goes on in
    // the next window; a line with a key when `hasKey`. Returns false, as ScanWindow does then.
    bool CarryOver(const Window& window, std::size_t from, ScanState& state, bool hasKey);
    // A window's walk once the file's line ends are decided (line_file_scan.cpp).
    class WindowWalk;
    // Both return the code of a failed system write (also stored as pending), or 0.
    std::int32_t WriteOut();
    std::int32_t WriteBlock(const char* data, std::int32_t size);

    platform::SystemApi* m_system;
    ReadPulse* m_pulse = nullptr;
    std::string m_name;
    Mode m_mode = Mode::Closed;
    LineEnds m_ends = LineEnds::Undecided;
    std::unique_ptr<platform::OsFile> m_file;
    // The bytes of a line that goes on over several windows, while ScanLines reads it.
    class SpanningLine final {
    public:
        void Clear() { m_size = 0; }
        void Append(const char* from, std::size_t count);
        std::string_view View() const { return {m_data.get(), m_size}; }

    private:
        std::unique_ptr<char[]> m_data;
        std::size_t m_size = 0;
        std::size_t m_capacity = 0;
    };

    // Padded to twice the block, so that the scan's wide compares can look past its end.
    std::array<char, 2 * kBufferSize> m_buffer{};
    static_assert(kBufferSize >= static_cast<std::int32_t>(StopFinder::kPadding));
    std::int32_t m_position = 0;
    std::int32_t m_end = 0;
    std::uint64_t m_fills = 0;  // requests answered, and held bytes taken in request-sized steps
    bool m_writeOutAtLineEnd = false;
    SpanningLine m_line;
    // What ScanLines keeps for the visitor that asked, and the last line it hands whatever.
    bool m_context = false;
    std::unique_ptr<EarlierLines> m_earlier;
    std::int64_t m_handUntil = 0;
};

}  // namespace sifter
