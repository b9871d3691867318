// sifter32: the window program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/display_check.h"
#include "platform/platform.h"
#include "search/command_line.h"
#include "ui/application_setup.h"
#include "ui/program.h"

int main(int argc, char** argv) {
    // Saving to a pipe whose reader is gone must fail as a write, not end the program.
    sifter::platform::PrepareProcess();
    // The parameters exactly as the system hands them, never joined and split again. Qt sees
    // none of them: it would take words such as "-style" or "-reverse" out of a search text.
    const std::vector<std::string> parameters = sifter::ProgramParameters(argc, argv);
    const auto environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    };
    if (const std::optional<std::string> missing = sifter::MissingDisplay(environment)) {
        std::fputs(sifter::NoWindowLine(*missing).c_str(), stderr);
        return 1;
    }
    int qtArgc = 1;
    std::optional<QApplication> application;
    {
        const sifter::PlatformStartGuard guard;
        application.emplace(qtArgc, argv);
    }
    sifter::ui::PrepareApplication();

    sifter::ui::Program program(parameters);
    program.RunAutoSearch();
    return QApplication::exec();
}
