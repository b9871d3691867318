#include "soak_answers.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <filesystem>

#include "soak_driver.h"
#include "soak_world.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/dialogs.h"
#include "ui/object_names.h"

namespace sifter::soak {
namespace {

namespace names = ui::names;

namespace fs = std::filesystem;

const std::vector<QString> kFaces = {QStringLiteral("Liberation Sans"),
                                     QStringLiteral("Liberation Mono"),
                                     QStringLiteral("Liberation Serif")};

}  // namespace

DialogAnswers::DialogAnswers(Random& random, ActionLog& log, const SoakWorld& world)
    : m_random(random), m_log(log), m_world(world) {}

DialogAnswers::~DialogAnswers() {
    RemoveHooks();
}

void DialogAnswers::Begin(bool throughHooks) {
    m_messages.clear();
    m_questions.clear();
    m_saves.clear();
    m_saveDialogs = 0;
    m_problems.clear();
    m_stepsLeft.clear();
    if (throughHooks)
        InstallHooks();
    else
        RemoveHooks();
    // With the hooks in place only a menu that runs its own event loop needs answering.
    ++m_round;
    Tick(m_round);
}

void DialogAnswers::End() {
    ++m_round;
    RemoveHooks();
}

void DialogAnswers::Tick(int round) {
    // A timer does not fire again while its own handler runs, and a step can open a dialog
    // whose event loop runs inside the step; so every tick is a timer of its own, set up before
    // the step so that the dialog it opens is answered too.
    QTimer::singleShot(0, this, [this, round] {
        if (round != m_round) return;
        Tick(round);
        Step();
    });
}

void DialogAnswers::InstallHooks() {
    ui::SetMessageHook([this](const ui::Message& message) {
        m_messages.append(message);
        m_log.Note("says \"" + message.text.toStdString() + "\"");
    });
    ui::SetSaveDialogHook([this]() -> std::optional<std::string> {
        ++m_saveDialogs;
        const std::optional<std::string> name = ChooseSaveName();
        m_log.Note(name ? "saves as " + *name : std::string("cancels the save"));
        if (name) m_saves.push_back(Choice(*name));
        return name;
    });
    ui::SetFontDialogHook([this](const ui::FontChoice& current) -> std::optional<ui::FontChoice> {
        if (m_random.Percent(30)) {
            m_log.Note("cancels the font");
            return std::nullopt;
        }
        ui::FontChoice chosen = current;
        chosen.font.setFamily(m_random.Pick(kFaces));
        chosen.font.setPointSize(m_random.Pick(std::vector<int>{6, 8, 11, 20, 36}));
        chosen.font.setUnderline(m_random.Percent(20));
        chosen.font.setStrikeOut(m_random.Percent(20));
        chosen.colour = QColor::fromRgb(static_cast<QRgb>(m_random.Next()));
        m_log.Note("chooses " + chosen.font.toString().toStdString());
        return chosen;
    });
    ui::TForm3::SetAnswerHook([this](ui::TForm3& dialog) {
        for (int steps = m_random.Below(6); steps > 0 && dialog.isVisible(); --steps) {
            const QKeyCombination combined = m_random.Pick(ChooserKeys());
            const Key key{combined.key(), combined.keyboardModifiers(), {}};
            m_log.Note("chooser: " + Describe(key));
            Press(dialog.windowHandle(), key);
        }
        const bool ok = m_random.Percent(60);
        if (dialog.isVisible()) m_log.Note(ok ? "chooser: OK" : "chooser: Cancel");
        return ok ? QDialog::Accepted : QDialog::Rejected;
    });
    ui::TAboutBox::SetAnswerHook([this](ui::TAboutBox&) { m_log.Note("about box read"); });
    ui::SetMaskDialogHook([this](QDialog& dialog) { AnswerMasks(dialog); });
    ui::SetEditorDialogHook([this](QDialog& dialog) { AnswerEditor(dialog); });
    ui::SetQuestionHook([this](const ui::Message& message) {
        const bool yes = m_random.Percent(60);
        m_questions.push_back({message, yes});
        m_log.Note("asked \"" + message.text.toStdString() + "\": " + (yes ? "Yes" : "No"));
        return yes;
    });
}

void DialogAnswers::AnswerEditor(QDialog& dialog) {
    // Commands that work, one the dialog refuses, one it refuses for its program, and none.
    static const std::vector<const char*> kCommands = {"ed {file}:{line}:{column}",
                                                       "\"my ed\" -c'{column}' +{line}",
                                                       "ed \"{file}", "{file} x", ""};
    auto* command = dialog.findChild<QLineEdit*>(QString::fromLatin1(names::kEditorCommand));
    auto* presets = dialog.findChild<QComboBox*>(QString::fromLatin1(names::kEditorPresets));
    const auto click = [&](const char* name) {
        if (auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name)))
            button->click();
    };
    switch (m_random.Weighted({25, 30, 45})) {
        case 0:
            m_log.Note("editor: Cancel");
            click(names::kCancelButton);
            return;
        case 1:
            if (presets != nullptr) {
                presets->setCurrentIndex(m_random.Below(presets->count()));
                m_log.Note("editor: preset " + presets->currentText().toStdString());
            }
            break;
        default:
            if (command != nullptr) {
                const char* chosen = m_random.Pick(kCommands);
                m_log.Note(std::string("editor: ") + chosen);
                command->setText(QString::fromLatin1(chosen));
            }
            break;
    }
    click(names::kOKButton);
    // A command the dialog refused leaves it open: the person gives up.
    if (dialog.result() != QDialog::Accepted) {
        m_log.Note("editor: Cancel");
        click(names::kCancelButton);
    }
}

