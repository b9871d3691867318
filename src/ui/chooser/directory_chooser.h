#pragma once
// TForm3, the directory chooser (Form3): a directory tree over a panel with the volume selector
// and the OK and Cancel buttons. It is created once and only hidden between showings, so the
// tree stays as the user left it.
//
// While it is shown, every directory the user selects becomes the process's current directory
// at once, and neither OK nor Cancel undoes that. After OK the caller takes `Directory()`.

#include <QDialog>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "search/files/directory_tree.h"

class QFrame;
class QPushButton;

namespace sifter::ui {

class DirectoryOutline;
class VolumeSelector;

class TForm3 final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm3)

public:
    // Stands for the process's current directory, which also goes into the title for good.
    explicit TForm3(QWidget* parent = nullptr, platform::SystemApi& system = platform::System());
    ~TForm3() override;

    // The directory the tree stands for: what OK hands back.
    std::string Directory() const { return m_tree.Directory(); }

    // Modal: QDialog::Accepted for OK or Enter, QDialog::Rejected for Cancel, Escape, C or the
    // close box.
    int exec() override;

    // While set, exec() shows the dialog without running modally and lets the hook act as the
    // user; when the hook leaves the dialog open, exec() ends it with the hook's answer. Either
    // way exec() returns the dialog's result.
    using AnswerHook = std::function<int(TForm3& dialog)>;
    static void SetAnswerHook(AnswerHook hook);

    DirectoryTree& Tree() { return m_tree; }
    const DirectoryTree& Tree() const { return m_tree; }
    DirectoryOutline* DirectoryListbox1() const { return m_outline; }
    VolumeSelector* DriveComboBox1() const { return m_drives; }
    QPushButton* BitBtn1() const { return m_ok; }
    QPushButton* BitBtn2() const { return m_cancel; }
    QFrame* Panel1() const { return m_panel; }

    // Gives the tree the volume the selector now holds.
    void DriveComboBox1Change();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void FormCreate();
    // What the first showing does: list the volumes, select the start volume, focus the tree.
    void PrepareFirstShowing();

    platform::SystemApi& m_system;
    DirectoryTree m_tree;
    QFrame* m_panel = nullptr;              // Panel1
    VolumeSelector* m_drives = nullptr;     // DriveComboBox1
    QPushButton* m_ok = nullptr;            // BitBtn1
    QPushButton* m_cancel = nullptr;        // BitBtn2
    DirectoryOutline* m_outline = nullptr;  // DirectoryListbox1
    bool m_shownBefore = false;
};

}  // namespace sifter::ui
