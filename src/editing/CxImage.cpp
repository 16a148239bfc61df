// The picture library facade. This is the one file that includes the codec library's
// headers: they define many global macros. Every call into the library is wrapped so
// that its exceptions end here and come out as results.

#include "editing/CxImage.h"

#include "base/DataFolder.h"
#include "base/PictureBudget.h"
#include "editing/CxImagePixels.h"
#include "editing/EmfDecoder.h"
#include "editing/MetafileCoverage.h"
#include "editing/StoredPixelData.h"

#include <QByteArray>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

#include <Magick++.h>
#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>

namespace {

using Pixels = CxImage::Pixels;

// The library's own limits are the picture budget: its pixel cache, its memory maps and
// the pixels it holds in memory. No disk cache.
constexpr auto kMemoryLimit = MagickCore::MagickSizeType(budget::kPictureBudget);
constexpr auto kAreaLimit = MagickCore::MagickSizeType(budget::kPictureBudget / 8);
constexpr qint64 kLargestFile = qint64(1) << 30;

std::mutex libraryMutex;
bool libraryStarted = false;
bool policyActive = false;

// The coder that reads each format code (0: the library recognises the content).
const char* ReaderName(std::uint32_t type)
{
    switch (type) {
    case cx::kFormatBmp: return "BMP";
    case cx::kFormatGif: return "GIF";
    case cx::kFormatJpg: return "JPEG";
    case cx::kFormatPng: return "PNG";
    case cx::kFormatIco: return "ICO";
    case cx::kFormatTif: return "TIFF";
    case cx::kFormatTga: return "TGA";
    case cx::kFormatPcx: return "PCX";
    case cx::kFormatWbmp: return "WBMP";
    case cx::kFormatWmf: return "WMF";
    case cx::kFormatJp2: return "JP2";
    case cx::kFormatJpc: return "JPC";
    case cx::kFormatPgx: return "PGX";
    case cx::kFormatPnm: return "PNM";
    case cx::kFormatRas: return "SUN";
    default: return nullptr;
    }
}

// The coder that writes each format code; null for formats the library cannot write.
const char* WriterName(std::uint32_t type, bool alpha)
{
    switch (type) {
    case cx::kFormatBmp: return alpha ? "BMP" : "BMP3";
    case cx::kFormatJpc: return "J2K";
    case cx::kFormatWmf: return nullptr;
    default: return ReaderName(type);
    }
}

std::uint32_t CodeOfCoder(const std::string& name)
{
    static const struct {
        const char* coder;
        std::uint32_t code;
    } kCoders[] = {
        {"BMP", cx::kFormatBmp},   {"BMP2", cx::kFormatBmp},  {"BMP3", cx::kFormatBmp},  {"DIB", cx::kFormatBmp},
        {"GIF", cx::kFormatGif},   {"GIF87", cx::kFormatGif}, {"JPEG", cx::kFormatJpg},  {"JPG", cx::kFormatJpg},
        {"PNG", cx::kFormatPng},   {"PNG8", cx::kFormatPng},  {"PNG24", cx::kFormatPng}, {"PNG32", cx::kFormatPng},
        {"PNG48", cx::kFormatPng}, {"PNG64", cx::kFormatPng}, {"PNG00", cx::kFormatPng}, {"ICO", cx::kFormatIco},
        {"ICON", cx::kFormatIco},  {"TIFF", cx::kFormatTif},  {"TIF", cx::kFormatTif},   {"TIFF64", cx::kFormatTif},
        {"TGA", cx::kFormatTga},   {"ICB", cx::kFormatTga},   {"VDA", cx::kFormatTga},   {"VST", cx::kFormatTga},
        {"PCX", cx::kFormatPcx},   {"WBMP", cx::kFormatWbmp}, {"WMF", cx::kFormatWmf},   {"JP2", cx::kFormatJp2},
        {"JPT", cx::kFormatJp2},   {"J2K", cx::kFormatJpc},   {"J2C", cx::kFormatJpc},   {"JPC", cx::kFormatJpc},
        {"PGX", cx::kFormatPgx},   {"PNM", cx::kFormatPnm},   {"PBM", cx::kFormatPnm},   {"PGM", cx::kFormatPnm},
        {"PPM", cx::kFormatPnm},   {"PAM", cx::kFormatPnm},   {"SUN", cx::kFormatRas},   {"RAS", cx::kFormatRas},
    };
    for (const auto& entry : kCoders) {
        if (name == entry.coder)
            return entry.code;
    }
    return cx::kFormatUnknown;
}

// Coders whose orientation is for the program to apply: JPEG's and TIFF's camera tag, and
// the origin corner of a TGA, whose rows the coder hands over in stored order.
bool ReportsOrientation(std::uint32_t code)
{
    return code == cx::kFormatJpg || code == cx::kFormatTif || code == cx::kFormatTga;
}

// The program's policy, embedded in the program, written where the library finds it
// first. Returns the folder, or empty when it could not be written.
QString WritePolicyFolder()
{
    QFile embedded(QStringLiteral(":/editing/magick/policy.xml"));
    if (!embedded.open(QIODevice::ReadOnly))
        return {};
    const QByteArray policy = embedded.readAll();
    const QString folder = DataFolder() + QStringLiteral("ImageLibrary/");
    if (!QDir().mkpath(folder))
        return {};
    const QString path = folder + QStringLiteral("policy.xml");
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == policy)
        return folder;
    existing.close();
    // Several programs may start at once: each writes a whole file and renames it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(policy) != policy.size() || !file.commit())
        return {};
    return folder;
}

