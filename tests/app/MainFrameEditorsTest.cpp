// The main window routes the crop commands (tool bar 10495, Edit menu 10855) to the crop
// dialog and the calendar command (10998) to the calendar dialog.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "editing/CalendarDialog.h"
#include "editing/CropDialog.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs `act` on the modal dialog of type T as soon as it is open.
template <typename T, typename Act>
void WhenOpen(Act act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

} // namespace

TEST(MainFrameEditors, CropButtonAndMenuOpenTheCropDialogOnTheSelectedPhoto)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("square.png"));
    QImage photo(400, 400, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    ASSERT_TRUE(photo.save(path));

    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ASSERT_TRUE(frame.Canvas().AddPhoto(path, 400, 400, 20, 40));

    WhenOpen<CropDialog>([](CropDialog& dialog) {
        QTest::mouseClick(dialog.PresetButton(10587), Qt::LeftButton);
        QTest::mouseClick(dialog.CropButton(), Qt::LeftButton);
    });
    QAbstractButton* button = frame.CommandButton(cmd::kCrop);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    const Photo& cropped = std::get<Photo>(frame.Canvas().Model().ItemAt(0));
    EXPECT_EQ(cropped.cropLeft, 8);
    EXPECT_EQ(cropped.cropTop, 92);
    EXPECT_EQ(cropped.cropRight, 392);
    EXPECT_EQ(cropped.cropBottom, 308);

    // The Edit menu's entry opens the same dialog; Cancel keeps the crop.
    WhenOpen<CropDialog>([](CropDialog& dialog) { QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton); });
    EXPECT_TRUE(frame.OnCommand(cmd::kCropMenu));
    EXPECT_EQ(std::get<Photo>(frame.Canvas().Model().ItemAt(0)).cropRight, 392);
}

TEST(MainFrameEditors, CalendarCommandAddsTheTransparentCalendar)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    WhenOpen<CalendarDialog>([](CalendarDialog& dialog) { QTest::mouseClick(dialog.OkButton(), Qt::LeftButton); });
    EXPECT_TRUE(frame.OnCommand(cmd::kCalendar));
    ASSERT_EQ(frame.Canvas().Model().ItemCount(), 1);
    const ClipArt& item = std::get<ClipArt>(frame.Canvas().Model().ItemAt(0));
    EXPECT_EQ(item.fromMemory, 1);
    EXPECT_EQ(item.sourceWidth, 260);
    // Centred in what the canvas shows: the item's middle lies inside the display.
    const QRect display = frame.Canvas().Model().DisplayRect();
    const float zoom = frame.Canvas().Model().Zoom();
    EXPECT_TRUE(display.contains(QPoint(int((item.posX + 130) * zoom), int((item.posY + 130) * zoom))));
    EXPECT_GT(item.posX, 0);
    EXPECT_GT(item.posY, 0);

    WhenOpen<CalendarDialog>([](CalendarDialog& dialog) { QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton); });
    EXPECT_TRUE(frame.OnCommand(cmd::kCalendar));
    EXPECT_EQ(frame.Canvas().Model().ItemCount(), 1);
}
