#pragma once
// The rules every action must leave intact, checked against what the program showed before the
// action and what the soak expects of it: the control states, the title, the file set, the
// rows and the status bar, the messages, the clipboard, saved files, the viewer and the editor.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "soak_driver.h"
#include "soak_world.h"

class QWidget;

namespace sifter::soak {

class DialogAnswers;
class Session;

// The program as an action found it.
struct Before {
    Before() = default;
    ~Before();
    Before(const Before&) = delete;
    Before& operator=(const Before&) = delete;

    QString text;
    bool scripts = false;
    MatchRules rules;  // the check box's and the Options menu's check marks
    bool includeProcs = false;
    bool sifterEnabled = false;
    bool saveEnabled = false;
    std::vector<std::string> rows;
    std::vector<int> selected;
    std::vector<std::string> names;               // of FList
    std::vector<UnreadableDirectory> unreadable;  // of FList
    std::string directory;                        // of FList
    SearchOptions options;  // the Options menu's subdirectories, masks and matched files only
    // The current directory, held open so that a search's files can be read where the search
    // read them even when it has been removed since; and as the search's path row shows it.
    int currentFd = -1;
    std::string shownDirectory;
    QString status;
    QString clipboard;
    QPointer<QWidget> focus;  // the main window's focus widget, which takes the keys it gets
    bool menuOpen = false;
    bool mainActive = false;
    std::size_t editorOpens = 0;
    std::size_t editorStarts = 0;
    int editorRefusals = 0;
    std::string editorCommand;
};

void TakeBefore(Session& session, const FakeDesktop& desktop, Before& before);

// A deletion that Ctrl+Z in the list may undo: the rows as they were and those it removed.
struct Deletion {
    std::vector<std::string> rows;
    std::vector<int> selected;
    std::uint64_t id = 0;  // the list's state once it was made; 0 stands for no deletion
};

// A list as a search or a chosen directory left it, with the deletions made on it since.
struct ListState {
    std::vector<std::string> rows;
    std::vector<Deletion> deletions;  // last one last
    std::uint64_t savedId = 0;        // the state the last save (or the search) left
    QString status;
    SearchRequest search;  // the search that made the rows, which the editor's column follows
    std::uint64_t Id() const { return deletions.empty() ? 0 : deletions.back().id; }
    // Rows deleted since the search or the last save, and not put back.
    bool Trimmed() const { return Id() != savedId; }
};

// What the soak keeps over the actions of one run of the program.
struct Model {
    std::int64_t rows = 0;  // added by the last search, less those deleted and not put back
    std::vector<Deletion> deletions;  // since the last search or chosen directory, last one last
    std::uint64_t savedId = 0;        // as ListState's
    std::uint64_t lastId = 0;         // each deletion gets an id of its own
    // The list the last search or chosen directory replaced, which Ctrl+Z brings back.
    std::optional<ListState> earlier;
    SearchRequest search;  // as ListState's
    bool Trimmed() const { return (deletions.empty() ? 0 : deletions.back().id) != savedId; }
    std::size_t rowsAtUpdateStat = 0;
    // The "&Edit" menu's state: UpdateStat sets it last, after re-reading the file set, so a
    // directory that cannot be read leaves it as it was.
    bool editMenu = false;
    std::string directory;  // the file set's
    std::string notReady;   // a volume that no directory below can be entered
};

struct Facts {
    const Action* action = nullptr;  // none for the start of the program
    bool autoSearch = false;         // the start's command line asked for a search
};

// What is wrong after the action; empty when every rule holds. Updates `model`. When the main
// window closed, only the rules of closing are checked.
QStringList Check(const Facts& facts, const Before& before, Session& session, Model& model,
                  const DialogAnswers& answers, const FakeDesktop& desktop);

// The rules of Check beyond the rows and the message boxes, one group per function
// (soak_checks_states.cpp), over one action's context.
struct Context {
    const Facts& facts;
    const Before& before;
    Session& session;
    Model& model;
    const DialogAnswers& answers;
    const FakeDesktop& desktop;
    std::vector<std::string> rows;  // after the action
    bool searchRan = false;
    bool chooserTookDirectory = false;
    bool updateStatRan = false;
    QStringList problems;

    void Expect(bool holds, const QString& rule) {
        if (!holds) problems.append(rule);
    }
    // A key of the action that went to the main window with its menus closed.
    bool KeyOnMain(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
};

// The rules of closing: the question before a trimmed list goes, and what closed. True when
// the main window closed; nothing else is then checked.
bool CheckClosing(Context& context, bool closes);
void CheckControlStates(Context& context);
void CheckTitleAndFileSet(Context& context);
void CheckClipboard(Context& context);
void CheckSaves(Context& context);
void CheckViewerAndEditor(Context& context);
void CheckNothingLeftOver(Context& context);

QString Quoted(const std::string& bytes);
bool AnErrorBoxWasShown(const DialogAnswers& answers);

}  // namespace sifter::soak
