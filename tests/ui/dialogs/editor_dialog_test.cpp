// The Editor dialog through the main window's "&Options - &Editor...": prefilled with the
// command in force, a preset in one pick, a command that cannot be used refused with the
// dialog left open, and Cancel leaving the command as it was.

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "test_support.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/editor_command.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui_test_support.h"

using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

// Works the dialog as `answer` says while it lives.
class EditorAnswer final {
public:
    explicit EditorAnswer(std::function<void(QDialog&)> answer) {
        sifter::ui::SetEditorDialogHook(std::move(answer));
    }
    ~EditorAnswer() { sifter::ui::SetEditorDialogHook(nullptr); }
    EditorAnswer(const EditorAnswer&) = delete;
    EditorAnswer& operator=(const EditorAnswer&) = delete;
};

}  // namespace

class EditorDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void takesACommandOrAPresetAndRefusesOneThatCannotBeUsed() {
        sifter::test::ScratchDirectory dir;
        sifter::test::MessageRecorder messages;
        sifter::ui::TForm1 window({});
        auto* item = Find<QAction>(window, names::kEditor1);
        QStringList seen;
        bool refusedStaysOpen = false;
        {
            EditorAnswer answer([&](QDialog& dialog) {
                auto* command = Find<QLineEdit>(dialog, names::kEditorCommand);
                auto* presets = Find<QComboBox>(dialog, names::kEditorPresets);
                seen << command->text();
                // The first entry names no editor; the presets follow it.
                presets->setCurrentIndex(2);
                seen << command->text();
                command->setText(QStringLiteral("ed \"{file}"));
                Find<QPushButton>(dialog, names::kOKButton)->click();
                refusedStaysOpen = dialog.result() != QDialog::Accepted;
                command->setText(QStringLiteral("  \"/opt/my ed/ed\" +{line} {file} "));
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            item->trigger();
        }
        QCOMPARE(seen.at(0), QString());
        QCOMPARE(seen.at(1), QString::fromLatin1(sifter::ui::EditorPresets()[1]));
        QVERIFY(refusedStaysOpen);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().kind, sifter::ui::MessageKind::Warning);
        QCOMPARE(messages.messages().front().text,
                 QStringLiteral("The editor command cannot be used: a quote is not closed: "
                                "\"{file}."));
        QCOMPARE(window.EditorCommand(), std::string("\"/opt/my ed/ed\" +{line} {file}"));

        // Cancel keeps the command, whatever was typed; the first entry empties it on OK.
        for (const char* button : {names::kCancelButton, names::kOKButton}) {
            EditorAnswer answer([&](QDialog& dialog) {
                seen << Find<QLineEdit>(dialog, names::kEditorCommand)->text();
                Find<QComboBox>(dialog, names::kEditorPresets)->setCurrentIndex(0);
                Find<QPushButton>(dialog, button)->click();
            });
            item->trigger();
            if (std::string(button) == names::kCancelButton)
                QCOMPARE(window.EditorCommand(), std::string("\"/opt/my ed/ed\" +{line} {file}"));
        }
        QCOMPARE(seen.at(2), QStringLiteral("\"/opt/my ed/ed\" +{line} {file}"));
        QVERIFY(window.EditorCommand().empty());
        QCOMPARE(messages.messages().size(), 1);
    }
};

QTEST_MAIN(EditorDialogTest)
#include "editor_dialog_test.moc"