bool ReadWholeFile(const QString& path, QByteArray& bytes)
{
    // A pipe or a device would block the read or never end.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size <= 0 || size > kLargestFile)
        return false;
    bytes = file.readAll();
    return bytes.size() == size;
}

// A headerless bitmap in memory: a BITMAPINFOHEADER-sized block, not a "BM" file.
bool LooksLikeDib(const std::uint8_t* data, std::size_t size)
{
    if (size < 40 || (data[0] == 'B' && data[1] == 'M'))
        return false;
    const std::uint32_t headerSize = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8
        | std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
    return headerSize == 40 || headerSize == 108 || headerSize == 124;
}

std::int32_t ReadI32(const std::uint8_t* p)
{
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                        | std::uint32_t(p[3]) << 24);
}

// The 24-bit uncompressed bitmap of the canvas hand-off, copied straight in. Rows may be
// packed (width * 3 bytes) or padded to 4 bytes; a negative height means top row first.
std::unique_ptr<Pixels> DecodePlainDib(const std::uint8_t* data, std::size_t size, bool& handled)
{
    handled = false;
    const std::int32_t headerSize = ReadI32(data);
    const std::int32_t width = ReadI32(data + 4);
    const std::int32_t height = ReadI32(data + 8);
    const int planes = data[12] | data[13] << 8;
    const int bits = data[14] | data[15] << 8;
    const std::int32_t compression = ReadI32(data + 16);
    if (headerSize != 40 || planes != 1 || bits != 24 || compression != 0)
        return nullptr; // another kind of bitmap: the library reads it
    handled = true;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return nullptr;
    const int rows = height < 0 ? -height : height;
    const std::uint64_t packed = std::uint64_t(width) * 3;
    const std::uint64_t padded = (packed + 3) & ~std::uint64_t(3);
    const std::uint64_t available = size - 40;
    std::uint64_t stride = 0;
    if (available >= padded * std::uint64_t(rows))
        stride = padded;
    else if (available >= packed * std::uint64_t(rows))
        stride = packed;
    else
        return nullptr; // fewer pixel bytes than the header promises
    auto pixels = Pixels::Allocate(width, rows, false);
    if (!pixels)
        return nullptr;
    const std::uint8_t* bits0 = data + 40;
    for (int r = 0; r < rows; ++r) {
        // Stored bottom-up (positive height) exactly as kept here.
        const int source = height > 0 ? r : rows - 1 - r;
        std::memcpy(pixels->Row(r), bits0 + stride * std::uint64_t(source), packed);
    }
    return pixels;
}

// Pixels from a Qt picture (top row first).
std::unique_ptr<Pixels> PixelsFromImage(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    const bool alpha = image.hasAlphaChannel();
    const QImage source = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (source.isNull())
        return nullptr;
    auto pixels = Pixels::Allocate(source.width(), source.height(), alpha);
    if (!pixels)
        return nullptr;
    const int w = source.width();
    const int h = source.height();
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        std::uint8_t* out = pixels->Row(h - 1 - y);
        std::uint8_t* outAlpha = alpha ? pixels->alpha.get() + std::size_t(h - 1 - y) * std::size_t(w) : nullptr;
        for (int x = 0; x < w; ++x) {
            out[std::size_t(x) * 3 + 0] = std::uint8_t(qBlue(in[x]));
            out[std::size_t(x) * 3 + 1] = std::uint8_t(qGreen(in[x]));
            out[std::size_t(x) * 3 + 2] = std::uint8_t(qRed(in[x]));
            if (outAlpha)
                outAlpha[x] = std::uint8_t(qAlpha(in[x]));
        }
    }
    return pixels;
}

QImage ImageFromPixels(const Pixels& pixels)
{
    const bool alpha = pixels.alpha != nullptr;
    QImage image(pixels.width, pixels.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int w = pixels.width;
    const int h = pixels.height;
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint8_t* in = pixels.Row(h - 1 - y);
        const std::uint8_t* inAlpha = alpha ? pixels.alpha.get() + std::size_t(h - 1 - y) * std::size_t(w) : nullptr;
        for (int x = 0; x < w; ++x)
            out[x] = qRgba(in[std::size_t(x) * 3 + 2], in[std::size_t(x) * 3 + 1], in[std::size_t(x) * 3],
                           inAlpha ? inAlpha[x] : 255);
    }
    return image;
}

