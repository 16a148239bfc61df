#include "library/LibraryFiles.h"

#include "base/LittleEndian.h"
#include "support/ByteFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace library;

namespace {

using testbytes::ReadBytes;
using testbytes::WriteBytes;
using testbytes::I32At;
using testbytes::AppendI32;

float F32At(const QByteArray& bytes, qsizetype offset)
{
    return le::ReadF32(reinterpret_cast<const std::uint8_t*>(bytes.constData()) + offset);
}

void AppendF32(QByteArray& bytes, float value)
{
    std::uint8_t raw[4];
    le::WriteF32(raw, value);
    bytes.append(reinterpret_cast<const char*>(raw), 4);
}

// A picture whose every pixel differs, with alpha 0 and partial alpha among them so a
// premultiplying path would lose colours.
QImage Crafted(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = seed + y * width + x;
            image.setPixel(x, y, qRgba(10 + i, 200 - i, 3 * i, (i * 37) % 256));
        }
    }
    image.setPixel(0, 0, qRgba(250, 17, 99, 0));
    return image;
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

void ExpectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_EQ(actual.format(), QImage::Format_ARGB32);
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x)
            EXPECT_EQ(actual.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
    }
}

class LibraryFiles : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(LibraryFiles, ThumbnailFileLayoutAndRoundTrip)
{
    const QImage first = Crafted(3, 2, 1);
    const QImage second = Crafted(1, 1, 40);
    const QString path = Path(kClipArtsFile);
    QString error;
    ASSERT_TRUE(WriteThumbnailFile(path, {first, second}, &error)) << error.toStdString();

    const QByteArray bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 4 + (8 + 3 * 2 * 4) + (8 + 4));
    EXPECT_EQ(I32At(bytes, 0), 2);
    EXPECT_EQ(I32At(bytes, 4), 3);
    EXPECT_EQ(I32At(bytes, 8), 2);
    // Pixel (0, 0): blue, green, red, alpha; pixel (2, 1) is the last of the block.
    EXPECT_EQ(bytes.mid(12, 4), QByteArray("\x63\x11\xFA\x00", 4));
    const QRgb last = first.pixel(2, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(I32At(bytes, 12 + 5 * 4)), last);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[12 + 5 * 4]), qBlue(last));
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[12 + 5 * 4 + 3]), qAlpha(last));
    EXPECT_EQ(I32At(bytes, 36), 1);
    EXPECT_EQ(I32At(bytes, 40), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(I32At(bytes, 44)), second.pixel(0, 0));

    ExpectSamePixels(ReadThumbnailEntry(path, 0), first);
    ExpectSamePixels(ReadThumbnailEntry(path, 1), second);
    EXPECT_TRUE(ReadThumbnailEntry(path, 2).isNull());
    EXPECT_TRUE(ReadThumbnailEntry(path, -1).isNull());

    const std::optional<LibraryScan> scan = ScanLibraryFile(path, LibraryLayout::Thumbnail);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->count, 2);
    ASSERT_EQ(scan->entries.size(), 2u);
    EXPECT_EQ(scan->entries[1].offset, 36);
    EXPECT_EQ(scan->entries[1].size, 12);
    EXPECT_EQ(scan->trailingBytes, 0);
}

TEST_F(LibraryFiles, ThumbnailWriterStoresPremultipliedInputUnpremultiplied)
{
    QImage opaque(2, 1, QImage::Format_ARGB32_Premultiplied);
    opaque.setPixel(0, 0, qRgba(12, 34, 56, 255));
    opaque.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const QString path = Path(kBrushesFile);
    ASSERT_TRUE(WriteThumbnailFile(path, {opaque}));
    const QImage back = ReadThumbnailEntry(path, 0);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(0, 0), qRgba(12, 34, 56, 255));
    EXPECT_EQ(qAlpha(back.pixel(1, 0)), 0);
}

