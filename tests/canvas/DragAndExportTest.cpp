// The drag layers (frames pixel-identical to a full Redraw), the full-size composition
// and the writing rule of the export.

#include "support/RenderTestSupport.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/ExportPicture.h"
#include "editing/CxImage.h"
#include "editing/PictureEncoder.h"
#include "editing/PictureFiles.h"
#include "editing/TextRendering.h"

#include <QFile>
#include <QImageReader>

using namespace rendertest;

namespace {

// A collage with something of every kind below and above the selected photo: rotated and
// half-transparent photos, a masked one, a framed one, clip-art with soft alpha, text in
// two presets with soft shadows.
class Scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/");
        renderer.SetDataFolder(folder);
        reference.SetDataFolder(folder);
        renderer.SetClientSize(QSize(900, 620));
        reference.SetClientSize(QSize(900, 620));
        model.SetTextMeasurer([](const LogFont& font, const QString& text) { return MeasureText(font, text); });

        QImage frame = Solid(120, 120, qRgba(120, 60, 20, 230));
        {
            QPainter fp(&frame);
            fp.setCompositionMode(QPainter::CompositionMode_Source);
            fp.fillRect(15, 15, 90, 90, Qt::transparent);
        }
        WriteImageLibrary(folder + "photoframes", library::LibraryLayout::ImageWithOpening, {frame},
                          {0.125f, 0.125f, 0.875f, 0.875f});
        QImage mask(64, 64, QImage::Format_ARGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                mask.setPixel(x, y, qRgb(0, 0, std::min(255, 4 * std::abs(x - 32) + 4 * std::abs(y - 32))));
        WriteImageLibrary(folder + "photomasks", library::LibraryLayout::Image, {mask});

        const QString a = Save(dir, QStringLiteral("a.jpg"), Quadrants(640, 480), 90);
        const QString b = Save(dir, QStringLiteral("b.png"), Quadrants(300, 400));
        const QString c = Save(dir, QStringLiteral("c.jpg"), Solid(500, 300, qRgb(30, 160, 90)), 90);

        AddPhotoAt(model, a, QSize(640, 480), 40, 30, 0.9f);
        PhotoAt(model, 0).angle = -8.0f;
        QImage soft(90, 90, QImage::Format_ARGB32);
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
                soft.setPixel(x, y, qRgba(200, 40, x * 2, std::min(255, x + y)));
        const uchar* bits = soft.constBits();
        ASSERT_TRUE(model.AddPictureItem(std::span<const std::uint8_t>(bits, std::size_t(soft.sizeInBytes())), 90, 90));
        std::get<ClipArt>(model.ItemAt(1)).angle = 30.0f;
        std::get<ClipArt>(model.ItemAt(1)).posX = 300;
        std::get<ClipArt>(model.ItemAt(1)).posY = 200;

        selected = AddPhotoAt(model, b, QSize(300, 400), 350, 120, 0.8f);
        PhotoAt(model, selected).angle = 12.5f;
        PhotoAt(model, selected).opacity = 0.85f;

        AddPhotoAt(model, c, QSize(500, 300), 500, 260, 0.7f);
        PhotoAt(model, 3).angle = -21.0f;
        PhotoAt(model, 3).opacity = 0.6f;
        AddPhotoAt(model, b, QSize(300, 400), 150, 380, 0.5f);
        PhotoAt(model, 4).maskIndex = 1;
        PhotoAt(model, 4).angle = 47.0f;
        const int framed = AddPhotoAt(model, c, QSize(500, 300), 700, 60, 0.6f);
        Photo& f = PhotoAt(model, framed);
        f.frameIndex = 1;
        f.frameLeft = f.frameTop = 0.125f;
        f.frameRight = f.frameBottom = 0.875f;
        f.baseWidth = 666;
        f.baseHeight = 400;
        f.angle = 5.0f;

        Text settings;
        settings.font.lfHeight = 40;
        ASSERT_TRUE(settings.font.SetFaceName(QStringLiteral("DejaVu Sans")));
        settings.style = 4;
        settings.colour1 = 0x000000FF;
        settings.colour2 = 0x0000FFFF;
        settings.transparency = 0.2f;
        model.SetCurrentTextSettings(settings);
        ASSERT_TRUE(model.SetCurrentText(QStringLiteral("Montara\nlayers")));
        ASSERT_TRUE(model.AddText());
        std::get<Text>(model.ItemAt(model.ItemCount() - 1)).angle = -15.0f;
        std::get<Text>(model.ItemAt(model.ItemCount() - 1)).posX = 420;
        std::get<Text>(model.ItemAt(model.ItemCount() - 1)).posY = 300;
        model.SelectOnly(selected);
    }

