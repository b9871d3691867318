// The manual page of sifter32-cli against the table the program reads its options by: an
// option added to one and not to the other fails here.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/cli_option_table.h"

namespace sifter::cli {
namespace {

using Spellings = std::set<std::string>;

// The options each tagged paragraph of the page's OPTIONS section names in its tag line
// (".BR \-l \", \" \-\-files\-with\-matches"), with roff's escaped hyphens as typed.
Spellings PageOptions(std::istream& page) {
    Spellings spellings;
    std::string line;
    bool inOptions = false, tag = false;
    while (std::getline(page, line)) {
        if (line.starts_with(".SH ")) inOptions = line == ".SH OPTIONS";
        if (!inOptions) continue;
        if (tag) {
            std::string plain;
            for (std::size_t i = 0; i < line.size(); ++i)
                if (!(line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '-'))
                    plain += line[i];
            std::istringstream words(plain);
            std::string word;
            words >> word;  // the macro
            while (words >> word) {
                if (!word.starts_with('-')) continue;
                while (word.ends_with(',') || word.ends_with('"')) word.pop_back();
                spellings.insert(word);
            }
        }
        tag = line == ".TP";
    }
    return spellings;
}

Spellings TableOptions() {
    Spellings spellings;
    for (const CliOption& option : OptionTable()) {
        if (!option.name.empty()) spellings.emplace(option.name);
        if (option.letter != '\0') spellings.insert(std::string{'-', option.letter});
    }
    return spellings;
}

TEST(CliManualTest, ListsTheOptionsOfTheTable) {
    std::ifstream page(SIFTER32_CLI_MANUAL);
    ASSERT_TRUE(page) << "cannot read " << SIFTER32_CLI_MANUAL;
    EXPECT_EQ(PageOptions(page), TableOptions());
}

}  // namespace
}  // namespace sifter::cli
