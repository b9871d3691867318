// sifter32: the window program.

#include <QApplication>
#include <QStyleFactory>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/command_line.h"
#include "ui/entry_pictures.h"
#include "ui/conventions.h"
#include "ui/messages.h"
#include "ui/program.h"

int main(int argc, char** argv) {
    // Saving to a pipe whose reader is gone must fail as a write, not end the program.
    sifter::platform::PrepareProcess();
    // The parameters exactly as the system hands them, never joined and split again. Qt sees
    // none of them: it would take words such as "-style" or "-reverse" out of a search text.
    const std::vector<std::string> parameters = sifter::ProgramParameters(argc, argv);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setApplicationName(QString::fromLatin1(sifter::ui::kApplicationTitle));
    QApplication::setWindowIcon(sifter::ui::ProgramIcon());
    // The layouts were made for the classic look; a style chosen in the environment wins.
    if (std::getenv("QT_STYLE_OVERRIDE") == nullptr) QApplication::setStyle(QStringLiteral("Windows"));
    // Menus, context menus and message boxes take the same font as the windows.
    QApplication::setFont(sifter::ui::DialogFont());

    sifter::ui::Program program(parameters);
    program.RunAutoSearch();
    return QApplication::exec();
}