    // A full Redraw of the same collage by a second renderer that is not dragging.
    QImage FullRedraw()
    {
        reference.Redraw();
        return reference.ViewBuffer().copy();
    }

    QTemporaryDir dir;
    QString folder;
    CollageModel model;
    CanvasRenderer renderer{model};
    CanvasRenderer reference{model};
    int selected = -1;
};

TEST_F(Scene, DragFramesArePixelIdenticalToFullRedraws)
{
    renderer.BeginDrag();
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().dragFrames, 0);
    Difference d = Compare(renderer.ViewBuffer(), FullRedraw());
    EXPECT_EQ(d.pixels, 0);

    for (int step = 1; step <= 12; ++step) {
        Photo& p = PhotoAt(model, selected);
        p.posX += 17 * (step % 3 == 0 ? -1 : 1);
        p.posY += 9;
        p.angle += 11.0f;
        renderer.Redraw();
        d = Compare(renderer.ViewBuffer(), FullRedraw());
        ASSERT_EQ(d.pixels, 0) << "step " << step << ", largest " << d.largest;
    }
    EXPECT_EQ(renderer.Stats().dragFrames, 12);
    EXPECT_EQ(renderer.Stats().fullComposes, 1);
    // The dragged item's region and handles follow it.
    EXPECT_TRUE(renderer.HasSelectionFrame());
    EXPECT_EQ(renderer.SelectionTransform(), reference.SelectionTransform());
    const Photo& moved = PhotoAt(model, selected);
    const QPointF centre((moved.posX + moved.baseWidth * moved.drawScale / 2) * model.Zoom(),
                         (moved.posY + moved.baseHeight * moved.drawScale / 2) * model.Zoom());
    EXPECT_TRUE(model.FindCache(selected)->screenRegion.contains(centre));

    // A change to another item makes the layers stale: composed in full, still identical.
    PhotoAt(model, 0).opacity = 0.4f;
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().fullComposes, 2);
    EXPECT_EQ(Compare(renderer.ViewBuffer(), FullRedraw()).pixels, 0);
    // Resizing the dragged photo (its images dropped on every movement) uses the layers.
    PhotoAt(model, selected).drawScale = 0.6f;
    model.DropPhotoImages(selected);
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().dragFrames, 13);
    EXPECT_EQ(Compare(renderer.ViewBuffer(), FullRedraw()).pixels, 0);

    renderer.EndDrag();
    renderer.Redraw();
    EXPECT_EQ(Compare(renderer.ViewBuffer(), FullRedraw()).pixels, 0);
}

TEST_F(Scene, DraggingTheTopAndTheBottomItem)
{
    for (const int index : {0, model.ItemCount() - 1}) {
        model.SelectOnly(index);
        renderer.BeginDrag();
        renderer.Redraw();
        for (int step = 0; step < 4; ++step) {
            SetPosition(model.ItemAt(index), 100 + 40 * step, 50 + 30 * step);
            SetAngle(model.ItemAt(index), float(step * 25));
            renderer.Redraw();
            ASSERT_EQ(Compare(renderer.ViewBuffer(), FullRedraw()).pixels, 0) << index << " " << step;
        }
        renderer.EndDrag();
    }
    EXPECT_EQ(renderer.Stats().dragFrames, 8);
}

TEST_F(Scene, LayeredCompositionMatchesDrawingOneByOne)
{
    // In preview no handles are drawn: a selected item (the items above it laid over as
    // one layer) and no selection (all drawn one by one) give the same picture but for
    // rounding.
    renderer.SetPreviewMode(true);
    renderer.Redraw();
    const QImage layered = renderer.ViewBuffer().copy();
    model.ClearSelection();
    renderer.Redraw();
    const Difference d = Compare(layered, renderer.ViewBuffer());
    ASSERT_NE(d.pixels, -1);
    // Rounding of semi-transparent pixels laid over each other (the soft text shadow
    // over the half-transparent photos) differs by a few levels in a few pixels.
    EXPECT_LE(d.largest, 4);
    EXPECT_LT(d.pixels, layered.width() * layered.height() / 100);
}

