// The system's error numbers as the program's codes, which choose the messages.

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

#include "platform/platform.h"
#include "search/io_error.h"

namespace sifter {
namespace {

struct MapCase {
    int errorNumber;
    std::int32_t code;
    const char* message;
};

class MapSystemErrorTest : public testing::TestWithParam<MapCase> {};

TEST_P(MapSystemErrorTest, GivesTheCodeWhoseMessageFits) {
    const MapCase& c = GetParam();
    const std::int32_t code = platform::MapSystemError(c.errorNumber);
    EXPECT_EQ(code, c.code) << "errno " << c.errorNumber;
    EXPECT_EQ(IoErrorMessage(code), c.message) << "errno " << c.errorNumber;
}

// The listed numbers keep the table's codes; every other one reads as itself past 1000, also
// those whose plain number is a table code that means something else (EIO is 5, EPIPE 32) or
// one of the reader's own codes (ENETDOWN is 100).
INSTANTIATE_TEST_SUITE_P(
    Table, MapSystemErrorTest,
    testing::Values(
        MapCase{ENOENT, 2, "File not found"}, MapCase{ENOTDIR, 3, "Invalid filename"},
        MapCase{ENAMETOOLONG, 3, "Invalid filename"}, MapCase{ELOOP, 3, "Invalid filename"},
        MapCase{EMFILE, 4, "Too many open files"}, MapCase{ENFILE, 4, "Too many open files"},
        MapCase{EACCES, 5, "File access denied"}, MapCase{EPERM, 5, "File access denied"},
        MapCase{EROFS, 5, "File access denied"}, MapCase{EISDIR, 5, "File access denied"},
        MapCase{EBUSY, 32, "I/O error 32"}, MapCase{ETXTBSY, 32, "I/O error 32"},
        MapCase{ENOSPC, 112, "I/O error 112"}, MapCase{EDQUOT, 112, "I/O error 112"},
        MapCase{EIO, 1005, "I/O error 1005"}, MapCase{EPIPE, 1032, "I/O error 1032"},
        MapCase{ENXIO, 1006, "I/O error 1006"}, MapCase{EBADF, 1009, "I/O error 1009"},
        MapCase{EINVAL, 1022, "I/O error 1022"}, MapCase{EFBIG, 1027, "I/O error 1027"},
        MapCase{ENETDOWN, 1100, "I/O error 1100"}, MapCase{ESTALE, 1116, "I/O error 1116"}));

TEST(MapSystemErrorTest, NoErrorNumberReadsAsATableCodeItDoesNotMean) {
    const std::map<int, std::int32_t> listed = {
        {ENOENT, 2}, {ENOTDIR, 3},  {ENAMETOOLONG, 3}, {ELOOP, 3},   {EMFILE, 4},
        {ENFILE, 4}, {EACCES, 5},   {EPERM, 5},        {EROFS, 5},   {EISDIR, 5},
        {EBUSY, 32}, {ETXTBSY, 32}, {ENOSPC, 112},     {EDQUOT, 112}};
    for (int errorNumber = 0; errorNumber < 200; ++errorNumber) {
        const auto found = listed.find(errorNumber);
        const std::int32_t expected = found != listed.end() ? found->second : 1000 + errorNumber;
        EXPECT_EQ(platform::MapSystemError(errorNumber), expected) << "errno " << errorNumber;
    }
}

}  // namespace
}  // namespace sifter
