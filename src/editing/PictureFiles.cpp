#include "editing/PictureFiles.h"

#include "base/PictureBudget.h"
#include "editing/JpegEncoder.h"
#include "editing/PictureScaling.h"
#include "editing/StoredPixelData.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRect>
#include <QTransform>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::int64_t kEditingPixelLimit = 1920000;
constexpr int kEditingFitWidth = 1600;
constexpr int kEditingFitHeight = 1200;
constexpr int kThumbnailSide = 80;
constexpr int kThumbnailQuality = 75;

bool IsJpegFormat(const QByteArray& format)
{
    return format == "jpeg" || format == "jpg";
}

// The reader's picture size, upright (the camera's turn applied); invalid if unknown.
QSize UprightSize(QImageReader& reader)
{
    QSize size = reader.size();
    if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
        size.transpose();
    return size;
}

void ConvertToSrgb(QImage& image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        break;
    default:
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        break;
    }
    image.convertToColorSpace(QColorSpace::SRgb);
}

// Rows laid over white at a time.
constexpr int kOverWhiteRows = 64;

// The picture as 24-bit blue-green-red, transparent parts over white, converted in its
// own memory where the platform can. A 32-bit picture with alpha is laid over white a
// band of rows at a time, each band written back over the rows it came from: no second
// picture of its size is made.
QImage OpaqueBgr(QImage image)
{
    if (!image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_BGR888);
        return image;
    }
    if (image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied) {
        const int width = image.width();
        const qsizetype stride = image.bytesPerLine();
        std::uint8_t* bits = image.bits();
        QImage band(width, std::min(kOverWhiteRows, image.height()), QImage::Format_RGB32);
        if (!bits || band.isNull())
            return {};
        for (int first = 0; first < image.height(); first += kOverWhiteRows) {
            const int rows = std::min(kOverWhiteRows, image.height() - first);
            band.fill(Qt::white);
            QPainter painter(&band);
            painter.drawImage(QPoint(0, 0), image, QRect(0, first, width, rows));
            painter.end();
            for (int r = 0; r < rows; ++r)
                std::memcpy(bits + stride * (first + r), band.constScanLine(r), std::size_t(width) * 4);
        }
        if (!image.reinterpretAsFormat(QImage::Format_RGB32))
            return {};
        image.convertTo(QImage::Format_BGR888);
        if (image.isNull())
            return {};
        // A new picture to the callers, as a painted canvas is: the same memory under a
        // picture with none of the file's metadata (density, colour space, texts).
        auto owner = std::make_unique<QImage>(std::move(image));
        uchar* pixels = owner->bits();
        const QSize size = owner->size();
        const qsizetype bytesPerLine = owner->bytesPerLine();
        return QImage(pixels, size.width(), size.height(), bytesPerLine, QImage::Format_BGR888,
                      [](void* held) { std::unique_ptr<QImage>(static_cast<QImage*>(held)); }, owner.release());
    }
    QImage canvas(image.size(), QImage::Format_RGB32);
    if (canvas.isNull())
        return {};
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, image);
    painter.end();
    image = QImage();
    canvas.convertTo(QImage::Format_BGR888);
    return canvas;
}

// The target size of a library picture that is too large for editing.
QSize EditingFit(int width, int height)
{
    const auto w = std::uint64_t(width);
    const auto h = std::uint64_t(height);
    std::uint64_t targetWidth = 0;
    std::uint64_t targetHeight = 0;
    if (float(width) / float(height) > 1.3333334f) {
        targetWidth = kEditingFitWidth;
        targetHeight = h * kEditingFitWidth / w;
    } else {
        targetHeight = kEditingFitHeight;
        targetWidth = w * kEditingFitHeight / h;
    }
    // A sliver of a picture still keeps one row or column.
    return QSize(int(targetWidth ? targetWidth : 1), int(targetHeight ? targetHeight : 1));
}

// The start of a file read to check its header before the platform's reader runs.
constexpr qint64 kPlatformHeadBytes = 64 * 1024;

