// Composition of the view: geometry, background placements, items at known positions
// through their transforms and colour matrices, the photo pipeline, decorations at draw
// time, handles and hit regions.

#include "support/RenderTestSupport.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/ItemPictures.h"
#include "editing/ColourMatrix.h"
#include "editing/TextRendering.h"

#include <QFile>

#include <cmath>

using namespace rendertest;

namespace {

class Render : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        renderer.SetDataFolder(dir.path() + QStringLiteral("/"));
    }

    QString Library(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    CollageModel model;
    CanvasRenderer renderer{model};
};

// The colour a solid pixel gets through an item's matrix and gamma.
QRgb Tuned(QRgb colour, float opacity, const Tuning& tuning)
{
    QImage pixel = Solid(1, 1, colour);
    ApplyColourMatrix(pixel.bits(), 1, 1, pixel.bytesPerLine(), render::MatrixOf(opacity, tuning), render::GammaOf(tuning));
    return pixel.pixel(0, 0);
}

TEST_F(Render, ViewAtZoomThreeQuartersShowsTheCanvasInItsDisplayRectAndGreyAround)
{
    renderer.SetClientSize(QSize(1000, 700));
    ASSERT_TRUE(model.SetBackground(0x00336699, BackgroundPlacement::Center, QString()));
    renderer.Redraw();
    const QImage& view = renderer.ViewBuffer();
    ASSERT_EQ(view.size(), QSize(1000, 700)); // max(canvas x zoom, client)
    EXPECT_EQ(model.DisplayRect(), QRect(0, 0, 768, 576));
    const QRgb background = qRgb(0x99, 0x66, 0x33); // COLORREF 0x00BBGGRR
    EXPECT_EQ(view.pixel(0, 0), background);
    EXPECT_EQ(view.pixel(767, 575), background);
    EXPECT_EQ(view.pixel(768, 0), kGrey);
    EXPECT_EQ(view.pixel(0, 576), kGrey);
    EXPECT_EQ(view.pixel(999, 699), kGrey);
    EXPECT_EQ(renderer.ScrollRanges(), QSize(0, 0));

    // A client smaller than the canvas: the buffer is the display size and scrolls.
    renderer.SetClientSize(QSize(500, 400));
    renderer.Redraw();
    EXPECT_EQ(renderer.ViewBuffer().size(), QSize(768, 576));
    EXPECT_EQ(renderer.ScrollRanges(), QSize(768 - 500 + 17, 576 - 400 + 17));
    // A zoom change rebuilds it.
    ASSERT_TRUE(model.SetZoom(0.5f));
    renderer.Redraw();
    EXPECT_EQ(renderer.ViewBuffer().size(), QSize(512, 400));
}

