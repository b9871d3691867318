#include "soak_driver.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <filesystem>

#include "soak_session.h"
#include "soak_world.h"
#include "test_support.h"
#include "ui/main/main_window.h"
#include "ui/viewer/line_viewer.h"

namespace sifter::soak {
namespace {

struct Weighted {
    int weight;
    QKeyCombination key;
};

// The main window's keys: editing, the list's keys, moving and selecting, every mnemonic and
// menu shortcut, and the keys that close it.
const std::vector<Weighted> kMainKeys = {{6, Qt::Key_Backspace},
                                         {3, Qt::Key_Return},
                                         {1, Qt::Key_Enter},
                                         {2, Qt::Key_F2},
                                         {1, Qt::Key_F3},
                                         {3, Qt::Key_F4},
                                         {4, Qt::Key_Delete},
                                         {4, Qt::Key_Tab},
                                         {2, Qt::SHIFT | Qt::Key_Backtab},
                                         {4, Qt::Key_Up},
                                         {4, Qt::Key_Down},
                                         {2, Qt::Key_Left},
                                         {2, Qt::Key_Right},
                                         {2, Qt::Key_Home},
                                         {2, Qt::Key_End},
                                         {1, Qt::Key_PageUp},
                                         {1, Qt::Key_PageDown},
                                         {3, Qt::SHIFT | Qt::Key_Up},
                                         {3, Qt::SHIFT | Qt::Key_Down},
                                         {1, Qt::SHIFT | Qt::Key_Home},
                                         {1, Qt::SHIFT | Qt::Key_End},
                                         {1, Qt::SHIFT | Qt::Key_PageDown},
                                         {1, Qt::CTRL | Qt::Key_A},
                                         {3, Qt::CTRL | Qt::Key_C},
                                         {1, Qt::CTRL | Qt::Key_E},
                                         {3, Qt::CTRL | Qt::Key_Z},
                                         {1, Qt::CTRL | Qt::Key_V},
                                         {1, Qt::Key_Escape},
                                         {3, Qt::Key_Space},
                                         {2, Qt::ALT | Qt::Key_D},
                                         {4, Qt::ALT | Qt::Key_V},
                                         {1, Qt::ALT | Qt::Key_T},
                                         {1, Qt::ALT | Qt::Key_F4},
                                         {2, Qt::ALT | Qt::Key_F},
                                         {2, Qt::ALT | Qt::Key_E},
                                         {1, Qt::ALT | Qt::Key_H},
                                         {2, Qt::ALT | Qt::Key_P},
                                         {2, Qt::ALT | Qt::Key_C},
                                         {2, Qt::ALT | Qt::Key_S},
                                         {2, Qt::ALT | Qt::Key_A},
                                         {1, Qt::ALT | Qt::Key_I},
                                         {2, Qt::ALT | Qt::Key_O},
                                         {1, Qt::Key_Menu}};

// The viewer's keys.
const std::vector<Weighted> kViewerKeys = {{3, Qt::Key_Up},
                                           {3, Qt::Key_Down},
                                           {2, Qt::Key_Left},
                                           {2, Qt::Key_Right},
                                           {2, Qt::SHIFT | Qt::Key_Down},
                                           {2, Qt::SHIFT | Qt::Key_Right},
                                           {1, Qt::Key_Home},
                                           {1, Qt::Key_End},
                                           {1, Qt::CTRL | Qt::Key_End},
                                           {1, Qt::CTRL | Qt::Key_Home},
                                           {1, Qt::Key_PageDown},
                                           {1, Qt::Key_PageUp},
                                           {3, Qt::Key_F3},
                                           {2, Qt::SHIFT | Qt::Key_F3},
                                           {2, Qt::CTRL | Qt::Key_C},
                                           {1, Qt::CTRL | Qt::Key_A},
                                           {2, Qt::CTRL | Qt::Key_E},
                                           {2, Qt::Key_Escape},
                                           {1, Qt::Key_Tab},
                                           {1, Qt::Key_Space},
                                           {1, Qt::Key_F2}};

// An open menu's keys: moving, choosing, leaving, and the items' letters.
const std::vector<Weighted> kMenuKeys = {
    {4, Qt::Key_Down},   {2, Qt::Key_Up},     {2, Qt::Key_Left}, {2, Qt::Key_Right},
    {3, Qt::Key_Return}, {3, Qt::Key_Escape}, {1, Qt::Key_D},    {1, Qt::Key_V},
    {1, Qt::Key_T},      {1, Qt::Key_X},      {1, Qt::Key_S},    {1, Qt::Key_A},
    {1, Qt::Key_W},      {1, Qt::Key_M},      {1, Qt::Key_O},    {1, Qt::Key_E}};

// Words and letters typed into the search box: ones the files hold, in both encodings, and
// pieces of patterns ("(" alone is a bad one).
const std::vector<QString> kWords = {
    QStringLiteral("begin"),  QStringLiteral("proc"), QStringLiteral("caf\u00e9"),
    QStringLiteral("\u20ac"), QStringLiteral("end"),  QStringLiteral("b"),
    QStringLiteral("e"),      QStringLiteral("x"),    QStringLiteral(" "),
    QStringLiteral("("),      QStringLiteral("B"),    QStringLiteral("\u00e9"),
    QStringLiteral(".*"),     QStringLiteral("^"),    QStringLiteral("[a-e]+")};

Key KeyOf(QKeyCombination combined) {
    return {combined.key(), combined.keyboardModifiers(), {}};
}

Key PickKey(Random& random, const std::vector<Weighted>& keys) {
    int total = 0;
    for (const Weighted& key : keys) total += key.weight;
    int roll = random.Below(total);
    for (const Weighted& key : keys) {
        if (roll < key.weight) return KeyOf(key.key);
        roll -= key.weight;
    }
    return KeyOf(keys.back().key);
}

std::vector<Key> WordKeys(const QString& word) {
    std::vector<Key> keys;
    for (const QChar c : word) {
        const char latin = c.toLatin1();
        Qt::Key code = Qt::Key_unknown;
        if (c.isLetter() && latin >= 'a' && latin <= 'z')
            code = static_cast<Qt::Key>(Qt::Key_A + latin - 'a');
        else if (latin >= 'A' && latin <= 'Z')
            code = static_cast<Qt::Key>(Qt::Key_A + latin - 'A');
        else if (c == QLatin1Char(' '))
            code = Qt::Key_Space;
        else if (c == QLatin1Char('('))
            code = Qt::Key_ParenLeft;
        else if (c == QChar(0xE9))
            code = Qt::Key_Eacute;
        keys.push_back({code, Qt::NoModifier, QString(c)});
    }
    return keys;
}

std::string NameOf(const QWidget* widget) {
    if (widget == nullptr) return "nothing";
    const QString name = widget->objectName();
    return name.isEmpty() ? widget->metaObject()->className() : name.toStdString();
}

}  // namespace

Action Driver::Choose(Session& session) {
    Action action;
    const int kind = m_random.Weighted({10, 52, 38});
    if (kind == 0) {
        action.kind = Action::Kind::Change;
        action.description = "change:";
        return action;
    }
    QWidget* popup = QApplication::activePopupWidget();
    if (kind == 1) {
        QWidget* keyboard = popup;
        if (keyboard == nullptr && QGuiApplication::focusWindow() != nullptr)
            for (QWidget* window : session.ShownWindows())
                if (window->windowHandle() == QGuiApplication::focusWindow()) keyboard = window;
        if (keyboard == nullptr) keyboard = &session.Form1();
        return ChooseKey(session, keyboard);
    }
    return ChooseClick(session);
}

Action Driver::ChooseKey(Session& session, QWidget* keyboard) {
    Action action;
    action.kind = Action::Kind::Key;
    action.target = keyboard;
    action.intoMenu = keyboard == QApplication::activePopupWidget();
    if (action.intoMenu) {
        action.keys = {PickKey(m_random, kMenuKeys)};
    } else if (keyboard == session.Viewer()) {
        action.keys = {PickKey(m_random, kViewerKeys)};
    } else if (m_random.Percent(30)) {
        action.keys = WordKeys(m_random.Pick(kWords));
    } else {
        action.keys = {PickKey(m_random, kMainKeys)};
    }
    QString word;
    for (const Key& key : action.keys) word += key.text;
    const std::string what = action.keys.size() > 1 || !word.isEmpty()
                                 ? "type '" + word.toStdString() + "'"
                                 : Describe(action.keys.front());
    action.description =
        what + " in " + (action.intoMenu ? "the open menu" : NameOf(QApplication::focusWidget()));
    return action;
}

Action Driver::ChooseClick(Session& session) {
    Action action;
    action.kind = Action::Kind::Click;
    QWidget* popup = QApplication::activePopupWidget();
    if (popup != nullptr && m_random.Percent(65)) {
        action.target = popup;
        action.intoMenu = true;
    } else {
        std::vector<QWidget*> windows;
        for (QWidget* window : session.ShownWindows())
            if (window == &session.Form1() || window == session.Viewer()) windows.push_back(window);
        action.target = windows.empty() ? &session.Form1() : m_random.Pick(windows);
    }
    action.at = SomePlace(m_random, action.target);
    action.button = m_random.Percent(22) ? Qt::RightButton : Qt::LeftButton;
    action.clicks = m_random.Percent(14) ? Clicks::Double : Clicks::Single;
    const int modifier = m_random.Below(100);
    action.modifiers = modifier < 6    ? Qt::ShiftModifier
                       : modifier < 11 ? Qt::ControlModifier
                                       : Qt::NoModifier;
    QWidget* under = action.target->childAt(action.at);
    action.description = Describe(action.button, action.modifiers, action.clicks, action.at) +
                         " on " + (action.intoMenu ? "the open menu" : NameOf(action.target)) +
                         " (" + NameOf(under != nullptr ? under : action.target.data()) + ")";
    return action;
}

std::string Driver::Perform(const Action& action) {
    switch (action.kind) {
        case Action::Kind::Change:
            return m_world.Change(m_random);
        case Action::Kind::Key:
            for (const Key& key : action.keys) {
                // A key can close the window it went to, or open a menu that takes the next.
                QWindow* window = KeyboardWindow();
                if (window == nullptr && action.target != nullptr)
                    window = action.target->windowHandle();
                Press(window, key);
            }
            break;
        case Action::Kind::Click:
            if (action.target == nullptr) break;
            // A window manager makes the window that is clicked the active one.
            if (!action.intoMenu && action.target->windowHandle() != nullptr)
                action.target->windowHandle()->requestActivate();
            Click(action.target->windowHandle(), action.at, action.button, action.modifiers,
                  action.clicks);
            break;
    }
    return {};
}

std::vector<std::string> Driver::ChooseCommandLine() {
    std::vector<std::string> existing;
    std::error_code ignored;
    for (const std::string& directory : m_world.Directories())
        if (std::filesystem::is_directory(directory, ignored)) existing.push_back(directory);
    if (existing.empty()) {
        std::filesystem::create_directories(m_world.Directories().front());
        existing.push_back(m_world.Directories().front());
    }
    test::ChangeDirectory(m_random.Pick(existing));
    const std::string directory = m_random.Pick(existing);
    const std::string word =
        m_random.Pick(std::vector<std::string>{"begin", "proc", "caf\xC3\xA9"});
    switch (m_random.Weighted({40, 15, 15, 15, 15})) {
        case 0:
            return {};
        case 1:
            return {directory};
        case 2:
            return {directory, word};
        case 3:
            return {directory, word, "/A"};
        default:
            return {word, "-a"};
    }
}

}  // namespace sifter::soak
