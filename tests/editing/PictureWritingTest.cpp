// The integer scaler, fitting, the JPEG writer and its messages, and the encoder choice.

#include "support/PictureTestSupport.h"

#include "base/UserMessage.h"
#include "editing/JpegEncoder.h"
#include "editing/PictureEncoder.h"
#include "editing/PictureScaling.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace testpics;

namespace {

// Collects what the JPEG writer shows the user.
class CapturedMessages {
public:
    CapturedMessages()
    {
        previous = SetMessageHandler([this](MessageKind kind, const QString& text) {
            kinds.push_back(kind);
            texts.push_back(text);
        });
    }
    ~CapturedMessages() { SetMessageHandler(previous); }
    std::vector<MessageKind> kinds;
    QStringList texts;

private:
    MessageHandler previous;
};

// Pixels of one grey value per byte triple, from a list of values.
std::vector<std::uint8_t> Grey3(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        for (int i = 0; i < 3; ++i)
            out.push_back(std::uint8_t(v));
    return out;
}

QStringList TemporaryJpegs()
{
    return QDir(QDir::tempPath()).entryList({QStringLiteral("temp*-*.jpg")}, QDir::Files);
}

// A private system temporary folder for the test (other programs share the real one).
class PrivateTemporaryFolder {
public:
    PrivateTemporaryFolder() : previous(qgetenv("TMPDIR")), hadPrevious(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(folder.path()));
    }
    ~PrivateTemporaryFolder()
    {
        if (hadPrevious)
            qputenv("TMPDIR", previous);
        else
            qunsetenv("TMPDIR");
    }

private:
    QTemporaryDir folder;
    QByteArray previous;
    bool hadPrevious;
};

} // namespace

TEST(ScaleBilinear, SameSizeCopiesEveryPixel)
{
    std::vector<std::uint8_t> source(7 * 5 * 4);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = std::uint8_t(i * 37 + 11);
    for (int bpp : {3, 4}) {
        std::vector<std::uint8_t> target(source.size(), 0);
        ScaleBilinear(source.data(), 7, 5, target.data(), 7, 5, bpp, false);
        EXPECT_EQ(0, std::memcmp(source.data(), target.data(), std::size_t(7 * 5 * bpp))) << bpp;
    }
    // Flip: rows bottom-first, the three bytes of each pixel reversed.
    std::vector<std::uint8_t> flipped(7 * 5 * 3);
    ScaleBilinear(source.data(), 7, 5, flipped.data(), 7, 5, 3, true);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            for (int b = 0; b < 3; ++b)
                ASSERT_EQ(flipped[std::size_t(((4 - y) * 7 + x) * 3 + b)], source[std::size_t((y * 7 + x) * 3 + (2 - b))]);
}

TEST(ScaleBilinear, IntegerFormulaAndEdgeRows)
{
    // 2 x 2 -> 4 x 4: the last target rows and columns come from the last source ones.
    const std::vector<std::uint8_t> source = Grey3({0, 100, 200, 255});
    std::vector<std::uint8_t> target(4 * 4 * 3, 7);
    ScaleBilinear(source.data(), 2, 2, target.data(), 4, 4, 3, false);
    auto at = [&](int x, int y) { return int(target[std::size_t((y * 4 + x) * 3)]); };
    // Row 0: 0, (2*0 + 2*100 + 2) / 4 = 50, 100, last column repeated: 100.
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(1, 0), 50);
    EXPECT_EQ(at(2, 0), 100);
    EXPECT_EQ(at(3, 0), 100);
    // Column 0 downwards: 0, 100, 200, 200.
    EXPECT_EQ(at(0, 1), 100);
    EXPECT_EQ(at(0, 2), 200);
    EXPECT_EQ(at(0, 3), 200);
    // The middle: (4*0 + 4*100 + 4*200 + 4*255 + 8) / 16 = 139.
    EXPECT_EQ(at(1, 1), 139);
    // Last row and column: from the last source row and column only.
    EXPECT_EQ(at(3, 3), 255);
    EXPECT_EQ(at(1, 3), (2 * 200 + 2 * 255 + 2) / 4);
    // Halves round up: between 0 and 1 at a half step gives 1.
    const std::vector<std::uint8_t> step = Grey3({0, 1});
    std::vector<std::uint8_t> wide(4 * 3);
    ScaleBilinear(step.data(), 2, 1, wide.data(), 4, 1, 3, false);
    EXPECT_EQ(wide[3], 1);
    // Shrinking samples without a half-pixel offset: 0, 10, 20, 30 -> 0, 20.
    const std::vector<std::uint8_t> four = Grey3({0, 10, 20, 30});
    std::vector<std::uint8_t> two(2 * 3);
    ScaleBilinear(four.data(), 4, 1, two.data(), 2, 1, 3, false);
    EXPECT_EQ(two[0], 0);
    EXPECT_EQ(two[3], 20);
    // Four bytes a pixel: alpha is scaled like the colours.
    const std::vector<std::uint8_t> rgba = {0, 0, 0, 0, 200, 200, 200, 255};
    std::vector<std::uint8_t> rgbaWide(4 * 4);
    ScaleBilinear(rgba.data(), 2, 1, rgbaWide.data(), 4, 1, 4, false);
    EXPECT_EQ(rgbaWide[4 + 3], 128);
    EXPECT_EQ(rgbaWide[4 + 0], 100);
}

