#include "platform/volumes_win32.h"

#include "platform/drive_list.h"
#include "platform/win32_headers.h"

namespace sifter::platform {
namespace {

DriveType ProbeDriveType(const std::string& root) {
    return static_cast<DriveType>(::GetDriveTypeA(root.c_str()));
}

std::optional<VolumeInformation> ProbeVolume(const std::string& root) {
    char label[MAX_PATH + 1] = {};
    char fileSystem[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                 fileSystem, sizeof fileSystem))
        return std::nullopt;
    return VolumeInformation{label, fileSystem};
}

std::optional<std::string> ProbeConnection(const std::string& drive) {
    std::string name(MAX_PATH, '\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(name.size());
        const DWORD result = ::WNetGetConnectionA(drive.c_str(), name.data(), &size);
        if (result == NO_ERROR) {
            name.resize(std::char_traits<char>::length(name.c_str()));
            return name;
        }
        if (result != ERROR_MORE_DATA || size <= name.size()) return std::nullopt;
        name.assign(size, '\0');
    }
}

// Puts the error mode back whatever happens while it is changed.
class ErrorModeGuard final {
public:
    explicit ErrorModeGuard(UINT mode) : m_previous(::SetErrorMode(mode)) {}
    ~ErrorModeGuard() { ::SetErrorMode(m_previous); }
    ErrorModeGuard(const ErrorModeGuard&) = delete;
    ErrorModeGuard& operator=(const ErrorModeGuard&) = delete;

private:
    UINT m_previous;
};

}  // namespace

std::vector<Volume> ReadDrives() {
    const ErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    return ListDrives(static_cast<std::uint32_t>(::GetLogicalDrives()),
                      {ProbeDriveType, ProbeVolume, ProbeConnection});
}

}  // namespace sifter::platform
