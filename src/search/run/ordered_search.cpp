#include "search/run/ordered_search.h"

#include <algorithm>

#include "search/files/file_set.h"
#include "search/run/file_scanner.h"
#include "search/run/held_rows.h"

namespace sifter {

OrderedSearch::OrderedSearch(const SearchRequest& request, const FileSet& files,
                             platform::SystemApi& system, std::int32_t workers, Limits limits)
    : m_request(request),
      m_files(files),
      m_system(system),
      m_limits(limits),
      m_count(files.Count()),
      m_slots(static_cast<std::size_t>(std::max(limits.filesAhead, 1))) {
    // No more workers than files to read beside the main thread.
    m_workerCount = std::max(std::min(workers, m_count - 1), 0);
}

void OrderedSearch::StartWorkers() {
    // Started once the main thread has the first file: a worker that found nothing to take
    // would go to sleep, and a thread woken on the core the main thread keeps busy may wait
    // there for milliseconds before the system moves it to an idle one.
    // When the system gives no more threads, the search goes on with those it has.
    platform::StartSpreadThreads(m_workers, m_workerCount, [this] { Work(); });
}

OrderedSearch::~OrderedSearch() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_room.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

std::size_t OrderedSearch::PeakHeldBytes() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_peakHeld;
}

std::unique_lock<std::mutex> OrderedSearch::Lock() {
    std::unique_lock<std::mutex> lock(m_mutex, std::defer_lock);
    Relock(lock);
    return lock;
}