TEST_F(Scene, ExportIsFullSizeWithoutHandlesAndLeavesTheViewAsItWas)
{
    model.SetScroll(40, 30);
    renderer.Redraw();
    const QImage before = renderer.ViewBuffer().copy();
    const int decodesBefore = renderer.Stats().photoDecodes;

    ASSERT_TRUE(renderer.ComposeFullSize());
    ExportBitmap& bitmap = renderer.Export();
    EXPECT_EQ(bitmap.Width(), 1024);
    EXPECT_EQ(bitmap.Height(), 768);
    EXPECT_EQ(bitmap.Stride(), 1024 * 3);
    EXPECT_EQ(model.Zoom(), 0.75f);
    EXPECT_EQ(model.ScrollX(), 40);
    EXPECT_EQ(model.ScrollY(), 30);
    EXPECT_EQ(Compare(before, renderer.ViewBuffer()).pixels, 0);
    // The photos were decoded again for the export, and none of those pictures was kept:
    // the view's own pictures are still the display-size ones.
    EXPECT_EQ(renderer.Stats().photoDecodes, decodesBefore + 5);
    EXPECT_EQ(model.FindCache(selected)->displayImage.size(), QSize(180, 240));
    renderer.Redraw();
    EXPECT_EQ(renderer.Stats().photoDecodes, decodesBefore + 5);

    // Rows are bottom-up: the last row of the bitmap is the top of the collage.
    const QImage exported = bitmap.ToImage();
    EXPECT_EQ(exported.size(), QSize(1024, 768));
    const std::uint8_t* bottomRow = bitmap.Row(0);
    const QRgb bottomLeft = exported.pixel(0, 767);
    EXPECT_EQ(qRgb(bottomRow[2], bottomRow[1], bottomRow[0]), bottomLeft);

    // No handles: the export of the selected collage equals the unselected one.
    model.ClearSelection();
    ASSERT_TRUE(renderer.ComposeFullSize());
    EXPECT_EQ(Compare(exported, renderer.Export().ToImage()).pixels, 0);

    // Independent of the zoom.
    for (const float zoom : {0.25f, 2.0f}) {
        ASSERT_TRUE(model.SetZoom(zoom));
        renderer.Redraw();
        ASSERT_TRUE(renderer.ComposeFullSize());
        EXPECT_EQ(renderer.Export().Width(), 1024);
        EXPECT_EQ(model.Zoom(), zoom);
        EXPECT_EQ(Compare(exported, renderer.Export().ToImage()).pixels, 0) << zoom;
    }
}

TEST_F(Scene, ExportOfAnOddSizedCanvasPadsItsRows)
{
    model.StoreLoadedSize(1021, 301); // a project file may hold sizes that are not multiples of 4
    ASSERT_TRUE(renderer.ComposeFullSize());
    EXPECT_EQ(renderer.Export().Stride(), 3064);
    const QString path = dir.filePath(QStringLiteral("odd.tif"));
    QString error;
    ASSERT_TRUE(WriteExportPicture(renderer.Export(), path, &error)) << error.toStdString();
    const QImage back(path);
    ASSERT_EQ(back.size(), QSize(1021, 301));
    EXPECT_EQ(Compare(back, renderer.Export().ToImage()).pixels, 0);
}

TEST(ExportRoute, ExtensionRule)
{
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.jpg")), ExportRoute::Encoder);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.JPG")), ExportRoute::Library); // "jpg" as typed only
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.Jpg")), ExportRoute::Library);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.JPEG")), ExportRoute::Encoder);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.jpeg")), ExportRoute::Encoder);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.GIF")), ExportRoute::Encoder);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.Bmp")), ExportRoute::Encoder);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.png")), ExportRoute::Encoder);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.pcx")), ExportRoute::Library);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.tiff")), ExportRoute::Library);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a/b.pnm")), ExportRoute::Library);
    EXPECT_EQ(ExportRouteOf(QStringLiteral("/a.png/b")), ExportRoute::Library);
}

