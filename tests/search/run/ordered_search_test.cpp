// Files read ahead on worker threads: the rows, the files' turns and the progress stay those of
// a search on one thread, and reading ahead stays within its bounds of files and bytes.

#include "search/run/ordered_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "search/files/file_set.h"
#include "search/io_error.h"
#include "search/run/search_run.h"
#include "test_support.h"

namespace sifter {
namespace {

using Row = test::SunkRow;

// What one run gave.
struct Outcome {
    std::vector<Row> rows;
    std::vector<std::int32_t> turns;  // beginFile's files, in order
    std::int64_t matches = 0;
    std::size_t peakHeld = 0;
    int elsewhere = 0;
};

class OrderedSearchTest : public testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_COLLATE, "C");
        TakeError();
        test::ChangeDirectory(m_dir.path());
    }

    void ReadSet() {
        m_set.SetDirectory(m_dir.path());
        m_set.SetMask("*.pas");
        m_set.Refresh();
    }

    Outcome Run(std::int32_t workers, OrderedSearch::Limits limits = {}) {
        Outcome outcome;
        test::RowCollector sink;
        OrderedSearch search(m_request, m_set, m_system, workers, limits);
        const auto begin = [&](std::int32_t file) {
            outcome.turns.push_back(file);
            sink.AddFile(m_set.Name(file));
        };
        outcome.matches = search.Run(sink, begin, nullptr);
        outcome.rows = std::move(sink.rows);
        outcome.elsewhere = sink.elsewhere;
        outcome.peakHeld = search.PeakHeldBytes();
        return outcome;
    }

    test::CurrentDirectoryGuard m_restore;
    test::TempDir m_dir;
    test::FakeSystem m_system;
    FileSet m_set{m_system};
    SearchRequest m_request{.fileType = FileType::Pascal, .text = "hit", .includeProcs = true};
};

std::string Lines(int count, const std::string& text) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += text + " " + std::to_string(i) + "\r\n";
    return bytes;
}

TEST_F(OrderedSearchTest, RowsTurnsAndMatchesAreThoseOfOneThreadWithinTheBoundsOfReadingAhead) {
    // Small files among large ones whose every line matches, empty files and a vanished one.
    for (int i = 0; i < 60; ++i) {
        std::string bytes;
        if (i % 7 == 3)
            bytes = Lines(3000, "hit (proc x)");
        else if (i % 5 == 0)
            bytes = "";
        else
            bytes = Lines(i, "nothing") + "a hit\r\nproc p(q)\r" + Lines(2, "HIT");
        test::WriteBytes(m_dir / ("f" + std::to_string(100 + i) + ".pas"), bytes);
    }
    ReadSet();
    m_system.openRead = [](const std::string& name) -> platform::OpenResult {
        if (name == "f111.pas") return {nullptr, 2};
        return platform::NativeSystem().OpenRead(name);
    };
    const Outcome alone = Run(0);
    std::vector<std::int32_t> inOrder(60);
    for (std::int32_t i = 0; i < 60; ++i) inOrder[static_cast<std::size_t>(i)] = i;
    ASSERT_EQ(alone.turns, inOrder);
    ASSERT_GT(alone.matches, 20000);
    // The file that vanished is told with its code right where its rows would stand.
    const Row vanished = test::RowCollector::NotRead(11, 2);
    const auto told = std::find(alone.rows.begin(), alone.rows.end(), vanished);
    ASSERT_NE(told, alone.rows.end());
    EXPECT_EQ(told[-1].text, "file f111.pas");
    EXPECT_EQ(told[1].text, "file f112.pas");
    EXPECT_EQ(std::count(alone.rows.begin(), alone.rows.end(), vanished), 1);

    const OrderedSearch::Limits tight{
        .filesAhead = 3, .heldBytes = 8192, .turnBytes = 2048, .blockBytes = 1024};
    const struct {
        std::int32_t workers;
        OrderedSearch::Limits limits;
    } cases[] = {{1, {}}, {3, {}}, {1, tight}, {3, tight}, {8, tight}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.workers << " workers, " << c.limits.heldBytes << " bytes held");
        const Outcome threaded = Run(c.workers, c.limits);
        EXPECT_EQ(threaded.turns, alone.turns);
        EXPECT_EQ(threaded.matches, alone.matches);
        EXPECT_EQ(threaded.elsewhere, 0);
        ASSERT_EQ(threaded.rows.size(), alone.rows.size());
        EXPECT_TRUE(threaded.rows == alone.rows);
        // Each thread may hand over one block (its string's room) past a bound before it waits.
        const std::size_t slack = static_cast<std::size_t>(c.workers + 1) * 4 * c.limits.blockBytes;
        EXPECT_LE(threaded.peakHeld, c.limits.heldBytes + c.limits.turnBytes + slack);
        EXPECT_EQ(PendingError(), 0);
    }
}

