// The converter's reader and writers: a JPEG decoded straight into its 24-bit picture
// gives what the general path (the platform reader through LoadBgrPicture) gives, pixel
// for pixel and, once written in any format, byte for byte; the budget refuses a lying header; the TIFF
// writer's rows read back exactly.

#include "support/PictureTestSupport.h"

#include "base/PictureBudget.h"
#include "editing/ConvertEngine.h"
#include "editing/CxImage.h"
#include "editing/JpegDecoder.h"
#include "editing/PictureEncoder.h"
#include "editing/PictureFiles.h"
#include "editing/RowWriters.h"
#include "editing/TiffWriter.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testpics;

namespace {

// A picture whose every pixel differs from its neighbours in a different way per
// channel: any misplaced row, column or byte shows.
QImage Texture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 37 + y * 3) % 256, (y * 29 + x) % 256, (x * y * 7 + 11) % 256));
    return picture;
}

QByteArray Jpeg(const QImage& picture, int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(picture));
    return bytes;
}

// What the general path makes of the file, as red-green-blue.
QImage GeneralPath(const QString& path)
{
    int width = 0;
    int height = 0;
    if (!ConvertEngine::SourceSize(path, width, height))
        return {};
    return LoadBgrPicture(path, width, height).convertToFormat(QImage::Format_RGB888);
}

// Pixels equal, row by row (padding ignored).
bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != QImage::Format_RGB888 || b.format() != QImage::Format_RGB888)
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 3) != 0)
            return false;
    return true;
}

class ConvertPictureTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(ConvertPictureTest, JpegDecodedStraightIsTheGeneralPathsPictureForEveryOrientation)
{
    // 48 x 36 upright: more rows than one band either way round.
    const QImage upright = Texture(48, 36);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString path =
            Write(QString("turned%1.jpg").arg(orientation), JpegWithExif(StoredForOrientation(upright, orientation), orientation));
        QImage picture;
        ASSERT_EQ(DecodeJpegUpright(path, picture), JpegDecode::Decoded);
        EXPECT_EQ(picture.format(), QImage::Format_RGB888);
        EXPECT_EQ(picture.size(), QSize(48, 36));
        int width = 0;
        int height = 0;
        ASSERT_TRUE(CxImage::Ping(path, cx::kFormatJpg, width, height));
        EXPECT_EQ(QSize(width, height), picture.size());
        EXPECT_TRUE(SamePixels(picture, GeneralPath(path)));
        // Upright: the texture's corners where they belong (within the JPEG's error).
        for (const QPoint& at : {QPoint(2, 2), QPoint(45, 2), QPoint(2, 33), QPoint(45, 33)})
            EXPECT_LE(Distance(picture.pixel(at), upright.pixel(at)), 40) << at.x() << "," << at.y();
    }
}

TEST_F(ConvertPictureTest, WidthNotAMultipleOfFourGreyAndProfilesAsTheGeneralPath)
{
    // A width of 42 is decoded to 40 columns and stretched back; turned, the stored
    // picture is 30 wide.
    const QImage odd = Texture(42, 30);
    const QString oddPath = Write("odd.jpg", JpegWithExif(odd, 0));
    const QString turnedPath = Write("oddturned.jpg", JpegWithExif(StoredForOrientation(odd, 6), 6));
    const QString greyPath = Write("grey.jpg", Jpeg(Texture(40, 20).convertToFormat(QImage::Format_Grayscale8)));
    QImage wide = Texture(64, 40);
    wide.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    const QString profilePath = Write("adobe.jpg", Jpeg(wide));
    for (const QString& path : {oddPath, turnedPath, greyPath, profilePath}) {
        SCOPED_TRACE(path.toStdString());
        QImage picture;
        ASSERT_EQ(DecodeJpegUpright(path, picture), JpegDecode::Decoded);
        EXPECT_TRUE(SamePixels(picture, GeneralPath(path)));
    }
    QImage picture;
    ASSERT_EQ(DecodeJpegUpright(profilePath, picture), JpegDecode::Decoded);
    EXPECT_EQ(picture.colorSpace(), QColorSpace(QColorSpace::SRgb)); // converted
    EXPECT_GT(Distance(picture.pixel(40, 30), QImage(profilePath).pixel(40, 30)), 2); // and not left as it was
    ASSERT_EQ(DecodeJpegUpright(oddPath, picture), JpegDecode::Decoded);
    EXPECT_EQ(picture.size(), QSize(42, 30));
}

