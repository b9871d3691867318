#pragma once
// TForm1, the main window (Form1): the search box, the options, the file type, the result list
// and the status bar. It owns the file set `FList` and routes every command and key.

#include <QMainWindow>
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "search/files/file_set.h"
#include "search/run/search_run.h"
#include "search/settings/kept_settings.h"
#include "ui/results/result_model.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace sifter {
class SettingsFile;
}

namespace sifter::ui {

class LineViewer;
class ResultList;
class ResultPanel;
class TAboutBox;
class TForm2;
class TForm3;

class TForm1 final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    // `parameters`: the command line without the program's own name. `settings`: where the
    // choices of earlier runs are read and this run's are kept; without it nothing is kept
    // beyond the run.
    explicit TForm1(std::vector<std::string> parameters, SettingsFile* settings = nullptr,
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // Set by the command line's /A; the program entry runs one search when it is set.
    bool AutoSearch = false;

    // The windows created after this one, which its commands show.
    void SetProgressWindow(TForm2* progress) { m_progress = progress; }
    void SetAboutBox(TAboutBox* about) { m_about = about; }
    void SetDirectoryChooser(TForm3* chooser) { m_chooser = chooser; }

    void UpdateStat();
    void pbSifterClick();
    void ResultsFont1Click();
    void SaveResultsToFile();
    void SaveToTable();
    void About1Click();
    void SearchDirectory1Click();
    void FileMasks1Click();
    // A double-click on a row of ListBox1, or F4: the viewer at the row's line. Rows that lead
    // to no line open nothing.
    void ViewRow(int row);
    // Ctrl+E on a row, or "Open in Editor" in its menu: the row's file in the editor, at its
    // line and, for a match row, at the column where its first match starts.
    void EditRow(int row);
    void Editor1Click();
    // The command that opens a file at a line (ui/editor/editor_command.h); empty, the
    // default, leaves it to the desktop's default application. Kept between runs.
    const std::string& EditorCommand() const { return m_kept.editor; }
    void SetEditorCommand(std::string command);
    // Ctrl+Z once the list has no deletion of its own left to undo: the list that the last
    // search or chosen directory replaced, as it stood, one step back.
    void BringBackEarlierList();

    // The file set as it stands: a walk of subdirectories still under way is finished first.
    FileSet& FList();
    // What a search would be asked now: the controls and the "&Options" menu as they stand.
    SearchRequest Request() const;
    QLineEdit* Edit1() const { return m_edit; }
    ResultList* ListBox1() const { return m_list; }
    QLabel* StatusPanel() const { return m_status; }
    // Panel 1: the options that differ from their defaults, or a note on the settings file;
    // hidden while it has nothing to say. Its tooltip holds the whole text.
    QLabel* OptionsPanel() const { return m_optionsPanel; }
    // What this run keeps: the texts searched and directories searched in among it.
    const KeptSettings& Kept() const { return m_kept; }
    // The line viewer, once a row has been opened.
    LineViewer* Viewer() const { return m_viewer; }
    FileType SelectedFileType() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A list with rows deleted since the last search or save is only given up after asking.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Runs `handler` on every `signal` of `sender`, behind the one error boundary (Guarded).
    template <typename Sender, typename Signal>
    void Route(Sender* sender, Signal signal, void (TForm1::*handler)());
    void BuildControls();
    void BuildMenus();
    void BuildOptionsMenu();
    // The options menu's check marks taken into the options.
    void OptionsChanged();
    // The file type's captions name the mask lists in force, cut only where the box is too
    // narrow for them.
    void ShowMaskCaptions();
    // The file type's box takes the room the window has beyond its documented width.
    void FitFileType();
    void ShowOptionsInSight();
    void ShowSettingsNote(const std::string& note);
    // main_window_kept.cpp: the choices of earlier runs taken back, this run's kept.
    void RestoreSettings();
    void KeepSettings();
    // The check items of the Options menu, its submenus' included.
    std::vector<QAction*> OptionItems() const;
    // Up (1) and Down (-1) in the search box: the texts searched, the latest first.
    void StepHistory(int step);
    // What a search that ran leaves to the next runs.
    void RememberSearch(const SearchRequest& request);
    // main_window_directories.cpp: what the chooser's OK does with the directory it hands back.
    void TakeDirectory(const std::string& chosen);
    void ShowRecentDirectories();
    // A folder dragged from a file manager, as the chooser's OK would take it; false for
    // anything else, which is left to whatever takes it.
    bool TakesDrop(QEvent* event);
    // UpdateStat's read of the file set: the documented read while the options leave the set
    // alone, else the walk, spread over the events that follow.
    void ReadFileSet();
    // A slice of the walk under way; the timer comes back for the next.
    void ContinueWalk();
    void FormCreate();
    void ParseParams();
    void SetStatus(const QString& text);
    // Before the list on show is replaced: kept for BringBackEarlierList when it has rows,
    // with the status it was shown with.
    void KeepShownList(const QString& status);
    // The bytes a search looks for.
    std::string SearchText() const;

    std::vector<std::string> m_parameters;
    // The search words of the command line, as the system handed them over.
    std::optional<std::string> m_commandText;
    TForm2* m_progress = nullptr;  // Form2
    TForm3* m_chooser = nullptr;   // Form3
    TAboutBox* m_about = nullptr;  // AboutBox
    FileSet m_files;               // FList
    // The search that made the rows on show: the viewer highlights what it found.
    SearchRequest m_shownSearch;
    SearchOptions m_searchOptions;
    QTimer* m_walkTimer = nullptr;
    LineViewer* m_viewer = nullptr;
    // A list replaced by a search or a chosen directory, with what went with it.
    struct ShownList {
        ResultModel::Contents contents;
        SearchRequest search;
        QString status;
        int current = 0;
    };
    std::optional<ShownList> m_earlierList;

    QFrame* m_topPanel = nullptr;  // Panel2
    QLineEdit* m_edit = nullptr;   // Edit1
    QGroupBox* m_options = nullptr;
    QCheckBox* m_doProcs = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QGroupBox* m_fileType = nullptr;  // FileType
    QRadioButton* m_scripts = nullptr;
    QRadioButton* m_pascal = nullptr;
    QPushButton* m_sifter = nullptr;  // pbSifter
    ResultPanel* m_resultPanel = nullptr;
    ResultList* m_list = nullptr;  // ListBox1
    QLabel* m_status = nullptr;    // panel 0 of StatusBar1
    QLabel* m_optionsPanel = nullptr;
    QString m_optionsShown;
    QString m_settingsNote;  // shown in place of the options until they change

    SettingsFile* m_settingsFile = nullptr;
    KeptSettings m_kept;
    std::map<std::string, bool> m_switchDefaults;
    bool m_restoring = false;
    int m_historyPlace = -1;  // the text searched on show; -1: the user's own
    std::string m_draft;      // the user's own text while a searched one is on show

    QMenu* m_editMenu = nullptr;
    QAction* m_searchDirectory = nullptr;
    QMenu* m_recentDirectories = nullptr;
    QAction* m_saveToFile = nullptr;
    QAction* m_saveToTable = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_resultsFont = nullptr;
    QAction* m_sifterAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_subdirectories = nullptr;
    QAction* m_wholeWords = nullptr;
    QAction* m_regexp = nullptr;
    QAction* m_fileMasks = nullptr;
    QAction* m_onlyMatched = nullptr;
    QAction* m_routines = nullptr;
    QMenu* m_searchIn = nullptr;
    QAction* m_inCode = nullptr;
    QAction* m_inComments = nullptr;
    QAction* m_inStrings = nullptr;
    QAction* m_editor = nullptr;
};

}  // namespace sifter::ui
