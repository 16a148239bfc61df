#include "ui/CMstListBox.h"
#include "ui/ScrollBarGeometry.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace listbox;

namespace {

QString LongLine(int i)
{
    return QString("/home/anna/Pictures/Holiday %1/IMG_%2 - the beach at sunset, the harbour and the old town.jpg")
        .arg(2019 + i % 5)
        .arg(4100 + i);
}

struct ListFixture : ::testing::Test {
    void SetUp() override
    {
        for (int i = 0; i < 60; ++i)
            box.AddString(LongLine(i));
        box.resize(360, 2 * kListBoxMetrics.frame + kScrollBarThickness + 10 * kListBoxMetrics.lineHeight);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }
    CMstListBox box;
};

} // namespace

TEST(ScrollBarGeometry, ArrowsTrackAndThumbAlongTheBar)
{
    const QSize size(kScrollBarThickness, 200);
    const ScrollRange range{0, 50, 10, 0};
    ScrollBarParts parts = LayOutScrollBar(Qt::Vertical, size, range);
    EXPECT_EQ(parts.less, QRect(0, 0, 17, 17));
    EXPECT_EQ(parts.more, QRect(0, 183, 17, 17));
    EXPECT_EQ(parts.track, QRect(0, 17, 17, 166));
    // Page 10 of 60 lines: a sixth of the track.
    EXPECT_EQ(parts.thumb.height(), 166 * 10 / 60);
    EXPECT_EQ(parts.thumb.top(), parts.track.top());
    EXPECT_EQ(parts.thumb.left(), kListBoxMetrics.thumbInset);
    EXPECT_EQ(parts.thumb.width(), 17 - 2 * kListBoxMetrics.thumbInset);
    parts = LayOutScrollBar(Qt::Vertical, size, {0, 50, 10, 50});
    EXPECT_EQ(parts.thumb.bottom(), parts.track.bottom());
    parts = LayOutScrollBar(Qt::Vertical, size, {0, 50, 10, 99}); // clamped
    EXPECT_EQ(parts.thumb.bottom(), parts.track.bottom());

    // Horizontal: the same along x.
    parts = LayOutScrollBar(Qt::Horizontal, QSize(300, 17), {0, 1000, 300, 500});
    EXPECT_EQ(parts.less, QRect(0, 0, 17, 17));
    EXPECT_EQ(parts.more, QRect(283, 0, 17, 17));
    EXPECT_EQ(parts.thumb.top(), kListBoxMetrics.thumbInset);
    EXPECT_EQ(parts.thumb.width(), 266 * 300 / 1300);
    EXPECT_NEAR(parts.thumb.center().x(), 150, 1);

    // Nothing to scroll: no thumb. A huge range: the thumb keeps its least length.
    EXPECT_TRUE(LayOutScrollBar(Qt::Vertical, size, {0, 0, 10, 0}).thumb.isEmpty());
    EXPECT_EQ(LayOutScrollBar(Qt::Vertical, size, {0, 100000, 10, 0}).thumb.height(), kListBoxMetrics.minThumb);
    // A bar shorter than its two arrows: arrows share the length, no track.
    parts = LayOutScrollBar(Qt::Vertical, QSize(17, 20), range);
    EXPECT_EQ(parts.less.height() + parts.more.height(), 20);
    EXPECT_TRUE(parts.thumb.isEmpty());
}

TEST(ScrollBarGeometry, DraggedThumbGivesTheValueThatDrawsIt)
{
    const QSize size(kScrollBarThickness, 240);
    for (const ScrollRange& range : {ScrollRange{0, 50, 10, 0}, ScrollRange{0, 3000, 200, 0}, ScrollRange{5, 9, 2, 5}}) {
        for (int value = range.minimum; value <= range.maximum; value += std::max(1, (range.maximum - range.minimum) / 37)) {
            ScrollRange r = range;
            r.value = value;
            const int start = LayOutScrollBar(Qt::Vertical, size, r).thumb.top();
            r.value = ValueForThumbStart(Qt::Vertical, size, range, start);
            EXPECT_EQ(LayOutScrollBar(Qt::Vertical, size, r).thumb.top(), start) << value;
        }
        EXPECT_EQ(ValueForThumbStart(Qt::Vertical, size, range, -50), range.minimum);
        EXPECT_EQ(ValueForThumbStart(Qt::Vertical, size, range, 5000), range.maximum);
    }
}

TEST_F(ListFixture, BarsSitAlongTheRightAndBottomEdges)
{
    const QRect v = box.VerticalBar()->geometry();
    const QRect h = box.HorizontalBar()->geometry();
    EXPECT_EQ(v.width(), kScrollBarThickness);
    EXPECT_EQ(v.right(), box.width() - 1 - kListBoxMetrics.frame);
    EXPECT_EQ(h.height(), kScrollBarThickness);
    EXPECT_EQ(h.bottom(), box.height() - 1 - kListBoxMetrics.frame);
    EXPECT_EQ(box.List()->geometry().right() + 1, v.left());
    EXPECT_EQ(box.List()->geometry().bottom() + 1, h.top());
}

