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

class EInOutError : public Exception {
public:
    explicit EInOutError(std::int32_t code);
    std::int32_t code() const { return m_code; }

private:
    std::int32_t m_code;
};

// A directory that could be made current but not listed, as a directory searched must be: its
// names would read as none. The window shows it as any I/O error; sifter32-cli words it as a
// directory not read.
class EDirectoryNotListed final : public EInOutError {
public:
    using EInOutError::EInOutError;
};

// The codes of the program's own, beside the system's (platform.h): 100, 101 and 106 have
// messages of their own, 103 to 105 are left by a file used in the wrong mode.
inline constexpr std::int32_t kReadBeyondEnd = 100;
inline constexpr std::int32_t kOwnDiskFull = 101;
inline constexpr std::int32_t kNotOpen = 103;
inline constexpr std::int32_t kNotOpenForReading = 104;
inline constexpr std::int32_t kNotOpenForWriting = 105;  // or of a kind the system cannot tell
inline constexpr std::int32_t kInvalidNumericInput = 106;

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