TEST_F(Render, BackgroundPictureCentredStretchedAndTiled)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString small = Save(dir, QStringLiteral("small.png"), Quadrants(100, 60));

    ASSERT_TRUE(model.SetBackground(0x00FFFFFF, BackgroundPlacement::Center, small));
    renderer.Redraw();
    // A smaller picture keeps its size, centred with integer halves: (462, 354).
    const QImage centred = renderer.ViewBuffer().copy();
    EXPECT_EQ(centred.pixel(461, 354), kWhite);
    EXPECT_EQ(centred.pixel(462, 354), kRed);
    EXPECT_EQ(centred.pixel(561, 413), kYellow);
    EXPECT_EQ(centred.pixel(562, 413), kWhite);

    // A larger one is fitted keeping its aspect: 2048 x 1000 into 1024 x 768 -> 1024 x 500.
    const QString wide = Save(dir, QStringLiteral("wide.png"), Quadrants(2048, 1000));
    ASSERT_TRUE(model.SetBackground(0x00FFFFFF, BackgroundPlacement::Center, wide));
    renderer.Redraw();
    const QImage fitted = renderer.ViewBuffer();
    EXPECT_EQ(fitted.pixel(512, 133), kWhite);
    EXPECT_COLOUR_NEAR(fitted, 2, 136, kRed, 0);
    EXPECT_COLOUR_NEAR(fitted, 1021, 631, kYellow, 0);
    EXPECT_EQ(fitted.pixel(512, 635), kWhite);

    ASSERT_TRUE(model.SetBackground(0x00FFFFFF, BackgroundPlacement::Stretch, small));
    renderer.Redraw();
    const QImage stretched = renderer.ViewBuffer();
    EXPECT_COLOUR_NEAR(stretched, 10, 10, kRed, 0);
    EXPECT_COLOUR_NEAR(stretched, 1013, 10, kGreen, 0);
    EXPECT_COLOUR_NEAR(stretched, 10, 757, kBlue, 0);
    EXPECT_COLOUR_NEAR(stretched, 1013, 757, kYellow, 0);

    // The background disappears with its file's path.
    ASSERT_TRUE(model.SetBackground(0x00FFFFFF, BackgroundPlacement::Stretch, dir.filePath(QStringLiteral("gone.png"))));
    renderer.Redraw();
    EXPECT_EQ(renderer.ViewBuffer().pixel(10, 10), kWhite);
}

TEST_F(Render, TileRepeatsThePictureAtItsSizeTimesZoom)
{
    const QString tile = Save(dir, QStringLiteral("tile.png"), Quadrants(64, 40));
    ASSERT_TRUE(model.SetBackground(0x00FFFFFF, BackgroundPlacement::Tile, tile));
    for (const float zoom : {1.0f, 0.5f, 2.0f}) {
        ASSERT_TRUE(model.SetZoom(zoom));
        renderer.Redraw();
        const QImage& view = renderer.ViewBuffer();
        const int periodX = int(64 * zoom);
        const int periodY = int(40 * zoom);
        // Quadrant centres of the first tile and of tiles further on are the same colour.
        for (int tx = 0; tx < 3; ++tx) {
            for (int ty = 0; ty < 3; ++ty) {
                const int x = tx * periodX;
                const int y = ty * periodY;
                EXPECT_COLOUR_NEAR(view, x + periodX / 4, y + periodY / 4, kRed, 2) << zoom;
                EXPECT_COLOUR_NEAR(view, x + 3 * periodX / 4, y + periodY / 4, kGreen, 2) << zoom;
                EXPECT_COLOUR_NEAR(view, x + periodX / 4, y + 3 * periodY / 4, kBlue, 2) << zoom;
                EXPECT_COLOUR_NEAR(view, x + 3 * periodX / 4, y + 3 * periodY / 4, kYellow, 2) << zoom;
            }
        }
        if (zoom == 1.0f) {
            // At zoom 1 the period is exact in every pixel.
            for (int y = 0; y < 200; y += 7)
                for (int x = 0; x < 300; x += 5)
                    ASSERT_EQ(view.pixel(x, y), view.pixel(x + 64, y + 40)) << x << "," << y;
        }
    }
}

