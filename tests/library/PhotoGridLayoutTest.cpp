#include "library/PhotoGridLayout.h"

#include <gtest/gtest.h>

using namespace library;

TEST(PhotoGridLayout, CellsBoxesAndFittedThumbnails)
{
    EXPECT_EQ(GridColumns(67), 1); // at least one
    EXPECT_EQ(GridColumns(136), 2);
    EXPECT_EQ(GridColumns(203), 2);
    EXPECT_EQ(GridColumns(204), 3);

    // Cell 4 of 3 columns: column 1, row 1.
    EXPECT_EQ(GridCellBox(4, 3, QPoint(0, 0)), QRect(68 + 5, 68 + 10, 58, 48));
    EXPECT_EQ(GridCellBox(4, 3, QPoint(7, 30)), QRect(68 + 5 - 7, 68 + 10 - 30, 58, 48));
    EXPECT_EQ(GridContentSize(7, 3), QSize(3 * 68, 3 * 68));
    EXPECT_EQ(GridContentSize(2, 3), QSize(2 * 68, 68));
    EXPECT_EQ(GridContentSize(0, 3), QSize(0, 0));

    const QRect box(5, 10, 58, 48);
    // Wide photo: the box's width, centred vertically.
    EXPECT_EQ(FittedThumbnailRect(box, 4000, 2000), QRect(5, 10 + (48 - 29) / 2, 58, 29));
    // Tall photo: the box's height, centred horizontally.
    EXPECT_EQ(FittedThumbnailRect(box, 3000, 4000), QRect(5 + (58 - 36) / 2, 10, 36, 48));
    // Same aspect as the box: the whole box; a small photo is scaled up.
    EXPECT_EQ(FittedThumbnailRect(box, 29, 24), box);
    // A photo without a size, or a very thin one, still gets a visible rectangle.
    EXPECT_EQ(FittedThumbnailRect(box, 0, 10), box);
    EXPECT_EQ(FittedThumbnailRect(box, 100000, 6).height(), 1);
}

TEST(PhotoGridLayout, HitTestSkipsGapsAndTheButtonBand)
{
    const QSize view(204, 300);
    // 7 cells in 3 columns.
    EXPECT_EQ(GridHitTest(QPoint(5, 10), 7, 3, {}, view), 0);
    EXPECT_EQ(GridHitTest(QPoint(4, 10), 7, 3, {}, view), -1); // left margin of the cell
    EXPECT_EQ(GridHitTest(QPoint(5, 9), 7, 3, {}, view), -1);
    EXPECT_EQ(GridHitTest(QPoint(62, 57), 7, 3, {}, view), 0);
    EXPECT_EQ(GridHitTest(QPoint(63, 57), 7, 3, {}, view), -1);
    EXPECT_EQ(GridHitTest(QPoint(68 + 20, 2 * 68 + 20), 7, 3, {}, view), -1); // past the last cell
    EXPECT_EQ(GridHitTest(QPoint(20, 2 * 68 + 20), 7, 3, {}, view), 6);
    EXPECT_EQ(GridHitTest(QPoint(3 * 68 + 20, 20), 7, 3, {}, QSize(400, 300)), -1); // beyond the columns
    // Scrolled down one row: the top row shows cells 3..5.
    EXPECT_EQ(GridHitTest(QPoint(20, 20), 7, 3, QPoint(0, 68), view), 3);

    // A cell under the bottom 26 pixels is not hit there, but is just above them.
    const QSize shortView(204, 68 + 40);
    EXPECT_EQ(GridHitTest(QPoint(20, 68 + 13), 7, 3, {}, shortView), 3);
    EXPECT_EQ(GridHitTest(QPoint(20, 68 + 14), 7, 3, {}, shortView), -1);
    EXPECT_EQ(GridHitTest(QPoint(20, 68 + 30), 7, 3, {}, shortView), -1);
}

TEST(PhotoGridSelection, ClickCtrlAndShiftLikeAFileManager)
{
    PhotoGridSelection s;
    s.Reset(10);
    EXPECT_EQ(s.Current(), -1);
    EXPECT_TRUE(s.Click(2, false, false));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{2}));
    EXPECT_EQ(s.anchor(), 2);

    // Ctrl adds and the new one becomes the anchor; Ctrl again removes it.
    EXPECT_TRUE(s.Click(5, true, false));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{2, 5}));
    EXPECT_EQ(s.anchor(), 5);
    EXPECT_TRUE(s.Click(5, true, false));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{2}));
    EXPECT_EQ(s.anchor(), 5); // a deselected record does not become the anchor
    EXPECT_EQ(s.Current(), 2);

    // Shift: exactly the range from the anchor, in either direction.
    EXPECT_TRUE(s.Click(8, false, true));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_TRUE(s.Click(3, false, true));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(s.anchor(), 5);
    EXPECT_EQ(s.Current(), 3);
    EXPECT_FALSE(s.Click(3, false, true)); // the same range again changes nothing

    // Plain click replaces everything; clicking the only selected cell changes nothing.
    EXPECT_TRUE(s.Click(9, false, false));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{9}));
    EXPECT_FALSE(s.Click(9, false, false));

    // Shift with no anchor acts as a click.
    s.Reset(4);
    EXPECT_TRUE(s.Click(2, false, true));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{2}));
    EXPECT_EQ(s.anchor(), 2);

    // A click on nothing clears.
    EXPECT_TRUE(s.ClickEmpty());
    EXPECT_TRUE(s.SelectedCells().empty());
    EXPECT_EQ(s.Current(), -1);
    EXPECT_FALSE(s.ClickEmpty());
}

