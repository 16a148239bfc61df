// Hostile and broken pictures through every loader: truncated files, dimensions in the
// header far beyond the data or memory, zero sizes. Nothing may crash (the sanitizer
// build watches every read), nothing may allocate without bound, and whatever loads is
// bounded by the loader's own size.

#include "support/PictureTestSupport.h"

#include "editing/CxImage.h"
#include "editing/PictureFiles.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace testpics;

namespace {

std::uint32_t Crc32(const QByteArray& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= std::uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray BigEndian32(std::uint32_t v)
{
    QByteArray out;
    for (int shift : {24, 16, 8, 0})
        out.append(char((v >> shift) & 0xFF));
    return out;
}

QByteArray LittleEndian(std::uint32_t v, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray PngChunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    return BigEndian32(std::uint32_t(data.size())) + typed + BigEndian32(Crc32(typed));
}

// A PNG whose header claims width x height over a few bytes of image data.
QByteArray PngClaiming(std::uint32_t width, std::uint32_t height)
{
    QByteArray header = BigEndian32(width) + BigEndian32(height);
    header.append(char(8)); // depth
    header.append(char(2)); // truecolour
    header.append(QByteArray(3, '\0'));
    const QByteArray idat = QByteArray::fromHex("789c636000000001000100"); // a tiny zlib stream
    return QByteArray::fromHex("89504e470d0a1a0a") + PngChunk("IHDR", header) + PngChunk("IDAT", idat)
        + PngChunk("IEND", {});
}

QByteArray BmpClaiming(std::int32_t width, std::int32_t height)
{
    QByteArray info = LittleEndian(40, 4) + LittleEndian(std::uint32_t(width), 4) + LittleEndian(std::uint32_t(height), 4)
        + LittleEndian(1, 2) + LittleEndian(24, 2) + QByteArray(24, '\0');
    return QByteArray("BM") + LittleEndian(std::uint32_t(54 + 16), 4) + LittleEndian(0, 4) + LittleEndian(54, 4) + info
        + QByteArray(16, '\x7f');
}

QByteArray GifClaiming(std::uint16_t width, std::uint16_t height)
{
    QByteArray gif("GIF89a");
    gif += LittleEndian(width, 2) + LittleEndian(height, 2);
    gif.append(char(0x80)); // global colour table of 2 entries
    gif.append('\0');
    gif.append('\0');
    gif += QByteArray::fromHex("000000ffffff");
    gif.append(',');
    gif += LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(width, 2) + LittleEndian(height, 2);
    gif.append('\0');
    gif += QByteArray::fromHex("02024401003b"); // minimal image data, trailer
    return gif;
}

QByteArray TgaClaiming(std::uint16_t width, std::uint16_t height)
{
    QByteArray tga(12, '\0');
    tga[2] = 2; // uncompressed true colour
    tga += LittleEndian(width, 2) + LittleEndian(height, 2);
    tga.append(char(24));
    tga.append('\0');
    return tga + QByteArray(30, '\x40');
}

QByteArray PcxClaiming(std::uint16_t xmax, std::uint16_t ymax)
{
    QByteArray pcx(128, '\0');
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx.replace(8, 2, LittleEndian(xmax, 2));
    pcx.replace(10, 2, LittleEndian(ymax, 2));
    pcx[65] = 3;
    pcx.replace(66, 2, LittleEndian(std::uint16_t(xmax + 1), 2));
    return pcx + QByteArray(64, '\xc1');
}

// A valid JPEG whose start-of-frame claims another size.
QByteArray JpegClaiming(std::uint16_t width, std::uint16_t height)
{
    QByteArray jpeg = JpegWithExif(Quadrants(16, 16), 0);
    const qsizetype sof = jpeg.indexOf(QByteArray::fromHex("ffc0"));
    if (sof < 0)
        return jpeg;
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

QByteArray EmfClaiming(std::int32_t width, std::int32_t height)
{
    QByteArray emf = Emf(64, 64);
    emf.replace(16, 4, LittleEndian(std::uint32_t(width - 1), 4)); // bounds
    emf.replace(20, 4, LittleEndian(std::uint32_t(height - 1), 4));
    emf.replace(32, 4, LittleEndian(std::uint32_t(std::int64_t(width) * 2646 / 10), 4)); // frame
    emf.replace(36, 4, LittleEndian(std::uint32_t(std::int64_t(height) * 2646 / 10), 4));
    return emf;
}

struct Hostile {
    QString name;
    QByteArray bytes;
};

std::vector<Hostile> HostileFiles()
{
    std::vector<Hostile> files = {
        {"huge.png", PngClaiming(100000, 100000)},
        {"wide.png", PngClaiming(0x7FFFFFFF, 1)},
        {"zero.png", PngClaiming(0, 0)},
        {"huge.bmp", BmpClaiming(60000, 60000)},
        {"negative.bmp", BmpClaiming(-5, -2147483647)},
        {"zero.bmp", BmpClaiming(0, 10)},
        {"huge.gif", GifClaiming(65535, 65535)},
        {"zero.gif", GifClaiming(0, 0)},
        {"huge.tga", TgaClaiming(65535, 65535)},
        {"zero.tga", TgaClaiming(0, 0)},
        {"huge.pcx", PcxClaiming(65534, 65534)},
        // 1.6 GB at full size: beyond both decoders' limits; at a DCT eighth within them.
        {"huge.jpg", JpegClaiming(20000, 20000)},
        {"zero.jpg", JpegClaiming(0, 0)},
        {"huge.ppm", QByteArray("P6\n100000 100000\n255\n") + QByteArray(64, 'x')},
        {"zero.pnm", QByteArray("P6\n0 0\n255\n")},
        {"huge.emf", EmfClaiming(2000000000, 2000000000)},
        {"zero.emf", EmfClaiming(0, 0)},
        {"empty.jpg", QByteArray()},
        {"noise.tif", QByteArray(300, '\x49')},
    };
    // Every format cut short at several points.
    const QImage pattern = Quadrants(48, 32);
    std::vector<Hostile> whole;
    for (const char* format : {"png", "jpg", "bmp", "gif", "tif", "ico"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (QByteArray(format) == "gif") {
            CxImage image;
            image.CreateFromImage(pattern);
            std::size_t size = 0;
            const auto encoded = image.Encode(cx::kFormatGif, size);
            bytes = QByteArray(reinterpret_cast<const char*>(encoded.get()), qsizetype(size));
        } else {
            pattern.save(&buffer, format);
        }
        whole.push_back({QString("cut.") + format, bytes});
    }
    for (std::uint32_t code : {cx::kFormatPcx, cx::kFormatTga, cx::kFormatPnm, cx::kFormatRas, cx::kFormatJp2}) {
        CxImage image;
        image.CreateFromImage(pattern);
        std::size_t size = 0;
        const auto encoded = image.Encode(code, size);
        const char* extension = code == cx::kFormatPcx ? "pcx" : code == cx::kFormatTga ? "tga" : code == cx::kFormatPnm ? "pnm" : code == cx::kFormatRas ? "ras" : "jp2";
        whole.push_back({QString("cut.") + extension, QByteArray(reinterpret_cast<const char*>(encoded.get()), qsizetype(size))});
    }
    whole.push_back({"cut.wmf", Wmf(200, 100)});
    whole.push_back({"cut.emf", Emf(200, 100)});
    for (const Hostile& file : whole) {
        EXPECT_GT(file.bytes.size(), 20) << file.name.toStdString();
        for (qsizetype cut : {qsizetype(1), qsizetype(8), qsizetype(20), file.bytes.size() / 3, file.bytes.size() / 2,
                              file.bytes.size() - 1}) {
            if (cut > 0 && cut < file.bytes.size())
                files.push_back({QString("%1-%2.%3").arg(file.name.section('.', 0, 0)).arg(cut).arg(file.name.section('.', 1)),
                                 file.bytes.left(cut)});
        }
    }
    return files;
}

} // namespace

TEST(HostilePictures, NoLoaderCrashesOrOverreaches)
{
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    for (const Hostile& file : HostileFiles()) {
        SCOPED_TRACE(file.name.toStdString());
        const QString path = dir.filePath(file.name);
        ASSERT_TRUE(WriteFile(path, file.bytes));
        if (qEnvironmentVariableIsSet("MONTARA_TRACE_HOSTILE"))
            fprintf(stderr, "hostile %s %lld\n", qPrintable(file.name), static_cast<long long>(timer.restart()));
        int w = 0;
        int h = 0;
        if (PictureSize(path, w, h)) {
            EXPECT_GT(w, 0);
            EXPECT_GT(h, 0);
        }
        std::vector<std::uint8_t> buffer(80 * 80 * 3);
        LoadRgbBottomUp(path, buffer.data(), 80, 80);
        LoadBgrTopDown(path, buffer.data(), 80, 80);
        EditingPicture picture;
        if (LoadForEditing(path, picture)) {
            EXPECT_GT(picture.width, 0);
            EXPECT_EQ(picture.width % 4, 0);
            EXPECT_LE(std::int64_t(picture.width) * picture.height, 1920000);
        }
        const std::vector<std::uint8_t> thumbnail = MakeThumbnail(path);
        EXPECT_TRUE(thumbnail.empty() || thumbnail.size() > 100);
        PictureInfo info;
        InspectPicture(path, info);
        const std::uint32_t code = FormatFromExtension(PictureExtension(path));
        for (std::uint32_t tried : {code, cx::kFormatUnknown}) {
            CxImage image(path, tried);
            if (image.IsValid()) {
                EXPECT_GT(image.GetWidth(), 0u);
                EXPECT_NE(image.GetBits(image.GetHeight() - 1), nullptr);
            }
            CxImage::Ping(path, tried, w, h);
        }
    }
}

TEST(HostilePictures, HugeAndZeroSizesDoNotDecode)
{
    QTemporaryDir dir;
    for (const Hostile& file : HostileFiles()) {
        // A JPEG's DCT scaling decodes its header's size at an eighth: within the limits,
        // so a JPEG claiming 20000 x 20000 may come out as a grey picture.
        if ((!file.name.startsWith("huge") && !file.name.startsWith("zero") && !file.name.startsWith("wide"))
            || file.name == "huge.jpg")
            continue;
        SCOPED_TRACE(file.name.toStdString());
        const QString path = dir.filePath(file.name);
        ASSERT_TRUE(WriteFile(path, file.bytes));
        EditingPicture picture;
        EXPECT_FALSE(LoadForEditing(path, picture));
        EXPECT_TRUE(MakeThumbnail(path).empty());
        EXPECT_FALSE(CxImage(path, FormatFromExtension(PictureExtension(path))).IsValid());
    }
}

TEST(HostilePictures, MemoryBitmapsThatLie)
{
    // Headers that promise more pixels than the bytes hold, or sizes past any limit.
    for (auto [width, height] : {std::pair{0x7FFFFFFF, 0x7FFFFFFF}, std::pair{100000, 100000}, std::pair{1, -1},
                                 std::pair{-1, 1}, std::pair{3, 0}}) {
        QByteArray dib = LittleEndian(40, 4) + LittleEndian(std::uint32_t(width), 4) + LittleEndian(std::uint32_t(height), 4)
            + LittleEndian(1, 2) + LittleEndian(24, 2) + QByteArray(24, '\0') + QByteArray(12, '\x10');
        CxImage image(reinterpret_cast<const std::uint8_t*>(dib.constData()), std::size_t(dib.size()), cx::kFormatBmp);
        EXPECT_EQ(image.IsValid(), width == 1 && height == -1) << width << " x " << height; // 1 x 1, top row first
    }
}