TEST_F(Render, PhotoAtKnownPositionsUnrotatedRotatedAndScaled)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("q.png"), Quadrants(400, 300));
    const int i = AddPhotoAt(model, path, QSize(400, 300), 100, 50, 1.0f);
    model.ClearSelection();

    renderer.Redraw();
    {
        const QImage& v = renderer.ViewBuffer();
        EXPECT_COLOUR_NEAR(v, 150, 100, kRed, 0);
        EXPECT_COLOUR_NEAR(v, 450, 100, kGreen, 0);
        EXPECT_COLOUR_NEAR(v, 150, 300, kBlue, 0);
        EXPECT_COLOUR_NEAR(v, 450, 300, kYellow, 0);
        EXPECT_EQ(v.pixel(99, 200), kWhite);
        EXPECT_EQ(v.pixel(500, 200), kWhite);
        EXPECT_EQ(v.pixel(300, 49), kWhite);
        EXPECT_EQ(v.pixel(300, 350), kWhite);
    }

    // 90 degrees clockwise about the centre (300, 200): the top-left quadrant goes to the
    // top right, the item spans 150..450 by 0..400.
    PhotoAt(model, i).angle = 90.0f;
    renderer.Redraw();
    {
        const QImage& v = renderer.ViewBuffer();
        EXPECT_COLOUR_NEAR(v, 375, 100, kRed, 0);
        EXPECT_COLOUR_NEAR(v, 375, 300, kGreen, 0);
        EXPECT_COLOUR_NEAR(v, 225, 100, kBlue, 0);
        EXPECT_COLOUR_NEAR(v, 225, 300, kYellow, 0);
        EXPECT_EQ(v.pixel(140, 200), kWhite);
        EXPECT_EQ(v.pixel(300, 405), kWhite);
    }

    // 45 degrees: the corners reach out to the centre +- 250 along the diagonals.
    PhotoAt(model, i).angle = 45.0f;
    renderer.Redraw();
    {
        const QImage& v = renderer.ViewBuffer();
        EXPECT_EQ(v.pixel(300 - 200 + 4, 200 - 150 + 4), kWhite); // the unrotated corner is outside
        EXPECT_COLOUR_NEAR(v, 300, 200 - 140, kRed, 0);             // straight above the centre
        EXPECT_COLOUR_NEAR(v, 300 + 140, 200, kGreen, 0);           // right of it
    }

    // Scale 0.5: W = 200, H = trunc(150) rounded down to 148.
    PhotoAt(model, i).angle = 0.0f;
    PhotoAt(model, i).drawScale = 0.5f;
    model.DropPhotoImages(i);
    renderer.Redraw();
    {
        const QImage& v = renderer.ViewBuffer();
        EXPECT_COLOUR_NEAR(v, 150, 80, kRed, 0);
        EXPECT_COLOUR_NEAR(v, 250, 80, kGreen, 0);
        EXPECT_COLOUR_NEAR(v, 150, 170, kBlue, 0);
        EXPECT_COLOUR_NEAR(v, 250, 170, kYellow, 0);
        EXPECT_EQ(v.pixel(200, 199), kWhite);
        EXPECT_EQ(v.pixel(300, 120), kWhite);
        ASSERT_NE(model.FindCache(i), nullptr);
        EXPECT_EQ(model.FindCache(i)->displayImage.size(), QSize(200, 148));
    }

    // At zoom 0.75 the position scales too: left 75, top 37.5 -> the item starts at 75.
    ASSERT_TRUE(model.SetZoom(0.75f));
    PhotoAt(model, i).drawScale = 1.0f;
    renderer.Redraw();
    {
        const QImage& v = renderer.ViewBuffer();
        EXPECT_EQ(model.FindCache(i)->displayImage.size(), QSize(300, 224));
        EXPECT_EQ(v.pixel(73, 150), kWhite);
        EXPECT_COLOUR_NEAR(v, 77, 45, kRed, 0);
        EXPECT_COLOUR_NEAR(v, 372, 255, kYellow, 0);
    }
}

