#include "ui/application_setup.h"

#include <QApplication>
#include <QSettings>
#include <cstdlib>

#include "ui/conventions.h"
#include "ui/messages.h"
#include "ui/pictures.h"

namespace sifter::ui {

namespace {

// Under a device file: no directory and no file can ever be made there, whoever runs the
// program.
const char* const kNoSettingsPath = "/dev/null/sifter32";

}  // namespace

void PrepareApplication() {
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setWindowIcon(ProgramIcon());
    // The layouts were made for the classic Windows look, which Qt draws anywhere; on Windows
    // the system's own look (Qt's "windowsvista" style, its default there) draws the same
    // controls in the same places. A style chosen in the environment wins.
#ifndef _WIN32
    if (std::getenv("QT_STYLE_OVERRIDE") == nullptr)
        QApplication::setStyle(QStringLiteral("Windows"));
#endif
    // Menus, context menus and message boxes take the same font as the windows.
    QApplication::setFont(DialogFont());
    // Qt's file dialog keeps its history and last folder in the user's QtProject.conf, writes
    // it when it closes and reads it when it opens. The program keeps nothing between runs and
    // writes no file but the one the user saves, so those settings go where nothing is ever
    // read or written. (On Unix both formats are the same INI files.)
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QString::fromLatin1(kNoSettingsPath));
}

}  // namespace sifter::ui
