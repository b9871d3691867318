#pragma once
// Writing the rows of a result list to a text file, one row per CR LF line.

#include <cstddef>
#include <string>

#include "platform/platform.h"
#include "search/run/result_rows.h"

namespace sifter {

extern const char* const kBadFileNameMessage;  // "File access error - probably a bad filename."

// What the window shows while a save runs.
class SaveObserver {
public:
    virtual ~SaveObserver() = default;
    // The file exists and is empty; `rowCount` rows follow.
    virtual void Created(std::size_t rowCount) = 0;
    virtual void RowWritten(std::size_t rowsWritten) = 0;
    // The last row is handed over; the file is closed next.
    virtual void BeforeClose() = 0;
};

enum class SaveOutcome { Saved, CannotCreate };

// CannotCreate when the file cannot be created (nothing then exists or changed). A failed
// write or close throws EInOutError; the file then holds the blocks written before it.
SaveOutcome SaveRows(const std::string& fileName, const ResultRows& rows, SaveObserver* observer,
                     platform::SystemApi& system = platform::System());

}  // namespace sifter
