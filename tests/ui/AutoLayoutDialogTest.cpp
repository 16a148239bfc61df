// The Auto Layout dialog and its preview: the preview draws the layout with the canvas
// renderer on a copy (the collage never changes), decodes each picture once, and follows
// every change of the controls; the controls reach the layout's choices; Shuffle is
// seeded.

#include "canvas/AutoLayoutPreview.h"
#include "canvas/CollageModel.h"
#include "editing/PanelSlider.h"
#include "library/LibraryFiles.h"
#include "library/LibraryGrid.h"
#include "library/LibraryPanel.h"
#include "support/RenderTestSupport.h"
#include "ui/CVelComboBox.h"
#include "ui/dialogs/AutoLayoutDialog.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace rendertest;

namespace {

// A collage of a red landscape photo and a blue portrait one (files in `dir`), a picture
// item between them, on a white 800 x 600 canvas.
struct Collage {
    QTemporaryDir dir;
    CollageModel model;
    QString red;
    QString blue;
    QString green;

    Collage()
    {
        red = Save(dir, QStringLiteral("red.png"), Solid(400, 300, kRed));
        blue = Save(dir, QStringLiteral("blue.png"), Solid(300, 400, kBlue));
        green = Save(dir, QStringLiteral("green.png"), Solid(500, 250, kGreen));
        EXPECT_TRUE(model.SetCanvasSize(800, 600));
        AddPhotoAt(model, red, QSize(400, 300), 10, 10, 0.5f);
        EXPECT_TRUE(model.AddPictureItem(std::vector<std::uint8_t>(8 * 8 * 4, 0), 8, 8));
        AddPhotoAt(model, blue, QSize(300, 400), 300, 100, 0.5f);
    }
    std::vector<autolayout::PhotoSource> Photos() const { return autolayout::PhotosOnCanvas(model); }
    std::vector<CanvasItem> Items() const
    {
        std::vector<CanvasItem> items;
        for (int i = 0; i < model.ItemCount(); ++i)
            items.push_back(model.ItemAt(i));
        return items;
    }
};

// How many pixels of the image are close to a colour.
int CountNear(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += Distance(image.pixel(x, y), colour) < 40 ? 1 : 0;
    return n;
}

// A frame library of two entries in `folder` (the image file and its thumbnails).
void WriteFrames(const QString& folder)
{
    const std::vector<QImage> frames{Solid(100, 100, kYellow), Solid(80, 120, kGreen)};
    WriteImageLibrary(folder + QLatin1String(library::kPhotoFramesFile), library::LibraryLayout::ImageWithOpening,
                      frames, library::FrameOpening{0.1f, 0.1f, 0.9f, 0.9f});
    WriteThumbnailLibrary(folder + QLatin1String(library::kPhotoFramesThumbFile), frames);
}

} // namespace

