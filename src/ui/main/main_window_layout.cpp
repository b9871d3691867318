// The controls and menus of the main window, placed at their fixed positions.

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "ui/conventions.h"
#include "ui/main/glyph_button.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"

namespace sifter::ui {
namespace {

constexpr int kTopPanelHeight = 69;
constexpr int kStatusHeight = 21;
constexpr int kStatusPanelWidth = 400;
constexpr int kStatusPanelTop = 2;  // the panels of a status bar start below a 2-pixel border
constexpr int kStatusPanelGap = 2;
// The file type's box as laid out: its width, its radio buttons' margin on either side.
constexpr int kFileTypeWidth = 129;
constexpr int kFileTypeInset = 8;
// The client area below the menu bar, status bar included.
constexpr int kClientWidth = 716;
constexpr int kClientHeight = 415;

template <typename Widget>
Widget* Place(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

}  // namespace

void TForm1::BuildControls() {
    setObjectName(names::kForm1);
    setFont(DialogFont());
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_topPanel = new QFrame(central);
    m_topPanel->setObjectName(names::kPanel2);
    m_topPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_topPanel->setFixedHeight(kTopPanelHeight);
    column->addWidget(m_topPanel);

    auto* label = Place(new QLabel(QStringLiteral("Search For:"), m_topPanel), names::kLabel1, 11,
                        12, 58, 13);
    m_edit = Place(new QLineEdit(m_topPanel), names::kEdit1, 71, 8, 370, 21);
    m_edit->setMaxLength(std::numeric_limits<int>::max());
    label->setBuddy(m_edit);

    m_options = Place(new QGroupBox(QStringLiteral("Options"), m_topPanel), names::kGroupBox1, 446,
                      2, 129, 59);
    m_doProcs = Place(new QCheckBox(QStringLiteral("Include &Procs"), m_options), names::kDoProcs,
                      8, 16, 92, 17);
    m_caseSensitive = Place(new QCheckBox(QStringLiteral("&Case Sensitive"), m_options),
                            names::kCaseSensitive, 8, 35, 92, 17);

    m_fileType = Place(new QGroupBox(QStringLiteral("File Type"), m_topPanel), names::kFileType,
                       580, 2, 129, 59);
    m_fileType->setToolTip(QStringLiteral("Sifter32: the kind of files to search"));
    m_scripts = Place(new QRadioButton(QStringLiteral("&Scripts (*.sc)"), m_fileType),
                      names::kFileType0, 8, 16, 113, 17);
    m_pascal = Place(new QRadioButton(QStringLiteral("P&ascal (*.pas)"), m_fileType),
                     names::kFileType1, 8, 35, 113, 17);
    m_pascal->setChecked(true);

    m_sifter = Place(new GlyphButton(QStringLiteral("S&ifter"), SifterGlyph(), m_topPanel),
                     names::kPbSifter, 72, 35, 72, 25);
    m_sifter->setIconSize(QSize(16, 16));
    m_sifter->setToolTip(QStringLiteral("Sifter32: list every line that holds the text"));
    m_sifter->setAutoDefault(false);

    m_resultPanel = new ResultPanel(central);
    m_resultPanel->setObjectName(names::kPanel1);
    m_list = m_resultPanel->List();
    column->addWidget(m_resultPanel, 1);
    setCentralWidget(central);

    statusBar()->setObjectName(names::kStatusBar1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(kStatusHeight);
    // The panel is placed by hand: the bar's own items get a frame of the bar's drawing around
    // their own, and a margin before the first.
    m_status = new QLabel(statusBar());
    m_status->setObjectName(names::kStatusPanel0);
    m_status->setGeometry(0, kStatusPanelTop, kStatusPanelWidth, kStatusHeight - kStatusPanelTop);
    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_status->setTextFormat(Qt::PlainText);
    m_optionsPanel = new QLabel(statusBar());
    m_optionsPanel->setObjectName(names::kStatusPanel1);
    m_optionsPanel->move(kStatusPanelWidth + kStatusPanelGap, kStatusPanelTop);
    m_optionsPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_optionsPanel->setTextFormat(Qt::PlainText);
    m_optionsPanel->hide();
    setAcceptDrops(true);

    setTabOrder(m_edit, m_doProcs);
    setTabOrder(m_doProcs, m_caseSensitive);
    setTabOrder(m_caseSensitive, m_scripts);
    setTabOrder(m_scripts, m_pascal);
    setTabOrder(m_pascal, m_sifter);
    setTabOrder(m_sifter, m_list);
    // The file type is one stop: Tab reaches the button that holds the check, the arrow keys
    // the other one.
    const auto oneStop = [this] {
        for (QRadioButton* button : {m_scripts, m_pascal})
            button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    connect(m_scripts, &QRadioButton::toggled, this, oneStop);
    oneStop();

    m_doProcs->setEnabled(false);
    m_caseSensitive->setEnabled(false);
    m_sifter->setEnabled(false);
    m_list->setEnabled(false);
    for (QWidget* keyed :
         {static_cast<QWidget*>(m_edit), static_cast<QWidget*>(m_sifter),
          static_cast<QWidget*>(m_doProcs), static_cast<QWidget*>(m_caseSensitive)})
        keyed->installEventFilter(this);
}

void TForm1::BuildMenus() {
    menuBar()->setObjectName(names::kMainMenu1);
    const auto item = [this](QMenu* menu, const char* name, const QString& text,
                             const QKeySequence& keys) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        // Shortcuts work whenever the item is enabled, also while its menu is disabled.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_searchDirectory = item(file, names::kSearchDirectory1, QStringLiteral("Search &Directory"),
                             QKeySequence(Qt::ALT | Qt::Key_D));
    m_recentDirectories = file->addMenu(QStringLiteral("&Recent Directories"));
    m_recentDirectories->setObjectName(names::kRecentDirectories1);
    m_recentDirectories->menuAction()->setEnabled(false);
    m_saveToFile = item(file, names::kSavetoFile1, QStringLiteral("Sa&ve to File"),
                        QKeySequence(Qt::ALT | Qt::Key_V));
    m_saveToTable = item(file, names::kSavetoTable1, QStringLiteral("Save to &Table"),
                         QKeySequence(Qt::ALT | Qt::Key_T));
    file->addSeparator();
    m_exit = item(file, names::kExit1, QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4));

    m_editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(names::kEdit1Menu);
    m_resultsFont =
        item(m_editMenu, names::kResultsFont1, QStringLiteral("Results Font"), QKeySequence());
    m_sifterAction =
        item(m_editMenu, names::kSifter1, QStringLiteral("&Sifter!"), QKeySequence(Qt::Key_F2));

    BuildOptionsMenu();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_aboutAction = item(help, names::kAbout1, QStringLiteral("&About"), QKeySequence());

    m_saveToFile->setEnabled(false);
    m_saveToTable->setEnabled(false);
    m_sifterAction->setEnabled(false);
    m_editMenu->menuAction()->setEnabled(false);

    // The window is sized so that its client area below the menu holds the fixed layout.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

void TForm1::FitFileType() {
    // Right of the box, the margin the documented layout leaves.
    const int margin = kClientWidth - m_fileType->x() - kFileTypeWidth;
    const int width = std::max(kFileTypeWidth, m_topPanel->width() - m_fileType->x() - margin);
    if (width == m_fileType->width()) return;
    m_fileType->resize(width, m_fileType->height());
    for (QRadioButton* button : {m_scripts, m_pascal})
        button->resize(width - 2 * kFileTypeInset, button->height());
    ShowMaskCaptions();
}

}  // namespace sifter::ui