// Converts pixels described by an embedded colour profile to sRGB. Profiles Qt cannot
// use (CMYK, grey, broken ones) leave the pixels as they are.
void ConvertProfileToSrgb(Pixels& pixels, const QByteArray& profile)
{
    if (profile.isEmpty())
        return;
    const QColorSpace space = QColorSpace::fromIccProfile(profile);
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return;
    QImage image = ImageFromPixels(pixels);
    if (image.isNull())
        return;
    image.setColorSpace(space);
    image.convertToColorSpace(QColorSpace::SRgb);
    auto converted = PixelsFromImage(image);
    if (converted && converted->width == pixels.width && converted->height == pixels.height) {
        pixels.bgr = std::move(converted->bgr);
        if (pixels.alpha && converted->alpha)
            pixels.alpha = std::move(converted->alpha);
    }
}

// A Magick image of the pixels (top row first), or false.
bool ToMagick(const Pixels& pixels, Magick::Image& image)
{
    const bool alpha = pixels.alpha != nullptr;
    const std::size_t channels = alpha ? 4 : 3;
    const std::size_t w = std::size_t(pixels.width);
    const std::size_t h = std::size_t(pixels.height);
    auto topDown = AllocateBytes(w * h * channels);
    if (!topDown)
        return false;
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* in = pixels.Row(int(h - 1 - y));
        std::uint8_t* out = topDown.get() + y * w * channels;
        if (!alpha) {
            std::memcpy(out, in, w * 3);
            continue;
        }
        const std::uint8_t* inAlpha = pixels.alpha.get() + (h - 1 - y) * w;
        for (std::size_t x = 0; x < w; ++x) {
            out[x * 4 + 0] = in[x * 3 + 0];
            out[x * 4 + 1] = in[x * 3 + 1];
            out[x * 4 + 2] = in[x * 3 + 2];
            out[x * 4 + 3] = inAlpha[x];
        }
    }
    try {
        image.quiet(true);
        image.read(w, h, alpha ? "BGRA" : "BGR", Magick::CharPixel, topDown.get());
        image.depth(8);
        return image.isValid();
    } catch (...) {
        return false;
    }
}

// The Magick image's pixels, bottom row first; may throw (callers catch).
std::unique_ptr<Pixels> FromMagick(Magick::Image& image)
{
    const int w = int(image.columns());
    const int h = int(image.rows());
    const bool alpha = image.matte();
    auto pixels = Pixels::Allocate(w, h, alpha);
    if (!pixels)
        return nullptr;
    for (int y = 0; y < h; ++y) {
        image.write(0, ssize_t(y), std::size_t(w), 1, "BGR", Magick::CharPixel, pixels->Row(h - 1 - y));
        if (alpha)
            image.write(0, ssize_t(y), std::size_t(w), 1, "A", Magick::CharPixel,
                        pixels->alpha.get() + std::size_t(h - 1 - y) * std::size_t(w));
    }
    return pixels;
}

struct Decoded {
    std::unique_ptr<Pixels> pixels;
    std::uint32_t type = cx::kFormatUnknown;
    int originalWidth = 0; // upright
    int originalHeight = 0;
};

bool DecodeMetafile(const std::uint8_t* data, std::size_t size, Decoded& out)
{
    // The size comes from the header; the budget is checked before anything is drawn.
    int width = 0;
    int height = 0;
    if (!EnhancedMetafileSize(data, size, width, height)
        || !budget::DecodeFits(QSize(width, height), QSize(width, height), budget::kMetafileBytesPerPixel))
        return false;
    const QImage picture = RenderEnhancedMetafile(data, size);
    out.pixels = PixelsFromImage(picture);
    if (!out.pixels)
        return false;
    out.type = cx::kFormatWmf;
    out.originalWidth = out.pixels->width;
    out.originalHeight = out.pixels->height;
    return true;
}

// The deadline of one decode. The library reports its progress row by row; once the
// deadline has passed the answer is "stop", the coder ends early and the decode counts
// as failed.
class DecodeClock {
public:
    DecodeClock()
        : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(budget::kDecodeSeconds))
    {
    }
    void Watch(Magick::Image& image) { MagickCore::SetImageInfoProgressMonitor(image.imageInfo(), &Progress, this); }
    bool Expired() const { return expired_.load(); }

private:
    static MagickCore::MagickBooleanType Progress(const char*, const MagickCore::MagickOffsetType,
                                                  const MagickCore::MagickSizeType, void* data)
    {
        auto* clock = static_cast<DecodeClock*>(data);
        if (std::chrono::steady_clock::now() < clock->deadline_ && !clock->expired_.load())
            return MagickCore::MagickTrue;
        clock->expired_.store(true);
        return MagickCore::MagickFalse;
    }

    std::chrono::steady_clock::time_point deadline_;
    std::atomic<bool> expired_{false};
};

