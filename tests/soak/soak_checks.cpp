// The rules of searching, deleting, undoing (across a search too) and choosing a directory:
// the rows, the status bar and the message boxes each of them leaves.

#include "soak_checks.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/platform.h"
#include "result_list_support.h"
#include "search/pattern/pattern_matcher.h"
#include "soak_answers.h"
#include "soak_session.h"
#include "soak_world.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/conventions.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"

namespace sifter::soak {
namespace {

namespace names = ui::names;

const QString kNothingSelected = QStringLiteral(" Nothing selected. ");
const QString kBadName = QStringLiteral("File access error - probably a bad filename.");
const QString kTableNotice = QStringLiteral(
    "The BDE files are not included with this build, so the \"Save To Table\" feature is "
    "disabled.");
const QString kEditorRefused =
    QStringLiteral("The file could not be handed to the desktop's editor");
const QString kCommandFailed = QStringLiteral("The editor command \"");
const QString kCommandRefused = QStringLiteral("The editor command cannot be used: ");

// What the File Masks dialog says of a list it refuses.
const QRegularExpression kMaskRefused(
    QStringLiteral("^(The list of file masks (is empty|holds an empty mask)|The mask \".*\" "
                   "holds a)"));

// The texts of the I/O errors that files and directories removed under the program's feet,
// and a volume that is not ready, may raise.
const QRegularExpression kIoError(
    QStringLiteral("^(File not found|Invalid filename|File access denied|I/O error \\d+)\\.$"));

// The first place two row lists differ, in words.
QString Difference(const std::vector<std::string>& actual,
                   const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString shown = i < actual.size() ? Quoted(actual[i]) : QStringLiteral("(none)");
        const QString wanted = i < expected.size() ? Quoted(expected[i]) : QStringLiteral("(none)");
        if (shown != wanted)
            return QStringLiteral("row %1 is %2, expected %3 (%4 rows, expected %5)")
                .arg(i)
                .arg(shown, wanted)
                .arg(actual.size())
                .arg(expected.size());
    }
    return {};
}

bool Enterable(const std::string& directory, const std::string& notReady) {
    std::error_code ignored;
    return std::filesystem::is_directory(directory, ignored) && directory.rfind(notReady, 0) != 0;
}

}  // namespace

QString Quoted(const std::string& bytes) {
    return QLatin1Char('"') + ui::DisplayText(bytes) + QLatin1Char('"');
}

Before::~Before() {
    if (currentFd >= 0) ::close(currentFd);
}

void TakeBefore(Session& session, const FakeDesktop& desktop, Before& before) {
    ui::TForm1& form = session.Form1();
    before.text = session.Edit1()->text();
    before.scripts = form.SelectedFileType() == FileType::Scripts;
    before.rules = {.caseSensitive = session.CaseSensitive()->isChecked(),
                    .wholeWords = session.Item(names::kWholeWords1)->isChecked(),
                    .regexp = session.Item(names::kRegularExpression1)->isChecked()};
    before.includeProcs = session.DoProcs()->isChecked();
    before.sifterEnabled = session.Item(names::kSifter1)->isEnabled();
    before.saveEnabled = session.Item(names::kSavetoFile1)->isEnabled();
    before.rows = test::RowTexts(session.ListBox1()->Model().Rows());
    before.selected = test::SelectedRows(*session.ListBox1());
    before.names = form.FList().Names();
    before.unreadable = form.FList().Unreadable();
    before.options = form.Request().options;
    before.directory = form.FList().Directory();
    before.currentFd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const platform::PathResult current = platform::System().CurrentDirectory();
    before.shownDirectory = current.error == 0 ? current.path : before.directory;
    before.status = form.StatusPanel()->text();
    before.clipboard = QGuiApplication::clipboard()->text();
    before.focus = form.focusWidget();
    before.menuOpen = QApplication::activePopupWidget() != nullptr;
    before.mainActive = QApplication::activeWindow() == &form;
    before.editorOpens = desktop.opened.size();
    before.editorStarts = desktop.started.size();
    before.editorRefusals = desktop.refusals;
    before.editorCommand = form.EditorCommand();
}

bool Context::KeyOnMain(Qt::Key key, Qt::KeyboardModifiers modifiers) const {
    return facts.action != nullptr && facts.action->IsKey(key, modifiers) && !before.menuOpen &&
           facts.action->target == &session.Form1();
}

