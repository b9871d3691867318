#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/path_rules.h"
#include "platform/platform.h"
#include "platform/posix_file.h"
#include "platform/volumes_posix.h"

namespace sifter::platform {
namespace {

// O_NONBLOCK keeps the open itself from waiting (a FIFO without a partner). A file opened for
// writing is then used in the ordinary blocking way, so that a pipe takes every block. A file
// opened for reading keeps the flag: it changes nothing for a regular file, and something put
// in a listed file's place after the listing (a FIFO whose writer never writes) then reads as
// failed instead of stalling the search.
int OpenNonBlocking(const std::string& name, int flags, mode_t mode, bool keepNonBlocking) {
    int fd;
    do {
        fd = ::open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    // F_SETFL only touches the status flags, none of which we set: this clears O_NONBLOCK.
    if (fd >= 0 && !keepNonBlocking) ::fcntl(fd, F_SETFL, 0);
    return fd;
}

EntryType TypeFromMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryType::Regular;
    if (S_ISDIR(mode)) return EntryType::Directory;
    return EntryType::Other;
}

EntryType TypeFromDirent(unsigned char type) {
    switch (type) {
        case DT_REG:
            return EntryType::Regular;
        case DT_DIR:
            return EntryType::Directory;
        case DT_LNK:
            return EntryType::Symlink;
        case DT_UNKNOWN:
            return EntryType::Unknown;
        default:
            return EntryType::Other;
    }
}

class PosixSystemApi final : public SystemApi {
public:
    OpenResult OpenRead(const std::string& name) override { return Open(name, O_RDONLY, 0, true); }
    OpenResult OpenListedRead(const std::string& name) override {
        return Open(name, O_RDONLY, 0, true, ReadEnd::Short);
    }
    std::unique_ptr<ReadBatch> MakeReadBatch() override { return MakeUringBatch(); }

    void AdviseWillRead(const std::string& name) override {
        if (HasEmbeddedNul(name)) return;
        const int saved = errno;
        // Opened as the read opens it, never blocking; only a regular file is read ahead.
        const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0) {
            struct stat info {};
            if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
                ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
            ::close(fd);
        }
        errno = saved;
    }

    OpenResult Create(const std::string& name) override {
        return Open(name, O_WRONLY | O_CREAT | O_TRUNC, 0666, false);
    }

    std::int32_t ListDirectory(const std::string& path,
                               const std::function<void(const DirEntry&)>& each) override {
        if (HasEmbeddedNul(path)) return kPathNotFound;
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) return MapSystemError(errno);
        const bool filled = ShortReadIsEnd(::dirfd(dir));
        std::int32_t result = 0;
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr) {
                if (errno != 0) result = MapSystemError(errno);
                break;
            }
            EntryType type = TypeFromDirent(entry->d_type);
            // Some file systems leave the kind to a stat. The entry itself is looked at, not
            // what a link leads to, so that a walk can tell a link to a directory.
            struct stat info {};
            if (type == EntryType::Unknown &&
                ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISLNK(info.st_mode) ? EntryType::Symlink : TypeFromMode(info.st_mode);
            each(DirEntry{entry->d_name, type, entry->d_name[0] == '.',
                          filled && type == EntryType::Regular});
        }
        ::closedir(dir);
        return result;
    }

    EntryType ResolveType(const std::string& path) override {
        struct stat info {};
        if (HasEmbeddedNul(path) || ::stat(path.c_str(), &info) != 0) return EntryType::Unknown;
        return TypeFromMode(info.st_mode);
    }

    PathResult CurrentDirectory() override {
        std::string buffer(PATH_MAX, '\0');
        for (;;) {
            if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
                buffer.resize(std::strlen(buffer.c_str()));
                return {buffer, 0};
            }
            if (errno != ERANGE) return {{}, MapSystemError(errno)};
            buffer.resize(buffer.size() * 2);
        }
    }

    std::int32_t SetCurrentDirectory(const std::string& path) override {
        if (HasEmbeddedNul(path)) return kPathNotFound;
        if (path.empty()) return kFileNotFound;
        return ::chdir(path.c_str()) == 0 ? 0 : MapSystemError(errno);
    }

    PathResult FullPath(const std::string& path) override {
        if (!path.empty() && path.front() == '/') return {path, 0};
        PathResult current = CurrentDirectory();
        if (current.error == 0) current.path = kPosixPaths.Join(current.path, path);
        return current;
    }

    std::vector<Volume> ListVolumes() override { return ReadMountedVolumes(); }

    std::int32_t MakeDirectory(const std::string& path) override {
        if (HasEmbeddedNul(path)) return kPathNotFound;
        // Only the user's: the XDG base directory rules ask it of what they make.
        return ::mkdir(path.c_str(), 0700) == 0 ? 0 : MapSystemError(errno);
    }

    std::int32_t Rename(const std::string& from, const std::string& to) override {
        if (HasEmbeddedNul(from) || HasEmbeddedNul(to)) return kPathNotFound;
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : MapSystemError(errno);
    }

    std::int32_t RemoveFile(const std::string& name) override {
        if (HasEmbeddedNul(name)) return kPathNotFound;
        return ::unlink(name.c_str()) == 0 ? 0 : MapSystemError(errno);
    }