// The density a Windows metafile is drawn at: 96 dots an inch.
constexpr double kMetafileDensity = 96.0;
// The library's metafile renderer fills every shape it draws pixel by pixel, about ten
// million pixels a second, and cannot be stopped inside a shape: a metafile of a few
// records, each covering a large picture, would draw for tens of seconds. The drawing is
// held to this many pixels, each drawing record counted over the part of the picture its
// box covers (editing/MetafileCoverage.h): a metafile that would draw more is drawn at a
// lower density (smaller, the same shapes).
constexpr double kMetafileDrawnPixels = 8.0 * 1024 * 1024;

// The options every read of a blob gets: coder, first frame only, metafile density.
void PrepareRead(Magick::Image& image, std::uint32_t type, double metafileDensity = kMetafileDensity)
{
    image.quiet(true);
    if (const char* coder = ReaderName(type))
        image.magick(coder);
    image.subImage(0);
    image.subRange(1);
    if (type == cx::kFormatWmf)
        image.density(Magick::Geometry(std::size_t(metafileDensity), std::size_t(metafileDensity)));
}

// The density a Windows metafile is drawn at: 96, or lower so that its drawing records'
// coverage times its picture stay within kMetafileDrawnPixels (a metafile beyond the picture
// budget at 96 is left to the budget's refusal). Throws what the library throws.
double WindowsMetafileDensity(const Magick::Blob& blob, const std::uint8_t* data, std::size_t size,
                              DecodeClock& clock)
{
    Magick::Image probe;
    PrepareRead(probe, cx::kFormatWmf);
    clock.Watch(probe);
    probe.ping(blob);
    // A metafile beyond the picture budget at its own density is refused, not shrunk.
    const QSize natural(int(std::min<std::size_t>(probe.columns(), 0x7FFFFFFF)),
                        int(std::min<std::size_t>(probe.rows(), 0x7FFFFFFF)));
    if (!budget::DecodeFits(natural, natural, budget::kLibraryBytesPerPixel))
        return kMetafileDensity;
    const double area = double(natural.width()) * double(natural.height());
    const double work = area * metafile::WindowsMetafileCoverage(data, size);
    if (work <= kMetafileDrawnPixels)
        return kMetafileDensity;
    // The picture's sides scale with the density, its area with its square.
    return std::max(1.0, std::floor(kMetafileDensity * std::sqrt(kMetafileDrawnPixels / work)));
}

// What a library decode will cost, from its header: the stored size as the coder's ping
// reports it (a JPEG's from its markers, with the coefficient buffers of a multi-scan
// file) and the size it will be decoded at. Throws what the library throws.
bool LibraryDecodeFits(const Magick::Blob& blob, std::uint32_t type, const budget::JpegLayout* jpeg,
                       QSize reduced, DecodeClock& clock, double metafileDensity)
{
    QSize stored;
    std::int64_t working = 0;
    if (jpeg) {
        stored = QSize(jpeg->width, jpeg->height);
        working = jpeg->WorkingBytes();
    } else {
        Magick::Image probe;
        PrepareRead(probe, type, metafileDensity);
        clock.Watch(probe);
        probe.ping(blob);
        if (clock.Expired() || probe.columns() == 0 || probe.rows() == 0 || probe.columns() > 0x7FFFFFFF
            || probe.rows() > 0x7FFFFFFF)
            return false;
        stored = QSize(int(probe.columns()), int(probe.rows()));
    }
    const QSize decoded = reduced.isValid() ? reduced : stored;
    return budget::DecodeFits(stored, decoded, budget::kLibraryBytesPerPixel, working);
}

// The size a JPEG DCT-scaled decode gives for a hint: the smallest of 1/1..1/8 in
// eighths that is still at least the hint (the coder's own rule).
QSize ReducedJpegSize(int width, int height, int hintWidth, int hintHeight)
{
    for (int eighths = 1; eighths <= 8; ++eighths) {
        const int w = int((std::int64_t(width) * eighths + 7) / 8);
        const int h = int((std::int64_t(height) * eighths + 7) / 8);
        if (w >= hintWidth && h >= hintHeight)
            return QSize(w, h);
    }
    return QSize(width, height);
}

