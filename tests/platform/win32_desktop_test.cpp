// Starting programs on Windows: the system's own splitting gives back every word, and a
// program that is not there is reported, not waited for.

#include <gtest/gtest.h>

#include "platform/desktop.h"
#include "platform/win32_headers.h"

#include <shellapi.h>

namespace sifter::platform {
namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(n));
    return wide;
}

TEST(Win32StartProgramTest, TheSystemsSplittingGivesBackEveryWord) {
    const std::vector<std::string> words = {
        "prog.exe",  "C:\\my dir\\a b.pas", "",           "say \"hi\"",
        "C:\\dir\\", "C:\\my dir\\",        "a\\\\\"b\\", "-x"};
    int count = 0;
    LPWSTR* split = ::CommandLineToArgvW(Wide(WindowsCommandLine(words)).c_str(), &count);
    ASSERT_NE(split, nullptr);
    std::vector<std::wstring> back(split, split + count);
    ::LocalFree(split);
    ASSERT_EQ(back.size(), words.size());
    for (std::size_t i = 0; i < words.size(); ++i) EXPECT_EQ(back[i], Wide(words[i])) << words[i];
}

TEST(Win32StartProgramTest, AMissingProgramIsReportedAndAPresentOneStarted) {
    EXPECT_EQ(StartProgram("no-such-program-sifter32.exe", {"x"}), 2);
    EXPECT_EQ(StartProgram("cmd.exe", {"/c", "exit"}), 0);
    EXPECT_EQ(StartProgram("cmd.exe", {std::string("a\0b", 3)}), 3);
}

}  // namespace
}  // namespace sifter::platform