class ExportWriting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(bitmap.Create(64, 48));
        // The quadrants written bottom-up as the composition stores them.
        const QImage q = Quadrants(64, 48);
        for (int y = 0; y < 48; ++y) {
            std::uint8_t* row = bitmap.Row(47 - y);
            for (int x = 0; x < 64; ++x) {
                const QRgb c = q.pixel(x, y);
                row[3 * x] = std::uint8_t(qBlue(c));
                row[3 * x + 1] = std::uint8_t(qGreen(c));
                row[3 * x + 2] = std::uint8_t(qRed(c));
            }
        }
        upright = q.convertToFormat(QImage::Format_RGB32);
    }

    QByteArray Read(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir dir;
    ExportBitmap bitmap;
    QImage upright;
};

TEST_F(ExportWriting, EncoderNamesGoThroughThePictureEncoderAtQuality90)
{
    const QString jpeg = dir.filePath(QStringLiteral("out.JPEG"));
    ASSERT_TRUE(WriteExportPicture(bitmap, jpeg));
    // The same bytes as the encoder writes for the upright picture at quality 90.
    PictureEncoder encoder;
    ASSERT_TRUE(encoder.Select(jpeg));
    encoder.SetQuality(90);
    const QString direct = dir.filePath(QStringLiteral("direct.jpeg"));
    ASSERT_EQ(encoder.Save(upright.convertToFormat(QImage::Format_BGR888), direct), PictureEncoder::kOk);
    EXPECT_EQ(Read(jpeg), Read(direct));
    EXPECT_EQ(QImageReader(jpeg).format(), QByteArray("jpeg"));

    for (const char* name : {"out.png", "out.bmp", "out.gif"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(WriteExportPicture(bitmap, path)) << name;
        const QImage back(path);
        EXPECT_EQ(Compare(back, upright).pixels, 0) << name;
    }
    // The bitmap is unchanged by writing (its rows are turned for the encoder and back).
    EXPECT_EQ(Compare(bitmap.ToImage(), upright).pixels, 0);
}

TEST_F(ExportWriting, OtherNamesGoThroughThePictureLibrary)
{
    const QString jpg = dir.filePath(QStringLiteral("out.JPG"));
    ASSERT_TRUE(WriteExportPicture(bitmap, jpg));
    // The same bytes as the library writes for these bottom-up rows as a JPEG.
    PictureLoader loader;
    ASSERT_TRUE(loader.FromPixels(bitmap.Row(0), 64, 48));
    const QString direct = dir.filePath(QStringLiteral("direct.jpg"));
    ASSERT_TRUE(loader.Image()->Save(direct, cx::kFormatJpg));
    EXPECT_EQ(Read(jpg), Read(direct));

    for (const char* name : {"out.tif", "out.pnm", "out.pcx"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(WriteExportPicture(bitmap, path)) << name;
        CxImage back(path, FormatFromExtension(PictureExtension(path)));
        ASSERT_TRUE(back.IsValid()) << name;
        EXPECT_EQ(Compare(back.ToImage(), upright).pixels, 0) << name;
    }

    // Unknown or missing extensions and unwritable places fail with a reason, no file.
    QString error;
    EXPECT_FALSE(WriteExportPicture(bitmap, dir.filePath(QStringLiteral("out.xyz")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xyz"))));
    EXPECT_FALSE(WriteExportPicture(bitmap, dir.filePath(QStringLiteral("missing/out.png")), &error));
    EXPECT_FALSE(WriteExportPicture(bitmap, dir.filePath(QStringLiteral("missing/out.tif")), &error));
    ExportBitmap empty;
    EXPECT_FALSE(WriteExportPicture(empty, dir.filePath(QStringLiteral("e.png")), &error));
}

TEST(ExportBitmapTest, SizesItRefuses)
{
    ExportBitmap bitmap;
    EXPECT_FALSE(bitmap.Create(0, 10));
    EXPECT_FALSE(bitmap.Create(10, -1));
    EXPECT_FALSE(bitmap.Create(32768, 32768)); // 3 GB
    EXPECT_TRUE(bitmap.IsNull());
    ASSERT_TRUE(bitmap.Create(5, 3));
    EXPECT_EQ(bitmap.Stride(), 16);
}

} // namespace
