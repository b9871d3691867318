#pragma once
// Helpers for the result list tests: rows from a short table, a shown list, and reading the
// painted pixels back.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QString>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "search/run/result_rows.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"

namespace sifter::test {

using RowTable = std::vector<std::pair<std::string, EntryIcon>>;

// The tables give the picture a row shows; a Blank row is a match row when it reads as one.
inline ResultRows MakeRows(const RowTable& table) {
    ResultRows rows;
    for (const auto& [text, icon] : table) {
        RowKind kind = text.starts_with('[') ? RowKind::Match : RowKind::Heading;
        if (icon == EntryIcon::Banner) kind = RowKind::Banner;
        if (icon == EntryIcon::File) kind = RowKind::File;
        if (icon == EntryIcon::Procedure) kind = RowKind::Procedure;
        rows.AddRow(text, kind);
    }
    return rows;
}

inline std::vector<std::string> RowTexts(const ResultRows& rows) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < rows.size(); ++i) texts.emplace_back(rows.Text(i));
    return texts;
}

inline std::vector<int> SelectedRows(const ui::ResultList& list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Drawn without smoothing, so every pixel of a glyph has exactly the text colour.
inline QFont CrispFont(int pixelSize) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A shown, enabled list of `rows` in a window of `size`, in the crisp font, without the focus.
inline std::unique_ptr<ui::ResultList> ShownList(const RowTable& rows, QSize size = {360, 160}) {
    auto list = std::make_unique<ui::ResultList>();
    list->setFont(CrispFont(11));
    list->SetRows(MakeRows(rows), std::make_shared<const ui::EntryPictures>());
    list->setEnabled(true);
    list->resize(size);
    list->show();
    if (!QTest::qWaitForWindowExposed(list.get())) return nullptr;
    // No focus frame unless a test asks for one.
    list->clearFocus();
    return list;
}

// The list's visible rows as painted, one pixel per pixel.
inline QImage PaintedRows(ui::ResultList& list) {
    return list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle around the pixels of `colour` inside `area`; empty when there are none.
inline QRect InkBounds(const QImage& image, const QRect& area, QRgb colour) {
    QRect bounds;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The colours found in a rectangle of the image, sorted.
inline std::vector<QRgb> ColoursIn(const QImage& image, const QRect& area) {
    std::vector<QRgb> colours;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xFF000000u;
            if (std::find(colours.begin(), colours.end(), pixel) == colours.end())
                colours.push_back(pixel);
        }
    std::sort(colours.begin(), colours.end());
    return colours;
}

// Where the first ink of `text` lies right of and below the top-left point it is drawn from:
// the font's own side bearing and the space above its tallest glyph.
inline QPoint InkOffset(const QFont& font, const QString& text) {
    QImage image(600, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(0, QFontMetrics(font).ascent()), text);
    }
    return InkBounds(image, image.rect(), qRgb(0, 0, 0)).topLeft();
}

}  // namespace sifter::test