TEST_F(ConvertPictureTest, WrittenFilesAreTheBytesOfTheGeneralPath)
{
    // Comments, a density of 300 dpi and a colour profile travel from the source to the
    // written file exactly as before.
    QImage source = Texture(80, 60);
    source.setText("Title", "harbour");
    source.setText("Description", "evening light");
    source.setDotsPerMeterX(11811);
    source.setDotsPerMeterY(11811);
    const QString plain = Write("plain.jpg", JpegWithExif(Texture(120, 88), 3));
    const QString tagged = Write("tagged.jpg", Jpeg(source));
    source.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    const QString profiled = Write("profiled.jpg", Jpeg(source));
    // Not a JPEG: flat runs longer than the 63 bytes a run-length code holds, bytes at and
    // above 0xC0, and a width that is not a multiple of 4.
    QImage banded(150, 21, QImage::Format_RGB32);
    for (int y = 0; y < banded.height(); ++y)
        for (int x = 0; x < banded.width(); ++x)
            banded.setPixel(x, y, y < 7 ? qRgb(200, 0xC0, 0xFF) : y < 14 ? qRgb(x, 0xBF, 255 - x) : qRgb(x % 3 * 100, 7, 0xC1));
    const QString bandedPath = dir.filePath("banded.png");
    ASSERT_TRUE(banded.save(bandedPath));
    int index = 0;
    for (const QString& path : {plain, tagged, profiled, bandedPath}) {
        for (const char* format : {"jpg", "png", "tif", "bmp", "pnm", "tga", "pcx", "gif"}) {
            SCOPED_TRACE(path.toStdString() + " " + format);
            // The engine: rows encoded while they are decoded.
            const QString folder = dir.filePath(QString("run%1").arg(index++));
            ConvertEngine engine;
            engine.SetPauseAfterFile(0);
            ConvertEngine::FileReport report;
            ASSERT_TRUE(engine.Run(QStringList{path}, format, folder,
                                   [&](const ConvertEngine::FileReport& r) { report = r; }));
            ASSERT_EQ(report.outcome, ConvertEngine::Outcome::Written);
            // The general path: the platform's picture as blue-green-red, through the writer.
            const QString before = dir.filePath(QString("old.") + format);
            int width = 0;
            int height = 0;
            ASSERT_TRUE(ConvertEngine::SourceSize(path, width, height));
            ASSERT_TRUE(ConvertEngine::WritePicture(LoadBgrPicture(path, width, height), format, before));
            const QByteArray written = ReadFile(report.output);
            EXPECT_FALSE(written.isEmpty());
            EXPECT_TRUE(written == ReadFile(before));
            if (path == tagged && QString(format) == "png") {
                EXPECT_EQ(QImage(report.output).text("Title"), "harbour"); // the texts did travel
            }
        }
    }
}

