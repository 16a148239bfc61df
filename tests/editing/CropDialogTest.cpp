// The crop dialog as a user drives it: the photo at its own size, presets, dragging handles
// and the rectangle with the mouse, cursors, the drawing, the result on "Crop" and nothing on
// "Cancel", and the crop command on a canvas photo.

#include "base/UserMessage.h"
#include "canvas/CanvasWnd.h"
#include "editing/CropDialog.h"
#include "editing/CropView.h"
#include "editing/ItemEditorCommands.h"
#include "support/PictureTestSupport.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using crop::Rect;

namespace {

constexpr QRgb kPhotoColour = 0xFFC86400; // 200, 100, 0

// A one-colour photo written as PNG.
QString WritePhoto(const QTemporaryDir& dir, int width, int height)
{
    QImage photo(width, height, QImage::Format_RGB32);
    photo.fill(kPhotoColour);
    const QString path = dir.filePath(QStringLiteral("photo-%1x%2.png").arg(width).arg(height));
    EXPECT_TRUE(photo.save(path));
    return path;
}

struct ShownDialog {
    QTemporaryDir dir;
    CropDialog dialog;
    CropView* view = dialog.View();

    explicit ShownDialog(QSize photo)
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_TRUE(dialog.LoadPhoto(WritePhoto(dir, photo.width(), photo.height())));
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    }
    void ChoosePreset(int id) { QTest::mouseClick(dialog.PresetButton(id), Qt::LeftButton); }
};

int Channel(int photo, int dim)
{
    return (photo * (255 - 120) + dim * 120 + 127) / 255;
}

} // namespace

TEST(CropDialog, LayoutOfTheViewPresetsAndButtons)
{
    CropDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Crop Photo"));
    const QSize size = dialog.size();
    EXPECT_EQ(dialog.View()->geometry(), QRect(QPoint(140, 40), QPoint(size.width() - 21, size.height() - 41)));
    const int step = dialog.View()->height() / 8;
    for (std::size_t i = 0; i < crop::kAspectPresets.size(); ++i) {
        SkinCheckButton* button = dialog.PresetButton(crop::kAspectPresets[i].id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QLatin1String(crop::kAspectPresets[i].caption));
        EXPECT_EQ(button->geometry(), QRect(20, 40 + step * static_cast<int>(i), 120, 20));
    }
    EXPECT_TRUE(dialog.PresetButton(10580)->isChecked());
    EXPECT_EQ(dialog.CancelButton()->geometry(), QRect(size.width() - 140, size.height() - 36, 65, 20));
    EXPECT_EQ(dialog.CropButton()->geometry(), QRect(size.width() - 210, size.height() - 36, 65, 20));
    EXPECT_EQ(dialog.CropButton()->text(), QStringLiteral("Crop"));
}

TEST(CropDialog, APhotoSmallerThanTheViewIsShownAtItsOwnSize)
{
    ShownDialog shown({200, 100});
    const Rect image = shown.view->ImageRect();
    EXPECT_EQ(image.Width(), 200);
    EXPECT_EQ(image.Height(), 100);
    EXPECT_EQ(image.left, (shown.view->width() - 200) / 2);
    EXPECT_EQ(image.top, (shown.view->height() - 100) / 2);
    EXPECT_EQ(shown.view->CropRect(), (Rect{image.left + 25, image.top + 12, image.right - 25, image.bottom - 12}));
    EXPECT_FALSE(shown.view->Constrained());
}

TEST(CropDialog, SixteenByNineOnASquarePhotoThenNoConstraint)
{
    ShownDialog shown({400, 400});
    const Rect image = shown.view->ImageRect();
    shown.ChoosePreset(10587);
    EXPECT_TRUE(shown.dialog.PresetButton(10587)->isChecked());
    EXPECT_FALSE(shown.dialog.PresetButton(10580)->isChecked());
    ASSERT_TRUE(shown.view->Constrained());
    const Rect wide = shown.view->CropRect();
    EXPECT_EQ(wide.Width() * 9, wide.Height() * 16);
    EXPECT_EQ(wide.left - image.left, image.right - wide.right);
    EXPECT_EQ(wide.top - image.top, image.bottom - wide.bottom);

    // Middle handles do nothing while the aspect is held.
    const auto handles = crop::HandleRects(wide);
    const QPoint leftMiddle(handles[1].left + 4, handles[1].top + 4);
    shown.Drag(leftMiddle, leftMiddle + QPoint(40, 0));
    EXPECT_EQ(shown.view->CropRect(), wide);

    shown.ChoosePreset(10580);
    EXPECT_FALSE(shown.view->Constrained());
    EXPECT_EQ(shown.view->CropRect(), wide);
    shown.Drag(leftMiddle, leftMiddle + QPoint(40, 0));
    // The left edge goes where the mouse is; the others stay.
    EXPECT_EQ(shown.view->CropRect(), (Rect{leftMiddle.x() + 40, wide.top, wide.right, wide.bottom}));
}

