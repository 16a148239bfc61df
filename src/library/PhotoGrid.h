#pragma once

// The photo library's thumbnail grid: the cells of the records not removed, on the
// 68-pixel pitch of PhotoGridLayout, each a box holding the frame bitmap and the photo's
// thumbnail fitted over it, the selected cells framed (two lines of 100 grey outside the
// box, a white line on its edge). A vertical and a horizontal drawn scroll bar (17 pixels,
// the canvas's bars) appear when there is something to scroll; the "Add to Canvas" button
// (10480, 25 pixels high) runs across the bottom edge with a line above it, and presses in
// those bottom 26 pixels never reach a cell.
//
// The mouse and the keys follow PhotoGridSelection (click, Ctrl, Shift, rubber band,
// arrows, Ctrl+A, right-click); the grid writes the result into the library's selected
// flags. Pressing the left button on a thumbnail and moving the mouse past the drag
// distance drags the photo; the release reports where it happened (thumbnailReleased) and
// the owner decides what lies there. Picture files dropped from a file manager are handed
// on as paths (filesDropped).
//
// Thumbnails are decoded only when their cell is painted and kept, already fitted, in a
// bounded cache, so a library of thousands of photos scrolls without decoding more than
// the cells in view. Positions of the library are stable for its life; after a Load the
// owner calls Reload() to drop what was cached.
//
// Notifications to the owner (the number each stands for):
//   selectionChanged(indexes)  1134  the selected records' stored indexes
//   selectionStateChanged()    1135  the selection changed: refresh dependent state
//   addRequested()             1152  the button or a double-click: add the current photo
//   contextMenuRequested(pos)  1153  a right-click: the library's context menu at pos
//   thumbnailReleased(pos)           a thumbnail drag ended at this global position
//   filesDropped(paths)              picture files dropped from a file manager

#include "library/PhotoGridLayout.h"

#include <QCache>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <vector>

class CanvasScrollBar;
class QMimeData;
class SkinButton;

namespace library {

class PhotoLibrary;

inline constexpr int kAddToCanvasButton = 10480;
// The box of every cell and how the selected frame sits around it.
struct PhotoGridLook {
    int selectionOutset = 2;   // the two grey lines lie 1 and 2 pixels outside the box
    int lineStep = 17;         // scroll-bar arrows move this far (a quarter cell)
    int wheelStep = 68;        // one notch of the wheel: one row
    int thumbnailCache = 1024; // fitted thumbnails kept
};
inline constexpr PhotoGridLook kPhotoGridLook{};

class PhotoGrid : public QWidget {
    Q_OBJECT
public:
    // The library must outlive the grid.
    explicit PhotoGrid(PhotoLibrary& library, QWidget* parent = nullptr);
    ~PhotoGrid() override;

    // The library was replaced as a whole (Load): drop the cached thumbnails.
    void Reload();

    // The library position of the current record (the one "Add to Canvas" takes), or -1.
    int CurrentPosition() const;
    const PhotoGridSelection& Selection() const { return selection_; }
    // Library positions of the selected photos in the order they were selected.
    std::vector<int> SelectedPositionsInOrder() const;

    // Where the cells are drawn (above the button band, left of the vertical bar).
    QRect CellArea() const;
    int Columns() const;
    QPoint ScrollOffset() const { return scroll_; }
    void SetScrollOffset(QPoint offset);
    // The box of visible cell i in widget coordinates at the current scroll offsets.
    QRect CellBox(int cell) const;
    // Scrolls so that the cell is wholly in view.
    void EnsureVisible(int cell);

    CanvasScrollBar* VerticalBar() const { return vertical_; }
    CanvasScrollBar* HorizontalBar() const { return horizontal_; }
    SkinButton* AddButton() const { return addButton_; }
    bool Dragging() const { return dragging_; }
    // Thumbnails decoded since the grid was made (how lazily it paints).
    int DecodedThumbnails() const { return decoded_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void selectionChanged(const std::vector<std::int32_t>& indexes);
    void selectionStateChanged();
    void addRequested();
    void contextMenuRequested(QPoint globalPosition);
    void thumbnailReleased(QPoint globalPosition);
    void filesDropped(const QStringList& paths);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void RecordsChanged();
    void SelectionFromLibrary();
    // After an operation of the selection: write the flags to the library and notify.
    void Commit(bool changed);
    void UpdateRubberBand(QPoint to);
    void LayOut();
    void OnScroll(Qt::Orientation orientation, int code, std::int32_t value);
    QSize ContentSize() const;
    QPixmap Thumbnail(int position, const QRect& fitted);

    PhotoLibrary& library_;
    PhotoGridSelection selection_;
    CanvasScrollBar* vertical_;   // children of the grid
    CanvasScrollBar* horizontal_;
    SkinButton* addButton_;
    QPoint scroll_;
    QPixmap frame_;               // the box's frame bitmap, drawn once
    QCache<int, QPixmap> thumbnails_;
    int decoded_ = 0;

    // Mouse gestures.
    bool banding_ = false;
    QPoint bandStart_;            // content coordinates
    QRect band_;                  // widget coordinates, as drawn
    bool pressedOnCell_ = false;
    bool dragging_ = false;
    QPoint pressPoint_;
    std::vector<int> lastVisible_; // the visible list the selection's cells were counted over
};

// True for the picture extensions the library takes from a file manager (letter case ignored).
bool IsImportablePicture(const QString& path);
// The picture files among the local files of a drag.
QStringList DroppedPictures(const QMimeData* mime);

// The frame bitmap laid under every thumbnail, drawn at the box size.
QPixmap PhotoFrameBitmap(QSize size);

} // namespace library