void OrderedSearch::Relock(std::unique_lock<std::mutex>& lock) {
    // The lock is held for a few instructions at a time: spinning a little is far cheaper
    // than the thread being put to sleep and woken again.
    for (int i = 0; i < kSpins; ++i) {
        if (lock.try_lock()) return;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    lock.lock();
}

bool OrderedSearch::MayReadAhead(bool resuming) const {
    // A worker that had to stop goes on only once half the room is free again, so that it is
    // not woken for every file the main thread hands on.
    const std::int32_t files =
        resuming ? std::max(m_limits.filesAhead / 2, 1) : m_limits.filesAhead;
    const std::size_t bytes = resuming ? m_limits.heldBytes / 2 : m_limits.heldBytes;
    return !m_stop && m_next < m_count && m_next < m_turn + files && m_held < bytes;
}

bool OrderedSearch::WorkerMayClaim(bool resuming) const {
    // The file in turn is left to the main thread, which hands its rows straight on: a worker
    // that read it would have to hand every row over, and the main thread would wait for it.
    return m_next > m_turn && MayReadAhead(resuming);
}

OrderedSearch::Claimed OrderedSearch::Claim(std::int32_t most) {
    const std::int32_t file = m_next;
    // Never past the room for files ahead, which the caller saw for the first one.
    const std::int32_t end =
        std::max(file + 1, std::min({m_count, file + most, m_turn + m_limits.filesAhead}));
    for (; m_next < end; ++m_next) SlotOf(m_next) = Slot{};
    if (!m_hinting.load(std::memory_order_relaxed)) return {file, end, 0, 0};
    const std::int32_t from = std::max(m_hinted, end);
    m_hinted = std::max(from, std::min(m_count, end + m_limits.hintAhead));
    return {file, end, from, m_hinted};
}

void OrderedSearch::ReadAhead(FileScanner& scanner, const Claimed& claimed) {
    Hint(claimed);
    scanner.ReadAhead(m_files.Names(), claimed.file, claimed.end);
}

void OrderedSearch::NoteRead(const FileScanner& scanner) {
    const std::int32_t reads = m_reads.fetch_add(1, std::memory_order_relaxed) + 1;
    if (scanner.ReadTook() <= kSlowRead) return;
    const std::int32_t slow = m_slowReads.fetch_add(1, std::memory_order_relaxed) + 1;
    // Files read in one batch are timed together: a slow batch, the first one of a thread
    // among them, counts for all of its files.
    if (slow >= kSlowReadsToHint * scanner.AheadAtOnce() && slow >= reads / 4)
        m_hinting.store(true, std::memory_order_relaxed);
}

void OrderedSearch::Hint(const Claimed& claimed) {
    for (std::int32_t file = claimed.hintFrom; file < claimed.hintTo; ++file)
        m_system.AdviseWillRead(m_files.Name(file));
}

void OrderedSearch::TurnProgressed(std::int32_t file) {
    if (file == m_turn && m_mainWaiting) m_progress.notify_one();
}

void OrderedSearch::RoomMade() {
    // Workers wait for room to read on, or to hand over rows; they are told only once there is
    // room enough, not for every file the main thread hands on.
    const bool turnWaits = m_turn < m_count && SlotOf(m_turn).handWaits;
    if ((m_claimWaiters > 0 && WorkerMayClaim(true)) ||
        (m_handWaiters > 0 && (turnWaits || m_held < m_limits.heldBytes / 2)))
        m_room.notify_all();
}

void OrderedSearch::Work() {
    FileScanner scanner(m_request, m_system, &m_complex);
    scanner.SetShortReadIsEnd(m_files.ShortReadIsEnd());
    std::unique_lock<std::mutex> lock = Lock();
    for (;;) {
        if (m_stop || m_next >= m_count) return;
        if (!WorkerMayClaim(false)) {
            ++m_claimWaiters;
            m_room.wait(lock,
                        [this] { return m_stop || m_next >= m_count || WorkerMayClaim(true); });
            --m_claimWaiters;
            continue;
        }
        const Claimed claimed = Claim(scanner.AheadAtOnce());
        lock.unlock();
        try {
            ReadAhead(scanner, claimed);
            for (std::int32_t file = claimed.file; file < claimed.end; ++file)
                ReadHeld(scanner, file, false);
        } catch (const Stopped&) {
            return;
        } catch (...) {
            Relock(lock);
            if (!m_failure) m_failure = std::current_exception();
            m_stop = true;
            m_progress.notify_one();
            m_room.notify_all();
            return;
        }
        Relock(lock);
    }
}

void OrderedSearch::ReadHeld(FileScanner& scanner, std::int32_t file, bool mainThread) {
    HeldRows held([&](std::string&& block) { Hand(file, std::move(block), mainThread); },
                  m_limits.blockBytes);
    // Only the main thread tells the pulse: it may paint a window.
    const std::int64_t matches =
        scanner.Scan(m_files.Name(file), file, held, mainThread ? m_pulse : nullptr);
    NoteRead(scanner);
    held.Flush();
    {
        const std::unique_lock<std::mutex> lock = Lock();
        Slot& slot = SlotOf(file);
        slot.matches = matches;
        slot.done = true;
        TurnProgressed(file);
    }
}

void OrderedSearch::Hand(std::int32_t file, std::string&& block, bool mainThread) {
    std::unique_lock<std::mutex> lock = Lock();
    Slot& slot = SlotOf(file);
    // What the block takes, not only the bytes it holds.
    const std::size_t bytes = block.capacity();
    m_held += bytes;
    slot.bytes += bytes;
    slot.blocks.push_back(std::move(block));
    m_peakHeld = std::max(m_peakHeld, m_held);
    TurnProgressed(file);
    const auto roomy = [&] {
        return file == m_turn ? slot.bytes < m_limits.turnBytes : m_held < m_limits.heldBytes;
    };
    while (!roomy()) {
        if (m_stop) throw Stopped{};
        if (!mainThread) {
            ++m_handWaiters;
            slot.handWaits = true;
            m_room.wait(lock);
            slot.handWaits = false;
            --m_handWaiters;
            continue;
        }
        // Nobody else hands rows on: the main thread makes the room itself.
        if (m_failure) std::rethrow_exception(m_failure);
        if (!HandOn(lock)) Wait(lock);
    }
}

bool OrderedSearch::HandOn(std::unique_lock<std::mutex>& lock) {
    if (m_turn >= m_count) return false;
    if (!m_turnBegun) {
        m_turnBegun = true;
        const std::int32_t file = m_turn;
        lock.unlock();
        (*m_beginFile)(file);
        Relock(lock);
        return true;
    }
    Slot& slot = SlotOf(m_turn);
    if (!slot.blocks.empty()) {
        std::vector<std::string> blocks;
        blocks.swap(slot.blocks);
        m_held -= slot.bytes;
        slot.bytes = 0;
        RoomMade();
        lock.unlock();
        for (std::string& block : blocks) {
            HeldRows::Replay(block, *m_rows);
            std::string().swap(block);
        }
        Relock(lock);
        return true;
    }
    if (!slot.done) return false;
    m_matches += slot.matches;
    slot = Slot{};
    Advance();
    return true;
}

void OrderedSearch::Advance() {
    ++m_turn;
    m_turnBegun = false;
    RoomMade();
}

void OrderedSearch::Wait(std::unique_lock<std::mutex>& lock) {
    m_mainWaiting = true;
    const std::cv_status status = m_progress.wait_for(lock, kWaitingPulse);
    m_mainWaiting = false;
    if (m_failure || status == std::cv_status::no_timeout) return;
    lock.unlock();
    if (m_pulse != nullptr) m_pulse->StillReading();
    Relock(lock);
}

std::int64_t OrderedSearch::Run(RowSink& rows, const std::function<void(std::int32_t)>& beginFile,
                                ReadPulse* pulse) {
    m_rows = &rows;
    m_beginFile = &beginFile;
    m_pulse = pulse;
    FileScanner scanner(m_request, m_system, &m_complex);
    scanner.SetShortReadIsEnd(m_files.ShortReadIsEnd());
    std::unique_lock<std::mutex> lock = Lock();
    // The files taken here and not yet read, `own` to before `ownEnd`.
    std::int32_t own = 0;
    std::int32_t ownEnd = 0;
    while (m_turn < m_count) {
        if (m_failure) std::rethrow_exception(m_failure);
        if (HandOn(lock)) continue;
        if (own == ownEnd) {
            // Files are taken here when nobody has the one in turn, or, rather than wait for
            // it, to read ahead; the system reads them at once where it can.
            if (m_next != m_turn && !MayReadAhead(false)) {
                Wait(lock);
                continue;
            }
            const Claimed claimed = Claim(scanner.AheadAtOnce());
            RoomMade();
            lock.unlock();
            if (claimed.file == 0) StartWorkers();
            ReadAhead(scanner, claimed);
            Relock(lock);
            own = claimed.file;
            ownEnd = claimed.end;
            continue;
        }
        // One file at a time, so that rows read elsewhere are handed on between them. Only
        // this thread moves the turn on.
        const std::int32_t file = own++;
        lock.unlock();
        if (file == m_turn) {
            // Its rows go straight on.
            m_matches += scanner.Scan(m_files.Name(file), file, rows, m_pulse);
            NoteRead(scanner);
            Relock(lock);
            Advance();
        } else {
            ReadHeld(scanner, file, true);
            Relock(lock);
        }
    }
    return m_matches;
}

}  // namespace sifter
