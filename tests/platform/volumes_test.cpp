#include "platform/volumes_posix.h"

#include <gtest/gtest.h>

namespace sifter::platform {
namespace {

using Described = std::vector<std::string>;

bool FakeIsDirectory(const std::string& path) {
    return path != "/mnt/file";
}

bool FakeIsRemovable(const std::string& device) {
    return device == "/dev/sdb1";
}

std::string FakeLabelOf(const std::string& device) {
    if (device == "/dev/sda1") return "System";
    if (device == "/dev/sdb1") return "USB STICK";
    if (device == "/dev/sr0") return "DISC";
    return {};
}

constexpr VolumeProbes kProbes{FakeIsDirectory, FakeIsRemovable, FakeLabelOf};

// "path|label|file system|kind", so that a mismatch shows every field at once.
Described Describe(const std::vector<Volume>& volumes) {
    static const char* const kKinds[] = {"fixed", "removable", "network", "cdrom", "ramdisk"};
    Described out;
    for (const Volume& v : volumes)
        out.push_back(v.mountPath + "|" + v.label + "|" + v.fileSystem + "|" +
                      kKinds[static_cast<int>(v.kind)]);
    return out;
}

TEST(ParseMountInfoTest, KeepsTheVolumesAPersonBrowsesRootFirstThenByPath) {
    const char* const table =
        "23 22 0:21 / /proc rw,nosuid - proc proc rw\n"
        "24 22 0:22 / /sys rw - sysfs sysfs rw\n"
        "25 22 0:5 / /dev rw - devtmpfs udev rw\n"
        "26 25 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
        "27 22 0:24 / /run rw - tmpfs tmpfs rw\n"
        "28 22 8:2 / /boot/efi rw - vfat /dev/sda2 rw\n"
        "30 22 8:17 / /media/usb rw,nosuid shared:5 master:2 - vfat /dev/sdb1 rw\n"
        "31 22 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n"
        "32 22 0:50 / /mnt/net rw - nfs4 server:/export rw\n"
        "33 22 0:51 / /mnt/ram rw - tmpfs tmpfs rw\n"
        "34 22 8:3 /sub /mnt/bind rw - ext4 /dev/sda3 rw\n"
        "35 22 8:3 / /mnt/file rw - ext4 /dev/sda3 rw\n"
        "36 22 8:4 / /media/my\\040disk rw - ext4 /dev/sdc1 rw\n"
        "37 22 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
        "38 22 0:60 / /var/lib/docker/x/merged rw - overlay overlay rw\n"
        "39 22 0:61 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
        "40 22 8:5 / /data rw - ext4 /dev/sda5 rw\n"
        "41 22 8:6 / /data rw - xfs /dev/sda6 rw\n"
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "not a mount line\n"
        "42 22 8:7 / /nodash rw ext4 /dev/sda7 rw\n"
        "\n"
        "43 22 0:70 / /mnt/share rw - cifs //host/share rw";
    EXPECT_EQ(Describe(ParseMountInfo(table, kProbes)),
              (Described{"/|System|ext4|fixed", "/data||xfs|fixed", "/media/cd|DISC|iso9660|cdrom",
                         "/media/my disk||ext4|fixed", "/media/usb|USB STICK|vfat|removable",
                         "/mnt/net|server:/export|nfs4|network", "/mnt/ram||tmpfs|ramdisk",
                         "/mnt/share|//host/share|cifs|network"}));
}

TEST(ParseMountInfoTest, TheRootIsAlwaysThereEvenWhenTheTableLacksIt) {
    EXPECT_EQ(Describe(ParseMountInfo("", kProbes)), Described{"/|||fixed"});
    EXPECT_EQ(
        Describe(ParseMountInfo("1 0 0:1 / / rw - overlay overlay rw,lowerdir=/a\n", kProbes)),
        Described{"/||overlay|fixed"});
    EXPECT_EQ(Describe(ParseMountInfo("1 0 0:1 / /media/stick rw - vfat /dev/sdb1 rw\n", kProbes)),
              (Described{"/|||fixed", "/media/stick|USB STICK|vfat|removable"}));
}

TEST(ParseMountInfoTest, UndoesTheOctalEscapesOfNames) {
    const char* const table =
        "1 0 8:1 / /media/a\\011tab\\134back\\012line rw - ext4 /dev/sdd1 rw\n"
        "2 0 8:1 / /media/short\\04 rw - ext4 /dev/sdd2 rw\n";
    EXPECT_EQ(Describe(ParseMountInfo(table, kProbes)),
              (Described{"/|||fixed", "/media/a\ttab\\back\nline||ext4|fixed",
                         "/media/short\\04||ext4|fixed"}));
}

TEST(ReadMountedVolumesTest, ListsTheRootFirst) {
    const std::vector<Volume> volumes = ReadMountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().mountPath, "/");
    for (std::size_t i = 2; i < volumes.size(); ++i)
        EXPECT_LT(volumes[i - 1].mountPath, volumes[i].mountPath);
}

}  // namespace
}  // namespace sifter::platform
