#pragma once
// The work a search does on one file: open it by its name, read every line, make its rows,
// close it and hand on the code it left. Each thread of a search has a scanner of its own.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/lines/line_file.h"
#include "search/pattern/line_matcher.h"
#include "search/run/complex_lines.h"
#include "search/run/result_rows.h"
#include "search/run/search_request.h"

namespace sifter {

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

    // How long the last Scan took from its open to its close: long for a file of a few
    // kilobytes when the system had to go to the disk for it.
    std::chrono::steady_clock::duration ReadTook() const { return m_readTook; }

    // The files scanned from now on were listed as FileSet::ShortReadIsEnd says; when they
    // were so listed, they may be read ahead in batches where the system offers them.
    void SetShortReadIsEnd(bool shortReadIsEnd);
    // How many files ReadAhead reads at once: 1 when it reads none.
    std::int32_t AheadAtOnce() const;
    // Reads the files `from` to before `to` of `names` (at most AheadAtOnce), so that their
    // Scan, by the same numbers, finds them read already. Each file not read whole then is
    // opened by Scan as ever.
    void ReadAhead(const std::vector<std::string>& names, std::int32_t from, std::int32_t to);

private:
    bool Matches(std::int64_t number, std::string_view line);
    void AddRow(RowKind kind, std::int64_t number, std::string_view line);

    // With context lines asked (file_scanner_context.cpp): every line within the context of a
    // matching line gets a row, a context row unless it has a row of its own, each line once
    // and in order. A procedure row waits while a match to come may still want lines before
    // it.
    void ContextLine(std::int64_t number, std::string_view line, bool procedure, bool match);
    // Writes the procedure rows held for lines before `limit`.
    void ShowHeldBefore(std::int64_t limit);
    // Writes line `number`'s row: its held procedure row when it has one, else a context row.
    void ShowEarlier(std::int64_t number, std::string_view line);
    // A search that reads Pascal's structure (file_scanner_pascal.cpp): the lines the scan found
    // a match or a procedure line on are gathered, and only a file with some has its code read,
    // from the start to its last matching line, for the routine and type rows and the kinds of
    // text each match starts in: from the bytes the scan held (ShowPascalRows), or, for a file
    // too large to hold while it is scanned, read again whole (PascalRows, which returns the
    // code of a failed read).
    std::int32_t PascalRows(const std::string& name, LineEnds ends);
    void ShowPascalRows(std::string_view bytes, LineEnds ends);
    // Whether an occurrence on `line` starts in a kind of text asked for.
    bool Counts(std::string_view line, const std::vector<PascalKind>& kinds);

    struct HeldProcedure {
        std::int64_t number = 0;
        std::string line;
    };

    platform::SystemApi& m_system;
    const bool m_includeProcs;
    LineMatcher m_matcher;
    ComplexLines* m_complex;
    LineKeys m_keys;
    RowSink* m_rows = nullptr;
    std::int64_t m_matches = 0;
    std::int32_t m_file = RowOrigin::kNoFile;
    std::string m_row;
    const ContextLines m_context;
    LineFile* m_reading = nullptr;  // the file being scanned, for the lines before a match
    std::int64_t m_shown = 0;       // the last line of the file given a row
    std::int64_t m_afterUntil = 0;  // the last line of the context after a match
    std::vector<HeldProcedure> m_held;
    const bool m_pascal;
    const bool m_routines;
    const SearchIn m_searchIn;
    // Files up to this size are held whole while they are scanned when their structure is read:
    // most sources. A larger one is read again whole into the same memory when it has a match,
    // so that the many without one are scanned as they are read.
    static constexpr std::size_t kHoldLimit = 1024 * 1024;
    HoldBuffer m_hold;
    std::vector<std::int64_t> m_candidates;  // lines with a match, before their kinds are read
    std::vector<HeldProcedure> m_procLines;
    std::chrono::steady_clock::duration m_readTook{};
    bool m_shortReadIsEnd = false;
    std::unique_ptr<platform::ReadBatch> m_batch;
    std::int32_t m_batchFrom = 0;  // the file number of the batch's first file
    std::int32_t m_batchTo = 0;
    std::vector<const std::string*> m_batchNames;
    std::chrono::steady_clock::duration m_batchTook{};  // the batch's reading, a file's share
};

}  // namespace sifter