QStringList Check(const Facts& facts, const Before& before, Session& session, Model& model,
                  const DialogAnswers& answers, const FakeDesktop& desktop) {
    Context c{facts, before, session, model, answers, desktop, {}, false, false, false, {}};
    ui::TForm1& form = session.Form1();
    ui::ResultList& list = *session.ListBox1();
    const Seen& seen = session.seen();
    const QWidget* focus = before.focus;
    const bool focusOnList = focus == &list;
    const bool focusSearches = focus == session.Sifter() || focus == session.DoProcs() ||
                               focus == session.CaseSensitive() || focusOnList;

    // Closing: Escape where the window handles it, Alt+F4 and "Exit" end the program.
    const bool escapeCloses =
        c.KeyOnMain(Qt::Key_Escape) &&
        (focus == nullptr || focus == &form || focus == session.Edit1() || focusSearches);
    const bool closes = escapeCloses ||
                        (c.KeyOnMain(Qt::Key_F4, Qt::AltModifier) && before.mainActive) ||
                        seen.triggered.contains(QLatin1String(names::kExit1));
    if (CheckClosing(c, closes)) return c.problems;
    c.rows = test::RowTexts(list.Model().Rows());

    // Searching: what starts one, what it shows.
    const FileType type = before.scripts ? FileType::Scripts : FileType::Pascal;
    // A search runs with the options as the action found them: choosing one is an action.
    const SearchOptions& options = before.options;
    const std::string what = options.Masks(type) != FileMask(type)
                                 ? options.Masks(type)
                                 : std::string(FileExtension(type));
    const QString emptySet =
        ui::DisplayText(" No " + what + " files in " + before.directory +
                        (options.subdirectories ? " or its subdirectories." : "."));
    const bool enterSearches =
        (c.KeyOnMain(Qt::Key_Return) || c.KeyOnMain(Qt::Key_Enter)) &&
        ((focus == session.Edit1() && !before.text.isEmpty()) || focusSearches);
    const bool mustSearch = enterSearches || facts.autoSearch ||
                            (c.KeyOnMain(Qt::Key_F2) && before.mainActive && before.sifterEnabled);
    const bool maySearch = mustSearch || seen.triggered.contains(QLatin1String(names::kSifter1)) ||
                           seen.sifterClicks > 0 || seen.searchRequests > 0;
    c.searchRan = seen.searches > 0;
    // A pattern that cannot be used is refused in a warning box instead of a search.
    std::optional<std::string> problem;
    if (before.rules.regexp) problem = PatternProblem(before.text.toStdString(), before.rules);
    const QString badPattern = problem ? ui::DisplayText(*problem) : QString();
    bool emptySetShown = false;
    for (const ui::Message& message : answers.Messages())
        emptySetShown |= message.text == emptySet || (problem && message.text == badPattern);
    c.Expect(!mustSearch || c.searchRan || emptySetShown,
             QStringLiteral("a search was asked for, but none ran and no message said why"));
    c.Expect(!(c.searchRan || emptySetShown) || maySearch,
             QStringLiteral("a search ran, but nothing that starts one was pressed or chosen"));
    // A second click in one action (a double click on the button) finds the names that the
    // first search's UpdateStat read again, which may be none.
    std::error_code ignored;
    const bool emptyNow = std::filesystem::is_directory(before.directory, ignored) &&
                          ExpectedNames(before.directory, type, options).empty();
    const bool emptySetMaySay = before.names.empty() || (c.searchRan && emptyNow);
    c.Expect(!c.searchRan || !before.names.empty(),
             QStringLiteral("a search ran over an empty file set instead of saying so"));

    // Deleting rows.
    const bool deleting = (c.KeyOnMain(Qt::Key_Delete) && focusOnList) ||
                          seen.triggered.contains(QLatin1String(names::kDeleteSelected1));
    const bool nothingSelected = deleting && before.selected.empty();
    const bool ctrlZ = c.KeyOnMain(Qt::Key_Z, Qt::ControlModifier);
    const bool undoing = ctrlZ && focusOnList && !model.deletions.empty();
    // With no deletion left, the list a search or a chosen directory replaced; in the search box
    // once the list is empty.
    const bool bringingBack = ctrlZ && model.earlier && model.deletions.empty() &&
                              (focusOnList || (focus == session.Edit1() && before.rows.empty()));
    const auto keep = [&](std::vector<std::string> rows, const QString& status) {
        if (rows.empty()) return;
        model.earlier = ListState{std::move(rows), std::move(model.deletions), model.savedId,
                                  status, model.search};
        model.deletions.clear();
        model.savedId = 0;
    };

    // Choosing a directory.
    ui::TForm3& chooser = session.Program().Form3();
    c.chooserTookDirectory = seen.chooserAccepted && Enterable(chooser.Directory(), model.notReady);

    if (c.searchRan) {
        SearchRequest request;
        request.fileType = type;
        request.text = before.text.toStdString();
        request.rules = before.rules;
        request.includeProcs = before.includeProcs;
        request.options = options;
        // A second search in one action (a double click on the button) goes over the names that
        // the first one's UpdateStat read again, in the file set's directory made current.
        const bool again =
            seen.searches > 1 && std::filesystem::is_directory(before.directory, ignored);
        const std::vector<std::string> names =
            again ? ExpectedNames(before.directory, request.fileType, options) : before.names;
        const int againFd =
            again ? ::open(before.directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        const ExpectedSearch expected =
            again ? ExpectedRows(names, againFd, before.directory, request)
                  : ExpectedRows(names, before.currentFd, before.shownDirectory, request,
                                 before.unreadable);
        if (againFd >= 0) ::close(againFd);
        c.Expect(c.rows == expected.rows,
                 QStringLiteral("the search's rows are not the files' lines: ") +
                     Difference(c.rows, expected.rows));
        const auto summaryOf = [&](const ExpectedSearch& search, std::size_t files) {
            return ui::DisplayText(" Sifter32 Found " + std::to_string(search.matches) +
                                   " instances of \"" + request.text + "\" in " +
                                   std::to_string(files) + " files");
        };
        keep(before.rows, before.status);
        // The second search of one action replaced the first one's list.
        if (again) {
            const ExpectedSearch first = ExpectedRows(
                before.names, before.currentFd, before.shownDirectory, request, before.unreadable);
            keep(first.rows, summaryOf(first, before.names.size()));
        }
        model.rows = static_cast<std::int64_t>(expected.rows.size());
        model.deletions.clear();
        model.savedId = 0;
        model.search = request;
        const QString summary = summaryOf(expected, names.size());
        c.Expect(form.StatusPanel()->text() == summary,
                 QStringLiteral("the status bar reads \"%1\" after a search, expected \"%2\"")
                     .arg(form.StatusPanel()->text(), summary));
        c.Expect(test::SelectedRows(list) == std::vector<int>{0} && list.currentIndex().row() == 0,
                 QStringLiteral("after a search the banner is not the one selected, current row"));
    } else if (deleting && !before.selected.empty()) {
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < before.rows.size(); ++i)
            if (!std::binary_search(before.selected.begin(), before.selected.end(),
                                    static_cast<int>(i)))
                kept.push_back(before.rows[i]);
        c.Expect(c.rows == kept, QStringLiteral("deleting the selected rows left other rows: ") +
                                     Difference(c.rows, kept));
        model.rows -= static_cast<std::int64_t>(before.selected.size());
        model.deletions.push_back({before.rows, before.selected, ++model.lastId});
        c.Expect(test::SelectedRows(list).empty(),
                 QStringLiteral("rows are selected after a deletion"));
    } else if (undoing) {
        const Deletion undone = std::move(model.deletions.back());
        model.deletions.pop_back();
        c.Expect(c.rows == undone.rows,
                 QStringLiteral("Ctrl+Z did not put the deleted rows back in their places: ") +
                     Difference(c.rows, undone.rows));
        model.rows += static_cast<std::int64_t>(undone.selected.size());
        c.Expect(test::SelectedRows(list) == undone.selected &&
                     list.currentIndex().row() == undone.selected.front(),
                 QStringLiteral("after Ctrl+Z the rows put back are not the selected ones, with "
                                "the first of them current"));
    } else if (bringingBack) {
        ListState earlier = std::move(*model.earlier);
        model.earlier.reset();
        c.Expect(c.rows == earlier.rows,
                 QStringLiteral("Ctrl+Z did not bring back the list before: ") +
                     Difference(c.rows, earlier.rows));
        c.Expect(form.StatusPanel()->text() == earlier.status,
                 QStringLiteral("the list brought back shows \"%1\", expected \"%2\"")
                     .arg(form.StatusPanel()->text(), earlier.status));
        model.rows = static_cast<std::int64_t>(earlier.rows.size());
        model.deletions = std::move(earlier.deletions);
        model.savedId = earlier.savedId;
        model.search = earlier.search;
    } else if (c.chooserTookDirectory) {
        keep(before.rows, before.status);
        model.rows = 0;
        model.deletions.clear();
        model.savedId = 0;
        model.directory = chooser.Directory();
        c.Expect(form.StatusPanel()->text().isEmpty(),
                 QStringLiteral("the status bar keeps \"%1\" after a new directory")
                     .arg(form.StatusPanel()->text()));
    } else {
        c.Expect(c.rows == before.rows, QStringLiteral("the rows changed without a search, a "
                                                       "deletion, an undo or a new directory: ") +
                                            Difference(c.rows, before.rows));
    }
    if (!c.searchRan && !c.chooserTookDirectory && !bringingBack)
        c.Expect(form.StatusPanel()->text() == before.status,
                 QStringLiteral("the status bar changed from \"%1\" to \"%2\"")
                     .arg(before.status, form.StatusPanel()->text()));
    c.Expect(static_cast<std::int64_t>(c.rows.size()) == model.rows,
             QStringLiteral("the list holds %1 rows; the last search, deletions and undos left %2")
                 .arg(c.rows.size())
                 .arg(model.rows));

    // Every message box has its cause in this action, and every cause its box.
    bool badSave = false;
    for (const SaveChoice& save : answers.Saves()) badSave |= !save.creatable;
    const bool tableChosen = seen.triggered.contains(QLatin1String(names::kSavetoTable1));
    const bool masksChosen = seen.triggered.contains(QLatin1String(names::kFileMasks1));
    const bool editorRefused = desktop.refusals > before.editorRefusals;
    const bool editorChosen = seen.triggered.contains(QLatin1String(names::kEditor1));
    int nothingSelectedBoxes = 0;
    for (const ui::Message& message : answers.Messages()) {
        const QString& text = message.text;
        bool expected = false;
        if (message.kind == ui::MessageKind::Plain) {
            expected = text == kNothingSelected && nothingSelected;
            nothingSelectedBoxes += text == kNothingSelected;
        } else if (message.kind == ui::MessageKind::Information) {
            expected = (text == emptySet && maySearch && emptySetMaySay) ||
                       (text == kTableNotice && tableChosen);
        } else if (message.kind == ui::MessageKind::Warning) {
            expected = (text == kBadName && badSave) ||
                       (problem && text == badPattern && maySearch) ||
                       (text.startsWith(kEditorRefused) && editorRefused) ||
                       (text.startsWith(kCommandRefused) && editorChosen) ||
                       (text.startsWith(kCommandFailed) && editorRefused) ||
                       (kMaskRefused.match(text).hasMatch() && masksChosen);
        } else {
            // An error box: an I/O error, or an editor command that could not be started.
            expected = kIoError.match(text).hasMatch() ||
                       (text.startsWith(kCommandFailed) && editorRefused);
        }
        c.Expect(expected, QStringLiteral("an unexpected message box: \"%1\"").arg(text));
    }
    c.Expect(
        !nothingSelected || nothingSelectedBoxes == 1,
        QStringLiteral("Delete with no row selected did not say \" Nothing selected. \" once"));
    c.problems += answers.Problems();

    // An option chosen reads the file set again; so do mask lists that changed.
    const bool optionsRead =
        seen.triggered.contains(QLatin1String(names::kIncludeSubdirectories1)) ||
        seen.triggered.contains(QLatin1String(names::kWholeWords1)) ||
        seen.triggered.contains(QLatin1String(names::kRegularExpression1)) ||
        seen.triggered.contains(QLatin1String(names::kOnlyFilesWithMatches1)) ||
        form.Request().options.masks != before.options.masks;
    // A save of the rows shown is what the list counts as kept from then on.
    bool saved = false;
    for (const SaveChoice& save : answers.Saves()) saved |= save.creatable;
    if (saved && !AnErrorBoxWasShown(answers))
        model.savedId = model.deletions.empty() ? 0 : model.deletions.back().id;
    c.updateStatRan = bringingBack || seen.textChanges > 0 || seen.typeClicks > 0 || c.searchRan ||
                      c.chooserTookDirectory || optionsRead || facts.action == nullptr;
    if (c.updateStatRan) model.rowsAtUpdateStat = c.rows.size();
    CheckControlStates(c);
    CheckTitleAndFileSet(c);
    CheckClipboard(c);
    CheckSaves(c);
    CheckViewerAndEditor(c);
    CheckNothingLeftOver(c);
    return c.problems;
}

}  // namespace sifter::soak