TEST_F(LibraryFiles, FrameFileLayoutAndRoundTrip)
{
    const QImage framePicture = Crafted(5, 4, 7);
    const QImage otherPicture = Crafted(2, 3, 90);
    const QByteArray png0 = Png(framePicture);
    const QByteArray png1 = Png(otherPicture);
    // The stored sizes are those of the source and are not used for decoding.
    const std::vector<ImageEntryData> entries{{999, 7, png0, {0.1f, 0.125f, 0.9f, 0.875f}},
                                              {2, 3, png1, {0.0f, 0.0f, 1.0f, 1.0f}}};
    const QString path = Path(kPhotoFramesFile);
    ASSERT_TRUE(WriteImageFile(path, LibraryLayout::ImageWithOpening, entries));

    const QByteArray bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 4 + 28 + png0.size() + 28 + png1.size());
    EXPECT_EQ(I32At(bytes, 0), 2);
    EXPECT_EQ(I32At(bytes, 4), 999);
    EXPECT_EQ(I32At(bytes, 8), 7);
    EXPECT_EQ(I32At(bytes, 12), png0.size());
    EXPECT_EQ(F32At(bytes, 16), 0.1f);
    EXPECT_EQ(F32At(bytes, 20), 0.125f);
    EXPECT_EQ(F32At(bytes, 24), 0.9f);
    EXPECT_EQ(F32At(bytes, 28), 0.875f);
    EXPECT_EQ(bytes.mid(32, png0.size()), png0);
    const qsizetype second = 32 + png0.size();
    EXPECT_EQ(I32At(bytes, second + 8), png1.size());
    EXPECT_EQ(F32At(bytes, second + 20), 1.0f);
    EXPECT_EQ(bytes.mid(second + 28), png1);

    const std::optional<ImageEntry> entry = ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->header.width, 999);
    EXPECT_EQ(entry->header.height, 7);
    EXPECT_EQ(entry->header.dataLength, png0.size());
    ExpectSamePixels(entry->picture, framePicture);
    const std::optional<ImageEntry> other = ReadImageEntry(path, 1, LibraryLayout::ImageWithOpening);
    ASSERT_TRUE(other);
    ExpectSamePixels(other->picture, otherPicture);
    EXPECT_FALSE(ReadImageEntry(path, 2, LibraryLayout::ImageWithOpening));

    const std::optional<FrameOpening> opening = ReadFrameOpening(path, 0);
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->left, 0.1f);
    EXPECT_EQ(opening->top, 0.125f);
    EXPECT_EQ(opening->right, 0.9f);
    EXPECT_EQ(opening->bottom, 0.875f);
}

TEST_F(LibraryFiles, MaskAndShapeFilesHaveNoOpening)
{
    const QByteArray png = Png(Crafted(4, 2, 3));
    const QString path = Path(kShapeFile);
    ASSERT_TRUE(WriteImageFile(path, LibraryLayout::Image, {{40, 20, png, {}}, {30, 30, png, {}}}));
    const QByteArray bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 4 + 2 * (12 + png.size()));
    EXPECT_EQ(I32At(bytes, 12), png.size());
    EXPECT_EQ(bytes.mid(16, png.size()), png);
    EXPECT_EQ(I32At(bytes, 16 + png.size()), 30);

    EXPECT_EQ(ReadShapeSize(path, 0), QSize(40, 20));
    EXPECT_EQ(ReadShapeSize(path, 1), QSize(30, 30));
    EXPECT_EQ(ReadShapeSize(path, 2), QSize(0, 0));
    EXPECT_EQ(ReadShapeSize(Path("missing"), 0), QSize(0, 0));
    const std::optional<ImageEntry> entry = ReadImageEntry(path, 1, LibraryLayout::Image);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->picture.size(), QSize(4, 2));
    EXPECT_FALSE(entry->header.opening);
}

