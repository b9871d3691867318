// sifter32: the window program.

#include <QApplication>
#include <string>
#include <vector>

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
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    sifter::ui::PrepareApplication();

    sifter::ui::Program program(parameters);
    program.RunAutoSearch();
    return QApplication::exec();
}
