#include "ui/results/result_model.h"

#include <algorithm>
#include <limits>

#include "ui/conventions.h"

namespace sifter::ui {

ResultModel::ResultModel(QObject* parent) : QAbstractListModel(parent) {}

ResultModel::~ResultModel() = default;

int ResultModel::rowCount(const QModelIndex& parent) const {
    // A list has no children. Qt counts rows in an int: a count past that is capped rather
    // than wrapped into a negative one.
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<std::size_t>(m_rows.size(), std::numeric_limits<int>::max()));
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.parent().isValid() || index.column() != 0 || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= m_rows.size())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case kRowRole:
            return QVariant::fromValue(
                RowView{m_rows.Text(row), m_rows.Icon(row), m_pictures.get()});
        case Qt::DisplayRole:
            return DisplayText(m_rows.Text(row));
        default:
            return {};
    }
}

void ResultModel::SetRows(ResultRows rows, std::shared_ptr<const EntryPictures> pictures) {
    beginResetModel();
    m_rows = std::move(rows);
    // The list may keep these rows for a long time; the growth slack of the search goes.
    m_rows.ShrinkToFit();
    m_pictures = std::move(pictures);
    m_removals.clear();
    m_savedState = 0;
    endResetModel();
}

void ResultModel::Clear() {
    beginResetModel();
    m_rows.Clear();
    // Nothing refers to the pictures of the last search any more.
    m_pictures.reset();
    m_removals.clear();
    m_savedState = 0;
    endResetModel();
}

ResultModel::Contents ResultModel::TakeContents() {
    beginResetModel();
    Contents contents{std::move(m_rows), std::move(m_pictures), std::move(m_removals),
                      m_savedState};
    m_rows = ResultRows();
    m_pictures.reset();
    m_removals.clear();
    m_savedState = 0;
    endResetModel();
    return contents;
}

void ResultModel::PutContents(Contents contents) {
    beginResetModel();
    m_rows = std::move(contents.rows);
    m_pictures = std::move(contents.pictures);
    m_removals = std::move(contents.removals);
    m_savedState = contents.savedState;
    endResetModel();
}

std::vector<bool> ResultModel::Flags(const QItemSelection& selection) const {
    // Ranges, not indexes: half a million selected rows are often a handful of ranges, and
    // even when scattered one flag per row is far cheaper than a QModelIndex per row.
    std::vector<bool> flags(m_rows.size(), false);
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.model() != this) continue;
        const int last = std::min(range.bottom(), rowCount() - 1);
        if (range.top() <= last)
            std::fill(flags.begin() + range.top(), flags.begin() + last + 1, true);
    }
    return flags;
}

void ResultModel::RemoveRows(const QItemSelection& selection) {
    RemoveRows(Flags(selection));
}

QString ResultModel::RowsText(const QItemSelection& selection) const {
    // The selection's ranges come in the order they were selected; the flags put them in the
    // list's order.
    const std::vector<bool> selected = Flags(selection);
    QString text;
    for (std::size_t row = 0; row < selected.size(); ++row) {
        if (!selected[row]) continue;
        text += DisplayText(m_rows.Text(row));
        text += QStringLiteral("\r\n");
    }
    return text;
}

void ResultModel::RemoveRows(const std::vector<bool>& remove) {
    // One reset rather than one removal signal per run of rows: after a scattered selection
    // the views would otherwise relayout thousands of times.
    beginResetModel();
    ResultRows::Removed removed = m_rows.TakeRows(remove);
    if (!removed.runs.empty()) m_removals.push_back({++m_lastState, std::move(removed)});
    endResetModel();
}

QItemSelection ResultModel::UndoRemoval() {
    QItemSelection restored;
    if (m_removals.empty()) return restored;
    beginResetModel();
    m_rows.PutBack(m_removals.back().removed);
    endResetModel();
    for (const ResultRows::Removed::Run& run : m_removals.back().removed.runs) {
        const auto first = static_cast<int>(run.first);
        restored.select(index(first), index(first + static_cast<int>(run.count) - 1));
    }
    m_removals.pop_back();
    return restored;
}

}  // namespace sifter::ui
