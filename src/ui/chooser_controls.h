#pragma once
// The controls of the directory chooser and how they draw.
//
// DirectoryListbox1 shows the tree: one 13-pixel row per visible node with tree lines, a
// folder picture and the name; the keys and the mouse open, close and select nodes, and every
// change of the selected row makes that directory current.
//
// DriveComboBox1 lists the mounted volumes, one entry each with a picture of its kind, in a
// list that cannot be typed into. It keeps a volume of its own, the one last picked, and
// reports a pick only when it differs from that one.
//
// Each picture's bottom-left pixel gives the colour that counts as transparent, the way the
// window layouts' bitmaps are keyed; the files use magenta, which no picture shows.

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/directory_tree.h"

class QPainter;

namespace sifter::ui {

enum class FolderPicture {
    Open,    // expanded, with listed subdirectories
    Closed,  // collapsed, with listed subdirectories
    Leaf,    // no listed subdirectories: not read yet, or read and empty
};

inline constexpr int kFolderPictureSize = 14;
inline constexpr int kVolumePictureSize = 16;
inline constexpr int kGlyphSize = 18;

// 14 by 14; the bottom row is transparent, so a 13-pixel row shows all of the folder. The
// leaf is a closed folder with a black outline and a yellow and white checkered face.
const QPixmap& FolderImage(FolderPicture picture);
// 16 by 16: floppy disk, hard disk, network drive, CD, memory module.
const QPixmap& VolumeImage(platform::Volume::Kind kind);
// 18 by 18 with a greyed form for the disabled state: a green check mark, a red cross.
QIcon OkGlyph();
QIcon CancelGlyph();

// One entry of the volume list: the picture 2 pixels from the left, centred in height, the
// text 6 pixels after the picture's width, on one line, centred in height; an ampersand is
// drawn like any other character.
inline constexpr int kVolumePictureLeft = 2;
inline constexpr int kVolumeTextGap = 6;
void PaintVolumeEntry(QPainter& painter, const QRect& rect, platform::Volume::Kind kind,
                      const QString& text, const QColor& colour);

class DirectoryOutline final : public QAbstractScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirectoryOutline)

public:
    static constexpr int kRowHeight = 13;
    static constexpr int kIndent = 16;     // from one level's picture to the next
    static constexpr int kLeftMargin = 3;  // before the top node's picture
    static constexpr int kTextGap = 4;     // between the picture and the name

    explicit DirectoryOutline(DirectoryTree& tree, QWidget* parent = nullptr);

    // Takes the tree as it is now, after it was built again.
    void TreeChanged();

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    DirectoryTree::Node NodeAt(int row) const;
    // -1 when the node is not visible.
    int RowOf(DirectoryTree::Node node) const;
    int SelectedRow() const { return RowOf(m_tree.Selected()); }
    int FirstVisibleRow() const;
    int RowsPerPage() const;
    // Viewport coordinates; a row scrolled out of sight lies outside the viewport.
    QRect RowRect(int row) const;
    QRect PictureRect(int row) const;
    // The name and the margin around it: what the selection highlights.
    QRect NameRect(int row) const;
    int RowAt(const QPoint& viewportPoint) const;

    // Selects a row as a click on it does; nothing when it is the selected one.
    void SelectRow(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs an operation on the tree (reading, opening or closing nodes, which may move the
    // selection) and shows the result, the selection in sight.
    void ChangeTree(const std::function<void()>& operation);
    void Reload();
    void EnsureVisible(int row);
    void UpdateScrollBars();
    void MoveToSibling(bool next);
    int PictureLeft(int level) const;
    void PaintRow(QPainter& painter, int row) const;
    void PaintLines(QPainter& painter, int row) const;

    DirectoryTree& m_tree;
    std::vector<DirectoryTree::Node> m_rows;
    std::vector<int> m_levels;  // by row
    int m_contentWidth = 0;
};

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
