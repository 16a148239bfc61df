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
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
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
// `band` (kJpegBandRows packed stored rows). With `ready`, rows are counted there as they
// are placed (upright or mirrored pictures only: their rows come top to bottom).
bool ReadRows(Decompressor& d, const Placement& placement, std::uint8_t* bits, qsizetype stride, std::uint8_t* band,
              std::atomic<int>* ready)
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
        if (ready) {
            ready->store(int(first + count), std::memory_order_release);
            ready->notify_all();
        }
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

// Converts the rows from `space` to sRGB a band of rows at a time, through the same
// 32-bit transform the platform applies to a whole picture. The rows are written through
// `bits` alone (the picture may be shared with a writer waiting for them).
bool ConvertToSrgb(std::uint8_t* bits, qsizetype stride, int width, int height, const QColorSpace& space)
{
    const QColorTransform transform = space.transformationToColorSpace(QColorSpace(QColorSpace::SRgb));
    const std::size_t packed = std::size_t(width) * 3;
    for (int first = 0; first < height; first += kColourBandRows) {
        const int rows = std::min(kColourBandRows, height - first);
        QImage band = QImage(bits + stride * first, width, rows, stride, QImage::Format_RGB888)
                          .convertToFormat(QImage::Format_RGB32);
        if (band.isNull())
            return false;
        band.applyColorTransform(transform);
        band.convertTo(QImage::Format_RGB888);
        if (band.isNull())
            return false;
        for (int r = 0; r < rows; ++r)
            std::memcpy(bits + stride * (first + r), band.constScanLine(r), packed);
    }
    return true;
}

// Stretches every row from `rounded` columns to the full width.
bool StretchRows(std::uint8_t* bits, qsizetype stride, int width, int height, int rounded)
{
    const std::size_t packed = std::size_t(rounded) * 3;
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow) std::uint8_t[packed]);
    if (!row)
        return false;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = bits + stride * y;
        std::memcpy(row.get(), line, packed);
        ScaleBilinear(row.get(), rounded, 1, line, width, 1, 3, false);
    }
    return true;
}

} // namespace

struct JpegRowDecoder::State {
    std::unique_ptr<std::FILE, FileCloser> file;
    Decompressor d;
    Placement placement{1, 0, 0};
    int rounded = 0;          // the columns decoded before the stretch
    QColorSpace convertFrom;  // valid when the rows are converted to sRGB
    std::uint8_t* bits = nullptr; // the picture's rows, taken before anyone shares it
    bool streams = false;     // rows ready as decoded
    bool opened = false;
    std::atomic<int> ready{0};
    std::atomic<bool> ended{false};
};

JpegRowDecoder::JpegRowDecoder() : state_(std::make_unique<State>()) {}

JpegRowDecoder::~JpegRowDecoder() = default;