TEST(AutoLayoutPreview, DrawsTheLayoutOnACopyAndDecodesEachPictureOnce)
{
    Collage c;
    const std::vector<CanvasItem> before = c.Items();
    const int steps = c.model.HistoryIndex();
    autolayout::LayoutPreview preview(c.model, c.dir.path() + QStringLiteral("/"));
    std::vector<autolayout::PhotoSource> photos = c.Photos();
    photos.push_back({-1, c.green, QSize(500, 250)}); // from the library
    preview.SetPhotos(photos);
    EXPECT_EQ(preview.PendingDecodes(), 3);
    const std::vector<int> order{0, 1, 2};

    // Before any decode the photos are grey boxes, and nothing was decoded.
    autolayout::Choices choices;
    const QImage pending = preview.Render(order, choices, QSize(200, 200));
    ASSERT_FALSE(pending.isNull());
    EXPECT_EQ(preview.Decodes(), 0);
    EXPECT_GT(CountNear(pending, autolayout::LayoutPreview::kPendingGrey), 100);
    EXPECT_EQ(CountNear(pending, kRed), 0);

    EXPECT_EQ(preview.DecodeSome(2), 1);
    EXPECT_EQ(preview.DecodeSome(5), 0);
    EXPECT_EQ(preview.Decodes(), 3);
    const QImage grid = preview.Render(order, choices, QSize(200, 200));
    // 800 x 600 fitted into 200 x 200.
    EXPECT_EQ(grid.size(), QSize(200, 150));
    EXPECT_FLOAT_EQ(preview.Zoom(), 0.25f);
    EXPECT_GT(CountNear(grid, kRed), 200);
    EXPECT_GT(CountNear(grid, kBlue), 200);
    EXPECT_GT(CountNear(grid, kGreen), 200);
    EXPECT_EQ(CountNear(grid, autolayout::LayoutPreview::kPendingGrey), 0);

    // Other choices: another picture, and still no decode.
    choices.mode = autolayout::Mode::Fill;
    choices.aspect = 1; // 1:1
    const QImage fill = preview.Render(order, choices, QSize(200, 200));
    EXPECT_EQ(fill.size(), QSize(200, 200));
    EXPECT_EQ(preview.LastLayout().canvas, QSize(800, 800));
    ASSERT_EQ(preview.LastLayout().items.size(), 4u);
    // Fill leaves little background: the three colours cover most of it.
    EXPECT_GT(CountNear(fill, kRed) + CountNear(fill, kBlue) + CountNear(fill, kGreen), 200 * 200 * 6 / 10);
    choices.mode = autolayout::Mode::Mosaic;
    choices.spacing = 40;
    EXPECT_NE(preview.Render(order, choices, QSize(200, 200)), fill);
    const QImage reversed = preview.Render(std::vector<int>{2, 1, 0}, choices, QSize(200, 200));
    EXPECT_NE(reversed, preview.Render(order, choices, QSize(200, 200)));
    EXPECT_EQ(preview.Decodes(), 3);

    // The collage is as it was.
    EXPECT_EQ(c.Items(), before);
    EXPECT_EQ(QSize(c.model.CanvasWidth(), c.model.CanvasHeight()), QSize(800, 600));
    EXPECT_EQ(c.model.HistoryIndex(), steps);
}

