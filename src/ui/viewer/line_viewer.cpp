#include "ui/viewer/line_viewer.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "search/io_error.h"
#include "search/lines/line_index.h"
#include "ui/conventions.h"
#include "ui/editor/open_in_editor.h"
#include "ui/messages.h"
#include "ui/object_names.h"
#include "ui/viewer/line_text.h"
#include "ui/viewer/line_view.h"

namespace sifter::ui {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 560;

}  // namespace

LineViewer::LineViewer(QWidget* owner)
    : QWidget(owner, Qt::Window),
      m_view(new LineView(this)),
      m_status(new QLabel(this)),
      m_editorButton(new QPushButton(QString::fromLatin1(kEditorButton), this)) {
    setObjectName(names::kViewer);
    setFont(DialogFont());
    m_status->setObjectName(names::kViewerStatus);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_editorButton->setObjectName(names::kOpenInEditor);
    m_editorButton->setToolTip(QStringLiteral("Ctrl+E"));
    m_editorButton->setAutoDefault(false);
    m_editorButton->setFocusPolicy(Qt::TabFocus);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 2, 4, 4);
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_editorButton);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_view, 1);
    column->addLayout(bottom);

    const auto shortcut = [this](const QKeySequence& keys, auto action) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [action] { Guarded(action); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { OpenInEditor(); });
    shortcut(QKeySequence(Qt::Key_F3), [this] { GoToMatch(true); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { GoToMatch(false); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });
    connect(m_editorButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { OpenInEditor(); }); });
    connect(m_view, &LineView::CaretMoved, this, [this] {
        m_stepNote.clear();
        UpdateStatus();
    });

    resize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

LineViewer::~LineViewer() = default;

void LineViewer::Open(const std::string& path, std::int64_t line, LineMatcher matcher,
                      SearchIn in) {
    LineIndexResult read;
    {
        WaitCursor hourglass;
        read = LineIndex::Read(path);
    }
    if (!read.lines) throw EInOutError(read.error);
    m_path = path;
    setWindowTitle(QString::fromLatin1(kTitle) + DisplayText(path));
    const std::int64_t count = read.lines->LineCount();
    m_view->SetFile(std::move(read.lines), std::move(matcher), in);
    m_fileNote.clear();
    if (line > count) {
        m_fileNote =
            QStringLiteral("the file changed since the search: it ends before line %1").arg(line);
        line = count;
    }
    // Shown first: the line is put in the middle of the view at its final height.
    show();
    raise();
    activateWindow();
    m_view->setFocus();
    m_view->SelectLine(line - 1);
    UpdateStatus();
}

void LineViewer::GoToMatch(bool forward) {
    if (!m_view->GoToMatch(forward)) {
        m_stepNote = QStringLiteral("no line holds the search text");
        UpdateStatus();
    }
}

void LineViewer::OpenInEditor() {
    if (m_path.empty()) return;
    const TextPlace caret = m_view->Caret();
    const std::string_view line = m_view->LineCount() > 0 ? m_view->LineBytes(caret.line) : "";
    ui::OpenInEditor(m_editorCommand ? m_editorCommand() : std::string(),
                     {m_path, caret.line + 1, CharactersBefore(line, caret.offset) + 1});
}

void LineViewer::UpdateStatus() {
    QString text;
    if (m_view->LineCount() == 0) {
        text = QStringLiteral(" The file holds no line");
    } else {
        text = QStringLiteral(" Line %1 of %2, column %3")
                   .arg(m_view->Caret().line + 1)
                   .arg(m_view->LineCount())
                   .arg(m_view->CaretColumn() + 1);
    }
    for (const QString& note : {m_fileNote, m_stepNote})
        if (!note.isEmpty()) text += QStringLiteral(" - ") + note;
    m_status->setText(text);
}

}  // namespace sifter::ui
