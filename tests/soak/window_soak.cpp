// The window program under random input for a while: keys, words and clicks into whatever
// window has them, every dialog and message box answered at random, the files changing
// underneath; after every action the program's rules are checked, not only that it still runs.
//   SIFTER32_SOAK_SECONDS  how long (10 unless set)
//   SIFTER32_SOAK_SEED     the seed of every choice (1 unless set); the same seed gives the
//                          same actions again
//   SIFTER32_SOAK_ACTIONS  stop after this many actions, however little time has passed: a
//                          failure's replay stops where it failed
//   SIFTER32_SOAK_TRACE    print every action as it ends

#include <fcntl.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/desktop.h"
#include "soak_answers.h"
#include "soak_checks.h"
#include "soak_driver.h"
#include "soak_log.h"
#include "soak_session.h"
#include "soak_world.h"
#include "test_support.h"
#include "ui/application_setup.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"

using namespace sifter::soak;
namespace names = sifter::ui::names;

namespace {

std::uint64_t Setting(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return fallback;
    return std::strtoull(value, nullptr, 10);
}

const std::uint64_t kSeconds = Setting("SIFTER32_SOAK_SECONDS", 10);
const std::uint64_t kSeed = Setting("SIFTER32_SOAK_SEED", 1);
const std::uint64_t kActions = Setting("SIFTER32_SOAK_ACTIONS", 0);
const bool kTrace = Setting("SIFTER32_SOAK_TRACE", 0) != 0;
// An action that takes longer than this has hung.
constexpr unsigned kActionLimitSeconds = 30;

// Lets what an action started finish: a mnemonic's animated click fires after 100 ms.
void Settle() {
    QCoreApplication::processEvents();
    const auto underway = [] {
        for (const QWidget* window : QApplication::topLevelWidgets())
            if (sifter::soak::ClickUnderway(*window)) return true;
        return false;
    };
    for (int wait = 0; wait < 100 && underway(); ++wait) QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QtMessageHandler g_testLog = nullptr;
// Qt's warnings since the last action: each one is a call the program should not have made.
QStringList g_warnings;

// The offscreen platform's notes on what it cannot do (raise a window, grab the keyboard)
// would bury the soak's own output, and are no fault of the program.
void WatchWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    if (type == QtWarningMsg || type == QtCriticalMsg)
        g_warnings.append(QStringLiteral("Qt warned: ") + message);
    if (g_testLog != nullptr) g_testLog(type, context, message);
}

// What a window manager does when the active window goes away: it activates another one. The
// offscreen platform leaves the activation with a hidden window.
void ActivateAShownWindow(Session& session) {
    const QWindow* focus = QGuiApplication::focusWindow();
    if (focus != nullptr && focus->isVisible()) return;
    std::vector<QWidget*> shown = session.ShownWindows();
    if (shown.empty()) return;
    shown.back()->windowHandle()->requestActivate();
    QCoreApplication::processEvents();
}

bool IsAutoSearch(const std::string& word) {
    return word == "/A" || word == "/a" || word == "-A" || word == "-a";
}

}  // namespace

class WindowSoak final : public QObject {
    Q_OBJECT

private slots:
    void randomInputKeepsEveryRule();

private:
    void Start();
    void Review(QStringList problems);

    std::unique_ptr<Random> m_random;
    std::unique_ptr<ActionLog> m_log;
    std::unique_ptr<SoakWorld> m_world;
    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<DialogAnswers> m_answers;
    std::unique_ptr<Driver> m_driver;
    std::unique_ptr<FailureReport> m_report;
    std::unique_ptr<Session> m_session;
    Model m_model;
    sifter::MatchRules m_keptRules;
    sifter::SearchOptions m_keptOptions;
    int m_starts = 0;
    bool m_failed = false;
};