bool DecodeWithLibrary(const std::uint8_t* data, std::size_t size, std::uint32_t type, int minWidth,
                       int minHeight, Decoded& out)
{
    if (!StartImageLibrary())
        return false;
    // JPEG: the stored size and orientation come from the markers; a reduced-size
    // decode asks the codec for DCT scaling down to no less than the minimum.
    JpegHeader jpeg;
    const bool isJpeg = (type == cx::kFormatJpg || type == cx::kFormatUnknown) && ReadJpegHeader(data, size, jpeg);
    budget::JpegLayout layout;
    const bool haveLayout = isJpeg && budget::ReadJpegLayout(data, size, layout);
    try {
        Magick::Blob blob(data, size);
        DecodeClock clock;
        QSize reduced;
        std::string sizeHint;
        if (isJpeg && minWidth > 0 && minHeight > 0) {
            const bool swap = cxpixels::SwapsAxes(jpeg.orientation);
            const int hintWidth = swap ? minHeight : minWidth;
            const int hintHeight = swap ? minWidth : minHeight;
            if (hintWidth < jpeg.width && hintHeight < jpeg.height) {
                sizeHint = std::to_string(hintWidth) + "x" + std::to_string(hintHeight);
                reduced = ReducedJpegSize(jpeg.width, jpeg.height, hintWidth, hintHeight);
            }
        }
        const double metafileDensity =
            type == cx::kFormatWmf ? WindowsMetafileDensity(blob, data, size, clock) : kMetafileDensity;
        if (!LibraryDecodeFits(blob, type, haveLayout ? &layout : nullptr, reduced, clock, metafileDensity))
            return false;
        std::unique_ptr<Pixels> stored;
        int orientation = 1;
        std::uint32_t decodedType = cx::kFormatUnknown;
        QByteArray profile;
        {
            Magick::Image image;
            PrepareRead(image, type, metafileDensity);
            if (!sizeHint.empty())
                image.defineValue("jpeg", "size", sizeHint);
            clock.Watch(image);
            image.read(blob);
            if (clock.Expired() || !image.isValid() || image.columns() == 0 || image.rows() == 0)
                return false;
            // What the coder made must be what its header promised.
            if (!budget::DecodeFits(QSize(int(std::min<std::size_t>(image.columns(), 0x7FFFFFFF)),
                                          int(std::min<std::size_t>(image.rows(), 0x7FFFFFFF))),
                                    QSize(1, 1), 0))
                return false;
            decodedType = CodeOfCoder(image.magick());
            // The camera's orientation tag of JPEG and TIFF tells viewers how to turn the
            // picture, and a TGA's origin bits tell which corner its rows start from (the
            // coder hands them over in stored order); other coders apply their row order.
            orientation = ReportsOrientation(decodedType) ? int(image.orientation()) : 1;
            const Magick::ColorspaceType space = image.colorSpace();
            const bool rgb = space == Magick::sRGBColorspace || space == Magick::RGBColorspace
                || space == Magick::GRAYColorspace || space == Magick::TransparentColorspace
                || space == Magick::UndefinedColorspace;
            if (rgb) {
                const Magick::Blob icc = image.iccColorProfile();
                if (icc.length() > 0)
                    profile = QByteArray(static_cast<const char*>(icc.data()), qsizetype(icc.length()));
            } else {
                image.colorSpace(Magick::sRGBColorspace);
            }
            stored = FromMagick(image);
            // The library's pixel cache goes here, before the copies below.
        }
        if (!stored)
            return false;
        const int storedWidth = isJpeg ? jpeg.width : stored->width;
        const int storedHeight = isJpeg ? jpeg.height : stored->height;
        if (orientation >= 2 && orientation <= 8) {
            stored = cxpixels::Orient(*stored, orientation);
            if (!stored)
                return false;
        }
        ConvertProfileToSrgb(*stored, profile);
        const bool swap = cxpixels::SwapsAxes(orientation);
        out.originalWidth = swap ? storedHeight : storedWidth;
        out.originalHeight = swap ? storedWidth : storedHeight;
        out.pixels = std::move(stored);
        out.type = type != cx::kFormatUnknown ? type : decodedType;
        return true;
    } catch (...) {
        return false;
    }
}

// A Windows metafile: the placeable header's key, or a plain header (memory or disk
// type, 9-word header, version 1 or 3).
bool IsWindowsMetafile(const std::uint8_t* data, std::size_t size)
{
    if (size >= 22 && data[0] == 0xD7 && data[1] == 0xCD && data[2] == 0xC6 && data[3] == 0x9A)
        return true;
    return size >= 18 && (data[0] == 1 || data[0] == 2) && data[1] == 0 && data[2] == 9 && data[3] == 0
        && data[4] == 0 && (data[5] == 1 || data[5] == 3);
}

bool DecodeBytes(const std::uint8_t* data, std::size_t size, std::uint32_t type, int minWidth, int minHeight,
                 Decoded& out)
{
    if (!data || size == 0 || type >= cx::kFormatCount)
        return false;
    // A file shorter than the pixels its header claims is not read at all: the library
    // would take and clear its whole pixel cache first.
    if (!storedpixels::HoldsClaimedPixels(data, size, type))
        return false;
    if ((type == cx::kFormatWmf || type == cx::kFormatUnknown) && IsEnhancedMetafile(data, size))
        return DecodeMetafile(data, size, out);
    // Code 10 holds both metafiles; anything else under it is not handed to the coder.
    if (type == cx::kFormatWmf && !IsWindowsMetafile(data, size))
        return false;
    if (type == cx::kFormatBmp && LooksLikeDib(data, size)) {
        bool handled = false;
        out.pixels = DecodePlainDib(data, size, handled);
        if (handled) {
            if (!out.pixels)
                return false;
            out.type = cx::kFormatBmp;
            out.originalWidth = out.pixels->width;
            out.originalHeight = out.pixels->height;
            return true;
        }
        // A bitmap of another depth or compression: the library's headerless reader.
        try {
            if (!StartImageLibrary())
                return false;
            Magick::Blob blob(data, size);
            DecodeClock clock;
            Magick::Image image;
            image.quiet(true);
            image.magick("DIB");
            clock.Watch(image);
            image.ping(blob);
            const QSize stored(int(std::min<std::size_t>(image.columns(), 0x7FFFFFFF)),
                               int(std::min<std::size_t>(image.rows(), 0x7FFFFFFF)));
            if (clock.Expired() || !budget::DecodeFits(stored, stored, budget::kLibraryBytesPerPixel))
                return false;
            image = Magick::Image();
            image.quiet(true);
            image.magick("DIB");
            clock.Watch(image);
            image.read(blob);
            if (clock.Expired())
                return false;
            out.pixels = FromMagick(image);
            if (!out.pixels)
                return false;
            out.type = cx::kFormatBmp;
            out.originalWidth = out.pixels->width;
            out.originalHeight = out.pixels->height;
            return true;
        } catch (...) {
            return false;
        }
    }
    return DecodeWithLibrary(data, size, type, minWidth, minHeight, out);
}

} // namespace

