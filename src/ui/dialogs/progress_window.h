#pragma once
// TForm2, the progress window (Form2): one line of text and a progress bar, filled by a long
// operation that keeps the user-interface thread busy and repaints it explicitly.

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include "search/run/search_run.h"

class QLabel;
class QProgressBar;

namespace sifter::ui {

class TForm2 final : public QDialog, public SearchProgress {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm2)

public:
    explicit TForm2(QWidget* parent = nullptr);

    // What the operations do, in this order: set the maximum, show, set the label and the
    // position as often as they like, close.
    void SetMaximum(int maximum);
    void ShowProgress();
    void SetLabel(const QString& text);
    void SetPosition(int position);
    void CloseProgress();

    QLabel* Label() const { return m_label; }
    QProgressBar* Gauge() const { return m_gauge; }

    // A search's view of the window: the bar counts files, the label names the text and the
    // file; the window closes 200 ms after the last one.
    void Started(std::int32_t fileCount, const std::string& text) override;
    void FileStarted(std::int32_t number, const std::string& name) override;
    void StillReading() override;
    void Finished() override;

    // Repaints at once, unless the screen was repainted less than a frame ago; the state left
    // unpainted then goes out with the next repaint, once a long read has held it back for a
    // frame, or at the latest when the window closes.
    void RepaintNow();
    // Paints a state that was held back.
    void FlushRepaint();

private:
    bool FrameHasPassed() const;

    QLabel* m_label;        // Label1
    QProgressBar* m_gauge;  // Gauge1
    QElapsedTimer m_sinceRepaint;
    QPointer<QWidget> m_activeBefore;  // gets the activation back when the window closes
    bool m_pending = false;
    QString m_searchingFor;  // the label of a search up to the file name
    // The file a search has come to, shown at the next repaint; 0 when it is shown.
    std::int32_t m_nextFile = 0;
    std::string m_nextName;
};

}  // namespace sifter::ui
