#pragma once
// For the tests that hold the companion's grep forms against the documented rows: the forms as
// a reader of the rows would derive them, a sink that hands every call on to several others,
// and a file that catches what the companion's output writes.

#include <cstdint>
#include <string>
#include <vector>

#include "app/stream_rows.h"
#include "search/run/result_rows.h"

namespace sifter::test {

// One file's rows, as documented, in a grep form: a match row "[LINE] TEXT" gives
// "PATH:LINE:TEXT", a procedure row " TEXT" "PATH:LINE-TEXT" with the line it came from
// (`lines`, one per row), each followed by LF; the count form gives "PATH:N" when N rows
// matched, the file form "PATH" when any did. `notRead` (when not empty) stands where the
// companion tells that the file could not be read: after its lines, before its count.
std::string ModelGrepText(cli::OutputForm form, const std::string& path,
                          const std::vector<ResultEntry>& rows,
                          const std::vector<std::int64_t>& lines, const std::string& notRead);

class FanOutRows final : public RowSink {
public:
    explicit FanOutRows(std::vector<RowSink*> sinks) : m_sinks(std::move(sinks)) {}
    void AddFile(std::string_view path) override;
    void AddRow(std::string_view text, EntryIcon icon, RowOrigin origin) override;
    void FileNotRead(std::int32_t file, std::int32_t code) override;

private:
    std::vector<RowSink*> m_sinks;
};

// A file opened for writing bytes unchanged, for an output stream to write to.
class CapturedOutput final {
public:
    explicit CapturedOutput(std::string path);
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    int fd() const { return m_fd; }
    // Everything written so far; the file is emptied for what comes next.
    std::string Take();

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace sifter::test
