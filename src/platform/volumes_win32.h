#pragma once
// The drives of the running Windows system, for the directory chooser.

#include <vector>

#include "platform/platform.h"

namespace sifter::platform {

// Every drive present, with the system's critical-error prompts off while labels are read, so
// that a drive without a medium never asks for one.
std::vector<Volume> ReadDrives();

}  // namespace sifter::platform
