#pragma once

// The export bitmap that the collage is composed into at full size, and the rule by which
// it is written to a picture file.

#include "base/PictureBudget.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

// canvasWidth x canvasHeight pixels of 24 bits, blue, green, red, stored bottom row
// first with every row padded to a multiple of 4 bytes (for the multiples of 4 that the
// size operation produces: exactly 3 x width bytes), as a device-independent bitmap
// holds them.
class ExportBitmap {
public:
    // The largest bitmap made, in bytes: the picture budget. The program's own projects
    // are at most 3200 x 3200 (30 MB); a file asking for more than the budget is refused.
    static constexpr std::int64_t kMaxBytes = budget::kPictureBudget;

    // (Re)creates the bitmap, black. False (and empty) when a side is not positive, the
    // size exceeds kMaxBytes or the memory cannot be had.
    bool Create(int width, int height);
    void Clear();

    bool IsNull() const { return !bits_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    qsizetype Stride() const { return stride_; }
    // Row y counted from the bottom (row 0 is the bottom row of the picture).
    std::uint8_t* Row(int y) { return bits_.get() + qsizetype(y) * stride_; }
    const std::uint8_t* Row(int y) const { return bits_.get() + qsizetype(y) * stride_; }

    // Reverses the order of the rows in place (bottom-up <-> top-down).
    void Flip();
    // A picture over the bitmap's own memory (no copy) that sees the rows in their
    // stored order: after Flip() it is the upright picture. Valid until the bitmap is
    // recreated or cleared.
    QImage Wrap();
    // An upright copy (Format_RGB32), for tests and previews.
    QImage ToImage() const;

private:
    std::unique_ptr<std::uint8_t[]> bits_;
    int width_ = 0;
    int height_ = 0;
    qsizetype stride_ = 0;
};

// Which writer an export file name goes to: the extension "jpg" as typed, or "jpeg",
// "gif", "bmp", "png" in any case go to the picture encoder (PictureEncoder, quality 90);
// every other name (pcx, pnm, tif, tiff, "JPG", none) to the picture library
// (CxImage::Save with the format code of the lower-case extension).
enum class ExportRoute { Encoder, Library };
ExportRoute ExportRouteOf(const QString& path);

// Writes the bitmap to `path` by that rule. The file is replaced atomically by either
// writer; on failure no file is left and `error` (when given) says why. The bitmap is
// unchanged afterwards.
bool WriteExportPicture(ExportBitmap& bitmap, const QString& path, QString* error = nullptr);