// The working buffers a JPEG decode takes at its stored size (see base/PictureBudget.h),
// from the markers at the start of the file; 0 for single-scan files and other formats.
std::int64_t JpegWorkingBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(qint64(budget::kJpegHeadBytes));
    budget::JpegLayout layout;
    if (!budget::ReadJpegLayout(reinterpret_cast<const std::uint8_t*>(head.constData()), std::size_t(head.size()),
                                layout))
        return 0;
    return layout.WorkingBytes();
}

// A TGA has no signature; its 18-byte header is recognised by its fields: no or a
// two-entry-kind colour map, a known image type and depth, and a true-colour or grey
// picture with no colour-map fields. A cursor file shares its first bytes.
bool LooksLikeTga(const QByteArray& head)
{
    if (head.size() < 18)
        return false;
    const auto* b = reinterpret_cast<const std::uint8_t*>(head.constData());
    const int mapType = b[1];
    const int imageType = b[2];
    const int width = b[12] | b[13] << 8;
    const int height = b[14] | b[15] << 8;
    const int depth = b[16];
    const bool known = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 || imageType == 10
        || imageType == 11;
    const bool mapped = imageType == 1 || imageType == 9;
    if (mapType > 1 || !known || width == 0 || height == 0 || (b[17] & 0xC0) != 0)
        return false;
    if (mapped)
        return mapType == 1 && (depth == 8 || depth == 16);
    const bool noMap = mapType == 0 && b[3] == 0 && b[4] == 0 && b[5] == 0 && b[6] == 0 && b[7] == 0;
    return noMap && (depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32);
}

} // namespace

namespace {

// The header checks that come before the platform's reader runs at all: its GIF reader
// decodes a whole frame just to answer canRead() for a file whose signature is not
// exact. A file shorter than the pixels its header claims is refused, and so is a GIF
// whose picture (the logical screen, grown to hold the first frame; a screen without
// a size takes the frame's) would not fit the picture budget.
bool HeaderAllowsReading(QImageReader& reader)
{
    QIODevice* device = reader.device();
    if (!device || (!device->isOpen() && !device->open(QIODevice::ReadOnly)))
        return true; // the reader reports what it cannot open
    const QByteArray head = device->peek(kPlatformHeadBytes);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(head.constData());
    const std::uint32_t code = reader.fileName().isEmpty()
        ? cx::kFormatUnknown
        : FormatFromExtension(PictureExtension(reader.fileName()).toLower());
    if (!storedpixels::HoldsClaimedPixels(bytes, std::size_t(head.size()), std::uint64_t(device->size()), code))
        return false;
    if (code == cx::kFormatGif || head.startsWith("GIF8")) {
        if (const auto gif = storedpixels::FirstGifFrame(bytes, std::size_t(head.size()))) {
            const QSize canvas(std::max(gif->screenWidth, gif->left + gif->width),
                               std::max(gif->screenHeight, gif->top + gif->height));
            if (!budget::DecodeFits(canvas, canvas, budget::kPlatformBytesPerPixel))
                return false;
        }
    }
    return true;
}

} // namespace

bool PlatformCanRead(QImageReader& reader)
{
    if (!HeaderAllowsReading(reader) || !reader.canRead())
        return false;
    // A TGA the platform's TGA reader refuses would be taken by another reader whose
    // header it resembles (a cursor): the library reads it instead.
    if (reader.format() != "tga" && reader.device() && LooksLikeTga(reader.device()->peek(18)))
        return false;
    return true;
}

namespace {

struct OpenedPicture {
    PictureDecoder decoder = PictureDecoder::Platform;
    QImage platform;
    PictureLoader library;
};

// The decoder choice: the platform first, the library when the platform cannot read
// the file or the file is a metafile.
bool OpenPicture(const QString& path, QSize minimum, OpenedPicture& opened)
{
    if (!IsMetafilePath(path)) {
        opened.platform = ReadWithPlatform(path, minimum);
        if (!opened.platform.isNull()) {
            opened.decoder = PictureDecoder::Platform;
            return true;
        }
    }
    if (!opened.library.Load(path, minimum.width(), minimum.height()))
        return false;
    opened.decoder = PictureDecoder::Library;
    return true;
}

std::unique_ptr<std::uint8_t[]> Bytes(std::size_t size)
{
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size ? size : 1]);
}

} // namespace

