#include "editing/PictureScaling.h"

#include <cstring>
#include <vector>

namespace {

struct Axis {
    std::vector<int> first;    // source index of the near neighbour
    std::vector<int> second;   // source index of the far neighbour
    std::vector<std::uint64_t> fraction;
};

// Neighbours and fractions along one axis; a zero fraction uses the pixel itself, a
// neighbour beyond the end the last pixel.
Axis MakeAxis(int sourceSize, int targetSize)
{
    Axis axis;
    axis.first.resize(std::size_t(targetSize));
    axis.second.resize(std::size_t(targetSize));
    axis.fraction.resize(std::size_t(targetSize));
    for (int i = 0; i < targetSize; ++i) {
        const std::uint64_t position = std::uint64_t(i) * std::uint64_t(sourceSize);
        const auto near = int(position / std::uint64_t(targetSize));
        const std::uint64_t fraction = position % std::uint64_t(targetSize);
        axis.first[std::size_t(i)] = near;
        axis.second[std::size_t(i)] = fraction == 0 ? near : (near + 1 < sourceSize ? near + 1 : sourceSize - 1);
        axis.fraction[std::size_t(i)] = fraction;
    }
    return axis;
}

} // namespace

void ScaleBilinear(const std::uint8_t* source, int sourceWidth, int sourceHeight, std::uint8_t* target,
                   int targetWidth, int targetHeight, int bytesPerPixel, bool flip)
{
    if (!source || !target || sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0
        || (bytesPerPixel != 3 && bytesPerPixel != 4))
        return;
    const std::size_t bpp = std::size_t(bytesPerPixel);
    const std::size_t sourceStride = std::size_t(sourceWidth) * bpp;
    const std::size_t targetStride = std::size_t(targetWidth) * bpp;
    const bool reverse = flip && bytesPerPixel == 3;

    // Same size: every fraction is zero, so each pixel is copied as it is.
    if (sourceWidth == targetWidth && sourceHeight == targetHeight) {
        for (int y = 0; y < targetHeight; ++y) {
            const std::uint8_t* in = source + std::size_t(y) * sourceStride;
            std::uint8_t* out = target + std::size_t(flip ? targetHeight - 1 - y : y) * targetStride;
            if (!reverse) {
                std::memcpy(out, in, targetStride);
                continue;
            }
            for (int x = 0; x < targetWidth; ++x) {
                out[std::size_t(x) * 3 + 0] = in[std::size_t(x) * 3 + 2];
                out[std::size_t(x) * 3 + 1] = in[std::size_t(x) * 3 + 1];
                out[std::size_t(x) * 3 + 2] = in[std::size_t(x) * 3 + 0];
            }
        }
        return;
    }

    const Axis across = MakeAxis(sourceWidth, targetWidth);
    const Axis down = MakeAxis(sourceHeight, targetHeight);
    const std::uint64_t W = std::uint64_t(targetWidth);
    const std::uint64_t H = std::uint64_t(targetHeight);
    const std::uint64_t area = W * H;
    const std::uint64_t half = area / 2;
    for (int y = 0; y < targetHeight; ++y) {
        const std::uint64_t fy = down.fraction[std::size_t(y)];
        const std::uint8_t* upper = source + std::size_t(down.first[std::size_t(y)]) * sourceStride;
        const std::uint8_t* lower = source + std::size_t(down.second[std::size_t(y)]) * sourceStride;
        std::uint8_t* out = target + std::size_t(flip ? targetHeight - 1 - y : y) * targetStride;
        for (int x = 0; x < targetWidth; ++x) {
            const std::uint64_t fx = across.fraction[std::size_t(x)];
            const std::size_t left = std::size_t(across.first[std::size_t(x)]) * bpp;
            const std::size_t right = std::size_t(across.second[std::size_t(x)]) * bpp;
            const std::uint64_t wa = (W - fx) * (H - fy);
            const std::uint64_t wb = fx * (H - fy);
            const std::uint64_t wc = (W - fx) * fy;
            const std::uint64_t wd = fx * fy;
            for (std::size_t b = 0; b < bpp; ++b) {
                const std::uint64_t value =
                    (wa * upper[left + b] + wb * upper[right + b] + wc * lower[left + b] + wd * lower[right + b] + half)
                    / area;
                const std::size_t at = std::size_t(x) * bpp + (reverse ? 2 - b : b);
                out[at] = std::uint8_t(value);
            }
        }
    }
}

QSize FitSize(int width, int height, int boxWidth, int boxHeight, bool always)
{
    if (width == 0 || height == 0 || boxWidth == 0 || boxHeight == 0)
        return QSize(0, 0);
    if (width > boxWidth || height > boxHeight || always) {
        if (double(boxWidth) / double(boxHeight) < double(width) / double(height))
            return QSize(boxWidth, int(std::int64_t(height) * boxWidth / width));
        return QSize(int(std::int64_t(width) * boxHeight / height), boxHeight);
    }
    return QSize(width, height);
}
