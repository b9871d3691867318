#include "search/run/save_results.h"

#include "search/io_error.h"
#include "search/lines/line_file.h"

namespace sifter {

const char* const kBadFileNameMessage = "File access error - probably a bad filename.";

SaveOutcome SaveRows(const std::string& fileName, const ResultRows& rows, SaveObserver* observer,
                     platform::SystemApi& system) {
    LineFile file(system);
    file.OpenWrite(fileName);
    if (TakeError() != 0) return SaveOutcome::CannotCreate;
    if (observer != nullptr) observer->Created(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        file.WriteText(rows.Text(i));
        file.WriteLineEnd();
        CheckError();
        if (observer != nullptr) observer->RowWritten(i + 1);
    }
    if (observer != nullptr) observer->BeforeClose();
    file.Close();
    CheckError();
    return SaveOutcome::Saved;
}

}  // namespace sifter
