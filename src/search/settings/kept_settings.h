#pragma once
// What the window program keeps between its runs, and the text of the settings file that holds
// it: one `key=value` a line. sifter32-cli reads none of it.
//
//   option.WholeWords1=1        a check item of the Options menu away from its default
//   masks.pascal=*.pas;*.pp     the mask list of each file type (masks.scripts too)
//   leaveout=backup;*.old       the directories a walk of subdirectories leaves out
//   editor=gvim +{line} {file}  the command that opens a file in the user's editor
//   text=TStringList            the texts searched, the latest first
//   directory=/usr/src/app      the directories searched in, the latest first
//
// A value is the bytes after the first '=' up to the line's end, blanks included; a backslash
// starts an escape (\\, \n, \r, \t, \xHH), so that no byte of a value can end its line.
// Lines that begin with '#' or ';' are comments; keys of a later version are passed over.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "search/run/search_request.h"

namespace sifter {

struct KeptSettings {
    static constexpr std::size_t kTexts = 20;
    static constexpr std::size_t kDirectories = 8;

    // By the item's object name: only those whose check mark differs from its default.
    std::map<std::string, bool> switches;
    // By FileType.
    std::array<std::string, 2> masks = SearchOptions().masks;
    std::string leaveOut;
    // Empty: the desktop's default application.
    std::string editor;
    std::vector<std::string> texts;
    std::vector<std::string> directories;

    // Puts a text searched first, once, and lets the oldest go beyond kTexts. An empty text is
    // not kept.
    void RememberText(std::string text);
    // The same for a directory searched in; two spellings of one directory count as one where
    // the system ignores letter case.
    void RememberDirectory(std::string directory);

    friend bool operator==(const KeptSettings&, const KeptSettings&) = default;
};

// The file's bytes for `settings`, a comment at the top.
std::string SettingsText(const KeptSettings& settings);

struct SettingsReading {
    KeptSettings settings;  // the defaults unless the text was taken
    // Why the text was not taken, naming its line ("line 3: no '='"); empty when it was.
    std::string problem;
    bool ok() const { return problem.empty(); }
};
// Takes the text of a settings file: a line that is no `key=value`, a bad escape, a check mark
// other than 0 or 1 and a mask list CheckMaskList refuses each make the whole text damaged.
// Lines may end in LF or CR LF.
SettingsReading ReadSettingsText(std::string_view text);

}  // namespace sifter