TEST(AutoLayoutDialog, ControlsReachTheChoices)
{
    Collage c;
    QTemporaryDir data;
    const QString folder = data.path() + QStringLiteral("/");
    WriteFrames(folder);
    AutoLayoutDialog dialog(c.model, c.Photos(), folder);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(dialog.CurrentChoices(), autolayout::Choices{});
    EXPECT_TRUE(dialog.ModeButton(autolayout::Mode::Grid)->isChecked());

    QTest::mouseClick(dialog.ModeButton(autolayout::Mode::Mosaic), Qt::LeftButton);
    EXPECT_EQ(dialog.CurrentChoices().mode, autolayout::Mode::Mosaic);
    EXPECT_FALSE(dialog.ModeButton(autolayout::Mode::Grid)->isChecked());
    QTest::mouseClick(dialog.ModeButton(autolayout::Mode::Fill), Qt::LeftButton);
    EXPECT_EQ(dialog.CurrentChoices().mode, autolayout::Mode::Fill);

    // A press on a slider moves it there and reports: the choice follows.
    PanelSlider* spacing = dialog.SpacingSlider();
    QTest::mouseClick(spacing, Qt::LeftButton, {}, QPoint(spacing->width() - 3, spacing->height() / 2));
    EXPECT_GT(spacing->Position(), 80);
    EXPECT_EQ(dialog.CurrentChoices().spacing, spacing->Position());
    // Dragging the thumb: the choice and a preview follow before the release.
    {
        const QPoint thumb = spacing->ThumbRect().center();
        QTest::mousePress(spacing, Qt::LeftButton, {}, thumb);
        ASSERT_TRUE(spacing->IsDragging());
        const int pressed = dialog.CurrentChoices().spacing;
        QSignalSpy updated(&dialog, &AutoLayoutDialog::previewUpdated);
        const QPoint to = thumb - QPoint(70, 0);
        QMouseEvent move(QEvent::MouseMove, to, spacing->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(spacing, &move);
        ASSERT_TRUE(updated.wait(5000));
        EXPECT_LT(dialog.CurrentChoices().spacing, pressed - 20);
        EXPECT_EQ(dialog.CurrentChoices().spacing, spacing->Position());
        QTest::mouseRelease(spacing, Qt::LeftButton, {}, to);
        QTest::mouseClick(spacing, Qt::LeftButton, {}, QPoint(spacing->width() - 3, spacing->height() / 2));
    }
    PanelSlider* margin = dialog.MarginSlider();
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(2, margin->height() / 2));
    EXPECT_LT(margin->Position(), 10);
    EXPECT_EQ(dialog.CurrentChoices().margin, margin->Position());

    ASSERT_EQ(dialog.AspectBox()->Count(), 8);
    EXPECT_EQ(dialog.AspectBox()->ItemText(6), QStringLiteral("16:9"));
    dialog.AspectBox()->ChooseLine(6);
    EXPECT_EQ(dialog.CurrentChoices().aspect, 6);

    // The two frames of the library; choosing one checks "Frame every photo", unchecking it
    // leaves the photos unframed.
    library::LibraryPanel* frames = dialog.FramePanel();
    ASSERT_EQ(frames->Count(), 2);
    EXPECT_FALSE(dialog.FrameCheck()->isChecked());
    EXPECT_EQ(frames->SelectedIndex(), -1);
    const int columns = library::PanelColumns(library::GridArea(frames->size(), false).width());
    QTest::mouseClick(frames, Qt::LeftButton, {}, library::CellRect(1, columns, 0).center());
    EXPECT_TRUE(dialog.FrameCheck()->isChecked());
    EXPECT_EQ(dialog.CurrentChoices().frameEntry, 1);
    QTest::mouseClick(dialog.FrameCheck(), Qt::LeftButton);
    EXPECT_EQ(dialog.CurrentChoices().frameEntry, -1);
    EXPECT_EQ(frames->SelectedIndex(), -1);
    QTest::mouseClick(dialog.FrameCheck(), Qt::LeftButton); // checked again: the first frame
    EXPECT_EQ(dialog.CurrentChoices().frameEntry, 0);
    QTest::mouseClick(frames, Qt::LeftButton, {}, library::CellRect(1, columns, 0).center());
    QTest::mouseClick(frames, Qt::LeftButton, {}, library::CellRect(0, columns, 0).center());
    EXPECT_EQ(dialog.CurrentChoices().frameEntry, 0);

    const autolayout::Options options = autolayout::OptionsOf(dialog.CurrentChoices());
    EXPECT_EQ(options.mode, autolayout::Mode::Fill);
    EXPECT_EQ(options.spacing, spacing->Position());
    EXPECT_EQ(options.frameEntry, 0);

    // The preview shows what Apply will make: 16:9 on the 800-wide canvas, framed photos.
    dialog.FlushPreview();
    EXPECT_EQ(dialog.Preview().LastLayout().canvas, QSize(800, 448));
    for (const CanvasItem& item : dialog.Preview().LastLayout().items) {
        if (const auto* photo = std::get_if<Photo>(&item)) {
            EXPECT_EQ(photo->frameIndex, 1);
        }
    }

    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(dialog.ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(AutoLayoutDialog, PreviewFollowsEveryChangeSoonAfterIt)
{
    Collage c;
    const std::vector<CanvasItem> before = c.Items();
    const int steps = c.model.HistoryIndex();
    AutoLayoutDialog dialog(c.model, c.Photos(), c.dir.path() + QStringLiteral("/"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.FlushPreview();
    const QImage first = dialog.PreviewImage();
    ASSERT_FALSE(first.isNull());
    EXPECT_GT(CountNear(first, kRed), 100);

    QSignalSpy updated(&dialog, &AutoLayoutDialog::previewUpdated);
    QTest::mouseClick(dialog.ModeButton(autolayout::Mode::Fill), Qt::LeftButton);
    EXPECT_TRUE(dialog.PreviewScheduled());
    // Two more changes before the timer fires: still one drawing.
    dialog.AspectBox()->ChooseLine(1);
    dialog.AspectBox()->ChooseLine(7);
    ASSERT_TRUE(updated.wait(5000));
    EXPECT_EQ(updated.count(), 1);
    EXPECT_FALSE(dialog.PreviewScheduled());
    const QImage fill = dialog.PreviewImage();
    EXPECT_NE(fill, first);
    // 9:16: taller than wide.
    EXPECT_LT(fill.width(), fill.height());

    // The collage itself never changed.
    EXPECT_EQ(c.model.CanvasHeight(), 600);
    EXPECT_EQ(c.model.HistoryIndex(), steps);
    EXPECT_EQ(c.Items(), before);

    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(rejected.count(), 1);
}

TEST(AutoLayoutDialog, AMarginThatLeavesNoRoomIsToldAndCannotBeApplied)
{
    Collage c;
    ASSERT_TRUE(c.model.SetCanvasSize(120, 120));
    AutoLayoutDialog dialog(c.model, c.Photos(), c.dir.path() + QStringLiteral("/"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.FlushPreview();
    ASSERT_FALSE(dialog.PreviewImage().isNull());
    EXPECT_TRUE(dialog.ApplyButton()->isEnabled());

    PanelSlider* margin = dialog.MarginSlider();
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(margin->width() - 2, margin->height() / 2));
    ASSERT_GT(dialog.CurrentChoices().margin, 60); // 120 - 2 x 60 leaves nothing
    dialog.FlushPreview();
    EXPECT_TRUE(dialog.PreviewImage().isNull());
    EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());

    // Less margin: room again.
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(1, margin->height() / 2));
    dialog.FlushPreview();
    EXPECT_FALSE(dialog.PreviewImage().isNull());
    EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
}

TEST(AutoLayoutDialog, ShuffleReordersThePhotosTheSameWayForTheSameSeed)
{
    Collage c;
    std::vector<autolayout::PhotoSource> photos = c.Photos();
    photos.push_back({-1, c.green, QSize(500, 250)});
    const QString folder = c.dir.path() + QStringLiteral("/");
    AutoLayoutDialog a(c.model, photos, folder);
    AutoLayoutDialog b(c.model, photos, folder);
    a.SetShuffleSeed(2024);
    b.SetShuffleSeed(2024);
    EXPECT_EQ(a.Order(), (std::vector<int>{0, 1, 2}));
    a.FlushPreview();
    const QImage before = a.PreviewImage();

    for (int round = 0; round < 3; ++round) {
        const std::vector<int> previous = a.Order();
        QTest::mouseClick(a.ShuffleButton(), Qt::LeftButton);
        b.Shuffle();
        EXPECT_EQ(a.Order(), b.Order());
        EXPECT_NE(a.Order(), previous);
        std::vector<int> sorted = a.Order();
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2}));
    }
    // The photos handed to the layout follow the order.
    const std::vector<autolayout::PhotoSource> ordered = a.OrderedPhotos();
    ASSERT_EQ(ordered.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(ordered[i].path, photos[std::size_t(a.Order()[i])].path);
    if (a.Order() != std::vector<int>{0, 1, 2}) {
        a.FlushPreview();
        EXPECT_NE(a.PreviewImage(), before);
    }

    // One photo: nothing to shuffle.
    AutoLayoutDialog single(c.model, {photos[0]}, folder);
    EXPECT_FALSE(single.ShuffleButton()->isEnabled());
}