TEST_F(OrderedSearchTest, FilesAreOpenedNoFurtherAheadThanTheBoundAndEachThreadTakesItsCodes) {
    for (int i = 0; i < 40; ++i)
        test::WriteBytes(m_dir / ("f" + std::to_string(100 + i) + ".pas"), Lines(20, "hit"));
    ReadSet();
    std::atomic<int> begun{0};
    std::atomic<int> leftPending{0};
    std::mutex mutex;
    int furthest = 0;  // past the files begun
    int furthestHint = 0;
    std::vector<int> hints(40);  // how often each file was hinted to the system
    m_system.adviseWillRead = [&](const std::string& name) {
        const int file = std::stoi(name.substr(1, 3)) - 100;
        const std::lock_guard<std::mutex> lock(mutex);
        ++hints[static_cast<std::size_t>(file)];
        furthestHint = std::max(furthestHint, file - begun.load());
    };
    m_system.openRead = [&](const std::string& name) -> platform::OpenResult {
        if (PendingError() != 0) ++leftPending;
        const int file = std::stoi(name.substr(1, 3)) - 100;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            furthest = std::max(furthest, file - begun.load());
        }
        // The first opens wait as those from the disk do: the search starts hinting. A whole
        // millisecond, as Windows sleeps for none at all when asked for less.
        if (file < OrderedSearch::kSlowReadsToHint)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Every third file fails to open, every other one fails in its second read.
        if (file % 3 == 0) return {nullptr, 5};
        if (file % 2 == 0) {
            test::FakeFile::Script script{.data = Lines(20, "hit"), .failingReads = {1}};
            return {std::make_unique<test::FakeFile>(script, std::make_shared<test::FileLog>()), 0};
        }
        return platform::NativeSystem().OpenRead(name);
    };
    OrderedSearch search(m_request, m_set, m_system, 3, {.filesAhead = 4, .hintAhead = 6});
    test::RowCollector sink;
    search.Run(
        sink,
        [&](std::int32_t file) {
            // A slow turn, so that the workers would run far ahead if they could.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            begun = file + 1;
            sink.AddFile(m_set.Name(file));
        },
        nullptr);
    EXPECT_LE(furthest, 4);
    // No file is hinted twice, nor further ahead than it may be read and hinted; once the
    // slow reads are over (four more files may be taken by then), every file is.
    EXPECT_LE(furthestHint, 4 + 6);
    std::vector<int> once(40, 1);
    for (std::size_t file = 0; file < OrderedSearch::kSlowReadsToHint + 4; ++file)
        once[file] = std::min(hints[file], 1);
    EXPECT_EQ(hints, once);
    EXPECT_EQ(leftPending.load(), 0);
    EXPECT_EQ(PendingError(), 0);
    // Each of those files is told once, in its turn: after the rows it gave, before the next.
    std::vector<Row> told;
    std::vector<Row> expected;
    for (int file = 0; file < 40; ++file)
        if (file % 3 == 0 || file % 2 == 0)
            expected.push_back(test::RowCollector::NotRead(file, 5));
    for (std::size_t i = 0; i < sink.rows.size(); ++i) {
        if (sink.rows[i].text != "not read") continue;
        told.push_back(sink.rows[i]);
        const bool next = i + 1 == sink.rows.size() || sink.rows[i + 1].text.starts_with("file ");
        EXPECT_TRUE(next) << "row " << i << " follows a file not read";
    }
    EXPECT_EQ(told, expected);
}

TEST_F(OrderedSearchTest, WhileAWorkerHoldsTheFileInTurnTheMainThreadTellsItIsWaiting) {
    test::WriteBytes(m_dir / "a.pas", "hit\r\n");
    test::WriteBytes(m_dir / "b.pas", "hit\r\n");
    ReadSet();
    // A worker's open waits for the main thread's word that it is waiting; the main thread's
    // own open waits until a worker has a file, so that the main thread is sure to wait.
    std::mutex mutex;
    std::condition_variable changed;
    bool workerOpened = false;
    int pulses = 0;
    int pulsesElsewhere = 0;
    const std::thread::id main = std::this_thread::get_id();
    const auto awaitFor = [&](const std::function<bool()>& done) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), done);
    };
    m_system.openRead = [&](const std::string& name) {
        if (std::this_thread::get_id() == main) {
            EXPECT_TRUE(awaitFor([&] { return workerOpened; })) << "no worker took a file";
        } else {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                workerOpened = true;
            }
            changed.notify_all();
            EXPECT_TRUE(awaitFor([&] { return pulses > 0; }))
                << "the main thread never said it waits";
        }
        return platform::NativeSystem().OpenRead(name);
    };
    struct Pulse final : ReadPulse {
        std::function<void()> told;
        void StillReading() override { told(); }
    } pulse;
    pulse.told = [&] {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++pulses;
            if (std::this_thread::get_id() != main) ++pulsesElsewhere;
        }
        changed.notify_all();
    };
    OrderedSearch search(m_request, m_set, m_system, 1);
    test::RowCollector sink;
    const std::int64_t matches = search.Run(
        sink, [](std::int32_t) {}, &pulse);
    EXPECT_EQ(matches, 2);
    EXPECT_GT(pulses, 0);
    EXPECT_EQ(pulsesElsewhere, 0);
}

TEST_F(OrderedSearchTest, RunningOutOfMemoryOnAnyThreadEndsTheSearchWithThatError) {
    for (int i = 0; i < 30; ++i)
        test::WriteBytes(m_dir / ("f" + std::to_string(100 + i) + ".pas"), "hit\r\n");
    ReadSet();
    m_system.openRead = [](const std::string& name) -> platform::OpenResult {
        if (name == "f120.pas") throw std::bad_alloc();
        return platform::NativeSystem().OpenRead(name);
    };
    for (const std::int32_t workers : {0, 1, 3}) {
        OrderedSearch search(m_request, m_set, m_system, workers);
        test::RowCollector sink;
        EXPECT_THROW(search.Run(
                         sink, [](std::int32_t) {}, nullptr),
                     std::bad_alloc)
            << workers;
        EXPECT_EQ(PendingError(), 0);
    }
}

}  // namespace
}  // namespace sifter
