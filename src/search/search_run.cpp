#include "search/search_run.h"

#include "search/file_set.h"
#include "search/io_error.h"
#include "search/line_file.h"
#include "search/text_matcher.h"
#include "search/text_rules.h"

namespace sifter {

const char* const kBannerRow = "Sifter32 Search Results ";

std::string_view FileMask(FileType type) {
    return type == FileType::Scripts ? "*.sc" : "*.pas";
}

std::string_view FileExtension(FileType type) {
    return type == FileType::Scripts ? ".sc" : ".pas";
}

std::string EmptySetMessage(FileType type, const std::string& directory) {
    return " No " + std::string(FileExtension(type)) + " files in " + directory + ".";
}

std::string SummaryText(const std::string& text, const SearchSummary& summary) {
    return " Sifter32 Found " + DecimalText(summary.matches) + " instances of \"" + text +
           "\" in " + DecimalText(summary.files) + " files";
}

namespace {

// The per-line work of one search, with every buffer kept between lines and files.
class LineMatcher final : public LineVisitor {
public:
    LineMatcher(const SearchRequest& request, RowSink& rows)
        : m_includeProcs(request.includeProcs),
          m_text(request.text, request.caseSensitive),
          m_rows(rows),
          m_keys(m_text.Keys()) {
        // Only lines with the text's key bytes can match, and only lines with a closing
        // parenthesis can be procedure lines; the rest are merely counted.
        if (m_includeProcs) m_keys.alternative = ByteChoice{')', 0, 1};
    }

    // Reads one open file to its end; returns its matching lines. Rows lead to `fileNumber`.
    std::int64_t ReadFile(LineFile& file, std::int32_t fileNumber) {
        m_matches = 0;
        m_file = fileNumber;
        file.ScanLines(m_keys, *this);
        return m_matches;
    }

    void Line(std::int64_t number, std::string_view line) override {
        if (m_includeProcs && IsProcLine(line)) {
            m_row.assign(" ").append(line);
            m_rows.AddRow(m_row, EntryIcon::Procedure, RowOrigin{m_file, number});
        }
        if (m_text.Matches(line)) {
            m_row.assign("[");
            AppendDecimal(number, m_row);
            m_row.append("] ").append(line);
            m_rows.AddRow(m_row, EntryIcon::Blank, RowOrigin{m_file, number});
            ++m_matches;
        }
    }

private:
    const bool m_includeProcs;
    TextMatcher m_text;
    RowSink& m_rows;
    LineKeys m_keys;
    std::int64_t m_matches = 0;
    std::int32_t m_file = RowOrigin::kNoFile;
    std::string m_row;
};

}  // namespace

SearchSummary RunSearch(const SearchRequest& request, const FileSet& files, RowSink& rows,
                        SearchProgress* progress, platform::SystemApi& system) {
    // The heading shows where the names are opened: the current directory, which the file set
    // made its own at its last read (a chooser that was cancelled may have moved it since).
    const platform::PathResult current = system.CurrentDirectory();
    const std::string& directory = current.error == 0 ? current.path : files.Directory();
    rows.AddRow(kBannerRow, EntryIcon::Banner, {});
    rows.AddRow("   Search Path: " + directory, EntryIcon::Blank, {});
    rows.AddRow("   Search String: \"" + request.text + "\"", EntryIcon::Blank, {});

    SearchSummary summary;
    summary.files = files.Count();
    if (progress != nullptr) progress->Started(summary.files, request.text);

    LineMatcher matcher(request, rows);
    const std::string ofCount = " of " + DecimalText(summary.files);
    for (std::int32_t i = 0; i < summary.files; ++i) {
        const std::string& name = files.Name(i);
        if (progress != nullptr) progress->FileStarted(i + 1, name);
        LineFile file(system);
        file.SetReadPulse(progress);
        file.OpenRead(name);
        // Rows keep the full path: the current directory may have moved by the time a row is
        // followed back to its file.
        rows.AddFile(platform::PathInDirectory(directory, name));
        rows.AddRow(" ", EntryIcon::Blank, {});
        rows.AddRow(" " + name + " - " + DecimalText(i + 1) + ofCount, EntryIcon::File, {i, 1});
        rows.AddRow(" ", EntryIcon::Blank, {});
        summary.matches += matcher.ReadFile(file, i);
        file.Close();
        TakeError();
    }
    if (progress != nullptr) progress->Finished();
    return summary;
}

}  // namespace sifter