TEST_F(LibraryFiles, AppendKeepsEntriesAndIndexes)
{
    const QString thumbs = Path(kPhotoFramesThumbFile);
    ASSERT_TRUE(AppendThumbnailEntries(thumbs, {Crafted(2, 2, 1)})); // missing file: created
    ASSERT_TRUE(AppendThumbnailEntries(thumbs, {Crafted(1, 2, 5), Crafted(3, 1, 9)}));
    EXPECT_EQ(I32At(ReadBytes(thumbs), 0), 3);
    ExpectSamePixels(ReadThumbnailEntry(thumbs, 0), Crafted(2, 2, 1));
    ExpectSamePixels(ReadThumbnailEntry(thumbs, 2), Crafted(3, 1, 9));

    const QString frames = Path(kPhotoFramesFile);
    const QByteArray png = Png(Crafted(3, 3, 2));
    ASSERT_TRUE(WriteImageFile(frames, LibraryLayout::ImageWithOpening, {{3, 3, png, {0.2f, 0.2f, 0.8f, 0.8f}}}));
    // Bytes after the last counted entry are not an entry; the appended entry follows
    // the last real one.
    QByteArray withTrailing = ReadBytes(frames);
    withTrailing.append("junk");
    WriteBytes(frames, withTrailing);
    ASSERT_EQ(ScanLibraryFile(frames, LibraryLayout::ImageWithOpening)->trailingBytes, 4);
    ASSERT_TRUE(AppendImageEntries(frames, LibraryLayout::ImageWithOpening, {{3, 3, png, {0.0f, 0.5f, 0.5f, 1.0f}}}));
    const std::optional<LibraryScan> scan = ScanLibraryFile(frames, LibraryLayout::ImageWithOpening);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->count, 2);
    EXPECT_EQ(scan->trailingBytes, 0);
    EXPECT_EQ(ReadFrameOpening(frames, 0)->left, 0.2f);
    EXPECT_EQ(ReadFrameOpening(frames, 1)->top, 0.5f);
}

