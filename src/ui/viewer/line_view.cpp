#include "ui/viewer/line_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "ui/conventions.h"
#include "ui/object_names.h"
#include "ui/viewer/line_text.h"

namespace sifter::ui {
namespace {

int ScrollValue(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX));
}

int DigitCount(std::int64_t value) {
    int digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

}  // namespace

LineView::LineView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(names::kLineView);
    setFont(FixedPitchFont());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    UpdateMetrics();
}

LineView::~LineView() = default;

void LineView::SetFile(std::unique_ptr<const LineIndex> lines, LineMatcher matcher, SearchIn in) {
    m_kinds.reset();
    m_lines = std::move(lines);
    m_matcher = std::move(matcher);
    if (m_lines && !in.All()) m_kinds = std::make_unique<PascalKinds>(*m_lines, in);
    m_anchor = m_caret = TextPlace{};
    m_goalColumn = 0;
    // Bytes stand in for columns until a wider line comes into sight.
    m_widest = m_lines ? static_cast<std::int64_t>(m_lines->LongestLine()) : 0;
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit CaretMoved();
}

std::optional<MatchSpan> LineView::FindFrom(std::int64_t line, std::string_view bytes,
                                            std::size_t from) const {
    return m_kinds ? m_kinds->FindFrom(m_matcher, line, bytes, from)
                   : m_matcher.FindFrom(bytes, from);
}

std::string_view LineView::LineBytes(std::int64_t line) const {
    return m_lines ? m_lines->Line(line) : std::string_view();
}

void LineView::UpdateMetrics() {
    const QFontMetrics metrics(font());
    m_lineHeight = std::max(1, metrics.height());
    m_charWidth = std::max<qreal>(
        1, QFontMetricsF(font()).horizontalAdvance(QString(100, QLatin1Char('M'))) / 100);
    m_ascent = metrics.ascent();
    UpdateScrollBars();
}

int LineView::GutterWidth() const {
    return qRound((DigitCount(std::max<std::int64_t>(LineCount(), 1)) + 2) * m_charWidth);
}

int LineView::VisibleColumns() const {
    return std::max(
        1, static_cast<int>((viewport()->width() - GutterWidth() - kTextMargin) / m_charWidth));
}

qreal LineView::ColumnX(std::int64_t column) const {
    return GutterWidth() + kTextMargin + static_cast<qreal>(column - LeftColumn()) * m_charWidth;
}

int LineView::VisibleLines() const {
    return std::max(1, viewport()->height() / m_lineHeight);
}

std::int64_t LineView::TopLine() const {
    return verticalScrollBar()->value();
}

std::int64_t LineView::LeftColumn() const {
    return horizontalScrollBar()->value();
}

void LineView::UpdateScrollBars() {
    const int lines = VisibleLines();
    verticalScrollBar()->setRange(0, ScrollValue(LineCount() - lines));
    verticalScrollBar()->setPageStep(lines);
    const int columns = VisibleColumns();
    // One column more than the widest line, for the caret after its end.
    horizontalScrollBar()->setRange(0, ScrollValue(m_widest + 1 - columns));
    horizontalScrollBar()->setPageStep(columns);
}

void LineView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void LineView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateMetrics();
}

void LineView::scrollContentsBy(int, int) {
    viewport()->update();
}

void LineView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LineView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

TextPlace LineView::LineEnd(std::int64_t line) const {
    return {line, LineBytes(line).size()};
}

TextPlace LineView::Clamped(TextPlace place) const {
    if (LineCount() == 0) return {};
    place.line = std::clamp<std::int64_t>(place.line, 0, LineCount() - 1);
    place.offset = std::min(place.offset, LineBytes(place.line).size());
    return place;
}

std::int64_t LineView::CaretColumn() const {
    return ColumnAt(LineBytes(m_caret.line), m_caret.offset);
}

QRect LineView::PlaceRect(TextPlace place) const {
    const std::int64_t column = ColumnAt(LineBytes(place.line), place.offset);
    const int left = qRound(ColumnX(column));
    return {left, static_cast<int>((place.line - TopLine()) * m_lineHeight),
            qRound(ColumnX(column + 1)) - left, m_lineHeight};
}

void LineView::EnsureVisible(TextPlace place, bool centre) {
    const int lines = VisibleLines();
    std::int64_t top = TopLine();
    if (centre)
        top = place.line - (lines - 1) / 2;
    else if (place.line < top)
        top = place.line;
    else if (place.line >= top + lines)
        top = place.line - lines + 1;
    verticalScrollBar()->setValue(ScrollValue(top));

    const std::int64_t column = ColumnAt(LineBytes(place.line), place.offset);
    const int columns = VisibleColumns();
    std::int64_t left = LeftColumn();
    if (column < left)
        left = std::max<std::int64_t>(0, column - columns / 4);
    else if (column >= left + columns)
        left = column - columns + 1 + columns / 4;
    if (column + 1 > m_widest) {
        m_widest = column + 1;
        UpdateScrollBars();
    }
    horizontalScrollBar()->setValue(ScrollValue(left));
}

void LineView::SetSelection(TextPlace anchor, TextPlace caret) {
    m_anchor = Clamped(anchor);
    m_caret = Clamped(caret);
    m_goalColumn = CaretColumn();
    EnsureVisible(m_caret, false);
    viewport()->update();
    emit CaretMoved();
}

void LineView::MoveCaret(TextPlace place, bool extend, bool keepGoalColumn) {
    m_caret = Clamped(place);
    if (!extend) m_anchor = m_caret;
    if (!keepGoalColumn) m_goalColumn = CaretColumn();
    EnsureVisible(m_caret, false);
    viewport()->update();
    emit CaretMoved();
}

void LineView::SelectLine(std::int64_t line) {
    if (LineCount() == 0) return;
    // The caret stays at the line's start, so a long line is shown from its beginning.
    m_anchor = Clamped(LineEnd(line));
    m_caret = Clamped({line, 0});
    m_goalColumn = 0;
    EnsureVisible(m_caret, true);
    viewport()->update();
    emit CaretMoved();
}

bool LineView::GoToMatch(bool forward) {
    const std::int64_t count = LineCount();
    if (count == 0 || m_matcher.empty()) return false;
    for (std::int64_t step = 1; step <= count; ++step) {
        const std::int64_t line =
            ((m_caret.line + (forward ? step : -step)) % count + count) % count;
        if (m_kinds ? FindFrom(line, LineBytes(line), 0).has_value()
                    : m_matcher.Matches(LineBytes(line))) {
            SelectLine(line);
            return true;
        }
    }
    return false;
}

QString LineView::SelectedText() const {
    const TextPlace from = std::min(m_anchor, m_caret);
    const TextPlace to = std::max(m_anchor, m_caret);
    QString text;
    for (std::int64_t line = from.line; line <= to.line && line < LineCount(); ++line) {
        const std::string_view bytes = LineBytes(line);
        if (line > from.line) text += QStringLiteral("\r\n");
        text += LineText(bytes, line == from.line ? from.offset : 0,
                         line == to.line ? to.offset : bytes.size());
    }
    return text;
}

void LineView::CopySelection() const {
    if (m_anchor == m_caret) return;
    QGuiApplication::clipboard()->setText(SelectedText());
}

}  // namespace sifter::ui