TEST_F(Render, OpacityAndTuningGoThroughTheColourMatrix)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("q.png"), Quadrants(200, 200));
    const int i = AddPhotoAt(model, path, QSize(200, 200), 0, 0, 1.0f);
    model.ClearSelection();

    PhotoAt(model, i).opacity = 0.5f;
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 50, 50, qRgb(255, 128, 128), 1); // red half over white
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 50, 150, qRgb(128, 128, 255), 1);

    // Brightness, saturation and gamma with tuning on.
    Photo& p = PhotoAt(model, i);
    p.opacity = 1.0f;
    p.tuning.tuneOn = 1;
    p.tuning.tuneOffset = -0.25f;
    p.tuning.tuneSaturation = 0.5f;
    p.tuning.tuneGamma = 1.6f;
    renderer.Redraw();
    for (const auto& [x, y, colour] : {std::tuple{50, 50, kRed}, {150, 50, kGreen}, {50, 150, kBlue}, {150, 150, kYellow}}) {
        const QRgb expected = Tuned(colour, 1.0f, p.tuning);
        EXPECT_NE(expected, colour);
        EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), x, y, expected, 1);
    }
    // Tuning off again: the original colours, no decode needed.
    const int decodes = renderer.Stats().photoDecodes;
    p.tuning.tuneOn = 0;
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 50, 50, kRed, 0);
    EXPECT_EQ(renderer.Stats().photoDecodes, decodes);
}

TEST_F(Render, MovingAndRotatingDecodeNothingWhileResizingAndZoomingDo)
{
    const QString path = Save(dir, QStringLiteral("p.jpg"), Quadrants(800, 600), 90);
    const int i = AddPhotoAt(model, path, QSize(800, 600), 10, 10, 0.5f);
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().photoDecodes, 1);
    for (int step = 0; step < 5; ++step) {
        PhotoAt(model, i).posX += 13;
        PhotoAt(model, i).angle += 7.0f;
        renderer.Redraw();
    }
    EXPECT_EQ(renderer.Stats().photoDecodes, 1);
    // A resize drops the photo's images (the interaction does): rebuilt once.
    PhotoAt(model, i).drawScale = 0.4f;
    model.DropPhotoImages(i);
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().photoDecodes, 2);
    // A size change that nobody announced is noticed all the same.
    PhotoAt(model, i).drawScale = 0.3f;
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().photoDecodes, 3);
    ASSERT_TRUE(model.SetZoom(1.0f));
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().photoDecodes, 4);
}

TEST_F(Render, LargePhotosAreDecodedAtTheSizeTheyAreShown)
{
    const QString path = Save(dir, QStringLiteral("big.jpg"), Quadrants(2400, 1600), 90);
    CollageModel scratch;
    int index = AddPhotoAt(scratch, path, QSize(2400, 1600), 0, 0, 0.1f);
    Photo& photo = PhotoAt(scratch, index);
    render::PhotoBuildInfo info;
    // Shown at 240 x 160: a 1/8 decode (300 x 200) still covers it.
    QImage display = render::BuildPhotoDisplay(photo, QSize(240, 160), dir.path() + "/", &info);
    EXPECT_EQ(info.fullSize, QSize(2400, 1600));
    EXPECT_EQ(info.decodedSize, QSize(300, 200));
    EXPECT_EQ(display.size(), QSize(240, 160));
    EXPECT_COLOUR_NEAR(display, 60, 40, kRed, 12);
    EXPECT_COLOUR_NEAR(display, 180, 120, kYellow, 12);

    // A crop of the right half shown at 500 x 400 needs 1000 of the 2400 columns: the
    // half-size decode; the crop area maps into it.
    photo.cropLeft = 1200;
    photo.cropRight = 2400;
    display = render::BuildPhotoDisplay(photo, QSize(500, 400), dir.path() + "/", &info);
    EXPECT_EQ(info.decodedSize, QSize(1200, 800));
    EXPECT_EQ(display.size(), QSize(500, 400));
    EXPECT_COLOUR_NEAR(display, 250, 100, kGreen, 12);
    EXPECT_COLOUR_NEAR(display, 250, 300, kYellow, 12);

    // The export decodes at the size a photo has at zoom 1, and keeps none of it.
    const int shown = AddPhotoAt(model, path, QSize(2400, 1600), 0, 0, 0.1f);
    renderer.Redraw();
    ASSERT_TRUE(renderer.ComposeFullSize());
    EXPECT_EQ(renderer.Stats().photoDecodes, 2);
    EXPECT_EQ(renderer.Stats().decodedPixels, 2 * 300 * 200); // 1/8 decodes for the view and the export
    EXPECT_EQ(model.FindCache(shown)->displayImage.size(), QSize(180, 120));

    // Shown at its crop size or larger: decoded whole, kept at crop size.
    display = render::BuildPhotoDisplay(photo, QSize(1600, 1600), dir.path() + "/", &info);
    EXPECT_EQ(info.decodedSize, QSize(2400, 1600));
    EXPECT_EQ(display.size(), QSize(1200, 1600));
}