TEST_F(LibraryFiles, WritersRefuseWhatReadersWouldRefuseAndKeepTheOldFile)
{
    const QString thumbs = Path(kClipArtsFile);
    ASSERT_TRUE(WriteThumbnailFile(thumbs, {Crafted(2, 2, 1)}));
    const QByteArray before = ReadBytes(thumbs);
    QString error;
    EXPECT_FALSE(WriteThumbnailFile(thumbs, {Crafted(1, 1, 1), QImage()}, &error));
    EXPECT_TRUE(error.contains(QLatin1String("entry 1"))) << error.toStdString();
    EXPECT_FALSE(AppendThumbnailEntries(thumbs, {QImage()}));
    EXPECT_EQ(ReadBytes(thumbs), before);

    const QString frames = Path(kPhotoFramesFile);
    const QByteArray png = Png(Crafted(2, 2, 1));
    EXPECT_FALSE(WriteImageFile(frames, LibraryLayout::ImageWithOpening, {{-1, 2, png, {}}}));
    EXPECT_FALSE(WriteImageFile(frames, LibraryLayout::ImageWithOpening, {{2, 2, png, {0.5f, 0.0f, 0.5f, 1.0f}}}));
    EXPECT_FALSE(WriteImageFile(frames, LibraryLayout::ImageWithOpening,
                                {{2, 2, png, {0.0f, std::nanf(""), 1.0f, 1.0f}}}));
    EXPECT_FALSE(WriteImageFile(frames, LibraryLayout::Thumbnail, {{2, 2, png, {}}}));
    EXPECT_FALSE(QFile::exists(frames));
    // An opening that only matters to frames does not stop a mask file.
    EXPECT_TRUE(WriteImageFile(Path(kPhotoMasksFile), LibraryLayout::Image, {{2, 2, png, {0.5f, 0.0f, 0.5f, 1.0f}}}));

    // A damaged file is not appended to.
    QByteArray damaged = before;
    damaged.chop(1);
    WriteBytes(thumbs, damaged);
    EXPECT_FALSE(AppendThumbnailEntries(thumbs, {Crafted(1, 1, 1)}, &error));
    EXPECT_EQ(ReadBytes(thumbs), damaged);
    // Nor is a file in a folder that does not exist created.
    EXPECT_FALSE(WriteThumbnailFile(dir.filePath(QStringLiteral("no/such/cliparts")), {Crafted(1, 1, 1)}, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Every prefix of a valid file: the scan refuses it, and an entry is returned exactly
// when all of its bytes are in the prefix.
TEST_F(LibraryFiles, TruncatedAtEveryByte)
{
    const QString full = Path("full");
    ASSERT_TRUE(WriteThumbnailFile(full, {Crafted(2, 2, 1), Crafted(1, 3, 4)}));
    const QByteArray thumbBytes = ReadBytes(full);
    const qsizetype thumbEnd0 = 4 + 8 + 16;

    const QString fullFrames = Path("fullFrames");
    const QByteArray png = Png(Crafted(2, 2, 8));
    ASSERT_TRUE(WriteImageFile(fullFrames, LibraryLayout::ImageWithOpening,
                               {{2, 2, png, {0.1f, 0.1f, 0.9f, 0.9f}}, {2, 2, png, {0.0f, 0.0f, 1.0f, 1.0f}}}));
    const QByteArray frameBytes = ReadBytes(fullFrames);
    const qsizetype frameEnd0 = 4 + 28 + png.size();

    const QString cut = Path("cut");
    for (qsizetype length = 0; length < thumbBytes.size(); ++length) {
        WriteBytes(cut, thumbBytes.left(length));
        SCOPED_TRACE(length);
        EXPECT_FALSE(ScanLibraryFile(cut, LibraryLayout::Thumbnail));
        EXPECT_EQ(ReadThumbnailEntry(cut, 0).isNull(), length < thumbEnd0);
        EXPECT_TRUE(ReadThumbnailEntry(cut, 1).isNull());
    }
    for (qsizetype length = 0; length < frameBytes.size(); ++length) {
        WriteBytes(cut, frameBytes.left(length));
        SCOPED_TRACE(length);
        EXPECT_FALSE(ScanLibraryFile(cut, LibraryLayout::ImageWithOpening));
        EXPECT_EQ(ReadImageEntry(cut, 0, LibraryLayout::ImageWithOpening).has_value(), length >= frameEnd0);
        EXPECT_EQ(ReadFrameOpening(cut, 0).has_value(), length >= frameEnd0);
        EXPECT_FALSE(ReadImageEntry(cut, 1, LibraryLayout::ImageWithOpening));
        EXPECT_FALSE(ReadFrameOpening(cut, 1));
    }
}

// Every byte of a small frames file replaced by 0x00, 0x7F, 0x80 and 0xFF in turn: each
// read either refuses or gives an entry that lies inside the file with a usable opening.
TEST_F(LibraryFiles, CorruptedAtEveryByte)
{
    const QString path = Path("corrupt");
    const QByteArray png = Png(Crafted(3, 2, 5));
    ASSERT_TRUE(WriteImageFile(path, LibraryLayout::ImageWithOpening,
                               {{3, 2, png, {0.1f, 0.1f, 0.9f, 0.9f}}, {3, 2, png, {0.2f, 0.2f, 0.8f, 0.8f}}}));
    const QByteArray original = ReadBytes(path);
    int decoded = 0;
    for (qsizetype at = 0; at < original.size(); ++at) {
        for (char value : {'\x00', '\x7f', '\x80', '\xff'}) {
            QByteArray bytes = original;
            bytes[at] = value;
            WriteBytes(path, bytes);
            for (int n : {0, 1}) {
                const std::optional<ImageEntry> entry = ReadImageEntry(path, n, LibraryLayout::ImageWithOpening);
                if (!entry)
                    continue;
                ++decoded;
                EXPECT_FALSE(entry->picture.isNull());
                EXPECT_LE(entry->header.offset + entry->header.size, bytes.size());
                ASSERT_TRUE(entry->header.opening);
                EXPECT_TRUE(IsUsableOpening(*entry->header.opening));
            }
            // The same bytes read as a thumbnail file: any picture fits in the file.
            const QImage thumb = ReadThumbnailEntry(path, 0);
            EXPECT_LE(std::int64_t{thumb.width()} * thumb.height() * 4, bytes.size());
        }
    }
    EXPECT_GT(decoded, 0); // corruption of picture bytes the decoder tolerates still reads
}

TEST_F(LibraryFiles, HostileSizesAndCountsGiveNothing)
{
    const QString path = Path("hostile");
    const auto thumbnailFile = [&](std::int32_t count, std::int32_t width, std::int32_t height, int pixelBytes) {
        QByteArray bytes;
        AppendI32(bytes, count);
        AppendI32(bytes, width);
        AppendI32(bytes, height);
        bytes.append(pixelBytes, '\x7f');
        WriteBytes(path, bytes);
    };
    const auto scanError = [&](LibraryLayout layout) {
        QString error;
        EXPECT_FALSE(ScanLibraryFile(path, layout, &error));
        return error.toStdString();
    };

    thumbnailFile(-1, 1, 1, 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    EXPECT_NE(scanError(LibraryLayout::Thumbnail).find("negative count"), std::string::npos);
    thumbnailFile(1, -1, 1, 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    thumbnailFile(1, 1, -1, 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    thumbnailFile(1, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(), 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    thumbnailFile(1, std::numeric_limits<std::int32_t>::min(), -1, 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    // Exactly 1 GB is the largest block allowed; this one is refused because the file
    // does not hold it, the next larger one for its size, before anything is allocated.
    thumbnailFile(1, 16384, 16384, 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    EXPECT_NE(scanError(LibraryLayout::Thumbnail).find("past the end"), std::string::npos);
    thumbnailFile(1, 16384, 16385, 4);
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    EXPECT_NE(scanError(LibraryLayout::Thumbnail).find("larger than 1 GB"), std::string::npos);
    thumbnailFile(1, 2, 1, 4); // one pixel short
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    // An empty entry is skipped over but gives no picture.
    thumbnailFile(2, 0, 5, 0);
    {
        QByteArray bytes = ReadBytes(path);
        AppendI32(bytes, 1);
        AppendI32(bytes, 1);
        AppendI32(bytes, 0x11223344);
        WriteBytes(path, bytes);
    }
    EXPECT_TRUE(ReadThumbnailEntry(path, 0).isNull());
    EXPECT_EQ(ReadThumbnailEntry(path, 1).pixel(0, 0), 0x11223344u);
    // The count bounds the entries: a well-formed entry after the last counted one is
    // not entry 1.
    {
        QByteArray bytes = ReadBytes(path);
        bytes[0] = 1;
        WriteBytes(path, bytes);
    }
    EXPECT_TRUE(ReadThumbnailEntry(path, 1).isNull());
    EXPECT_EQ(ScanLibraryFile(path, LibraryLayout::Thumbnail)->trailingBytes, 12);
    // A count larger than the entries present: the scan refuses the file at once, the
    // entries that are there can still be read one by one.
    thumbnailFile(std::numeric_limits<std::int32_t>::max(), 1, 1, 4);
    EXPECT_NE(scanError(LibraryLayout::Thumbnail).find("more than the file can hold"), std::string::npos);
    EXPECT_FALSE(ReadThumbnailEntry(path, 0).isNull());
    EXPECT_TRUE(ReadThumbnailEntry(path, 1).isNull());
    EXPECT_TRUE(ReadThumbnailEntry(path, std::numeric_limits<int>::max()).isNull());

    const QByteArray png = Png(Crafted(2, 2, 3));
    const auto imageFile = [&](std::int32_t width, std::int32_t height, std::int32_t length, FrameOpening opening,
                               const QByteArray& data) {
        QByteArray bytes;
        AppendI32(bytes, 1);
        AppendI32(bytes, width);
        AppendI32(bytes, height);
        AppendI32(bytes, length);
        for (float v : {opening.left, opening.top, opening.right, opening.bottom})
            AppendF32(bytes, v);
        bytes.append(data);
        WriteBytes(path, bytes);
    };
    const FrameOpening whole{0.0f, 0.0f, 1.0f, 1.0f};
    imageFile(2, 2, png.size(), whole, png);
    ASSERT_TRUE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening)); // the well-formed base case
    imageFile(2, 2, -1, whole, png);
    EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));
    EXPECT_FALSE(ReadFrameOpening(path, 0));
    imageFile(-2, 2, png.size(), whole, png);
    EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));
    imageFile(2, 2, png.size() + 1, whole, png);
    EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));
    imageFile(2, 2, 1 << 30, whole, png);
    EXPECT_NE(scanError(LibraryLayout::ImageWithOpening).find("past the end"), std::string::npos);
    imageFile(2, 2, (1 << 30) + 1, whole, png);
    EXPECT_NE(scanError(LibraryLayout::ImageWithOpening).find("larger than 1 GB"), std::string::npos);
    imageFile(2, 2, std::numeric_limits<std::int32_t>::max(), whole, png);
    EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));

    const float inf = std::numeric_limits<float>::infinity();
    for (const FrameOpening& bad : {FrameOpening{std::nanf(""), 0, 1, 1}, FrameOpening{0, 0, inf, 1},
                                    FrameOpening{0.5f, 0, 0.5f, 1}, FrameOpening{0.6f, 0, 0.4f, 1},
                                    FrameOpening{0, 0.7f, 1, 0.2f}, FrameOpening{1.2f, 0, 1.5f, 1},
                                    FrameOpening{0, -0.5f, 1, -0.1f}}) {
        imageFile(2, 2, png.size(), bad, png);
        EXPECT_FALSE(ReadFrameOpening(path, 0));
        EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));
        EXPECT_TRUE(ReadImageEntryHeader(path, 0, LibraryLayout::ImageWithOpening)); // still walkable
    }
    // Finite openings reaching outside the frame are used clamped to 0..1.
    imageFile(2, 2, png.size(), FrameOpening{-0.1f, 0.2f, 1.05f, 1.5f}, png);
    const std::optional<FrameOpening> clamped = ReadFrameOpening(path, 0);
    ASSERT_TRUE(clamped);
    EXPECT_EQ(clamped->left, 0.0f);
    EXPECT_EQ(clamped->top, 0.2f);
    EXPECT_EQ(clamped->right, 1.0f);
    EXPECT_EQ(clamped->bottom, 1.0f);
    EXPECT_TRUE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));

    // Bytes that are no picture: the entry's fields are readable, its picture is not.
    const QByteArray junk(40, '\x5a');
    imageFile(2, 2, junk.size(), whole, junk);
    EXPECT_TRUE(ReadImageEntryHeader(path, 0, LibraryLayout::ImageWithOpening));
    EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));
    imageFile(2, 2, 0, whole, QByteArray());
    EXPECT_FALSE(ReadImageEntry(path, 0, LibraryLayout::ImageWithOpening));
}

