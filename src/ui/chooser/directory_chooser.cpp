#include "ui/chooser/directory_chooser.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "ui/chooser/chooser_drawing.h"
#include "ui/chooser/directory_outline.h"
#include "ui/chooser/volume_selector.h"
#include "ui/conventions.h"
#include "ui/messages.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

constexpr int kClientWidth = 439;
constexpr int kClientHeight = 392;
constexpr int kPanelHeight = 41;

const char* const kTitlePrefix = "Working Dir: ";
const char* const kOkCaption = "OK";
const char* const kCancelCaption = "&Cancel";

// What the title bar's help button tells about each control.
const char* const kTreeHelp =
    "The directories of the volume shown. Selecting one makes it the current directory at once. "
    "Right or + opens a directory, Left or - closes it, * opens everything below it.";
const char* const kVolumesHelp = "The mounted volumes. Picking one shows its directories.";
const char* const kOkHelp = "Searches the selected directory from now on.";
const char* const kCancelHelp = "Keeps the directory the search had.";

TForm3::AnswerHook& Hook() {
    static TForm3::AnswerHook hook;
    return hook;
}

}  // namespace

TForm3::TForm3(QWidget* parent, platform::SystemApi& system)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint),
      m_system(system),
      m_tree(system) {
    setObjectName(names::kForm3);
    setFont(DialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    setSizeGripEnabled(false);
    BuildControls();
    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::SetAnswerHook(AnswerHook hook) {
    Hook() = std::move(hook);
}

void TForm3::BuildControls() {
    m_outline = new DirectoryOutline(m_tree, this);
    m_outline->setGeometry(0, 0, kClientWidth, kClientHeight - kPanelHeight);
    m_outline->setWhatsThis(QString::fromLatin1(kTreeHelp));

    m_panel = new QFrame(this);
    m_panel->setObjectName(names::kPanel1);
    m_panel->setFrameShape(QFrame::NoFrame);
    m_panel->setGeometry(0, kClientHeight - kPanelHeight, kClientWidth, kPanelHeight);

    m_drives = new VolumeSelector(m_panel);
    m_drives->setGeometry(7, 12, 201, 19);
    m_drives->setWhatsThis(QString::fromLatin1(kVolumesHelp));
    connect(m_drives, &VolumeSelector::VolumeChosen, this, &TForm3::DriveComboBox1Change);

    m_ok = new QPushButton(QString::fromLatin1(kOkCaption), m_panel);
    m_ok->setObjectName(names::kBitBtn1);
    m_ok->setGeometry(260, 9, 75, 25);
    m_ok->setIcon(OkGlyph());
    m_ok->setIconSize(QSize(kGlyphSize, kGlyphSize));
    m_ok->setDefault(true);
    m_ok->setWhatsThis(QString::fromLatin1(kOkHelp));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_cancel = new QPushButton(QString::fromLatin1(kCancelCaption), m_panel);
    m_cancel->setObjectName(names::kBitBtn2);
    m_cancel->setGeometry(352, 9, 75, 25);
    m_cancel->setIcon(CancelGlyph());
    m_cancel->setIconSize(QSize(kGlyphSize, kGlyphSize));
    m_cancel->setWhatsThis(QString::fromLatin1(kCancelHelp));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The panel's controls first, then the tree.
    setTabOrder(m_drives, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_outline);
}

void TForm3::FormCreate() {
    // The directory of start-up, kept for good: later choices do not change the title.
    setWindowTitle(QString::fromLatin1(kTitlePrefix) + DisplayText(m_tree.Directory()));
}

void TForm3::PrepareFirstShowing() {
    if (m_shownBefore) return;
    m_shownBefore = true;
    m_drives->Fill(m_system.ListVolumes(), m_tree.VolumePath());
    // Changes nothing: the tree already shows the selector's volume.
    DriveComboBox1Change();
    m_outline->setFocus();
}

int TForm3::exec() {
    PrepareFirstShowing();
    if (!Hook()) return QDialog::exec();
    setResult(0);
    show();
    const int answer = Hook()(*this);
    if (isVisible()) done(answer);
    return result();
}

void TForm3::DriveComboBox1Change() {
    // A volume that cannot be entered leaves the tree as it was, and the selector on the
    // volume that was picked.
    Guarded([this] { m_tree.ChangeVolume(m_drives->SelectedVolume()); });
    m_outline->TreeChanged();
}

void TForm3::showEvent(QShowEvent* event) {
    PrepareFirstShowing();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    // "&Cancel" answers its letter without Alt as well, as long as the control with the focus
    // takes no typed letters (the tree and the buttons; the volume list searches by them).
    const Qt::KeyboardModifiers blocking = Qt::ControlModifier | Qt::MetaModifier;
    if (event->key() == Qt::Key_C && !(event->modifiers() & blocking)) {
        m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace sifter::ui
