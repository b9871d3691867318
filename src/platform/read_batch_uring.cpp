#include <fcntl.h>
#include <liburing.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include "platform/posix_file.h"

namespace sifter::platform {
namespace {

// Each file is three requests linked in order: open into a slot of the ring's own table of
// files, read into the file's room, close the slot. A file that cannot be opened is neither
// read nor closed; the close follows the read however the read ended (a short read counts as a
// failure to io_uring).
class UringBatch final : public ReadBatch {
public:
    bool Start() {
        if (io_uring_queue_init(kEntries, &m_ring, 0) != 0) return false;
        m_started = true;
        std::array<int, kFiles> none;
        none.fill(-1);
        if (io_uring_register_files(&m_ring, none.data(), kFiles) != 0) return false;
        // Its pages are all there from the start: the system puts them in place at once,
        // instead of one fault at a time while the first batches are read.
        void* rooms = ::mmap(nullptr, kFiles * kStride, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (rooms == MAP_FAILED) return false;
        m_rooms = static_cast<char*>(rooms);
        // The padding after each room is zero, as the line scan's wide compares want it.
        return true;
    }
    ~UringBatch() override {
        if (m_started) io_uring_queue_exit(&m_ring);
        // Requests may still run after a failure to take them: the rooms are left to them.
        if (m_rooms != nullptr && !m_broken) ::munmap(m_rooms, kFiles * kStride);
    }

    void Read(const std::vector<const std::string*>& names) override {
        m_count = std::min<std::size_t>(names.size(), kFiles);
        m_got.fill(-1);
        if (m_broken) return;
        for (std::size_t i = 0; i < m_count; ++i) {
            if (HasEmbeddedNul(*names[i])) continue;
            const auto slot = static_cast<unsigned>(i);
            io_uring_sqe* open = io_uring_get_sqe(&m_ring);
            // No O_CLOEXEC: a slot of the ring's table is never a descriptor a child could get.
            io_uring_prep_openat_direct(open, AT_FDCWD, names[i]->c_str(),
                                        O_RDONLY | O_NONBLOCK | O_NOCTTY, 0, slot);
            open->flags |= IOSQE_IO_LINK;
            io_uring_sqe_set_data64(open, kIgnored);
            io_uring_sqe* read = io_uring_get_sqe(&m_ring);
            io_uring_prep_read(read, static_cast<int>(slot), Room(i), kAsked, 0);
            read->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
            io_uring_sqe_set_data64(read, i);
            io_uring_sqe* close = io_uring_get_sqe(&m_ring);
            io_uring_prep_close_direct(close, slot);
            io_uring_sqe_set_data64(close, kIgnored);
            m_pending += 3;
        }
        // Every request is answered before the rooms are used again: a read still running
        // would write into the next batch's bytes.
        while (m_pending > 0) {
            const int submitted =
                io_uring_submit_and_wait(&m_ring, static_cast<unsigned>(m_pending));
            if (submitted < 0 && submitted != -EINTR && io_uring_cq_ready(&m_ring) == 0) {
                // Requests may still be running: the rooms are never used again.
                m_broken = true;
                m_got.fill(-1);
                return;
            }
            io_uring_cqe* answer = nullptr;
            unsigned head = 0;
            unsigned seen = 0;
            io_uring_for_each_cqe(&m_ring, head, answer) {
                ++seen;
                const std::uint64_t index = io_uring_cqe_get_data64(answer);
                if (index < kFiles) m_got[index] = answer->res;
            }
            io_uring_cq_advance(&m_ring, seen);
            m_pending -= static_cast<std::int32_t>(seen);
        }
    }

    bool Whole(std::size_t index, std::string_view& bytes) const override {
        if (index >= m_count || m_got[index] < 0 ||
            static_cast<std::size_t>(m_got[index]) >= kAsked)
            return false;
        bytes = std::string_view(Room(index), static_cast<std::size_t>(m_got[index]));
        return true;
    }

private:
    static constexpr std::size_t kFiles = static_cast<std::size_t>(ReadBatch::kFiles);
    static constexpr unsigned kEntries = 4 * kFiles;
    // A read that fills the room may have left bytes behind.
    static constexpr unsigned kAsked = kRoom + 1;
    static constexpr std::size_t kStride = kAsked + OsFile::kHeldPadding;
    static constexpr std::uint64_t kIgnored = UINT64_MAX;

    char* Room(std::size_t index) const { return m_rooms + index * kStride; }

    io_uring m_ring{};
    bool m_started = false;
    char* m_rooms = nullptr;
    std::array<std::int32_t, kFiles> m_got{};
    std::size_t m_count = 0;
    std::int32_t m_pending = 0;
    bool m_broken = false;  // the system failed to take requests: no batch is read again
};

}  // namespace

std::unique_ptr<ReadBatch> MakeUringBatch() {
    auto batch = std::make_unique<UringBatch>();
    // A kernel without io_uring, or a sandbox that forbids it: every file is opened alone.
    if (!batch->Start()) return nullptr;
    return batch;
}

}  // namespace sifter::platform
