#pragma once
// The only door to the operating system. Everything above this layer talks to a `SystemApi`,
// so tests can put a fake behind any call; the POSIX and the Windows layer each implement it,
// and path_rules.h says how each system writes its paths.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sifter::platform {

class PathRules;

// The program's codes for the system's errors that its message table knows or that it tells
// apart; every system's error number that means the same becomes one of these.
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kPathNotFound = 3;  // an invalid name too
inline constexpr std::int32_t kTooManyOpenFiles = 4;
inline constexpr std::int32_t kAccessDenied = 5;
inline constexpr std::int32_t kSharingViolation = 32;  // held by another process
inline constexpr std::int32_t kDiskFull = 112;

// Turns a system error number into the program's code: the named codes above for the errors
// that mean the same. POSIX: 1000 + errno for every other,
// so that no system error reads as a code that means something else (EIO gives 1005). Windows:
// GetLastError's number, which is the table's own, except that 100 to 106 (the program's own
// codes) are moved to 1100 to 1106.
std::int32_t MapSystemError(int errorNumber);

struct ReadResult {
    std::int32_t count = 0;  // bytes received; 0 at the end of the data
    std::int32_t error = 0;  // non-zero: the read failed and count is 0
};

enum class HandleKind { CharacterDevice, Other };

struct KindResult {
    HandleKind kind = HandleKind::Other;
    std::int32_t error = 0;  // non-zero: the system cannot tell the kind
};

// An open file. The handle is released by `Release`, or silently when dropped.
class OsFile {
public:
    virtual ~OsFile() = default;
    // Up to `size` bytes; a broken pipe reads as the end of the data.
    virtual ReadResult Read(char* buffer, std::int32_t size) = 0;
    // The bytes this file already holds for the reads to come, all taken at once: reads of any
    // size would have been answered with them, in order, without asking the system, so nothing
    // can fail here. Valid until the next call on the file, and readable kHeldPadding bytes
    // past their end. Empty when the next read has to ask the system.
    virtual std::string_view TakeHeld() { return {}; }
    static constexpr std::size_t kHeldPadding = 128;
    // All `size` bytes or an error code; a write the system accepts is complete.
    virtual std::int32_t Write(const char* data, std::int32_t size) = 0;
    virtual KindResult Kind() = 0;
    // The size in bytes where the system can tell it at once, or -1. Only a hint for reading a
    // file whole: the file may change while it is read.
    virtual std::int64_t SizeHint() { return -1; }
    // Releases the handle; 0 or the code of a failed release. Called at most once.
    virtual std::int32_t Release() = 0;
};

struct OpenResult {
    std::unique_ptr<OsFile> file;  // null when the open failed
    std::int32_t error = 0;
};

enum class EntryType { Regular, Directory, Symlink, Other, Unknown };

struct DirEntry {
    std::string_view name;
    // The entry itself, a link not followed; Symlink and Unknown need `ResolveType` to tell
    // what they lead to. Unknown only for an entry the system could not look at.
    EntryType type = EntryType::Unknown;
    // Never shown to the user: the hidden or system attribute on Windows, a name that begins
    // with "." on Linux ("." and ".." among them).
    bool hidden = false;
    // A regular file (Regular, not a link) on a file system that fills every read up to the
    // file's end: OpenListedRead may open it.
    bool shortReadIsEnd = false;
};

struct PathResult {
    std::string path;
    std::int32_t error = 0;
};

struct Volume {
    std::string mountPath;   // "/", "/media/usb"
    std::string label;       // file system label, or the network source; may be empty
    std::string fileSystem;  // "ext4", "nfs", "vfat"
    enum class Kind { Fixed, Removable, Network, CdRom, RamDisk } kind = Kind::Fixed;
};

// Small files opened, read whole and closed in one request to the system, for a search that
// reads thousands of them: on Linux through io_uring, where each file's three calls would cost
// more than its reading. Only for files listed with DirEntry::shortReadIsEnd, and on one
// thread at a time.
class ReadBatch {
public:
    static constexpr std::int32_t kFiles = 16;
    // The most bytes a file read this way may hold.
    static constexpr std::size_t kRoom = 64 * 1024 - 1;
    virtual ~ReadBatch() = default;
    // Reads up to kFiles files, named as for OpenRead.
    virtual void Read(const std::vector<const std::string*>& names) = 0;
    // After Read: whether names[index] was read whole, and if so its bytes, readable
    // OsFile::kHeldPadding bytes further and valid until the next Read. A file not read whole
    // (larger than kRoom, or one that could not be opened or read) is left to OpenRead, which
    // tells why.
    virtual bool Whole(std::size_t index, std::string_view& bytes) const = 0;
};

class SystemApi {
public:
    virtual ~SystemApi() = default;

    // Opens an existing file for reading; never blocks (FIFOs included).
    virtual OpenResult OpenRead(const std::string& name) = 0;
    // The same for a file its listing gave with `shortReadIsEnd`: a read that comes back short
    // is taken as the end, saving the call that would come back empty.
    virtual OpenResult OpenListedRead(const std::string& name) { return OpenRead(name); }
    // A batch for the files OpenListedRead may open; null where the system offers none (then
    // each file is opened alone).
    virtual std::unique_ptr<ReadBatch> MakeReadBatch() { return nullptr; }
    // Creates or truncates a file for writing; never blocks.
    virtual OpenResult Create(const std::string& name) = 0;