bool StartImageLibrary()
{
    std::lock_guard<std::mutex> lock(libraryMutex);
    if (libraryStarted)
        return true;
    // The library reads its policy while it starts and keeps it; the configuration path
    // is ours only for that moment, so that programs started later (and their children)
    // see the environment as it was.
    const QString folder = WritePolicyFolder();
    const bool hadPath = qEnvironmentVariableIsSet("MAGICK_CONFIGURE_PATH");
    const QByteArray previous = qgetenv("MAGICK_CONFIGURE_PATH");
    if (!folder.isEmpty()) {
        QByteArray path = QFile::encodeName(QDir::toNativeSeparators(folder));
        if (!previous.isEmpty())
            path += ':' + previous;
        qputenv("MAGICK_CONFIGURE_PATH", path);
    }
    struct RestorePath {
        bool had;
        const QByteArray& value;
        ~RestorePath()
        {
            if (had)
                qputenv("MAGICK_CONFIGURE_PATH", value);
            else
                qunsetenv("MAGICK_CONFIGURE_PATH");
        }
    } restore{hadPath, previous};
    try {
        Magick::InitializeMagick(nullptr);
        // The policy caps these; setting them here keeps them when the policy is missing.
        Magick::ResourceLimits::memory(kMemoryLimit);
        Magick::ResourceLimits::map(kMemoryLimit);
        Magick::ResourceLimits::area(kAreaLimit);
        Magick::ResourceLimits::disk(0);
        Magick::ResourceLimits::thread(1);
        // No time resource: the library counts it from its first pixel cache of the
        // process and ends the whole process when it runs out. Each decode has its own
        // deadline instead (DecodeClock).
    } catch (...) {
        return false;
    }
    policyActive = MagickCore::GetMagickResourceLimit(MagickCore::MemoryResource) == kMemoryLimit;
    // The library's TIFF coder installs process-wide libtiff message handlers that write
    // into the exception of its last read, which is gone by then: Qt's TIFF reader, which
    // shares libtiff, would hand them a dead object. Register the coder now and silence
    // libtiff's messages for everyone (both readers check libtiff's results anyway).
    {
        MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
        MagickCore::GetMagickInfo("TIFF", exception);
        MagickCore::DestroyExceptionInfo(exception);
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandlerExt(nullptr);
        TIFFSetWarningHandlerExt(nullptr);
    }
    LoadEmfConverter();
    // The platform decoder's pictures are held to the same budget (in megabytes).
    QImageReader::setAllocationLimit(int(budget::kPictureBudget >> 20));
    libraryStarted = true;
    return true;
}

void StopImageLibrary()
{
    std::lock_guard<std::mutex> lock(libraryMutex);
    if (!libraryStarted)
        return;
    try {
        Magick::TerminateMagick();
    } catch (...) {
    }
    libraryStarted = false;
}

bool ImageLibraryPolicyActive()
{
    std::lock_guard<std::mutex> lock(libraryMutex);
    return libraryStarted && policyActive;
}

// --- CxImage ---------------------------------------------------------------------

CxImage::CxImage() = default;

CxImage::CxImage(const QString& path, std::uint32_t imageType)
{
    Load(path, imageType);
}

CxImage::CxImage(const std::uint8_t* buffer, std::size_t size, std::uint32_t imageType)
{
    Decode(buffer, size, imageType);
}

CxImage::~CxImage() = default;

CxImage::CxImage(const CxImage& other)
    : pixels(other.pixels ? other.pixels->Clone() : nullptr)
    , type(other.type)
    , originalWidth(other.originalWidth)
    , originalHeight(other.originalHeight)
{
}

CxImage& CxImage::operator=(const CxImage& other)
{
    if (this != &other) {
        pixels = other.pixels ? other.pixels->Clone() : nullptr;
        type = other.type;
        originalWidth = other.originalWidth;
        originalHeight = other.originalHeight;
    }
    return *this;
}

