#include "search/io_error.h"

#include "platform/platform.h"
#include "search/text/text_rules.h"

namespace sifter {
namespace {

thread_local std::int32_t t_pendingError = 0;

}  // namespace

std::string IoErrorMessage(std::int32_t code) {
    switch (code) {
        case platform::kFileNotFound:
            return "File not found";
        case platform::kPathNotFound:
            return "Invalid filename";
        case platform::kTooManyOpenFiles:
            return "Too many open files";
        case platform::kAccessDenied:
            return "File access denied";
        case kReadBeyondEnd:
            return "Read beyond end of file";
        case kOwnDiskFull:
            return "Disk full";
        case kInvalidNumericInput:
            return "Invalid numeric input";
        default:
            break;
    }
    std::string text = "I/O error ";
    AppendDecimal(code, text);
    return text;
}

EInOutError::EInOutError(std::int32_t code) : Exception(IoErrorMessage(code)), m_code(code) {}

std::string ErrorBoxText(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void SetPendingError(std::int32_t code) {
    t_pendingError = code;
}

std::int32_t PendingError() {
    return t_pendingError;
}

std::int32_t TakeError() {
    const std::int32_t code = t_pendingError;
    t_pendingError = 0;
    return code;
}

void CheckError() {
    if (t_pendingError != 0) throw EInOutError(TakeError());
}

}  // namespace sifter
