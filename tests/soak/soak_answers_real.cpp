// Answering the real dialogs: one step at a time on the modal window at the top, from a timer
// that runs inside the dialog's own event loop.

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QWindow>

#include "soak_answers.h"
#include "soak_driver.h"
#include "soak_world.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/dialogs/about_box.h"
#include "ui/object_names.h"

namespace sifter::soak {
namespace {

namespace names = ui::names;

Key KeyOf(QKeyCombination combined) {
    return {combined.key(), combined.keyboardModifiers(), {}};
}

const std::vector<QKeyCombination> kMessageBoxKeys = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                                                      Qt::Key_Space, Qt::Key_Tab};
const std::vector<QKeyCombination> kChooserKeys = {
    Qt::Key_Up,
    Qt::Key_Down,
    Qt::Key_PageUp,
    Qt::Key_PageDown,
    Qt::Key_Home,
    Qt::Key_End,
    Qt::Key_Left,
    Qt::Key_Right,
    Qt::Key_Plus,
    Qt::Key_Minus,
    Qt::Key_Asterisk,
    Qt::CTRL | Qt::Key_Up,
    Qt::CTRL | Qt::Key_Down,
    QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Asterisk),
    Qt::Key_Return,
    Qt::Key_Escape,
    Qt::Key_C,
    Qt::ALT | Qt::Key_C,
    Qt::Key_Tab,
    Qt::Key_Space};
const std::vector<QKeyCombination> kAboutKeys = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space,
                                                 Qt::Key_Tab};
const std::vector<QKeyCombination> kFontKeys = {Qt::Key_Tab,    Qt::SHIFT | Qt::Key_Backtab,
                                                Qt::Key_Up,     Qt::Key_Down,
                                                Qt::Key_Space,  Qt::Key_Return,
                                                Qt::Key_Escape, Qt::Key_L,
                                                Qt::Key_D,      Qt::ALT | Qt::Key_U};
const std::vector<QKeyCombination> kPopupKeys = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Return,
                                                 Qt::Key_Escape, Qt::Key_PageDown};

ui::MessageKind KindOf(const QMessageBox& box) {
    switch (box.icon()) {
        case QMessageBox::Information:
            return ui::MessageKind::Information;
        case QMessageBox::Warning:
            return ui::MessageKind::Warning;
        case QMessageBox::Critical:
            return ui::MessageKind::Error;
        case QMessageBox::Question:
            return ui::MessageKind::Question;
        default:
            return ui::MessageKind::Plain;
    }
}

std::string Title(const QWidget& window) {
    const QString title = window.windowTitle();
    return title.isEmpty() ? window.metaObject()->className() : title.toStdString();
}

}  // namespace

const std::vector<QKeyCombination>& DialogAnswers::ChooserKeys() {
    return kChooserKeys;
}

void DialogAnswers::Step() {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* popup = QApplication::activePopupWidget();
    // A menu that runs an event loop of its own (a scroll bar's) holds up the action until it
    // is answered, as a dialog does; a menu that was only shown waits for the next action.
    if (modal == nullptr && popup != nullptr && QThread::currentThread()->loopLevel() > 0)
        modal = popup;
    if (modal == nullptr || !modal->isVisible() || m_busy.contains(modal)) return;
    // An animated click is on its way; the dialog answers it when its timer runs, unless a
    // button stays pressed for longer than such a click takes.
    if (ClickUnderway(*modal)) {
        if (!m_pressedFor.isValid()) m_pressedFor.start();
        if (m_pressedFor.elapsed() < 1000) return;
    }
    m_pressedFor.invalidate();
    m_busy.insert(modal);
    const auto done = qScopeGuard([this, modal] { m_busy.remove(modal); });
    if (popup != nullptr && popup != modal) {
        StepOnPopup(popup);
        return;
    }
    auto left = m_stepsLeft.find(modal);
    if (left == m_stepsLeft.end()) {
        left = m_stepsLeft.insert(modal, 1 + m_random.Below(6));
        connect(modal, &QObject::destroyed, this, [this, modal] { m_stepsLeft.remove(modal); });
        m_log.Note("\"" + Title(*modal) + "\" opens");
        if (auto* box = qobject_cast<QMessageBox*>(modal)) Record(*box);
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            ++m_saveDialogs;
            const QString opened = dialog->directory().absolutePath();
            if (!m_world.Holds(QFile::encodeName(opened).toStdString()))
                m_problems.append(QStringLiteral("the save dialog opened in \"%1\", outside the "
                                                 "directories the program was given")
                                      .arg(opened));
            connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& name) {
                m_saves.push_back(Choice(QFile::encodeName(name).toStdString()));
                m_log.Note("saves as " + name.toStdString());
            });
        }
    }
    if (*left == 0) {
        // Enough: the dialog is closed as its close box would.
        m_log.Note("closes \"" + Title(*modal) + "\"");
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    --*left;
    if (modal == popup)
        StepOnPopup(popup);
    else if (auto* box = qobject_cast<QMessageBox*>(modal))
        StepOnMessageBox(*box);
    else if (auto* dialog = qobject_cast<QFileDialog*>(modal))
        StepOnSaveDialog(*dialog);
    else if (qobject_cast<ui::TForm3*>(modal) != nullptr)
        StepWithKeysAndClicks(*modal, kChooserKeys);
    else if (qobject_cast<ui::TAboutBox*>(modal) != nullptr)
        StepWithKeysAndClicks(*modal, kAboutKeys);
    else
        StepWithKeysAndClicks(*modal, kFontKeys);
}