std::uint32_t FormatFromExtension(const QString& extension)
{
    static const struct {
        const char* extension;
        std::uint32_t code;
    } kTable[] = {
        {"bmp", cx::kFormatBmp},  {"gif", cx::kFormatGif},   {"jpg", cx::kFormatJpg},  {"jpeg", cx::kFormatJpg},
        {"png", cx::kFormatPng},  {"ico", cx::kFormatIco},   {"tif", cx::kFormatTif},  {"tiff", cx::kFormatTif},
        {"tga", cx::kFormatTga},  {"pcx", cx::kFormatPcx},   {"wbmp", cx::kFormatWbmp}, {"wmf", cx::kFormatWmf},
        {"emf", cx::kFormatWmf},  {"jp2", cx::kFormatJp2},   {"j2k", cx::kFormatJp2},  {"jpc", cx::kFormatJpc},
        {"j2c", cx::kFormatJpc},  {"pgx", cx::kFormatPgx},   {"pnm", cx::kFormatPnm},  {"pgm", cx::kFormatPnm},
        {"ppm", cx::kFormatPnm},  {"ras", cx::kFormatRas},
    };
    for (const auto& entry : kTable) {
        if (extension == QLatin1String(entry.extension))
            return entry.code;
    }
    return cx::kFormatUnknown;
}

QString PictureExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    return name.mid(dot + 1);
}

bool IsMetafilePath(const QString& path)
{
    const QString extension = PictureExtension(path).toUpper();
    return extension == QLatin1String("WMF") || extension == QLatin1String("EMF");
}

QImage ReadWithPlatform(const QString& path, QSize minimum)
{
    // A pipe or a device would block the reader.
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!PlatformCanRead(reader))
        return {};
    const QSize stored = reader.size();
    QSize decoded = stored;
    if (minimum.width() > 0 && minimum.height() > 0 && IsJpegFormat(reader.format()) && stored.isValid()) {
        const QSize need = (reader.transformation() & QImageIOHandler::TransformationRotate90) ? minimum.transposed() : minimum;
        // The smallest DCT scale (1/2, 1/4, 1/8) that stays at least as large as needed.
        int denominator = 1;
        while (denominator < 8) {
            const int next = denominator * 2;
            const int w = (stored.width() + next - 1) / next;
            const int h = (stored.height() + next - 1) / next;
            if (w < need.width() || h < need.height())
                break;
            denominator = next;
        }
        if (denominator > 1) {
            decoded = QSize((stored.width() + denominator - 1) / denominator,
                            (stored.height() + denominator - 1) / denominator);
            reader.setScaledSize(decoded);
        }
    }
    // The cost from the header, before the reader takes any pixel memory. A reader that
    // cannot tell the size first is held by the allocation limit set at start-up.
    if (stored.isValid()) {
        const std::int64_t working = IsJpegFormat(reader.format()) ? JpegWorkingBytes(path) : 0;
        if (!budget::DecodeFits(stored, decoded, budget::kPlatformBytesPerPixel, working))
            return {};
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    ConvertToSrgb(image);
    return image;
}

// --- PictureLoader -----------------------------------------------------------------

PictureLoader::PictureLoader() = default;

PictureLoader::~PictureLoader()
{
    Reset();
}

void PictureLoader::Reset()
{
    if (image) {
        image->SetEscape(1);
        image.reset();
    }
    jpegCodec.reset();
}

bool PictureLoader::Load(const QString& path, int minWidth, int minHeight)
{
    const QString extension = PictureExtension(path);
    if (extension.isNull())
        return false;
    const std::uint32_t code = FormatFromExtension(extension.toLower());
    Reset();
    image = std::make_unique<CxImage>();
    if (!image->Load(path, code, minWidth, minHeight)) {
        Reset();
        return false;
    }
    if (image->GetType() == cx::kFormatJpg) {
        jpegCodec = std::make_unique<CxImageJPG>();
        CxIOFile file;
        if (file.Open(path, "rb"))
            jpegCodec->DecodeExif(&file);
    }
    return true;
}

