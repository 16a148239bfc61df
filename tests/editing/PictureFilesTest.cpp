// Reading pictures: the format table, the decoder choice, the loaders and their
// layouts, the editing rule, camera orientation through every loader, thumbnails.

#include "support/PictureTestSupport.h"

#include "editing/PictureFiles.h"
#include "editing/PictureScaling.h"

#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace testpics;

namespace {

class PictureFilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }

    // A picture saved by Qt under the given name.
    QString Save(const QImage& picture, const QString& name, const char* format = nullptr)
    {
        const QString path = Path(name);
        EXPECT_TRUE(picture.save(path, format));
        return path;
    }
    // A picture written by the independent encoder (for formats Qt cannot write).
    QString Convert(const QImage& picture, const QString& name)
    {
        const QString source = Save(picture, name + ".source.png");
        const QString path = Path(name);
        EXPECT_TRUE(RunProgram("convert", {source, path}));
        return path;
    }
};

QRgb BgrAt(const std::uint8_t* buffer, int width, int x, int y)
{
    const std::uint8_t* p = buffer + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    return qRgb(p[2], p[1], p[0]);
}

QRgb RgbAt(const std::uint8_t* buffer, int width, int x, int y)
{
    const std::uint8_t* p = buffer + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    return qRgb(p[0], p[1], p[2]);
}

// Quadrant colours of an upright picture held top-down (rowOf maps a top-down row to
// the buffer's row).
template <typename Pixel>
void ExpectQuadrantsIn(int width, int height, int tolerance, Pixel pixel)
{
    const QImage reference = Quadrants(width, height);
    for (int y : {height / 4, height * 3 / 4})
        for (int x : {width / 4, width * 3 / 4})
            EXPECT_LE(Distance(pixel(x, y), QuadrantColour(reference, x, y)), tolerance) << x << "," << y;
}

} // namespace

TEST(FormatFromExtension, TableOfCodes)
{
    const std::pair<const char*, std::uint32_t> table[] = {
        {"bmp", 1}, {"gif", 2},  {"jpg", 3},  {"jpeg", 3}, {"png", 4},  {"ico", 5},  {"tif", 6},  {"tiff", 6},
        {"tga", 7}, {"pcx", 8},  {"wbmp", 9}, {"wmf", 10}, {"emf", 10}, {"jp2", 11}, {"j2k", 11}, {"jpc", 12},
        {"j2c", 12}, {"pgx", 13}, {"pnm", 14}, {"pgm", 14}, {"ppm", 14}, {"ras", 15},
    };
    for (const auto& [extension, code] : table)
        EXPECT_EQ(FormatFromExtension(extension), code) << extension;
    // Compared in lower case exactly: anything else is code 0.
    for (const char* other : {"JPG", "jpe", "pbm", "webp", "", ".jpg", "svg", "bmp "})
        EXPECT_EQ(FormatFromExtension(other), 0u) << other;
}

TEST(PictureExtension, TextAfterTheLastDotOfTheName)
{
    EXPECT_EQ(PictureExtension("/photos/trip.final.JPG"), "JPG");
    EXPECT_EQ(PictureExtension("trip."), "");
    EXPECT_FALSE(PictureExtension("trip.").isNull());
    EXPECT_TRUE(PictureExtension("/photos/trip").isNull());
    EXPECT_TRUE(PictureExtension("/home/me/.cache/photo").isNull()); // a dot in a folder name is no extension
    EXPECT_TRUE(IsMetafilePath("/x/A.WmF"));
    EXPECT_TRUE(IsMetafilePath("b.emf"));
    EXPECT_FALSE(IsMetafilePath("b.emf.png"));
}

TEST_F(PictureFilesTest, LoaderNeedsADotAndUsesTheCodeOfTheExtension)
{
    const QImage pattern = Quadrants(32, 24);
    const QString noDot = Save(pattern, "picture", "PNG");
    PictureLoader loader;
    EXPECT_FALSE(loader.Load(noDot));
    EXPECT_EQ(loader.Image(), nullptr);
    // Upper-case extensions are lower-cased; an unknown extension lets the library
    // recognise the content.
    ASSERT_TRUE(loader.Load(Save(pattern, "picture.PNG", "PNG")));
    EXPECT_EQ(loader.Image()->GetType(), 4u);
    ASSERT_TRUE(loader.Load(Save(pattern, "picture.data", "PNG")));
    EXPECT_EQ(loader.Image()->GetType(), 4u);
    EXPECT_EQ(loader.CameraData(), nullptr);
    // A failed load leaves no image behind.
    ASSERT_TRUE(WriteFile(Path("broken.png"), "not a picture"));
    EXPECT_FALSE(loader.Load(Path("broken.png")));
    EXPECT_EQ(loader.Image(), nullptr);
    // A JPEG brings its camera data.
    ASSERT_TRUE(WriteFile(Path("camera.jpg"), JpegWithExif(pattern, 1)));
    ASSERT_TRUE(loader.Load(Path("camera.jpg")));
    ASSERT_NE(loader.CameraData(), nullptr);
    EXPECT_EQ(loader.CameraData()->cameraModel, "Model 700");
}

