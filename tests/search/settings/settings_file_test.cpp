// The window's settings file: its text taken back as it was written, damaged texts refused by
// their line, the latest-first lists, and the file written whole and only on a change, with
// failures that leave the old file as it was.

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "fault_support.h"
#include "platform/path_rules.h"
#include "search/io_error.h"
#include "search/settings/settings_file.h"
#include "test_support.h"

namespace sifter {
namespace {

using test::Call;
using test::FaultySystem;

KeptSettings Sample() {
    KeptSettings kept;
    kept.switches = {{"IncludeSubdirectories1", true}, {"ShowRoutines1", false}};
    kept.masks = {"*.sc;*.ssl", "*.pas;*.pp;*.inc"};
    kept.leaveOut = "backup;*.old";
    kept.editor = "kate -l {line} -c {column} \"{file}\"";
    kept.texts = {" begin ",
                  "a\\b",
                  "line\r\nend",
                  "caf\xE9 \xE2\x82\xAC",
                  "=x",
                  "#not a comment",
                  std::string("nul\0tab\t", 8)};
    kept.directories = {"/home/ann/My Projects", "C:\\WORK\\x=y"};
    return kept;
}

TEST(KeptSettingsTest, TheTextGivesBackWhatWasWritten) {
    for (const KeptSettings& kept : {KeptSettings(), Sample()}) {
        const std::string text = SettingsText(kept);
        const SettingsReading reading = ReadSettingsText(text);
        EXPECT_TRUE(reading.ok()) << reading.problem;
        EXPECT_EQ(reading.settings, kept) << text;
        // One line a key and value: no byte of a value ends its line early.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
                  2 + kept.switches.size() + 3 + !kept.leaveOut.empty() + kept.texts.size() +
                      kept.directories.size());
    }
    // Line ends of a Windows editor, comments and keys of a later version are taken.
    const SettingsReading edited =
        ReadSettingsText("; by hand\r\noption.WholeWords1=1\r\n\r\ncolour=red\r\neditor=vi\r\n");
    EXPECT_TRUE(edited.ok()) << edited.problem;
    KeptSettings wanted;
    wanted.switches = {{"WholeWords1", true}};
    wanted.editor = "vi";
    EXPECT_EQ(edited.settings, wanted);
}

TEST(KeptSettingsTest, ADamagedTextGivesTheDefaultsAndItsLine) {
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"editor=vi\nno equals sign\n", "line 2: no key=value"},
        {"=value\n", "line 1: no key=value"},
        {"bad key=1\n", "line 1: no key=value"},
        {"editor=vi\\\n", "line 1: a backslash that starts no escape"},
        {"text=\\q\n", "line 1: a backslash that starts no escape"},
        {"text=\\x4\n", "line 1: a backslash that starts no escape"},
        {"text=\\xG0\n", "line 1: a backslash that starts no escape"},
        {"# c\noption.WholeWords1=yes\n", "line 2: a check mark is 0 or 1"},
        {"masks.pascal=\n", "line 1: The list of file masks is empty"},
        {"masks.scripts=*.sc;;*.ssl\n", "line 1: The list of file masks holds an empty mask"},
        {"masks.pascal=src/*.pas\n", "line 1: The mask \"src/*.pas\" holds a path separator"},
        {"leaveout=build;;old\n", "line 1: "},
    };
    for (const auto& c : cases) {
        const SettingsReading reading = ReadSettingsText(c.text);
        EXPECT_EQ(reading.problem.substr(0, std::string_view(c.problem).size()), c.problem)
            << c.text;
        EXPECT_EQ(reading.settings, KeptSettings()) << c.text;
    }
}