TEST_F(ConvertPictureTest, TransparentPicturesAreLaidOverWhiteAsOnePaintingWould)
{
    // 150 rows: more than two bands of rows laid over white at a time.
    QImage picture(92, 150, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba((x * 37) % 256, (y * 13) % 256, (x + y) % 256, (x * 7 + y * 3) % 256));
    picture.setDotsPerMeterX(11811);
    picture.setDotsPerMeterY(11811);
    picture.setText("Title", "glass");
    const QString path = dir.filePath("alpha.png");
    ASSERT_TRUE(picture.save(path));
    QImage reference(picture.size(), QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.drawImage(0, 0, QImage(path));
    painter.end();
    const QImage read = ConvertEngine::ReadPicture(path);
    EXPECT_TRUE(SamePixels(read, reference.convertToFormat(QImage::Format_RGB888)));
    // A new picture, as the painted one was: none of the file's density or texts.
    const QImage fresh(1, 1, QImage::Format_RGB32);
    EXPECT_EQ(read.dotsPerMeterX(), fresh.dotsPerMeterX());
    EXPECT_TRUE(read.textKeys().isEmpty());
}

TEST_F(ConvertPictureTest, RowWritersWriteThePlatformWritersBytes)
{
    struct Case {
        const char* name;
        int dotsPerMetre; // 0: the platform's default
        QColorSpace space;
    };
    const Case cases[] = {
        {"default density", 0, {}},
        {"300 dpi", 11811, {}},
        {"40 per cm", 4000, {}},
        {"sRGB", 0, QColorSpace(QColorSpace::SRgb)},
        {"Display P3", 2835, QColorSpace(QColorSpace::DisplayP3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage picture = Texture(70, 45).convertToFormat(QImage::Format_RGB888);
        if (c.dotsPerMetre > 0) {
            picture.setDotsPerMeterX(c.dotsPerMetre);
            picture.setDotsPerMeterY(c.dotsPerMetre);
        }
        picture.setColorSpace(c.space);
        int asked = 0;
        bool inOrder = true;
        const RowGate gate = [&](int rows) {
            inOrder = inOrder && rows >= asked;
            asked = rows;
            return true;
        };
        for (const char* format : {"jpeg", "png"}) {
            SCOPED_TRACE(format);
            asked = 0;
            QByteArray ours;
            QBuffer buffer(&ours);
            buffer.open(QIODevice::WriteOnly);
            const bool jpeg = QByteArray(format) == "jpeg";
            ASSERT_TRUE(jpeg ? WriteJpegRows(picture, 90, buffer, gate)
                             : WritePngRows(picture, PictureEncoder::kPngZlibLevel, buffer, gate));
            EXPECT_EQ(asked, 45); // every row asked for, in order
            EXPECT_TRUE(inOrder);
            QByteArray theirs;
            QBuffer other(&theirs);
            other.open(QIODevice::WriteOnly);
            QImageWriter writer(&other, format);
            writer.setQuality(jpeg ? 90 : PictureEncoder::kPngEffort);
            ASSERT_TRUE(writer.write(picture));
            EXPECT_TRUE(ours == theirs);
        }
    }
    // A gate that says the rows will not come stops the writer: no file bytes count.
    const QImage picture = Texture(40, 40).convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const RowGate broken = [](int rows) { return rows <= 10; };
    EXPECT_FALSE(WriteJpegRows(picture, 90, buffer, broken));
    EXPECT_FALSE(WritePngRows(picture, 2, buffer, broken));
    EXPECT_FALSE(WriteTiff(picture, dir.filePath("broken.tif"), broken));
    EXPECT_FALSE(QFile::exists(dir.filePath("broken.tif")));
    // Texts are left to the platform's writers.
    QImage texts = picture;
    texts.setText("Title", "x");
    EXPECT_FALSE(WriteJpegRows(texts, 90, buffer, [](int) { return true; }));
}

TEST_F(ConvertPictureTest, LyingHeaderIsRefusedBeforeAnythingIsDecoded)
{
    // A small JPEG whose frame header claims 12000 x 12000: over the picture budget.
    QByteArray bytes = Jpeg(Texture(16, 16));
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    for (int i : {5, 7}) { // height, then width, big-endian
        bytes[frame + i] = char(12000 >> 8);
        bytes[frame + i + 1] = char(12000 & 0xFF);
    }
    const QString path = Write("liar.jpg", bytes);
    QImage picture;
    EXPECT_EQ(DecodeJpegUpright(path, picture), JpegDecode::Refused);
    EXPECT_TRUE(picture.isNull());
    EXPECT_TRUE(ConvertEngine::ReadPicture(path).isNull()); // and no other decoder is asked
    ConvertEngine engine;
    engine.SetPauseAfterFile(0);
    ConvertEngine::FileReport report;
    engine.Run(QStringList{path}, "png", dir.filePath("out"), [&](const ConvertEngine::FileReport& r) { report = r; });
    EXPECT_EQ(report.outcome, ConvertEngine::Outcome::Skipped);
    EXPECT_FALSE(QFile::exists(dir.filePath("out/liar.png")));

    // One that fits the budget but whose data ends early still decodes (grey below the
    // break), as the platform reader does; one that is not a JPEG is left to the others.
    QByteArray cut = Jpeg(Texture(64, 64));
    cut.truncate(cut.size() / 2);
    ASSERT_EQ(DecodeJpegUpright(Write("cut.jpg", cut), picture), JpegDecode::Decoded);
    EXPECT_EQ(picture.size(), QSize(64, 64));
    EXPECT_EQ(DecodeJpegUpright(Write("text.jpg", "not a picture"), picture), JpegDecode::NotHandled);
    EXPECT_EQ(DecodeJpegUpright(dir.filePath("missing.jpg"), picture), JpegDecode::NotHandled);
}

TEST_F(ConvertPictureTest, TiffRowsReadBackExactlyOverSeveralStrips)
{
    // 300 pixels a row: 1152 rows a strip, so 1300 rows make two strips.
    EXPECT_EQ(TiffRowsPerStrip(300, 1300), 1152);
    EXPECT_EQ(TiffRowsPerStrip(1000, 750), 336);
    EXPECT_EQ(TiffRowsPerStrip(4000, 3000), 80);
    EXPECT_EQ(TiffRowsPerStrip(5000, 20), 20);     // never more than the picture
    EXPECT_EQ(TiffRowsPerStrip(30000, 100), 11);   // fewer than 16: not rounded
    EXPECT_EQ(TiffRowsPerStrip(400000, 100), 1);   // at least one
    const QImage rgb = Texture(300, 1300).convertToFormat(QImage::Format_RGB888);
    const QImage bgr = Texture(300, 1300).convertToFormat(QImage::Format_BGR888);
    ASSERT_TRUE(WriteTiff(rgb, dir.filePath("rgb.tif")));
    ASSERT_TRUE(WriteTiff(bgr, dir.filePath("bgr.tif")));
    for (const char* name : {"rgb.tif", "bgr.tif"}) {
        SCOPED_TRACE(name);
        QImageReader reader(dir.filePath(name));
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB888);
        ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
        EXPECT_TRUE(SamePixels(back, rgb));
    }
    // Nothing is written for what is not a 24-bit picture, and an existing file stays.
    ASSERT_TRUE(WriteFile(dir.filePath("keep.tif"), "old"));
    EXPECT_FALSE(WriteTiff(Texture(8, 8), dir.filePath("keep.tif")));
    EXPECT_EQ(ReadFile(dir.filePath("keep.tif")), "old");
}

TEST_F(ConvertPictureTest, TgaOutputStartsAtTheTopLeftCornerItsHeaderNames)
{
    // Red on the top rows, blue below: any reader that follows the header's origin bits
    // shows red on top.
    QImage source(24, 16, QImage::Format_RGB32);
    source.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgb(255, 0, 0));
    const QString path = dir.filePath("top.png");
    ASSERT_TRUE(source.save(path));
    ConvertEngine engine;
    engine.SetPauseAfterFile(0);
    ConvertEngine::FileReport report;
    ASSERT_TRUE(engine.Run(QStringList{path}, "tga", dir.filePath("tga"),
                           [&](const ConvertEngine::FileReport& r) { report = r; }));
    ASSERT_EQ(report.outcome, ConvertEngine::Outcome::Written);
    const QByteArray bytes = ReadFile(report.output);
    ASSERT_EQ(bytes.size(), 18 + 24 * 16 * 3);
    EXPECT_EQ(std::uint8_t(bytes[17]) & 0x30, 0x20);
    // The first stored pixel is the top-left one (blue, green, red).
    EXPECT_EQ(std::uint8_t(bytes[18]), 0);
    EXPECT_EQ(std::uint8_t(bytes[20]), 255);
    CxImage back(report.output, cx::kFormatTga);
    ASSERT_TRUE(back.IsValid());
    const std::uint8_t* top = back.GetBits(back.GetHeight() - 1); // bottom row first in memory
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[0], 0);
}
