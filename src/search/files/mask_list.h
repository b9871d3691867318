#pragma once
// A file type's list of masks as the user gives it: patterns separated by ';', each matched as
// a file set's mask is ('*' any run of characters, '?' any one, letter case ignored).

#include <string>
#include <string_view>
#include <vector>

namespace sifter {

struct MaskListCheck {
    std::string list;   // the patterns without the blanks around them, joined by ';'
    std::string error;  // why the list was refused; empty when it was taken
    bool ok() const { return error.empty(); }
};

// Takes a typed list: blanks around each pattern are dropped. Refused: a list without a
// pattern, an empty pattern between two semicolons, and a pattern that holds a path separator
// or a control character (a mask names files of one directory).
MaskListCheck CheckMaskList(std::string_view typed);
// The same for a list of the directories a walk leaves out, matched against a directory's own
// name: empty is no directory, and the words speak of directories.
MaskListCheck CheckLeaveOutList(std::string_view typed);

// A list split into its patterns once, for every name a read meets. Empty patterns are kept, as
// a file set takes its mask, and match nothing.
class MaskList final {
public:
    explicit MaskList(std::string_view list);

    // In the list's order.
    const std::vector<std::string>& patterns() const { return m_patterns; }
    // Whether any pattern matches `name`.
    bool Matches(std::string_view name) const;

private:
    std::vector<std::string> m_patterns;
};

}  // namespace sifter
