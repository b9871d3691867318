#pragma once
// The program's windows, created in their order, and the one search a command line with /A
// asks for before the user can act.

#include <memory>
#include <string>
#include <vector>

namespace sifter {
class SettingsFile;
}

namespace sifter::ui {

class TAboutBox;
class TForm1;
class TForm2;
class TForm3;

class Program final {
public:
    // Creates the windows; the main window reads `parameters` (the command line without the
    // program's own name) and the choices kept by earlier runs (platform::SettingsLocation)
    // while it is created, and is shown.
    explicit Program(std::vector<std::string> parameters);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the search the command line asked for, if it did.
    void RunAutoSearch();

    TForm1& Form1() const { return *m_form1; }
    TForm2& Form2() const { return *m_form2; }
    TForm3& Form3() const { return *m_form3; }
    TAboutBox& AboutBox() const { return *m_about; }

private:
    std::unique_ptr<SettingsFile> m_settings;  // outlives the main window, which keeps in it
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TAboutBox> m_about;
};

}  // namespace sifter::ui
