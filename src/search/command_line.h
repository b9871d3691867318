#pragma once
// The start-up command line: '[directory] [search words ...] [/A | -A]'.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sifter {

// A parameter holds at most this many bytes; the next byte starts the next parameter.
inline constexpr std::size_t kMaxParameterBytes = 4096;

// Splits a raw command line (a Windows entry gets one string) into its parameters, the program
// itself first: runs of bytes 1 to 32 separate them, double quotes group blanks into a
// parameter and are removed, a pair of quotes where a parameter would start is skipped, and a
// NUL byte ends the line. The list ends at the first empty parameter.
std::vector<std::string> SplitCommandLine(std::string_view line);

// Parameters 1 to N as the system hands them over: its raw command line split as above where
// it gives one (Windows), otherwise `argv` after the program's own name.
std::vector<std::string> ProgramParameters(int argc, char** argv);

// What the parameters ask of the start: every field is empty when it asks nothing of it.
struct StartupRequest {
    std::optional<std::string> directory;   // becomes the file set's directory
    std::optional<std::string> searchText;  // becomes the search box's text
    bool autoSearch = false;                // one search before the user can act
};

// Parameters 1 to N (not the program's own name); empty ones are left out. `isDirectory` tells
// whether a parameter names an existing directory.
StartupRequest ParseParams(const std::vector<std::string>& parameters,
                           const std::function<bool(const std::string&)>& isDirectory);

}  // namespace sifter
