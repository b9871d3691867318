// The ways to a new search directory beside the chooser: the directories searched before
// ("File - Recent Directories") and a folder dropped from a file manager. Each does what the
// chooser's OK does (TakeDirectory).

#include <QDragEnterEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "platform/platform.h"
#include "ui/conventions.h"
#include "ui/main/main_window.h"
#include "ui/messages.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

// The one local directory a drag carries; empty for anything else.
std::string DroppedDirectory(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    std::string path = QFile::encodeName(urls.front().toLocalFile()).toStdString();
    return platform::IsExistingDirectory(path) ? path : std::string();
}

}  // namespace

void TForm1::ShowRecentDirectories() {
    m_recentDirectories->clear();
    int number = 0;
    for (const std::string& directory : m_kept.directories) {
        QString name = DisplayText(directory);
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = m_recentDirectories->addAction(QStringLiteral("&%1 ").arg(++number) + name);
        item->setObjectName(QString::fromLatin1(names::kRecentDirectory) + QString::number(number));
        connect(item, &QAction::triggered, this,
                [this, directory] { Guarded([this, &directory] { TakeDirectory(directory); }); });
    }
    m_recentDirectories->menuAction()->setEnabled(number > 0);
}

bool TForm1::TakesDrop(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    // The enter and move events are drop events too.
    auto* drop = static_cast<QDropEvent*>(event);
    const std::string directory = DroppedDirectory(*drop->mimeData());
    if (directory.empty()) return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) Guarded([this, &directory] { TakeDirectory(directory); });
    return true;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    TakesDrop(event);
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    TakesDrop(event);
}

void TForm1::dropEvent(QDropEvent* event) {
    TakesDrop(event);
}

}  // namespace sifter::ui
