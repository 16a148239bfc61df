// The least size of a picture file for the pixels its header claims, and the picture
// library's refusal of files shorter than that: exact bounds from hand-made headers,
// genuine small files of every checked format still loading, and the same files cut
// short of their pixels refused.

#include "support/HostileFiles.h"
#include "support/PictureTestSupport.h"

#include "editing/CxImage.h"
#include "editing/PictureFiles.h"
#include "editing/StoredPixelData.h"

#include <QByteArray>
#include <QImageReader>
#include <QTemporaryDir>
#include <QSize>

#include <limits>
#include <vector>

#include <gtest/gtest.h>

using hostile::LittleEndian;
using storedpixels::LeastFileSize;

namespace {

std::uint64_t Least(const QByteArray& bytes, std::uint32_t type)
{
    return LeastFileSize(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), type);
}

bool Decodes(const QByteArray& bytes, std::uint32_t type, CxImage& image)
{
    return image.Decode(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), type);
}

QByteArray BigEndian(std::uint32_t v)
{
    return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
}

// A "BM" file header and a 40-byte info header, nothing after them.
QByteArray BmpHeader(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression)
{
    return QByteArray("BM") + LittleEndian(0, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) + LittleEndian(40, 4)
        + LittleEndian(std::uint32_t(width), 4) + LittleEndian(std::uint32_t(height), 4) + LittleEndian(1, 2)
        + LittleEndian(std::uint32_t(bits), 2) + LittleEndian(compression, 4) + QByteArray(20, '\0');
}

QByteArray TgaHeader(int imageType, std::uint16_t width, std::uint16_t height, int depth, int idLength = 0)
{
    QByteArray tga(12, '\0');
    tga[0] = char(idLength);
    tga[2] = char(imageType);
    return tga + LittleEndian(width, 2) + LittleEndian(height, 2) + char(depth) + '\0' + QByteArray(idLength, 'i');
}

QByteArray SunHeader(std::uint32_t width, std::uint32_t height, std::uint32_t depth, std::uint32_t type,
                     std::uint32_t mapLength)
{
    return BigEndian(0x59A66A95) + BigEndian(width) + BigEndian(height) + BigEndian(depth) + BigEndian(0)
        + BigEndian(type) + BigEndian(mapLength ? 1 : 0) + BigEndian(mapLength);
}

// A small picture of the format as the picture library writes it.
QByteArray LibraryEncoded(std::uint32_t type, const QImage& picture)
{
    CxImage image;
    if (!image.CreateFromImage(picture))
        return {};
    std::size_t size = 0;
    const auto bytes = image.Encode(type, size);
    return bytes ? QByteArray(reinterpret_cast<const char*>(bytes.get()), qsizetype(size)) : QByteArray();
}

class StoredPixelData : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartImageLibrary()); }
};

} // namespace

TEST_F(StoredPixelData, WbmpFoundByTheFuzzerIsRefusedBeforeTheLibrarySeesIt)
{
    // 16 bytes claiming 6000 x 6000: the library took and cleared about 300 MB for it.
    const QByteArray wbmp = hostile::WbmpClaiming(6000, 6000);
    ASSERT_EQ(wbmp.size(), 16);
    EXPECT_EQ(Least(wbmp, cx::kFormatWbmp), 6u + 750u * 6000u);
    CxImage image;
    EXPECT_FALSE(Decodes(wbmp, cx::kFormatWbmp, image));
    EXPECT_FALSE(image.IsValid());
    // The same bytes are kept as the fuzzer's regression input: one byte of format code first.
    const QByteArray kept = testpics::ReadFile(QStringLiteral(MONTARA_SOURCE_DIR "/fuzz/regressions/"
                                                              "picture-wbmp-header-claims-6000x6000"));
    EXPECT_EQ(kept, QByteArray(1, char(cx::kFormatWbmp)) + wbmp);
}

