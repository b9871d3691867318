#pragma once
// For the tests that hold the companion's grep forms against the documented rows: the forms as
// a reader of the rows would derive them, a sink that hands every call on to several others,
// and the companion's sinks of the three forms writing to files.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/stream_rows.h"
#include "search/run/result_rows.h"
#include "search/run/search_request.h"

namespace sifter::test {

// One file's rows, as documented, in a grep form: a match row "[LINE] TEXT" gives
// "PATH:LINE:TEXT", a procedure row " TEXT" "PATH:LINE-TEXT" with the line it came from
// (`lines`, one per row), each followed by LF; the count form gives "PATH:N" when N rows
// matched, the file form "PATH" when any did. `notRead` (when not empty) stands where the
// companion tells that the file could not be read: after its lines, before its count.
std::string ModelGrepText(cli::OutputForm form, const std::string& path,
                          const std::vector<ResultEntry>& rows,
                          const std::vector<std::int64_t>& lines, const std::string& notRead);

// One file's lines in the grep form with context lines, as grep writes them: each line within
// `context.before` lines before or `context.after` lines after a matching line, and each
// procedure line, once and in order; a procedure line as "PATH:LINE-TEXT" (then, when it also
// matches, "PATH:LINE:TEXT"), a matching line as "PATH:LINE:TEXT", any other as
// "PATH-LINE-TEXT", an LF in TEXT as a blank; "--" before a line that does not follow the last
// one written, in this file or, `written`, in one before it (it is set when a line is written).
std::string ModelContextText(const std::string& path, const std::vector<std::string>& lines,
                             const std::vector<bool>& procedures, const std::vector<bool>& matches,
                             const ContextLines& context, bool& written);

class FanOutRows final : public RowSink {
public:
    explicit FanOutRows(std::vector<RowSink*> sinks) : m_sinks(std::move(sinks)) {}
    void AddFile(std::string_view path) override;
    void AddRow(const SearchRow& row) override;
    void FileNotRead(std::int32_t file, std::int32_t code) override;

private:
    std::vector<RowSink*> m_sinks;
};

// The grep forms of one search, each written by the companion's own sink, as the search goes,
// to a file of its own; a file not read is written among them as NotReadLine says.
class GrepForms final {
public:
    static constexpr cli::OutputForm kForms[] = {cli::OutputForm::Grep, cli::OutputForm::Count,
                                                 cli::OutputForm::FilesWithMatches};

    // The files are named `pathPrefix` and the form's number; `names` are the search's.
    GrepForms(const std::string& pathPrefix, const std::vector<std::string>& names,
              cli::GrepStyle style = {});
    ~GrepForms();
    GrepForms(const GrepForms&) = delete;
    GrepForms& operator=(const GrepForms&) = delete;

    static std::string NotReadLine(std::int32_t file, std::int32_t code);
    // The three sinks, and `others` after them.
    std::vector<RowSink*> Sinks(std::vector<RowSink*> others) const;
    // All that form kForms[i] wrote since the last call; throws when it could not be written.
    std::string Take(std::size_t i);

private:
    struct Output;
    std::vector<std::unique_ptr<Output>> m_outputs;
};

}  // namespace sifter::test
