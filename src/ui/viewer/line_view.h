#pragma once
// The viewer's text area: the lines of a file painted over its line index, only those in
// sight, with their numbers in a gutter, the search text highlighted, and a selection made with
// the mouse or the keys. Nothing is laid out for the whole file, so a file of millions of lines
// opens and scrolls like a short one.

#include <QAbstractScrollArea>
#include <QColor>
#include <cstdint>
#include <memory>
#include <string_view>

#include "search/lines/line_index.h"
#include "search/pascal/pascal_lexer.h"
#include "search/pattern/line_matcher.h"

namespace sifter::ui {

// A place in the file: a line counted from 0, and the byte offset in it of a character's start
// (the line's length for its end).
struct TextPlace {
    std::int64_t line = 0;
    std::size_t offset = 0;
    friend auto operator<=>(const TextPlace&, const TextPlace&) = default;
};

class LineView final : public QAbstractScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineView)

public:
    // Between the gutter and the text.
    static constexpr int kTextMargin = 4;
    // Behind every occurrence of the search text.
    static QColor MatchColour() { return {255, 224, 64}; }

    explicit LineView(QWidget* parent = nullptr);
    ~LineView() override;

    // Shows another file from its start; `matcher` finds the search text in its lines, where
    // only the occurrences that start in the kinds of text `in` names count (Pascal's Search
    // In; all of them by default).
    void SetFile(std::unique_ptr<const LineIndex> lines, LineMatcher matcher, SearchIn in = {});
    std::int64_t LineCount() const { return m_lines ? m_lines->LineCount() : 0; }
    std::string_view LineBytes(std::int64_t line) const;

    // Selects the line whole and scrolls it into the middle of the view.
    void SelectLine(std::int64_t line);
    // Goes to the next or the previous line that holds the search text, round the end of the
    // file; false when no line holds it.
    bool GoToMatch(bool forward);

    TextPlace Anchor() const { return m_anchor; }
    TextPlace Caret() const { return m_caret; }
    std::int64_t CaretColumn() const;
    void SetSelection(TextPlace anchor, TextPlace caret);
    // The selected characters as shown, lines joined by CR LF, the program's line end.
    QString SelectedText() const;
    // Puts the selection on the clipboard; with nothing selected the clipboard keeps its text.
    void CopySelection() const;

    std::int64_t TopLine() const;
    std::int64_t LeftColumn() const;
    int VisibleLines() const;
    int LineHeight() const { return m_lineHeight; }
    // The advance of every character of the font; text is drawn in runs, so the columns must
    // keep to the font's own, fractional, advance.
    qreal CharWidth() const { return m_charWidth; }
    int GutterWidth() const;
    int VisibleColumns() const;
    // Where a column starts in the viewport.
    qreal ColumnX(std::int64_t column) const;
    // Where the character at `place` is drawn, in the viewport.
    QRect PlaceRect(TextPlace place) const;

signals:
    void CaretMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateMetrics();
    void UpdateScrollBars();
    void EnsureVisible(TextPlace place, bool centre);
    void MoveCaret(TextPlace place, bool extend, bool keepGoalColumn = false);
    TextPlace Clamped(TextPlace place) const;
    TextPlace PlaceAt(QPoint point) const;
    TextPlace LineEnd(std::int64_t line) const;
    bool MoveByKey(const QKeyEvent& event);
    // Returns the line's width in columns when all of it was in sight, else 0.
    std::int64_t PaintLine(QPainter& painter, std::int64_t line, int y) const;
    void PaintGutter(QPainter& painter, std::int64_t line, int y) const;

    // The first occurrence that counts in line `line` from `from` on.
    std::optional<MatchSpan> FindFrom(std::int64_t line, std::string_view bytes,
                                      std::size_t from) const;

    std::unique_ptr<const LineIndex> m_lines;
    // Painting looks for the text too, with the matcher's scratch buffer.
    mutable LineMatcher m_matcher{"", {}};
    // Only some kinds of text searched: which occurrences count.
    mutable std::unique_ptr<PascalKinds> m_kinds;
    TextPlace m_anchor;
    TextPlace m_caret;
    std::int64_t m_goalColumn = 0;  // the column Up and Down keep to
    std::int64_t m_widest = 0;      // columns of the widest line known
    int m_lineHeight = 1;
    qreal m_charWidth = 1;
    int m_ascent = 0;
};

}  // namespace sifter::ui