TEST_F(LibraryFiles, PictureClaimingHugeSizeIsNotDecoded)
{
    // A picture file that announces 60000 x 60000 pixels (over 1 GB) in a few bytes.
    QByteArray huge("P6\n60000 60000\n255\n");
    huge.append(64, '\x10');
    EXPECT_TRUE(DecodeLibraryPicture(huge).isNull());
    QByteArray small("P6\n2 1\n255\n");
    small.append("\x01\x02\x03\x04\x05\x06", 6);
    const QImage decoded = DecodeLibraryPicture(small);
    ASSERT_EQ(decoded.size(), QSize(2, 1));
    EXPECT_EQ(decoded.format(), QImage::Format_ARGB32);
    EXPECT_EQ(decoded.pixel(1, 0), qRgba(4, 5, 6, 255));
}

TEST_F(LibraryFiles, MissingOrEmptyFilesGiveNothing)
{
    EXPECT_TRUE(ReadThumbnailEntry(Path("missing"), 0).isNull());
    EXPECT_FALSE(ReadImageEntry(Path("missing"), 0, LibraryLayout::Image));
    EXPECT_FALSE(ScanLibraryFile(Path("missing"), LibraryLayout::Image));
    EXPECT_TRUE(ReadThumbnailEntry(dir.path(), 0).isNull()); // a folder
    WriteBytes(Path("empty"), QByteArray());
    EXPECT_TRUE(ReadThumbnailEntry(Path("empty"), 0).isNull());
    EXPECT_FALSE(ReadFrameOpening(Path("empty"), 0));
    WriteBytes(Path("zero"), QByteArray(4, '\0'));
    const std::optional<LibraryScan> scan = ScanLibraryFile(Path("zero"), LibraryLayout::Thumbnail);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->count, 0);
    EXPECT_TRUE(scan->entries.empty());
    EXPECT_TRUE(ReadThumbnailEntry(Path("zero"), 0).isNull());
}