TEST_F(StoredPixelData, BoundsFromTheHeadersOfUncompressedFormats)
{
    // Bitmaps: rows counted packed, any row order, the oldest 12-byte header too.
    EXPECT_EQ(Least(BmpHeader(6000, 6000, 24, 0), cx::kFormatBmp), 54u + 18000u * 6000u);
    EXPECT_EQ(Least(BmpHeader(9, -4, 1, 0), cx::kFormatPng), 54u + 2u * 4u); // known by "BM" under any code
    EXPECT_EQ(Least(BmpHeader(100, 100, 32, 3), cx::kFormatBmp), 54u + 40000u);
    const QByteArray core = QByteArray("BM") + QByteArray(12, '\0') + LittleEndian(12, 4) + LittleEndian(300, 2)
        + LittleEndian(200, 2) + LittleEndian(1, 2) + LittleEndian(8, 2);
    EXPECT_EQ(Least(core, cx::kFormatBmp), 26u + 300u * 200u);
    const QByteArray headerless = BmpHeader(64, 64, 8, 0).mid(14);
    EXPECT_EQ(Least(headerless, cx::kFormatBmp), 40u + 64u * 64u);
    EXPECT_EQ(Least(headerless, cx::kFormatPng), 0u); // no signature: only under its own code

    // PNM: the header up to its last number, then the raster (text formats at least a
    // digit and a separator a sample); comments and odd spacing as the library reads them.
    EXPECT_EQ(Least("P6\n3000 3000\n255\n", cx::kFormatPnm), 16u + 27000000u);
    EXPECT_EQ(Least("P5 # comment 9\n10\t20 65535 ", cx::kFormatPnm), 26u + 400u);
    EXPECT_EQ(Least("P4 9 3 ", cx::kFormatPnm), 6u + 6u);
    EXPECT_EQ(Least("P1 4 2 ", cx::kFormatPnm), 6u + 8u);
    EXPECT_EQ(Least("P3 2 2 255 ", cx::kFormatPnm), 10u + 23u);
    EXPECT_EQ(Least("Pf 10 10 -1.0", cx::kFormatPnm), 8u + 400u);
    EXPECT_EQ(Least("P7\nWIDTH 5\nHEIGHT 4\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", cx::kFormatPnm),
              64u + 80u);
    EXPECT_EQ(Least("P7\nWIDTH 5\nHEIGHT 4\n", cx::kFormatPnm), 0u); // no end of header: the reader decides

    // TGA: header, identification text, pixels; packets of at most 128 pixels.
    EXPECT_EQ(Least(TgaHeader(2, 40000, 100, 24, 5), cx::kFormatTga), 18u + 5u + 40000u * 100u * 3u);
    EXPECT_EQ(Least(TgaHeader(3, 100, 100, 8), cx::kFormatTga), 18u + 10000u);
    EXPECT_EQ(Least(TgaHeader(10, 256, 2, 32), cx::kFormatTga), 18u + 4u * 5u);
    EXPECT_EQ(Least(TgaHeader(2, 100, 100, 24), cx::kFormatBmp), 0u);

    // SUN raster: rows of whole bytes, runs of at most 256 bytes in three.
    EXPECT_EQ(Least(SunHeader(6000, 6000, 24, 1, 0), cx::kFormatRas), 32u + 108000000u);
    EXPECT_EQ(Least(SunHeader(9, 10, 1, 0, 6), cx::kFormatUnknown), 32u + 6u + 20u);
    EXPECT_EQ(Least(SunHeader(512, 1, 8, 2, 0), cx::kFormatRas), 32u + 6u);

    // PGX: one to four bytes a sample by depth.
    EXPECT_EQ(Least("PG ML + 12 100 50\n", cx::kFormatPgx), 17u + 10000u);

    // GIF: a byte for every 16384 pixels of the first frame at least, after the colour
    // tables and the code size byte; with the signature or under its own code.
    EXPECT_EQ(Least(hostile::GifClaiming(6000, 6000), cx::kFormatUnknown), 30u + 2198u);
    EXPECT_EQ(Least(hostile::GifWithoutScreenHeight(1273, 24, 65535), cx::kFormatGif), 24u + 96u);
    EXPECT_EQ(Least(hostile::GifWithoutScreenHeight(1273, 24, 65535), cx::kFormatPng), 24u + 96u); // "GIF8"
    EXPECT_EQ(Least("X" + hostile::GifWithoutScreenHeight(1273, 24, 65535).mid(1), cx::kFormatPng), 0u);
    EXPECT_EQ(Least("X" + hostile::GifWithoutScreenHeight(1273, 24, 65535).mid(1), cx::kFormatGif), 24u + 96u);

    // PNG: the filtered rows expanded at most 1032 times by the zlib stream.
    EXPECT_EQ(Least(hostile::PngClaiming(6000, 6000), cx::kFormatUnknown), 33u + 104657u);
    EXPECT_EQ(Least(hostile::LargeBilevelPng(16000), cx::kFormatPng), 33u + 31024u);

    // Compressed formats and unknown bytes have no bound here.
    EXPECT_EQ(Least(BmpHeader(6000, 6000, 8, 1), cx::kFormatBmp), 0u);
    EXPECT_EQ(Least(hostile::JpegClaiming(6000, 6000), cx::kFormatJpg), 0u);
    EXPECT_EQ(Least(hostile::PcxClaiming(5999, 5999), cx::kFormatPcx), 0u);
    EXPECT_EQ(Least(QByteArray("P6 40000000000000000000000 40000000000000000000000 255"), cx::kFormatPnm),
              std::numeric_limits<std::uint64_t>::max()); // saturates, never wraps to a small number
}