TEST_F(Render, CropBeyondThePictureIsClampedAndStored)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("q.png"), Quadrants(200, 100));
    const int i = AddPhotoAt(model, path, QSize(200, 100), 0, 0, 1.0f);
    Photo& p = PhotoAt(model, i);
    p.cropLeft = 100;
    p.cropRight = 5000; // beyond the width
    p.cropTop = -20;    // negative
    p.cropBottom = 100;
    p.baseWidth = 100;
    renderer.Redraw();
    EXPECT_EQ(p.cropRight, 200);
    EXPECT_EQ(p.cropTop, 0);
    EXPECT_EQ(p.cropLeft, 100);
    // The right half is shown: green over yellow.
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 50, 25, kGreen, 0);
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 50, 75, kYellow, 0);

    // A left edge beyond the width becomes 0; a crop that is left with no area draws
    // nothing rather than failing.
    p.cropLeft = 900;
    p.cropRight = -1;
    model.DropPhotoImages(i);
    renderer.Redraw();
    EXPECT_EQ(p.cropLeft, 0);
    EXPECT_EQ(p.cropRight, 200);
    p.cropLeft = 150;
    p.cropRight = 120;
    model.DropPhotoImages(i);
    renderer.Redraw();
    EXPECT_EQ(model.FindCache(i)->displayImage.isNull(), true);
}

TEST_F(Render, DeletedPhotoFileDrawsNothingButKeepsHandlesAndHitRegion)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("gone.png"), Solid(200, 100, kRed));
    const int i = AddPhotoAt(model, path, QSize(200, 100), 100, 100, 1.0f);
    ASSERT_TRUE(QFile::remove(path));
    renderer.Redraw();
    const QImage& v = renderer.ViewBuffer();
    EXPECT_EQ(v.pixel(200, 150), kWhite); // no picture
    ASSERT_TRUE(renderer.HasSelectionFrame());
    // Handle 0 at (-8, -8) of the item: its box centre is at (96, 96) in the view.
    EXPECT_COLOUR_NEAR(v, 96, 96, CanvasRenderer::kHandleBoxColour, 2);
    EXPECT_COLOUR_NEAR(v, 88, 88, CanvasRenderer::kHandleEllipseColour, 2); // handle 8 at (-16, -16)
    EXPECT_EQ(renderer.HandleAt(QPointF(96, 96)), 0);
    EXPECT_EQ(renderer.HandleAt(QPointF(305, 205)), 4);
    EXPECT_EQ(renderer.HandleAt(QPointF(200, 150)), -1);
    const ItemCache* cache = model.FindCache(i);
    ASSERT_NE(cache, nullptr);
    EXPECT_TRUE(cache->hasScreenRegion);
    EXPECT_TRUE(cache->screenRegion.contains(QPointF(200, 150)));
    EXPECT_FALSE(cache->screenRegion.contains(QPointF(310, 150)));

    // The file comes back: it is looked for again and drawn.
    Save(dir, QStringLiteral("gone.png"), Solid(200, 100, kRed));
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 200, 150, kRed, 0);
}

