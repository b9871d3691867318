#include "ui/chooser/volume_selector.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStylePainter>
#include <algorithm>

#include "platform/path_rules.h"
#include "ui/chooser/chooser_drawing.h"
#include "ui/conventions.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

// The list drops down below the box, whatever the style does with lists that cannot be typed
// into (some lay the list over the box, with the selected entry on top of it).
class DropDownStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

platform::Volume::Kind KindOf(const QModelIndex& index) {
    return static_cast<platform::Volume::Kind>(index.data(VolumeSelector::kKindRole).toInt());
}

}  // namespace

QString VolumeEntryText(const platform::Volume& volume) {
    using Kind = platform::Volume::Kind;
    // "c:" for a drive; a mount path as it is.
    const QString path = DisplayText(platform::Paths().VolumeName(volume.mountPath));
    const QString label = DisplayText(volume.label).toLower();
    if (volume.kind == Kind::Removable) return path;
    // A network volume's label is its source; when the source is unknown it shows the empty
    // brackets of a volume without a label.
    if (volume.kind == Kind::Network && !label.isEmpty()) return path + QLatin1Char(' ') + label;
    return path + QStringLiteral(" [") + label + QLatin1Char(']');
}

void VolumeEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    if (selected) painter->fillRect(option.rect, option.palette.color(QPalette::Highlight));
    const QColor colour =
        option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    painter->save();
    painter->setFont(option.font);
    PaintVolumeEntry(*painter, option.rect, KindOf(index), index.data(Qt::DisplayRole).toString(),
                     colour);
    painter->restore();
}

QSize VolumeEntryDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    // As high as the font or the floppy disk, whichever is higher.
    const int height =
        std::max(metrics.height(), VolumeImage(platform::Volume::Kind::Removable).height());
    const int width = kVolumePictureSize + kVolumeTextGap +
                      metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 4;
    return {width, height};
}

VolumeSelector::VolumeSelector(QWidget* parent) : QComboBox(parent) {
    setObjectName(names::kDriveComboBox1);
    setEditable(false);
    auto* style = new DropDownStyle;
    style->setParent(this);
    setStyle(style);
    setItemDelegate(new VolumeEntryDelegate(this));
    connect(this, &QComboBox::activated, this, &VolumeSelector::EntryPicked);
}

void VolumeSelector::Fill(std::vector<platform::Volume> volumes, const std::string& mountPath) {
    m_volumes = std::move(volumes);
    clear();
    int start = -1;
    for (std::size_t i = 0; i < m_volumes.size(); ++i) {
        const platform::Volume& volume = m_volumes[i];
        addItem(VolumeEntryText(volume));
        setItemData(static_cast<int>(i), static_cast<int>(volume.kind), kKindRole);
        if (start < 0 && platform::Paths().SameDirectory(volume.mountPath, mountPath))
            start = static_cast<int>(i);
    }
    setCurrentIndex(start);
    m_selected = start >= 0 ? mountPath : std::string();
    m_filled = true;
}

void VolumeSelector::Pick(int index) {
    setCurrentIndex(index);
    emit activated(index);
}

void VolumeSelector::EntryPicked(int index) {
    if (index < 0 || index >= static_cast<int>(m_volumes.size())) return;
    const std::string& mountPath = m_volumes[static_cast<std::size_t>(index)].mountPath;
    if (platform::Paths().SameDirectory(mountPath, m_selected)) return;
    m_selected = mountPath;
    emit VolumeChosen();
}

void VolumeSelector::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The frame and the arrow come from the style; the entry is drawn as in the list.
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    QColor colour = palette().color(QPalette::ButtonText);
    // The entry of a focused drop-down list is shown selected, as the list showed it.
    if (hasFocus()) {
        painter.fillRect(field, palette().color(QPalette::Highlight));
        colour = palette().color(QPalette::HighlightedText);
    }
    painter.setClipRect(field);
    PaintVolumeEntry(painter, field,
                     KindOf(model()->index(currentIndex(), modelColumn(), rootModelIndex())),
                     currentText(), colour);
}

}  // namespace sifter::ui
