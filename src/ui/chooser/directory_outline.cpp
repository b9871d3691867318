#include "ui/chooser/directory_outline.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "ui/conventions.h"
#include "ui/messages.h"
#include "ui/object_names.h"

namespace sifter::ui {

DirectoryOutline::DirectoryOutline(DirectoryTree& tree, QWidget* parent)
    : QAbstractScrollArea(parent), m_tree(tree) {
    setObjectName(names::kDirectoryListbox1);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(8);
    Reload();
}

void DirectoryOutline::TreeChanged() {
    Reload();
    EnsureVisible(SelectedRow());
}

DirectoryTree::Node DirectoryOutline::NodeAt(int row) const {
    return row >= 0 && row < RowCount() ? m_rows[static_cast<std::size_t>(row)]
                                        : DirectoryTree::kNoNode;
}

int DirectoryOutline::RowOf(DirectoryTree::Node node) const {
    const auto it = std::find(m_rows.begin(), m_rows.end(), node);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

int DirectoryOutline::FirstVisibleRow() const {
    return verticalScrollBar()->value();
}

int DirectoryOutline::RowsPerPage() const {
    return std::max(1, viewport()->height() / kRowHeight);
}

int DirectoryOutline::PictureLeft(int level) const {
    return kLeftMargin + level * kIndent - horizontalScrollBar()->value();
}

QRect DirectoryOutline::RowRect(int row) const {
    return {0, (row - FirstVisibleRow()) * kRowHeight, viewport()->width(), kRowHeight};
}

QRect DirectoryOutline::PictureRect(int row) const {
    const int level = m_levels.at(static_cast<std::size_t>(row));
    // A 14-pixel picture in a 13-pixel row: its bottom row, which is transparent, is cut off.
    return {PictureLeft(level), RowRect(row).top(), 14, kRowHeight};
}

QRect DirectoryOutline::NameRect(int row) const {
    const QString text = DisplayText(m_tree.Name(NodeAt(row)));
    const int textLeft = PictureRect(row).right() + 1 + kTextGap;
    return {textLeft - 2, RowRect(row).top(), fontMetrics().horizontalAdvance(text) + 4,
            kRowHeight};
}

int DirectoryOutline::RowAt(const QPoint& viewportPoint) const {
    if (viewportPoint.y() < 0) return -1;
    const int row = FirstVisibleRow() + viewportPoint.y() / kRowHeight;
    return row < RowCount() ? row : -1;
}

void DirectoryOutline::SelectRow(int row) {
    if (RowCount() == 0) return;
    row = std::clamp(row, 0, RowCount() - 1);
    const DirectoryTree::Node node = NodeAt(row);
    if (node == DirectoryTree::kNoNode || node == m_tree.Selected()) return;
    // The row shows as selected even when its directory cannot be entered: the error box
    // comes up over the new selection.
    Guarded([&] { m_tree.Select(node); });
    EnsureVisible(row);
    viewport()->update();
}

void DirectoryOutline::ChangeTree(const std::function<void()>& operation) {
    Guarded(operation);
    Reload();
    EnsureVisible(SelectedRow());
}

void DirectoryOutline::Reload() {
    m_rows = m_tree.VisibleNodes();
    m_levels.clear();
    m_levels.reserve(m_rows.size());
    int widest = 0;
    const QFontMetrics metrics = fontMetrics();
    for (const DirectoryTree::Node node : m_rows) {
        const int level = m_tree.Level(node);
        m_levels.push_back(level);
        const int right = kLeftMargin + level * kIndent + 14 + kTextGap +
                          metrics.horizontalAdvance(DisplayText(m_tree.Name(node))) + 2;
        widest = std::max(widest, right);
    }
    m_contentWidth = widest + kLeftMargin;
    UpdateScrollBars();
    viewport()->update();
}

void DirectoryOutline::UpdateScrollBars() {
    const int page = RowsPerPage();
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setRange(0, std::max(0, RowCount() - page));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, m_contentWidth - viewport()->width()));
}

void DirectoryOutline::EnsureVisible(int row) {
    if (row < 0) return;
    const int first = FirstVisibleRow();
    if (row < first)
        verticalScrollBar()->setValue(row);
    else if (row >= first + RowsPerPage())
        verticalScrollBar()->setValue(row - RowsPerPage() + 1);
}

void DirectoryOutline::MoveToSibling(bool next) {
    const DirectoryTree::Node selected = m_tree.Selected();
    const DirectoryTree::Node sibling =
        next ? m_tree.NextSibling(selected) : m_tree.PreviousSibling(selected);
    if (sibling == DirectoryTree::kNoNode) {
        QApplication::beep();
        return;
    }
    SelectRow(RowOf(sibling));
}

void DirectoryOutline::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const int selected = SelectedRow();
    const DirectoryTree::Node node = m_tree.Selected();
    switch (event->key()) {
        case Qt::Key_Up:
            if (ctrl)
                MoveToSibling(false);
            else
                SelectRow(selected - 1);
            break;
        case Qt::Key_Down:
            if (ctrl)
                MoveToSibling(true);
            else
                SelectRow(selected + 1);
            break;
        case Qt::Key_PageUp:
            SelectRow(selected - RowsPerPage());
            break;
        case Qt::Key_PageDown:
            SelectRow(selected + RowsPerPage());
            break;
        case Qt::Key_Home:
            SelectRow(0);
            break;
        case Qt::Key_End:
            SelectRow(RowCount() - 1);
            break;
        // Left and Right open and close in place; they never move to the parent or a child.
        case Qt::Key_Left:
            ChangeTree([&] { m_tree.CollapseSubtree(node); });
            break;
        case Qt::Key_Right:
            ChangeTree([&] { m_tree.Expand(node); });
            break;
        case Qt::Key_Plus:
            ChangeTree([&] { m_tree.Expand(node); });
            break;
        case Qt::Key_Minus:
            ChangeTree([&] { m_tree.Collapse(node); });
            break;
        // A directory made or removed since the node was read shows.
        case Qt::Key_F5:
            ChangeTree([&] { m_tree.Reread(node); });
            break;
        case Qt::Key_Asterisk:
            if (ctrl && event->modifiers().testFlag(Qt::KeypadModifier))
                ChangeTree([&] { m_tree.ExpandAll(); });
            else
                ChangeTree([&] { m_tree.ExpandSubtree(node); });
            break;
        default:
            // Enter, Escape and letters belong to the dialog: OK, Cancel and "&Cancel".
            event->ignore();
            return;
    }
    event->accept();
}

void DirectoryOutline::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int row = RowAt(event->position().toPoint());
    if (row >= 0) SelectRow(row);
}

void DirectoryOutline::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int row = RowAt(event->position().toPoint());
    if (row < 0) return;
    // The first click of the pair selected the row already, unless it came from elsewhere.
    SelectRow(row);
    const DirectoryTree::Node node = NodeAt(row);
    ChangeTree([&] {
        if (m_tree.IsExpanded(node))
            m_tree.Collapse(node);
        else
            m_tree.Expand(node);
    });
}

void DirectoryOutline::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DirectoryOutline::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void DirectoryOutline::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    // The viewport gets its real size only when the tree is first shown; the start directory
    // may lie further down than the default size reached.
    EnsureVisible(SelectedRow());
}

}  // namespace sifter::ui