TEST_F(Render, HandlesFollowTheSelectionAndNotThePreview)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("q.png"), Solid(200, 100, kRed));
    const int i = AddPhotoAt(model, path, QSize(200, 100), 100, 100, 1.0f);
    PhotoAt(model, i).angle = 90.0f;
    renderer.Redraw();
    ASSERT_TRUE(renderer.HasSelectionFrame());
    // Rotated: handle 4 (W, H) = (200, 100) local lies at the lower left of the centre
    // (200, 150): local (100, 50) from the centre turns into (-50, 100).
    EXPECT_EQ(renderer.HandleAt(QPointF(200 - 50 - 4, 150 + 100 + 4)), 4);
    EXPECT_EQ(renderer.SelectionTransform().map(QPointF(0, 0)), QPointF(250, 50));

    renderer.SetPreviewMode(true);
    renderer.Redraw();
    EXPECT_FALSE(renderer.HasSelectionFrame());
    EXPECT_EQ(renderer.HandleAt(QPointF(146, 254)), -1);
    renderer.SetPreviewMode(false);

    model.ClearSelection();
    renderer.Redraw();
    EXPECT_FALSE(renderer.HasSelectionFrame());
}

TEST_F(Render, ScreenHitRegionsFollowScaleRotationAndZoom)
{
    const QString path = Save(dir, QStringLiteral("q.png"), Solid(400, 200, kRed));
    const int i = AddPhotoAt(model, path, QSize(400, 200), 100, 100, 0.5f);
    Photo& p = PhotoAt(model, i);
    p.hitScale = 0.25f; // the region is built at another scale and scaled to the drawing
    model.RebuildRegion(i);
    ASSERT_TRUE(model.SetZoom(0.5f));
    renderer.Redraw();
    // Shown at 100 x 48 from (50, 50).
    const QPainterPath& region = model.FindCache(i)->screenRegion;
    EXPECT_TRUE(region.contains(QPointF(52, 52)));
    EXPECT_TRUE(region.contains(QPointF(148, 97)));
    EXPECT_FALSE(region.contains(QPointF(152, 75)));
    EXPECT_FALSE(region.contains(QPointF(100, 103)));
    p.angle = 90.0f;
    renderer.Redraw();
    const QPainterPath& turned = model.FindCache(i)->screenRegion;
    EXPECT_TRUE(turned.contains(QPointF(100, 25)));
    EXPECT_FALSE(turned.contains(QPointF(60, 74)));
}

TEST_F(Render, MaskAndShapeAtDrawTime)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("red.png"), Solid(100, 100, kRed));
    // Mask: left half blue 255 (alpha 0), right half blue 0 (alpha 255).
    QImage mask = Solid(100, 100, qRgb(0, 0, 255));
    QPainter(&mask).fillRect(50, 0, 50, 100, QColor(0, 0, 0));
    // Shape: inner colour on the left, a faint (alpha 100) edge on the right.
    QImage shape = Solid(100, 100, qRgba(200, 165, 50, 255));
    {
        QPainter sp(&shape);
        sp.setCompositionMode(QPainter::CompositionMode_Source);
        sp.fillRect(50, 0, 50, 100, QColor(10, 10, 10, 100));
    }
    WriteImageLibrary(Library("photomasks"), library::LibraryLayout::Image, {Solid(8, 8, kBlue), mask});
    WriteImageLibrary(Library("shape"), library::LibraryLayout::Image, {shape});

    const int i = AddPhotoAt(model, path, QSize(100, 100), 0, 0, 1.0f);
    model.ClearSelection();
    PhotoAt(model, i).maskIndex = 2; // mask entry 1
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 25, 50, kWhite, 0);
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 75, 50, kRed, 0);
    EXPECT_EQ(model.FindCache(i)->displayImage.format(), QImage::Format_ARGB32);

    PhotoAt(model, i).maskIndex = 5001; // shape entry 0
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 25, 50, kRed, 0);
    // (50, 50, 50) at alpha 100 x 192 / 255 = 75 over white: 255 - 205 x 75 / 255 = 195.
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 75, 50, qRgb(195, 195, 195), 1);

    // An entry the library does not have leaves the photo unmasked.
    PhotoAt(model, i).maskIndex = 9;
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 25, 50, kRed, 0);
}

