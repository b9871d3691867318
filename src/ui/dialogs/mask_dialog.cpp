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
constexpr int kListWidth = 260;

MaskDialogHook& Hook() {
    static MaskDialogHook hook;
    return hook;
}

class MaskDialog final : public QDialog {
public:
    MaskDialog(QWidget* parent, const MaskLists& current, FileType first)
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
            auto* edit = new QLineEdit(DisplayText(current[index]), this);
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
        auto* hint = new QLabel(QString::fromLatin1(kHint), this);
        hint->setTextFormat(Qt::PlainText);
        column->addWidget(hint);

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
        });
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        setFixedSize(sizeHint());
    }

    void accept() override {
        MaskLists checked;
        for (std::size_t i = 0; i < m_edits.size(); ++i) {
            const MaskListCheck check = CheckMaskList(EngineBytes(m_edits[i]->text()));
            if (!check.ok()) {
                // The dialog stays, with the list to mend in hand.
                ShowWarning(DisplayText(check.error));
                m_edits[i]->setFocus();
                m_edits[i]->selectAll();
                return;
            }
            checked[i] = check.list;
        }
        m_lists = checked;
        QDialog::accept();
    }

    const MaskLists& Lists() const { return m_lists; }

private:
    std::array<QLineEdit*, 2> m_edits{};
    MaskLists m_lists;
};

}  // namespace

std::optional<MaskLists> ChooseMasks(QWidget* parent, const MaskLists& current, FileType first) {
    MaskDialog dialog(parent, current, first);
    if (Hook())
        Hook()(dialog);
    else
        dialog.exec();
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    return dialog.Lists();
}

void SetMaskDialogHook(MaskDialogHook hook) {
    Hook() = std::move(hook);
}

}  // namespace sifter::ui
