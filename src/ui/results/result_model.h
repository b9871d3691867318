#pragma once
// The result list's rows as a Qt model: the engine's compact rows plus the pictures of the
// search that made them.

#include <QAbstractListModel>
#include <QItemSelection>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "search/run/result_rows.h"

namespace sifter::ui {

class EntryPictures;

// What the delegate needs of a row, in one data() call.
struct RowView {
    std::string_view text;
    EntryIcon icon = EntryIcon::Blank;
    const EntryPictures* pictures = nullptr;
};

class ResultModel final : public QAbstractListModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultModel)

public:
    // data() with this role gives a RowView.
    static constexpr int kRowRole = Qt::UserRole + 1;

    explicit ResultModel(QObject* parent = nullptr);
    ~ResultModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the row's text as shown; kRowRole: the RowView.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Takes all rows of a search at once (one model reset). Removals made before can no longer
    // be undone, and neither after Clear.
    void SetRows(ResultRows rows, std::shared_ptr<const EntryPictures> pictures);
    void Clear();
    // Removes the rows whose flag is set, in one pass and one reset, keeping them for an undo.
    void RemoveRows(const std::vector<bool>& remove);
    // Removes the rows of a selection of this model the same way.
    void RemoveRows(const QItemSelection& selection);
    // Puts the rows of the last removal not yet undone back at their places (one reset) and
    // gives their selection; an empty one when there is nothing to undo.
    QItemSelection UndoRemoval();
    // The rows of a selection in list order, each as shown and followed by CR LF: the bytes a
    // save of them would write, as text.
    QString RowsText(const QItemSelection& selection) const;

    const ResultRows& Rows() const { return m_rows; }
    bool CanUndo() const { return !m_removals.empty(); }

    // Whether rows were removed, and not put back, since the rows were set or last saved.
    bool Trimmed() const { return State() != m_savedState; }
    void MarkSaved() { m_savedState = State(); }

    // Everything the model holds: its rows and pictures, the removals it can undo, and what
    // it counts as saved. Taking them leaves the model empty (one reset); putting them back
    // makes it the model it was.
    struct Contents;
    Contents TakeContents();
    void PutContents(Contents contents);

private:
    struct Removal {
        std::uint64_t state = 0;  // the list's state once the rows were removed
        ResultRows::Removed removed;
    };
    // The state of the list: 0 as set, else the removal it stands after.
    std::uint64_t State() const { return m_removals.empty() ? 0 : m_removals.back().state; }
    // One flag per row: whether the selection holds it.
    std::vector<bool> Flags(const QItemSelection& selection) const;

    ResultRows m_rows;
    std::shared_ptr<const EntryPictures> m_pictures;
    std::vector<Removal> m_removals;  // the last one last
    std::uint64_t m_savedState = 0;
    std::uint64_t m_lastState = 0;  // each removal gets a state of its own
};

struct ResultModel::Contents {
    ResultRows rows;
    std::shared_ptr<const EntryPictures> pictures;
    std::vector<Removal> removals;
    std::uint64_t savedState = 0;
};

}  // namespace sifter::ui

Q_DECLARE_METATYPE(sifter::ui::RowView)
