// The File Masks dialog: which files each file type searches.

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "search/files/mask_list.h"
#include "search/run/search_request.h"
#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/messages.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

const char* const kTitle = "File Masks";
const char* const kHint = "Masks separated by semicolons, such as *.pas;*.pp;*.inc";
// A Pascal project's units, include files, programs and packages, Delphi's and Lazarus' alike.
const char* const kPascalProject = "*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk";
const char* const kLeaveOutLabel = "&Leave out directories:";
const char* const kLeaveOutHint =
    "Directory names, such as backup;*.old, that Include Subdirectories passes by";
constexpr int kListWidth = 260;

MaskDialogHook& Hook() {
    static MaskDialogHook hook;
    return hook;
}

class MaskDialog final : public QDialog {
public:
    MaskDialog(QWidget* parent, const FileMaskChoice& current, FileType first)
        : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
        setObjectName(names::kMaskDialog);
        setWindowTitle(QString::fromLatin1(kTitle));
        setFont(DialogFont());
        auto* column = new QVBoxLayout(this);
        auto* grid = new QGridLayout;
        column->addLayout(grid);
        struct Row {
            FileType type;
            const char* label;
            const char* name;
        };
        std::array<Row, 2> rows = {{{FileType::Scripts, "&Scripts:", names::kScriptMasks},
                                    {FileType::Pascal, "P&ascal:", names::kPascalMasks}}};
        if (rows.front().type != first) std::swap(rows.front(), rows.back());
        int place = 0;
        for (const Row& row : rows) {
            const auto index = static_cast<std::size_t>(row.type);
            auto* edit = new QLineEdit(DisplayText(current.masks[index]), this);
            edit->setObjectName(QString::fromLatin1(row.name));
            edit->setMinimumWidth(kListWidth);
            auto* label = new QLabel(QString::fromLatin1(row.label), this);
            label->setBuddy(edit);
            grid->addWidget(label, place, 0);
            grid->addWidget(edit, place, 1);
            if (row.type == FileType::Pascal) {
                auto* project = new QPushButton(QStringLiteral("Pascal &Project"), this);
                project->setObjectName(names::kProjectMasks);
                project->setAutoDefault(false);
                project->setToolTip(QString::fromLatin1(kPascalProject));
                connect(project, &QPushButton::clicked, edit,
                        [edit] { edit->setText(QString::fromLatin1(kPascalProject)); });
                grid->addWidget(project, place, 2);
            }
            ++place;
            m_edits[index] = edit;
        }
        // Each list's hint under it, and the directories left out in the same columns.
        const auto addHint = [&](const char* text, int row) {
            auto* hint = new QLabel(QString::fromLatin1(text), this);
            hint->setTextFormat(Qt::PlainText);
            grid->addWidget(hint, row, 0, 1, 2);
        };
        addHint(kHint, 2);
        m_leaveOut = new QLineEdit(DisplayText(current.leaveOut), this);
        m_leaveOut->setObjectName(QString::fromLatin1(names::kLeaveOutDirectories));
        m_leaveOut->setMinimumWidth(kListWidth);
        auto* leaveOutLabel = new QLabel(QString::fromLatin1(kLeaveOutLabel), this);
        leaveOutLabel->setBuddy(m_leaveOut);
        grid->addWidget(leaveOutLabel, 3, 0);
        grid->addWidget(m_leaveOut, 3, 1);
        addHint(kLeaveOutHint, 4);

        auto* buttons = new QDialogButtonBox(this);
        QPushButton* defaults =
            buttons->addButton(QStringLiteral("&Defaults"), QDialogButtonBox::ResetRole);
        defaults->setObjectName(names::kDefaultMasks);
        defaults->setAutoDefault(false);
        QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
        ok->setObjectName(names::kOKButton);
        ok->setDefault(true);
        QPushButton* cancel =
            buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
        cancel->setObjectName(names::kCancelButton);
        cancel->setAutoDefault(false);
        column->addWidget(buttons);
        connect(defaults, &QPushButton::clicked, this, [this] {
            for (const FileType type : {FileType::Scripts, FileType::Pascal})
                m_edits[static_cast<std::size_t>(type)]->setText(
                    QString::fromLatin1(FileMask(type).data(), FileMask(type).size()));
            m_leaveOut->clear();
        });
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        setFixedSize(sizeHint());
    }

    void accept() override {
        FileMaskChoice checked;
        const auto take = [](QLineEdit* edit, const MaskListCheck& check, std::string& list) {
            if (!check.ok()) {
                // The dialog stays, with the list to mend in hand.
                ShowWarning(DisplayText(check.error));
                edit->setFocus();
                edit->selectAll();
                return false;
            }
            list = check.list;
            return true;
        };
        for (std::size_t i = 0; i < m_edits.size(); ++i)
            if (!take(m_edits[i], CheckMaskList(EngineBytes(m_edits[i]->text())), checked.masks[i]))
                return;
        if (!take(m_leaveOut, CheckLeaveOutList(EngineBytes(m_leaveOut->text())), checked.leaveOut))
            return;
        m_choice = checked;
        QDialog::accept();
    }

    const FileMaskChoice& Choice() const { return m_choice; }

private:
    std::array<QLineEdit*, 2> m_edits{};
    QLineEdit* m_leaveOut = nullptr;
    FileMaskChoice m_choice;
};

}  // namespace

std::optional<FileMaskChoice> ChooseMasks(QWidget* parent, const FileMaskChoice& current,
                                          FileType first) {
    MaskDialog dialog(parent, current, first);
    if (Hook())
        Hook()(dialog);
    else
        dialog.exec();
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

void SetMaskDialogHook(MaskDialogHook hook) {
    Hook() = std::move(hook);
}

}  // namespace sifter::ui