TEST_F(ListFixture, StringsAndSelection)
{
    EXPECT_EQ(box.GetCount(), 60);
    EXPECT_EQ(box.GetText(7), LongLine(7));
    EXPECT_EQ(box.GetText(60), "");
    EXPECT_EQ(box.GetCurSel(), -1);
    QSignalSpy selection(&box, &CMstListBox::selectionChanged);
    box.SetCurSel(42);
    EXPECT_EQ(box.GetCurSel(), 42);
    EXPECT_EQ(selection.count(), 0); // the program's choice is not reported
    box.SetCurSel(60);
    EXPECT_EQ(box.GetCurSel(), -1);

    // A click selects and reports; Down moves on.
    box.SetFirstVisibleLine(0);
    QTest::mouseClick(box.List()->viewport(), Qt::LeftButton, {},
                      QPoint(40, 3 * kListBoxMetrics.lineHeight + kListBoxMetrics.lineHeight / 2));
    EXPECT_EQ(box.GetCurSel(), 3);
    QTest::keyClick(box.List(), Qt::Key_Down);
    EXPECT_EQ(box.GetCurSel(), 4);
    ASSERT_EQ(selection.count(), 2);
    EXPECT_EQ(selection[1][0].toInt(), 4);

    box.DeleteString(0);
    EXPECT_EQ(box.GetCurSel(), 3); // the same line, one up
    EXPECT_EQ(box.GetText(3), LongLine(4));
    box.InsertString(0, "first");
    EXPECT_EQ(box.GetCurSel(), 4);
    EXPECT_EQ(box.GetText(0), "first");
    box.ResetContent();
    EXPECT_EQ(box.GetCount(), 0);
    EXPECT_EQ(box.GetCurSel(), -1);
    EXPECT_EQ(box.VerticalBar()->Range().maximum, 0);
    EXPECT_TRUE(box.VerticalBar()->Parts().thumb.isEmpty());
}

TEST_F(ListFixture, BarsFollowTheFirstVisibleLineAndTheOffset)
{
    QSignalSpy lines(&box, &CMstListBox::firstVisibleLineChanged);
    QSignalSpy offsets(&box, &CMstListBox::horizontalOffsetChanged);
    const ScrollRange v = box.VerticalBar()->Range();
    EXPECT_EQ(v.maximum, 60 - 10); // ten whole lines show
    EXPECT_EQ(v.page, 10);
    EXPECT_GT(box.HorizontalBar()->Range().maximum, 100); // the lines are wider than the list

    // Selecting a line below the visible ones scrolls the list; the bar follows.
    box.SetCurSel(25);
    EXPECT_EQ(box.FirstVisibleLine(), 16);
    ASSERT_EQ(lines.count(), 1);
    EXPECT_EQ(lines[0][0].toInt(), 16);
    EXPECT_EQ(box.VerticalBar()->Range().value, 16);

    box.SetHorizontalOffset(120);
    ASSERT_EQ(offsets.count(), 1);
    EXPECT_EQ(offsets[0][0].toInt(), 120);
    EXPECT_EQ(box.HorizontalBar()->Range().value, 120);
    const int thumbLeft = box.HorizontalBar()->Parts().thumb.left();
    EXPECT_GT(thumbLeft, box.HorizontalBar()->Parts().track.left());

    // Clicks on the drawn bars scroll the list, which reports back.
    const QRect more = box.VerticalBar()->Parts().more;
    QTest::mouseClick(box.VerticalBar(), Qt::LeftButton, {}, more.center());
    EXPECT_EQ(box.FirstVisibleLine(), 17);
    EXPECT_EQ(lines.last()[0].toInt(), 17);
    const QRect less = box.HorizontalBar()->Parts().less;
    QTest::mouseClick(box.HorizontalBar(), Qt::LeftButton, {}, less.center());
    EXPECT_EQ(box.HorizontalOffset(), 120 - kListBoxMetrics.lineHeight);
    EXPECT_EQ(offsets.last()[0].toInt(), 120 - kListBoxMetrics.lineHeight);
    // A click in the track below the thumb pages down.
    const ScrollBarParts parts = box.VerticalBar()->Parts();
    QTest::mouseClick(box.VerticalBar(), Qt::LeftButton, {}, QPoint(8, parts.thumb.bottom() + 5));
    EXPECT_EQ(box.FirstVisibleLine(), 27);

    // Dragging the thumb to the end of the track shows the last lines.
    const QPoint grab = box.VerticalBar()->Parts().thumb.center();
    QTest::mousePress(box.VerticalBar(), Qt::LeftButton, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab.x(), box.VerticalBar()->height() + 40),
                     box.VerticalBar()->mapToGlobal(QPointF(grab.x(), box.VerticalBar()->height() + 40)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.VerticalBar(), &move);
    QTest::mouseRelease(box.VerticalBar(), Qt::LeftButton, {}, grab);
    EXPECT_EQ(box.FirstVisibleLine(), 50);
    EXPECT_EQ(box.VerticalBar()->Parts().thumb.bottom(), box.VerticalBar()->Parts().track.bottom());

    // Keys and the wheel on the list move the bars too.
    box.SetCurSel(0);
    EXPECT_EQ(box.FirstVisibleLine(), 0);
    EXPECT_EQ(box.VerticalBar()->Range().value, 0);
    QTest::keyClick(box.List(), Qt::Key_End);
    EXPECT_EQ(box.FirstVisibleLine(), 50);
    EXPECT_EQ(box.VerticalBar()->Range().value, 50);
    QTest::keyClick(box.List(), Qt::Key_Right);
    EXPECT_EQ(box.HorizontalBar()->Range().value, box.HorizontalOffset());
}
