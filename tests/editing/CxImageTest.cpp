// The picture library facade: memory layout, every format code through the library and
// an independent decoder, the security policy, camera orientation, colour profiles,
// metafiles, resampling and filters.

#include "support/PictureTestSupport.h"

#include "base/DataFolder.h"
#include "editing/CxImage.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

using namespace testpics;

namespace {

// A bitmap in memory: the 40-byte info header then the rows, bottom row first.
std::vector<std::uint8_t> Dib(int width, int height, const std::vector<std::uint8_t>& rows)
{
    std::vector<std::uint8_t> dib(40 + rows.size(), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            dib[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, std::uint32_t(width));
    put32(8, std::uint32_t(height));
    dib[12] = 1;
    dib[14] = 24;
    std::copy(rows.begin(), rows.end(), dib.begin() + 40);
    return dib;
}

QRgb PixelAt(const CxImage& image, int x, int yFromTop)
{
    const std::uint8_t* row = image.GetBits(image.GetHeight() - 1 - std::uint32_t(yFromTop));
    return qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
}

// The upright pattern decoded: each quadrant's centre has its colour.
void ExpectQuadrants(const CxImage& image, int width, int height, int tolerance)
{
    ASSERT_TRUE(image.IsValid());
    ASSERT_EQ(image.GetWidth(), std::uint32_t(width));
    ASSERT_EQ(image.GetHeight(), std::uint32_t(height));
    const QImage reference = Quadrants(width, height);
    for (int qy : {height / 4, height * 3 / 4})
        for (int qx : {width / 4, width * 3 / 4})
            EXPECT_LE(Distance(PixelAt(image, qx, qy), QuadrantColour(reference, qx, qy)), tolerance)
                << "at " << qx << "," << qy;
}

class CxImageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(CxImageTest, MemoryBitmapKeepsBottomRowFirstInBlueGreenRed)
{
    // 3 x 2 pixels, packed rows (9 bytes) and 4-byte padded rows (12 bytes): both read.
    const std::vector<std::uint8_t> packed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    std::vector<std::uint8_t> padded = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    for (const auto& rows : {packed, padded}) {
        const auto dib = Dib(3, 2, rows);
        CxImage image(dib.data(), dib.size(), cx::kFormatBmp);
        ASSERT_TRUE(image.IsValid());
        EXPECT_EQ(image.GetType(), cx::kFormatBmp);
        EXPECT_EQ(image.GetWidth(), 3u);
        EXPECT_EQ(image.GetHeight(), 2u);
        EXPECT_EQ(image.GetEffWidth(), 9u);
        EXPECT_EQ(0, std::memcmp(image.GetBits(0), packed.data(), 9));
        EXPECT_EQ(0, std::memcmp(image.GetBits(1), packed.data() + 9, 9));
        EXPECT_EQ(image.GetBits(1), image.GetBits(0) + 9); // contiguous upwards
        EXPECT_EQ(image.GetBits(2), nullptr);
        EXPECT_FALSE(image.AlphaIsValid());
        EXPECT_EQ(image.AlphaGet(0, 0), 255);
    }
    // Fewer pixel bytes than the header promises: refused, nothing read beyond.
    const auto shortDib = Dib(3, 2, std::vector<std::uint8_t>(17, 0));
    EXPECT_FALSE(CxImage(shortDib.data(), shortDib.size(), cx::kFormatBmp).IsValid());
    const auto zero = Dib(0, 2, {});
    EXPECT_FALSE(CxImage(zero.data(), zero.size(), cx::kFormatBmp).IsValid());
}

TEST_F(CxImageTest, PolicyOfTheProgramIsInForce)
{
    EXPECT_TRUE(ImageLibraryPolicyActive());
    EXPECT_TRUE(QFile::exists(DataFolder() + "ImageLibrary/policy.xml"));
    EXPECT_TRUE(StartImageLibrary()); // idempotent
    // Several threads starting it at once.
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([] { EXPECT_TRUE(StartImageLibrary()); });
    for (auto& t : threads)
        t.join();
}

TEST_F(CxImageTest, LargePictureBeyondTheSystemDefaultLimitDecodes)
{
    // 6000 x 6000 takes about 290 MB of pixel cache inside the library: more than the
    // 256 MiB cap of the system's default policy, within the program's picture budget.
    const QString path = Path("large.jpg");
    {
        QImage large(6000, 6000, QImage::Format_RGB32);
        large.fill(qRgb(200, 200, 200));
        ASSERT_TRUE(large.save(path, "JPEG", 50));
    }
    CxImage image(path, cx::kFormatJpg);
    ASSERT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 6000u);
    EXPECT_NEAR(image.GetBits(3000)[0], 200, 2);
}

TEST_F(CxImageTest, APictureBeyondTheBudgetAtFullSizeStillDecodesReduced)
{
    // 9000 x 9000 at full size would take over 1 GB in the library: refused. Asked for no
    // more than 1000 x 1000 it is decoded at an eighth.
    const QString path = Path("larger.jpg");
    {
        QImage large(9000, 9000, QImage::Format_RGB32);
        large.fill(qRgb(60, 120, 180));
        ASSERT_TRUE(large.save(path, "JPEG", 50));
    }
    CxImage full;
    EXPECT_FALSE(full.Load(path, cx::kFormatJpg));
    CxImage reduced;
    ASSERT_TRUE(reduced.Load(path, cx::kFormatJpg, 1000, 1000));
    EXPECT_EQ(reduced.GetWidth(), 1125u);
    EXPECT_EQ(reduced.GetOriginalWidth(), 9000u);
}

TEST_F(CxImageTest, EveryWritableFormatReadsBackIndependently)
{
    const QImage pattern = Quadrants(64, 48);
    CxImage image;
    ASSERT_TRUE(image.CreateFromImage(pattern));
    struct Case {
        std::uint32_t code;
        const char* extension;
        const char* independentName;
        int tolerance;
    };
    const Case cases[] = {
        {cx::kFormatBmp, "bmp", "BMP3", 0},   {cx::kFormatGif, "gif", "GIF", 0},   {cx::kFormatJpg, "jpg", "JPEG", 40},
        {cx::kFormatPng, "png", "PNG", 0},   {cx::kFormatIco, "ico", "ICO", 0},   {cx::kFormatTif, "tif", "TIFF", 0},
        {cx::kFormatTga, "tga", "TGA", 0},   {cx::kFormatPcx, "pcx", "PCX", 0},   {cx::kFormatJp2, "jp2", "JP2", 8},
        {cx::kFormatJpc, "j2c", "J2K", 8},   {cx::kFormatPnm, "pnm", "PPM", 0},   {cx::kFormatRas, "ras", "SUN", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        const QString path = Path(QStringLiteral("out.") + c.extension);
        ASSERT_TRUE(image.Save(path, c.code));
        Decoded decoded;
        const QString decoderInput = (c.code == cx::kFormatIco || c.code == cx::kFormatTga ? QString(c.independentName) + ":" : QString()) + path;
        ASSERT_TRUE(DecodeIndependently(decoderInput, decoded));
        EXPECT_EQ(decoded.format, c.independentName);
        ASSERT_EQ(decoded.width, 64);
        ASSERT_EQ(decoded.height, 48);
        for (int y : {12, 36})
            for (int x : {16, 48})
                EXPECT_LE(Distance(decoded.At(x, y), QuadrantColour(pattern, x, y)), c.tolerance) << x << "," << y;
        // And the library reads its own file back with the same code.
        ExpectQuadrants(CxImage(path, c.code), 64, 48, c.tolerance);
    }
    // WBMP is one bit a pixel: white stays white, the colours become black.
    ASSERT_TRUE(image.Save(Path("out.wbmp"), cx::kFormatWbmp));
    CxImage wbmp(Path("out.wbmp"), cx::kFormatWbmp);
    ASSERT_TRUE(wbmp.IsValid());
    EXPECT_EQ(PixelAt(wbmp, 48, 36), qRgb(255, 255, 255));
    // Metafiles are read only.
    EXPECT_FALSE(image.Save(Path("out.wmf"), cx::kFormatWmf));
    EXPECT_FALSE(QFile::exists(Path("out.wmf")));
}

TEST_F(CxImageTest, FilesOfAnIndependentEncoderDecode)
{
    const QString source = Path("pattern.png");
    ASSERT_TRUE(Quadrants(64, 48).save(source));
    struct Case {
        const char* suffix;
        std::uint32_t code;
        int tolerance;
    };
    const Case cases[] = {
        {"bmp", cx::kFormatBmp, 0}, {"gif", cx::kFormatGif, 0},  {"jpg", cx::kFormatJpg, 40}, {"tif", cx::kFormatTif, 0},
        {"tga", cx::kFormatTga, 0}, {"pcx", cx::kFormatPcx, 0},  {"ico", cx::kFormatIco, 0},  {"ppm", cx::kFormatPnm, 0},
        {"pgm", cx::kFormatPnm, 255}, {"ras", cx::kFormatRas, 0}, {"jp2", cx::kFormatJp2, 8}, {"j2k", cx::kFormatJp2, 8},
        {"jpc", cx::kFormatJpc, 8}, {"pgx", cx::kFormatPgx, 255}, {"wbmp", cx::kFormatWbmp, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suffix);
        const QString target = Path(QStringLiteral("made.") + c.suffix);
        // That encoder writes a TGA's rows from the top; told so, it says so in the header.
        const QStringList orient = c.code == cx::kFormatTga ? QStringList{"-orient", "TopLeft"} : QStringList{};
        ASSERT_TRUE(RunProgram("convert", QStringList{source} + orient + QStringList{target}));
        CxImage image(target, c.code);
        ASSERT_TRUE(image.IsValid());
        ExpectQuadrants(image, 64, 48, c.tolerance);
        EXPECT_EQ(image.GetType(), c.code);
    }
}

// A true-colour TGA of the quadrant pattern with the given origin bits (0x00 bottom-left,
// 0x10 bottom-right, 0x20 top-left, 0x30 top-right), its rows and columns stored from
// that corner.
QByteArray TgaFromCorner(const QImage& upright, std::uint8_t origin)
{
    const int w = upright.width();
    const int h = upright.height();
    QByteArray file(18, '\0');
    file[2] = 2;
    file[12] = char(w & 0xFF);
    file[13] = char(w >> 8);
    file[14] = char(h & 0xFF);
    file[15] = char(h >> 8);
    file[16] = 24;
    file[17] = char(origin);
    const bool fromTop = origin & 0x20;
    const bool fromRight = origin & 0x10;
    for (int r = 0; r < h; ++r) {
        const int y = fromTop ? r : h - 1 - r;
        for (int c = 0; c < w; ++c) {
            const QRgb p = upright.pixel(fromRight ? w - 1 - c : c, y);
            file.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
        }
    }
    return file;
}

TEST_F(CxImageTest, TgaRowsFollowTheOriginCornerOfTheHeader)
{
    // Most TGA files start at the bottom-left corner; each corner gives the upright picture.
    const QImage upright = Quadrants(64, 48);
    for (std::uint8_t origin : {0x00, 0x10, 0x20, 0x30}) {
        SCOPED_TRACE(int(origin));
        const QString path = Path(QString("corner%1.tga").arg(origin));
        ASSERT_TRUE(WriteFile(path, TgaFromCorner(upright, origin)));
        ExpectQuadrants(CxImage(path, cx::kFormatTga), 64, 48, 0);
    }
    // What the program writes says where its rows start: the top-left corner, top row first.
    CxImage image;
    ASSERT_TRUE(image.CreateFromImage(upright));
    ASSERT_TRUE(image.Save(Path("written.tga"), cx::kFormatTga));
    QFile written(Path("written.tga"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    ASSERT_GT(bytes.size(), 18);
    EXPECT_EQ(std::uint8_t(bytes[17]) & 0x30, 0x20);
    ExpectQuadrants(CxImage(Path("written.tga"), cx::kFormatTga), 64, 48, 0);
}

TEST_F(CxImageTest, FormatsWithoutSignatureNeedTheirCode)
{
    const QString source = Path("pattern.png");
    ASSERT_TRUE(Quadrants(40, 30).save(source));
    ASSERT_TRUE(RunProgram("convert", {source, Path("made.tga")}));
    EXPECT_TRUE(CxImage(Path("made.tga"), cx::kFormatTga).IsValid());
    // With code 0 the library recognises content only, which a TGA does not have.
    EXPECT_FALSE(CxImage(Path("made.tga"), cx::kFormatUnknown).IsValid());
    // Code 0 recognises a PNG whatever its name.
    QFile::copy(source, Path("noname"));
    CxImage sniffed(Path("noname"), cx::kFormatUnknown);
    ASSERT_TRUE(sniffed.IsValid());
    EXPECT_EQ(sniffed.GetType(), cx::kFormatPng);
    // A named code decodes with that coder only: a PNG given as a PCX does not decode.
    EXPECT_FALSE(CxImage(source, cx::kFormatPcx).IsValid());
}

TEST_F(CxImageTest, NoFormatOutsideTheTableAndNoDelegates)
{
    // Vector drawing scripts, PostScript and web references are refused, with any code.
    const QByteArray mvg = "push graphic-context\nviewbox 0 0 10 10\nimage over 0,0 0,0 '/etc/passwd'\npop graphic-context\n";
    const QByteArray postscript = "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 10 10\nnewpath 0 0 moveto 10 10 lineto stroke showpage\n";
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'><rect width='10' height='10'/></svg>";
    const QByteArray url = "url:http://127.0.0.1:9/x.png";
    for (const QByteArray& bytes : {mvg, postscript, svg, url}) {
        for (std::uint32_t code : {cx::kFormatUnknown, cx::kFormatBmp, cx::kFormatJpg, cx::kFormatTga}) {
            CxImage image(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), code);
            EXPECT_FALSE(image.IsValid()) << bytes.left(12).constData() << " code " << code;
        }
    }
}

TEST_F(CxImageTest, CameraOrientationGivesTheUprightPicture)
{
    const QImage upright = Quadrants(64, 40);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString path = Path(QString("o%1.jpg").arg(orientation));
        ASSERT_TRUE(WriteFile(path, JpegWithExif(StoredForOrientation(upright, orientation), orientation)));
        CxImage image(path, cx::kFormatJpg);
        ExpectQuadrants(image, 64, 40, 40);
        int w = 0;
        int h = 0;
        ASSERT_TRUE(CxImage::Ping(path, cx::kFormatJpg, w, h));
        EXPECT_EQ(w, 64);
        EXPECT_EQ(h, 40);
        // The platform decoder agrees: the crafted file is what a camera writes.
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage viewed = reader.read();
        ASSERT_EQ(viewed.size(), QSize(64, 40));
        EXPECT_LE(Distance(viewed.pixel(8, 8), qRgb(255, 0, 0)), 40);
    }
}

TEST_F(CxImageTest, ReducedSizeDecodeKeepsTheStoredSize)
{
    const QString path = Path("photo.jpg");
    ASSERT_TRUE(WriteFile(path, JpegWithExif(StoredForOrientation(Quadrants(800, 600), 6), 6)));
    CxImage image;
    ASSERT_TRUE(image.Load(path, cx::kFormatJpg, 180, 130));
    // A quarter of 800 x 600 upright is 200 x 150: the smallest DCT scale not below 180 x 130.
    EXPECT_EQ(image.GetWidth(), 200u);
    EXPECT_EQ(image.GetHeight(), 150u);
    EXPECT_EQ(image.GetOriginalWidth(), 800u);
    EXPECT_EQ(image.GetOriginalHeight(), 600u);
    ExpectQuadrants(image, 200, 150, 40);
}

TEST_F(CxImageTest, EmbeddedProfileIsConvertedToSrgb)
{
    QImage wide(16, 16, QImage::Format_RGB32);
    wide.fill(qRgb(40, 200, 90));
    wide.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    const QString path = Path("wide.png");
    ASSERT_TRUE(wide.save(path));
    QImage expected = wide;
    expected.convertToColorSpace(QColorSpace::SRgb);
    ASSERT_GT(Distance(expected.pixel(0, 0), qRgb(40, 200, 90)), 10); // a real change
    CxImage image(path, cx::kFormatPng);
    ASSERT_TRUE(image.IsValid());
    EXPECT_LE(Distance(PixelAt(image, 3, 3), expected.pixel(3, 3)), 2);
}

TEST_F(CxImageTest, AlphaIsKeptBottomUp)
{
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 20, 30, 255));
    picture.setPixel(1, 0, qRgba(10, 20, 30, 0));   // top row
    picture.setPixel(2, 1, qRgba(10, 20, 30, 128)); // bottom row
    const QString path = Path("alpha.png");
    ASSERT_TRUE(picture.save(path));
    CxImage image(path, cx::kFormatPng);
    ASSERT_TRUE(image.AlphaIsValid());
    EXPECT_EQ(image.AlphaGet(1, 1), 0);
    EXPECT_EQ(image.AlphaGet(2, 0), 128);
    EXPECT_EQ(image.AlphaGet(0, 0), 255);
    EXPECT_EQ(image.AlphaGet(9, 9), 255);
}

