#include "platform/volumes_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <fstream>
#include <sstream>

namespace sifter::platform {
namespace {

// mountinfo writes blanks, tabs, newlines and backslashes in names as \ooo.
std::string Unescape(std::string_view field) {
    const auto octal = [&](std::size_t k) { return field[k] >= '0' && field[k] <= '7'; };
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool IsNetworkType(std::string_view type) {
    static constexpr std::array<std::string_view, 9> kTypes = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "afs", "ncpfs"};
    return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

bool IsSystemPath(std::string_view path) {
    for (std::string_view prefix : {"/dev", "/proc", "/sys", "/run", "/boot", "/snap"}) {
        if (path == prefix ||
            (path.size() > prefix.size() && path.substr(0, prefix.size()) == prefix &&
             path[prefix.size()] == '/'))
            return true;
    }
    return false;
}

bool ProbeIsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// /sys/block/<name>/removable, for the whole disk a partition belongs to.
bool ProbeIsRemovable(const std::string& device) {
    char resolved[PATH_MAX];
    if (::realpath(device.c_str(), resolved) == nullptr) return false;
    std::string name = resolved;
    name = name.substr(name.rfind('/') + 1);
    while (!name.empty()) {
        std::ifstream flag("/sys/block/" + name + "/removable");
        char value = '0';
        if (flag >> value) return value == '1';
        name.pop_back();  // sdb1 -> sdb, mmcblk0p1 -> mmcblk0p -> mmcblk0
    }
    return false;
}

std::string ProbeLabel(const std::string& device) {
    char target[PATH_MAX];
    if (::realpath(device.c_str(), target) == nullptr) return {};
    std::string label;
    const std::string dir = "/dev/disk/by-label";
    SystemApi& system = PosixSystem();
    system.ListDirectory(dir, [&](const DirEntry& entry) {
        if (!label.empty() || entry.name.empty() || entry.name[0] == '.') return;
        char linked[PATH_MAX];
        const std::string path = dir + "/" + std::string(entry.name);
        if (::realpath(path.c_str(), linked) != nullptr && std::string(linked) == target)
            label = Unescape(std::string(entry.name));
    });
    return label;
}

}  // namespace

std::vector<Volume> ParseMountInfo(std::string_view table, const VolumeProbes& probes) {
    std::vector<Volume> volumes;
    Volume root{"/", {}, {}, Volume::Kind::Fixed};
    std::size_t start = 0;
    while (start < table.size()) {
        const std::size_t end = std::min(table.find('\n', start), table.size());
        const auto fields = SplitFields(table.substr(start, end - start));
        start = end + 1;
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 5 || dash == fields.end() || fields.end() - dash < 3) continue;
        const std::string mountRoot = Unescape(fields[3]);
        const std::string path = Unescape(fields[4]);
        const std::string type(dash[1]);
        const std::string source = Unescape(dash[2]);

        Volume volume{path, {}, type, Volume::Kind::Fixed};
        if (IsNetworkType(type)) {
            volume.kind = Volume::Kind::Network;
            volume.label = source;
        } else if ((type == "tmpfs" || type == "ramfs") && !IsSystemPath(path)) {
            volume.kind = Volume::Kind::RamDisk;
        } else if (source.rfind("/dev/", 0) == 0 && !IsSystemPath(path)) {
            if (type == "iso9660" || type == "udf")
                volume.kind = Volume::Kind::CdRom;
            else if (probes.isRemovable(source))
                volume.kind = Volume::Kind::Removable;
            volume.label = probes.labelOf(source);
        } else if (path != "/") {
            continue;  // proc, sysfs, cgroup, overlay layers and the like
        }
        if (path == "/") {
            root = volume;
            continue;
        }
        // A bind mount of a file or of a subtree is not a volume of its own.
        if (mountRoot != "/" || !probes.isDirectory(path)) continue;
        // A later mount on the same path hides the earlier one.
        const auto same = std::find_if(volumes.begin(), volumes.end(),
                                       [&](const Volume& v) { return v.mountPath == path; });
        if (same != volumes.end())
            *same = volume;
        else
            volumes.push_back(volume);
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.mountPath < b.mountPath; });
    volumes.insert(volumes.begin(), root);
    return volumes;
}

std::vector<Volume> ReadMountedVolumes() {
    std::ifstream file("/proc/self/mountinfo");
    std::stringstream text;
    text << file.rdbuf();
    return ParseMountInfo(text.str(), {ProbeIsDirectory, ProbeIsRemovable, ProbeLabel});
}

}  // namespace sifter::platform
