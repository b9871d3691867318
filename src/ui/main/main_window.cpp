#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "platform/platform.h"
#include "search/command_line.h"
#include "search/pattern/line_matcher.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/conventions.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/messages.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"
#include "ui/viewer/line_viewer.h"

namespace sifter::ui {
namespace {

const char* const kSaveToTableNotice =
    "The BDE files are not included with this build, so the \"Save To Table\" feature is disabled.";

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

template <typename Sender, typename Signal>
void TForm1::Route(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

TForm1::TForm1(std::vector<std::string> parameters, SettingsFile* settings, QWidget* parent)
    : QMainWindow(parent), m_parameters(std::move(parameters)), m_settingsFile(settings) {
    BuildControls();
    BuildMenus();
    // The panels that follow the window's width, once every control they ask exists.
    statusBar()->installEventFilter(this);
    m_topPanel->installEventFilter(this);
    m_walkTimer = new QTimer(this);
    m_walkTimer->setInterval(0);
    m_walkTimer->setObjectName(names::kWalkTimer);
    m_files.SetBusyCallback([](bool busy) { SetWaitCursor(busy); });
    // What is left of a tree's walk when a search needs it is listed on every core.
    m_files.SetWalkers(DefaultWorkers());

    Route(m_edit, &QLineEdit::textChanged, &TForm1::UpdateStat);
    Route(m_scripts, &QRadioButton::clicked, &TForm1::UpdateStat);
    Route(m_pascal, &QRadioButton::clicked, &TForm1::UpdateStat);
    Route(m_sifter, &QPushButton::clicked, &TForm1::pbSifterClick);
    Route(m_sifterAction, &QAction::triggered, &TForm1::pbSifterClick);
    Route(m_saveToFile, &QAction::triggered, &TForm1::SaveResultsToFile);
    Route(m_saveToTable, &QAction::triggered, &TForm1::SaveToTable);
    connect(m_exit, &QAction::triggered, this, &QWidget::close);
    Route(m_searchDirectory, &QAction::triggered, &TForm1::SearchDirectory1Click);
    Route(m_aboutAction, &QAction::triggered, &TForm1::About1Click);
    Route(m_resultsFont, &QAction::triggered, &TForm1::ResultsFont1Click);
    Route(m_subdirectories, &QAction::triggered, &TForm1::OptionsChanged);
    Route(m_wholeWords, &QAction::triggered, &TForm1::OptionsChanged);
    Route(m_regexp, &QAction::triggered, &TForm1::OptionsChanged);
    Route(m_fileMasks, &QAction::triggered, &TForm1::FileMasks1Click);
    Route(m_onlyMatched, &QAction::triggered, &TForm1::OptionsChanged);
    for (QAction* pascal : {m_routines, m_inCode, m_inComments, m_inStrings})
        Route(pascal, &QAction::triggered, &TForm1::OptionsChanged);
    Route(m_editor, &QAction::triggered, &TForm1::Editor1Click);
    Route(m_list, &ResultList::EarlierListRequested, &TForm1::BringBackEarlierList);
    Route(m_walkTimer, &QTimer::timeout, &TForm1::ContinueWalk);
    Route(m_list, &ResultList::SearchRequested, &TForm1::pbSifterClick);
    connect(m_list, &ResultList::CloseRequested, this, &QWidget::close);
    connect(m_list, &ResultList::ViewRequested, this,
            [this](int row) { Guarded([this, row] { ViewRow(row); }); });
    connect(m_list, &ResultList::EditRequested, this,
            [this](int row) { Guarded([this, row] { EditRow(row); }); });
    // The context menu's entry runs the main menu's item, which is never disabled itself.
    connect(m_list, &ResultList::FontRequested, m_resultsFont, &QAction::trigger);

    Guarded([this] {
        // The layout's mask, before the window's own start-up reads the directory.
        m_files.SetMask(std::string(FileMask(FileType::Scripts)));
    });
    Guarded([this] { FormCreate(); });
    Guarded([this] { RestoreSettings(); });
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    m_edit->setFocus();
}

TForm1::~TForm1() = default;

FileType TForm1::SelectedFileType() const {
    return m_scripts->isChecked() ? FileType::Scripts : FileType::Pascal;
}

void TForm1::FormCreate() {
    const platform::PathResult current = platform::System().CurrentDirectory();
    if (current.error == 0) m_files.SetDirectory(current.path);
    m_files.Refresh();
    AutoSearch = false;
    if (!m_parameters.empty()) ParseParams();
    UpdateStat();
}

void TForm1::ParseParams() {
    const StartupRequest request = sifter::ParseParams(m_parameters, platform::IsExistingDirectory);
    if (request.directory) {
        m_files.SetDirectory(*request.directory);
        m_files.Refresh();
    }
    if (request.searchText) {
        m_commandText = request.searchText;
        m_edit->setText(DisplayText(*m_commandText));
    }
    AutoSearch = request.autoSearch;
}

std::string TForm1::SearchText() const {
    // The box shows the command line's words decoded, which need not give back their bytes;
    // until the user edits them (and again once every edit is undone), the bytes are searched.
    if (m_commandText && !m_edit->isModified()) return *m_commandText;
    return EngineBytes(m_edit->text());
}

void TForm1::UpdateStat() {
    setWindowTitle(QStringLiteral("Sifter32 - Search Path: ") + DisplayText(m_files.Directory()));
    repaint();
    const bool hasText = !m_edit->text().isEmpty();
    m_sifter->setEnabled(hasText);
    m_sifterAction->setEnabled(hasText);
    m_doProcs->setEnabled(hasText && SelectedFileType() == FileType::Scripts);
    if (!m_doProcs->isEnabled()) m_doProcs->setChecked(false);
    // Kept as they are for the next search of Pascal sources.
    const bool pascal = SelectedFileType() == FileType::Pascal;
    m_routines->setEnabled(pascal);
    m_searchIn->menuAction()->setEnabled(pascal);
    m_caseSensitive->setEnabled(hasText);
    ShowOptionsInSight();
    const bool hasRows = m_list->RowCount() > 0;
    m_list->setEnabled(hasRows);
    m_saveToFile->setEnabled(hasRows);
    m_saveToTable->setEnabled(hasRows);
    ReadFileSet();
    m_editMenu->menuAction()->setEnabled(hasText);
}

void TForm1::SetStatus(const QString& text) {
    m_status->setText(text);
}

SearchRequest TForm1::Request() const {
    SearchRequest request;
    request.fileType = SelectedFileType();
    request.text = SearchText();
    request.rules = {.caseSensitive = m_caseSensitive->isChecked(),
                     .wholeWords = m_wholeWords->isChecked(),
                     .regexp = m_regexp->isChecked()};
    request.includeProcs = m_doProcs->isChecked();
    request.options = m_searchOptions;
    return request;
}

void TForm1::pbSifterClick() {
    const SearchRequest request = Request();
    // A request that cannot run is refused before anything is read; the list stays.
    if (const std::optional<std::string> problem = RequestProblem(request)) {
        ShowWarning(DisplayText(*problem));
        m_edit->setFocus();
        return;
    }
    const FileType type = request.fileType;
    if (m_files.Refreshing()) {
        WaitCursor hourglass;
        FList();
    }
    if (m_files.Count() == 0) {
        ShowInformation(DisplayText(EmptySetMessage(type, m_files.Directory(), m_searchOptions)));
        return;
    }
    auto pictures = std::make_shared<const EntryPictures>();
    const QString shownStatus = m_status->text();
    SetStatus(QStringLiteral(" Searching... "));
    repaint();
    WaitCursor hourglass;
    m_list->hide();
    KeepShownList(shownStatus);
    m_list->Clear();

    ResultRows rows;
    const SearchSummary summary = RunSearch(request, m_files, rows, m_progress);

    m_list->SetRows(std::move(rows), std::move(pictures));
    m_shownSearch = request;
    m_list->show();
    m_list->setEnabled(true);
    m_list->setFocus();
    m_list->SelectFirstRow();
    SetStatus(DisplayText(SummaryText(request.text, summary)));
    RememberSearch(request);
    UpdateStat();
}

void TForm1::ViewRow(int row) {
    const ResultRows& rows = m_list->Model().Rows();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
    const RowOrigin origin = rows.Origin(static_cast<std::size_t>(row));
    if (!origin.Leads()) return;
    if (m_viewer == nullptr) {
        m_viewer = new LineViewer(this);
        m_viewer->SetEditorCommand([this] { return EditorCommand(); });
    }
    m_viewer->Open(std::string(rows.FilePath(origin.file)), origin.line,
                   LineMatcher(m_shownSearch.text, m_shownSearch.rules),
                   PascalAware(m_shownSearch) ? m_shownSearch.options.searchIn : SearchIn{});
}

void TForm1::ResultsFont1Click() {
    const std::optional<FontChoice> chosen =
        ChooseFont(this, {m_list->font(), m_list->TextColour()});
    if (!chosen) return;
    m_list->setFont(chosen->font);
    m_list->SetTextColour(chosen->colour);
}

void TForm1::SearchDirectory1Click() {
    if (m_chooser == nullptr || m_chooser->exec() != QDialog::Accepted) return;
    TakeDirectory(m_chooser->Directory());
}

void TForm1::TakeDirectory(const std::string& chosen) {
    // The chooser made it current already unless it vanished since; a failure shows below.
    platform::System().SetCurrentDirectory(chosen);
    // A walk of the new tree waits for UpdateStat, which spreads it over the events after it.
    m_files.SetListing({});
    m_files.SetDirectory(chosen);
    m_files.Refresh();
    KeepShownList(m_status->text());
    SetStatus(QString());
    m_list->Clear();
    UpdateStat();
    m_edit->setFocus();
}

void TForm1::About1Click() {
    if (m_about != nullptr) m_about->ShowModal();
}

void TForm1::SaveToTable() {
    ShowInformation(QString::fromLatin1(kSaveToTableNotice));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // The panels are watched for their size alone: keys that reach them are their children's.
    if (watched == statusBar() || watched == m_topPanel) {
        if (event->type() == QEvent::Resize && watched == m_topPanel) FitFileType();
        if (event->type() == QEvent::Resize && watched == statusBar()) ShowOptionsInSight();
        return QMainWindow::eventFilter(watched, event);
    }
    // A folder dropped on the search box is the window's, not a text to type.
    if (watched == m_edit && TakesDrop(event)) return true;
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    if (watched == m_edit && (key == Qt::Key_Up || key == Qt::Key_Down) &&
        (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        Guarded([this, key] { StepHistory(key == Qt::Key_Up ? 1 : -1); });
        return true;
    }
    if (key == Qt::Key_Escape) {
        close();
        return true;
    }
    // In the search box, once a chosen directory has emptied the list, Ctrl+Z brings it back
    // before it undoes any typing.
    if (watched == m_edit && key == Qt::Key_Z &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::ControlModifier && m_earlierList &&
        m_list->RowCount() == 0 && !m_list->Model().CanUndo()) {
        Guarded([this] { BringBackEarlierList(); });
        return true;
    }
    if (IsEnterKey(key)) {
        // In the search box Enter needs a text; on the button and the check boxes it does not.
        if (watched != m_edit || !m_edit->text().isEmpty()) Guarded([this] { pbSifterClick(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Only a key on the window itself closes it; keys that other controls leave alone (the
    // file type's, for one) do nothing.
    const QWidget* focus = QApplication::focusWidget();
    if (event->key() == Qt::Key_Escape && (focus == nullptr || focus == this)) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace sifter::ui