TEST(CropDialog, TopLeftHandleDraggedPastTheBottomRightTurnsOver)
{
    ShownDialog shown({400, 400});
    const Rect start = shown.view->CropRect();
    shown.Drag({start.left - 4, start.top - 4}, {start.right + 20, start.bottom + 10});
    EXPECT_EQ(shown.view->CropRect(), (Rect{start.right, start.bottom, start.right + 20, start.bottom + 10}));
}

TEST(CropDialog, MovingAgainstTheLeftEdgeStopsWithoutResizing)
{
    ShownDialog shown({400, 400});
    const Rect image = shown.view->ImageRect();
    const Rect start = shown.view->CropRect();
    const QPoint inside(start.left + 20, start.top + 20);
    shown.Drag(inside, inside - QPoint(300, 0));
    EXPECT_EQ(shown.view->CropRect(), (Rect{image.left, start.top, image.left + start.Width(), start.bottom}));
}

TEST(CropDialog, CursorsFollowTheMouse)
{
    ShownDialog shown({400, 400});
    const Rect c = shown.view->CropRect();
    QTest::mouseMove(shown.view, {c.left - 4, c.top - 4});
    EXPECT_EQ(shown.view->cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(shown.view, {c.right + 4, c.top - 4});
    EXPECT_EQ(shown.view->cursor().shape(), Qt::SizeBDiagCursor);
    QTest::mouseMove(shown.view, {c.left + 10, c.top + 10});
    EXPECT_EQ(shown.view->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(shown.view, {2, 2});
    EXPECT_EQ(shown.view->cursor().shape(), Qt::ArrowCursor);
}

TEST(CropDialog, DrawingDimsOutsideTheCropFramesItAndShowsHandles)
{
    ShownDialog shown({200, 100});
    const Rect image = shown.view->ImageRect();
    const Rect c = shown.view->CropRect();
    const QImage picture = shown.view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(picture.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(c.left + 10, c.top + 10), kPhotoColour);
    const QRgb dimmed = picture.pixel(image.left + 2, image.top + 2);
    EXPECT_NEAR(qRed(dimmed), Channel(200, 50), 1);
    EXPECT_NEAR(qGreen(dimmed), Channel(100, 50), 1);
    EXPECT_NEAR(qBlue(dimmed), Channel(0, 50), 1);
    EXPECT_EQ(picture.pixel(c.left, c.top + 20), qRgb(255, 255, 255));       // frame
    EXPECT_EQ(picture.pixel(c.right - 1, c.top + 20), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(c.left - 4, c.top - 4), qRgb(150, 200, 255));    // handle 0
    EXPECT_EQ(picture.pixel(c.left - 8, c.top - 4), qRgb(0, 0, 0));          // its frame
    const auto handles = crop::HandleRects(c);
    EXPECT_EQ(picture.pixel(handles[7].left + 4, handles[7].top + 4), qRgb(150, 200, 255));

    // While constrained the middle handles are not drawn.
    shown.ChoosePreset(10581);
    const Rect held = shown.view->CropRect();
    const auto heldHandles = crop::HandleRects(held);
    const QImage constrained = shown.view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(constrained.pixel(heldHandles[7].left + 4, heldHandles[7].top + 4), qRgb(150, 200, 255));
    EXPECT_EQ(constrained.pixel(heldHandles[6].left + 4, heldHandles[6].top + 4), qRgb(150, 200, 255));
}

TEST(CropDialog, CropGivesPhotoPixelsCancelGivesNothing)
{
    {
        ShownDialog shown({400, 400});
        shown.ChoosePreset(10587);
        const Rect image = shown.view->ImageRect();
        const Rect c = shown.view->CropRect();
        QTest::mouseClick(shown.dialog.CropButton(), Qt::LeftButton);
        EXPECT_EQ(shown.dialog.result(), QDialog::Accepted);
        ASSERT_TRUE(shown.dialog.Result());
        // Shown at its own size, so photo pixels are view pixels less the image's corner.
        EXPECT_EQ(*shown.dialog.Result(), (Rect{c.left - image.left, c.top - image.top, c.right - image.left,
                                               c.bottom - image.top}));
        EXPECT_EQ(*shown.dialog.Result(), (Rect{8, 92, 392, 308}));
    }
    {
        ShownDialog shown({400, 400});
        QTest::mouseClick(shown.dialog.CancelButton(), Qt::LeftButton);
        EXPECT_EQ(shown.dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(shown.dialog.Result());
    }
    {
        ShownDialog shown({400, 400});
        QTest::mouseClick(shown.dialog.CloseButton(), Qt::LeftButton);
        EXPECT_EQ(shown.dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(shown.dialog.Result());
    }
}

TEST(CropDialog, ALargePhotoIsFittedAndTheResultScaledBack)
{
    ShownDialog shown({2000, 1000});
    const Rect image = shown.view->ImageRect();
    EXPECT_EQ(image.Width(), shown.view->width());
    EXPECT_EQ(image.Height(), shown.view->width() / 2);
    QTest::mouseClick(shown.dialog.CropButton(), Qt::LeftButton);
    const Rect c = shown.view->CropRect();
    const auto expected = crop::CropInPhoto(c, image, 2000, 1000);
    ASSERT_TRUE(shown.dialog.Result());
    EXPECT_EQ(*shown.dialog.Result(), *expected);
    EXPECT_NEAR(shown.dialog.Result()->left, 250, 3);
    EXPECT_NEAR(shown.dialog.Result()->right, 1750, 3);
}

TEST(CropDialog, TheUnreadableFileLoadsNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    CropDialog dialog;
    EXPECT_FALSE(dialog.LoadPhoto(path));
    EXPECT_FALSE(dialog.View()->HasPhoto());
}

TEST(CropCommand, CropsTheSelectedPhotoOrAsksForOne)
{
    QStringList messages;
    const MessageHandler previous = SetMessageHandler([&](MessageKind, const QString& text) { messages << text; });
    CanvasWnd canvas;
    canvas.resize(600, 400);
    CropSelectedPhoto(canvas, nullptr);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Please select a photo on the canvas."));

    QTemporaryDir dir;
    ASSERT_TRUE(canvas.AddPhoto(WritePhoto(dir, 400, 400), 400, 400, 10, 10));
    const int stepsBefore = canvas.Model().HistoryLength();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CropDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->PresetButton(10587), Qt::LeftButton);
        QTest::mouseClick(dialog->CropButton(), Qt::LeftButton);
    });
    CropSelectedPhoto(canvas, nullptr);
    const Photo& photo = std::get<Photo>(canvas.Model().ItemAt(0));
    EXPECT_EQ(photo.cropLeft, 8);
    EXPECT_EQ(photo.cropTop, 92);
    EXPECT_EQ(photo.cropRight, 392);
    EXPECT_EQ(photo.cropBottom, 308);
    EXPECT_EQ(photo.baseWidth, 384);
    EXPECT_EQ(photo.baseHeight, 216);
    EXPECT_EQ(canvas.Model().HistoryLength(), stepsBefore + 1);

    // Cancel changes nothing.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CropDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    CropSelectedPhoto(canvas, nullptr);
    EXPECT_EQ(std::get<Photo>(canvas.Model().ItemAt(0)).cropRight, 392);
    EXPECT_EQ(canvas.Model().HistoryLength(), stepsBefore + 1);
    EXPECT_EQ(messages.size(), 1);
    SetMessageHandler(previous);
}

TEST(CropView, ANewSizeLaysTheCropOutAgainKeepingTheAspectHeld)
{
    EditingPicture picture;
    picture.width = picture.height = picture.decodedWidth = picture.decodedHeight = 400;
    picture.display = QImage(400, 400, QImage::Format_RGB888);
    picture.display.fill(kPhotoColour);
    CropView view;
    view.resize(700, 540);
    view.SetPicture(std::move(picture));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.SetAspect(16.0f, 9.0f);
    view.resize(300, 250); // the photo is fitted to 250 x 250 now
    QApplication::processEvents();
    const Rect image = view.ImageRect();
    EXPECT_EQ(image, (Rect{25, 0, 275, 250}));
    EXPECT_TRUE(view.Constrained());
    // 234 x 234 inside the margins, cut to 234 x 132 (16:9 within the truncation).
    EXPECT_EQ(view.CropRect(), (Rect{33, 59, 267, 191}));
    const Rect c = view.CropRect();
    EXPECT_GE(c.left, image.left);
    EXPECT_LE(c.right, image.right);
}

TEST(CropDialog, ACameraTurnedPhotoIsShownAndCroppedUpright)
{
    // Upright 200 x 400 (red top-left quarter); the file stores it turned, with orientation 6.
    const QImage upright = testpics::Quadrants(200, 400);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("turned.jpg"));
    ASSERT_TRUE(testpics::WriteFile(path, testpics::JpegWithExif(testpics::StoredForOrientation(upright, 6), 6)));
    CropDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(dialog.LoadPhoto(path));
    const Rect image = dialog.View()->ImageRect();
    EXPECT_EQ(image.Width(), 200);
    EXPECT_EQ(image.Height(), 400);
    const QImage shown = dialog.View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Inside the crop: the upper-left quarter is red, the lower-right white.
    EXPECT_LT(testpics::Distance(shown.pixel(image.left + 40, image.top + 80), qRgb(255, 0, 0)), 40);
    EXPECT_LT(testpics::Distance(shown.pixel(image.right - 40, image.bottom - 80), qRgb(255, 255, 255)), 40);
    QTest::mouseClick(dialog.CropButton(), Qt::LeftButton);
    ASSERT_TRUE(dialog.Result());
    EXPECT_EQ(*dialog.Result(), (Rect{25, 50, 175, 350})); // in upright pixels
}
