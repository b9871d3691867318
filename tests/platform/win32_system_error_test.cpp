// Windows' error numbers as the program's codes, which choose the messages.

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/win32_headers.h"
#include "search/io_error.h"

namespace sifter {
namespace {

TEST(Win32ErrorTest, WindowsNumbersAreTheTablesOwnAndNeverTheProgramsCodes) {
    const struct {
        int system;
        std::int32_t code;
        const char* message;
    } cases[] = {{ERROR_FILE_NOT_FOUND, 2, "File not found"},
                 {ERROR_PATH_NOT_FOUND, 3, "Invalid filename"},
                 {ERROR_TOO_MANY_OPEN_FILES, 4, "Too many open files"},
                 {ERROR_ACCESS_DENIED, 5, "File access denied"},
                 {ERROR_NOT_READY, 21, "I/O error 21"},
                 {ERROR_SHARING_VIOLATION, 32, "I/O error 32"},
                 {ERROR_DISK_FULL, 112, "I/O error 112"},
                 {ERROR_INVALID_NAME, 123, "I/O error 123"},
                 {100, 1100, "I/O error 1100"},
                 {101, 1101, "I/O error 1101"},
                 {106, 1106, "I/O error 1106"}};
    for (const auto& c : cases) {
        EXPECT_EQ(platform::MapSystemError(c.system), c.code) << c.system;
        EXPECT_EQ(IoErrorMessage(platform::MapSystemError(c.system)), c.message) << c.system;
    }
}

}  // namespace
}  // namespace sifter
