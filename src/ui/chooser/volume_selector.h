#pragma once
// The directory chooser's drive selector, DriveComboBox1: the mounted volumes, one entry each
// with a picture of its kind, in a list that cannot be typed into. It keeps a volume of its
// own, the one last picked, and reports a pick only when it differs from that one.

#include <QComboBox>
#include <QStyledItemDelegate>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sifter::ui {

// "/ [system]", "/srv []", "/mnt/share //server/share": the mount path, a blank and the label
// in lower case in square brackets; a network volume shows its source instead (lower case,
// no brackets), a removable one its mount path alone.
QString VolumeEntryText(const platform::Volume& volume);

class VolumeEntryDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VolumeEntryDelegate)

public:
    explicit VolumeEntryDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class VolumeSelector final : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VolumeSelector)

public:
    static constexpr int kKindRole = Qt::UserRole;

    explicit VolumeSelector(QWidget* parent = nullptr);

    // Lists the volumes and selects the entry mounted at `mountPath`; no entry when none is.
    void Fill(std::vector<platform::Volume> volumes, const std::string& mountPath);
    bool IsFilled() const { return m_filled; }
    const std::vector<platform::Volume>& Volumes() const { return m_volumes; }
    // The selector's own volume: empty until an entry was selected.
    const std::string& SelectedVolume() const { return m_selected; }

    // Does what picking entry `index` from the list does.
    void Pick(int index);

signals:
    // A volume other than the selector's own was picked; it is the selector's volume now.
    void VolumeChosen();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void EntryPicked(int index);

    std::vector<platform::Volume> m_volumes;
    std::string m_selected;
    bool m_filled = false;
};

}  // namespace sifter::ui
