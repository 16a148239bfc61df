#include "editing/JpegDecoder.h"

#include "base/PictureBudget.h"
#include "editing/CxImage.h"
#include "editing/PictureScaling.h"

#include <QColorSpace>
#include <QColorTransform>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <jpeglib.h>

namespace {

// Rows converted to sRGB at a time.
constexpr int kColourBandRows = 64;
// The read buffer of the file.
constexpr std::size_t kReadBuffer = std::size_t(1) << 16;

struct ErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf recovery;
};

[[noreturn]] void Fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recovery, 1);
}

// Warnings (a file cut short, stray bytes) are not shown: the decoder goes on as the
// platform reader does.
void Quiet(j_common_ptr, int) {}

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        if (file)
            std::fclose(file);
    }
};

// The decompressor with its error manager; destroyed however the decode ends.
struct Decompressor {
    jpeg_decompress_struct info;
    ErrorManager errors;
    bool created = false;
    ~Decompressor()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

// Only plain data lives in the two functions below: the error handler jumps back into
// them over library frames only.
bool ReadHeader(Decompressor& d, std::FILE* file)
{
    d.info.err = jpeg_std_error(&d.errors.standard);
    d.errors.standard.error_exit = Fail;
    d.errors.standard.emit_message = Quiet;
    if (setjmp(d.errors.recovery) != 0)
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_stdio_src(&d.info, file);
    jpeg_save_markers(&d.info, JPEG_COM, 0xFFFF);
    jpeg_save_markers(&d.info, JPEG_APP0 + 2, 0xFFFF);
    return jpeg_read_header(&d.info, TRUE) == JPEG_HEADER_OK;
}

// Where stored pixel (x, y) of a w x h picture goes in the upright one, for the camera's
// orientation 1..8.
struct Placement {
    int orientation;
    int w;
    int h;
    void Place(int x, int y, int& u, int& v) const
    {
        switch (orientation) {
        case 2: u = w - 1 - x; v = y; break;         // mirrored
        case 3: u = w - 1 - x; v = h - 1 - y; break; // turned half way
        case 4: u = x; v = h - 1 - y; break;         // flipped
        case 5: u = y; v = x; break;                 // transposed
        case 6: u = h - 1 - y; v = x; break;         // turned clockwise to stand
        case 7: u = h - 1 - y; v = w - 1 - x; break; // transversed
        case 8: u = y; v = w - 1 - x; break;         // turned anticlockwise to stand
        default: u = x; v = y; break;
        }
    }
};

// The rows of `band` (rows stored rows from stored row `first`, packed) placed upright
// into the picture's rows.
void PlaceBand(const Placement& placement, const std::uint8_t* band, int first, int rows, std::uint8_t* bits,
               qsizetype stride)
{
    const std::size_t packed = std::size_t(placement.w) * 3;
    for (int r = 0; r < rows; ++r) {
        const std::uint8_t* in = band + packed * std::size_t(r);
        const int y = first + r;
        for (int x = 0; x < placement.w; ++x) {
            int u = 0;
            int v = 0;
            placement.Place(x, y, u, v);
            std::memcpy(bits + stride * v + qsizetype(u) * 3, in + std::size_t(x) * 3, 3);
        }
    }
}

// Decodes every row. Upright pictures go straight into their rows; others pass through
// `band` (kJpegBandRows packed stored rows).
bool ReadRows(Decompressor& d, const Placement& placement, std::uint8_t* bits, qsizetype stride, std::uint8_t* band)
{
    if (setjmp(d.errors.recovery) != 0)
        return false;
    jpeg_start_decompress(&d.info);
    JSAMPROW rows[kJpegBandRows];
    const auto height = JDIMENSION(placement.h);
    while (d.info.output_scanline < height) {
        const JDIMENSION first = d.info.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(JDIMENSION(kJpegBandRows), height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = band ? band + std::size_t(placement.w) * 3 * i : bits + stride * qsizetype(first + i);
        JDIMENSION read = 0;
        while (read < count) {
            const JDIMENSION got = jpeg_read_scanlines(&d.info, rows + read, count - read);
            if (got == 0)
                return false;
            read += got;
        }
        if (band)
            PlaceBand(placement, band, int(first), int(count), bits, stride);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

// The comments as the platform reader keeps them: "key: value", else the whole text as
// the description. Taken after the header: the saved markers go with the decode's end.
QList<QPair<QString, QString>> TakeTexts(const jpeg_decompress_struct& info)
{
    QList<QPair<QString, QString>> texts;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_COM)
            continue;
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char*>(marker->data), qsizetype(marker->data_length));
        const qsizetype colon = text.indexOf(QLatin1String(": "));
        if (colon == -1 || text.indexOf(QLatin1Char(' ')) < colon)
            texts.append({QStringLiteral("Description"), text});
        else
            texts.append({text.left(colon), text.mid(colon + 2)});
    }
    return texts;
}

// The colour profile split over APP2 markers, as the platform reader joins it.
QByteArray TakeProfile(const jpeg_decompress_struct& info)
{
    QByteArray profile;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 2 || marker->data_length <= 128 + 4 + 14)
            continue;
        if (std::memcmp(marker->data, "ICC_PROFILE", 12) == 0)
            profile.append(reinterpret_cast<const char*>(marker->data) + 14, qsizetype(marker->data_length) - 14);
    }
    return profile;
}