TEST_F(Render, FramedPhotoIsDrawnInItsWidenedOpeningUnderTheFrame)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    const QString path = Save(dir, QStringLiteral("green.png"), Solid(60, 60, kGreen));
    QImage frame = Solid(100, 100, kBlue);
    {
        QPainter fp(&frame);
        fp.setCompositionMode(QPainter::CompositionMode_Source);
        fp.fillRect(20, 20, 60, 60, Qt::transparent);
    }
    WriteImageLibrary(Library("photoframes"), library::LibraryLayout::ImageWithOpening, {frame}, {0.2f, 0.2f, 0.8f, 0.8f});
    const int i = AddPhotoAt(model, path, QSize(60, 60), 0, 0, 1.0f);
    model.ClearSelection();
    Photo& p = PhotoAt(model, i);
    p.frameIndex = 1;
    p.frameLeft = p.frameTop = 0.2f;
    p.frameRight = p.frameBottom = 0.8f;
    p.baseWidth = p.baseHeight = 100; // 60 / 0.6
    renderer.Redraw();
    const QImage& v = renderer.ViewBuffer();
    EXPECT_COLOUR_NEAR(v, 50, 50, kGreen, 0);
    EXPECT_COLOUR_NEAR(v, 21, 50, kGreen, 0); // the opening is widened by 0.01 x 100 px
    EXPECT_COLOUR_NEAR(v, 10, 50, kBlue, 0);
    EXPECT_COLOUR_NEAR(v, 90, 90, kBlue, 0);

    // The frame is drawn with the photo's opacity; a missing photo file leaves the frame.
    p.opacity = 0.5f;
    ASSERT_TRUE(QFile::remove(path));
    model.DropPhotoImages(i);
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 50, 50, kWhite, 0);
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 10, 50, qRgb(128, 128, 255), 1);
}

TEST_F(Render, ClipArtBufferPicturesAndTintedBrushStamps)
{
    ASSERT_TRUE(model.SetZoom(1.0f));
    QImage art = Solid(40, 40, kGreen);
    art.setPixel(0, 0, qRgba(0, 0, 0, 0));
    WriteThumbnailLibrary(Library("cliparts"), {Solid(4, 4, kRed), art});
    QImage brush = Solid(40, 40, qRgba(0, 0, 0, 255));
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 40; ++y)
            brush.setPixel(x, y, qRgba(0, 0, 0, 0)); // left half transparent
    WriteThumbnailLibrary(Library("brushs"), {brush});
    model.SetClipArtSizeReader([this](std::int32_t n) { return library::ReadThumbnailEntry(Library("cliparts"), n).size(); });
    model.SetBrushSizeReader([this](std::int32_t n) { return library::ReadThumbnailEntry(Library("brushs"), n).size(); });

    ASSERT_TRUE(model.AddClipArt(1, 100, 100));
    EXPECT_EQ(std::get<ClipArt>(model.ItemAt(0)).sourceWidth, 40);
    // A picture from a buffer: blue, green, red, alpha in memory.
    std::vector<std::uint8_t> pixels(20 * 10 * 4);
    for (std::size_t k = 0; k < pixels.size(); k += 4) {
        pixels[k] = 255; // blue
        pixels[k + 3] = 255;
    }
    ASSERT_TRUE(model.AddPictureItem(pixels, 20, 10));
    model.SetToolSettings(0, true, 0.0f, 255, 40, 0x000000FF); // tint red (COLORREF)
    ASSERT_TRUE(model.AddBrushStamp(300, 300));
    model.ClearSelection();
    renderer.Redraw();
    const QImage& v = renderer.ViewBuffer();
    EXPECT_COLOUR_NEAR(v, 120, 120, kGreen, 0);
    EXPECT_COLOUR_NEAR(v, 10, 5, kBlue, 0);
    // The stamp is centred on (300, 300): its left half transparent, the right half red.
    EXPECT_COLOUR_NEAR(v, 290, 300, kWhite, 0);
    EXPECT_COLOUR_NEAR(v, 310, 300, kRed, 0);

    // Clip-art tuning is applied as for photos.
    ClipArt& c = std::get<ClipArt>(model.ItemAt(0));
    c.tuning.tuneOn = 1;
    c.tuning.tuneOffset = 0.3f;
    renderer.Redraw();
    EXPECT_COLOUR_NEAR(renderer.ViewBuffer(), 120, 120, Tuned(kGreen, 1.0f, c.tuning), 1);
}