TEST(ScaleBilinear, LargeTargetsDoNotOverflow)
{
    // 255 x W x H exceeds 32 bits here.
    const std::vector<std::uint8_t> source = Grey3({255, 255, 255, 255});
    std::vector<std::uint8_t> target(std::size_t(70000) * 3 * 3);
    ScaleBilinear(source.data(), 2, 2, target.data(), 70000, 3, 3, false);
    for (std::size_t i = 0; i < target.size(); i += 997)
        ASSERT_EQ(target[i], 255);
    // Nonsense sizes write nothing.
    std::vector<std::uint8_t> untouched(12, 9);
    ScaleBilinear(source.data(), 0, 2, untouched.data(), 2, 2, 3, false);
    ScaleBilinear(source.data(), 2, 2, untouched.data(), 2, 2, 2, false);
    EXPECT_EQ(untouched[0], 9);
}

TEST(FitSize, Cases)
{
    EXPECT_EQ(FitSize(800, 600, 400, 400, false), QSize(400, 300));
    EXPECT_EQ(FitSize(200, 100, 400, 400, false), QSize(200, 100));
    EXPECT_EQ(FitSize(200, 100, 400, 400, true), QSize(400, 200));
    EXPECT_EQ(FitSize(300, 600, 400, 400, false), QSize(200, 400));
    EXPECT_EQ(FitSize(500, 100, 400, 400, false), QSize(400, 80));
    EXPECT_EQ(FitSize(400, 400, 400, 400, false), QSize(400, 400));
    EXPECT_EQ(FitSize(0, 100, 400, 400, true), QSize(0, 0));
    EXPECT_EQ(FitSize(100, 100, 0, 400, true), QSize(0, 0));
    EXPECT_EQ(FitSize(100, 100, 400, 0, false), QSize(0, 0));
    EXPECT_EQ(FitSize(100000, 100000, 30000, 20000, false), QSize(20000, 20000)); // no overflow
}

TEST(EncodeJpeg, GreyOfPureRedIs76)
{
    const std::uint8_t red[3] = {255, 0, 0};
    const std::vector<std::uint8_t> bytes = EncodeJpeg(red, 1, 1, 100, false);
    ASSERT_FALSE(bytes.empty());
    const QImage decoded = QImage::fromData(bytes.data(), int(bytes.size()), "JPEG");
    ASSERT_EQ(decoded.format(), QImage::Format_Grayscale8); // one component
    EXPECT_EQ(qGray(decoded.pixel(0, 0)), 76);
    const std::uint8_t white[3] = {255, 255, 255};
    const std::vector<std::uint8_t> whiteBytes = EncodeJpeg(white, 1, 1, 100, false);
    EXPECT_EQ(qGray(QImage::fromData(whiteBytes.data(), int(whiteBytes.size()), "JPEG").pixel(0, 0)), 255);
}

