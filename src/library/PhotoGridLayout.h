#pragma once

// The geometry and selection rules of the photo library grid, without a widget: the
// grid widget calls these, and the tests call them directly.
//
// Geometry. Cells sit on a 68-pixel pitch in both directions, as many columns as fit
// the width (at least one), cell i of the visible list in column i mod columns and row
// i div columns. The box of a cell runs from 5 pixels after the column's start to 5
// before its end and from 10 pixels below the row's start to 10 above its end (58 x 48),
// shifted by the scroll offsets. The thumbnail is drawn in the box scaled to fit with
// the photo's aspect ratio and centred. The bottom 26 pixels of the view (the "Add to
// Canvas" button, 25 high, and the line above it) never hit a cell.
//
// Selection. PhotoGridSelection holds one flag per visible cell, the anchor of range
// selection and the range's other end (cell numbers, -1 for none):
//   click              clear, select the cell; it becomes anchor and end
//   Ctrl+click         toggle the cell; a cell that becomes selected becomes the anchor
//   Shift+click        select exactly the cells from the anchor to this one (with no
//                      anchor, a plain click)
//   click on nothing   clear; a rubber band starts
//   rubber band        the cells whose thumbnails overlap the band are selected, the
//                      others not
//   arrows             select the neighbouring cell alone: left and right the previous and
//                      next cell in list order (across row ends), up and down the cell a
//                      row above or below; nothing past the first or last cell; with no
//                      current cell the first cell
//   Ctrl+A             select every cell
//   right-click        on a selected cell the selection stays (the context menu acts on
//                      all of it); elsewhere as a click
// Each operation returns whether any flag changed. The current cell (the one "Add to
// Canvas" uses) is the range's other end when it is selected, else the first selected
// cell, else none. The selection also keeps the order in which cells became selected
// (SelectionOrder): a cell keeps its place while it stays selected, cells an operation
// selects together follow in list order (a Shift range from the anchor towards the
// clicked cell), and a deselected cell leaves the order.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace library {

struct PhotoGridMetrics {
    int pitch = 68;
    int boxInsetX = 5;
    int boxInsetY = 10;
    int scrollBarWidth = 17;
    int buttonHeight = 25;
    int buttonBand = 26; // bottom pixels that never hit a cell
};
inline constexpr PhotoGridMetrics kPhotoGrid{};

// Columns that fit viewWidth (at least 1).
int GridColumns(int viewWidth);
// The size of all rows and columns of count cells (what the scroll bars cover).
QSize GridContentSize(int count, int columns);
// The box of cell i, shifted by the scroll offsets.
QRect GridCellBox(int i, int columns, QPoint scroll);
// The thumbnail of a photo of photoWidth x photoHeight fitted into the box, centred;
// the whole box for a photo without a size.
QRect FittedThumbnailRect(const QRect& box, int photoWidth, int photoHeight);
// The cell whose box holds the point of a view of viewSize, or -1.
int GridHitTest(QPoint point, int count, int columns, QPoint scroll, QSize viewSize);

enum class GridArrow { Left, Right, Up, Down };

class PhotoGridSelection {
public:
    // Forget everything and hold count cells, none selected.
    void Reset(int count);
    int count() const { return int(selected_.size()); }
    bool IsSelected(int cell) const;
    const std::vector<char>& Flags() const { return selected_; }
    std::vector<int> SelectedCells() const;
    // The selected cells in the order they were selected.
    const std::vector<int>& SelectionOrder() const { return order_; }
    int anchor() const { return anchor_; }
    int end() const { return end_; }
    int Current() const;

    bool Click(int cell, bool ctrl, bool shift);
    bool ClickEmpty();
    bool RightClick(int cell); // cell -1: on empty space
    // Thumbnail rectangles of every cell, in view coordinates.
    bool RubberBand(const QRect& band, const std::vector<QRect>& thumbnails);
    bool Arrow(GridArrow arrow, int columns);
    bool SelectAll();
    // Takes these flags (one per cell), anchor and end as they are: how a view carries its
    // selection over a rebuilt visible list. `order` names selected cells in the order they
    // were selected; cells it leaves out follow in list order.
    void Assign(std::vector<char> flags, int anchor, int end, const std::vector<int>& order = {});

private:
    bool SelectOnly(int cell);
    // Drops cells no longer selected from the order and appends newly selected ones,
    // in list order, or from `from` towards `to` when given.
    void SyncOrder(int from = -1, int to = -1);

    std::vector<char> selected_;
    int anchor_ = -1;
    int end_ = -1;
    std::vector<int> order_;
};

} // namespace library
