#pragma once
// A file open for reading whose bytes were all read into memory at once, so that the line scan
// walks them in place and they are still there when the scan is over: for a search that reads
// some files a second time (a Pascal source's structure), without asking the system again.

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace sifter {

// Memory for the files held, one after the other, kept between them: it grows by doubling, so
// that the system is seldom asked for new pages (each costs a fault when it is first written).
class HoldBuffer final {
public:
    // At least `size` bytes, readable platform::OsFile::kHeldPadding bytes further, the first
    // `kept` of them as they were.
    char* Reserve(std::size_t size, std::size_t kept = 0);

private:
    std::unique_ptr<char[]> m_data;
    std::size_t m_capacity = 0;
};

// What Hold made of a file.
struct HeldRead {
    std::unique_ptr<platform::OsFile> file;  // what to read the file through from now on
    // The bytes read, from the file's start: all of them when `whole`, else those before the
    // failure that ended the reading or before the limit.
    bool held = false;
    bool whole = false;
    std::string_view bytes;
};

// Reads `file`, just opened, to its end into `buffer` when its size is known and at most `limit`
// bytes. The file given back answers every read as `file` would have: with the bytes held, then
// with the failure the reading met, if any, then with what `file` reads from there on (the rest
// of a file that grew past `limit` while it was read). A file it does not hold is given back as
// it is.
HeldRead Hold(std::unique_ptr<platform::OsFile> file, HoldBuffer& buffer, std::size_t limit);

// A file read whole elsewhere (platform::ReadBatch): its reads give `bytes`, which stay where
// they are, then the end. It holds nothing of the system's.
std::unique_ptr<platform::OsFile> BytesAsFile(std::string_view bytes);

}  // namespace sifter