bool PictureLoader::FromPixels(const std::uint8_t* pixels, int width, int height)
{
    Reset();
    if (!pixels || width <= 0 || height <= 0)
        return false;
    const std::size_t size = std::size_t(width) * std::size_t(height) * 3;
    auto dib = Bytes(40 + size);
    if (!dib)
        return false;
    std::memset(dib.get(), 0, 40);
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            dib[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    };
    put32(0, 40);
    put32(4, std::uint32_t(width));
    put32(8, std::uint32_t(height));
    dib[12] = 1;  // planes
    dib[14] = 24; // bits
    std::memcpy(dib.get() + 40, pixels, size);
    image = std::make_unique<CxImage>(dib.get(), 40 + size, cx::kFormatBmp);
    if (!image->IsValid()) {
        Reset();
        return false;
    }
    return true;
}

const ExifInfo* PictureLoader::CameraData() const
{
    return jpegCodec && jpegCodec->m_exifinfo.valid ? &jpegCodec->m_exifinfo : nullptr;
}

// --- Loaders -------------------------------------------------------------------------

bool PictureSize(const QString& path, int& width, int& height)
{
    if (!QFileInfo(path).isFile())
        return false;
    if (!IsMetafilePath(path)) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        if (PlatformCanRead(reader)) {
            QSize size = UprightSize(reader);
            if (!size.isValid()) {
                const QImage image = reader.read();
                size = image.size();
            }
            if (size.width() > 0 && size.height() > 0) {
                width = size.width();
                height = size.height();
                return true;
            }
        }
    }
    const QString extension = PictureExtension(path);
    if (extension.isNull())
        return false;
    int w = 0;
    int h = 0;
    if (!CxImage::Ping(path, FormatFromExtension(extension.toLower()), w, h))
        return false;
    width = w;
    height = h;
    return true;
}

bool LoadRgbBottomUp(const QString& path, std::uint8_t* buffer, int width, int height)
{
    if (!buffer || width <= 0 || height <= 0)
        return false;
    OpenedPicture opened;
    if (!OpenPicture(path, QSize(width, height), opened))
        return false;
    const std::size_t stride = std::size_t(width) * 3;
    if (opened.decoder == PictureDecoder::Platform) {
        QImage source = opened.platform;
        if (source.size() != QSize(width, height))
            source = source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage canvas(width, height, QImage::Format_RGB32);
        if (source.isNull() || canvas.isNull())
            return false;
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.drawImage(0, 0, source);
        painter.end();
        const QImage rgb = canvas.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull())
            return false;
        for (int r = 0; r < height; ++r)
            std::memcpy(buffer + stride * std::size_t(r), rgb.constScanLine(height - 1 - r), stride);
        return true;
    }
    CxImage* image = opened.library.Image();
    if (!image->Resample(width, height, 1))
        return false;
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = image->GetBits(std::uint32_t(r));
        std::uint8_t* out = buffer + stride * std::size_t(r);
        for (int x = 0; x < width; ++x) {
            out[x * 3 + 0] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3 + 0];
        }
    }
    return true;
}

bool LoadBgrTopDown(const QString& path, std::uint8_t* buffer, int width, int height)
{
    if (!buffer || width <= 0 || height <= 0)
        return false;
    OpenedPicture opened;
    if (!OpenPicture(path, QSize(width, height), opened))
        return false;
    const std::size_t stride = std::size_t(width) * 3;
    if (opened.decoder == PictureDecoder::Platform) {
        const QImage bgr = OpaqueBgr(opened.platform);
        const int rounded = bgr.width() & ~3;
        if (bgr.isNull() || rounded == 0)
            return false;
        // A width that is a multiple of 4 gives packed rows.
        const QImage area = rounded == bgr.width() ? bgr : bgr.copy(0, 0, rounded, bgr.height());
        if (area.isNull() || area.bytesPerLine() != qsizetype(rounded) * 3)
            return false;
        ScaleBilinear(area.constBits(), rounded, area.height(), buffer, width, height, 3, false);
        return true;
    }
    CxImage* image = opened.library.Image();
    if (!image->Resample(width, height, 1))
        return false;
    for (int i = 0; i < height; ++i)
        std::memcpy(buffer + stride * std::size_t(height - 1 - i), image->GetBits(std::uint32_t(i)), stride);
    return true;
}

