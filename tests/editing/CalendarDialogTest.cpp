// The calendar dialog as a user drives it: its layout, stepping with "<<" and ">>" up to the
// ends of the months offered, the capture on OK and none on Cancel, and the calendar command
// placing the picture in the middle of what the canvas shows.

#include "canvas/CanvasScrollBar.h"
#include "canvas/CanvasWnd.h"
#include "editing/CalendarDialog.h"
#include "editing/CalendarView.h"
#include "editing/ItemEditorCommands.h"
#include "ui/skin/SkinButton.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using calendar::Month;

namespace {

struct ShownCalendar {
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(calendar::kCaptureBytes, 0xCD);
    CalendarDialog dialog{buffer};
    CalendarView* view = dialog.View();

    ShownCalendar()
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    std::uint8_t Alpha(int x, int y) const { return buffer[(std::size_t(y) * 260 + std::size_t(x)) * 4 + 3]; }
};

} // namespace

TEST(CalendarDialog, LayoutNarrowedViewRoundedCornersAndButtons)
{
    ShownCalendar shown;
    EXPECT_EQ(shown.dialog.windowTitle(), QStringLiteral("Add Transparent Month Calendar"));
    EXPECT_EQ(shown.view->geometry(), QRect(16, 40, 254, 260));
    EXPECT_EQ(shown.view->Sheet().size(), QSize(254, 260));
    const QSize size = shown.dialog.size();
    EXPECT_EQ(shown.dialog.CancelButton()->geometry(), QRect(size.width() - 115, size.height() - 40, 70, 20));
    EXPECT_EQ(shown.dialog.OkButton()->geometry(), QRect(size.width() - 235, size.height() - 40, 70, 20));
    EXPECT_EQ(shown.view->PreviousButton()->geometry(), QRect(10, 2, 30, 20));
    EXPECT_EQ(shown.view->NextButton()->geometry(), QRect(254 - 40, 2, 30, 20));
    EXPECT_EQ(shown.view->PreviousButton()->Id(), 11101);
    EXPECT_EQ(shown.view->NextButton()->Id(), 11100);
    // Rounded: the corner pixel lies outside the window's region, the middle inside.
    EXPECT_FALSE(shown.dialog.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(shown.dialog.mask().contains(QPoint(size.width() / 2, size.height() / 2)));
    // It opens on the current month.
    EXPECT_EQ(shown.view->Month(), calendar::CurrentMonth());
}

TEST(CalendarDialog, StepsAcrossTheYearAndStopsAtTheEnds)
{
    ShownCalendar shown;
    shown.view->SetMonth({2012, 12});
    QTest::mouseClick(shown.view->NextButton(), Qt::LeftButton);
    EXPECT_EQ(shown.view->Month(), (Month{2013, 1}));
    QTest::mouseClick(shown.view->PreviousButton(), Qt::LeftButton);
    QTest::mouseClick(shown.view->PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(shown.view->Month(), (Month{2012, 11}));

    shown.view->SetMonth({1970, 2});
    QTest::mouseClick(shown.view->PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(shown.view->Month(), (Month{1970, 1}));
    EXPECT_FALSE(shown.view->PreviousButton()->isEnabled());
    QTest::mouseClick(shown.view->PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(shown.view->Month(), (Month{1970, 1}));

    shown.view->SetMonth({2100, 12});
    EXPECT_FALSE(shown.view->NextButton()->isEnabled());
    EXPECT_TRUE(shown.view->PreviousButton()->isEnabled());
    QTest::mouseClick(shown.view->NextButton(), Qt::LeftButton);
    EXPECT_EQ(shown.view->Month(), (Month{2100, 12}));
}

TEST(CalendarDialog, TheSheetChangesWithTheMonthAndLeavesOutTheButtons)
{
    ShownCalendar shown;
    shown.view->SetMonth({2012, 2});
    const QImage february = shown.view->Sheet().copy();
    shown.view->SetMonth({2012, 3});
    EXPECT_NE(shown.view->Sheet(), february);
    // The step buttons are not in the sheet: its corner under "<<" is white.
    EXPECT_EQ(shown.view->Sheet().pixel(12, 4), calendar::kBackground);
}

TEST(CalendarDialog, OkCapturesCancelLeavesTheBufferAlone)
{
    {
        ShownCalendar shown;
        shown.view->SetMonth({2012, 2});
        QTest::mouseClick(shown.dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(shown.dialog.result(), QDialog::Accepted);
        EXPECT_EQ(shown.Alpha(1, 1), 0);
        EXPECT_EQ(shown.Alpha(259, 130), 0);
        int opaque = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 254; ++x)
                opaque += shown.Alpha(x, y) == 255;
        EXPECT_GT(opaque, 40);
    }
    for (const bool closeButton : {false, true}) {
        ShownCalendar shown;
        QTest::mouseClick(closeButton ? shown.dialog.CloseButton() : shown.dialog.CancelButton(), Qt::LeftButton);
        EXPECT_EQ(shown.dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(std::all_of(shown.buffer.begin(), shown.buffer.end(), [](std::uint8_t b) { return b == 0xCD; }));
    }
}

TEST(CalendarCommand, CentreOfWhatTheCanvasShows)
{
    CanvasWnd canvas; // 1024 x 768 at 0.75: 768 x 576 in the view
    const CollageModel& model = canvas.Model();
    EXPECT_EQ(VisibleCanvasCentre(model, {600, 400}), QPoint(400, 266));
    canvas.SetScroll(100, 50);
    EXPECT_EQ(VisibleCanvasCentre(model, {600, 400}), QPoint(533, 333));
    canvas.SetScroll(0, 0);
    // A window larger than the canvas: the canvas's own centre.
    EXPECT_EQ(VisibleCanvasCentre(model, {1000, 900}), QPoint(512, 384));
}

TEST(CalendarCommand, OkAddsTheCalendarCentredCancelAddsNothing)
{
    CanvasWnd canvas;
    canvas.resize(600, 400);
    std::unique_ptr<std::uint8_t[]> buffer;

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    AddMonthCalendar(canvas, nullptr, buffer);
    EXPECT_EQ(canvas.Model().ItemCount(), 0);

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->View()->SetMonth({2012, 2});
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    AddMonthCalendar(canvas, nullptr, buffer);
    ASSERT_TRUE(buffer);
    ASSERT_EQ(canvas.Model().ItemCount(), 1);
    const ClipArt& item = std::get<ClipArt>(canvas.Model().ItemAt(0));
    EXPECT_EQ(item.fromMemory, 1);
    EXPECT_EQ(item.sourceWidth, 260);
    EXPECT_EQ(item.sourceHeight, 260);
    EXPECT_EQ(item.posX, 400 - 130);
    EXPECT_EQ(item.posY, 266 - 130);
    const PictureBuffer* picture = canvas.Model().PictureBufferAt(item.sourceIndex);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(std::equal(picture->pixels.begin(), picture->pixels.end(), buffer.get()));
    EXPECT_EQ(picture->pixels[3], 0); // the top-left corner is clear
}

TEST(CalendarCommand, TheScrollBarsAreNotPartOfWhatTheCanvasShows)
{
    CanvasWnd canvas; // 768 x 576 in the view: both bars show in a 600 x 400 window
    canvas.resize(600, 400);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    ASSERT_TRUE(canvas.VerticalBar().isVisible());
    ASSERT_TRUE(canvas.HorizontalBar().isVisible());
    std::unique_ptr<std::uint8_t[]> buffer;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    AddMonthCalendar(canvas, &canvas, buffer);
    ASSERT_EQ(canvas.Model().ItemCount(), 1);
    const ClipArt& item = std::get<ClipArt>(canvas.Model().ItemAt(0));
    // 583 x 383 shown: centre (291.5, 191.5) in the view, (388, 255) on the canvas.
    EXPECT_EQ(item.posX, 388 - 130);
    EXPECT_EQ(item.posY, 255 - 130);
}
