#pragma once
// A text file read as lines or written as lines through a 128-byte buffer.
//
// A line ends at CR or CR LF (a lone LF is an ordinary byte of the line) and the first Ctrl-Z,
// or the physical end, ends the data. Written lines end with CR LF. Failures are never thrown:
// they are stored as the pending error code (see io_error.h).

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "search/block_masks.h"

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

    void OpenRead(const std::string& name);
    // `pulse` (or nothing) is told while this file reads; it must outlive the reading.
    void SetReadPulse(ReadPulse* pulse) { m_pulse = pulse; }
    void OpenWrite(const std::string& name);

    bool AtEnd();
    std::string ReadLine();
    // The same line into a buffer the caller reuses (it is cleared first).
    void ReadLine(std::string& line);
    void SkipLineEnd();

    // Reads every remaining line, exactly as repeated AtEnd, ReadLine and SkipLineEnd would,
    // numbering them from 1. Lines without the keys are only counted; the others go to the
    // visitor, which makes its own test (a line may hold a key and still not be wanted).
    // Returns the number of lines read.
    std::int64_t ScanLines(const LineKeys& keys, LineVisitor& visitor);

    void WriteText(std::string_view bytes);
    void WriteLineEnd();
    void Close();

    Mode mode() const { return m_mode; }

private:
    static constexpr char kCtrlZ = 26;

    void Reset(const std::string& name);
    // Makes buffered bytes available; false when the data has ended or the read failed,
    // with the byte source's Ctrl-Z then reported to the caller.
    bool Fill();
    // The byte source: the next byte, consumed unless it is Ctrl-Z; Ctrl-Z when nothing can
    // be read.
    char TakeByte();
    // Ends a line that a failed read cut short, as ReadLine and SkipLineEnd would.
    void EndLineAfterFailedRead(std::int64_t& lines, LineVisitor& visitor, bool hasKey);
    // Both return the code of a failed system write (also stored as pending), or 0.
    std::int32_t WriteOut();
    std::int32_t WriteBlock(const char* data, std::int32_t size);

    platform::SystemApi* m_system;
    ReadPulse* m_pulse = nullptr;
    std::string m_name;
    Mode m_mode = Mode::Closed;
    std::unique_ptr<platform::OsFile> m_file;
    // The bytes of a line that goes on over several buffers, while ScanLines reads it. Each
    // piece is copied as a whole buffer's worth, a copy of fixed size that the compiler writes
    // out inline; only the piece's own bytes count.
    class SpanningLine final {
    public:
        void Clear() { m_size = 0; }
        // `from` must be readable for kBufferSize bytes.
        void Append(const char* from, std::size_t count);
        std::string_view View() const { return {m_data.get(), m_size}; }

    private:
        std::unique_ptr<char[]> m_data;
        std::size_t m_size = 0;
        std::size_t m_capacity = 0;
    };

    // Padded to twice the block, so that any place in it can be read a whole block far (for
    // SpanningLine) and a block can be compared with itself shifted by one.
    std::array<char, 2 * kBufferSize> m_buffer{};
    std::int32_t m_position = 0;
    std::int32_t m_end = 0;
    std::uint64_t m_fills = 0;  // counts changes of the buffer's contents
    bool m_writeOutAtLineEnd = false;
    SpanningLine m_line;
};

}  // namespace sifter
