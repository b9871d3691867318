#include "ui/results/result_delegate.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "search/text/text_rules.h"
#include "ui/conventions.h"
#include "ui/pictures.h"
#include "ui/results/result_model.h"

namespace sifter::ui {
namespace {

constexpr QRgb kPureRed = qRgb(255, 0, 0);

}  // namespace

std::string_view VisiblePrefix(std::string_view text, int width) {
    const std::size_t limit = 4 * static_cast<std::size_t>(std::max(width, 0) + 1);
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    // A UTF-8 character has at most three bytes after its first; bytes that only look like
    // such a tail belong to no character, and the cut may fall among them.
    while (end > limit - 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

QPixmap WithRedAs(const QPixmap& picture, const QColor& background) {
    if (picture.isNull()) return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    bool changed = false;
    const QRgb replacement = background.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != kPureRed) continue;
            line[x] = replacement;
            changed = true;
        }
    }
    if (!changed) return picture;
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    return result;
}

ResultDelegate::ResultDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

const QPixmap& ResultDelegate::PreparedPicture(EntryIcon icon, const QPixmap& source,
                                               const QColor& background) const {
    auto& cache = m_prepared[static_cast<std::size_t>(icon)];
    const qint64 key = source.cacheKey();
    const QRgb rgb = background.rgb();
    for (const Prepared& slot : cache)
        if (slot.sourceKey == key && slot.background == rgb) return slot.picture;
    // The pictures of a new search, or a new palette: prepare this colour once.
    std::size_t& next = m_nextSlot[static_cast<std::size_t>(icon)];
    Prepared& slot = cache[next];
    next = (next + 1) % cache.size();
    slot = Prepared{key, rgb, WithRedAs(source, background)};
    return slot.picture;
}

void ResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const auto row = index.data(ResultModel::kRowRole).value<RowView>();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    // The colours do not follow focus or the enabled state: a selection stays highlighted
    // when the list loses the focus.
    const QPalette& palette = option.palette;
    const QColor background =
        palette.color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base);
    const QColor text =
        selected ? palette.color(QPalette::Active, QPalette::HighlightedText) : m_textColour;
    const QRect& rect = option.rect;

    painter->fillRect(rect, background);
    int x = kMargin;
    if (row.pictures != nullptr) {
        // The indentation follows the text, whatever kind of row it is.
        if (IsProcLine(row.text)) x += kProcIndent;
        const QPixmap& source = row.pictures->Picture(row.icon);
        if (!source.isNull())
            painter->drawPixmap(rect.left() + x, rect.top(),
                                PreparedPicture(row.icon, source, background));
        x += qRound(source.deviceIndependentSize().width()) + kPictureGap;
    }

    const QRect textRect(rect.left() + x, rect.top(), rect.right() + 1 - (rect.left() + x),
                         kRowHeight);
    if (textRect.width() > 0 && !row.text.empty()) {
        QString shown = DisplayText(VisiblePrefix(row.text, textRect.width()));
        // U+009C would make Qt treat the rest as another length variant of the text.
        shown.replace(QChar(0x9C), QChar(u' '));
        painter->setFont(option.font);
        painter->setPen(text);
        // Tabs are shown as blanks and nothing is shortened; the rect clips what does not fit.
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    }

    if (option.state.testFlag(QStyle::State_HasFocus)) FocusRectangle(*painter, rect, background);
}

QSize ResultDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    // No width: the list never scrolls sideways, so a row is as wide as the list.
    return {1, kRowHeight};
}

}  // namespace sifter::ui
