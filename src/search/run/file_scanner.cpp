#include "search/run/file_scanner.h"

#include <algorithm>

#include "search/io_error.h"
#include "search/run/search_request.h"
#include "search/text/text_rules.h"

namespace sifter {

FileScanner::FileScanner(const SearchRequest& request, platform::SystemApi& system,
                         ComplexLines* complex)
    : m_system(system),
      m_includeProcs(request.includeProcs),
      m_matcher(request.text, request.rules),
      m_complex(complex),
      m_keys(m_matcher.Keys()),
      m_context(request.context),
      m_pascal(PascalAware(request)),
      m_routines(m_pascal && request.options.routines),
      m_searchIn(m_pascal ? request.options.searchIn : SearchIn{}) {
    // Only lines with the text's key bytes can match, and only lines with a closing
    // parenthesis can be procedure lines; the rest are merely counted.
    if (m_includeProcs) m_keys.alternative = ByteChoice{')', 0, 1};
}

std::int64_t FileScanner::Scan(const std::string& name, std::int32_t fileNumber, RowSink& rows,
                               ReadPulse* pulse) {
    m_rows = &rows;
    m_file = fileNumber;
    m_matches = 0;
    m_shown = 0;
    m_afterUntil = 0;
    m_held.clear();
    m_candidates.clear();
    m_procLines.clear();
    // A code left by someone else is not this file's.
    TakeError();
    std::int32_t failure = 0;
    LineFile file(m_system);
    file.SetReadPulse(pulse);
    if (m_context.asked) file.OfferContext(m_context.before);
    m_reading = &file;
    try {
        const auto opening = std::chrono::steady_clock::now();
        std::string_view bytes;
        const bool batched =
            fileNumber >= m_batchFrom && fileNumber < m_batchTo &&
            m_batch->Whole(static_cast<std::size_t>(fileNumber - m_batchFrom), bytes);
        if (batched)
            file.OpenBytes(name, bytes);
        else
            file.OpenRead(name, m_shortReadIsEnd);
        // Its share of the batch's reading.
        const auto took = batched ? m_batchTook : std::chrono::steady_clock::duration{};
        if (file.mode() == LineFile::Mode::Reading) {
            // A Pascal source whose rows need its structure is held whole, for a second look
            // at the files with a match without reading them again; its batch holds it already.
            const HeldRead held = !m_pascal ? HeldRead{}
                                  : batched ? HeldRead{nullptr, true, true, bytes}
                                            : file.HoldWhole(m_hold, kHoldLimit);
            file.ScanLines(m_keys, *this);
            failure = TakeError();
            // No match is left to want lines before the procedure rows still held.
            if (!m_held.empty()) ShowHeldBefore(INT64_MAX);
            const LineEnds ends = file.lineEnds();
            file.Close();
            if (!m_candidates.empty() || !m_procLines.empty()) {
                // A file whose reading failed gives the rows of the lines read before it.
                if (held.whole || (held.held && failure != 0))
                    ShowPascalRows(held.bytes, ends);
                else if (failure == 0)
                    failure = PascalRows(name, ends);
            }
        }
        m_readTook = std::chrono::steady_clock::now() - opening + took;
    } catch (...) {
        // The rows could not be taken (no memory, or the search was given up): the file is
        // released unread, and it leaves no code behind either.
        TakeError();
        m_reading = nullptr;
        throw;
    }
    // The open's code, or the close's when the reading went well.
    const std::int32_t left = TakeError();
    if (failure == 0) failure = left;
    if (failure != 0) rows.FileNotRead(fileNumber, failure);
    m_rows = nullptr;
    m_reading = nullptr;
    return m_matches;
}

void FileScanner::SetShortReadIsEnd(bool shortReadIsEnd) {
    m_shortReadIsEnd = shortReadIsEnd;
    m_batchFrom = m_batchTo = 0;
    if (!shortReadIsEnd)
        m_batch.reset();
    else if (!m_batch)
        m_batch = m_system.MakeReadBatch();
}

std::int32_t FileScanner::AheadAtOnce() const {
    return m_batch ? platform::ReadBatch::kFiles : 1;
}

void FileScanner::ReadAhead(const std::vector<std::string>& names, std::int32_t from,
                            std::int32_t to) {
    m_batchFrom = m_batchTo = 0;
    if (!m_batch) return;
    to = std::min(to, from + platform::ReadBatch::kFiles);
    m_batchNames.clear();
    for (std::int32_t file = from; file < to; ++file)
        m_batchNames.push_back(&names[static_cast<std::size_t>(file)]);
    const auto reading = std::chrono::steady_clock::now();
    m_batch->Read(m_batchNames);
    m_batchTook = (std::chrono::steady_clock::now() - reading) /
                  static_cast<std::int64_t>(m_batchNames.size());
    m_batchFrom = from;
    m_batchTo = from + static_cast<std::int32_t>(m_batchNames.size());
}

// Part of Line, where every line the scan hands over passes.
[[gnu::always_inline]] inline bool FileScanner::Matches(std::int64_t number,
                                                        std::string_view line) {
    const LineMatch match = m_matcher.Match(line);
    if (match == LineMatch::TooComplex && m_complex != nullptr) m_complex->Add(m_file, number);
    return match == LineMatch::Yes;
}

void FileScanner::AddRow(RowKind kind, std::int64_t number, std::string_view line) {
    switch (kind) {
        case RowKind::Procedure:
            m_row.assign(" ").append(line);
            break;
        case RowKind::Match:
            m_row.assign("[");
            AppendDecimal(number, m_row);
            m_row.append("] ").append(line);
            break;
        default:
            m_row.assign(line);
            break;
    }
    const std::string_view text = m_row;
    m_rows->AddRow({kind, text, RowOrigin{m_file, number}, text.substr(text.size() - line.size())});
}

void FileScanner::Line(std::int64_t number, std::string_view line) {
    if (m_pascal) {
        if (m_includeProcs && IsProcLine(line)) m_procLines.push_back({number, std::string(line)});
        if (Matches(number, line)) m_candidates.push_back(number);
        return;
    }
    if (m_context.asked) {
        const bool procedure = m_includeProcs && IsProcLine(line);
        ContextLine(number, line, procedure, Matches(number, line));
        return;
    }
    // The rows written here rather than by AddRow: every match row of a search passes here.
    const auto add = [&](RowKind kind) {
        const std::string_view text = m_row;
        m_rows->AddRow(
            {kind, text, RowOrigin{m_file, number}, text.substr(text.size() - line.size())});
    };
    if (m_includeProcs && IsProcLine(line)) {
        m_row.assign(" ").append(line);
        add(RowKind::Procedure);
    }
    if (Matches(number, line)) {
        m_row.assign("[");
        AppendDecimal(number, m_row);
        m_row.append("] ").append(line);
        add(RowKind::Match);
        ++m_matches;
    }
}

}  // namespace sifter
