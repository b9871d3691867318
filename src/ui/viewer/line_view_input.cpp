// LineView's keys and mouse: moving the caret, extending the selection, copying.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "ui/viewer/line_text.h"
#include "ui/viewer/line_view.h"

namespace sifter::ui {

TextPlace LineView::PlaceAt(QPoint point) const {
    if (LineCount() == 0) return {};
    const std::int64_t line = TopLine() + (point.y() < 0 ? -1 - (-point.y() - 1) / m_lineHeight
                                                         : point.y() / m_lineHeight);
    const TextPlace clamped = Clamped({line, 0});
    const double column =
        static_cast<double>(LeftColumn()) +
        static_cast<double>(point.x() - GutterWidth() - kTextMargin) / m_charWidth;
    return {clamped.line, OffsetNear(LineBytes(clamped.line), std::max(column, 0.0))};
}

bool LineView::MoveByKey(const QKeyEvent& event) {
    const bool extend = event.modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event.modifiers().testFlag(Qt::ControlModifier);
    const std::string_view bytes = LineBytes(m_caret.line);
    const std::int64_t last = std::max<std::int64_t>(LineCount() - 1, 0);
    // Up and Down, a page or a line, keep to the column the caret had when it last moved
    // sideways.
    const auto toLine = [&](std::int64_t line) {
        line = std::clamp<std::int64_t>(line, 0, last);
        MoveCaret({line, OffsetNear(LineBytes(line), static_cast<double>(m_goalColumn))}, extend,
                  true);
    };
    switch (event.key()) {
        case Qt::Key_Up:
            toLine(m_caret.line - 1);
            return true;
        case Qt::Key_Down:
            toLine(m_caret.line + 1);
            return true;
        case Qt::Key_PageUp:
            verticalScrollBar()->setValue(
                static_cast<int>(std::max<std::int64_t>(TopLine() - VisibleLines(), 0)));
            toLine(m_caret.line - VisibleLines());
            return true;
        case Qt::Key_PageDown:
            verticalScrollBar()->setValue(
                static_cast<int>(std::min<std::int64_t>(TopLine() + VisibleLines(), INT_MAX)));
            toLine(m_caret.line + VisibleLines());
            return true;
        case Qt::Key_Left:
            if (m_caret.offset > 0)
                MoveCaret({m_caret.line, PreviousBoundary(bytes, m_caret.offset)}, extend);
            else if (m_caret.line > 0)
                MoveCaret(LineEnd(m_caret.line - 1), extend);
            return true;
        case Qt::Key_Right:
            if (m_caret.offset < bytes.size())
                MoveCaret({m_caret.line, NextBoundary(bytes, m_caret.offset)}, extend);
            else if (m_caret.line < last)
                MoveCaret({m_caret.line + 1, 0}, extend);
            return true;
        case Qt::Key_Home:
            MoveCaret(control ? TextPlace{} : TextPlace{m_caret.line, 0}, extend);
            return true;
        case Qt::Key_End:
            MoveCaret(LineEnd(control ? last : m_caret.line), extend);
            return true;
        default:
            return false;
    }
}

void LineView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SetSelection({}, LineEnd(std::max<std::int64_t>(LineCount() - 1, 0)));
        event->accept();
        return;
    }
    if (LineCount() > 0 && MoveByKey(*event)) {
        event->accept();
        return;
    }
    // F3, Escape and the rest belong to the window.
    event->ignore();
}

void LineView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    MoveCaret(PlaceAt(event->position().toPoint()), event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
}

void LineView::mouseMoveEvent(QMouseEvent* event) {
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // Dragging past an edge scrolls there, as the caret follows the pointer.
    MoveCaret(PlaceAt(event->position().toPoint()), true);
    event->accept();
}

}  // namespace sifter::ui