TEST_F(Render, TextItemIsDrawnInItsBoxAndStoresItsScreenBox)
{
    model.SetTextMeasurer([](const LogFont& font, const QString& text) { return MeasureText(font, text); });
    Text settings;
    settings.font.lfHeight = 48;
    ASSERT_TRUE(settings.font.SetFaceName(QStringLiteral("DejaVu Sans")));
    settings.style = 6;
    settings.colour1 = 0x000000FF;
    settings.colour2 = 0x00FF0000;
    model.SetCurrentTextSettings(settings);
    ASSERT_TRUE(model.SetCurrentText(QStringLiteral("MMMM")));
    ASSERT_TRUE(model.AddText());
    Text& t = std::get<Text>(model.ItemAt(0));
    t.posX = 100;
    t.posY = 80;
    model.ClearSelection();
    renderer.Redraw();
    const float zoom = model.Zoom();
    const QRect box(int(100 * zoom), int(80 * zoom), int(t.boxWidth * zoom), int(t.boxHeight * zoom));
    EXPECT_EQ(t.screenBox[0], box.left());
    EXPECT_EQ(t.screenBox[1], box.top());
    EXPECT_EQ(t.screenBox[2], int((100 + t.boxWidth) * zoom));
    EXPECT_EQ(t.screenBox[3], int((80 + t.boxHeight) * zoom));
    // Something is drawn inside the box, nothing far outside it.
    const QImage& v = renderer.ViewBuffer();
    long inked = 0;
    for (int y = box.top(); y < box.top() + box.height(); ++y)
        for (int x = box.left(); x < box.left() + box.width(); ++x)
            inked += v.pixel(x, y) != kWhite;
    EXPECT_GT(inked, 100);
    for (int x = 0; x < 700; x += 3)
        ASSERT_EQ(v.pixel(x, box.bottom() + 40), kWhite);
}

TEST_F(Render, HostileRecordsDrawNothingAndNeverFail)
{
    const QString path = Save(dir, QStringLiteral("q.png"), Solid(64, 64, kRed));
    const int huge = AddPhotoAt(model, path, QSize(64, 64), 10, 10, 1.0e30f);
    const int negative = AddPhotoAt(model, path, QSize(64, 64), 10, 10, -3.0f);
    const int zeroHit = AddPhotoAt(model, path, QSize(64, 64), 10, 10, 1.0f);
    PhotoAt(model, zeroHit).hitScale = 0.0f;
    PhotoAt(model, zeroHit).frameIndex = 7; // no frame library at all
    PhotoAt(model, zeroHit).frameLeft = -1.0e20f;
    Photo& selected = PhotoAt(model, huge);
    selected.angle = 33.0f;
    model.SelectOnly(huge);
    renderer.Redraw();
    EXPECT_TRUE(model.FindCache(huge)->displayImage.isNull());
    EXPECT_TRUE(model.FindCache(negative)->hasScreenRegion);
    EXPECT_TRUE(model.FindCache(zeroHit)->screenRegion.isEmpty());
    // The view is there and the canvas white under the nonsense.
    EXPECT_EQ(renderer.ViewBuffer().size(), QSize(768, 576));
}

} // namespace
