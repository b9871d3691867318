#pragma once
// The sorted names of the ordinary files of one directory that match a mask.
//
// The set owns the process's current directory: the search opens its names bare, so setting
// the directory makes it current, and so does every read.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sifter {

class FileSet final {
public:
    // Called with true when a read has grown large enough to deserve the hourglass, and with
    // false when that read ends; never called for a small read.
    using BusyCallback = std::function<void(bool busy)>;

    // Holds the current directory and the mask "*.*"; reads nothing yet.
    explicit FileSet(platform::SystemApi& system = platform::System());
    // The same with another mask to begin with, for a caller that knows it already.
    FileSet(platform::SystemApi& system, std::string mask);

    const std::string& Directory() const { return m_directory; }
    const std::string& Mask() const { return m_mask; }
    std::int32_t Count() const { return static_cast<std::int32_t>(m_names.size()); }
    const std::string& Name(std::int32_t index) const {
        return m_names.at(static_cast<std::size_t>(index));
    }
    const std::vector<std::string>& Names() const { return m_names; }

    // Makes `path` current and reads it, unless it already is the directory held. Throws
    // EInOutError when a part of the path cannot be entered; nothing changes then.
    void SetDirectory(const std::string& path);
    // Stores a mask that differs from the one held and reads at once; "a;b" lists both.
    void SetMask(const std::string& mask);
    // Makes the directory current again and reads it. Throws EInOutError when it cannot be
    // made current; the names stay as they were then.
    void Refresh();

    void SetBusyCallback(BusyCallback callback) { m_busy = std::move(callback); }

private:
    void ReadNames();
    // The path P stands for, checked part by part from the current directory; still relative
    // when P is.
    std::string ResolveParts(const std::string& path);

    platform::SystemApi* m_system;
    std::string m_directory;
    std::string m_mask = "*.*";
    std::vector<std::string> m_names;
    BusyCallback m_busy;
};

}  // namespace sifter
