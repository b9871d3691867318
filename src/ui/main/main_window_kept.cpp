// What the window keeps between runs in its settings file: the check marks of the Options menu,
// the mask lists, the editor command, the texts searched (Up and Down in the search box) and the
// directories searched in. The documented controls (the file type, the two check boxes) are
// not among them: they start as documented.

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>

#include "search/settings/settings_file.h"
#include "ui/conventions.h"
#include "ui/main/main_window.h"
#include "ui/messages.h"
#include "ui/object_names.h"

namespace sifter::ui {

std::vector<QAction*> TForm1::OptionItems() const {
    std::vector<QAction*> items;
    std::vector<const QMenu*> menus{
        menuBar()->findChild<QMenu*>(QString::fromLatin1(names::kOptions1Menu))};
    while (!menus.empty()) {
        const QMenu* menu = menus.back();
        menus.pop_back();
        if (menu == nullptr) continue;
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr)
                menus.push_back(action->menu());
            else if (action->isCheckable() && !action->objectName().isEmpty())
                items.push_back(action);
        }
    }
    return items;
}

void TForm1::RestoreSettings() {
    // An item's check mark as the menu was built is its default, which the file leaves out.
    for (QAction* item : OptionItems()) {
        m_switchDefaults[item->objectName().toStdString()] = item->isChecked();
        connect(item, &QAction::toggled, this, [this] { Guarded([this] { KeepSettings(); }); });
    }
    if (m_settingsFile == nullptr) return;
    const SettingsFile::Loaded loaded = m_settingsFile->Load();
    m_kept = loaded.settings;
    // What the steps below change is what the file holds already.
    m_restoring = true;
    const auto restored = qScopeGuard([this] { m_restoring = false; });
    for (QAction* item : OptionItems()) {
        const auto kept = m_kept.switches.find(item->objectName().toStdString());
        if (kept == m_kept.switches.end() || kept->second == item->isChecked()) continue;
        // In a group that always has one item checked, checking the kept one clears the others.
        const QActionGroup* group = item->actionGroup();
        if (!kept->second && group != nullptr &&
            group->exclusionPolicy() != QActionGroup::ExclusionPolicy::None)
            continue;
        // As a click on it, so that whatever the item sets follows it.
        item->trigger();
    }
    if (m_kept.masks != m_searchOptions.masks || m_kept.leaveOut != m_searchOptions.leaveOut) {
        m_searchOptions.masks = m_kept.masks;
        m_searchOptions.leaveOut = m_kept.leaveOut;
        ShowMaskCaptions();
        UpdateStat();
    }
    ShowRecentDirectories();
    if (!loaded.note.empty()) ShowSettingsNote(loaded.note);
}

void TForm1::KeepSettings() {
    if (m_settingsFile == nullptr || m_restoring) return;
    m_kept.switches.clear();
    for (const QAction* item : OptionItems()) {
        const std::string name = item->objectName().toStdString();
        if (item->isChecked() != m_switchDefaults[name]) m_kept.switches[name] = item->isChecked();
    }
    m_kept.masks = m_searchOptions.masks;
    m_kept.leaveOut = m_searchOptions.leaveOut;
    if (const std::string note = m_settingsFile->Save(m_kept); !note.empty())
        ShowSettingsNote(note);
}

void TForm1::SetEditorCommand(std::string command) {
    m_kept.editor = std::move(command);
    KeepSettings();
}

void TForm1::RememberSearch(const SearchRequest& request) {
    m_kept.RememberText(request.text);
    m_kept.RememberDirectory(m_files.Directory());
    m_historyPlace = -1;
    ShowRecentDirectories();
    KeepSettings();
}

void TForm1::StepHistory(int step) {
    const std::vector<std::string>& texts = m_kept.texts;
    // A text searched that the user has edited since is the user's own.
    if (m_historyPlace >= 0 &&
        m_edit->text() != DisplayText(texts[static_cast<std::size_t>(m_historyPlace)]))
        m_historyPlace = -1;
    const int next = m_historyPlace + step;
    if (next < -1 || next >= static_cast<int>(texts.size())) return;
    if (m_historyPlace == -1) m_draft = SearchText();
    m_historyPlace = next;
    // The bytes themselves are searched until the text is edited, as the command line's are.
    m_commandText = next == -1 ? m_draft : texts[static_cast<std::size_t>(next)];
    m_edit->setText(DisplayText(*m_commandText));
}

}  // namespace sifter::ui