void WindowSoak::Start() {
    // What the run that ended leaves to the next one in the settings file: the options it had.
    if (m_session) {
        m_keptRules = {.wholeWords = m_session->Item(names::kWholeWords1)->isChecked(),
                       .regexp = m_session->Item(names::kRegularExpression1)->isChecked()};
        m_keptOptions = m_session->Form1().Request().options;
    }
    m_session.reset();
    const std::vector<std::string> parameters = m_driver->ChooseCommandLine();
    std::string line = "start sifter32";
    for (const std::string& parameter : parameters) line += " '" + parameter + "'";
    m_log->Add(line);
    m_report->Update(*m_log, kActionLimitSeconds);
    ++m_starts;

    // What the start should give: the directory of the command line or the current one, the
    // words as the text, and a search when /A ends them.
    std::error_code ignored;
    const bool givesDirectory =
        !parameters.empty() && std::filesystem::is_directory(parameters.front(), ignored);
    Model kept;
    std::swap(kept, m_model);
    m_model.texts = std::move(kept.texts);
    m_model.searchedDirectories = std::move(kept.searchedDirectories);
    m_model.notReady = m_world->Path("net");
    m_model.directory = givesDirectory ? parameters.front() : sifter::test::CurrentDirectory();
    std::vector<std::string> words(parameters.begin() + (givesDirectory ? 1 : 0), parameters.end());
    Facts facts;
    facts.autoSearch = words.size() >= 2 && IsAutoSearch(words.back());
    if (facts.autoSearch) words.pop_back();
    Before before;
    for (const std::string& word : words)
        before.text += (before.text.isEmpty() ? QString() : QStringLiteral(" ")) +
                       QString::fromStdString(word);
    // The documented controls start as documented, the options as the last run left them.
    before.rules = m_keptRules;
    before.options = m_keptOptions;
    before.names = ExpectedNames(m_model.directory, sifter::FileType::Pascal, m_keptOptions);
    before.directory = before.shownDirectory = m_model.directory;
    before.currentFd = ::open(m_model.directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    before.editorOpens = m_desktop->opened.size();
    before.editorStarts = m_desktop->started.size();
    before.editorRefusals = m_desktop->refusals;

    m_answers->Begin(m_random->Percent(50));
    m_session = std::make_unique<Session>(parameters);
    Settle();
    m_answers->End();
    QStringList problems = Check(facts, before, *m_session, m_model, *m_answers, *m_desktop);
    const sifter::SearchRequest started = m_session->Form1().Request();
    if (started.rules != m_keptRules || started.options != m_keptOptions || started.includeProcs ||
        started.fileType != sifter::FileType::Pascal)
        problems.append(
            QStringLiteral("the program did not start with the options the last run "
                           "left and the documented controls as documented"));
    Review(problems);
}

void WindowSoak::Review(QStringList problems) {
    if (kTrace) std::printf("%s\n", m_log->Last().back().c_str());
    problems += g_warnings;
    g_warnings.clear();
    for (const std::string& name : m_world->TakeRefused())
        problems.append(
            QStringLiteral("the program was to create %1, outside the scratch directory")
                .arg(Quoted(name)));
    if (problems.isEmpty()) return;
    std::string list;
    for (const QString& problem : problems) list += "  - " + problem.toStdString() + "\n";
    const auto name = [](const QObject* object) {
        return object == nullptr ? std::string("none") : object->objectName().toStdString();
    };
    list += "  (keyboard focus: " + name(QApplication::focusWidget()) +
            "; active window: " + name(QApplication::activeWindow()) +
            "; main window's focus: " + name(m_session->Form1().focusWidget()) +
            "; keyboard grabbed by: " + name(QWidget::keyboardGrabber()) + ")\n";
    std::fputs(m_report->Text(*m_log, "rules broken:\n" + list).c_str(), stderr);
    m_failed = true;
}

void WindowSoak::randomInputKeepsEveryRule() {
    g_testLog = qInstallMessageHandler(WatchWarnings);
    const auto restoreLog = qScopeGuard([] { qInstallMessageHandler(g_testLog); });
    m_random = std::make_unique<Random>(kSeed);
    m_log = std::make_unique<ActionLog>();
    m_world = std::make_unique<SoakWorld>(*m_random);
    m_desktop = std::make_unique<FakeDesktop>();
    // Now and then the editor is not installed.
    m_desktop->answer = [this] { return m_random->Percent(20) ? 2 : 0; };
    const sifter::platform::ScopedDesktop desktop(*m_desktop);
    m_answers = std::make_unique<DialogAnswers>(*m_random, *m_log, *m_world);
    m_driver = std::make_unique<Driver>(*m_random, *m_world);
    m_report = std::make_unique<FailureReport>(kSeed, static_cast<int>(kSeconds));

    QElapsedTimer clock;
    clock.start();
    Start();
    while (!m_failed && clock.elapsed() < static_cast<qint64>(kSeconds) * 1000 &&
           (kActions == 0 || m_log->Count() < kActions)) {
        ActivateAShownWindow(*m_session);
        Action action = m_driver->Choose(*m_session);
        m_log->Add(action.description);
        m_report->Update(*m_log, kActionLimitSeconds);
        Before before;
        TakeBefore(*m_session, *m_desktop, before);
        m_session->Forget();
        m_answers->Begin(m_random->Percent(50));
        if (const std::string changed = m_driver->Perform(action); !changed.empty())
            m_log->Note(changed);
        Settle();
        m_answers->End();
        Review(Check(Facts{&action, false}, before, *m_session, m_model, *m_answers, *m_desktop));
        if (!m_failed && !m_session->Form1().isVisible()) Start();
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    std::printf(
        "soak: %llu actions in %.1f s (%.0f per second), %d starts of the program, seed %llu\n",
        static_cast<unsigned long long>(m_log->Count()), seconds,
        static_cast<double>(m_log->Count()) / seconds, m_starts,
        static_cast<unsigned long long>(kSeed));
    m_session.reset();
    m_report.reset();
    QVERIFY2(!m_failed, "a rule was broken (see above)");
}

int main(int argc, char** argv) {
    // The soak works out the order of file names as the C locale has it.
    ::setenv("LC_ALL", "C", 1);
    // Qt Test ends a test function after five minutes unless told otherwise.
    const std::string timeout = std::to_string((kSeconds + 600) * 1000);
    ::setenv("QTEST_FUNCTION_TIMEOUT", timeout.c_str(), 1);
    QApplication application(argc, argv);
    sifter::ui::PrepareApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    WindowSoak soak;
    return QTest::qExec(&soak, argc, argv);
}

#include "window_soak.moc"