private:
    static OpenResult Open(const std::string& name, int flags, mode_t mode, bool keepNonBlocking,
                           ReadEnd end = ReadEnd::Empty) {
        if (HasEmbeddedNul(name)) return {nullptr, kPathNotFound};
        const int fd = OpenNonBlocking(name, flags, mode, keepNonBlocking);
        if (fd < 0) return {nullptr, MapSystemError(errno)};
        return {MakePosixFile(fd, end), 0};
    }
};

}  // namespace

std::int32_t MapSystemError(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return kFileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return kPathNotFound;
        case EMFILE:
        case ENFILE:
            return kTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return kAccessDenied;
        case EBUSY:
        case ETXTBSY:
            return kSharingViolation;
        case ENOSPC:
        case EDQUOT:
            return kDiskFull;
        default:
            break;
    }
    // Any other number is moved past every code of the program's own: left as it was, EIO (5)
    // would read as "File access denied", EPIPE (32) as a file held by another process, and
    // ENETDOWN (100) as one of the reader's own codes.
    return 1000 + errorNumber;
}

SystemApi& PosixSystem() {
    static PosixSystemApi system;
    return system;
}

SystemApi& NativeSystem() {
    return PosixSystem();
}

const PathRules& Paths() {
    return kPosixPaths;
}

void PrepareProcess() {
    std::signal(SIGPIPE, SIG_IGN);
}

int WriteToDescriptor(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

void EndByClosedPipe(int status) {
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    ::pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
    std::raise(SIGPIPE);
    // Not reached unless something outside the program keeps the signal from ending it.
    std::_Exit(status);
}

const char* RawCommandLine() {
    return nullptr;
}

void SpreadThread(std::thread& thread) {
#ifdef __linux__
    const int here = ::sched_getcpu();
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (here < 0 || ::pthread_getaffinity_np(::pthread_self(), sizeof allowed, &allowed) != 0)
        return;
    cpu_set_t elsewhere = allowed;
    CPU_CLR(here, &elsewhere);
    if (CPU_COUNT(&elsewhere) == 0) return;
    // Narrowing the set moves the thread at once; widening it again leaves it where it went.
    const pthread_t handle = thread.native_handle();
    if (::pthread_setaffinity_np(handle, sizeof elsewhere, &elsewhere) == 0)
        ::pthread_setaffinity_np(handle, sizeof allowed, &allowed);
#else
    static_cast<void>(thread);
#endif
}

std::size_t FindBytes(std::string_view haystack, std::string_view needle) {
    const void* hit = ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size());
    if (hit == nullptr) return std::string_view::npos;
    return static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
}

}  // namespace sifter::platform
