#pragma once
// The lines of one search that a pattern was too complex to tell about, gathered from every
// thread that reads files: how many, and the first of them in the files' order.

#include <cstdint>
#include <mutex>

#include "search/run/result_rows.h"

namespace sifter {

class ComplexLines final {
public:
    void Add(std::int32_t file, std::int64_t line) {
        const std::lock_guard<std::mutex> hold(m_mutex);
        ++m_count;
        // Threads read files out of order: the first is the one of the earliest file.
        if (!m_first.Leads() || file < m_first.file ||
            (file == m_first.file && line < m_first.line))
            m_first = RowOrigin{file, line};
    }
    std::int64_t count() const {
        const std::lock_guard<std::mutex> hold(m_mutex);
        return m_count;
    }
    RowOrigin first() const {
        const std::lock_guard<std::mutex> hold(m_mutex);
        return m_first;
    }

private:
    mutable std::mutex m_mutex;
    std::int64_t m_count = 0;
    RowOrigin m_first;
};

}  // namespace sifter