void DialogAnswers::StepOnPopup(QWidget* popup) {
    if (m_random.Percent(70)) {
        const Key key = KeyOf(m_random.Pick(kPopupKeys));
        m_log.Note("list: " + Describe(key));
        Press(popup->windowHandle(), key);
        return;
    }
    const QPoint at = SomePlace(m_random, popup);
    m_log.Note("list: " + Describe(Qt::LeftButton, {}, Clicks::Single, at));
    Click(popup->windowHandle(), at, Qt::LeftButton, {}, Clicks::Single);
}

void DialogAnswers::StepOnMessageBox(QMessageBox& box) {
    StepWithKeysAndClicks(box, kMessageBoxKeys);
}

void DialogAnswers::StepOnSaveDialog(QFileDialog& dialog) {
    auto* name = dialog.findChild<QLineEdit*>(QString::fromLatin1(names::kFileNameEdit));
    auto* buttons =
        dialog.findChild<QDialogButtonBox*>(QString::fromLatin1(names::kFileDialogButtons));
    // Only the name box and the buttons: the folder view fills in on a thread of its own, so
    // a click there would not land on the same entry twice.
    switch (m_random.Weighted({45, 35, 20})) {
        case 0:
            if (name != nullptr) {
                const std::optional<std::string> chosen = ChooseSaveName();
                const QString text = chosen ? QFile::decodeName(chosen->c_str()) : QString();
                m_log.Note("save dialog: name \"" + text.toStdString() + "\"");
                name->setText(text);
                return;
            }
            break;
        case 1:
            if (buttons != nullptr && !buttons->buttons().isEmpty() && name != nullptr) {
                // Whatever the program does, the soak writes nowhere but its scratch directory.
                const QString target = QDir::isAbsolutePath(name->text())
                                           ? name->text()
                                           : dialog.directory().absoluteFilePath(name->text());
                if (!m_world.Holds(QFile::encodeName(QDir::cleanPath(target)).toStdString())) break;
                QAbstractButton* accept = buttons->buttons().front();
                for (QAbstractButton* button : buttons->buttons())
                    if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                        accept = button;
                m_log.Note("save dialog: click " + accept->text().toStdString());
                Click(dialog.windowHandle(), accept->mapTo(&dialog, accept->rect().center()),
                      Qt::LeftButton, {}, Clicks::Single);
                return;
            }
            break;
        default:
            break;
    }
    m_log.Note("save dialog: Escape");
    Press(dialog.windowHandle(), KeyOf(Qt::Key_Escape));
}

void DialogAnswers::StepWithKeysAndClicks(QWidget& dialog,
                                          const std::vector<QKeyCombination>& keys) {
    if (m_random.Percent(65)) {
        const Key key = KeyOf(m_random.Pick(keys));
        m_log.Note(Describe(key));
        Press(dialog.windowHandle(), key);
        return;
    }
    const QPoint at = SomePlace(m_random, &dialog);
    const Clicks clicks = m_random.Percent(15) ? Clicks::Double : Clicks::Single;
    m_log.Note(Describe(Qt::LeftButton, {}, clicks, at));
    Click(dialog.windowHandle(), at, Qt::LeftButton, {}, clicks);
}

void DialogAnswers::Record(QMessageBox& box) {
    // Qt's own boxes of the save dialog (replace a file?) belong to it, not to the program.
    if (box.parent() != nullptr) return;
    const ui::Message message{KindOf(box), box.windowTitle(), box.text()};
    const QList<QAbstractButton*> buttons = box.buttons();
    if (message.kind == ui::MessageKind::Question) {
        // The one box with two buttons: Yes the default, No the escape button.
        m_questions.push_back({message, std::nullopt});
        m_log.Note("asks \"" + box.text().toStdString() + "\"");
        QAbstractButton* yes = box.button(QMessageBox::Yes);
        QAbstractButton* no = box.button(QMessageBox::No);
        if (buttons.size() != 2 || yes == nullptr || no == nullptr || box.defaultButton() != yes ||
            box.escapeButton() != no)
            m_problems.append(QStringLiteral("the question \"%1\" has other buttons than Yes, "
                                             "the default, and No, the escape button")
                                  .arg(box.text()));
        return;
    }
    m_messages.append(message);
    m_log.Note("says \"" + box.text().toStdString() + "\"");
    if (buttons.size() != 1 || buttons.front()->text() != QStringLiteral("OK") ||
        box.defaultButton() != static_cast<QPushButton*>(buttons.front()) ||
        box.escapeButton() != buttons.front())
        m_problems.append(QStringLiteral("the box \"%1\" has other buttons than one OK that is "
                                         "both default and escape button")
                              .arg(box.text()));
}

}  // namespace sifter::soak