TEST_F(PictureFilesTest, FromPixelsHandsBottomUpRowsToTheLibrary)
{
    std::vector<std::uint8_t> pixels(5 * 3 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = std::uint8_t(i * 5);
    PictureLoader loader;
    ASSERT_TRUE(loader.FromPixels(pixels.data(), 5, 3));
    CxImage* image = loader.Image();
    EXPECT_EQ(image->GetType(), 1u);
    EXPECT_EQ(image->GetWidth(), 5u);
    EXPECT_EQ(image->GetHeight(), 3u);
    for (std::uint32_t row = 0; row < 3; ++row)
        EXPECT_EQ(0, std::memcmp(image->GetBits(row), pixels.data() + row * 15, 15));
    EXPECT_FALSE(loader.FromPixels(pixels.data(), 0, 3));
    EXPECT_FALSE(loader.FromPixels(nullptr, 5, 3));
}

TEST_F(PictureFilesTest, MetafilesAlwaysGoToTheLibrary)
{
    // A PNG the platform reads, named as a metafile, is not read by the platform: the
    // library finds no metafile in it.
    const QImage pattern = Quadrants(32, 24);
    const QString png = Save(pattern, "real.png");
    QFile::copy(png, Path("fake.wmf"));
    QFile::copy(png, Path("fake.EMF"));
    int w = 0;
    int h = 0;
    EXPECT_TRUE(PictureSize(png, w, h));
    EXPECT_FALSE(PictureSize(Path("fake.wmf"), w, h));
    EXPECT_FALSE(PictureSize(Path("fake.EMF"), w, h));
    // Real metafiles decode, through the library.
    ASSERT_TRUE(WriteFile(Path("drawing.wmf"), Wmf(200, 100)));
    ASSERT_TRUE(WriteFile(Path("drawing.emf"), Emf(200, 100)));
    for (const char* name : {"drawing.wmf", "drawing.emf"}) {
        PictureInfo info;
        ASSERT_TRUE(InspectPicture(Path(name), info)) << name;
        EXPECT_EQ(info.decoder, PictureDecoder::Library);
        EXPECT_EQ(info.formatCode, 10u);
        ASSERT_TRUE(PictureSize(Path(name), w, h));
        EXPECT_EQ(w, info.width);
        EXPECT_EQ(h, info.height);
        EXPECT_NEAR(w, 200, 1);
        EXPECT_NEAR(h, 100, 1);
        std::vector<std::uint8_t> buffer(100 * 50 * 3);
        ASSERT_TRUE(LoadBgrTopDown(Path(name), buffer.data(), 100, 50));
        EXPECT_EQ(BgrAt(buffer.data(), 100, 75, 37), qRgb(0, 0, 255));
        EXPECT_EQ(BgrAt(buffer.data(), 100, 75, 12), qRgb(255, 255, 255));
    }
    // A format the platform cannot read falls to the library too.
    PictureInfo info;
    ASSERT_TRUE(InspectPicture(Convert(pattern, "pattern.pcx"), info));
    EXPECT_EQ(info.decoder, PictureDecoder::Library);
    EXPECT_EQ(info.formatCode, 8u);
    EXPECT_EQ(info.width, 32);
    ASSERT_TRUE(InspectPicture(png, info));
    EXPECT_EQ(info.decoder, PictureDecoder::Platform);
    EXPECT_EQ(info.platformFormat, "png");
}

TEST_F(PictureFilesTest, LoadersHandOutTheirLayouts)
{
    const QImage pattern = Quadrants(40, 20);
    // The same picture through the platform (PNG) and the library (PCX).
    for (const QString& path : {Save(pattern, "p.png"), Convert(pattern, "p.pcx")}) {
        SCOPED_TRACE(path.toStdString());
        std::vector<std::uint8_t> buffer(40 * 20 * 3);
        ASSERT_TRUE(LoadBgrTopDown(path, buffer.data(), 40, 20));
        ExpectQuadrantsIn(40, 20, 0, [&](int x, int y) { return BgrAt(buffer.data(), 40, x, y); });
        ASSERT_TRUE(LoadRgbBottomUp(path, buffer.data(), 40, 20));
        ExpectQuadrantsIn(40, 20, 0, [&](int x, int y) { return RgbAt(buffer.data(), 40, x, 19 - y); });
        // Stretched, aspect not kept.
        std::vector<std::uint8_t> wide(100 * 10 * 3);
        ASSERT_TRUE(LoadBgrTopDown(path, wide.data(), 100, 10));
        ExpectQuadrantsIn(100, 10, 2, [&](int x, int y) { return BgrAt(wide.data(), 100, x, y); });
        ASSERT_TRUE(LoadRgbBottomUp(path, wide.data(), 100, 10));
        ExpectQuadrantsIn(100, 10, 2, [&](int x, int y) { return RgbAt(wide.data(), 100, x, 9 - y); });
        int w = 0;
        int h = 0;
        ASSERT_TRUE(PictureSize(path, w, h));
        EXPECT_EQ(w, 40);
        EXPECT_EQ(h, 20);
    }
    std::vector<std::uint8_t> buffer(12);
    EXPECT_FALSE(LoadBgrTopDown(Path("missing.png"), buffer.data(), 2, 2));
    EXPECT_FALSE(LoadRgbBottomUp(Save(pattern, "q.png"), buffer.data(), 0, 2));
}

TEST_F(PictureFilesTest, TransparencyIsDrawnOverWhite)
{
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(qRgba(0, 0, 0, 0));
    clear.setPixel(0, 0, qRgba(255, 0, 0, 255));
    const QString path = Save(clear, "clear.png");
    std::vector<std::uint8_t> buffer(8 * 8 * 3);
    ASSERT_TRUE(LoadRgbBottomUp(path, buffer.data(), 8, 8));
    EXPECT_EQ(RgbAt(buffer.data(), 8, 5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(RgbAt(buffer.data(), 8, 0, 7), qRgb(255, 0, 0)); // top-left, stored last
    ASSERT_TRUE(LoadBgrTopDown(path, buffer.data(), 8, 8));
    EXPECT_EQ(BgrAt(buffer.data(), 8, 5, 5), qRgb(255, 255, 255));
}

TEST_F(PictureFilesTest, EditingRuleAtTheLimit)
{
    // 1,920,000 pixels: the platform at full size.
    EditingPicture picture;
    ASSERT_TRUE(LoadForEditing(Save(Quadrants(1600, 1200), "limit.png"), picture));
    EXPECT_EQ(picture.decoder, PictureDecoder::Platform);
    EXPECT_EQ(picture.width, 1600);
    EXPECT_EQ(picture.height, 1200);
    EXPECT_EQ(picture.decodedWidth, 1600);
    EXPECT_EQ(picture.display.size(), QSize(1600, 1200));
    ExpectQuadrantsIn(1600, 1200, 0, [&](int x, int y) { return BgrAt(picture.pixels.get(), 1600, x, y); });
    // One pixel more (1,920,001 is prime: a sliver) goes to the library, which fits it
    // to 1600 wide and keeps one row.
    QImage sliver(1920001, 1, QImage::Format_RGB32);
    sliver.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(LoadForEditing(Save(sliver, "sliver.bmp"), picture));
    EXPECT_EQ(picture.decoder, PictureDecoder::Library);
    EXPECT_EQ(picture.formatCode, 1u);
    EXPECT_EQ(picture.decodedWidth, 1920001);
    EXPECT_EQ(picture.decodedHeight, 1);
    EXPECT_EQ(picture.width, 1600);
    EXPECT_EQ(picture.height, 1);
    EXPECT_EQ(BgrAt(picture.pixels.get(), 1600, 800, 0), qRgb(10, 20, 30));
    // 1201 x 1600 (1,921,600 pixels): to height 1200.
    ASSERT_TRUE(LoadForEditing(Save(Quadrants(1201, 1600), "tall.png"), picture));
    EXPECT_EQ(picture.decoder, PictureDecoder::Library);
    EXPECT_EQ(picture.height, 1200);
    EXPECT_EQ(picture.width, 900); // 1201 * 1200 / 1600 = 900
    EXPECT_EQ(picture.decodedWidth, 1201);
}

TEST_F(PictureFilesTest, EditingFitsLargePhotos)
{
    struct Case {
        int width, height, fitWidth, fitHeight;
    };
    for (const Case& c : {Case{4000, 3000, 1600, 1200}, Case{3000, 3000, 1200, 1200}, Case{5000, 1000, 1600, 320}}) {
        SCOPED_TRACE(c.width);
        const QString path = Path(QString("large%1.jpg").arg(c.width));
        ASSERT_TRUE(WriteFile(path, JpegWithExif(Quadrants(c.width, c.height), 0)));
        EditingPicture picture;
        ASSERT_TRUE(LoadForEditing(path, picture));
        EXPECT_EQ(picture.decoder, PictureDecoder::Library);
        EXPECT_EQ(picture.formatCode, 3u);
        EXPECT_EQ(picture.decodedWidth, c.width);
        EXPECT_EQ(picture.decodedHeight, c.height);
        EXPECT_EQ(picture.width, c.fitWidth);
        EXPECT_EQ(picture.height, c.fitHeight);
        ExpectQuadrantsIn(c.fitWidth, c.fitHeight, 40,
                          [&](int x, int y) { return BgrAt(picture.pixels.get(), picture.width, x, y); });
    }
}

TEST_F(PictureFilesTest, EditingRoundsTheWidthDownToAMultipleOfFour)
{
    EditingPicture picture;
    // Platform: the rounded width is also the decoded width.
    ASSERT_TRUE(LoadForEditing(Save(Quadrants(1023, 60), "odd.png"), picture));
    EXPECT_EQ(picture.decoder, PictureDecoder::Platform);
    EXPECT_EQ(picture.width, 1020);
    EXPECT_EQ(picture.decodedWidth, 1020);
    EXPECT_EQ(picture.display.width(), 1020);
    // Library: the decoded width is the picture's; the rows are cut to 1020.
    ASSERT_TRUE(LoadForEditing(Convert(Quadrants(1023, 60), "odd.pcx"), picture));
    EXPECT_EQ(picture.decoder, PictureDecoder::Library);
    EXPECT_EQ(picture.width, 1020);
    EXPECT_EQ(picture.decodedWidth, 1023);
    EXPECT_EQ(BgrAt(picture.pixels.get(), 1020, 1019, 59), qRgb(255, 255, 255));
    EXPECT_EQ(BgrAt(picture.pixels.get(), 1020, 0, 0), qRgb(255, 0, 0));
    // Narrower than 4 pixels: nothing to edit.
    EXPECT_FALSE(LoadForEditing(Save(Quadrants(3, 60), "narrow.png"), picture));
}

TEST_F(PictureFilesTest, EveryLoaderTurnsCameraPhotosUpright)
{
    const QImage upright = Quadrants(48, 32);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString path = Path(QString("turned%1.jpg").arg(orientation));
        ASSERT_TRUE(WriteFile(path, JpegWithExif(StoredForOrientation(upright, orientation), orientation)));
        int w = 0;
        int h = 0;
        ASSERT_TRUE(PictureSize(path, w, h));
        EXPECT_EQ(QSize(w, h), QSize(48, 32));
        std::vector<std::uint8_t> buffer(48 * 32 * 3);
        ASSERT_TRUE(LoadBgrTopDown(path, buffer.data(), 48, 32));
        ExpectQuadrantsIn(48, 32, 40, [&](int x, int y) { return BgrAt(buffer.data(), 48, x, y); });
        ASSERT_TRUE(LoadRgbBottomUp(path, buffer.data(), 48, 32));
        ExpectQuadrantsIn(48, 32, 40, [&](int x, int y) { return RgbAt(buffer.data(), 48, x, 31 - y); });
        EditingPicture picture;
        ASSERT_TRUE(LoadForEditing(path, picture));
        EXPECT_EQ(picture.width, 48);
        EXPECT_EQ(picture.height, 32);
        ExpectQuadrantsIn(48, 32, 40, [&](int x, int y) { return BgrAt(picture.pixels.get(), 48, x, y); });
        const std::vector<std::uint8_t> thumbnail = MakeThumbnail(path);
        const QImage shown = DecodeThumbnail(thumbnail.data(), thumbnail.size(), 0);
        ASSERT_EQ(shown.size(), QSize(80, 80));
        ExpectQuadrantsIn(80, 80, 40, [&](int x, int y) { return shown.pixel(x, y); });
        PictureInfo info;
        ASSERT_TRUE(InspectPicture(path, info));
        EXPECT_EQ(QSize(info.width, info.height), QSize(48, 32));
    }
    // A large turned photo goes to the library for editing, upright there too.
    const QString large = Path("large-turned.jpg");
    ASSERT_TRUE(WriteFile(large, JpegWithExif(StoredForOrientation(Quadrants(1000, 2000), 6), 6)));
    EditingPicture picture;
    ASSERT_TRUE(LoadForEditing(large, picture));
    EXPECT_EQ(picture.decoder, PictureDecoder::Library);
    EXPECT_EQ(picture.decodedWidth, 1000);
    EXPECT_EQ(picture.decodedHeight, 2000);
    EXPECT_EQ(picture.width, 600);
    EXPECT_EQ(picture.height, 1200);
    ExpectQuadrantsIn(600, 1200, 40, [&](int x, int y) { return BgrAt(picture.pixels.get(), 600, x, y); });
}

TEST_F(PictureFilesTest, PlatformPicturesAreConvertedToSrgb)
{
    QImage wide(16, 16, QImage::Format_RGB32);
    wide.fill(qRgb(40, 200, 90));
    wide.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    const QString path = Save(wide, "wide.png");
    QImage expected = wide;
    expected.convertToColorSpace(QColorSpace::SRgb);
    std::vector<std::uint8_t> buffer(16 * 16 * 3);
    ASSERT_TRUE(LoadBgrTopDown(path, buffer.data(), 16, 16));
    EXPECT_LE(Distance(BgrAt(buffer.data(), 16, 4, 4), expected.pixel(4, 4)), 2);
    EXPECT_GT(Distance(BgrAt(buffer.data(), 16, 4, 4), qRgb(40, 200, 90)), 10);
}

TEST_F(PictureFilesTest, ReducedSizeDecodeGivesTheSameResult)
{
    // A smooth 4000 x 3000 photo: the thumbnail from a reduced-size decode matches the
    // one scaled from the full picture.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < 3000; ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < 4000; ++x)
            line[x] = qRgb(x * 255 / 3999, y * 255 / 2999, 128);
    }
    const QString path = Save(photo, "photo.jpg", "JPEG");
    std::vector<std::uint8_t> reduced(80 * 80 * 3);
    ASSERT_TRUE(LoadRgbBottomUp(path, reduced.data(), 80, 80));
    const QImage full = QImage(path).scaled(80, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int worst = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            worst = std::max(worst, Distance(RgbAt(reduced.data(), 80, x, 79 - y), full.pixel(x, y)));
    EXPECT_LE(worst, 6);
    // The platform decoder was asked for an eighth: 500 x 375.
    const QImage small = ReadWithPlatform(path, QSize(80, 80));
    EXPECT_EQ(small.size(), QSize(500, 375));
    EXPECT_EQ(ReadWithPlatform(path, QSize(1600, 1200)).size(), QSize(2000, 1500));
    EXPECT_EQ(ReadWithPlatform(path).size(), QSize(4000, 3000));
}

TEST_F(PictureFilesTest, ThumbnailIsStoredUpsideDownAndDrawnTurned)
{
    const QString path = Save(Quadrants(64, 64), "thumb.png");
    const std::vector<std::uint8_t> thumbnail = MakeThumbnail(path);
    ASSERT_GT(thumbnail.size(), 100u);
    EXPECT_EQ(thumbnail[0], 0xFF);
    EXPECT_EQ(thumbnail[1], 0xD8);
    // As stored: the bottom of the picture first.
    const QImage stored = QImage::fromData(thumbnail.data(), int(thumbnail.size()), "JPEG");
    ASSERT_EQ(stored.size(), QSize(80, 80));
    EXPECT_LE(Distance(stored.pixel(10, 10), qRgb(0, 0, 255)), 30);
    // Drawn: upright, then turned clockwise.
    const QRgb expectedTopLeft[] = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 255, 0), qRgb(255, 0, 0)};
    for (int turns = 0; turns <= 4; ++turns) {
        const QImage shown = DecodeThumbnail(thumbnail.data(), thumbnail.size(), turns);
        ASSERT_EQ(shown.size(), QSize(80, 80));
        EXPECT_LE(Distance(shown.pixel(10, 10), expectedTopLeft[turns]), 30) << turns;
    }
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    DrawThumbnail(thumbnail.data(), thumbnail.size(), 0, painter, QRect(100, 0, 100, 100));
    painter.end();
    EXPECT_EQ(canvas.pixel(50, 50), qRgb(0, 0, 0));
    EXPECT_LE(Distance(canvas.pixel(110, 10), qRgb(255, 0, 0)), 30);
    EXPECT_LE(Distance(canvas.pixel(190, 90), qRgb(255, 255, 255)), 30);
    // Unreadable pictures give no thumbnail; broken bytes draw nothing.
    EXPECT_TRUE(MakeThumbnail(Path("missing.jpg")).empty());
    const std::uint8_t junk[4] = {1, 2, 3, 4};
    EXPECT_TRUE(DecodeThumbnail(junk, 4, 0).isNull());
}