TEST(PhotoGridSelection, RubberBandArrowsSelectAllAndRightClick)
{
    PhotoGridSelection s;
    s.Reset(7);
    std::vector<QRect> thumbnails;
    for (int i = 0; i < 7; ++i)
        thumbnails.push_back(GridCellBox(i, 3, {}));
    s.Click(6, false, false);
    // A band drawn up and to the left over cells 0, 1, 3 and 4 only.
    EXPECT_TRUE(s.RubberBand(QRect(QPoint(68 + 20, 68 + 20), QPoint(30, 30)), thumbnails));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{0, 1, 3, 4}));
    // Shrinking it deselects what it leaves; a band in a gap selects nothing.
    EXPECT_TRUE(s.RubberBand(QRect(30, 30, 10, 10), thumbnails));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{0}));
    EXPECT_TRUE(s.RubberBand(QRect(64, 0, 4, 300), thumbnails));
    EXPECT_TRUE(s.SelectedCells().empty());

    // Arrows: the first cell when nothing is current, then neighbours in grid order.
    EXPECT_TRUE(s.Arrow(GridArrow::Right, 3));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{0}));
    EXPECT_TRUE(s.Arrow(GridArrow::Down, 3));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{3}));
    EXPECT_TRUE(s.Arrow(GridArrow::Left, 3)); // across the row's start
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{2}));
    EXPECT_TRUE(s.Arrow(GridArrow::Down, 3));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{5}));
    EXPECT_FALSE(s.Arrow(GridArrow::Down, 3)); // no cell below
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{5}));
    EXPECT_TRUE(s.Arrow(GridArrow::Right, 3));
    EXPECT_FALSE(s.Arrow(GridArrow::Right, 3)); // the last cell
    EXPECT_EQ(s.Current(), 6);
    EXPECT_EQ(s.anchor(), 6);

    EXPECT_TRUE(s.SelectAll());
    EXPECT_EQ(s.SelectedCells().size(), 7u);
    EXPECT_FALSE(s.SelectAll());

    // Right-click on a selected cell keeps the selection for the context menu; on another
    // cell it selects as a click does.
    EXPECT_FALSE(s.RightClick(2));
    EXPECT_EQ(s.SelectedCells().size(), 7u);
    EXPECT_EQ(s.Current(), 2);
    s.Click(0, false, false);
    EXPECT_TRUE(s.RightClick(4));
    EXPECT_EQ(s.SelectedCells(), (std::vector<int>{4}));
    EXPECT_TRUE(s.RightClick(-1));
    EXPECT_TRUE(s.SelectedCells().empty());

    PhotoGridSelection empty;
    empty.Reset(0);
    EXPECT_FALSE(empty.Arrow(GridArrow::Down, 3));
    EXPECT_FALSE(empty.SelectAll());
}

TEST(PhotoGridSelection, KeepsTheOrderInWhichCellsWereSelected)
{
    using Order = std::vector<int>;
    library::PhotoGridSelection s;
    s.Reset(8);
    s.Click(5, false, false);
    s.Click(1, true, false);
    s.Click(6, true, false);
    EXPECT_EQ(s.SelectionOrder(), (Order{5, 1, 6}));
    // Ctrl on a selected cell takes it out; selected again it goes to the end.
    s.Click(1, true, false);
    EXPECT_EQ(s.SelectionOrder(), (Order{5, 6}));
    s.Click(1, true, false);
    EXPECT_EQ(s.SelectionOrder(), (Order{5, 6, 1}));
    // Shift from the anchor (1) back to 3 keeps nothing outside the range; the new cells
    // follow from the anchor towards the click.
    s.Click(3, false, true);
    EXPECT_EQ(s.SelectionOrder(), (Order{1, 2, 3}));
    s.Click(7, false, false);
    s.Click(4, false, true);
    EXPECT_EQ(s.SelectionOrder(), (Order{7, 6, 5, 4}));
    // A plain click starts again; Ctrl+A adds the rest in list order.
    s.Click(2, false, false);
    s.SelectAll();
    EXPECT_EQ(s.SelectionOrder(), (Order{2, 0, 1, 3, 4, 5, 6, 7}));
    s.ClickEmpty();
    EXPECT_TRUE(s.SelectionOrder().empty());

    // Assign keeps a given order for the cells still selected; others follow in list order.
    s.Assign({1, 0, 1, 1, 0, 0, 0, 0}, 0, 3, {3, 1, 0});
    EXPECT_EQ(s.SelectionOrder(), (Order{3, 0, 2}));
    s.Assign({0, 1, 0}, -1, -1, {7, 5});
    EXPECT_EQ(s.SelectionOrder(), (Order{1}));
}
