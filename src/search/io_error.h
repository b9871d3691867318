#pragma once
// The pending I/O error code and the exceptions the program raises.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sifter {

// The base of the program's own errors; its message is what the default error box shows.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

class EInOutError final : public Exception {
public:
    explicit EInOutError(std::int32_t code);
    std::int32_t code() const { return m_code; }

private:
    std::int32_t m_code;
};

// "File not found", "I/O error 112" and so on, chosen by the exact code.
std::string IoErrorMessage(std::int32_t code);

// The text of the default error box: the message, with a full stop appended when its last
// character sorts after ".".
std::string ErrorBoxText(const std::string& message);

// One code per thread; 0 means none. Failing file operations store theirs here.
void SetPendingError(std::int32_t code);
std::int32_t PendingError();
// Returns the pending code and clears it.
std::int32_t TakeError();
// Raises EInOutError for a pending code (clearing it); does nothing when none is pending.
void CheckError();

}  // namespace sifter