TEST(KeptSettingsTest, TheListsKeepTheLatestFirstEachOnce) {
    KeptSettings kept;
    for (int i = 0; i < 25; ++i) kept.RememberText("t" + std::to_string(i));
    kept.RememberText("t20");
    kept.RememberText("");
    ASSERT_EQ(kept.texts.size(), KeptSettings::kTexts);
    EXPECT_EQ(kept.texts.front(), "t20");
    EXPECT_EQ(kept.texts[1], "t24");
    EXPECT_EQ(kept.texts.back(), "t5");
    for (const char* directory : {"/a", "/b", "/a", "/A"}) kept.RememberDirectory(directory);
    // Letter case tells directories apart only where the system's names are case-sensitive.
    const bool foldsCase = platform::Paths().style() == platform::PathRules::Style::Windows;
    const std::vector<std::string> wanted = foldsCase ? std::vector<std::string>{"/A", "/b"}
                                                      : std::vector<std::string>{"/A", "/a", "/b"};
    EXPECT_EQ(kept.directories, wanted);
    // A file with more, or repeated, entries is taken as the lists would have kept them.
    std::string text;
    for (int i = 0; i < 12; ++i) text += "directory=/d" + std::to_string(i % 10) + "\n";
    EXPECT_EQ(ReadSettingsText(text).settings.directories,
              (std::vector<std::string>{"/d0", "/d1", "/d2", "/d3", "/d4", "/d5", "/d6", "/d7"}));
}

class SettingsFileTest : public testing::Test {
protected:
    platform::SettingsPlace Place() const {
        const std::string base = platform::PathInDirectory(m_top.path(), "config");
        const std::string directory = platform::PathInDirectory(base, "sifter32");
        return {base, directory, platform::PathInDirectory(directory, "sifter32.conf")};
    }
    // Everything below the scratch directory, relative to it.
    std::vector<std::string> Contents() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_top.path()))
            found.push_back(std::filesystem::relative(entry.path(), m_top.path()).generic_string());
        std::sort(found.begin(), found.end());
        return found;
    }

    test::TempDir m_top;
    FaultySystem m_system;
};

TEST_F(SettingsFileTest, AFileIsWrittenWholeAndOnlyWhenSomethingChanged) {
    SettingsFile file(Place(), m_system);
    EXPECT_EQ(file.Load().settings, KeptSettings());
    // The defaults without a file: nothing to write, no directory made.
    m_system.Inject({.call = Call::Create, .occurrence = 1000});
    EXPECT_EQ(file.Save(KeptSettings()), "");
    EXPECT_EQ(m_system.seen(), 0);
    EXPECT_TRUE(Contents().empty());

    const KeptSettings kept = Sample();
    EXPECT_EQ(file.Save(kept), "");
    EXPECT_EQ(file.Save(kept), "");
    EXPECT_EQ(m_system.seen(), 1);
    EXPECT_EQ(Contents(), (std::vector<std::string>{"config", "config/sifter32",
                                                    "config/sifter32/sifter32.conf"}));
    EXPECT_EQ(test::ReadBytes(file.Path()), SettingsText(kept));

    SettingsFile again(Place(), m_system);
    const SettingsFile::Loaded loaded = again.Load();
    EXPECT_EQ(loaded.settings, kept);
    EXPECT_EQ(loaded.note, "");
    EXPECT_EQ(again.Save(kept), "");
    EXPECT_EQ(m_system.seen(), 1);
    // Back to the defaults is a change like any other.
    EXPECT_EQ(again.Save(KeptSettings()), "");
    EXPECT_EQ(test::ReadBytes(file.Path()), SettingsText(KeptSettings()));
}