TEST_F(CxImageTest, WindowsAndEnhancedMetafilesInOneProcess)
{
    // The two metafile readers come from libraries that export the same function name:
    // both orders in one process.
    ASSERT_TRUE(WriteFile(Path("a.wmf"), Wmf(200, 100)));
    ASSERT_TRUE(WriteFile(Path("a.emf"), Emf(200, 100)));
    for (int round = 0; round < 2; ++round) {
        for (const char* name : {"a.wmf", "a.emf", "a.wmf"}) {
            SCOPED_TRACE(name);
            CxImage image(Path(name), cx::kFormatWmf);
            ASSERT_TRUE(image.IsValid());
            EXPECT_EQ(image.GetType(), cx::kFormatWmf);
            EXPECT_NEAR(int(image.GetWidth()), 200, 2);
            EXPECT_NEAR(int(image.GetHeight()), 100, 2);
            EXPECT_EQ(PixelAt(image, 40, 20), QString(name).endsWith("wmf") ? qRgb(255, 0, 0) : qRgb(0, 255, 0));
            EXPECT_EQ(PixelAt(image, 160, 80), qRgb(0, 0, 255));
            EXPECT_EQ(PixelAt(image, 160, 20), qRgb(255, 255, 255)); // nothing drawn: white
            int w = 0;
            int h = 0;
            EXPECT_TRUE(CxImage::Ping(Path(name), cx::kFormatWmf, w, h));
            EXPECT_EQ(w, int(image.GetWidth()));
        }
    }
}

