#pragma once
// Bytes written to a file descriptor through a buffer, the way a program in a pipeline writes:
// the first failure stops all further writing, and a reader that has gone ends the program
// as it ends grep.

#include <cstddef>
#include <string>
#include <string_view>

namespace sifter::cli {

class OutputStream final {
public:
    // `closedPipeStatus`: the exit status where the system has no signal for a closed pipe.
    OutputStream(int fd, int closedPipeStatus);
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    void Write(std::string_view bytes);
    // Writes what is buffered; false once anything could not be written.
    bool Flush();
    int error() const { return m_error; }  // the errno of the first failure, or 0

private:
    static constexpr std::size_t kCapacity = 64 * 1024;
    void WriteAll(std::string_view bytes);

    const int m_fd;
    const int m_closedPipeStatus;
    std::string m_buffer;
    int m_error = 0;
};

}  // namespace sifter::cli
