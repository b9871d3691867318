#pragma once
// Every dialog and message box that opens during an action, answered at random: through the
// program's hooks, or for real, with keys and clicks on the modal window while its own event
// loop runs. A real dialog that is still open after a few steps is closed, as a person who has
// had enough would close it.

#include <QElapsedTimer>
#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "soak_log.h"
#include "ui/messages.h"

class QDialog;
class QFileDialog;
class QMessageBox;

namespace sifter::soak {

class SoakWorld;

// The question asked before closing, and its answer when the soak gave it through the hook.
struct Question {
    ui::Message message;
    std::optional<bool> yes;
};

// A name the save dialog handed back, and whether a file could be created under it then.
struct SaveChoice {
    std::string name;
    bool creatable = false;
};

class DialogAnswers final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DialogAnswers)

public:
    DialogAnswers(Random& random, ActionLog& log, const SoakWorld& world);
    ~DialogAnswers() override;

    // Before an action: answer its dialogs through the hooks, or let them open for real.
    void Begin(bool throughHooks);
    // After it: what was shown and chosen during the action stays readable until Begin.
    void End();

    const QList<ui::Message>& Messages() const { return m_messages; }
    const std::vector<Question>& Questions() const { return m_questions; }
    const std::vector<SaveChoice>& Saves() const { return m_saves; }
    // How often the save dialog was shown (or its hook asked).
    int SaveDialogsShown() const { return m_saveDialogs; }
    // Message boxes of the program that break its conventions (one "OK" button that is the
    // default and the escape button).
    const QStringList& Problems() const { return m_problems; }

private:
    void InstallHooks();
    void RemoveHooks();
    std::optional<std::string> ChooseSaveName();
    void AnswerMasks(QDialog& dialog);
    void AnswerEditor(QDialog& dialog);
    SaveChoice Choice(const std::string& name) const;
    void Tick(int round);
    // One step on the modal window at the top, when there is one.
    void Step();
    void StepOnPopup(QWidget* popup);
    void StepOnMessageBox(QMessageBox& box);
    void StepOnSaveDialog(QFileDialog& dialog);
    void StepWithKeysAndClicks(QWidget& dialog, const std::vector<QKeyCombination>& keys);
    void Record(QMessageBox& box);
    static const std::vector<QKeyCombination>& ChooserKeys();

    Random& m_random;
    ActionLog& m_log;
    const SoakWorld& m_world;
    // The actions' turns at answering for real; a tick of an earlier turn does nothing.
    int m_round = 0;
    QHash<QWidget*, int> m_stepsLeft;
    // The modal windows a step is acting on now; a step can open another one, which gets its
    // own steps while the first waits.
    QSet<QWidget*> m_busy;
    QElapsedTimer m_pressedFor;  // since a step first found a button pressed
    int m_saveCounter = 0;
    QList<ui::Message> m_messages;
    std::vector<Question> m_questions;
    std::vector<SaveChoice> m_saves;
    int m_saveDialogs = 0;
    QStringList m_problems;
};

}  // namespace sifter::soak
