#pragma once
// Paints the rows of the result list: background, the row's picture indented by its text,
// then the text as one line, and the dotted focus rectangle of the current row.
//
// Where a row's text starts, from the row's left edge:
//   24  banner and file heading (a 16-pixel picture from x = 2)
//   32  procedure row, or a file heading whose text reads as a procedure line (picture from 10)
//    8  every row with the empty picture: search path and string, blank and match rows
//   16  the same when the text reads as a procedure line
// The indent follows the text, not the kind of row, so that a match inside a procedure line
// lines up with the procedure rows' text.

#include <QColor>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <array>
#include <string_view>

#include "search/run/result_rows.h"

namespace sifter::ui {

// The start of `text` worth decoding for a strip `width` pixels wide: a character that shows
// takes at least one pixel and at most four bytes, and the cut falls between characters. A
// 10 MB row then decodes and draws no more than a short one.
std::string_view VisiblePrefix(std::string_view text, int width);

// `picture` with its pure red pixels turned into `background`: the colour a row picture uses
// to let the row's background through.
QPixmap WithRedAs(const QPixmap& picture, const QColor& background);

class ResultDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultDelegate)

public:
    static constexpr int kRowHeight = 16;
    static constexpr int kMargin = 2;      // before the picture or the text
    static constexpr int kProcIndent = 8;  // more for a row whose text is a procedure line
    static constexpr int kPictureGap = 6;  // between the picture and the text

    explicit ResultDelegate(QObject* parent = nullptr);

    // The colour of unselected rows' text; selected rows use the highlight-text colour.
    void SetTextColour(const QColor& colour) { m_textColour = colour; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // A picture prepared for one background colour; two per picture (plain and highlighted)
    // serve every paint, so a paint converts nothing.
    struct Prepared {
        qint64 sourceKey = 0;
        QRgb background = 0;
        QPixmap picture;
    };
    const QPixmap& PreparedPicture(EntryIcon icon, const QPixmap& source,
                                   const QColor& background) const;

    QColor m_textColour = Qt::black;
    mutable std::array<std::array<Prepared, 2>, 4> m_prepared{};  // by EntryIcon, two colours
    mutable std::array<std::size_t, 4> m_nextSlot{};
};

}  // namespace sifter::ui
