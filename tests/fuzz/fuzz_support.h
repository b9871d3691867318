#pragma once
// Shared by the fuzz targets: how a difference is reported, and for the line reader the systems
// put behind a LineFile and the model it is compared with.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forwarding_system.h"
#include "platform/platform.h"

namespace sifter::fuzz {

// A difference between the engine and its model: says what differed, then aborts so that
// libFuzzer keeps the input.
[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One answer of the system to a read call.
struct ReadStep {
    std::int32_t error = 0;  // non-zero: the call fails with this code and delivers nothing
    std::int32_t most = 0;   // otherwise at most this many bytes; 0 ends the data early
};

// The bytes of one file as a system with a script would deliver them. The steps are used in
// turn and start again when used up; without steps every call gets as much as it asks for.
class ReadScript final {
public:
    ReadScript(std::string_view data, std::vector<ReadStep> steps);
    platform::ReadResult Read(char* buffer, std::int32_t size);
    int calls() const { return m_calls; }

private:
    std::string_view m_data;
    std::vector<ReadStep> m_steps;
    std::size_t m_served = 0;
    int m_calls = 0;
};

// What the line reader target puts behind a LineFile: a system whose read calls answer from a
// script, or the real system with its read calls counted. Both insist on the reader's fixed
// request size.
class FuzzSystem final : public test::ForwardingSystem {
public:
    // Every OpenRead opens a file that `script` serves, whatever the name.
    explicit FuzzSystem(ReadScript& script) : m_script(&script) {}
    // OpenRead opens real files.
    FuzzSystem() = default;
    FuzzSystem(const FuzzSystem&) = delete;
    FuzzSystem& operator=(const FuzzSystem&) = delete;

    int reads() const { return m_reads; }

    // The line reader needs no other call; they go to the real system unchanged.
    platform::OpenResult OpenRead(const std::string& name) override;

private:
    ReadScript* m_script = nullptr;
    int m_reads = 0;
};

// The line rules in their plainest form: a byte source that asks the system for 128 bytes when
// its buffer is used up and hands out one byte at a time, and the three reading operations
// built on it byte by byte; the first CR or LF met decides which of the two ends every line.
// Slow and obviously right, it is what the real reader's buffer tricks are compared with.
class LineModel final {
public:
    // A file that is open for reading and served by `script`.
    explicit LineModel(ReadScript script) : m_system(std::move(script)) {}
    // A file that is open for reading and served by `read`, asked for 128 bytes at a time.
    using Read = std::function<platform::ReadResult(char* buffer, std::int32_t size)>;
    explicit LineModel(Read read) : m_system({}, {}), m_read(std::move(read)) {}

    bool AtEnd();
    std::string ReadLine();
    void SkipLineEnd();

    // The search's loop, at most `limit` times: while not AtEnd, ReadLine and SkipLineEnd.
    std::vector<std::string> Lines(std::size_t limit = SIZE_MAX);

    int reads() const { return m_system.calls(); }
    std::int32_t pending() const { return m_pending; }

private:
    static constexpr char kCtrlZ = 26;
    static constexpr int kRequest = 128;

    // The next byte, consumed unless it is Ctrl-Z; Ctrl-Z when the data has ended or the read
    // failed.
    char Take();
    void PutBack() { --m_position; }
    // Whether `byte` ends a line, deciding what does when it is the file's first CR or LF.
    bool EndsLine(char byte);

    ReadScript m_system;
    Read m_read;
    std::array<char, kRequest> m_buffer{};
    int m_position = 0;
    int m_end = 0;
    std::int32_t m_pending = 0;
    char m_ends = 0;  // CR or LF once the first of them has been met
};

}  // namespace sifter::fuzz
