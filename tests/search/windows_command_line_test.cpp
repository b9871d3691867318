// The command line a started program gets on Windows: its C runtime must split it back into
// exactly the words it was given.

#include <gtest/gtest.h>

#include "platform/desktop.h"

namespace sifter::platform {
namespace {

TEST(WindowsCommandLineTest, QuotesOnlyWhatTheRuntimeWouldSplitAndEscapesOnlyBeforeQuotes) {
    const struct {
        std::vector<std::string> words;
        const char* line;
    } cases[] = {
        {{"editor.exe", "C:\\WORK\\a.pas"}, "editor.exe C:\\WORK\\a.pas"},
        {{"e", "C:\\my dir\\a b.pas"}, "e \"C:\\my dir\\a b.pas\""},
        {{"e", ""}, "e \"\""},
        {{"e", "say \"hi\""}, "e \"say \\\"hi\\\"\""},
        {{"e", "C:\\dir\\"}, "e C:\\dir\\"},
        {{"e", "C:\\my dir\\"}, "e \"C:\\my dir\\\\\""},
        {{"e", "a\\\\\"b"}, "e \"a\\\\\\\\\\\"b\""},
        {{"e", "tab\there"}, "e \"tab\there\""},
    };
    for (const auto& c : cases) EXPECT_EQ(WindowsCommandLine(c.words), c.line) << c.line;
}

}  // namespace
}  // namespace sifter::platform
