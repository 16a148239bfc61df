#pragma once

// The style gallery of the text panel: a vertical list of eight cells, one per text style
// preset 0..7, each showing the word "Text" in "Microsoft Sans Serif", weight 700, as high
// as the cell's drawn height, in the preset with its default colours, fully opaque.
//
// Cells are 160 x 48; a cell is drawn in (3, row x 48 + 3 - scroll, 157, (row + 1) x 48 -
// 3 - scroll) on white, the selected one framed twice in 200 grey (the second line one
// pixel up and left). Cell 0 is selected at creation. A click on a cell, or Up / Down to
// the neighbouring cell, selects it and tells the panel (selectionChanged). Each wheel
// notch scrolls by 100 pixels (up for a positive delta) within the scroll range; a scroll
// bar 17 wide at the right edge is hidden when all cells fit. Geometry: namespace
// stylegallery, headless, shared with the tests.

#include <QImage>
#include <QRect>
#include <QWidget>

#include <array>

class QScrollBar;

namespace stylegallery {
inline constexpr int kStyleCount = 8;
inline constexpr int kCellWidth = 160;
inline constexpr int kCellHeight = 48;
inline constexpr int kCellMargin = 3;
inline constexpr int kScrollBarWidth = 17;
inline constexpr int kWheelStep = 100;
inline constexpr int kContentHeight = kStyleCount * kCellHeight;
// The gallery's width: a whole cell and the scroll bar.
inline constexpr int kWidth = kCellWidth + kScrollBarWidth;
inline constexpr const char* kFaceName = "Microsoft Sans Serif";
inline constexpr int kFaceWeight = 700;

// The rectangle a cell is drawn in at a scroll offset (right and bottom exclusive).
QRect CellRect(int row, int scroll);
// The largest scroll offset for a view height: 0 when every cell fits.
int ScrollRange(int viewHeight);
// The cell under a view y at a scroll offset; -1 below the last cell.
int RowAt(int y, int scroll);
// The scroll offset after one wheel notch (delta > 0 scrolls up), clamped to the range.
int WheelScroll(int scroll, int delta, int viewHeight);
} // namespace stylegallery

class StyleGallery : public QWidget {
    Q_OBJECT

public:
    explicit StyleGallery(QWidget* parent = nullptr);

    int Selected() const { return selected_; }
    // Selects a style (clamped to 0..7) and scrolls it into view; no notification.
    void SetSelected(int style);
    int Scroll() const { return scroll_; }
    QScrollBar* ScrollBar() const { return scrollBar_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void selectionChanged(int style);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SelectByUser(int style);
    void SetScroll(int scroll);
    void UpdateScrollBar();
    const QImage& CellPicture(int style);

    int selected_ = 0;
    int scroll_ = 0;
    QScrollBar* scrollBar_ = nullptr;
    std::array<QImage, stylegallery::kStyleCount> cells_; // the word drawn once per style
};
