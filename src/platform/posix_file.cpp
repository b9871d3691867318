#include "platform/posix_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace sifter::platform {
namespace {

// Reads are served from a buffer of this size: the line reader asks for small blocks, and a
// kernel call for each of them would cost far more than the copy.
constexpr std::int32_t kReadAhead = 64 * 1024;
constexpr std::int32_t kLineBlock = 128;

// The buffer a closed file left for the next one this thread opens.
thread_local std::unique_ptr<char[]> t_spareAhead;

class PosixFile final : public OsFile {
public:
    PosixFile(int fd, ReadEnd end) : m_fd(fd), m_end(end) {}
    ~PosixFile() override {
        if (m_fd >= 0) ::close(m_fd);
        // A search opens thousands of files one after another on each thread: the next one
        // takes this buffer instead of the allocator's.
        if (m_ahead && !t_spareAhead) t_spareAhead = std::move(m_ahead);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    ReadResult Read(char* buffer, std::int32_t size) override {
        if (size <= 0) return {};
        if (m_aheadPos == m_aheadEnd) {
            if (size >= kReadAhead) return ReadSystem(buffer, size);
            if (!m_ahead) m_ahead = std::move(t_spareAhead);
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
        if (m_ended) return {};
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, static_cast<std::size_t>(size));
            if (n >= 0) {
                m_ended = m_end == ReadEnd::Short && n < size;
                return {static_cast<std::int32_t>(n), 0};
            }
            if (errno == EINTR) continue;
            if (errno == EPIPE) return {0, 0};
            return {0, MapSystemError(errno)};
        }
    }

    int m_fd = -1;
    const ReadEnd m_end;
    bool m_ended = false;  // a short read has met the end, where that tells it
    std::unique_ptr<char[]> m_ahead;
    std::int32_t m_aheadPos = 0;
    std::int32_t m_aheadEnd = 0;
};

}  // namespace

std::unique_ptr<OsFile> MakePosixFile(int fd, ReadEnd end) {
    return std::make_unique<PosixFile>(fd, end);
}

bool ShortReadIsEnd(int dirFd) {
    // Each reads a regular file through the page cache, which hands over bytes until the
    // request is filled or the file's size is reached.
    static constexpr std::array<unsigned long, 12> kFilled = {
        EXT4_SUPER_MAGIC,     XFS_SUPER_MAGIC,   BTRFS_SUPER_MAGIC,     F2FS_SUPER_MAGIC,
        TMPFS_MAGIC,          RAMFS_MAGIC,       OVERLAYFS_SUPER_MAGIC, SQUASHFS_MAGIC,
        EROFS_SUPER_MAGIC_V1, ISOFS_SUPER_MAGIC, MSDOS_SUPER_MAGIC,     EXFAT_SUPER_MAGIC};
    struct statfs info {};
    if (::fstatfs(dirFd, &info) != 0) return false;
    const auto type = static_cast<unsigned long>(info.f_type);
    return std::find(kFilled.begin(), kFilled.end(), type) != kFilled.end();
}

}  // namespace sifter::platform
