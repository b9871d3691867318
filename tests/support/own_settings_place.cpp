// Linked into every window test and the soak: the process keeps the window program's settings
// in a directory of its own, made fresh and removed at its end, never in the user's. A test
// that needs another place sets it in its own main, which runs after this.

#include <QByteArray>
#include <QtGlobal>

#include "test_support.h"

namespace {

struct OwnSettingsPlace final {
    OwnSettingsPlace() {
        const QByteArray path = QByteArray::fromStdString(directory.path());
        qputenv("XDG_CONFIG_HOME", path);
        qputenv("APPDATA", path);
    }
    sifter::test::TempDir directory;
};

const OwnSettingsPlace g_place;

}  // namespace
