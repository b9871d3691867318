#pragma once
// The files of one search read on several threads, their rows handed on in the files' order.
//
// The thread that runs the search (the main thread) hands every file's rows to the real sink,
// in the file set's order, as soon as they are there. Worker threads read the files after the
// one whose turn it is, and so does the main thread while that file is still being read
// elsewhere. Reading ahead is bounded twice: in files past the one in turn, and in the bytes of
// rows held for files whose turn has not come. The file in turn never waits for room, so the
// search always moves on, and its rows leave as they are made.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "search/lines/line_file.h"
#include "search/run/complex_lines.h"
#include "search/run/result_rows.h"

namespace sifter {

class FileScanner;
class FileSet;
struct SearchRequest;

class OrderedSearch final {
public:
    struct Limits {
        std::int32_t filesAhead = 1024;                   // files read past the one in turn
        std::size_t heldBytes = std::size_t{32} << 20;    // rows of files whose turn has not come
        std::size_t turnBytes = std::size_t{1} << 20;     // rows of the file in turn not handed on
        std::size_t blockBytes = std::size_t{256} << 10;  // rows handed over at a time
        // Files past the newest one taken whose reading the system is asked to start, once the
        // reads have shown that the files are not in the system's cache (kSlowRead): a disk
        // serves several reads at once, more than there are threads to wait for them, and 32
        // files of source text are a few megabytes of page cache, read long before they could
        // be pushed out of it. A warm search asks nothing: a hint costs an open and a close.
        std::int32_t hintAhead = 32;
    };

    // The workers start once `Run` has taken the first file.
    OrderedSearch(const SearchRequest& request, const FileSet& files, platform::SystemApi& system,
                  std::int32_t workers, Limits limits);
    OrderedSearch(const SearchRequest& request, const FileSet& files, platform::SystemApi& system,
                  std::int32_t workers)
        : OrderedSearch(request, files, system, workers, Limits{}) {}
    // Stops the workers (a search given up by an exception) and waits for them.
    ~OrderedSearch();
    OrderedSearch(const OrderedSearch&) = delete;
    OrderedSearch& operator=(const OrderedSearch&) = delete;

    // On the main thread: for each file in order `beginFile(number)`, then the file's rows into
    // `rows`. While it reads a file, and while it waits for a file read elsewhere, `pulse` (if
    // any) is told now and then: every 64 KiB read, and every
    // kWaitingPulse. Returns the matching lines of all files. An exception from a worker (out
    // of memory) comes out here.
    std::int64_t Run(RowSink& rows, const std::function<void(std::int32_t)>& beginFile,
                     ReadPulse* pulse);

    // The lines the pattern of the search was too complex to tell about, once Run is over.
    const ComplexLines& complex() const { return m_complex; }

    // The most bytes of rows ever held for files not yet handed on.
    std::size_t PeakHeldBytes() const;

    static constexpr std::chrono::milliseconds kWaitingPulse{16};
    // A file that takes longer to read most likely came from the disk: one of source text from
    // the cache takes a few microseconds. A large file, or a thread put aside by a busy system,
    // makes one slow now and then, so hints start only once there are a few slow reads and
    // they are a quarter of the files read or more.
    static constexpr std::chrono::microseconds kSlowRead{64};
    static constexpr int kSlowReadsToHint = 16;

private:
    struct Slot {
        std::vector<std::string> blocks;
        std::size_t bytes = 0;
        std::int64_t matches = 0;
        bool done = false;
        bool handWaits = false;  // its reader waits for room to hand over rows
    };
    struct Stopped {};  // thrown through a worker's reading when the search is given up

    // The lock, taken in the way that suits its short holds.
    std::unique_lock<std::mutex> Lock();
    void Relock(std::unique_lock<std::mutex>& lock);
    static constexpr int kSpins = 200;
    Slot& SlotOf(std::int32_t file) {
        return m_slots[static_cast<std::size_t>(file % m_limits.filesAhead)];
    }
    // Under the lock: whether the next file may be read ahead now, or, `resuming` after a
    // wait, whether there is room enough to go on.
    bool MayReadAhead(bool resuming) const;
    // The same for a worker, which never takes the file in turn.
    bool WorkerMayClaim(bool resuming) const;
    // The next files to read, at most `most` of them, taken under the lock (from `file` to
    // before `end`), and the files the system may start reading because of them: those from
    // `hintFrom` to before `hintTo`, hinted without the lock.
    struct Claimed {
        std::int32_t file = 0;
        std::int32_t end = 0;
        std::int32_t hintFrom = 0;
        std::int32_t hintTo = 0;
    };
    Claimed Claim(std::int32_t most);
    // Without the lock: reads the files claimed ahead when `scanner` reads in batches.
    void ReadAhead(FileScanner& scanner, const Claimed& claimed);
    void Hint(const Claimed& claimed);
    // After `scanner` read a file: whether its time says that hints are wanted.
    void NoteRead(const FileScanner& scanner);
    void StartWorkers();
    void Work();
    // Reads `file` out of turn, holding its rows; called without the lock.
    void ReadHeld(FileScanner& scanner, std::int32_t file, bool mainThread);
    // A block of held rows of `file`; waits while there is no room for more.
    void Hand(std::int32_t file, std::string&& block, bool mainThread);
    // Main thread, under the lock: hands on what the file in turn has ready. False when there
    // was nothing to hand on.
    bool HandOn(std::unique_lock<std::mutex>& lock);
    // Main thread, under the lock: waits for the file in turn to move on, telling `m_pulse`
    // every kWaitingPulse.
    void Wait(std::unique_lock<std::mutex>& lock);
    // Main thread, under the lock: the next file's turn.
    void Advance();
    // Under the lock: wakes the main thread when it waits for `file`, which has moved on.
    void TurnProgressed(std::int32_t file);
    // Under the lock: wakes the workers waiting for room, once there is enough of it.
    void RoomMade();

    const SearchRequest& m_request;
    const FileSet& m_files;
    platform::SystemApi& m_system;
    const Limits m_limits;
    const std::int32_t m_count;

    mutable std::mutex m_mutex;
    std::condition_variable m_room;      // workers wait here for room to read or hold rows
    std::condition_variable m_progress;  // the main thread waits here for the file in turn
    int m_claimWaiters = 0;              // workers waiting for room to read a file
    int m_handWaiters = 0;               // workers waiting for room to hand over rows
    bool m_mainWaiting = false;
    std::vector<Slot> m_slots;  // one per file that may be read ahead, by file % size
    std::int32_t m_next = 0;    // the first file nobody has taken
    std::int32_t m_turn = 0;    // the file whose rows go out now
    std::int32_t m_hinted = 0;  // the files before it were hinted to the system
    std::atomic<std::int32_t> m_reads{0};
    std::atomic<std::int32_t> m_slowReads{0};
    std::atomic<bool> m_hinting{false};  // for good, once the reads asked for it
    std::size_t m_held = 0;
    std::size_t m_peakHeld = 0;
    bool m_stop = false;
    std::exception_ptr m_failure;
    ComplexLines m_complex;

    // The main thread's own, during Run.
    RowSink* m_rows = nullptr;
    const std::function<void(std::int32_t)>* m_beginFile = nullptr;
    ReadPulse* m_pulse = nullptr;
    bool m_turnBegun = false;
    std::int64_t m_matches = 0;

    std::int32_t m_workerCount = 0;
    std::vector<std::thread> m_workers;
};

}  // namespace sifter
