#include "ui/dialogs/progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QThread>

#include "ui/conventions.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

constexpr int kFrameMilliseconds = 16;  // about 60 repaints a second, what a screen shows
constexpr int kClosingPauseMilliseconds = 200;

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_label(new QLabel(this)),
      m_gauge(new QProgressBar(this)) {
    setObjectName(names::kForm2);
    setWindowTitle(QStringLiteral("Sifter32 Progress"));
    setFont(DialogFont());
    setFixedSize(435, 103);
    // A passive display: the window that started the operation keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_label->setObjectName(names::kLabel1);
    m_label->move(29, 17);
    m_label->setTextFormat(Qt::PlainText);
    m_gauge->setObjectName(names::kGauge1);
    m_gauge->setGeometry(28, 58, 381, 19);
    m_gauge->setRange(0, 100);
    m_gauge->setTextVisible(false);
}

void TForm2::SetMaximum(int maximum) {
    // Qt shows a range of nothing as busy, with a block running to and fro; nothing to do
    // reads as an empty bar.
    m_gauge->setMaximum(maximum > 0 ? maximum : 1);
}

void TForm2::ShowProgress() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_activeBefore = QApplication::activeWindow();
    show();
    // Let the window system map it, so the repaints that follow reach the screen; user input
    // stays queued until the operation is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The first state after showing is always painted.
    m_sinceRepaint.invalidate();
}

void TForm2::SetLabel(const QString& text) {
    m_label->setText(text);
    // The label's width follows its text; the save shortens its text by that width.
    m_label->adjustSize();
}

void TForm2::SetPosition(int position) {
    m_gauge->setValue(position);
}

bool TForm2::FrameHasPassed() const {
    return !m_sinceRepaint.isValid() || m_sinceRepaint.elapsed() >= kFrameMilliseconds;
}

void TForm2::RepaintNow() {
    m_pending = true;
    if (FrameHasPassed()) FlushRepaint();
}

void TForm2::FlushRepaint() {
    if (!m_pending) return;
    m_pending = false;
    if (m_nextFile > 0) {
        SetPosition(m_nextFile);
        SetLabel(m_searchingFor + DisplayText(m_nextName));
        m_nextFile = 0;
    }
    m_sinceRepaint.start();
    if (isVisible()) repaint();
}

void TForm2::CloseProgress() {
    hide();
    // Some window systems activate every window that shows, whatever it asks for.
    if (m_activeBefore != nullptr && QApplication::activeWindow() != m_activeBefore)
        m_activeBefore->activateWindow();
    m_activeBefore = nullptr;
}

void TForm2::Started(std::int32_t fileCount, const std::string& text) {
    // The text and each name are decoded on their own: a text typed as UTF-8 and a name in
    // Windows-1252 each read right.
    m_searchingFor = QStringLiteral("Sifter32 - Searching for \"") + DisplayText(text) +
                     QStringLiteral("\" in ");
    SetMaximum(fileCount);
    ShowProgress();
}

void TForm2::FileStarted(std::int32_t number, const std::string& name) {
    // Laid out only when it is painted: many small files would otherwise cost a text layout
    // each that no one sees.
    m_nextFile = number;
    m_nextName = name;
    RepaintNow();
}

void TForm2::StillReading() {
    // A file whose read outlasts a frame shows its own name and number, not the last ones
    // painted before it began.
    if (m_pending && FrameHasPassed()) FlushRepaint();
}

void TForm2::Finished() {
    FlushRepaint();  // the full bar stays up for the pause
    QThread::msleep(kClosingPauseMilliseconds);
    CloseProgress();
}

}  // namespace sifter::ui
