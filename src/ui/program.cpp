#include "ui/program.h"

#include "platform/platform.h"
#include "search/settings/settings_file.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/messages.h"

namespace sifter::ui {

Program::Program(std::vector<std::string> parameters)
    : m_settings(std::make_unique<SettingsFile>(platform::SettingsLocation())),
      m_form1(std::make_unique<TForm1>(std::move(parameters), m_settings.get())) {
    m_form1->show();
    m_form2 = std::make_unique<TForm2>();
    m_form1->SetProgressWindow(m_form2.get());
    // The chooser starts where the main window's start-up left the current directory.
    m_form3 = std::make_unique<TForm3>();
    m_form1->SetDirectoryChooser(m_form3.get());
    m_about = std::make_unique<TAboutBox>();
    m_form1->SetAboutBox(m_about.get());
}

Program::~Program() = default;

void Program::RunAutoSearch() {
    if (!m_form1->AutoSearch) return;
    m_form1->AutoSearch = false;
    Guarded([this] { m_form1->pbSifterClick(); });
}

}  // namespace sifter::ui
