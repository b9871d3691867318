#pragma once
// The work a search does on one file: open it by its name, read every line, make its rows,
// close it and hand on the code it left. Each thread of a search has a scanner of its own.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "search/lines/line_file.h"
#include "search/pattern/line_matcher.h"
#include "search/run/complex_lines.h"
#include "search/run/result_rows.h"

namespace sifter {

struct SearchRequest;

class FileScanner final : public LineVisitor {
public:
    // A search by pattern tells `complex` (when given) of each line too complex to tell.
    FileScanner(const SearchRequest& request, platform::SystemApi& system,
                ComplexLines* complex = nullptr);
    FileScanner(const FileScanner&) = delete;
    FileScanner& operator=(const FileScanner&) = delete;

    // Reads the file `name` (opened relative to the current directory) to its end, adding its
    // procedure and match rows to `rows`, each leading to file `fileNumber`. Returns its
    // matching lines. A file that cannot be opened or read to its end is told to `rows` by its
    // code, after the rows it gave; no code is left pending. `pulse` (if any) is told every
    // 64 KiB read.
    std::int64_t Scan(const std::string& name, std::int32_t fileNumber, RowSink& rows,
                      ReadPulse* pulse = nullptr);

    void Line(std::int64_t number, std::string_view line) override;

private:
    bool Matches(std::int64_t number, std::string_view line);

    platform::SystemApi& m_system;
    const bool m_includeProcs;
    LineMatcher m_matcher;
    ComplexLines* m_complex;
    LineKeys m_keys;
    RowSink* m_rows = nullptr;
    std::int64_t m_matches = 0;
    std::int32_t m_file = RowOrigin::kNoFile;
    std::string m_row;
};

}  // namespace sifter