TEST(LibraryCategories, FilesAndLayoutsByCategoryAndName)
{
    const std::optional<CategoryFiles> frames = FilesOfCategory(0);
    ASSERT_TRUE(frames);
    EXPECT_STREQ(frames->thumbnailFile, "photoframes_t");
    EXPECT_STREQ(frames->imageFile, "photoframes");
    EXPECT_EQ(frames->imageLayout, LibraryLayout::ImageWithOpening);
    EXPECT_EQ(FilesOfCategory(1)->imageLayout, LibraryLayout::Image);
    EXPECT_EQ(FilesOfCategory(2)->imageFile, nullptr); // clip-art: the thumbnail is the item
    EXPECT_EQ(FilesOfCategory(4)->imageFile, nullptr); // brushes likewise
    EXPECT_STREQ(FilesOfCategory(5)->imageFile, "shape");
    EXPECT_FALSE(FilesOfCategory(6));
    EXPECT_FALSE(FilesOfCategory(-1));

    EXPECT_EQ(LayoutOfLibraryFile(QStringLiteral("photoframes")), LibraryLayout::ImageWithOpening);
    EXPECT_EQ(LayoutOfLibraryFile(QStringLiteral("shape")), LibraryLayout::Image);
    EXPECT_EQ(LayoutOfLibraryFile(QStringLiteral("shape_t")), LibraryLayout::Thumbnail);
    EXPECT_FALSE(LayoutOfLibraryFile(QStringLiteral("Res_Info")));
    EXPECT_FALSE(LayoutOfLibraryFile(QStringLiteral("PhotoFrames")));
}