bool CxImage::Adopt(std::unique_ptr<Pixels> decoded)
{
    pixels = std::move(decoded);
    if (!pixels) {
        type = cx::kFormatUnknown;
        originalWidth = originalHeight = 0;
        return false;
    }
    originalWidth = std::uint32_t(pixels->width);
    originalHeight = std::uint32_t(pixels->height);
    return true;
}

bool CxImage::Load(const QString& path, std::uint32_t imageType, int minWidth, int minHeight)
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes)) {
        Adopt(nullptr);
        return false;
    }
    return Decode(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), imageType,
                  minWidth, minHeight);
}

bool CxImage::Decode(const std::uint8_t* buffer, std::size_t size, std::uint32_t imageType, int minWidth,
                     int minHeight)
{
    Decoded decoded;
    if (!DecodeBytes(buffer, size, imageType, minWidth, minHeight, decoded)) {
        Adopt(nullptr);
        return false;
    }
    Adopt(std::move(decoded.pixels));
    type = decoded.type;
    originalWidth = std::uint32_t(decoded.originalWidth);
    originalHeight = std::uint32_t(decoded.originalHeight);
    return true;
}

bool CxImage::Ping(const QString& path, std::uint32_t imageType, int& width, int& height, std::uint32_t* contentType)
{
    QByteArray bytes;
    if (imageType >= cx::kFormatCount || !ReadWholeFile(path, bytes))
        return false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::size_t size = std::size_t(bytes.size());
    std::uint32_t found = cx::kFormatUnknown;
    if ((imageType == cx::kFormatWmf || imageType == cx::kFormatUnknown) && IsEnhancedMetafile(data, size)) {
        if (!EnhancedMetafileSize(data, size, width, height))
            return false;
        found = cx::kFormatWmf;
    } else if (imageType == cx::kFormatWmf && !IsWindowsMetafile(data, size)) {
        return false;
    } else if (JpegHeader jpeg;
               (imageType == cx::kFormatJpg || imageType == cx::kFormatUnknown) && ReadJpegHeader(data, size, jpeg)) {
        const bool swap = cxpixels::SwapsAxes(jpeg.orientation);
        width = swap ? jpeg.height : jpeg.width;
        height = swap ? jpeg.width : jpeg.height;
        found = cx::kFormatJpg;
    } else {
        if (!StartImageLibrary())
            return false;
        try {
            Magick::Blob blob(data, size);
            Magick::Image image;
            PrepareRead(image, imageType);
            DecodeClock clock;
            clock.Watch(image);
            image.ping(blob);
            if (clock.Expired() || image.columns() == 0 || image.rows() == 0 || image.columns() > 0x7FFFFFFF
                || image.rows() > 0x7FFFFFFF)
                return false;
            found = CodeOfCoder(image.magick());
            const bool turned = ReportsOrientation(found);
            const bool swap = turned && cxpixels::SwapsAxes(int(image.orientation()));
            width = int(swap ? image.rows() : image.columns());
            height = int(swap ? image.columns() : image.rows());
            if (width <= 0 || height <= 0)
                return false;
        } catch (...) {
            return false;
        }
    }
    if (contentType)
        *contentType = imageType != cx::kFormatUnknown ? imageType : found;
    return true;
}

bool CxImage::Create(int width, int height)
{
    auto created = Pixels::Allocate(width, height, false);
    if (created)
        std::memset(created->bgr.get(), 0, created->Stride() * std::size_t(height));
    type = cx::kFormatUnknown;
    return Adopt(std::move(created));
}

bool CxImage::CreateFromImage(const QImage& image)
{
    type = cx::kFormatUnknown;
    return Adopt(PixelsFromImage(image));
}

QImage CxImage::ToImage() const
{
    return pixels ? ImageFromPixels(*pixels) : QImage();
}

bool CxImage::IsValid() const
{
    return pixels != nullptr;
}

std::uint32_t CxImage::GetType() const
{
    return pixels ? type : cx::kFormatUnknown;
}

std::uint32_t CxImage::GetWidth() const
{
    return pixels ? std::uint32_t(pixels->width) : 0;
}

std::uint32_t CxImage::GetHeight() const
{
    return pixels ? std::uint32_t(pixels->height) : 0;
}

std::uint32_t CxImage::GetOriginalWidth() const
{
    return pixels ? originalWidth : 0;
}

std::uint32_t CxImage::GetOriginalHeight() const
{
    return pixels ? originalHeight : 0;
}

std::uint32_t CxImage::GetEffWidth() const
{
    return pixels ? std::uint32_t(pixels->Stride()) : 0;
}

std::uint8_t* CxImage::GetBits(std::uint32_t row)
{
    if (!pixels || row >= std::uint32_t(pixels->height))
        return nullptr;
    return pixels->Row(int(row));
}

const std::uint8_t* CxImage::GetBits(std::uint32_t row) const
{
    if (!pixels || row >= std::uint32_t(pixels->height))
        return nullptr;
    return pixels->Row(int(row));
}

