// The system on Windows, through the ANSI entry points: names are bytes in the system's code
// page from end to end, as the engine holds them.

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/path_rules.h"
#include "platform/platform.h"
#include "platform/volumes_win32.h"
#include "platform/win32_headers.h"

namespace sifter::platform {
namespace {

// A name with a NUL byte in it would reach the system cut at the NUL and name another file.
bool HasEmbeddedNul(const std::string& name) {
    return name.find('\0') != std::string::npos;
}

std::int32_t LastError() {
    return MapSystemError(static_cast<int>(::GetLastError()));
}

class Win32File final : public OsFile {
public:
    explicit Win32File(HANDLE handle) : m_handle(handle) {}
    ~Win32File() override {
        if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    ReadResult Read(char* buffer, std::int32_t size) override {
        if (size <= 0) return {};
        DWORD received = 0;
        if (::ReadFile(m_handle, buffer, static_cast<DWORD>(size), &received, nullptr))
            return {static_cast<std::int32_t>(received), 0};
        // The writer of a pipe has gone: the end of the data, not a failure.
        if (::GetLastError() == ERROR_BROKEN_PIPE) return {};
        return {0, LastError()};
    }

    std::int32_t Write(const char* data, std::int32_t size) override {
        // A pipe may take part of a block; the rest is handed over again, so that a block is
        // either written whole or reported as failed.
        while (size > 0) {
            DWORD written = 0;
            if (!::WriteFile(m_handle, data, static_cast<DWORD>(size), &written, nullptr))
                return LastError();
            if (written == 0) return MapSystemError(ERROR_WRITE_FAULT);
            data += written;
            size -= static_cast<std::int32_t>(written);
        }
        return 0;
    }

    KindResult Kind() override {
        switch (::GetFileType(m_handle)) {
            case FILE_TYPE_CHAR:
                return {HandleKind::CharacterDevice, 0};
            case FILE_TYPE_DISK:
            case FILE_TYPE_PIPE:
                return {HandleKind::Other, 0};
            default:
                break;
        }
        // The system cannot tell, whether or not it says why.
        const std::int32_t error = LastError();
        return {HandleKind::Other, error != 0 ? error : 105};
    }

    std::int32_t Release() override {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) ? 0 : LastError();
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

EntryType TypeFromAttributes(DWORD attributes) {
    // A link or junction is looked at again by whoever needs to follow it; the directory
    // tree never does, so a junction that leads back up cannot make it endless.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryType::Symlink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryType::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryType::Other;
    return EntryType::Regular;
}

// Asks `call` for a string into a buffer of the size it names, growing it until it fits;
// the calls answer 0 for a failure and the size they need when the buffer is too small.
template <typename Call>
PathResult GrowingString(Call call) {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = call(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return {{}, LastError()};
        if (length < buffer.size()) {
            buffer.resize(length);
            return {buffer, 0};
        }
        buffer.resize(length);
    }
}

class Win32SystemApi final : public SystemApi {
public:
    // Others may read a file while it is open here, for reading or for writing, but not
    // write it; a file someone holds open for writing cannot be opened for reading (32).
    OpenResult OpenRead(const std::string& name) override {
        return Open(name, GENERIC_READ, OPEN_EXISTING);
    }

    OpenResult Create(const std::string& name) override {
        return Open(name, GENERIC_WRITE, CREATE_ALWAYS);
    }

    std::int32_t ListDirectory(const std::string& path,
                               const std::function<void(const DirEntry&)>& each) override {
        if (HasEmbeddedNul(path)) return kPathNotFound;
        const std::string pattern = kWindowsPaths.Join(path, "*.*");
        WIN32_FIND_DATAA found{};
        const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            // A directory without a single entry (a drive's empty root) is no failure.
            return ::GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : LastError();
        }
        std::int32_t result = 0;
        do {
            const DWORD attributes = found.dwFileAttributes;
            each(DirEntry{found.cFileName, TypeFromAttributes(attributes),
                          (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
        } while (::FindNextFileA(search, &found));
        if (::GetLastError() != ERROR_NO_MORE_FILES) result = LastError();
        ::FindClose(search);
        return result;
    }

    EntryType ResolveType(const std::string& path) override {
        if (HasEmbeddedNul(path)) return EntryType::Unknown;
        const DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return EntryType::Unknown;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryType::Directory;
        if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryType::Other;
        return EntryType::Regular;
    }

    PathResult CurrentDirectory() override {
        return GrowingString(
            [](DWORD size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); });
    }

    std::int32_t SetCurrentDirectory(const std::string& path) override {
        if (HasEmbeddedNul(path)) return kPathNotFound;
        if (path.empty()) return kFileNotFound;
        return ::SetCurrentDirectoryA(path.c_str()) ? 0 : LastError();
    }

    PathResult FullPath(const std::string& path) override {
        if (HasEmbeddedNul(path)) return {{}, kPathNotFound};
        return GrowingString([&path](DWORD size, char* buffer) {
            return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
        });
    }

    std::vector<Volume> ListVolumes() override { return ReadDrives(); }

    std::int32_t MakeDirectory(const std::string& path) override {
        if (HasEmbeddedNul(path)) return kPathNotFound;
        return ::CreateDirectoryA(path.c_str(), nullptr) ? 0 : LastError();
    }

    std::int32_t Rename(const std::string& from, const std::string& to) override {
        if (HasEmbeddedNul(from) || HasEmbeddedNul(to)) return kPathNotFound;
        return ::MoveFileExA(from.c_str(), to.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : LastError();
    }

    std::int32_t RemoveFile(const std::string& name) override {
        if (HasEmbeddedNul(name)) return kPathNotFound;
        return ::DeleteFileA(name.c_str()) ? 0 : LastError();
    }

private:
    static OpenResult Open(const std::string& name, DWORD access, DWORD disposition) {
        if (HasEmbeddedNul(name)) return {nullptr, kPathNotFound};
        const HANDLE handle = ::CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr,
                                            disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return {nullptr, LastError()};
        return {std::make_unique<Win32File>(handle), 0};
    }
};

}  // namespace

std::int32_t MapSystemError(int errorNumber) {
    // Windows' own numbers are the message table's (2, 3, 4, 5, 32, 112). 100 to 106 are the
    // program's own codes with messages of their own ("Disk full" among them); a system error
    // with such a number is moved out of their way.
    if (errorNumber >= 100 && errorNumber <= 106) return 1000 + errorNumber;
    return errorNumber;
}

SystemApi& NativeSystem() {
    static Win32SystemApi system;
    return system;
}

const PathRules& Paths() {
    return kWindowsPaths;
}

void PrepareProcess() {
    // The C library would turn every LF written to standard output into CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
}

int WriteToDescriptor(int fd, std::string_view bytes) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) return EBADF;
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), size, &written, nullptr)) {
            switch (::GetLastError()) {
                case ERROR_BROKEN_PIPE:
                case ERROR_NO_DATA:
                case ERROR_PIPE_NOT_CONNECTED:
                    return EPIPE;
                case ERROR_DISK_FULL:
                case ERROR_HANDLE_DISK_FULL:
                    return ENOSPC;
                case ERROR_ACCESS_DENIED:
                    return EACCES;
                default:
                    return EIO;
            }
        }
        if (written == 0) return EIO;
        bytes.remove_prefix(written);
    }
    return 0;
}

void EndByClosedPipe(int status) {
    // Windows has no signal for it: the status alone says that the output was cut short.
    std::_Exit(status);
}

void SpreadThread(std::thread&) {
    // Windows spreads new threads over idle processors itself.
}

const char* RawCommandLine() {
    return ::GetCommandLineA();
}

std::size_t FindBytes(std::string_view haystack, std::string_view needle) {
    // No memmem here. Boyer and Moore's search, with its good-suffix rule, finds the first
    // place in linear time too.
    if (needle.empty()) return 0;
    const auto hit = std::search(haystack.begin(), haystack.end(),
                                 std::boyer_moore_searcher(needle.begin(), needle.end()));
    return hit == haystack.end() ? std::string_view::npos
                                 : static_cast<std::size_t>(hit - haystack.begin());
}

}  // namespace sifter::platform
