#include "ui/results/result_list.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/conventions.h"
#include "ui/messages.h"
#include "ui/object_names.h"
#include "ui/results/result_delegate.h"
#include "ui/results/result_model.h"

namespace sifter::ui {

ResultList::ResultList(QWidget* parent)
    : QListView(parent),
      m_model(new ResultModel(this)),
      m_delegate(new ResultDelegate(this)),
      m_popupMenu(new QMenu(this)),
      m_openInEditor(nullptr) {
    setObjectName(names::kListBox1);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The menu opens on the right button's release, and no key opens it.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFont(DialogFont());
    // The window colour in every state: a disabled or inactive list is not greyed.
    QPalette colours = palette();
    for (const QPalette::ColorGroup group : {QPalette::Disabled, QPalette::Inactive})
        colours.setColor(group, QPalette::Base, colours.color(QPalette::Active, QPalette::Base));
    setPalette(colours);
    SetTextColour(palette().color(QPalette::Active, QPalette::Text));

    m_popupMenu->setObjectName(names::kPopupMenu1);
    QAction* deleteSelected = m_popupMenu->addAction(QStringLiteral("Delete Selected"));
    deleteSelected->setObjectName(names::kDeleteSelected1);
    connect(deleteSelected, &QAction::triggered, this, [this] { DeleteItems(); });
    QAction* resultsFont = m_popupMenu->addAction(QStringLiteral("Results Font"));
    resultsFont->setObjectName(names::kResultsFont2);
    connect(resultsFont, &QAction::triggered, this, &ResultList::FontRequested);
    m_openInEditor = m_popupMenu->addAction(QStringLiteral("Open in Editor"));
    m_openInEditor->setObjectName(names::kOpenInEditor1);
    // Shown as the list's key for it; while the menu is open the key picks the item too.
    m_openInEditor->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_openInEditor->setShortcutContext(Qt::WidgetShortcut);
    m_openInEditor->setShortcutVisibleInContextMenu(true);
    connect(m_openInEditor, &QAction::triggered, this, [this] {
        if (m_menuRow >= 0) emit EditRequested(m_menuRow);
    });

    // The owner enables the list once it holds rows.
    setEnabled(false);
}

ResultList::~ResultList() = default;

int ResultList::RowCount() const {
    return m_model->rowCount();
}

void ResultList::SetRows(ResultRows rows, std::shared_ptr<const EntryPictures> pictures) {
    m_model->SetRows(std::move(rows), std::move(pictures));
}

void ResultList::Clear() {
    m_model->Clear();
}

void ResultList::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    scrollTo(m_model->index(row));
}

void ResultList::DeleteItems() {
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        ShowPlain(QStringLiteral(" Nothing selected. "));
        return;
    }
    // The keyboard goes on from where it was: the row that moves into the current row's place.
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    int removedBefore = 0;
    for (const QItemSelectionRange& range : selection)
        if (range.top() < current)
            removedBefore += std::min(range.bottom(), current - 1) - range.top() + 1;
    m_model->RemoveRows(selection);

    const int remaining = RowCount();
    if (remaining > 0) {
        const int next = std::min(current - removedBefore, remaining - 1);
        selectionModel()->setCurrentIndex(m_model->index(next), QItemSelectionModel::NoUpdate);
    }
}

bool ResultList::UndoDeletion() {
    const QItemSelection restored = m_model->UndoRemoval();
    if (restored.isEmpty()) return false;
    const QModelIndex first = restored.first().topLeft();
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(restored, QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
    return true;
}

void ResultList::CopySelectedRows() {
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) return;
    QGuiApplication::clipboard()->setText(m_model->RowsText(selection));
}

void ResultList::SetTextColour(const QColor& colour) {
    m_textColour = colour;
    m_delegate->SetTextColour(colour);
    viewport()->update();
}

void ResultList::keyPressEvent(QKeyEvent* event) {
    // The view's own copy would take the current row alone, selected or not.
    if (event->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        event->accept();
        return;
    }
    // Ctrl+Z alone, not every key the platform takes for an undo (Windows' Alt+Backspace too).
    if (event->key() == Qt::Key_Z && event->modifiers() == Qt::ControlModifier) {
        // This list's own deletions first; then the list a search or a directory replaced.
        if (!UndoDeletion()) emit EarlierListRequested();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        if (currentIndex().isValid()) emit ViewRequested(currentIndex().row());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_E && event->modifiers() == Qt::ControlModifier) {
        if (currentIndex().isValid()) emit EditRequested(currentIndex().row());
        event->accept();
        return;
    }
    const int key = event->key();
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit SearchRequested();
            break;
        case Qt::Key_Escape:
            emit CloseRequested();
            break;
        case Qt::Key_Delete:
            DeleteItems();
            break;
        default:
            break;
    }
    QListView::keyPressEvent(event);
    // These three are the list's own; the window around it must not act on them a second time.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
        key == Qt::Key_Delete)
        event->accept();
}

void ResultList::mousePressEvent(QMouseEvent* event) {
    // The right button only opens the menu, for the rows that were selected before.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void ResultList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    // The view selects as for a click; the row then opens, whatever the selection became.
    QListView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) emit ViewRequested(index.row());
}

void ResultList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QListView::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    // A disabled list gets no mouse events, so it never opens the menu.
    const QPoint at = event->position().toPoint();
    if (!viewport()->rect().contains(at)) return;
    const QModelIndex row = indexAt(at);
    m_menuRow = row.isValid() ? row.row() : -1;
    m_openInEditor->setEnabled(m_menuRow >= 0 &&
                               m_model->Rows().Origin(static_cast<std::size_t>(m_menuRow)).Leads());
    m_popupMenu->popup(event->globalPosition().toPoint());
}

void ResultList::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    // An empty list shows its focus in the first row's place, which no row repaints.
    if (RowCount() == 0) viewport()->update();
}

void ResultList::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    if (RowCount() == 0) viewport()->update();
}

void ResultList::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (RowCount() != 0 || !hasFocus()) return;
    QPainter painter(viewport());
    const QRect firstRow(0, 0, viewport()->width(), kRowHeight);
    const QColor base = palette().color(QPalette::Active, QPalette::Base);
    painter.fillRect(firstRow, base);
    FocusRectangle(painter, firstRow, base);
}

QMenu* ResultList::PopupMenu() const {
    return m_popupMenu;
}

ResultPanel::ResultPanel(QWidget* parent) : QFrame(parent), m_list(new ResultList(this)) {
    setObjectName(names::kPanel1);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
}

void ResultPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect inside = contentsRect();
    // Whole rows only; the strip below the last one stays the panel's white.
    const int height = inside.height() / ResultList::kRowHeight * ResultList::kRowHeight;
    m_list->setGeometry(inside.x(), inside.y(), inside.width(), height);
}

}  // namespace sifter::ui
