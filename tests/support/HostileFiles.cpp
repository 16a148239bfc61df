#include "support/HostileFiles.h"

#include "support/PictureTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <zlib.h>

#include <algorithm>

namespace hostile {

namespace {

std::uint32_t Crc32(const QByteArray& bytes)
{
    return std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
}

QByteArray BigEndian32(std::uint32_t v)
{
    QByteArray out;
    for (int shift : {24, 16, 8, 0})
        out.append(char((v >> shift) & 0xFF));
    return out;
}

QByteArray PngChunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    return BigEndian32(std::uint32_t(data.size())) + typed + BigEndian32(Crc32(typed));
}

QByteArray PngHeader(std::uint32_t width, std::uint32_t height, int depth, int colourType)
{
    QByteArray header = BigEndian32(width) + BigEndian32(height);
    header.append(char(depth));
    header.append(char(colourType));
    header.append(QByteArray(3, '\0'));
    return QByteArray::fromHex("89504e470d0a1a0a") + PngChunk("IHDR", header);
}

// The start-of-frame of a JPEG set to another size.
QByteArray Resized(QByteArray jpeg, std::uint16_t width, std::uint16_t height)
{
    for (qsizetype at = 2; at + 9 < jpeg.size(); ++at) {
        const auto marker = std::uint8_t(jpeg[at + 1]);
        if (std::uint8_t(jpeg[at]) == 0xFF && (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)) {
            jpeg[at + 5] = char(height >> 8);
            jpeg[at + 6] = char(height & 0xFF);
            jpeg[at + 7] = char(width >> 8);
            jpeg[at + 8] = char(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

QByteArray Encoded(const QImage& picture, const char* format, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(50);
    writer.write(picture);
    return bytes;
}

} // namespace

QByteArray LittleEndian(std::uint32_t v, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray PngClaiming(std::uint32_t width, std::uint32_t height)
{
    const QByteArray idat = QByteArray::fromHex("789c636000000001000100"); // a tiny zlib stream
    return PngHeader(width, height, 8, 2) + PngChunk("IDAT", idat) + PngChunk("IEND", {});
}

QByteArray BmpClaiming(std::int32_t width, std::int32_t height)
{
    QByteArray info = LittleEndian(40, 4) + LittleEndian(std::uint32_t(width), 4) + LittleEndian(std::uint32_t(height), 4)
        + LittleEndian(1, 2) + LittleEndian(24, 2) + QByteArray(24, '\0');
    return QByteArray("BM") + LittleEndian(std::uint32_t(54 + 16), 4) + LittleEndian(0, 4) + LittleEndian(54, 4) + info
        + QByteArray(16, '\x7f');
}

QByteArray WbmpClaiming(std::uint32_t width, std::uint32_t height)
{
    // Type 0, fixed header 0, then the sizes seven bits a byte, most significant first.
    auto multiByte = [](std::uint32_t value) {
        QByteArray out(1, char(value & 0x7F));
        for (value >>= 7; value != 0; value >>= 7)
            out.prepend(char(0x80 | (value & 0x7F)));
        return out;
    };
    QByteArray wbmp = QByteArray(2, '\0') + multiByte(width) + multiByte(height);
    return wbmp + QByteArray(std::max<qsizetype>(16 - wbmp.size(), 1), '\xff');
}

QByteArray RleBmpClaiming(std::int32_t width, std::int32_t height)
{
    QByteArray info = LittleEndian(40, 4) + LittleEndian(std::uint32_t(width), 4) + LittleEndian(std::uint32_t(height), 4)
        + LittleEndian(1, 2) + LittleEndian(8, 2) + LittleEndian(1, 4) /* RLE8 */ + LittleEndian(64, 4)
        + QByteArray(8, '\0') + LittleEndian(2, 4) + LittleEndian(2, 4);
    const QByteArray palette = QByteArray::fromHex("00000000ffffff00");
    const QByteArray runs = QByteArray::fromHex("ff01ff01ff01ff01ff01ff01ff01ff010000") + QByteArray::fromHex("0001");
    const std::uint32_t offset = 14 + 40 + 8;
    return QByteArray("BM") + LittleEndian(offset + std::uint32_t(runs.size()), 4) + LittleEndian(0, 4)
        + LittleEndian(offset, 4) + info + palette + runs;
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

QByteArray GifWithoutScreenHeight(std::uint16_t screenWidth, std::uint16_t frameWidth, std::uint16_t frameHeight)
{
    QByteArray gif("GIF89!");
    gif += LittleEndian(screenWidth, 2) + LittleEndian(0, 2) + QByteArray(3, '\0');
    gif.append(',');
    gif += LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(frameWidth, 2) + LittleEndian(frameHeight, 2);
    return gif + QByteArray::fromHex("3b"); // frame flags, then the file ends
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

QByteArray PlainTga(std::uint16_t width, std::uint16_t height)
{
    QByteArray tga(12, '\0');
    tga[2] = 2;
    tga += LittleEndian(width, 2) + LittleEndian(height, 2);
    tga.append(char(24));
    tga.append(char(0x20)); // top row first
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            tga += QByteArray::fromRawData(x < width / 2 ? "\x00\x00\xff" : "\xff\x00\x00", 3);
    return tga;
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

QByteArray PpmClaiming(std::uint32_t width, std::uint32_t height)
{
    return QByteArray("P6\n") + QByteArray::number(width) + ' ' + QByteArray::number(height) + "\n255\n"
        + QByteArray(64, 'x');
}

QByteArray PbmClaiming(std::uint32_t width, std::uint32_t height)
{
    return QByteArray("P4\n") + QByteArray::number(width) + ' ' + QByteArray::number(height) + '\n'
        + QByteArray(64, '\x55');
}

QByteArray JpegClaiming(std::uint16_t width, std::uint16_t height)
{
    return Resized(testpics::JpegWithExif(testpics::Quadrants(16, 16), 6), width, height);
}

QByteArray ProgressiveJpegClaiming(std::uint16_t width, std::uint16_t height)
{
    return Resized(Encoded(testpics::Quadrants(16, 16), "jpeg", true), width, height);
}

QByteArray CmykJpegClaiming(std::uint16_t width, std::uint16_t height)
{
    // Made by the picture library's command-line tool: the platform writes no CMYK.
    QByteArray jpeg;
    if (!testpics::RunProgram(QStringLiteral("convert"),
                              {QStringLiteral("-size"), QStringLiteral("16x16"), QStringLiteral("xc:#3060c0"),
                               QStringLiteral("-colorspace"), QStringLiteral("CMYK"), QStringLiteral("jpg:-")},
                              &jpeg))
        return {};
    return Resized(jpeg, width, height);
}

QByteArray EmfClaiming(std::int32_t width, std::int32_t height)
{
    QByteArray emf = testpics::Emf(64, 64);
    emf.replace(16, 4, LittleEndian(std::uint32_t(width - 1), 4)); // bounds
    emf.replace(20, 4, LittleEndian(std::uint32_t(height - 1), 4));
    emf.replace(32, 4, LittleEndian(std::uint32_t(std::int64_t(width) * 2646 / 10), 4)); // frame
    emf.replace(36, 4, LittleEndian(std::uint32_t(std::int64_t(height) * 2646 / 10), 4));
    return emf;
}

QByteArray WmfClaiming(std::uint16_t width, std::uint16_t height)
{
    QByteArray wmf = testpics::Wmf(64, 64);
    // The placeable header: key, handle, box (left, top, right, bottom), units per inch.
    wmf.replace(10, 2, LittleEndian(width, 2));
    wmf.replace(12, 2, LittleEndian(height, 2));
    wmf.replace(14, 2, LittleEndian(96, 2));
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= std::uint16_t(std::uint8_t(wmf[2 * i]) | std::uint8_t(wmf[2 * i + 1]) << 8);
    wmf.replace(20, 2, LittleEndian(sum, 2));
    return wmf;
}

QByteArray LargeBilevelPng(int side)
{
    // Rows of filter byte 0 and side / 8 bytes, streamed through deflate.
    const qsizetype row = 1 + (side + 7) / 8;
    QByteArray line(row, '\0');
    for (qsizetype i = 1; i < row; i += 7)
        line[i] = char(0xF0);
    z_stream stream{};
    deflateInit(&stream, 9);
    QByteArray compressed;
    QByteArray chunk(1 << 16, '\0');
    for (int y = 0; y < side; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(line.data());
        stream.avail_in = uInt(row);
        const int flush = y + 1 == side ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = uInt(chunk.size());
            deflate(&stream, flush);
            compressed.append(chunk.constData(), chunk.size() - qsizetype(stream.avail_out));
        } while (stream.avail_out == 0 || (flush == Z_FINISH && stream.avail_in > 0));
    }
    deflateEnd(&stream);
    return PngHeader(std::uint32_t(side), std::uint32_t(side), 1, 0) + PngChunk("IDAT", compressed)
        + PngChunk("IEND", {});
}

QByteArray ProjectClaiming(std::int32_t width, std::int32_t height)
{
    return LittleEndian(std::uint32_t(width), 4) + LittleEndian(std::uint32_t(height), 4) + QByteArray(260, '\0')
        + LittleEndian(0x00FFFFFF, 4) + LittleEndian(0, 4) + LittleEndian(0, 4);
}

std::vector<File> Reproducers()
{
    return {
        {"progressive-46000.jpg", ProgressiveJpegClaiming(46000, 46000)},
        {"progressive-65500.jpg", ProgressiveJpegClaiming(65500, 65500)},
        {"header-30000.png", PngClaiming(30000, 30000)},
        {"header-30000.jpg", JpegClaiming(30000, 30000)},
        {"header-30000.bmp", BmpClaiming(30000, 30000)},
        {"header-30000.ppm", PpmClaiming(30000, 30000)},
        {"header-32767.wmf", WmfClaiming(32767, 32767)},
        {"mutated.gif", GifClaiming(60000, 50000)},
        {"mutated.pcx", PcxClaiming(40000, 40000)},
        {"mutated.tga", TgaClaiming(40000, 40000)},
        {"mutated.pbm", PbmClaiming(300000, 300000)},
        {"mutated-rle.bmp", RleBmpClaiming(40000, 40000)},
        {"mutated-cmyk.jpg", CmykJpegClaiming(40000, 40000)},
        {"mutated-exif.jpg", JpegClaiming(65000, 65000)},
        {"bounds-16384.emf", EmfClaiming(16384, 16384)},
        {"real-16000.png", LargeBilevelPng(16000)},
        {"plain-64x48.tga", PlainTga(64, 48)},
        {"fuzzed-6000.wbmp", WbmpClaiming(6000, 6000)},
        {"fuzzed-screen-without-height.gif", GifWithoutScreenHeight(1273, 24, 65535)},
        {"canvas-26000.vmz", ProjectClaiming(26000, 26000)},
    };
}

void KeepWhenAsked(const std::vector<File>& files)
{
    const QString folder = qEnvironmentVariable("MONTARA_HOSTILE_OUT");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    for (const File& file : files) {
        QFile out(folder + QLatin1Char('/') + file.name);
        if (out.open(QIODevice::WriteOnly))
            out.write(file.bytes);
    }
}

} // namespace hostile
