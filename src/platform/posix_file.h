#pragma once
// The POSIX layer's open files, and what it knows of the file systems they are read from.

#include <memory>
#include <string>

#include "platform/platform.h"

namespace sifter::platform {

// A name with a NUL byte in it would reach the system cut at the NUL and name another file.
inline bool HasEmbeddedNul(const std::string& name) {
    return name.find('\0') != std::string::npos;
}

// How a file's reads learn that the file has ended.
enum class ReadEnd {
    // A read that comes back empty: the file is asked once more after its last bytes.
    Empty,
    // Also a read that comes back short. Only for a regular file on a file system whose reads
    // fill the buffer whenever the file has the bytes (see ShortReadIsEnd); there a read of the
    // last bytes saves the call that would come back empty.
    Short,
};

// An open descriptor, released with the file. The buffer that serves its small reads is left,
// once it is closed, to the next file the thread opens.
std::unique_ptr<OsFile> MakePosixFile(int fd, ReadEnd end);

// Whether the file system of the open directory `dirFd` serves every read of a regular file in
// full up to the file's end: the local disk file systems and memory-backed ones do; a
// process's or the kernel's own files (proc, sysfs), FUSE and network file systems may give
// fewer bytes while more follow.
bool ShortReadIsEnd(int dirFd);

// A batch that reads through io_uring; null where the kernel or a sandbox refuses it.
std::unique_ptr<ReadBatch> MakeUringBatch();

}  // namespace sifter::platform
