#pragma once
// The drives of a Windows system as the directory chooser lists them: one volume per drive
// letter present, A to Z, named by its root in lower case ("c:\"), the root a drive selector
// hands on. The questions that need the live system are asked through probes, so the rules
// can be checked anywhere.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sifter::platform {

// GetDriveTypeA's answers.
enum class DriveType : std::uint32_t {
    Unknown = 0,
    NoRootDirectory = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

struct VolumeInformation {
    std::string label;
    std::string fileSystem;
};

struct DriveProbes {
    // The kind of the drive whose root is given ("c:\").
    std::function<DriveType(const std::string& root)> driveType;
    // Label and file system; nothing when they cannot be read (no medium in the drive).
    std::function<std::optional<VolumeInformation>(const std::string& root)> volumeInformation;
    // The network name a drive ("n:") is connected to; nothing when it cannot be obtained.
    std::function<std::optional<std::string>(const std::string& drive)> connection;
};

// `logicalDrives` has bit 0 for A: up to bit 25 for Z:, as GetLogicalDrives gives them.
// A removable drive's label is never read: its entry shows the letter alone, and asking an
// empty drive would only wait for a medium.
std::vector<Volume> ListDrives(std::uint32_t logicalDrives, const DriveProbes& probes);

}  // namespace sifter::platform