TEST_F(StoredPixelData, GenuineSmallFilesLoadAndTheSameFilesCutShortDoNot)
{
    const QImage picture = testpics::Quadrants(13, 7); // odd sizes: padded rows
    struct Case {
        const char* name;
        std::uint32_t type;
        QByteArray bytes;
        QSize size = QSize(13, 7);
    };
    const std::vector<Case> cases = {
        {"wbmp", cx::kFormatWbmp, LibraryEncoded(cx::kFormatWbmp, picture)},
        {"bmp", cx::kFormatBmp, LibraryEncoded(cx::kFormatBmp, picture)},
        {"bmp with alpha", cx::kFormatBmp,
         LibraryEncoded(cx::kFormatBmp, picture.convertToFormat(QImage::Format_ARGB32))},
        {"ppm", cx::kFormatPnm, LibraryEncoded(cx::kFormatPnm, picture)},
        {"pgm", cx::kFormatPnm, LibraryEncoded(cx::kFormatPnm, picture.convertToFormat(QImage::Format_Grayscale8))},
        {"pbm", cx::kFormatPnm, QByteArray("P4\n13 7\n") + QByteArray(14, '\x5a')},
        {"plain pbm", cx::kFormatPnm, QByteArray("P1\n3 2\n0 1 0\n1 0 1\n"), QSize(3, 2)},
        {"tga", cx::kFormatTga, hostile::PlainTga(13, 7)},
        {"sun raster", cx::kFormatRas, LibraryEncoded(cx::kFormatRas, picture)},
        {"tiff", cx::kFormatTif, LibraryEncoded(cx::kFormatTif, picture)},
        {"gif", cx::kFormatGif, LibraryEncoded(cx::kFormatGif, picture)},
        {"png", cx::kFormatPng, LibraryEncoded(cx::kFormatPng, picture)},
        {"headerless bitmap", cx::kFormatBmp, BmpHeader(13, 7, 24, 0).mid(14) + QByteArray(40 * 7, '\x40')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.isEmpty());
        const std::uint64_t least = Least(c.bytes, c.type);
        EXPECT_LE(least, std::uint64_t(c.bytes.size()));
        CxImage image;
        ASSERT_TRUE(Decodes(c.bytes, c.type, image));
        EXPECT_EQ(QSize(int(image.GetWidth()), int(image.GetHeight())), c.size);
        if (least == 0) {
            // The library's TIFF writer compresses: no bound, and nothing refused.
            EXPECT_EQ(QByteArray(c.name), QByteArray("tiff"));
            continue;
        }
        const QByteArray cut = c.bytes.left(qsizetype(least) - 1);
        CxImage shortened;
        EXPECT_FALSE(Decodes(cut, c.type, shortened));
    }
}

TEST_F(StoredPixelData, GifsThePlatformReaderWouldClearAHugePictureForAreNotReadByIt)
{
    // Found by fuzz_picture: 23 bytes whose damaged signature made the platform's GIF
    // reader decode the frame inside its canRead(), into a picture of the screen's width
    // and the frame's height (1273 x 65535, 333 MB), before any size could be checked.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray gif = hostile::GifWithoutScreenHeight(1273, 24, 65535);
    const QByteArray kept = testpics::ReadFile(QStringLiteral(MONTARA_SOURCE_DIR "/fuzz/regressions/"
                                                              "picture-gif-frame-beyond-a-screen-without-height"));
    EXPECT_EQ(kept, QByteArray(1, char(0x20 | cx::kFormatGif)) + gif); // the platform reader at full size
    const QString path = dir.filePath(QStringLiteral("damaged.gif"));
    ASSERT_TRUE(testpics::WriteFile(path, gif));
    QImageReader reader(path);
    EXPECT_FALSE(PlatformCanRead(reader));
    EXPECT_TRUE(ReadWithPlatform(path).isNull());
    EXPECT_FALSE(CxImage(path, cx::kFormatGif).IsValid());

    // With codes enough for its frame, a screen too large for the budget is still refused
    // (the frame grows it); one within the budget is read.
    QByteArray padded = hostile::GifClaiming(60000, 50000);
    padded.insert(padded.size() - 1, QByteArray(200000, '\0'));
    const QString large = dir.filePath(QStringLiteral("large.gif"));
    ASSERT_TRUE(testpics::WriteFile(large, padded));
    QImageReader largeReader(large);
    EXPECT_FALSE(PlatformCanRead(largeReader));

    // A genuine small GIF still loads through both readers.
    const QByteArray genuine = LibraryEncoded(cx::kFormatGif, testpics::Quadrants(13, 7));
    const QString small = dir.filePath(QStringLiteral("small.gif"));
    ASSERT_TRUE(testpics::WriteFile(small, genuine));
    EXPECT_GT(Least(genuine, cx::kFormatGif), 0u);
    EXPECT_LE(Least(genuine, cx::kFormatGif), std::uint64_t(genuine.size()));
    EXPECT_EQ(ReadWithPlatform(small).size(), QSize(13, 7));
    EXPECT_EQ(CxImage(small, cx::kFormatGif).GetWidth(), 13u);
}
