#include "platform/drive_list.h"

namespace sifter::platform {

std::vector<Volume> ListDrives(std::uint32_t logicalDrives, const DriveProbes& probes) {
    std::vector<Volume> volumes;
    for (int index = 0; index < 26; ++index) {
        if ((logicalDrives & (std::uint32_t{1} << index)) == 0) continue;
        const std::string drive = {static_cast<char>('a' + index), ':'};
        Volume volume{drive + '\\', {}, {}, Volume::Kind::Fixed};
        switch (probes.driveType(volume.mountPath)) {
            case DriveType::Removable:
                volume.kind = Volume::Kind::Removable;
                break;
            case DriveType::Fixed:
                volume.kind = Volume::Kind::Fixed;
                break;
            case DriveType::Remote:
                volume.kind = Volume::Kind::Network;
                break;
            case DriveType::CdRom:
                volume.kind = Volume::Kind::CdRom;
                break;
            case DriveType::RamDisk:
                volume.kind = Volume::Kind::RamDisk;
                break;
            default:
                continue;  // no root directory, or a kind nobody browses
        }
        if (volume.kind != Volume::Kind::Removable) {
            if (const auto information = probes.volumeInformation(volume.mountPath)) {
                volume.label = information->label;
                volume.fileSystem = information->fileSystem;
            }
        }
        // A network drive is named by its connection. The chooser shows a network volume's
        // label as its connection, and a network volume without one with empty brackets.
        if (volume.kind == Volume::Kind::Network)
            volume.label = probes.connection(drive).value_or("");
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

}  // namespace sifter::platform
