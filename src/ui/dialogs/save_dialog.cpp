// SaveDialog1.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

SaveDialogHook& Hook() {
    static SaveDialogHook hook;
    return hook;
}

// Qt's own dialog accepts a name in a directory that does not exist; this one says so and
// stays open, as a save that could only fail should not be started.
class SaveDialog final : public QFileDialog {
public:
    explicit SaveDialog(QWidget* parent) : QFileDialog(parent) {
        setObjectName(names::kSaveDialog1);
        setFont(DialogFont());
        setWindowTitle(QStringLiteral("Save As"));
        // Qt's own dialog behaves the same everywhere; a desktop's dialog may add an extension.
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters(
            {QStringLiteral("Text File (*.txt)"), QStringLiteral("Paradox Script (*.sc)")});
        KeepNameAcrossTypes();
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            const QFileInfo file(chosen.front());
            if (!file.isDir() && !file.absoluteDir().exists()) {
                QMessageBox::warning(
                    this, windowTitle(),
                    QStringLiteral("The folder %1 does not exist.").arg(file.absolutePath()));
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    // Qt's dialog gives the name in the box the extension of each type the user picks; here
    // the name stays exactly as typed, whatever the type.
    void KeepNameAcrossTypes() {
        auto* types = findChild<QComboBox*>(QString::fromLatin1(names::kFileTypeCombo));
        auto* name = findChild<QLineEdit*>(QString::fromLatin1(names::kFileNameEdit));
        if (types == nullptr || name == nullptr) return;
        disconnect(types, &QComboBox::activated, this, nullptr);
        connect(types, &QComboBox::activated, this, [this, types, name](int index) {
            const QString typed = name->text();
            selectNameFilter(types->itemText(index));
            name->setText(typed);
        });
    }
};

// The current directory, unless it was removed (the system can no longer name it); then the
// closest directory above the one searched that still exists.
QDir StartDirectory(const std::string& searched) {
    const QString current = QDir::currentPath();
    if (!current.isEmpty() && QFileInfo(current).isDir()) return QDir(current);
    QString path = QDir::cleanPath(QFile::decodeName(searched.c_str()));
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path) break;
        path = parent;
    }
    return QDir(path);
}

std::optional<std::string> Show(SaveDialog& dialog, const std::string& searched) {
    dialog.selectNameFilter(QStringLiteral("Text File (*.txt)"));
    dialog.setDirectory(StartDirectory(searched));
    dialog.selectFile(QStringLiteral("sifter.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // Qt writes '/' everywhere; the label and the file take the system's own separators.
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().front());
    return QFile::encodeName(chosen).toStdString();
}

}  // namespace

std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& searched) {
    if (Hook()) return Hook()();
#ifdef _WIN32
    // Qt's dialog writes its history and last folder into the user's settings when it is
    // destroyed, and nothing turns that off. Elsewhere those settings are sent where nothing
    // can be written (PrepareApplication); Windows keeps them in the registry, which cannot be
    // sent anywhere else. So there one dialog serves every save and is never destroyed: the
    // process ends with it. It belongs to the window only while it is shown, or the window's
    // end would destroy it.
    static SaveDialog* const kept = new SaveDialog(nullptr);
    const Qt::WindowFlags flags = kept->windowFlags();
    kept->setParent(parent, flags);
    std::optional<std::string> chosen = Show(*kept, searched);
    kept->setParent(nullptr, flags);
    return chosen;
#else
    SaveDialog dialog(parent);
    return Show(dialog, searched);
#endif
}

void SetSaveDialogHook(SaveDialogHook hook) {
    Hook() = std::move(hook);
}

}  // namespace sifter::ui
