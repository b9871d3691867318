#pragma once
// The rows of a search on standard output, as they are made, in one of the companion's forms:
// as a save of them writes them, or as grep prints its matching lines, counts or file names.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/output_stream.h"
#include "search/run/result_rows.h"

namespace sifter::cli {

enum class OutputForm {
    Rows,              // every row followed by CR LF: the bytes a save of the same rows gives
    Grep,              // PATH:LINE:TEXT for a match row, PATH:LINE-TEXT for a procedure row
    Count,             // PATH:N for each file with N match rows, none for N = 0
    FilesWithMatches,  // PATH for each file with a match row
    Quiet,             // nothing: the first match row ends the search (FirstMatch is thrown)
};

// How the grep forms write their lines.
struct GrepStyle {
    bool names = true;    // PATH before each line and count (grep -h leaves it out)
    bool groups = false;  // "--" between groups of lines that do not touch (context asked)
};

// Thrown by the quiet form at the first match row: the search has its answer, and ends.
struct FirstMatch {};

class StreamRows final : public RowSink {
public:
    // Told of a file that could not be read once every row before it has been written.
    using NotRead = std::function<void(std::int32_t file, std::int32_t code)>;

    using PathOf = std::function<std::string(std::int32_t file)>;

    // `pathOf`: the PATH of a file of the search, by number, in the grep forms (the rows and the
    // quiet form need none; each PATH is made when its file's first row is written), which end
    // their lines with an LF alone and write a line's LF as a blank (so that a line of a file
    // whose lines end in CR stays one line there). A context row is "PATH-LINE-TEXT".
    StreamRows(OutputStream& out, OutputForm form, PathOf pathOf, NotRead notRead,
               GrepStyle style = {});

    // The rows that lead to a file name it by its number; a new file ends the last one's count.
    void AddFile(std::string_view) override;
    void AddRow(const SearchRow& row) override;
    void FileNotRead(std::int32_t file, std::int32_t code) override;
    // Writes what is still owed (the last file's count) and everything buffered; false when
    // anything could not be written. Rows after it start afresh.
    bool Finish();

private:
    void WriteCount();
    // PATH, then `mark`, unless the style leaves names out.
    void StartLine(const std::string& path, char mark);
    // With groups: "--" before a row of another file, or of a line that does not touch the last
    // one written.
    void SeparateGroup(const RowOrigin& origin);

    OutputStream& m_out;
    const OutputForm m_form;
    // The PATH of the file whose rows are written now.
    const std::string& FilePath(std::int32_t file);

    const PathOf m_pathOf;
    std::int32_t m_pathFile = -1;
    std::string m_path;
    NotRead m_notRead;
    const GrepStyle m_style;
    RowOrigin m_written;  // the last line written, in the grep form with groups
    std::int32_t m_countedFile = RowOrigin::kNoFile;
    std::int64_t m_count = 0;  // match rows of the file in turn so far, m_countedFile's
    std::string m_line;        // the line being written, reused
};

}  // namespace sifter::cli