QImage LoadBgrPicture(const QString& path, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    OpenedPicture opened;
    if (!OpenPicture(path, QSize(width, height), opened))
        return {};
    if (opened.decoder == PictureDecoder::Platform) {
        QImage bgr = OpaqueBgr(std::move(opened.platform));
        const int rounded = bgr.width() & ~3;
        if (bgr.isNull() || rounded == 0)
            return {};
        // The decoded picture is the result when it already has the size.
        if (rounded == bgr.width() && bgr.size() == QSize(width, height))
            return bgr;
        const QImage area = rounded == bgr.width() ? bgr : bgr.copy(0, 0, rounded, bgr.height());
        bgr = QImage();
        if (area.isNull() || area.bytesPerLine() != qsizetype(rounded) * 3)
            return {};
        QImage out(width, height, QImage::Format_BGR888);
        if (out.isNull())
            return {};
        const std::size_t stride = std::size_t(width) * 3;
        if (out.bytesPerLine() == qsizetype(stride)) {
            ScaleBilinear(area.constBits(), rounded, area.height(), out.bits(), width, height, 3, false);
            return out;
        }
        auto packed = Bytes(stride * std::size_t(height));
        if (!packed)
            return {};
        ScaleBilinear(area.constBits(), rounded, area.height(), packed.get(), width, height, 3, false);
        for (int y = 0; y < height; ++y)
            std::memcpy(out.scanLine(y), packed.get() + stride * std::size_t(y), stride);
        return out;
    }
    CxImage* image = opened.library.Image();
    if ((int(image->GetWidth()) != width || int(image->GetHeight()) != height) && !image->Resample(width, height, 1))
        return {};
    QImage out(width, height, QImage::Format_BGR888);
    if (out.isNull())
        return {};
    const std::size_t stride = std::size_t(width) * 3;
    for (int i = 0; i < height; ++i)
        std::memcpy(out.scanLine(height - 1 - i), image->GetBits(std::uint32_t(i)), stride);
    return out;
}

bool LoadForEditing(const QString& path, EditingPicture& picture)
{
    picture = EditingPicture();
    if (!QFileInfo(path).isFile())
        return false;
    // The platform's picture when it is small enough; its size is known before decoding.
    QImage platform;
    {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const bool readable = PlatformCanRead(reader);
        const QSize size = readable ? UprightSize(reader) : QSize();
        if (readable && (!size.isValid() || std::int64_t(size.width()) * size.height() <= kEditingPixelLimit)) {
            platform = ReadWithPlatform(path);
            if (std::int64_t(platform.width()) * platform.height() > kEditingPixelLimit)
                platform = QImage();
        }
    }
    if (!platform.isNull()) {
        const QImage bgr = OpaqueBgr(platform);
        const int rounded = bgr.width() & ~3;
        if (bgr.isNull() || rounded == 0)
            return false;
        const std::size_t stride = std::size_t(rounded) * 3;
        picture.pixels = Bytes(stride * std::size_t(bgr.height()));
        if (!picture.pixels)
            return false;
        for (int y = 0; y < bgr.height(); ++y)
            std::memcpy(picture.pixels.get() + stride * std::size_t(y), bgr.constScanLine(y), stride);
        picture.width = rounded;
        picture.height = bgr.height();
        picture.decodedWidth = rounded;
        picture.decodedHeight = bgr.height();
        picture.decoder = PictureDecoder::Platform;
    } else {
        // The library; a large JPEG may be decoded at a reduced size no smaller than the fit.
        const QString extension = PictureExtension(path);
        if (extension.isNull())
            return false;
        QSize hint;
        int storedWidth = 0;
        int storedHeight = 0;
        if (CxImage::Ping(path, FormatFromExtension(extension.toLower()), storedWidth, storedHeight)
            && std::int64_t(storedWidth) * storedHeight > kEditingPixelLimit)
            hint = EditingFit(storedWidth, storedHeight);
        PictureLoader loader;
        if (!loader.Load(path, hint.width(), hint.height()))
            return false;
        CxImage* image = loader.Image();
        const int w = int(image->GetOriginalWidth());
        const int h = int(image->GetOriginalHeight());
        picture.decodedWidth = w;
        picture.decodedHeight = h;
        picture.decoder = PictureDecoder::Library;
        picture.formatCode = image->GetType();
        if (std::int64_t(w) * h > kEditingPixelLimit) {
            const QSize fit = EditingFit(w, h);
            if (!image->Resample(fit.width(), fit.height(), 1))
                return false;
        } else if (int(image->GetWidth()) != w || int(image->GetHeight()) != h) {
            if (!image->Resample(w, h, 1))
                return false;
        }
        const int rows = int(image->GetHeight());
        const int rounded = int(image->GetWidth()) & ~3;
        if (rounded == 0)
            return false;
        const std::size_t stride = std::size_t(rounded) * 3;
        picture.pixels = Bytes(stride * std::size_t(rows));
        if (!picture.pixels)
            return false;
        for (int i = 0; i < rows; ++i)
            std::memcpy(picture.pixels.get() + stride * std::size_t(rows - 1 - i), image->GetBits(std::uint32_t(i)), stride);
        picture.width = rounded;
        picture.height = rows;
    }
    picture.display = QImage(picture.pixels.get(), picture.width, picture.height, picture.width * 3,
                             QImage::Format_BGR888)
                          .copy();
    return !picture.display.isNull();
}