void TakeDensity(const jpeg_decompress_struct& info, QImage& picture)
{
    if (info.density_unit == 1) {
        picture.setDotsPerMeterX(int(100. * info.X_density / 2.54));
        picture.setDotsPerMeterY(int(100. * info.Y_density / 2.54));
    } else if (info.density_unit == 2) {
        picture.setDotsPerMeterX(int(100. * info.X_density));
        picture.setDotsPerMeterY(int(100. * info.Y_density));
    }
}

// Converts the picture from `space` to sRGB a band of rows at a time, through the same
// 32-bit transform the platform applies to a whole picture.
bool ConvertToSrgb(QImage& picture, const QColorSpace& space)
{
    const QColorTransform transform = space.transformationToColorSpace(QColorSpace(QColorSpace::SRgb));
    const int width = picture.width();
    const qsizetype packed = qsizetype(width) * 3;
    for (int first = 0; first < picture.height(); first += kColourBandRows) {
        const int rows = std::min(kColourBandRows, picture.height() - first);
        QImage band = QImage(picture.constScanLine(first), width, rows, picture.bytesPerLine(), QImage::Format_RGB888)
                          .convertToFormat(QImage::Format_RGB32);
        if (band.isNull())
            return false;
        band.applyColorTransform(transform);
        band.convertTo(QImage::Format_RGB888);
        if (band.isNull())
            return false;
        for (int r = 0; r < rows; ++r)
            std::memcpy(picture.scanLine(first + r), band.constScanLine(r), std::size_t(packed));
    }
    picture.setColorSpace(QColorSpace(QColorSpace::SRgb));
    return true;
}

// Stretches every row from `rounded` columns to the full width.
bool StretchRows(QImage& picture, int rounded)
{
    const int width = picture.width();
    const std::size_t packed = std::size_t(rounded) * 3;
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow) std::uint8_t[packed]);
    if (!row)
        return false;
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* line = picture.scanLine(y);
        std::memcpy(row.get(), line, packed);
        ScaleBilinear(row.get(), rounded, 1, line, width, 1, 3, false);
    }
    return true;
}

} // namespace

JpegDecode DecodeJpegUpright(const QString& path, QImage& picture)
{
    picture = QImage();
    // A pipe or a device would block the reader.
    if (!QFileInfo(path).isFile())
        return JpegDecode::NotHandled;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        return JpegDecode::NotHandled;
    std::setvbuf(file.get(), nullptr, _IOFBF, kReadBuffer);

    // The markers up to the first scan: size, orientation and working buffers as the
    // other decoders cost them.
    JpegHeader header;
    budget::JpegLayout layout;
    {
        std::vector<std::uint8_t> head(budget::kJpegHeadBytes);
        head.resize(std::fread(head.data(), 1, head.size(), file.get()));
        if (!ReadJpegHeader(head.data(), head.size(), header) || (header.components != 3 && header.components != 1)
            || !budget::ReadJpegLayout(head.data(), head.size(), layout))
            return JpegDecode::NotHandled;
    }
    if (std::fseek(file.get(), 0, SEEK_SET) != 0)
        return JpegDecode::NotHandled;
    const QSize stored(header.width, header.height);
    if (!budget::DecodeFits(stored, stored, budget::kConvertBytesPerPixel, layout.WorkingBytes()))
        return JpegDecode::Refused;

    Decompressor d;
    if (!ReadHeader(d, file.get()))
        return JpegDecode::Failed;
    if (int(d.info.image_width) != header.width || int(d.info.image_height) != header.height
        || (d.info.num_components != 3 && d.info.num_components != 1))
        return JpegDecode::NotHandled;
    d.info.out_color_space = JCS_RGB;
    const QList<QPair<QString, QString>> texts = TakeTexts(d.info);
    const QByteArray profile = TakeProfile(d.info);

    const Placement placement{header.orientation, header.width, header.height};
    const bool turned = header.orientation >= 5 && header.orientation <= 8;
    const int width = turned ? header.height : header.width;
    const int height = turned ? header.width : header.height;
    // Decoded to a width that is a multiple of 4 and stretched back, as LoadBgrPicture does.
    const int rounded = width & ~3;
    if (rounded == 0)
        return JpegDecode::Failed;
    QImage result(width, height, QImage::Format_RGB888);
    if (result.isNull())
        return JpegDecode::Failed;
    std::unique_ptr<std::uint8_t[]> band;
    if (header.orientation != 1) {
        band.reset(new (std::nothrow) std::uint8_t[std::size_t(header.width) * 3 * kJpegBandRows]);
        if (!band)
            return JpegDecode::Failed;
    }
    if (!ReadRows(d, placement, result.bits(), result.bytesPerLine(), band.get()))
        return JpegDecode::Failed;
    band.reset();

    if (!profile.isEmpty()) {
        const QColorSpace space = QColorSpace::fromIccProfile(profile);
        if (space.isValid() && space != QColorSpace(QColorSpace::SRgb)) {
            if (!ConvertToSrgb(result, space))
                return JpegDecode::Failed;
        } else if (space.isValid()) {
            result.setColorSpace(space);
        }
    }
    if (rounded != width) {
        // The stretched picture is a new one to the platform path: nothing of the file's
        // metadata goes with it.
        if (!StretchRows(result, rounded))
            return JpegDecode::Failed;
        result.setColorSpace(QColorSpace());
    } else {
        for (const auto& [key, value] : texts)
            result.setText(key, value);
        TakeDensity(d.info, result);
    }
    picture = std::move(result);
    return JpegDecode::Decoded;
}
