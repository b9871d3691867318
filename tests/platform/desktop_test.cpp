// Starting another program hands it every argument byte for byte and does not wait for it.

#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "test_support.h"

namespace sifter {
namespace {

// Waits for a file that a started program writes (the program runs on its own); gives up
// after a long while so that a broken start fails the test instead of hanging it.
std::string AwaitFile(const std::string& path) {
    for (int i = 0; i < 2000 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return std::filesystem::exists(path) ? test::ReadBytes(path) : "(never written)";
}

TEST(StartProgram, HandsEachArgumentOverExactly) {
    test::TempDir dir;
    const std::string awkward[] = {
        "/home/a b/my file.sc",
        "it's \"quoted\" $HOME `x` ;|&",
        "caf\xE9 \xFF\xFE.pas",
        "-not-an-option",
        "",
    };
    int n = 0;
    for (const std::string& argument : awkward) {
        const std::string out = dir / ("out" + std::to_string(n++));
        // Written whole under another name first, so that it is never seen half written.
        const std::int32_t error = platform::StartProgram(
            "sh", {"-c", "printf '%s' \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\"", "sh",
                   argument, out});
        ASSERT_EQ(error, 0);
        EXPECT_EQ(AwaitFile(out), argument);
    }
}

TEST(StartProgram, SaysWhyAProgramCannotBeStarted) {
    EXPECT_EQ(platform::StartProgram("sifter32-test-no-such-program", {"x"}), 2);
    EXPECT_EQ(platform::StartProgram("sh", {std::string("a\0b", 3)}), 3);
    test::TempDir dir;
    test::WriteBytes(dir / "not-executable", "#!/bin/sh\n");
    EXPECT_EQ(platform::StartProgram(dir / "not-executable", {}), 5);
}

TEST(StartProgram, DoesNotWaitForTheProgram) {
    test::TempDir dir;
    // The program waits until the test lets it end; a start that waited would never return.
    const std::string gate = dir / "gate";
    const std::string done = dir / "done";
    ASSERT_EQ(platform::StartProgram("sh", {"-c",
                                            "while [ ! -e \"$1\" ]; do sleep 0.01; done; echo ok > "
                                            "\"$2.part\" && mv \"$2.part\" \"$2\"",
                                            "sh", gate, done}),
              0);
    EXPECT_FALSE(std::filesystem::exists(done));
    test::WriteBytes(gate, "");
    EXPECT_EQ(AwaitFile(done), "ok\n");
}

// The search path for programs, changed for as long as the object lives.
class ScopedPath final {
public:
    explicit ScopedPath(const std::string& path) : m_saved(std::getenv("PATH")) {
        setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", m_saved.c_str(), 1); }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::string m_saved;
};

TEST(SystemDesktop, HandsThePathToTheDesktopsOpenerAsOneArgument) {
    test::TempDir dir;
    const std::string record = dir / "record";
    // An opener of our own in the search path records what it was given.
    test::WriteBytes(dir / "xdg-open", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"" + record +
                                           ".part\" && mv \"" + record + ".part\" \"" + record +
                                           "\"\n");
    std::filesystem::permissions(dir / "xdg-open", std::filesystem::perms::owner_all);
    const struct {
        std::string path;
        std::string received;
    } cases[] = {
        {"/home/a b/it's \"x\".sc", "1|/home/a b/it's \"x\".sc|"},
        {"/tmp/caf\xE9.pas", "1|/tmp/caf\xE9.pas|"},
        {"-rf.sc", "1|./-rf.sc|"},
    };
    const ScopedPath path(dir.path() + ":/usr/bin:/bin");
    for (const auto& c : cases) {
        std::filesystem::remove(record);
        const platform::LaunchResult result =
            platform::SystemDesktop().OpenWithDefaultApplication(c.path);
        EXPECT_EQ(result.error, 0);
        EXPECT_EQ(AwaitFile(record), c.received);
    }
}

TEST(SystemDesktop, StartsAProgramWithItsWordsAsTheyAreAndNamesOneThatIsMissing) {
    test::TempDir dir;
    const std::string out = dir / "out";
    const std::vector<std::string> words = {
        "sh",
        "-c",
        "printf '%s|' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0\"",
        out,
        "/home/a b/x;rm -rf y.pas",
        "$(touch " + dir / "z" + ")",
        "'"};
    const platform::LaunchResult started = platform::SystemDesktop().Start(words);
    EXPECT_EQ(started.error, 0);
    EXPECT_EQ(started.program, "sh");
    EXPECT_EQ(AwaitFile(out), "/home/a b/x;rm -rf y.pas|" + words[5] + "|'|");
    EXPECT_FALSE(std::filesystem::exists(dir / "z"));
    const platform::LaunchResult missing =
        platform::SystemDesktop().Start({"sifter32-test-no-such-editor", "+1", "/a.pas"});
    EXPECT_EQ(missing.error, 2);
    EXPECT_EQ(missing.program, "sifter32-test-no-such-editor");
}

TEST(SystemDesktop, NamesTheOpenerThatIsMissing) {
    test::TempDir empty;
    const ScopedPath path(empty.path());
    const platform::LaunchResult result =
        platform::SystemDesktop().OpenWithDefaultApplication("/a.sc");
    EXPECT_EQ(result.error, 2);
    EXPECT_EQ(result.program, "xdg-open");
}

}  // namespace
}  // namespace sifter
