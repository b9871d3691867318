#pragma once
// The object names of the windows' controls, menus and items: the identifiers of the program's
// documentation, given as Qt object names so that the code and its documentation read alike.
// The window tests, the soak and the benchmarks find the controls by them, so each is written
// once, here.

namespace sifter::ui::names {

// The main window, TForm1, and its menus.
inline constexpr char kForm1[] = "Form1";
inline constexpr char kPanel2[] = "Panel2";  // the top panel with the controls
inline constexpr char kLabel1[] = "Label1";
inline constexpr char kEdit1[] = "Edit1";
inline constexpr char kGroupBox1[] = "GroupBox1";
inline constexpr char kDoProcs[] = "doProcs";
inline constexpr char kCaseSensitive[] = "CaseSensitive";
inline constexpr char kFileType[] = "FileType";
inline constexpr char kFileType0[] = "FileType0";  // scripts
inline constexpr char kFileType1[] = "FileType1";  // Pascal
inline constexpr char kPbSifter[] = "pbSifter";
inline constexpr char kPanel1[] = "Panel1";  // the result panel; the dialogs' outer panels too
inline constexpr char kStatusBar1[] = "StatusBar1";
inline constexpr char kStatusPanel0[] = "StatusPanel0";
inline constexpr char kStatusPanel1[] = "StatusPanel1";  // the options in force
inline constexpr char kWalkTimer[] = "WalkTimer";        // the steps of a walk of a whole tree
inline constexpr char kMainMenu1[] = "MainMenu1";
inline constexpr char kSearchDirectory1[] = "SearchDirectory1";
inline constexpr char kRecentDirectories1[] = "RecentDirectories1";
inline constexpr char kRecentDirectory[] = "RecentDirectory";  // and its number, from 1
inline constexpr char kSavetoFile1[] = "SavetoFile1";
inline constexpr char kSavetoTable1[] = "SavetoTable1";
inline constexpr char kExit1[] = "Exit1";
inline constexpr char kEdit1Menu[] = "Edit1Menu";
inline constexpr char kResultsFont1[] = "ResultsFont1";
inline constexpr char kSifter1[] = "Sifter1";
inline constexpr char kOptions1Menu[] = "Options1Menu";
inline constexpr char kIncludeSubdirectories1[] = "IncludeSubdirectories1";
inline constexpr char kWholeWords1[] = "WholeWords1";
inline constexpr char kRegularExpression1[] = "RegularExpression1";
inline constexpr char kFileMasks1[] = "FileMasks1";
inline constexpr char kAbout1[] = "About1";

// The result list and its popup menu.
inline constexpr char kListBox1[] = "ListBox1";
inline constexpr char kPopupMenu1[] = "PopupMenu1";
inline constexpr char kDeleteSelected1[] = "DeleteSelected1";
inline constexpr char kResultsFont2[] = "ResultsFont2";

// The dialogs' buttons.
inline constexpr char kOKButton[] = "OKButton";
inline constexpr char kCancelButton[] = "CancelButton";

// The file masks dialog.
inline constexpr char kMaskDialog[] = "MaskDialog";
inline constexpr char kScriptMasks[] = "ScriptMasks";
inline constexpr char kPascalMasks[] = "PascalMasks";
inline constexpr char kDefaultMasks[] = "DefaultMasks";
inline constexpr char kProjectMasks[] = "ProjectMasks";
inline constexpr char kLeaveOutDirectories[] = "LeaveOutDirectories";

// The font dialog.
inline constexpr char kFontFace[] = "FontFace";
inline constexpr char kFontStyle[] = "FontStyle";
inline constexpr char kFontSize[] = "FontSize";
inline constexpr char kStrikeOut[] = "StrikeOut";
inline constexpr char kUnderline[] = "Underline";
inline constexpr char kFontColour[] = "FontColour";

// The About box.
inline constexpr char kAboutBox[] = "AboutBox";
inline constexpr char kProgramIcon[] = "ProgramIcon";
inline constexpr char kProductName[] = "ProductName";
inline constexpr char kVersion[] = "Version";
inline constexpr char kLabel2[] = "Label2";
inline constexpr char kLabel3[] = "Label3";

// The directory chooser, TForm3.
inline constexpr char kForm3[] = "Form3";
inline constexpr char kDirectoryListbox1[] = "DirectoryListbox1";
inline constexpr char kDriveComboBox1[] = "DriveComboBox1";
inline constexpr char kBitBtn1[] = "BitBtn1";  // OK
inline constexpr char kBitBtn2[] = "BitBtn2";  // Cancel

// The progress window, TForm2 (its label is Label1).
inline constexpr char kForm2[] = "Form2";
inline constexpr char kGauge1[] = "Gauge1";

// The save dialog, and the parts Qt's own file dialog names, which the save dialog and the
// tests reach into.
inline constexpr char kSaveDialog1[] = "SaveDialog1";
inline constexpr char kFileNameEdit[] = "fileNameEdit";
inline constexpr char kFileTypeCombo[] = "fileTypeCombo";
inline constexpr char kFileDialogButtons[] = "buttonBox";

// The line viewer.
inline constexpr char kViewer[] = "Viewer";
inline constexpr char kLineView[] = "LineView";
inline constexpr char kViewerStatus[] = "ViewerStatus";
inline constexpr char kOpenInEditor[] = "OpenInEditor";

// Only the files with matches, the editor command and its dialog, and a row's editor.
inline constexpr char kOnlyFilesWithMatches1[] = "OnlyFilesWithMatches1";
inline constexpr char kEditor1[] = "Editor1";
inline constexpr char kOpenInEditor1[] = "OpenInEditor1";  // in PopupMenu1
inline constexpr char kEditorDialog[] = "EditorDialog";
inline constexpr char kEditorCommand[] = "EditorCommand";

// Pascal's own options: the routines of the matches, and the kinds of text searched.
inline constexpr char kShowRoutines1[] = "ShowRoutines1";
inline constexpr char kSearchIn1Menu[] = "SearchIn1Menu";
inline constexpr char kSearchInCode1[] = "SearchInCode1";
inline constexpr char kSearchInComments1[] = "SearchInComments1";
inline constexpr char kSearchInStrings1[] = "SearchInStrings1";
inline constexpr char kEditorPresets[] = "EditorPresets";

}  // namespace sifter::ui::names
