#include "editing/TiffWriter.h"

#include <QSaveFile>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include <tiffio.h>

namespace {

// The bytes a strip is made of, before compression.
constexpr std::int64_t kStripBytes = std::int64_t(1) << 20;

// The file behind the codec: a save file, written and sought, never read.
tmsize_t ReadNothing(thandle_t, void*, tmsize_t)
{
    return -1;
}

tmsize_t WriteTo(thandle_t handle, void* data, tmsize_t size)
{
    auto* file = static_cast<QSaveFile*>(handle);
    return tmsize_t(file->write(static_cast<const char*>(data), qint64(size)));
}

toff_t SeekIn(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<QSaveFile*>(handle);
    qint64 target = qint64(offset);
    if (whence == SEEK_CUR)
        target += file->pos();
    else if (whence == SEEK_END)
        target += file->size();
    if (target < 0 || !file->seek(target))
        return toff_t(-1);
    return toff_t(target);
}

int CloseNothing(thandle_t)
{
    return 0;
}

toff_t SizeOf(thandle_t handle)
{
    return toff_t(static_cast<QSaveFile*>(handle)->size());
}

struct TiffCloser {
    void operator()(TIFF* tiff) const
    {
        if (tiff)
            TIFFClose(tiff);
    }
};

} // namespace

int TiffRowsPerStrip(int width, int height)
{
    const std::int64_t rowBytes = std::int64_t(std::max(width, 1)) * 3;
    std::int64_t rows = kStripBytes / rowBytes;
    if (rows >= 16)
        rows -= rows % 16;
    return int(std::clamp<std::int64_t>(rows, 1, std::max(height, 1)));
}

bool WriteTiff(const QImage& picture, const QString& path, const RowGate& gate)
{
    const bool rgb = picture.format() == QImage::Format_RGB888;
    if (picture.isNull() || (!rgb && picture.format() != QImage::Format_BGR888) || path.isEmpty())
        return false;
    const int width = picture.width();
    const int height = picture.height();
    const std::size_t packed = std::size_t(width) * 3;
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow) std::uint8_t[packed]);
    if (!row)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool written = false;
    {
        std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpen(
            "picture", "wl", &file, ReadNothing, WriteTo, SeekIn, CloseNothing, SizeOf, nullptr, nullptr));
        if (!tiff) {
            file.cancelWriting();
            return false;
        }
        TIFF* t = tiff.get();
        float whitePoint[2] = {0.3127f, 0.329f};
        float primaries[6] = {0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f};
        bool ok = TIFFSetField(t, TIFFTAG_IMAGEWIDTH, std::uint32_t(width))
            && TIFFSetField(t, TIFFTAG_IMAGELENGTH, std::uint32_t(height))
            && TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3)
            && TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW)
            && TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL)
            && TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB)
            && TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB)
            && TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT)
            && TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
            && TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, std::uint32_t(TiffRowsPerStrip(width, height)))
            && TIFFSetField(t, TIFFTAG_PAGENUMBER, 0, 1)
            // The codec writes these values in the order they are set.
            && TIFFSetField(t, TIFFTAG_PRIMARYCHROMATICITIES, primaries)
            && TIFFSetField(t, TIFFTAG_WHITEPOINT, whitePoint);
        for (int y = 0; ok && y < height; ++y) {
            if (gate && !gate(y + 1)) {
                ok = false;
                break;
            }
            const std::uint8_t* in = picture.constScanLine(y);
            if (rgb) {
                std::memcpy(row.get(), in, packed);
            } else {
                for (std::size_t x = 0; x < packed; x += 3) {
                    row[x + 0] = in[x + 2];
                    row[x + 1] = in[x + 1];
                    row[x + 2] = in[x + 0];
                }
            }
            ok = TIFFWriteScanline(t, row.get(), std::uint32_t(y), 0) == 1;
        }
        written = ok && TIFFWriteDirectory(t) == 1;
    }
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
