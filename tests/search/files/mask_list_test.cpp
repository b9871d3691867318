// The mask lists a walk reads a tree with, the files' and the directories' left out: what is
// taken as typed, what is refused and why (the words a person reads, to fix what was typed),
// and which names a list matches, letter case ignored.

#include "search/files/mask_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sifter {
namespace {

struct MaskListCase {
    std::string typed;
    std::string list;          // what is taken; empty when the list is refused
    std::string errorPart;     // what the refusal says
    bool directories = false;  // a list of directories to leave out
};

class MaskListTest : public testing::TestWithParam<MaskListCase> {};

TEST_P(MaskListTest, TakesAListOrSaysWhatIsWrong) {
    const MaskListCase& c = GetParam();
    const MaskListCheck check = c.directories ? CheckLeaveOutList(c.typed) : CheckMaskList(c.typed);
    EXPECT_EQ(check.list, c.list) << c.typed;
    EXPECT_EQ(check.ok(), c.errorPart.empty()) << c.typed;
    EXPECT_NE(check.error.find(c.errorPart), std::string::npos) << check.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskListTest,
    testing::Values(
        MaskListCase{"*.pas", "*.pas", ""},
        MaskListCase{"*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk", "*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk",
                     ""},
        MaskListCase{" *.pas ;\t*.pp ", "*.pas;*.pp", ""},
        MaskListCase{"unit?.PAS;*", "unit?.PAS;*", ""}, MaskListCase{"", "", "is empty"},
        MaskListCase{" \t ", "", "is empty"}, MaskListCase{"*.pas;;*.pp", "", "empty mask"},
        MaskListCase{"*.pas;", "", "empty mask"}, MaskListCase{";*.pas", "", "empty mask"},
        MaskListCase{"*.pas;src/*.pp", "", "\"src/*.pp\" holds a path separator"},
        MaskListCase{"rtl\\*.pp", "", "\"rtl\\*.pp\" holds a path separator"},
        MaskListCase{"*.pas;a\tb", "", "control character"},
        MaskListCase{std::string("*.p\0s", 5), "", "control character"},
        // Directories to leave out: none is a list too, and the words say so.
        MaskListCase{"", "", "", true}, MaskListCase{" \t ", "", "", true},
        MaskListCase{" backup ; *.old", "backup;*.old", "", true},
        MaskListCase{"backup;;lib", "", "directories to leave out holds an empty", true},
        MaskListCase{"src/lib", "", "\"src/lib\" holds a path separator: a directory", true},
        MaskListCase{"a\x7f", "", "control character", true}));

TEST(MaskListTest, AnyPatternMatchesWithLetterCaseIgnored) {
    const MaskList masks("*.pas;;UNIT?.pp");
    EXPECT_EQ(masks.patterns(), (std::vector<std::string>{"*.pas", "", "UNIT?.pp"}));
    const struct {
        const char* name;
        bool matches;
    } cases[] = {{"a.PAS", true},
                 {"unit1.PP", true},
                 {"unit12.pp", false},
                 {"", false},
                 {"a.pas.bak", false}};
    for (const auto& c : cases) EXPECT_EQ(masks.Matches(c.name), c.matches) << c.name;
}

}  // namespace
}  // namespace sifter