TEST_F(SettingsFileTest, ADamagedFileGivesTheDefaultsAndIsReplacedByTheFirstChange) {
    std::filesystem::create_directories(Place().directory);
    test::WriteBytes(Place().file, "editor=vi\ntext\n");
    SettingsFile file(Place(), m_system);
    const SettingsFile::Loaded loaded = file.Load();
    EXPECT_EQ(loaded.settings, KeptSettings());
    EXPECT_EQ(loaded.note, "Settings damaged in " + Place().file +
                               ", line 2: no key=value; the defaults are in use");
    EXPECT_EQ(file.Save(KeptSettings()), "");
    EXPECT_EQ(test::ReadBytes(Place().file), "editor=vi\ntext\n");
    KeptSettings changed;
    changed.editor = "gvim +{line} {file}";
    EXPECT_EQ(file.Save(changed), "");
    EXPECT_EQ(test::ReadBytes(Place().file), SettingsText(changed));

    test::WriteBytes(Place().file, std::string((1 << 20) + 1, '#'));
    EXPECT_EQ(SettingsFile(Place(), m_system).Load().note,
              "Settings damaged in " + Place().file +
                  ": larger than a settings file can be; the defaults are in use");
}

TEST_F(SettingsFileTest, FailuresLoseNothingElse) {
    const std::string old = SettingsText(Sample());
    std::filesystem::create_directories(Place().directory);
    test::WriteBytes(Place().file, old);
    KeptSettings changed = Sample();
    changed.RememberText("next");
    const struct {
        test::Fault fault;
        const char* why;
    } cases[] = {
        {{.call = Call::Create, .error = platform::kAccessDenied}, "File access denied"},
        {{.call = Call::Write, .error = platform::kDiskFull, .after = 10}, "I/O error 112"},
        {{.call = Call::Release, .error = kOwnDiskFull}, "Disk full"},
        {{.call = Call::Rename, .error = platform::kSharingViolation, .name = Place().file},
         "I/O error 32"},
    };
    for (const auto& c : cases) {
        SettingsFile file(Place(), m_system);
        m_system.Disarm();
        ASSERT_EQ(file.Load().settings, Sample());
        m_system.Inject(c.fault);
        const std::string note = file.Save(changed);
        EXPECT_EQ(note.substr(0, note.find(": ") + 2),
                  "Settings not kept in " + Place().file + ": ")
            << c.why;
        EXPECT_NE(note.find(c.why), std::string::npos) << note;
        EXPECT_EQ(test::ReadBytes(Place().file), old) << c.why;
        EXPECT_EQ(Contents(), (std::vector<std::string>{"config", "config/sifter32",
                                                        "config/sifter32/sifter32.conf"}))
            << c.why;
        // The next change tries again.
        m_system.Disarm();
        changed.RememberText(c.why);
        EXPECT_EQ(file.Save(changed), "");
        EXPECT_EQ(test::ReadBytes(Place().file), SettingsText(changed));
        test::WriteBytes(Place().file, old);
    }
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    std::filesystem::create_directories(Place().directory);
    test::WriteBytes(Place().file, "editor=vi\n");
    m_system.Inject({.call = Call::Read, .error = platform::kAccessDenied});
    SettingsFile file(Place(), m_system);
    const SettingsFile::Loaded loaded = file.Load();
    EXPECT_EQ(loaded.settings, KeptSettings());
    EXPECT_EQ(loaded.note, "Settings not read from " + Place().file +
                               ": File access denied; the defaults are in use");
    m_system.Disarm();
    EXPECT_EQ(file.Save(Sample()), "");
    EXPECT_EQ(test::ReadBytes(Place().file), "editor=vi\n");
}

TEST_F(SettingsFileTest, ADirectoryThatCannotBeMadeKeepsNothing) {
    SettingsFile file(Place(), m_system);
    file.Load();
    m_system.Inject(
        {.call = Call::MakeDirectory, .error = platform::kAccessDenied, .name = Place().directory});
    EXPECT_EQ(file.Save(Sample()), "Settings not kept in " + Place().file + ": File access denied");
    EXPECT_EQ(Contents(), std::vector<std::string>{"config"});
    // No place at all: nothing is read or written, and nothing is said.
    SettingsFile nowhere({}, m_system);
    EXPECT_EQ(nowhere.Load().note, "");
    EXPECT_EQ(nowhere.Save(Sample()), "");
}

}  // namespace
}  // namespace sifter
