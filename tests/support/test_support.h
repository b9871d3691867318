#pragma once
// Helpers shared by the engine tests: a scratch directory per test, files with exact bytes,
// the current directory put back, and a system whose answers a test can script.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "forwarding_system.h"
#include "platform/platform.h"
#include "search/run/result_rows.h"

namespace sifter {
class LineFile;

// Rows in failure messages: the icon and the bytes, escaped where they are not printable.
void PrintTo(const ResultEntry& entry, std::ostream* out);
}  // namespace sifter

namespace sifter::test {

// A fresh directory, removed with everything in it when the object goes.
class TempDir final {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Full path in the form getcwd reports once the directory is current.
    const std::string& path() const { return m_path; }
    std::string operator/(std::string_view name) const;

private:
    std::string m_path;
};

void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
std::string CurrentDirectory();
void ChangeDirectory(const std::string& path);

// Puts the process's current directory back when the object goes.
class CurrentDirectoryGuard final {
public:
    CurrentDirectoryGuard();
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::string m_saved;
};

// A row as a sink was given it.
struct SunkRow {
    std::string text;
    RowKind kind;
    RowOrigin origin;
    std::string line;
    friend bool operator==(const SunkRow&, const SunkRow&) = default;
};

// Keeps every row it is given in order, a file named to it as a row "file NAME" of the File
// kind, a file not read as a row NotRead(file, code), and counts the calls made from another
// thread than the one that made it.
class RowCollector final : public RowSink {
public:
    static SunkRow NotRead(std::int32_t file, std::int32_t code) {
        return {"not read", RowKind::Message, {file, code}, {}};
    }
    void AddFile(std::string_view path) override {
        Note();
        ++files;
        rows.push_back({"file " + std::string(path), RowKind::File, {}, {}});
    }
    void AddRow(const SearchRow& row) override {
        Note();
        rows.push_back({std::string(row.text), row.kind, row.origin, std::string(row.line)});
    }
    void FileNotRead(std::int32_t file, std::int32_t code) override {
        Note();
        rows.push_back(NotRead(file, code));
    }
    std::vector<SunkRow> rows;
    int files = 0;
    int elsewhere = 0;

private:
    void Note() {
        if (std::this_thread::get_id() != m_owner) ++elsewhere;
    }
    std::thread::id m_owner = std::this_thread::get_id();
};

// A fresh directory made current for as long as the object lives: the window tests' scratch
// place. The current directory is put back before the directory is removed.
class ScratchDirectory final {
public:
    ScratchDirectory() { ChangeDirectory(m_dir.path()); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return m_dir.path(); }
    std::string operator/(std::string_view name) const { return m_dir / name; }

private:
    TempDir m_dir;
    CurrentDirectoryGuard m_restore;  // made after the directory, so it goes first
};

// Lines as the search reads them: while not AtEnd, ReadLine then SkipLineEnd.
std::vector<std::string> ReadAllLines(LineFile& file);

// A file's bytes and the lines every reader of lines must make of them.
struct LineRuleCase {
    std::string bytes;
    std::vector<std::string> lines;
};
// The line rules' cases: CR files, LF files, the first line end deciding (also far into the
// file and across the reader's blocks), Ctrl-Z, empty files and files of line ends only.
const std::vector<LineRuleCase>& LineRuleCases();
void PrintTo(const LineRuleCase& c, std::ostream* out);

// What a FakeFile saw; shared, so it outlives the file the LineFile drops.
struct FileLog {
    int reads = 0;
    int writeCalls = 0;
    std::vector<std::string> writes;  // the accepted ones, in order
    bool released = false;
    bool destroyed = false;
};

// A file whose answers are scripted. With an `inner` file the calls that are not scripted to
// fail go on to it, so a test can make one write of a real file fail.
class FakeFile final : public platform::OsFile {
public:
    struct Script {
        std::string data;                  // what reads deliver before the end of the data
        std::vector<std::int32_t> chunks;  // most bytes per read, in turn; empty: as asked
        std::vector<int> failingReads;     // read calls (counted from 0) that fail
        std::int32_t readError = 5;
        int failingWrite = -1;  // the write call (counted from 0) that fails
        std::int32_t writeError = 112;
        std::optional<platform::KindResult> kind;
        std::int32_t releaseError = 0;
        std::int64_t sizeHint = -1;  // the size the file claims
        // As the real system layer does: a read that finds nothing held asks for this many
        // bytes (in turn) and holds what the request did not take, for the reads after it
        // and for TakeHeld. Only such reads are counted and can fail. Empty: every read asks.
        std::vector<std::int32_t> aheads;
    };

    FakeFile(Script script, std::shared_ptr<FileLog> log,
             std::unique_ptr<platform::OsFile> inner = nullptr);
    ~FakeFile() override;

    platform::ReadResult Read(char* buffer, std::int32_t size) override;
    std::string_view TakeHeld() override;
    std::int32_t Write(const char* data, std::int32_t size) override;
    platform::KindResult Kind() override;
    std::int64_t SizeHint() override { return m_script.sizeHint; }
    std::int32_t Release() override;

private:
    platform::ReadResult ReadAhead(char* buffer, std::int32_t size);

    Script m_script;
    std::shared_ptr<FileLog> m_log;
    std::unique_ptr<platform::OsFile> m_inner;
    std::size_t m_served = 0;
    std::string m_held;  // what a read ahead took, padded as the real layer pads it
    std::size_t m_heldAt = 0;
    std::size_t m_heldEnd = 0;
};

// The real system, except for the calls a test puts a hook on.
class FakeSystem final : public ForwardingSystem {
public:
    struct Listed {
        std::string name;
        platform::EntryType type;
        bool hidden = false;
    };
    std::function<platform::OpenResult(const std::string&)> openRead;
    std::function<platform::OpenResult(const std::string&)> create;
    // Rearranges each listing before its entries are delivered.
    std::function<void(std::vector<Listed>&)> arrangeListing;
    // Called before each listing with its path: an error code answers the listing instead;
    // 0 lets it go on (after whatever the hook did to the directory).
    std::function<std::int32_t(const std::string&)> beforeListing;
    // The mounted volumes; without it, the real ones.
    std::function<std::vector<platform::Volume>()> listVolumes;
    // Answers a change of directory with an error code instead of changing it, when it
    // returns one; returning 0 lets the real change happen.
    std::function<std::int32_t(const std::string&)> failSetCurrentDirectory;
    // Called with the name a directory is made under, or a file renamed to: an error code
    // answers the call instead; 0 lets it happen.
    std::function<std::int32_t(const std::string&)> beforeNaming;
    // Told of every file the search asks the system to start reading, instead of the system.
    std::function<void(const std::string&)> adviseWillRead;
    int listings = 0;
    int volumeListings = 0;
    std::vector<std::string> directoriesEntered;  // every successful change, in order

    platform::OpenResult OpenRead(const std::string& name) override;
    platform::OpenResult Create(const std::string& name) override;
    std::int32_t ListDirectory(const std::string& path,
                               const std::function<void(const platform::DirEntry&)>& each) override;
    std::int32_t SetCurrentDirectory(const std::string& path) override;
    std::vector<platform::Volume> ListVolumes() override;
    std::int32_t MakeDirectory(const std::string& path) override;
    std::int32_t Rename(const std::string& from, const std::string& to) override;
    void AdviseWillRead(const std::string& name) override {
        adviseWillRead ? adviseWillRead(name) : ForwardingSystem::AdviseWillRead(name);
    }
};

}  // namespace sifter::test
