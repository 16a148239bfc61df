#include "canvas/ExportPicture.h"

#include "editing/CxImage.h"
#include "editing/PictureEncoder.h"
#include "editing/PictureFiles.h"

#include <algorithm>
#include <cstring>
#include <new>

bool ExportBitmap::Create(int width, int height)
{
    Clear();
    if (width <= 0 || height <= 0)
        return false;
    const std::int64_t stride = (std::int64_t(width) * 3 + 3) / 4 * 4;
    const std::int64_t bytes = stride * height;
    if (bytes > kMaxBytes)
        return false;
    bits_.reset(new (std::nothrow) std::uint8_t[std::size_t(bytes)]);
    if (!bits_)
        return false;
    std::memset(bits_.get(), 0, std::size_t(bytes));
    width_ = width;
    height_ = height;
    stride_ = qsizetype(stride);
    return true;
}

void ExportBitmap::Clear()
{
    bits_.reset();
    width_ = 0;
    height_ = 0;
    stride_ = 0;
}

void ExportBitmap::Flip()
{
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(Row(top), Row(top) + stride_, Row(bottom));
}

QImage ExportBitmap::Wrap()
{
    if (!bits_)
        return {};
    return QImage(bits_.get(), width_, height_, stride_, QImage::Format_BGR888);
}

QImage ExportBitmap::ToImage() const
{
    if (!bits_)
        return {};
    QImage image(width_, height_, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* p = Row(height_ - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x, p += 3)
            out[x] = qRgb(p[2], p[1], p[0]);
    }
    return image;
}

ExportRoute ExportRouteOf(const QString& path)
{
    const QString extension = PictureExtension(path);
    const QString lower = extension.toLower();
    if (extension == QLatin1String("jpg") || lower == QLatin1String("jpeg") || lower == QLatin1String("gif")
        || lower == QLatin1String("bmp") || lower == QLatin1String("png"))
        return ExportRoute::Encoder;
    return ExportRoute::Library;
}

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool WriteThroughEncoder(ExportBitmap& bitmap, const QString& path, QString* error)
{
    PictureEncoder encoder;
    if (!encoder.Select(path)) {
        SetError(error, QStringLiteral("no picture encoder for %1").arg(path));
        return false;
    }
    encoder.SetQuality(90);
    // The rows are stored bottom-up: turned upright in place for the encoder and back.
    bitmap.Flip();
    const int status = encoder.Save(bitmap.Wrap(), path);
    bitmap.Flip();
    if (status != PictureEncoder::kOk) {
        SetError(error, QStringLiteral("cannot write %1 (status %2)").arg(path).arg(status));
        return false;
    }
    return true;
}

bool WriteThroughLibrary(const ExportBitmap& bitmap, const QString& path, QString* error)
{
    const std::uint32_t code = FormatFromExtension(PictureExtension(path).toLower());
    if (code == cx::kFormatUnknown) {
        SetError(error, QStringLiteral("unknown picture type: %1").arg(path));
        return false;
    }
    // The library takes packed rows; the bitmap's rows are padded when 3 x width is not
    // a multiple of 4.
    const qsizetype packed = qsizetype(bitmap.Width()) * 3;
    std::unique_ptr<std::uint8_t[]> copy;
    const std::uint8_t* rows = bitmap.Row(0);
    if (bitmap.Stride() != packed) {
        copy.reset(new (std::nothrow) std::uint8_t[std::size_t(packed) * std::size_t(bitmap.Height())]);
        if (!copy) {
            SetError(error, QStringLiteral("not enough memory to write %1").arg(path));
            return false;
        }
        for (int y = 0; y < bitmap.Height(); ++y)
            std::memcpy(copy.get() + qsizetype(y) * packed, bitmap.Row(y), std::size_t(packed));
        rows = copy.get();
    }
    PictureLoader loader;
    if (!loader.FromPixels(rows, bitmap.Width(), bitmap.Height()) || !loader.Image()) {
        SetError(error, QStringLiteral("the picture library cannot take the collage"));
        return false;
    }
    copy.reset();
    if (!loader.Image()->Save(path, code)) {
        SetError(error, QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    return true;
}

} // namespace

bool WriteExportPicture(ExportBitmap& bitmap, const QString& path, QString* error)
{
    if (bitmap.IsNull()) {
        SetError(error, QStringLiteral("nothing to write"));
        return false;
    }
    if (ExportRouteOf(path) == ExportRoute::Encoder)
        return WriteThroughEncoder(bitmap, path, error);
    return WriteThroughLibrary(bitmap, path, error);
}