void DialogAnswers::AnswerMasks(QDialog& dialog) {
    // Lists the soak's files answer to in different ways, one the dialog refuses, the
    // defaults, or nothing.
    static const std::vector<const char*> kLists = {"*.pas;*.sc", "*.PAS;a*", "*.sc;*.pas;*.SC",
                                                    "x*", "*.pas;;*.sc"};
    auto* edit = dialog.findChild<QLineEdit*>(
        QString::fromLatin1(m_random.Percent(50) ? names::kScriptMasks : names::kPascalMasks));
    const auto click = [&](const char* name) {
        if (auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name)))
            button->click();
    };
    switch (m_random.Weighted({30, 50, 20})) {
        case 0:
            m_log.Note("masks: Cancel");
            click(names::kCancelButton);
            return;
        case 1:
            if (edit != nullptr) {
                const char* list = m_random.Pick(kLists);
                m_log.Note(std::string("masks: ") + list);
                edit->setText(QString::fromLatin1(list));
            }
            break;
        default:
            m_log.Note("masks: Defaults");
            click(names::kDefaultMasks);
            break;
    }
    click(names::kOKButton);
    // A list the dialog refused leaves it open: the person gives up.
    if (dialog.result() != QDialog::Accepted) {
        m_log.Note("masks: Cancel");
        click(names::kCancelButton);
    }
}

void DialogAnswers::RemoveHooks() {
    ui::SetMessageHook(nullptr);
    ui::SetSaveDialogHook(nullptr);
    ui::SetFontDialogHook(nullptr);
    ui::TForm3::SetAnswerHook(nullptr);
    ui::TAboutBox::SetAnswerHook(nullptr);
    ui::SetMaskDialogHook(nullptr);
    ui::SetEditorDialogHook(nullptr);
    ui::SetQuestionHook(nullptr);
}

std::optional<std::string> DialogAnswers::ChooseSaveName() {
    const std::string out = m_world.SaveDirectory();
    switch (m_random.Weighted({15, 45, 15, 8, 7, 5, 5})) {
        case 0:
            return std::nullopt;
        case 1:
            return out + "/save-" + std::to_string(++m_saveCounter) + ".txt";
        case 2:
            return out + "/save-" + std::to_string(m_saveCounter) + ".txt";  // again
        case 3:
            return out + "/save-" + std::to_string(++m_saveCounter) + ".sc";
        case 4:
            return m_world.Path("missing/r.txt");
        case 5:
            return out;
        default:
            return out + "/no extension";
    }
}

SaveChoice DialogAnswers::Choice(const std::string& name) const {
    std::error_code ignored;
    const fs::path path(name);
    const bool creatable = fs::is_directory(path.parent_path(), ignored) &&
                           (fs::is_regular_file(path, ignored) || !fs::exists(path, ignored));
    return {name, creatable};
}

}  // namespace sifter::soak
