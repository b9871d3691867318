#pragma once
// The volumes a person browses, read from the kernel's mount table.

#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace sifter::platform {

// "/" first, then the mount points of real file systems in byte order of their paths.
std::vector<Volume> ReadMountedVolumes();

// The same from the text of a mountinfo table; the probes answer the questions that need the
// live system (is the mount point a directory, is the device removable, what is its label).
struct VolumeProbes {
    bool (*isDirectory)(const std::string& path);
    bool (*isRemovable)(const std::string& device);
    std::string (*labelOf)(const std::string& device);
};
std::vector<Volume> ParseMountInfo(std::string_view table, const VolumeProbes& probes);

}  // namespace sifter::platform