// One entry with a refused opening must not hide the entries behind it: every entry is
// walked by its stored sizes whatever its opening says.
TEST_F(LibraryFiles, RefusedOpeningRefusesOnlyItsOwnEntry)
{
    const QByteArray png = Png(Crafted(2, 2, 3));
    QByteArray bytes;
    const std::vector<FrameOpening> openings{{0.1f, 0.1f, 0.9f, 0.9f},
                                             {std::nanf(""), 0.1f, 0.9f, 0.9f},
                                             {0.1f, 0.1f, 1.05f, 0.9f},
                                             {0.5f, 0.5f, 0.5f, 0.9f},
                                             {0.2f, 0.3f, 0.8f, 0.7f}};
    AppendI32(bytes, static_cast<std::int32_t>(openings.size()));
    for (const FrameOpening& o : openings) {
        AppendI32(bytes, 2);
        AppendI32(bytes, 2);
        AppendI32(bytes, static_cast<std::int32_t>(png.size()));
        for (float v : {o.left, o.top, o.right, o.bottom})
            AppendF32(bytes, v);
        bytes.append(png);
    }
    const QString path = Path(kPhotoFramesFile);
    WriteBytes(path, bytes);

    const std::optional<LibraryScan> scan = ScanLibraryFile(path, LibraryLayout::ImageWithOpening);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->entries.size(), openings.size());
    EXPECT_EQ(scan->trailingBytes, 0);
    const std::vector<bool> readable{true, false, true, false, true};
    for (int n = 0; n < static_cast<int>(openings.size()); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ReadFrameOpening(path, n).has_value(), readable[static_cast<std::size_t>(n)]);
        EXPECT_EQ(ReadImageEntry(path, n, LibraryLayout::ImageWithOpening).has_value(),
                  readable[static_cast<std::size_t>(n)]);
    }
    EXPECT_EQ(ReadFrameOpening(path, 2)->right, 1.0f);
    EXPECT_EQ(ReadFrameOpening(path, 4)->left, 0.2f);
    // A file holding such an entry can still be appended to; the new entry gets the next index.
    ASSERT_TRUE(AppendImageEntries(path, LibraryLayout::ImageWithOpening, {{2, 2, png, {0.0f, 0.0f, 0.5f, 0.5f}}}));
    EXPECT_EQ(ReadFrameOpening(path, 5)->right, 0.5f);
    EXPECT_FALSE(ReadFrameOpening(path, 1));
}
