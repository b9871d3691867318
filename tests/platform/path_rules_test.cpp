// How each system writes paths: both rule sets are plain string work and are checked on every
// system; the engine's own tests check them in use on the system they run on.

#include <gtest/gtest.h>

#include <map>

#include "platform/path_rules.h"
#include "platform/platform.h"

namespace sifter::platform {
namespace {

using Names = std::vector<std::string_view>;

TEST(PathRulesTest, PrefixesAreDrivesAndNetworkSharesOnWindowsOnly) {
    const struct {
        const char* path;
        std::size_t windows;
    } cases[] = {
        {"C:\\WORK", 2},        {"c:", 2},         {"C:work", 2},    {"\\\\server\\share\\dir", 14},
        {"//server/share", 14}, {"\\\\server", 8}, {"\\WORK", 0},    {"WORK", 0},
        {"1:\\x", 0},           {"", 0},           {"/home/ann", 0}, {"\\\\server\\share", 14},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kWindowsPaths.PrefixLength(c.path), c.windows) << c.path;
        EXPECT_EQ(kPosixPaths.PrefixLength(c.path), 0u) << c.path;
    }
    EXPECT_TRUE(kWindowsPaths.IsBareDrive("z:"));
    EXPECT_FALSE(kWindowsPaths.IsBareDrive("z:\\"));
    EXPECT_FALSE(kPosixPaths.IsBareDrive("z:"));
}

TEST(PathRulesTest, LetterCaseCountsOnlyWhereNamesAreCaseSensitive) {
    EXPECT_TRUE(kWindowsPaths.SameDirectory("C:\\Work\\Src", "c:\\WORK\\src"));
    EXPECT_FALSE(kPosixPaths.SameDirectory("/home/Ann", "/home/ann"));
    EXPECT_TRUE(kPosixPaths.SameDirectory("/home/ann", "/home/ann"));
    // Only letters fold: a separator of the other kind, or one more byte, is another name.
    EXPECT_FALSE(kWindowsPaths.SameDirectory("C:\\WORK", "C:/WORK"));
    EXPECT_FALSE(kWindowsPaths.SameDirectory("C:\\WORK", "C:\\WORK\\"));
    EXPECT_FALSE(kWindowsPaths.SameDirectory("C:\\[", "C:\\{"));  // 0x5B and 0x7B are no letters
}

TEST(PathRulesTest, JoinAddsOneSeparatorExceptAfterARootOrABareDrive) {
    const struct {
        const PathRules* rules;
        const char* directory;
        const char* name;
        const char* joined;
    } cases[] = {
        {&kPosixPaths, "/", "home", "/home"},
        {&kPosixPaths, "/home", "ann", "/home/ann"},
        {&kPosixPaths, "", "a.sc", "a.sc"},
        {&kPosixPaths, "a\\b", "c", "a\\b/c"},
        {&kWindowsPaths, "C:\\", "WORK", "C:\\WORK"},
        {&kWindowsPaths, "C:", "WORK", "C:WORK"},
        {&kWindowsPaths, "C:\\WORK", "*.*", "C:\\WORK\\*.*"},
        {&kWindowsPaths, "C:/WORK/", "a", "C:/WORK/a"},
        {&kWindowsPaths, "\\\\srv\\share", "dir", "\\\\srv\\share\\dir"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rules->Join(c.directory, c.name), c.joined) << c.directory << " + " << c.name;
}

// As grep -r names the files of the directory it was given: POSIX's column is what GNU grep 3.8
// prints for a file x.pas found below each typed directory.
TEST(PathRulesTest, AFileBelowATypedDirectoryIsNamedAsGrepNamesIt) {
    const struct {
        const char* typed;
        const char* posix;
        const char* windows;
    } cases[] = {
        {"src/ui", "src/ui/x.pas", "src/ui\\x.pas"},
        {"src/ui/", "src/ui/x.pas", "src/ui\\x.pas"},
        {"d//", "d/x.pas", "d\\x.pas"},
        {".", "./x.pas", ".\\x.pas"},
        {"./", "./x.pas", ".\\x.pas"},
        {".//", "./x.pas", ".\\x.pas"},
        {"/abs/dir", "/abs/dir/x.pas", "/abs/dir\\x.pas"},
        {"/", "/x.pas", "/x.pas"},
        {"//", "//x.pas", "//x.pas"},
        {"///", "/x.pas", "///x.pas"},
        {"//srv/share/", "//srv/share/x.pas", "//srv/share/x.pas"},
        {"a\\", "a\\/x.pas", "a\\x.pas"},
        {"C:\\", "C:\\/x.pas", "C:\\x.pas"},
        {"C:\\WORK\\\\", "C:\\WORK\\\\/x.pas", "C:\\WORK\\x.pas"},
        {"C:", "C:/x.pas", "C:x.pas"},
        {"\\\\srv\\share", "\\\\srv\\share/x.pas", "\\\\srv\\share\\x.pas"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kPosixPaths.JoinAsTyped(c.typed, "x.pas"), c.posix) << c.typed;
        EXPECT_EQ(kWindowsPaths.JoinAsTyped(c.typed, "x.pas"), c.windows) << c.typed;
    }
}

TEST(PathRulesTest, NamesSplitAtEverySeparatorOfTheSystem) {
    EXPECT_EQ(kWindowsPaths.SplitNames("WORK\\src/deep\\\\x\\"),
              (Names{"WORK", "src", "deep", "x"}));
    EXPECT_EQ(kPosixPaths.SplitNames("home/ann\\x//src/"), (Names{"home", "ann\\x", "src"}));
    EXPECT_EQ(kPosixPaths.SplitNames(""), Names{});
}

TEST(PathRulesTest, BelowGivesThePartUnderARootOrMountPath) {
    const struct {
        const PathRules* rules;
        const char* path;
        const char* root;
        bool below;
        const char* rest;
    } cases[] = {
        {&kPosixPaths, "/home/ann", "/", true, "home/ann"},
        {&kPosixPaths, "/", "/", true, ""},
        {&kPosixPaths, "/media/usb/photos", "/media/usb", true, "photos"},
        {&kPosixPaths, "/media/usb", "/media/usb", true, ""},
        {&kPosixPaths, "/media/usbstick", "/media/usb", false, ""},
        {&kPosixPaths, "/Media/usb/x", "/media/usb", false, ""},
        {&kPosixPaths, "relative", "/", false, ""},
        {&kPosixPaths, "/x", "", false, ""},
        {&kWindowsPaths, "C:\\WORK\\SRC", "c:\\", true, "WORK\\SRC"},
        {&kWindowsPaths, "C:\\", "c:\\", true, ""},
        {&kWindowsPaths, "D:\\WORK", "c:\\", false, ""},
        {&kWindowsPaths, "C:", "c:\\", false, ""},
        {&kWindowsPaths, "\\\\srv\\share\\dir", "\\\\SRV\\share", true, "dir"},
    };
    for (const auto& c : cases) {
        std::string_view rest = "untouched";
        EXPECT_EQ(c.rules->Below(c.path, c.root, rest), c.below) << c.path << " under " << c.root;
        if (c.below) {
            EXPECT_EQ(rest, c.rest) << c.path << " under " << c.root;
        }
    }
}

TEST(PathRulesTest, ARootKeepsItsSeparatorAndAnyOtherPathLosesOne) {
    const struct {
        const PathRules* rules;
        const char* path;
        const char* trimmed;
    } cases[] = {
        {&kPosixPaths, "/", "/"},
        {&kPosixPaths, "/home/", "/home"},
        {&kPosixPaths, "/home", "/home"},
        {&kWindowsPaths, "C:\\", "C:\\"},
        {&kWindowsPaths, "C:\\WORK\\", "C:\\WORK"},
        {&kWindowsPaths, "C:\\WORK", "C:\\WORK"},
        {&kWindowsPaths, "\\\\srv\\share\\", "\\\\srv\\share\\"},
        {&kWindowsPaths, "\\\\srv\\share\\dir\\", "\\\\srv\\share\\dir"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rules->WithoutTrailingSeparator(c.path), c.trimmed);
    EXPECT_EQ(kWindowsPaths.RootOf("\\\\srv\\share\\dir"), "\\\\srv\\share\\");
    EXPECT_EQ(kWindowsPaths.RootOf("Z:\\tmp"), "Z:\\");
    EXPECT_EQ(kPosixPaths.RootOf("/tmp"), "/");
}

TEST(PathRulesTest, NamesLabelsAndVolumesTakeEachSystemsForm) {
    EXPECT_EQ(kWindowsPaths.MaxOpenName(), 259u);
    EXPECT_EQ(kPosixPaths.MaxOpenName(), std::string::npos);
    EXPECT_EQ(kWindowsPaths.LabelHeadLength("C:\\Projects\\r.txt"), 3u);
    EXPECT_EQ(kPosixPaths.LabelHeadLength("/home/r.txt"), 1u);
    EXPECT_EQ(kPosixPaths.LabelHeadLength("r.txt"), 0u);
    EXPECT_EQ(kWindowsPaths.VolumeName("c:\\"), "c:");
    EXPECT_EQ(kWindowsPaths.VolumeName("\\\\srv\\share\\"), "\\\\srv\\share\\");
    EXPECT_EQ(kPosixPaths.VolumeName("/media/usb"), "/media/usb");
    EXPECT_EQ(kWindowsPaths.Separator(), '\\');
    EXPECT_EQ(kPosixPaths.Separator(), '/');
}

TEST(PathRulesTest, TheSettingsLiveInTheUsersConfigurationDirectory) {
    using Environment = std::map<std::string, std::string>;
    const struct {
        const PathRules* rules;
        Environment environment;
        const char* base;  // the file lies below it, in the program's own directory
        const char* file;
    } cases[] = {
        {&kPosixPaths,
         {{"HOME", "/home/ann"}},
         "/home/ann/.config",
         "/home/ann/.config/sifter32/sifter32.conf"},
        {&kPosixPaths,
         {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/etc/ann"}},
         "/etc/ann",
         "/etc/ann/sifter32/sifter32.conf"},
        // Not an absolute path, or empty: passed over.
        {&kPosixPaths,
         {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "conf"}},
         "/home/ann/.config",
         "/home/ann/.config/sifter32/sifter32.conf"},
        {&kPosixPaths,
         {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", ""}},
         "/home/ann/.config",
         "/home/ann/.config/sifter32/sifter32.conf"},
        {&kPosixPaths, {{"APPDATA", "/x"}}, "", ""},
        {&kPosixPaths, {{"XDG_CONFIG_HOME", "/c/"}}, "/c/", "/c/sifter32/sifter32.conf"},
        {&kWindowsPaths,
         {{"APPDATA", "C:\\Users\\Ann\\AppData\\Roaming"}, {"HOME", "/h"}},
         "C:\\Users\\Ann\\AppData\\Roaming",
         "C:\\Users\\Ann\\AppData\\Roaming\\Sifter32\\sifter32.ini"},
        {&kWindowsPaths, {{"HOME", "/h"}, {"XDG_CONFIG_HOME", "/x"}}, "", ""},
    };
    for (const auto& c : cases) {
        const SettingsPlace place = SettingsPlaceIn(
            [&c](const char* name) {
                const auto found = c.environment.find(name);
                return found == c.environment.end() ? nullptr : found->second.c_str();
            },
            *c.rules);
        EXPECT_EQ(place.base, c.base) << c.file;
        EXPECT_EQ(place.file, c.file) << c.base;
        EXPECT_EQ(place.empty(), *c.file == '\0') << c.file;
        if (place.empty()) continue;
        EXPECT_EQ(c.rules->Join(place.directory, place.file.substr(place.directory.size() + 1)),
                  place.file);
    }
}

}  // namespace
}  // namespace sifter::platform
