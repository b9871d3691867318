// The Editor dialog: the command that opens a file of the list at its line.

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/editor_command.h"
#include "ui/messages.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

const char* const kTitle = "Editor";
const char* const kHint =
    "{file}, {line} and {column} stand for the file, the line and the column of the match; a "
    "command without {file} gets the file at its end. Blanks separate the words: quote one "
    "that holds blanks with \"...\" or '...'. No shell runs the command. Empty: the desktop's "
    "default application opens the file.";
const char* const kNoEditor = "(none: the desktop's default application)";
const char* const kChoose = "Choose a preset";
const char* const kProblem = "The editor command cannot be used: ";
constexpr int kCommandWidth = 340;

EditorDialogHook& Hook() {
    static EditorDialogHook hook;
    return hook;
}

class EditorDialog final : public QDialog {
public:
    EditorDialog(QWidget* parent, const std::string& current)
        : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
          m_edit(new QLineEdit(DisplayText(current), this)) {
        setObjectName(names::kEditorDialog);
        setWindowTitle(QString::fromLatin1(kTitle));
        setFont(DialogFont());
        auto* column = new QVBoxLayout(this);
        auto* grid = new QGridLayout;
        column->addLayout(grid);
        m_edit->setObjectName(names::kEditorCommand);
        m_edit->setMinimumWidth(kCommandWidth);
        auto* presets = new QComboBox(this);
        presets->setObjectName(names::kEditorPresets);
        presets->addItem(QString::fromLatin1(kNoEditor), QString());
        for (const char* preset : EditorPresets())
            presets->addItem(QString::fromLatin1(preset), QString::fromLatin1(preset));
        presets->setPlaceholderText(QString::fromLatin1(kChoose));
        presets->setCurrentIndex(-1);
        const struct {
            const char* label;
            QWidget* field;
        } rows[] = {{"&Command:", m_edit}, {"&Presets:", presets}};
        for (int i = 0; i < 2; ++i) {
            auto* label = new QLabel(QString::fromLatin1(rows[i].label), this);
            label->setBuddy(rows[i].field);
            grid->addWidget(label, i, 0);
            grid->addWidget(rows[i].field, i, 1);
        }
        auto* hint = new QLabel(QString::fromLatin1(kHint), this);
        hint->setTextFormat(Qt::PlainText);
        hint->setWordWrap(true);
        column->addWidget(hint);

        auto* buttons = new QDialogButtonBox(this);
        QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
        ok->setObjectName(names::kOKButton);
        ok->setDefault(true);
        QPushButton* cancel =
            buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
        cancel->setObjectName(names::kCancelButton);
        cancel->setAutoDefault(false);
        column->addWidget(buttons);
        connect(presets, &QComboBox::currentIndexChanged, this, [this, presets](int index) {
            if (index >= 0) m_edit->setText(presets->itemData(index).toString());
        });
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        setFixedSize(sizeHint());
    }

    void accept() override {
        const std::string command = EngineBytes(m_edit->text().trimmed());
        const std::string problem = EditorCommandProblem(command);
        if (!problem.empty()) {
            // The dialog stays, with the command to mend in hand.
            ShowWarning(QString::fromLatin1(kProblem) + DisplayText(problem) + QLatin1Char('.'));
            m_edit->setFocus();
            return;
        }
        m_command = command;
        QDialog::accept();
    }

    const std::string& Command() const { return m_command; }

private:
    QLineEdit* m_edit;
    std::string m_command;
};

}  // namespace

std::optional<std::string> ChooseEditorCommand(QWidget* parent, const std::string& current) {
    EditorDialog dialog(parent, current);
    if (Hook())
        Hook()(dialog);
    else
        dialog.exec();
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    return dialog.Command();
}

void SetEditorDialogHook(EditorDialogHook hook) {
    Hook() = std::move(hook);
}

}  // namespace sifter::ui
