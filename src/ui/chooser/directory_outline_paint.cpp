// How DirectoryListbox1 draws its rows: dotted tree lines, the folder picture and the name,
// the selected name in the highlight colours with a focus rectangle while the tree has the
// focus.

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "ui/chooser/chooser_drawing.h"
#include "ui/chooser/directory_outline.h"
#include "ui/conventions.h"

namespace sifter::ui {
namespace {

const QColor kLineColour(128, 128, 128);

}  // namespace

void DirectoryOutline::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Active, QPalette::Base));
    painter.setFont(font());
    const int first = FirstVisibleRow();
    const int last = std::min(RowCount() - 1, first + viewport()->height() / kRowHeight + 1);
    for (int row = first; row <= last; ++row) PaintRow(painter, row);
}

void DirectoryOutline::PaintRow(QPainter& painter, int row) const {
    const DirectoryTree::Node node = NodeAt(row);
    PaintLines(painter, row);

    FolderPicture picture = FolderPicture::Leaf;
    if (!m_tree.Children(node).empty())
        picture = m_tree.IsExpanded(node) ? FolderPicture::Open : FolderPicture::Closed;
    const QRect pictureRect = PictureRect(row);
    painter.drawPixmap(pictureRect.topLeft(), FolderImage(picture),
                       QRect(0, 0, pictureRect.width(), pictureRect.height()));

    // The selection keeps the active colours: the tree is the dialog's main control, and a
    // selection that fades while an error box is up would hide where the error came from.
    const QRect nameRect = NameRect(row);
    const bool selected = node == m_tree.Selected();
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    QColor text = palette().color(QPalette::Active, QPalette::Text);
    if (selected) {
        painter.fillRect(nameRect, highlight);
        text = palette().color(QPalette::Active, QPalette::HighlightedText);
    }
    painter.setPen(text);
    painter.drawText(nameRect.adjusted(2, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     DisplayText(m_tree.Name(node)));
    if (selected && hasFocus()) FocusRectangle(painter, nameRect, highlight);
}

void DirectoryOutline::PaintLines(QPainter& painter, int row) const {
    const DirectoryTree::Node node = NodeAt(row);
    const int level = m_levels.at(static_cast<std::size_t>(row));
    if (level == 0) return;
    const QRect rowRect = RowRect(row);
    const int contentTop = -FirstVisibleRow() * kRowHeight;
    const int contentLeft = -horizontalScrollBar()->value();
    const int middle = rowRect.top() + kRowHeight / 2;
    painter.setPen(kLineColour);

    // The line from the parent down to this node, and on to the next sibling when there is one.
    const int stem = PictureLeft(level - 1) + 7;
    const bool more = m_tree.NextSibling(node) != DirectoryTree::kNoNode;
    DottedVertical(painter, stem, rowRect.top(), more ? rowRect.bottom() : middle, contentTop);
    DottedHorizontal(painter, stem + 1, PictureLeft(level) - 2, middle, contentLeft);

    // The lines of the ancestors whose siblings follow further down pass through this row.
    DirectoryTree::Node ancestor = m_tree.Parent(node);
    for (int up = level - 1; up >= 1; --up, ancestor = m_tree.Parent(ancestor)) {
        if (m_tree.NextSibling(ancestor) == DirectoryTree::kNoNode) continue;
        DottedVertical(painter, PictureLeft(up - 1) + 7, rowRect.top(), rowRect.bottom(),
                       contentTop);
    }
}

}  // namespace sifter::ui