TEST(EncodeJpeg, ColourRowsInBufferOrderAndNoTemporaryFileLeft)
{
    const PrivateTemporaryFolder temporary;
    // 16 x 16: the first 8 rows red, the rest blue.
    std::vector<std::uint8_t> pixels(16 * 16 * 3, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[std::size_t((y * 16 + x) * 3 + (y < 8 ? 0 : 2))] = 255;
    const std::vector<std::uint8_t> bytes = EncodeJpeg(pixels.data(), 16, 16, 90, true);
    ASSERT_FALSE(bytes.empty());
    const QImage decoded = QImage::fromData(bytes.data(), int(bytes.size()), "JPEG");
    ASSERT_EQ(decoded.size(), QSize(16, 16));
    EXPECT_LE(Distance(decoded.pixel(4, 2), qRgb(255, 0, 0)), 20);
    EXPECT_LE(Distance(decoded.pixel(4, 13), qRgb(0, 0, 255)), 20);
    // Lower quality, fewer bytes.
    EXPECT_LT(EncodeJpeg(pixels.data(), 16, 16, 10, true).size(), bytes.size());
    EXPECT_TRUE(TemporaryJpegs().isEmpty());
    // Missing input: nothing, silently.
    CapturedMessages messages;
    EXPECT_TRUE(EncodeJpeg(nullptr, 16, 16, 90, true).empty());
    EXPECT_TRUE(EncodeJpeg(pixels.data(), 0, 16, 90, true).empty());
    EXPECT_TRUE(EncodeJpeg(pixels.data(), 16, 0, 90, false).empty());
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(EncodeJpeg, LibraryFailureIsShownUnderItsOwnTitle)
{
    const PrivateTemporaryFolder temporary;
    CapturedMessages messages;
    // Wider than the 65500 pixels the library supports.
    std::vector<std::uint8_t> row(70000 * 3, 128);
    EXPECT_TRUE(EncodeJpeg(row.data(), 70000, 1, 75, true).empty());
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.kinds[0], MessageKind::JpegFatal);
    EXPECT_TRUE(messages.texts[0].contains("65500")) << messages.texts[0].toStdString();
    EXPECT_TRUE(TemporaryJpegs().isEmpty()); // removed after the failure as well
    // Encoding works again afterwards.
    EXPECT_FALSE(EncodeJpeg(row.data(), 100, 1, 75, true).empty());
}

TEST(EncodeJpeg, UnwritableTemporaryFolderIsReported)
{
    // A temporary "folder" that is a plain file: no file can be created in it.
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("plain-file");
    ASSERT_TRUE(WriteFile(notAFolder, "x"));
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(notAFolder));
    CapturedMessages messages;
    const std::uint8_t pixel[3] = {1, 2, 3};
    EXPECT_TRUE(EncodeJpeg(pixel, 1, 1, 75, true).empty());
    if (previous.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previous);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.kinds[0], MessageKind::Information);
    EXPECT_TRUE(messages.texts[0].startsWith("JpegFile :\nCan't open " + notAFolder + "/temp")) << messages.texts[0].toStdString();
    EXPECT_TRUE(messages.texts[0].endsWith("-1.jpg\n"));
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(EncodeJpeg, GreyBufferThatCannotBeHadIsReported)
{
    // The sanitizer's allocator aborts on such a request instead of failing it.
    CapturedMessages messages;
    const std::uint8_t pixel[3] = {1, 2, 3};
    EXPECT_TRUE(EncodeJpeg(pixel, 2000000000, 2000000000, 75, false).empty());
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.texts[0], "Memory error");
}
#endif

TEST(PictureEncoder, SelectByExtensionOrMimeType)
{
    PictureEncoder encoder;
    encoder.SetQuality(40);
    encoder.SetCompression(6);
    ASSERT_TRUE(encoder.Select("/out/Collage.JPG"));
    EXPECT_EQ(encoder.mimeType, "image/jpeg");
    EXPECT_EQ(encoder.quality, 90); // Select starts over
    EXPECT_EQ(encoder.compression, 2);
    ASSERT_TRUE(encoder.Select("a.jpeg"));
    EXPECT_EQ(encoder.mimeType, "image/jpeg");
    ASSERT_TRUE(encoder.Select("a.tiff"));
    EXPECT_EQ(encoder.mimeType, "image/tiff");
    ASSERT_TRUE(encoder.Select("a.gif"));
    EXPECT_EQ(encoder.mimeType, "image/gif");
    ASSERT_TRUE(encoder.Select("a.bmp"));
    EXPECT_EQ(encoder.mimeType, "image/bmp");
    ASSERT_TRUE(encoder.Select("image/png")); // no dot: the whole path is the pattern
    EXPECT_EQ(encoder.mimeType, "image/png");
    EXPECT_FALSE(encoder.Select("picture"));
    EXPECT_FALSE(encoder.found);
    EXPECT_FALSE(encoder.Select("a.pcx"));
    EXPECT_EQ(encoder.Save(QImage(4, 4, QImage::Format_RGB32), "/tmp/never.pcx"), PictureEncoder::kUnknownImageFormat);
}