std::vector<std::uint8_t> MakeThumbnail(const QString& path)
{
    std::uint8_t buffer[kThumbnailSide * kThumbnailSide * 3] = {};
    if (!LoadRgbBottomUp(path, buffer, kThumbnailSide, kThumbnailSide))
        return {};
    return EncodeJpeg(buffer, kThumbnailSide, kThumbnailSide, kThumbnailQuality, true);
}

QImage DecodeThumbnail(const std::uint8_t* bytes, std::size_t count, int quarterTurns)
{
    if (!bytes || count == 0 || count > std::size_t(INT32_MAX))
        return {};
    // A thumbnail is a small JPEG, but a library file may claim anything: the size comes
    // from the markers first, a larger picture is decoded reduced to the thumbnail's side
    // (the grid scales it to its cell anyway), and the cost of the decode and of the
    // turned copy must fit the picture budget.
    budget::JpegLayout layout;
    if (!budget::ReadJpegLayout(bytes, std::min(count, budget::kJpegHeadBytes), layout))
        return {};
    const QSize stored(layout.width, layout.height);
    QSize decoded = stored;
    if (stored.width() > kThumbnailSide || stored.height() > kThumbnailSide)
        decoded = stored.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (!budget::DecodeFits(stored, decoded, 2 * budget::kPlatformBytesPerPixel, layout.WorkingBytes()))
        return {};
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(count));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, "JPEG");
    if (decoded != stored)
        reader.setScaledSize(decoded);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    image = image.mirrored(false, true);
    if (quarterTurns >= 1 && quarterTurns <= 3)
        image = image.transformed(QTransform().rotate(90.0 * quarterTurns));
    return image;
}

void DrawThumbnail(const std::uint8_t* bytes, std::size_t count, int quarterTurns, QPainter& painter,
                   const QRect& rectangle)
{
    const QImage image = DecodeThumbnail(bytes, count, quarterTurns);
    if (image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rectangle, image);
    painter.restore();
}

bool InspectPicture(const QString& path, PictureInfo& info)
{
    info = PictureInfo();
    const QString extension = PictureExtension(path);
    info.formatCode = extension.isNull() ? cx::kFormatUnknown : FormatFromExtension(extension.toLower());
    if (!QFileInfo(path).isFile())
        return false;
    if (!IsMetafilePath(path)) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        if (PlatformCanRead(reader)) {
            QSize size = UprightSize(reader);
            if (!size.isValid())
                size = reader.read().size();
            if (size.width() > 0 && size.height() > 0) {
                info.decoder = PictureDecoder::Platform;
                info.platformFormat = reader.format();
                info.width = size.width();
                info.height = size.height();
                return true;
            }
        }
    }
    info.decoder = PictureDecoder::Library;
    if (IsMetafilePath(path)) {
        // A metafile's size is in its header: it is not drawn to learn it.
        std::uint32_t type = cx::kFormatUnknown;
        if (!CxImage::Ping(path, info.formatCode, info.width, info.height, &type))
            return false;
        info.formatCode = type;
        return true;
    }
    PictureLoader loader;
    if (!loader.Load(path))
        return false;
    info.formatCode = loader.Image()->GetType();
    info.width = int(loader.Image()->GetWidth());
    info.height = int(loader.Image()->GetHeight());
    return true;
}