    // Calls `each` for every entry of a directory, in the order the system delivers them.
    // A directory that cannot be opened has no entries; the result is its error code.
    virtual std::int32_t ListDirectory(const std::string& path,
                                       const std::function<void(const DirEntry&)>& each) = 0;
    // Follows links: Regular, Directory or Other; Unknown when the name cannot be examined.
    virtual EntryType ResolveType(const std::string& path) = 0;

    virtual PathResult CurrentDirectory() = 0;
    virtual std::int32_t SetCurrentDirectory(const std::string& path) = 0;
    // `path` taken from the current directory (its drive's, for "C:work"), in the system's
    // own full form; nothing is checked on disk.
    virtual PathResult FullPath(const std::string& path) = 0;

    virtual std::vector<Volume> ListVolumes() = 0;

    // Creates one directory below an existing one; 0, or the code of the failure.
    virtual std::int32_t MakeDirectory(const std::string& path) = 0;
    // Puts the file `from` in the place of `to` in one step, replacing what was there: a
    // reader of `to` meets the old file or the new one, never a mix. 0 or the failure's code.
    virtual std::int32_t Rename(const std::string& from, const std::string& to) = 0;
    // 0 or the code of the failure.
    virtual std::int32_t RemoveFile(const std::string& name) = 0;

    // A hint that the file `name` is about to be read, so that the system may start reading
    // it from the disk already; nothing is reported. POSIX asks the kernel to read it into the
    // page cache (posix_fadvise WILLNEED); Windows does nothing: it offers no hint for a file
    // not open, and reads ahead on its own once a file is read in order. A fake ignores it.
    virtual void AdviseWillRead(const std::string& name) { static_cast<void>(name); }
};

// The system the program runs on.
SystemApi& NativeSystem();
// The POSIX layer by its own name; only the POSIX build has it.
SystemApi& PosixSystem();

// The system every engine component uses unless it is handed another one.
SystemApi& System();

// Puts another system in place (a test's fake) for as long as the object lives.
class ScopedSystem final {
public:
    explicit ScopedSystem(SystemApi& replacement);
    ~ScopedSystem();
    ScopedSystem(const ScopedSystem&) = delete;
    ScopedSystem& operator=(const ScopedSystem&) = delete;

private:
    SystemApi* m_previous;
};

// The path of `name` inside `directory`, in the system's own form.
std::string PathInDirectory(const std::string& directory, const std::string& name);

// What a program's entry needs done first: a write to a closed pipe comes back as a failed
// write instead of ending the process, and standard output takes bytes unchanged.
void PrepareProcess();
// Writes all of `bytes` to the descriptor `fd` the process was handed (standard output): 0, or
// the C library's number for the failure; EPIPE when the reader of a pipe has gone, on every
// system (Windows has three codes of its own for it, and its C library words some as EINVAL).
int WriteToDescriptor(int fd, std::string_view bytes);
// Ends the process, writing nothing, as a write to a closed pipe ends a program that leaves
// the system's signal for it alone: killed by SIGPIPE where there is one (a shell sees 141),
// so that a pipeline treats it as it treats grep; elsewhere with `status`.
[[noreturn]] void EndByClosedPipe(int status);
// The command line as one string where the system hands it over so (Windows: the program
// splits it itself); null where the system hands over the parameters one by one.
const char* RawCommandLine();

// Moves `thread`, just started, off the processor the calling thread runs on: the system may
// put a new thread beside its busy parent and leave it there for milliseconds while another
// processor idles. The thread may run anywhere afterwards.
void SpreadThread(std::thread& thread);

// Starts up to `count` threads running `work`, each spread as SpreadThread does, into `threads`.
// When the system gives no more threads, those started go on alone.
void StartSpreadThreads(std::vector<std::thread>& threads, std::int32_t count,
                        const std::function<void()>& work);

// The first place where `needle` occurs in `haystack`, npos when nowhere, in time linear in the
// haystack whatever its bytes: the C library's memmem where there is one.
std::size_t FindBytes(std::string_view haystack, std::string_view needle);

// Where the window program keeps its settings. Empty when the environment names no place.
struct SettingsPlace {
    std::string base;       // the user's: $XDG_CONFIG_HOME, else ~/.config; %APPDATA%
    std::string directory;  // the program's own below it: sifter32, Sifter32
    std::string file;       // sifter32.conf, sifter32.ini in it
    bool empty() const { return file.empty(); }
};
// From the environment as `variable` reads it, in the form of `rules`: an XDG_CONFIG_HOME that
// is not an absolute path is passed over, as the XDG base directory rules ask.
SettingsPlace SettingsPlaceIn(const std::function<const char*(const char*)>& variable,
                              const PathRules& rules);
// The process's own.
SettingsPlace SettingsLocation();

// Small conveniences over `System()`.
bool IsExistingDirectory(const std::string& path);
bool IsExistingFile(const std::string& path);

}  // namespace sifter::platform
