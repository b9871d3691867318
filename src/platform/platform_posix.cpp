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
#include "platform/volumes_posix.h"

namespace sifter::platform {
namespace {

// Reads are served from a buffer of this size: the line reader asks for small blocks, and a
// kernel call for each of them would cost far more than the copy.
constexpr std::int32_t kReadAhead = 64 * 1024;
constexpr std::int32_t kLineBlock = 128;

// A name with a NUL byte in it would reach the system cut at the NUL and name another file.
bool HasEmbeddedNul(const std::string& name) {
    return name.find('\0') != std::string::npos;
}

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

class PosixFile final : public OsFile {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    ReadResult Read(char* buffer, std::int32_t size) override {
        if (size <= 0) return {};
        if (m_aheadPos == m_aheadEnd) {
            if (size >= kReadAhead) return ReadSystem(buffer, size);
            if (!m_ahead) {
                m_ahead = std::make_unique_for_overwrite<char[]>(kReadAhead + kHeldPadding);
                // Looked at by the line scan's wide compares, never used: but never unknown.
                std::memset(m_ahead.get() + kReadAhead, 0, kHeldPadding);
            }
            const ReadResult filled = ReadSystem(m_ahead.get(), kReadAhead);
            if (filled.error != 0 || filled.count == 0) return filled;
            m_aheadPos = 0;
            m_aheadEnd = filled.count;
        }
        const std::int32_t n = std::min(size, m_aheadEnd - m_aheadPos);
        // The line reader's usual request gets a copy of fixed size, which the compiler
        // writes out inline instead of calling the library.
        if (n == kLineBlock)
            std::memcpy(buffer, m_ahead.get() + m_aheadPos, kLineBlock);
        else
            std::memcpy(buffer, m_ahead.get() + m_aheadPos, static_cast<std::size_t>(n));
        m_aheadPos += n;
        return {n, 0};
    }

    std::string_view TakeHeld() override {
        if (m_aheadPos == m_aheadEnd) return {};
        const std::string_view held(m_ahead.get() + m_aheadPos,
                                    static_cast<std::size_t>(m_aheadEnd - m_aheadPos));
        m_aheadPos = m_aheadEnd;
        return held;
    }

    std::int32_t Write(const char* data, std::int32_t size) override {
        // The kernel may take part of a block (a pipe, a nearly full disk); the rest is handed
        // over again so that a block is either written whole or reported as failed.
        while (size > 0) {
            const ssize_t n = ::write(m_fd, data, static_cast<std::size_t>(size));
            if (n < 0) {
                if (errno == EINTR) continue;
                return MapSystemError(errno);
            }
            if (n == 0) return MapSystemError(EIO);
            data += n;
            size -= static_cast<std::int32_t>(n);
        }
        return 0;
    }

    KindResult Kind() override {
        struct stat info {};
        if (::fstat(m_fd, &info) != 0) return {HandleKind::Other, MapSystemError(errno)};
        return {S_ISCHR(info.st_mode) ? HandleKind::CharacterDevice : HandleKind::Other, 0};
    }

    std::int64_t SizeHint() override {
        struct stat info {};
        if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
        return static_cast<std::int64_t>(info.st_size);
    }

    std::int32_t Release() override {
        const int fd = m_fd;
        m_fd = -1;
        // Linux releases the descriptor even when close reports an error; never retry it.
        return ::close(fd) == 0 ? 0 : MapSystemError(errno);
    }

private:
    ReadResult ReadSystem(char* buffer, std::int32_t size) {
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, static_cast<std::size_t>(size));
            if (n >= 0) return {static_cast<std::int32_t>(n), 0};
            if (errno == EINTR) continue;
            if (errno == EPIPE) return {0, 0};
            return {0, MapSystemError(errno)};
        }
    }

    int m_fd = -1;
    std::unique_ptr<char[]> m_ahead;
    std::int32_t m_aheadPos = 0;
    std::int32_t m_aheadEnd = 0;
};

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
            each(DirEntry{entry->d_name, type, entry->d_name[0] == '.'});
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
    static OpenResult Open(const std::string& name, int flags, mode_t mode, bool keepNonBlocking) {
        if (HasEmbeddedNul(name)) return {nullptr, kPathNotFound};
        const int fd = OpenNonBlocking(name, flags, mode, keepNonBlocking);
        if (fd < 0) return {nullptr, MapSystemError(errno)};
        return {std::make_unique<PosixFile>(fd), 0};
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
