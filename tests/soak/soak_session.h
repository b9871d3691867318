#pragma once
// One run of the window program, its windows made as the program makes them, and what the
// soak sees of it: the signals and events that tell which of its routines ran during an action.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "ui/program.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace sifter::ui {
class LineViewer;
class ResultList;
class TForm1;
}  // namespace sifter::ui

namespace sifter::soak {

// What happened during one action, as far as signals and events show it.
struct Seen {
    int textChanges = 0;  // Edit1
    int typeClicks = 0;   // the file type's buttons
    // Form2 closed after a search, and after a save (told apart by its label).
    int searches = 0;
    int saves = 0;
    int sifterClicks = 0;    // pbSifter
    int searchRequests = 0;  // Enter in ListBox1
    bool chooserAccepted = false;
    bool closed = false;    // Form1 accepted a close
    QStringList triggered;  // object names of the menu items run
    std::vector<int> viewRequests;
    std::vector<int> editRequests;
};

class Session final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Session)

public:
    // Starts the program with `parameters` as its command line, and the search /A asks for.
    explicit Session(std::vector<std::string> parameters);
    ~Session() override;

    ui::Program& Program() const { return *m_program; }
    ui::TForm1& Form1() const;
    QLineEdit* Edit1() const { return m_edit; }
    QCheckBox* DoProcs() const { return m_doProcs; }
    QCheckBox* CaseSensitive() const { return m_caseSensitive; }
    QRadioButton* Scripts() const { return m_scripts; }
    QPushButton* Sifter() const { return m_sifter; }
    ui::ResultList* ListBox1() const;
    ui::LineViewer* Viewer() const;
    QMenu* EditMenu() const { return m_editMenu; }
    // A menu item of the main window or of the list's context menu, by its object name.
    QAction* Item(const char* name) const;
    // Every window of the program that is shown.
    std::vector<QWidget*> ShownWindows() const;

    Seen& seen() { return m_seen; }
    void Forget() { m_seen = Seen(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<ui::Program> m_program;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_doProcs = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QRadioButton* m_scripts = nullptr;
    QPushButton* m_sifter = nullptr;
    QMenu* m_editMenu = nullptr;
    QList<QAction*> m_items;
    Seen m_seen;
};

}  // namespace sifter::soak
