// The drive list of a Windows system, from scripted answers of the system's drive calls.

#include <gtest/gtest.h>

#include <map>

#include "platform/drive_list.h"

namespace sifter::platform {
namespace {

struct ScriptedDrive {
    DriveType type;
    std::optional<VolumeInformation> information;
    std::optional<std::string> connection;
};

class DriveListTest : public testing::Test {
protected:
    std::vector<Volume> List(std::uint32_t mask) {
        return ListDrives(mask, {[this](const std::string& root) {
                                     m_asked.push_back("type " + root);
                                     return m_drives.at(root).type;
                                 },
                                 [this](const std::string& root) {
                                     m_asked.push_back("label " + root);
                                     return m_drives.at(root).information;
                                 },
                                 [this](const std::string& drive) {
                                     m_asked.push_back("connection " + drive);
                                     return m_drives.at(drive + "\\").connection;
                                 }});
    }

    std::map<std::string, ScriptedDrive> m_drives;
    std::vector<std::string> m_asked;
};

TEST_F(DriveListTest, EveryKindThatCanBeBrowsedInLetterOrder) {
    m_drives = {
        {"a:\\", {DriveType::Removable, VolumeInformation{"FLOPPY", "FAT"}, {}}},
        {"c:\\", {DriveType::Fixed, VolumeInformation{"System", "NTFS"}, {}}},
        {"d:\\", {DriveType::CdRom, std::nullopt, {}}},
        {"e:\\", {DriveType::NoRootDirectory, {}, {}}},
        {"n:\\", {DriveType::Remote, VolumeInformation{"Data", "NTFS"}, "\\\\Server\\Share"}},
        {"r:\\", {DriveType::RamDisk, VolumeInformation{"", "FAT32"}, {}}},
        {"u:\\", {DriveType::Unknown, {}, {}}},
        {"w:\\", {DriveType::Remote, VolumeInformation{"Web", "NTFS"}, std::nullopt}},
    };
    std::uint32_t mask = 0;
    for (const char letter : {'a', 'c', 'd', 'e', 'n', 'r', 'u', 'w'}) mask |= 1u << (letter - 'a');
    // Bits past Z: are no drives.
    mask |= 1u << 26;

    const std::vector<Volume> volumes = List(mask);
    const std::vector<Volume> expected = {
        {"a:\\", "", "", Volume::Kind::Removable},
        {"c:\\", "System", "NTFS", Volume::Kind::Fixed},
        {"d:\\", "", "", Volume::Kind::CdRom},
        {"n:\\", "\\\\Server\\Share", "NTFS", Volume::Kind::Network},
        {"r:\\", "", "FAT32", Volume::Kind::RamDisk},
        {"w:\\", "", "NTFS", Volume::Kind::Network},
    };
    ASSERT_EQ(volumes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(volumes[i].mountPath, expected[i].mountPath) << i;
        EXPECT_EQ(volumes[i].label, expected[i].label) << expected[i].mountPath;
        EXPECT_EQ(volumes[i].fileSystem, expected[i].fileSystem) << expected[i].mountPath;
        EXPECT_EQ(volumes[i].kind, expected[i].kind) << expected[i].mountPath;
    }
    // An empty floppy drive is never asked for its label.
    EXPECT_EQ(std::count(m_asked.begin(), m_asked.end(), "label a:\\"), 0);
    EXPECT_EQ(std::count(m_asked.begin(), m_asked.end(), "type a:\\"), 1);
}

TEST_F(DriveListTest, NoDrivesGiveAnEmptyList) {
    EXPECT_TRUE(List(0).empty());
    EXPECT_TRUE(m_asked.empty());
}

}  // namespace
}  // namespace sifter::platform