JpegDecode JpegRowDecoder::Open(const QString& path)
{
    state_ = std::make_unique<State>();
    picture_ = QImage();
    State& s = *state_;
    // A pipe or a device would block the reader.
    if (!QFileInfo(path).isFile())
        return JpegDecode::NotHandled;
    s.file.reset(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!s.file)
        return JpegDecode::NotHandled;
    std::setvbuf(s.file.get(), nullptr, _IOFBF, kReadBuffer);

    // The markers up to the first scan: size, orientation and working buffers as the
    // other decoders cost them.
    JpegHeader header;
    budget::JpegLayout layout;
    {
        std::vector<std::uint8_t> head(budget::kJpegHeadBytes);
        head.resize(std::fread(head.data(), 1, head.size(), s.file.get()));
        if (!ReadJpegHeader(head.data(), head.size(), header) || (header.components != 3 && header.components != 1)
            || !budget::ReadJpegLayout(head.data(), head.size(), layout))
            return JpegDecode::NotHandled;
    }
    if (std::fseek(s.file.get(), 0, SEEK_SET) != 0)
        return JpegDecode::NotHandled;
    const QSize stored(header.width, header.height);
    if (!budget::DecodeFits(stored, stored, budget::kConvertBytesPerPixel, layout.WorkingBytes()))
        return JpegDecode::Refused;

    Decompressor& d = s.d;
    if (!ReadHeader(d, s.file.get()))
        return JpegDecode::Failed;
    if (int(d.info.image_width) != header.width || int(d.info.image_height) != header.height
        || (d.info.num_components != 3 && d.info.num_components != 1))
        return JpegDecode::NotHandled;
    d.info.out_color_space = JCS_RGB;

    s.placement = Placement{header.orientation, header.width, header.height};
    const bool turned = header.orientation >= 5 && header.orientation <= 8;
    const int width = turned ? header.height : header.width;
    const int height = turned ? header.width : header.height;
    // Decoded to a width that is a multiple of 4 and stretched back, as LoadBgrPicture does.
    s.rounded = width & ~3;
    if (s.rounded == 0)
        return JpegDecode::Failed;
    QImage result(width, height, QImage::Format_RGB888);
    if (result.isNull())
        return JpegDecode::Failed;

    // The metadata, final before any row is decoded.
    QColorSpace space;
    if (const QByteArray profile = TakeProfile(d.info); !profile.isEmpty())
        space = QColorSpace::fromIccProfile(profile);
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb)) {
        s.convertFrom = space;
        space = QColorSpace(QColorSpace::SRgb);
    }
    if (s.rounded == width) {
        result.setColorSpace(space);
        for (const auto& [key, value] : TakeTexts(d.info))
            result.setText(key, value);
        TakeDensity(d.info, result);
    }
    // The stretched picture is a new one to the platform path: nothing of the file's
    // metadata goes with it.
    s.streams = (header.orientation == 1 || header.orientation == 2) && !s.convertFrom.isValid()
        && s.rounded == width;
    s.opened = true;
    picture_ = std::move(result);
    s.bits = picture_.bits();
    return JpegDecode::Decoded;
}

bool JpegRowDecoder::DecodeRows()
{
    State& s = *state_;
    struct EndMark {
        State& s;
        ~EndMark()
        {
            s.ended.store(true, std::memory_order_release);
            s.ready.notify_all();
        }
    } endMark{s};
    if (!s.opened || picture_.isNull())
        return false;
    s.opened = false;
    std::unique_ptr<std::uint8_t[]> band;
    if (s.placement.orientation != 1) {
        band.reset(new (std::nothrow) std::uint8_t[std::size_t(s.placement.w) * 3 * kJpegBandRows]);
        if (!band)
            return false;
    }
    const qsizetype stride = picture_.bytesPerLine();
    const int width = picture_.width();
    const int height = picture_.height();
    if (!ReadRows(s.d, s.placement, s.bits, stride, band.get(), s.streams ? &s.ready : nullptr))
        return false;
    band.reset();
    if (s.convertFrom.isValid() && !ConvertToSrgb(s.bits, stride, width, height, s.convertFrom))
        return false;
    if (s.rounded != width && !StretchRows(s.bits, stride, width, height, s.rounded))
        return false;
    s.ready.store(picture_.height(), std::memory_order_release);
    return true;
}

int JpegRowDecoder::RowsReady() const
{
    return state_->ready.load(std::memory_order_acquire);
}

bool JpegRowDecoder::WaitRows(int count) const
{
    const State& s = *state_;
    if (s.ready.load(std::memory_order_acquire) >= count)
        return true;
    // A reader that caught up sleeps until a batch of rows is there: one wake-up per
    // batch, not per band, on a busy machine.
    const int enough = std::min(count + kJpegWaitRows, picture_.height());
    for (;;) {
        const int ready = s.ready.load(std::memory_order_acquire);
        if (ready >= enough)
            return true;
        if (s.ended.load(std::memory_order_acquire))
            return s.ready.load(std::memory_order_acquire) >= count;
        s.ready.wait(ready, std::memory_order_acquire);
    }
}

QImage JpegRowDecoder::TakePicture()
{
    state_ = std::make_unique<State>();
    return std::exchange(picture_, QImage());
}

JpegDecode DecodeJpegUpright(const QString& path, QImage& picture)
{
    picture = QImage();
    JpegRowDecoder decoder;
    const JpegDecode opened = decoder.Open(path);
    if (opened != JpegDecode::Decoded)
        return opened;
    if (!decoder.DecodeRows())
        return JpegDecode::Failed;
    picture = decoder.TakePicture();
    return JpegDecode::Decoded;
}
