#pragma once
// The directory chooser's tree, DirectoryListbox1: one 13-pixel row per visible node with tree
// lines, a folder picture and the name; the keys and the mouse open, close and select nodes,
// and every change of the selected row makes that directory current.

#include <QAbstractScrollArea>
#include <QRect>
#include <functional>
#include <vector>

#include "search/files/directory_tree.h"

class QPainter;

namespace sifter::ui {

class DirectoryOutline final : public QAbstractScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirectoryOutline)

public:
    static constexpr int kRowHeight = 13;
    static constexpr int kIndent = 16;     // from one level's picture to the next
    static constexpr int kLeftMargin = 3;  // before the top node's picture
    static constexpr int kTextGap = 4;     // between the picture and the name

    explicit DirectoryOutline(DirectoryTree& tree, QWidget* parent = nullptr);

    // Takes the tree as it is now, after it was built again.
    void TreeChanged();

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    DirectoryTree::Node NodeAt(int row) const;
    // -1 when the node is not visible.
    int RowOf(DirectoryTree::Node node) const;
    int SelectedRow() const { return RowOf(m_tree.Selected()); }
    int FirstVisibleRow() const;
    int RowsPerPage() const;
    // Viewport coordinates; a row scrolled out of sight lies outside the viewport.
    QRect RowRect(int row) const;
    QRect PictureRect(int row) const;
    // The name and the margin around it: what the selection highlights.
    QRect NameRect(int row) const;
    int RowAt(const QPoint& viewportPoint) const;

    // Selects a row as a click on it does; nothing when it is the selected one.
    void SelectRow(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs an operation on the tree (reading, opening or closing nodes, which may move the
    // selection) and shows the result, the selection in sight.
    void ChangeTree(const std::function<void()>& operation);
    void Reload();
    void EnsureVisible(int row);
    void UpdateScrollBars();
    void MoveToSibling(bool next);
    int PictureLeft(int level) const;
    void PaintRow(QPainter& painter, int row) const;
    void PaintLines(QPainter& painter, int row) const;

    DirectoryTree& m_tree;
    std::vector<DirectoryTree::Node> m_rows;
    std::vector<int> m_levels;  // by row
    int m_contentWidth = 0;
};

}  // namespace sifter::ui