bool CxImage::AlphaIsValid() const
{
    return pixels && pixels->alpha;
}

std::uint8_t CxImage::AlphaGet(long x, long y) const
{
    if (!AlphaIsValid() || x < 0 || y < 0 || x >= pixels->width || y >= pixels->height)
        return 255;
    return pixels->alpha[std::size_t(y) * std::size_t(pixels->width) + std::size_t(x)];
}

const std::uint8_t* CxImage::AlphaBits() const
{
    return AlphaIsValid() ? pixels->alpha.get() : nullptr;
}

void CxImage::AlphaDelete()
{
    if (pixels)
        pixels->alpha.reset();
}

bool CxImage::Resample(long newWidth, long newHeight, int mode, CxImage* target)
{
    if (!pixels || newWidth <= 0 || newHeight <= 0 || newWidth > 0x7FFFFFFF || newHeight > 0x7FFFFFFF)
        return false;
    if (std::uint64_t(newWidth) * std::uint64_t(newHeight) > kMaxImagePixels)
        return false;
    std::unique_ptr<Pixels> result;
    if (newWidth == pixels->width && newHeight == pixels->height) {
        result = pixels->Clone();
    } else if (mode == 1) {
        result = cxpixels::ResampleFast(*pixels, int(newWidth), int(newHeight));
    } else {
        try {
            Magick::Image image;
            if (!ToMagick(*pixels, image))
                return false;
            image.filterType(mode == 2 ? Magick::LanczosFilter : Magick::TriangleFilter);
            Magick::Geometry size{std::size_t(newWidth), std::size_t(newHeight)};
            size.aspect(true);
            image.resize(size);
            result = FromMagick(image);
        } catch (...) {
            return false;
        }
    }
    if (!result)
        return false;
    CxImage& destination = target ? *target : *this;
    destination.pixels = std::move(result);
    destination.type = type;
    destination.originalWidth = originalWidth;
    destination.originalHeight = originalHeight;
    return true;
}

std::unique_ptr<std::uint8_t[]> CxImage::Encode(std::uint32_t imageType, std::size_t& size) const
{
    size = 0;
    const char* coder = pixels ? WriterName(imageType, pixels->alpha != nullptr) : nullptr;
    if (!coder || !StartImageLibrary())
        return nullptr;
    try {
        Magick::Image image;
        if (!ToMagick(*pixels, image))
            return nullptr;
        image.magick(coder);
        if (imageType == cx::kFormatJpg)
            image.quality(90);
        else if (imageType == cx::kFormatTif)
            image.compressType(Magick::LZWCompression);
        else if (imageType == cx::kFormatTga)
            image.orientation(Magick::TopLeftOrientation); // rows from the top, and the header says so
        // No time stamps: the same picture gives the same bytes.
        image.defineValue("png", "exclude-chunks", "date,time");
        Magick::Blob blob;
        image.write(&blob);
        if (blob.length() == 0)
            return nullptr;
        auto bytes = AllocateBytes(blob.length());
        if (!bytes)
            return nullptr;
        std::memcpy(bytes.get(), blob.data(), blob.length());
        size = blob.length();
        return bytes;
    } catch (...) {
        return nullptr;
    }
}

bool CxImage::Save(const QString& path, std::uint32_t imageType) const
{
    std::size_t size = 0;
    const auto bytes = Encode(imageType, size);
    if (!bytes)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(reinterpret_cast<const char*>(bytes.get()), qint64(size)) != qint64(size)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void CxImage::SetProgress(long value)
{
    progress.store(value);
}

long CxImage::GetProgress() const
{
    return progress.load();
}

void CxImage::SetEscape(long value)
{
    escape.store(value);
}

long CxImage::GetEscape() const
{
    return escape.load();
}

namespace {

bool Replace(std::unique_ptr<Pixels>& pixels, std::unique_ptr<Pixels> result)
{
    if (!result)
        return false;
    pixels->bgr = std::move(result->bgr);
    return true;
}

} // namespace

bool CxImage::Filter(const std::int32_t* kernel, int size, int divisor, int offset)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Convolve(*pixels, kernel, size, divisor, offset, {progress, escape}));
}

bool CxImage::Erode(int size)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Rank(*pixels, size, cxpixels::RankKind::Minimum, {progress, escape}));
}

bool CxImage::Dilate(int size)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Rank(*pixels, size, cxpixels::RankKind::Maximum, {progress, escape}));
}

bool CxImage::Edge(int size)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Rank(*pixels, size, cxpixels::RankKind::Range, {progress, escape}));
}

bool CxImage::Median(int size)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Rank(*pixels, size, cxpixels::RankKind::Median, {progress, escape}));
}

bool CxImage::Jitter(int radius)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Jitter(*pixels, radius, {progress, escape}));
}

bool CxImage::Noise(int level)
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Noise(*pixels, level, {progress, escape}));
}

bool CxImage::Contour()
{
    if (!pixels)
        return false;
    return Replace(pixels, cxpixels::Contour(*pixels, {progress, escape}));
}
