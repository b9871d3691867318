#pragma once
// The result list `ListBox1` and the white panel `Panel1` that holds it.

#include <QColor>
#include <QFrame>
#include <QListView>
#include <memory>

#include "search/run/result_rows.h"

class QMenu;

namespace sifter::ui {

class EntryPictures;
class ResultDelegate;
class ResultModel;

class ResultList final : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultList)

public:
    static constexpr int kRowHeight = 16;

    explicit ResultList(QWidget* parent = nullptr);
    ~ResultList() override;

    ResultModel& Model() const { return *m_model; }
    int RowCount() const;

    // The rows of a search, replacing all others (one reset); the view is not shown here.
    void SetRows(ResultRows rows, std::shared_ptr<const EntryPictures> pictures);
    void Clear();
    // Row 0 becomes the current and the only selected row.
    void SelectFirstRow() { SelectRow(0); }
    // The same for `row`, scrolled into view; nothing for a row the list does not have.
    void SelectRow(int row);

    // Deletes every selected row in one pass and one repaint, or says " Nothing selected. ".
    void DeleteItems();
    // Ctrl+Z: the rows the last deletion not yet undone removed, back at their places and the
    // only ones selected, the first of them current. Nothing happens when there is none, and
    // false says so.
    bool UndoDeletion();
    // Ctrl+C: the selected rows on the clipboard, in list order, each followed by CR LF. With
    // nothing selected the clipboard keeps what it holds.
    void CopySelectedRows();

    // The colour of unselected rows' text; the list's font is its ordinary font().
    QColor TextColour() const { return m_textColour; }
    void SetTextColour(const QColor& colour);

    // PopupMenu1, the context menu.
    QMenu* PopupMenu() const;

signals:
    void SearchRequested();       // Enter
    void CloseRequested();        // Escape
    void FontRequested();         // "Results Font" in the context menu
    void ViewRequested(int row);  // a double-click on the row, or F4 on the current row
    // Ctrl+E on the current row, or "Open in Editor" in the context menu on the row it was
    // opened over.
    void EditRequested(int row);
    void EarlierListRequested();  // Ctrl+Z with no deletion of this list left to undo

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ResultModel* m_model;
    ResultDelegate* m_delegate;
    QMenu* m_popupMenu;  // PopupMenu1
    QAction* m_openInEditor;
    int m_menuRow = -1;  // the row the context menu was opened over
    QColor m_textColour;
};

// Panel1: white, lowered inner bevel; keeps the list's height a whole number of rows, so the
// strip below the last row shows the panel's white.
class ResultPanel final : public QFrame {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultPanel)

public:
    explicit ResultPanel(QWidget* parent = nullptr);
    ResultList* List() const { return m_list; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ResultList* m_list;
};

}  // namespace sifter::ui