TEST(PictureEncoder, EveryEncoderWritesWhatAnIndependentDecoderReads)
{
    QTemporaryDir dir;
    const QImage pattern = Quadrants(64, 48).convertToFormat(QImage::Format_RGB888);
    struct Case {
        const char* name;
        const char* format;
        int tolerance;
    };
    for (const Case& c : {Case{"c.jpg", "JPEG", 40}, Case{"c.jpeg", "JPEG", 40}, Case{"c.gif", "GIF", 0},
                          Case{"c.bmp", "BMP", 0}, Case{"c.png", "PNG", 0}, Case{"c.tif", "TIFF", 0}}) {
        SCOPED_TRACE(c.name);
        PictureEncoder encoder;
        ASSERT_TRUE(encoder.Select(c.name));
        const QString path = dir.filePath(c.name);
        ASSERT_EQ(encoder.Save(pattern, path), PictureEncoder::kOk);
        Decoded decoded;
        ASSERT_TRUE(DecodeIndependently(path, decoded));
        EXPECT_TRUE(decoded.format.startsWith(c.format)) << decoded.format.toStdString();
        ASSERT_EQ(decoded.width, 64);
        for (int y : {12, 36})
            for (int x : {16, 48})
                EXPECT_LE(Distance(decoded.At(x, y), QuadrantColour(pattern, x, y)), c.tolerance);
    }
}

TEST(PictureEncoder, QualityAndCompressionReachTheEncoder)
{
    QTemporaryDir dir;
    QImage noisy(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            noisy.setPixel(x, y, qRgb((x * 7 + y * 13) % 256, (x * x + y) % 256, (y * y) % 256));
    PictureEncoder encoder;
    ASSERT_TRUE(encoder.Select("q.jpg"));
    encoder.SetQuality(95);
    ASSERT_EQ(encoder.Save(noisy, dir.filePath("high.jpg")), PictureEncoder::kOk);
    encoder.SetQuality(10);
    ASSERT_EQ(encoder.Save(noisy, dir.filePath("low.jpg")), PictureEncoder::kOk);
    EXPECT_LT(QFile(dir.filePath("low.jpg")).size() * 2, QFile(dir.filePath("high.jpg")).size());
    ASSERT_TRUE(encoder.Select("t.tif"));
    ASSERT_EQ(encoder.Save(noisy, dir.filePath("lzw.tif")), PictureEncoder::kOk);
    encoder.SetCompression(6);
    ASSERT_EQ(encoder.Save(noisy, dir.filePath("plain.tif")), PictureEncoder::kOk);
    QByteArray out;
    ASSERT_TRUE(RunProgram("identify", {"-format", "%C", dir.filePath("lzw.tif")}, &out));
    EXPECT_EQ(out, "LZW");
    ASSERT_TRUE(RunProgram("identify", {"-format", "%C", dir.filePath("plain.tif")}, &out));
    EXPECT_EQ(out, "None");
}

TEST(PictureEncoder, ReplacesAtomicallyAndKeepsTheOldFileOnFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.png");
    ASSERT_TRUE(WriteFile(path, "old contents"));
    PictureEncoder encoder;
    ASSERT_TRUE(encoder.Select(path));
    // A null picture cannot be written: the old file stays.
    EXPECT_NE(encoder.Save(QImage(), path), PictureEncoder::kOk);
    EXPECT_EQ(ReadFile(path), "old contents");
    ASSERT_EQ(encoder.Save(Quadrants(8, 8), path), PictureEncoder::kOk);
    EXPECT_EQ(QImage(path).size(), QSize(8, 8));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left
    EXPECT_EQ(encoder.Save(Quadrants(8, 8), "/nonexistent-montara-folder/x.png"), PictureEncoder::kWin32Error);
}
