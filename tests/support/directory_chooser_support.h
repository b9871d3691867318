#pragma once
// Helpers for the directory chooser's tests: a scratch volume with a known tree, the dialog
// driven without blocking, and the rows as a person reads them.

#include <QStringList>
#include <Qt>
#include <functional>
#include <memory>
#include <string>

#include "test_support.h"

class QWidget;

namespace sifter::ui {
class TForm3;
}

namespace sifter::test {

// A scratch directory holding work/{B,C,a,src/deep}, work/.hidden, work/file.txt, a link
// work/link and other/, with the process in work/src. The system in place lists four volumes:
//   0  "/"                 fixed, label "System"
//   1  <top>               fixed, label "Data Disk" (the volume the process starts on)
//   2  <top>/other         removable
//   3  <top>/net           network, whose mount path answers every change of directory with
//                          error 21 (not ready)
class ChooserWorld final {
public:
    ChooserWorld();
    ~ChooserWorld();
    ChooserWorld(const ChooserWorld&) = delete;
    ChooserWorld& operator=(const ChooserWorld&) = delete;

    const std::string& Top() const { return m_dir.path(); }
    std::string operator/(std::string_view name) const { return m_dir / name; }
    FakeSystem& System() { return m_system; }

    // "<top>" in an expected row stands for the scratch directory's path.
    QStringList Expected(QStringList rows) const;

private:
    TempDir m_dir;
    CurrentDirectoryGuard m_cwd;
    FakeSystem m_system;
    std::unique_ptr<platform::ScopedSystem> m_scoped;
};

// The rows of DirectoryListbox1: one blank per level, then the name.
QStringList Rows(const ui::TForm3& dialog);
// The name on the selected row.
QString SelectedName(const ui::TForm3& dialog);
// Selects the row that reads `row` (indent included), as a click on it does.
void SelectRowReading(ui::TForm3& dialog, const QString& row);

// A key and its modifiers as one number, for test data; sent to DirectoryListbox1.
int Combined(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Press(ui::TForm3& dialog, int combined);
void Press(QWidget* target, int combined);

// An answer no button of the dialog gives: what exec() returns when the test, not the user,
// ended the dialog.
inline constexpr int kEndedByTheTest = 7;

// Runs exec() with `user` acting in place of a person; when `user` leaves the dialog open, it
// ends with `answer`. Returns what exec() returns.
int Run(ui::TForm3& dialog, const std::function<void(ui::TForm3&)>& user, int answer = 0);

// Makes `path` a directory; fails the test when it cannot.
void MakeDirectory(const std::string& path);

}  // namespace sifter::test
