// A collage decorated with each kind of starter content, through the model's operations
// and the real renderer: a frame, a photo mask, a shape, clip-art and tinted brush stamps.
// With MONTARA_SCREENSHOT_DIR set, the view is also saved there as
// "decorated-collage.png" to be looked at.

#include "support/RenderTestSupport.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/LibraryReaders.h"
#include "library/ResourcePack.h"

#include <QLinearGradient>
#include <QPainterPath>

using namespace rendertest;

namespace {

// A landscape with a known colour at its centre (the house wall).
QImage Landscape(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(70, 130, 210));
    sky.setColorAt(0.6, QColor(180, 210, 240));
    p.fillRect(0, 0, w, h, sky);
    QPainterPath hill;
    hill.moveTo(0, h * 0.65);
    hill.cubicTo(w * 0.3, h * 0.5, w * 0.6, h * 0.8, w, h * 0.6);
    hill.lineTo(w, h);
    hill.lineTo(0, h);
    p.fillPath(hill, QColor(80, 150, 70));
    p.fillRect(QRectF(w * 0.4, h * 0.4, w * 0.2, h * 0.2), QColor(200, 60, 50));
    p.setBrush(QColor(255, 220, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(w * 0.8, h * 0.2), h * 0.08, h * 0.08);
    return image;
}

constexpr QRgb kWall = 0xFFC83C32;

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

TEST(DecoratedCollage, EachKindOfStarterContentOnOneCollage)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Data/"));
    for (const library::InstallResult& r : library::InstallStarterPacks(data))
        ASSERT_EQ(r.status, library::InstallStatus::Installed) << r.message.toStdString();

    CollageModel model;
    CanvasRenderer renderer(model);
    renderer.SetDataFolder(data);
    ASSERT_TRUE(model.SetZoom(1.0f));
    model.SetFrameOpeningReader(LibraryFrameOpeningReader(data));
    model.SetShapeSizeReader(LibraryShapeSizeReader(data));
    model.SetClipArtSizeReader([&](std::int32_t n) { return library::ReadThumbnailEntry(data + "cliparts", n).size(); });
    model.SetBrushSizeReader([&](std::int32_t n) { return library::ReadThumbnailEntry(data + "brushs", n).size(); });
    ASSERT_TRUE(model.SetBackground(0x00F4ECE6, BackgroundPlacement::Center, QString()));

    const QString photo = Save(dir, QStringLiteral("landscape.jpg"), Landscape(800, 600), 95);
    // Four photos, each 800 x 600 drawn at scale 0.4: frame, mask, shape, second frame.
    struct Placed {
        int index;
        QPoint at;
    };
    std::vector<Placed> photos;
    for (const QPoint& at : {QPoint(40, 40), QPoint(560, 40), QPoint(40, 400), QPoint(560, 400)})
        photos.push_back({AddPhotoAt(model, photo, QSize(800, 600), at.x(), at.y(), 0.4f), at});

    model.SelectOnly(photos[0].index);
    ASSERT_TRUE(model.ApplyFrame(0)); // classic wood
    model.SelectOnly(photos[1].index);
    ASSERT_TRUE(model.ApplyMask(0)); // soft oval vignette
    model.SelectOnly(photos[2].index);
    ASSERT_TRUE(model.ApplyMask(CollageModel::kShapeNumberBase)); // heart shape
    model.SelectOnly(photos[3].index);
    ASSERT_TRUE(model.ApplyFrame(7)); // vintage oval
    const Photo& framed = std::get<Photo>(model.ItemAt(photos[0].index));
    const Photo& heart = std::get<Photo>(model.ItemAt(photos[2].index));
    EXPECT_EQ(framed.frameIndex, 1);
    EXPECT_EQ(heart.baseWidth, 600); // cropped to the square heart
    EXPECT_EQ(heart.cropLeft, 100);

    ASSERT_TRUE(model.AddClipArt(14, 400, 300)); // the apple
    ASSERT_TRUE(model.AddClipArt(30, 880, 290)); // the balloons
    model.SetToolSettings(0, true, 0.0f, 255, 48, 0x0000C8FF); // gold stars (COLORREF 0x00BBGGRR)
    for (int x = 400; x <= 600; x += 50)
        ASSERT_TRUE(model.AddBrushStamp(x, 700));
    model.SetToolSettings(1, true, 15.0f, 200, 40, 0x005028E0); // tilted hearts
    ASSERT_TRUE(model.AddBrushStamp(500, 380));
    model.ClearSelection();
    renderer.Redraw();
    const QImage& v = renderer.ViewBuffer();
    if (const QByteArray shots = qgetenv("MONTARA_SCREENSHOT_DIR"); !shots.isEmpty())
        v.save(QString::fromLocal8Bit(shots) + QStringLiteral("/decorated-collage.png"));

    // Each photo is 320 x 240 on screen (the framed ones larger by their frame).
    const auto centre = [&](const Placed& p, const Photo& r) {
        return p.at + QPoint(int(r.baseWidth * r.drawScale) / 2, int(r.baseHeight * r.drawScale) / 2);
    };
    // Frame: the wall shows in the middle, wood at the edge.
    const QPoint c0 = centre(photos[0], framed);
    EXPECT_TRUE(Near(v.pixel(c0), kWall, 40)) << std::hex << v.pixel(c0);
    const QRgb wood = v.pixel(photos[0].at + QPoint(10, int(framed.baseHeight * framed.drawScale) / 2));
    EXPECT_GT(qRed(wood), qGreen(wood));
    EXPECT_GT(qGreen(wood), qBlue(wood));
    EXPECT_LT(qRed(wood), 200);
    // Mask: the photo in the middle, its corner faded to the background.
    const Photo& masked = std::get<Photo>(model.ItemAt(photos[1].index));
    EXPECT_TRUE(Near(v.pixel(centre(photos[1], masked)), kWall, 40));
    EXPECT_TRUE(Near(v.pixel(photos[1].at + QPoint(2, 2)), 0xFFE6ECF4, 6)) << std::hex << v.pixel(photos[1].at + QPoint(2, 2));
    // Shape: the heart's notch at the top middle shows the background, its middle the photo.
    EXPECT_TRUE(Near(v.pixel(centre(photos[2], heart)), kWall, 40));
    EXPECT_TRUE(Near(v.pixel(photos[2].at + QPoint(int(heart.baseWidth * heart.drawScale) / 2, 4)), 0xFFE6ECF4, 6));
    // Brush stamps in their tint colour: gold in the middle of a star.
    EXPECT_TRUE(Near(v.pixel(500, 702), qRgb(0xFF, 0xC8, 0x00), 10)) << std::hex << v.pixel(500, 702);
}
