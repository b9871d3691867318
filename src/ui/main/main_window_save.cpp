// Saving the result list from the main window: the dialog, the progress window, the cursor.

#include <QFontMetrics>
#include <QLabel>
#include <QThread>
#include <climits>
#include <optional>

#include "search/run/save_results.h"
#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/main/save_label.h"
#include "ui/messages.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"

namespace sifter::ui {
namespace {

constexpr int kLabelWidth = 380;
constexpr int kClosingPauseMilliseconds = 200;

// Shows a save as it goes; whatever happens, the window closes and the cursor comes back
// when the save ends.
class SaveProgress final : public SaveObserver {
public:
    SaveProgress(TForm2* window, const std::string& fileName)
        : m_window(window), m_fileName(fileName) {}
    ~SaveProgress() override {
        if (m_window != nullptr && m_started) m_window->CloseProgress();
    }
    SaveProgress(const SaveProgress&) = delete;
    SaveProgress& operator=(const SaveProgress&) = delete;

    void Created(std::size_t rowCount) override {
        m_hourglass.emplace();
        m_started = true;
        if (m_window == nullptr) return;
        m_window->SetMaximum(static_cast<int>(std::min<std::size_t>(rowCount, INT_MAX)));
        m_window->SetPosition(0);
        m_window->ShowProgress();
        const QFontMetrics metrics(m_window->Label()->font());
        m_window->SetLabel(
            SaveLabel(DisplayText(m_fileName), kLabelWidth,
                      [&](const QString& text) { return metrics.horizontalAdvance(text); }));
        m_window->RepaintNow();
    }
    void RowWritten(std::size_t rowsWritten) override {
        if (m_window == nullptr) return;
        m_window->SetPosition(static_cast<int>(std::min<std::size_t>(rowsWritten, INT_MAX)));
        m_window->RepaintNow();
    }
    void BeforeClose() override {
        if (m_window != nullptr) m_window->FlushRepaint();
        QThread::msleep(kClosingPauseMilliseconds);
    }

private:
    TForm2* m_window;
    const std::string& m_fileName;
    bool m_started = false;
    std::optional<WaitCursor> m_hourglass;
};

}  // namespace

void TForm1::SaveResultsToFile() {
    const std::optional<std::string> fileName = ChooseSaveFile(this, m_files.Directory());
    if (!fileName) return;
    SaveProgress progress(m_progress, *fileName);
    if (SaveRows(*fileName, m_list->Model().Rows(), &progress) == SaveOutcome::CannotCreate)
        ShowWarning(QString::fromLatin1(kBadFileNameMessage));
    else
        m_list->Model().MarkSaved();
}

}  // namespace sifter::ui
