#pragma once

// The pixel store behind CxImage and the operations on it that need no codec:
// orientation, resampling and the filters. Internal to src/editing.

#include "base/PictureBudget.h"
#include "editing/CxImage.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// The largest picture the library holds: the picture budget at 4 bytes a pixel.
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t(budget::kMaxStoredPixels);

struct CxImage::Pixels {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint8_t[]> bgr;   // bottom row first, width * 3 bytes a row
    std::unique_ptr<std::uint8_t[]> alpha; // bottom row first, width bytes a row; may be null

    // Null when the size is 0, too large, or the memory cannot be had.
    static std::unique_ptr<Pixels> Allocate(int width, int height, bool withAlpha);
    std::size_t Stride() const { return static_cast<std::size_t>(width) * 3; }
    std::uint8_t* Row(int row) { return bgr.get() + Stride() * static_cast<std::size_t>(row); }
    const std::uint8_t* Row(int row) const { return bgr.get() + Stride() * static_cast<std::size_t>(row); }
    std::unique_ptr<Pixels> Clone() const;
};

// Memory that may fail: null instead of an exception.
std::unique_ptr<std::uint8_t[]> AllocateBytes(std::size_t size);

namespace cxpixels {

// The upright picture of one stored with EXIF orientation 1..8 (other values: a copy).
std::unique_ptr<CxImage::Pixels> Orient(const CxImage::Pixels& stored, int orientation);
// True for the orientations that swap width and height (5..8).
bool SwapsAxes(int orientation);

// Fast resampling: area average when shrinking, bilinear when enlarging, per axis.
std::unique_ptr<CxImage::Pixels> ResampleFast(const CxImage::Pixels& source, int width, int height);

// Filter progress and stop request shared with the owning CxImage.
struct FilterControl {
    std::atomic<long>& progress;
    const std::atomic<long>& escape;
};

// Each returns null when stopped through the escape flag (or out of memory).
std::unique_ptr<CxImage::Pixels> Convolve(const CxImage::Pixels& source, const std::int32_t* kernel,
                                          int size, int divisor, int offset, FilterControl control);
enum class RankKind { Minimum, Maximum, Range, Median };
std::unique_ptr<CxImage::Pixels> Rank(const CxImage::Pixels& source, int size, RankKind kind,
                                      FilterControl control);
std::unique_ptr<CxImage::Pixels> Jitter(const CxImage::Pixels& source, int radius, FilterControl control);
std::unique_ptr<CxImage::Pixels> Noise(const CxImage::Pixels& source, int level, FilterControl control);
std::unique_ptr<CxImage::Pixels> Contour(const CxImage::Pixels& source, FilterControl control);

} // namespace cxpixels
