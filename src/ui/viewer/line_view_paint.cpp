// LineView's painting: the gutter and the lines in sight, cell by cell of the fixed-pitch font.

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <optional>
#include <vector>

#include "ui/viewer/line_text.h"
#include "ui/viewer/line_view.h"

namespace sifter::ui {
namespace {

const QColor kGutterText(128, 128, 128);

// A character in sight, with what its cell shows.
struct Cell {
    qreal x = 0;
    qreal width = 0;
    char32_t shown = 0;
    bool inMatch = false;
    bool inSelection = false;
    bool tab = false;
};

void Append(QString& text, char32_t code) {
    if (QChar::requiresSurrogates(code)) {
        text += QChar(QChar::highSurrogate(code));
        text += QChar(QChar::lowSurrogate(code));
    } else {
        text += QChar(static_cast<char16_t>(code));
    }
}

}  // namespace

void LineView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    painter.fillRect(viewport()->rect(), colours.color(QPalette::Base));
    painter.fillRect(QRect(0, 0, GutterWidth(), viewport()->height()),
                     colours.color(QPalette::Window));
    painter.setFont(font());
    const std::int64_t top = TopLine();
    const int rows = viewport()->height() / m_lineHeight + 1;
    std::int64_t widest = m_widest;
    for (int i = 0; i < rows && top + i < LineCount(); ++i) {
        PaintGutter(painter, top + i, i * m_lineHeight);
        widest = std::max(widest, PaintLine(painter, top + i, i * m_lineHeight));
    }
    // Tabs can make a line wider than its bytes; the view can then scroll as far as it shows.
    if (widest > m_widest) {
        m_widest = widest;
        UpdateScrollBars();
    }
    if (hasFocus() && LineCount() > 0) {
        const QRect caret = PlaceRect(m_caret);
        if (caret.left() >= GutterWidth() + kTextMargin)
            painter.fillRect(QRect(caret.left(), caret.top(), 1, m_lineHeight),
                             colours.color(QPalette::Text));
    }
}

void LineView::PaintGutter(QPainter& painter, std::int64_t line, int y) const {
    painter.setPen(line == m_caret.line ? palette().color(QPalette::Text) : kGutterText);
    painter.drawText(QRect(0, y, GutterWidth() - qRound(m_charWidth), m_lineHeight),
                     Qt::AlignRight | Qt::AlignTop, QString::number(line + 1));
}

std::int64_t LineView::PaintLine(QPainter& painter, std::int64_t line, int y) const {
    const std::string_view bytes = LineBytes(line);
    const int gutter = GutterWidth();
    const std::int64_t left = LeftColumn();
    const std::int64_t right = left + VisibleColumns() + 1;
    const TextPlace from = std::min(m_anchor, m_caret);
    const TextPlace to = std::max(m_anchor, m_caret);
    const bool selects = from != to && line >= from.line && line <= to.line;
    const std::size_t selectedFrom = line == from.line ? from.offset : 0;
    const bool throughEnd = line < to.line;  // the line end is selected too
    const std::size_t selectedTo = throughEnd ? bytes.size() : to.offset;

    // Only the characters in sight become cells; occurrences of the search text are looked
    // for as far as the walk goes, so a line of megabytes costs no more than what shows.
    std::vector<Cell> cells;
    std::optional<MatchSpan> span = FindFrom(line, bytes, 0);
    LineChars chars(bytes);
    LineChar c;
    std::int64_t endColumn = 0;
    bool wholeLine = true;
    while (chars.Next(c)) {
        if (c.column >= right) {
            wholeLine = false;
            break;
        }
        endColumn = c.column + c.width;
        while (span && c.offset >= span->offset + span->length)
            span = FindFrom(line, bytes, span->offset + std::max<std::size_t>(span->length, 1));
        if (endColumn <= left) continue;
        cells.push_back({ColumnX(c.column), c.width * m_charWidth, ShownCode(c.code),
                         span && c.offset >= span->offset,
                         selects && c.offset >= selectedFrom && c.offset < selectedTo,
                         c.code == U'\t'});
    }

    const QColor highlight = palette().color(QPalette::Highlight);
    painter.save();
    painter.setClipRect(QRect(gutter, y, viewport()->width() - gutter, m_lineHeight));
    for (const Cell& cell : cells) {
        if (cell.inSelection || cell.inMatch)
            painter.fillRect(QRectF(cell.x, y, cell.width, m_lineHeight),
                             cell.inSelection ? highlight : MatchColour());
    }
    if (selects && throughEnd && wholeLine && endColumn >= left)
        painter.fillRect(QRectF(ColumnX(endColumn), y, m_charWidth, m_lineHeight), highlight);

    // Runs of characters the font has are drawn as one text; any other character is drawn
    // alone in its own cell, so that a wider fallback glyph never shifts the columns after it.
    const QFontMetrics metrics(font());
    QString run;
    qreal runX = 0;
    bool runSelected = false;
    const auto flush = [&] {
        if (run.isEmpty()) return;
        painter.setPen(palette().color(runSelected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(QPointF(runX, y + m_ascent), run);
        run.clear();
    };
    for (const Cell& cell : cells) {
        const bool inFont = metrics.inFontUcs4(cell.shown);
        if (cell.tab || !inFont || cell.inSelection != runSelected) flush();
        if (cell.tab) continue;
        if (run.isEmpty()) {
            runX = cell.x;
            runSelected = cell.inSelection;
        }
        Append(run, cell.shown);
        if (!inFont) flush();
    }
    flush();
    painter.restore();
    return wholeLine ? endColumn : 0;
}

}  // namespace sifter::ui
