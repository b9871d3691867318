#pragma once
// The soak's choice of what a person does next: a key or a word into the window that has the
// keyboard, a click somewhere in a shown window or an open menu, or a change of the files
// under the program's feet.

#include <QKeySequence>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "soak_log.h"

class QWidget;
class QWindow;

namespace sifter::soak {

class Session;
class SoakWorld;

// Keys and clicks as a person gives them (soak_input.cpp): through the window system's queue
// into a window, so that Qt routes them as it routes real ones (to the focus widget, an open
// menu, a shortcut, the modal dialog that blocks the window behind it).
struct Key {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;  // what the key types, for keys beyond ASCII
    bool Is(Qt::Key other, Qt::KeyboardModifiers with = Qt::NoModifier) const {
        return key == other && modifiers == with;
    }
};

std::string Describe(const Key& key);
void Press(QWindow* window, const Key& key);

enum class Clicks { Single, Double };
std::string Describe(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, Clicks clicks,
                     QPoint at);
void Click(QWindow* window, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
           Clicks clicks);

// A place in `window`: anywhere in it, or, as often, inside one of its shown child widgets, so
// that small controls are hit as often as large ones.
QPoint SomePlace(Random& random, QWidget* window);

// Whether a button in `window` shows the pressed look of an animated click (a mnemonic's,
// which fires 100 ms later). Tool buttons do not count: the save dialog keeps one of its view
// buttons pressed for as long as that view is chosen.
bool ClickUnderway(const QWidget& window);

// The window that takes the keys now: the open menu's, the modal dialog's, or the active one.
QWindow* KeyboardWindow();

struct Action {
    enum class Kind { Key, Click, Change };
    Kind kind = Kind::Key;
    std::vector<Key> keys;  // one key, or the keys of a word
    // Where the keys went or the click was aimed: the menu that was open, or a window.
    QPointer<QWidget> target;
    bool intoMenu = false;  // an open menu took it
    QPoint at;
    Qt::MouseButton button = Qt::LeftButton;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    Clicks clicks = Clicks::Single;
    std::string description;

    // The one key of a key action that is `key` with exactly `modifiers`.
    bool IsKey(Qt::Key key, Qt::KeyboardModifiers with = Qt::NoModifier) const {
        return kind == Kind::Key && keys.size() == 1 && keys.front().Is(key, with);
    }
};

class Driver final {
public:
    Driver(Random& random, SoakWorld& world) : m_random(random), m_world(world) {}

    // Chooses the next action for the program as it stands; nothing is done yet.
    Action Choose(Session& session);
    // Does it; for a change of the files, returns what changed.
    std::string Perform(const Action& action);

    // A command line to start the program with, and the directory it starts in; the process's
    // current directory is moved to an existing directory of the world first.
    std::vector<std::string> ChooseCommandLine();

private:
    Action ChooseKey(Session& session, QWidget* keyboard);
    Action ChooseClick(Session& session);

    Random& m_random;
    SoakWorld& m_world;
};

}  // namespace sifter::soak
