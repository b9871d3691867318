// The main window's "&Options" menu: subdirectories, whole words, regular expressions, the
// file masks, only the files with matches, Pascal's routines and kinds of text, and the editor, the
// options in force in sight, and the walk of a whole tree spread over the events after each
// UpdateStat.

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTimer>

#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

// A slice of a walk stays below what a person notices between a key and its letter.
constexpr qint64 kWalkSliceMilliseconds = 8;

const QString kOptionsSeparator = QStringLiteral(" \u00B7 ");

}  // namespace

void TForm1::BuildOptionsMenu() {
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(names::kOptions1Menu);
    const auto item = [this](QMenu* menu, const char* name, const QString& text, bool checkable) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        addAction(action);
        return action;
    };
    m_subdirectories = item(options, names::kIncludeSubdirectories1,
                            QStringLiteral("Include &Subdirectories"), true);
    m_wholeWords = item(options, names::kWholeWords1, QStringLiteral("&Whole Words"), true);
    m_regexp =
        item(options, names::kRegularExpression1, QStringLiteral("Regular E&xpression"), true);
    m_fileMasks = item(options, names::kFileMasks1, QStringLiteral("File &Masks..."), false);
    options->addSeparator();
    m_onlyMatched = item(options, names::kOnlyFilesWithMatches1,
                         QStringLiteral("&Only Files with Matches"), true);
    // Pascal only: disabled while scripts are the file type (UpdateStat).
    m_routines = item(options, names::kShowRoutines1, QStringLiteral("Show &Routines"), true);
    m_searchIn = options->addMenu(QStringLiteral("Search &In"));
    m_searchIn->setObjectName(QString::fromLatin1(names::kSearchIn1Menu));
    m_inCode = item(m_searchIn, names::kSearchInCode1, QStringLiteral("&Code"), true);
    m_inComments = item(m_searchIn, names::kSearchInComments1, QStringLiteral("Co&mments"), true);
    m_inStrings = item(m_searchIn, names::kSearchInStrings1, QStringLiteral("&Strings"), true);
    for (QAction* kind : {m_inCode, m_inComments, m_inStrings}) kind->setChecked(true);
    m_editor = item(options, names::kEditor1, QStringLiteral("&Editor..."), false);
}

FileSet& TForm1::FList() {
    m_files.FinishRefresh();
    m_walkTimer->stop();
    return m_files;
}

void TForm1::OptionsChanged() {
    m_searchOptions.subdirectories = m_subdirectories->isChecked();
    m_searchOptions.onlyFilesWithMatches = m_onlyMatched->isChecked();
    m_searchOptions.routines = m_routines->isChecked();
    m_searchOptions.searchIn = {m_inCode->isChecked(), m_inComments->isChecked(),
                                m_inStrings->isChecked()};
    UpdateStat();
}

void TForm1::FileMasks1Click() {
    const FileMaskChoice current{m_searchOptions.masks, m_searchOptions.leaveOut};
    const std::optional<FileMaskChoice> chosen = ChooseMasks(this, current, SelectedFileType());
    if (!chosen || *chosen == current) return;
    m_searchOptions.masks = chosen->masks;
    m_searchOptions.leaveOut = chosen->leaveOut;
    ShowMaskCaptions();
    UpdateStat();
    KeepSettings();
}

void TForm1::ShowOptionsInSight() {
    // The banner's own names, so that the window and the rows never disagree.
    QString options;
    for (const std::string& name : OptionNames(Request()))
        options +=
            (options.isEmpty() ? QStringLiteral(" ") : kOptionsSeparator) + DisplayText(name);
    if (options != m_optionsShown) {
        m_optionsShown = options;
        m_settingsNote.clear();
    }
    const QString& text = m_settingsNote.isEmpty() ? options : m_settingsNote;
    // Empty, the panel would show a frame the documented status bar does not have.
    m_optionsPanel->setVisible(!text.isEmpty());
    m_optionsPanel->resize(std::max(0, statusBar()->width() - m_optionsPanel->x()),
                           m_status->height());
    m_optionsPanel->setToolTip(text);
    const int room = m_optionsPanel->contentsRect().width();
    m_optionsPanel->setText(m_optionsPanel->fontMetrics().elidedText(text, Qt::ElideRight, room));
}

void TForm1::ShowSettingsNote(const std::string& note) {
    m_settingsNote = QStringLiteral(" ") + DisplayText(note);
    ShowOptionsInSight();
}

void TForm1::ShowMaskCaptions() {
    const struct {
        QRadioButton* button;
        FileType type;
        const char* name;  // its mnemonic is the name's only '&'
    } items[] = {{m_scripts, FileType::Scripts, "&Scripts"},
                 {m_pascal, FileType::Pascal, "P&ascal"}};
    for (const auto& item : items) {
        const QString name = QString::fromLatin1(item.name);
        const QString masks = DisplayText(m_searchOptions.Masks(item.type));
        QString caption = name + QStringLiteral(" (") + masks + QLatin1Char(')');
        item.button->setToolTip(QString());
        if (m_searchOptions.MasksChanged(item.type)) {
            // Cut to the room beside the button's circle; the whole list is the tooltip.
            QStyleOptionButton option;
            option.initFrom(item.button);
            const int room =
                item.button->style()
                    ->subElementRect(QStyle::SE_RadioButtonContents, &option, item.button)
                    .width();
            const qsizetype mnemonic = name.indexOf(QLatin1Char('&'));
            QString shown = caption;
            shown.remove(mnemonic, 1);
            shown = item.button->fontMetrics().elidedText(shown, Qt::ElideRight, room);
            caption = shown.insert(mnemonic, QLatin1Char('&'));
            item.button->setToolTip(masks);
        }
        item.button->setText(caption);
    }
}

void TForm1::ReadFileSet() {
    const FileListing wanted = ListingFor(m_searchOptions, SelectedFileType());
    m_files.SetListing(wanted.listing);
    if (!wanted.listing.subdirectories) {
        m_walkTimer->stop();
        m_files.SetMask(wanted.mask);
        m_files.Refresh();
        return;
    }
    // The walk of a large tree would hold up every key typed: it goes on between the events,
    // and whatever needs the set finishes it first (FList).
    m_files.StoreMask(wanted.mask);
    m_files.BeginRefresh();
    m_walkTimer->start();
}

void TForm1::ContinueWalk() {
    QElapsedTimer slice;
    slice.start();
    while (!m_files.ContinueRefresh(1))
        if (slice.elapsed() >= kWalkSliceMilliseconds) return;
    m_walkTimer->stop();
}

}  // namespace sifter::ui
