#pragma once
// The desktop's editor, never started: the files it was asked to open, the words of the
// editors it was asked to start, and the answer it gives (0, or the code of a failed start, as
// when no opener or editor is installed).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace sifter::test {

class FakeDesktop final : public platform::Desktop {
public:
    platform::LaunchResult OpenWithDefaultApplication(const std::string& path) override {
        opened.push_back(path);
        const std::int32_t code = answer ? answer() : error;
        if (code != 0) ++refusals;
        return {code, "xdg-open"};
    }

    platform::LaunchResult Start(const std::vector<std::string>& words) override {
        started.push_back(words);
        const std::int32_t code = answer ? answer() : error;
        if (code != 0) ++refusals;
        return {code, words.empty() ? std::string() : words.front()};
    }

    std::vector<std::string> opened;
    std::vector<std::vector<std::string>> started;  // the words of each editor started
    std::int32_t error = 0;                         // the answer, unless `answer` gives one
    std::function<std::int32_t()> answer;           // asked anew for every file
    int refusals = 0;                               // answers that were not 0
};

}  // namespace sifter::test