TEST_F(CxImageTest, ResampleFastAveragesAndFillsEveryPixel)
{
    CxImage image;
    QImage checker(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(image.CreateFromImage(checker));
    CxImage half;
    ASSERT_TRUE(image.Resample(4, 4, 1, &half));
    EXPECT_EQ(image.GetWidth(), 8u); // the source stays as it was
    ASSERT_EQ(half.GetWidth(), 4u);
    for (std::uint32_t row = 0; row < 4; ++row)
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(half.GetBits(row)[i], 128, 1);
    ASSERT_TRUE(image.Resample(20, 3, 1));
    EXPECT_EQ(image.GetWidth(), 20u);
    EXPECT_EQ(image.GetHeight(), 3u);
    ASSERT_TRUE(image.Resample(33, 17, 2));
    EXPECT_EQ(image.GetWidth(), 33u);
    EXPECT_FALSE(image.Resample(0, 5, 1));
}

TEST_F(CxImageTest, ConvolutionClampsAndUsesOffsetAndDivisor)
{
    CxImage image;
    ASSERT_TRUE(image.Create(5, 5));
    for (std::uint32_t row = 0; row < 5; ++row)
        std::memset(image.GetBits(row), 100, 15);
    image.GetBits(2)[2 * 3 + 1] = 200; // green of the centre pixel
    const std::int32_t identity[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    CxImage copy = image;
    ASSERT_TRUE(copy.Filter(identity, 3, 0, 0));
    EXPECT_EQ(0, std::memcmp(copy.GetBits(0), image.GetBits(0), 75));
    // Emboss: a flat picture becomes the offset; around the bright pixel it tilts.
    const std::int32_t emboss[9] = {0, 0, -1, 0, 0, 0, 1, 0, 0};
    copy = image;
    ASSERT_TRUE(copy.Filter(emboss, 3, 0, 127));
    EXPECT_EQ(copy.GetBits(0)[0], 127);
    // The +1 tap sits one row up and one column left: the pixel below-right of the
    // bright one sees it.
    EXPECT_EQ(copy.GetBits(1)[3 * 3 + 1], 227);
    EXPECT_EQ(copy.GetBits(3)[1 * 3 + 1], 27);
    // Sharpen clamps to 255.
    const std::int32_t sharpen[9] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};
    copy = image;
    ASSERT_TRUE(copy.Filter(sharpen, 3, 7, 0));
    EXPECT_EQ(copy.GetBits(2)[2 * 3 + 1], 255);
    EXPECT_EQ(copy.GetBits(0)[0], 100); // flat: (15 - 8) * 100 / 7
    // Blur keeps a flat picture flat, borders included.
    const std::int32_t blur[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    copy = image;
    ASSERT_TRUE(copy.Filter(blur, 3, 9, 0));
    EXPECT_EQ(copy.GetBits(4)[14], 100);
    EXPECT_EQ(copy.GetBits(2)[2 * 3 + 1], 111);
    EXPECT_EQ(copy.GetProgress(), 100);
}

TEST_F(CxImageTest, RankFiltersAndNoise)
{
    CxImage image;
    ASSERT_TRUE(image.Create(6, 6));
    image.GetBits(3)[3 * 3 + 2] = 255; // one bright red pixel
    CxImage eroded = image;
    ASSERT_TRUE(eroded.Erode(2));
    for (std::uint32_t row = 0; row < 6; ++row)
        for (int i = 0; i < 18; ++i)
            ASSERT_EQ(eroded.GetBits(row)[i], 0);
    CxImage dilated = image;
    ASSERT_TRUE(dilated.Dilate(2));
    int bright = 0;
    for (std::uint32_t row = 0; row < 6; ++row)
        for (int x = 0; x < 6; ++x)
            bright += dilated.GetBits(row)[x * 3 + 2] == 255;
    EXPECT_EQ(bright, 4); // the 2 x 2 window spreads it to four pixels
    CxImage median = image;
    ASSERT_TRUE(median.Median(3));
    EXPECT_EQ(median.GetBits(3)[3 * 3 + 2], 0); // salt removed
    CxImage edge = image;
    ASSERT_TRUE(edge.Edge(2));
    EXPECT_EQ(edge.GetBits(3)[3 * 3 + 2], 255);
    EXPECT_EQ(edge.GetBits(0)[2], 0);
    CxImage contour = image;
    ASSERT_TRUE(contour.Contour());
    EXPECT_EQ(contour.GetBits(0)[0], 255); // flat stays white
    EXPECT_LT(contour.GetBits(3)[3 * 3], 255);
    CxImage noisy;
    ASSERT_TRUE(noisy.Create(32, 32));
    for (std::uint32_t row = 0; row < 32; ++row)
        std::memset(noisy.GetBits(row), 128, 96);
    ASSERT_TRUE(noisy.Noise(50));
    int changed = 0;
    for (std::uint32_t row = 0; row < 32; ++row)
        for (int i = 0; i < 96; ++i) {
            const int v = noisy.GetBits(row)[i];
            EXPECT_GE(v, 128 - 25);
            EXPECT_LE(v, 128 + 25);
            changed += v != 128;
        }
    EXPECT_GT(changed, 96 * 16);
    CxImage jitter = noisy;
    EXPECT_TRUE(jitter.Jitter(2));
}

TEST_F(CxImageTest, EscapeStopsAFilterAndKeepsThePicture)
{
    CxImage image;
    ASSERT_TRUE(image.Create(64, 64));
    image.GetBits(10)[30] = 255;
    const CxImage before = image;
    image.SetEscape(1);
    EXPECT_FALSE(image.Median(3));
    EXPECT_FALSE(image.Noise(50));
    EXPECT_EQ(0, std::memcmp(image.GetBits(0), before.GetBits(0), 64 * 64 * 3));
    image.SetEscape(0);
    image.SetProgress(0);
    EXPECT_TRUE(image.Median(3));
    EXPECT_EQ(image.GetProgress(), 100);
    // Stopped from another thread while running on a large picture.
    CxImage large;
    ASSERT_TRUE(large.Create(2000, 2000));
    large.SetEscape(0);
    std::thread stopper([&] {
        while (large.GetProgress() < 5)
            std::this_thread::yield();
        large.SetEscape(1);
    });
    large.SetProgress(0);
    EXPECT_FALSE(large.Median(5));
    stopper.join();
    EXPECT_LT(large.GetProgress(), 100);
}

TEST_F(CxImageTest, CameraDataOfAJpeg)
{
    const QString path = Path("camera.jpg");
    ASSERT_TRUE(WriteFile(path, JpegWithExif(Quadrants(32, 32), 6)));
    CxIOFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    CxImageJPG codec;
    ASSERT_TRUE(codec.DecodeExif(&file));
    const ExifInfo& info = codec.m_exifinfo;
    EXPECT_TRUE(info.valid);
    EXPECT_EQ(info.cameraMake, "TestCompany");
    EXPECT_EQ(info.cameraModel, "Model 700");
    EXPECT_EQ(info.orientation, 6);
    EXPECT_EQ(info.dateTime, "2021:06:05 14:03:02");
    EXPECT_DOUBLE_EQ(info.exposureTime, 1.0 / 125);
    EXPECT_DOUBLE_EQ(info.apertureFNumber, 2.8);
    EXPECT_DOUBLE_EQ(info.focalLength, 35);
    EXPECT_EQ(info.isoEquivalent, 200);
    // Big-endian blocks read the same.
    const QByteArray big = ExifBlock(3, true);
    ASSERT_TRUE(codec.DecodeExifBlock(reinterpret_cast<const std::uint8_t*>(big.constData()), std::size_t(big.size())));
    EXPECT_EQ(codec.m_exifinfo.orientation, 3);
    EXPECT_EQ(codec.m_exifinfo.cameraModel, "Model 700");
    // A JPEG without camera data, and a file that is no JPEG.
    ASSERT_TRUE(WriteFile(Path("plain.jpg"), JpegWithExif(Quadrants(8, 8), 0)));
    ASSERT_TRUE(file.Open(Path("plain.jpg"), "rb"));
    EXPECT_FALSE(codec.DecodeExif(&file));
    EXPECT_EQ(codec.m_exifinfo.orientation, 1);
    ASSERT_TRUE(WriteFile(Path("text.jpg"), "hello"));
    ASSERT_TRUE(file.Open(Path("text.jpg"), "rb"));
    EXPECT_FALSE(codec.DecodeExif(&file));
}

TEST_F(CxImageTest, MalformedCameraDataStaysInsideItsBlock)
{
    const QByteArray good = ExifBlock(6, false);
    CxImageJPG codec;
    // Every truncation of the block parses without reading past it (ASan watches).
    for (qsizetype length = 0; length < good.size(); ++length) {
        auto copy = std::make_unique<std::uint8_t[]>(std::size_t(length) + 1);
        std::memcpy(copy.get(), good.constData(), std::size_t(length));
        codec.DecodeExifBlock(copy.get(), std::size_t(length));
        EXPECT_GE(codec.m_exifinfo.orientation, 1);
        EXPECT_LE(codec.m_exifinfo.orientation, 8);
    }
    // Offsets pointing far outside, counts of billions, an IFD pointing at itself.
    QByteArray hostile = good;
    hostile[6 + 4] = char(0xF0); // first IFD offset
    hostile[6 + 7] = char(0x7F);
    EXPECT_FALSE(codec.DecodeExifBlock(reinterpret_cast<const std::uint8_t*>(hostile.constData()), std::size_t(hostile.size())));
    QByteArray counts = good;
    for (int entry = 0; entry < 4; ++entry) {
        const int at = 6 + 8 + 2 + entry * 12 + 4;
        counts[at] = counts[at + 1] = counts[at + 2] = char(0xFF);
        counts[at + 3] = char(0x3F);
    }
    EXPECT_TRUE(codec.DecodeExifBlock(reinterpret_cast<const std::uint8_t*>(counts.constData()), std::size_t(counts.size())));
    EXPECT_EQ(codec.m_exifinfo.cameraMake, "");
    const int badOrientation[] = {0, 9, 65535};
    for (int value : badOrientation) {
        const QByteArray block = ExifBlock(value, false);
        ASSERT_TRUE(codec.DecodeExifBlock(reinterpret_cast<const std::uint8_t*>(block.constData()), std::size_t(block.size())));
        EXPECT_EQ(codec.m_exifinfo.orientation, 1);
    }
}
