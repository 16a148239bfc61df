#include "base/PictureBudget.h"

#include <algorithm>
#include <limits>

namespace budget {

namespace {

constexpr std::int64_t kSaturated = std::numeric_limits<std::int64_t>::max();

// Sides up to 2^31 and factors up to 2^32 keep every product below 2^63.
std::int64_t Multiply(std::int64_t a, std::int64_t b)
{
    if (a <= 0 || b <= 0)
        return 0;
    if (a > kSaturated / b)
        return kSaturated;
    return a * b;
}

std::int64_t Add(std::int64_t a, std::int64_t b)
{
    return a > kSaturated - b ? kSaturated : a + b;
}

bool IsStartOfFrame(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsProgressiveFrame(std::uint8_t marker)
{
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

bool HasNoLength(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    return (a + b - 1) / b;
}

// The coefficient arrays the decoder keeps for the whole picture: per component its
// blocks, rounded up to whole sampling units, 64 coefficients of 2 bytes a block.
bool CoefficientBytes(const std::uint8_t* frame, std::size_t size, JpegLayout& layout)
{
    const int count = frame[5];
    if (count < 1 || size < 6 + std::size_t(count) * 3)
        return false;
    int hMax = 1;
    int vMax = 1;
    for (int c = 0; c < count; ++c) {
        const int h = frame[6 + c * 3 + 1] >> 4;
        const int v = frame[6 + c * 3 + 1] & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4)
            return false;
        hMax = std::max(hMax, h);
        vMax = std::max(vMax, v);
    }
    std::int64_t total = 0;
    for (int c = 0; c < count; ++c) {
        const int h = frame[6 + c * 3 + 1] >> 4;
        const int v = frame[6 + c * 3 + 1] & 15;
        const std::int64_t blocksWide = CeilDiv(CeilDiv(std::int64_t(layout.width) * h, hMax), 8);
        const std::int64_t blocksHigh = CeilDiv(CeilDiv(std::int64_t(layout.height) * v, vMax), 8);
        const std::int64_t blocks = Multiply(CeilDiv(blocksWide, h) * h, CeilDiv(blocksHigh, v) * v);
        total = Add(total, Multiply(blocks, 64 * 2));
    }
    layout.components = count;
    layout.coefficientBytes = total;
    return true;
}

} // namespace

std::int64_t Area(std::int64_t width, std::int64_t height)
{
    return Multiply(width, height);
}

bool Fits(std::int64_t cost)
{
    return cost >= 0 && cost <= kPictureBudget;
}

std::int64_t DecodeCost(QSize stored, QSize decoded, std::int64_t bytesPerPixel, std::int64_t working)
{
    if (stored.width() <= 0 || stored.height() <= 0 || decoded.width() <= 0 || decoded.height() <= 0
        || working < 0)
        return -1;
    const std::int64_t storedPixels = Area(stored.width(), stored.height());
    if (storedPixels > kMaxStoredPixels)
        return -1;
    return Add(working, Multiply(Area(decoded.width(), decoded.height()), bytesPerPixel));
}

bool DecodeFits(QSize stored, QSize decoded, std::int64_t bytesPerPixel, std::int64_t working)
{
    return Fits(DecodeCost(stored, decoded, bytesPerPixel, working));
}

bool ReadJpegLayout(const std::uint8_t* data, std::size_t size, JpegLayout& layout)
{
    layout = JpegLayout();
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::size_t at = 2;
    bool framed = false;
    while (at + 2 <= size) {
        if (data[at] != 0xFF)
            return framed; // garbage between segments: the decoder decides
        const std::uint8_t marker = data[at + 1];
        at += 2;
        if (marker == 0xFF) { // fill byte
            --at;
            continue;
        }
        if (HasNoLength(marker))
            continue;
        if (marker == 0xD9)
            break;
        if (at + 2 > size)
            break;
        const std::size_t length = std::size_t(data[at] << 8 | data[at + 1]);
        if (length < 2)
            return framed;
        const std::uint8_t* body = data + at + 2;
        const std::size_t bodySize = std::min(length - 2, size - at - 2);
        if (IsStartOfFrame(marker) && !framed) {
            if (bodySize < 6)
                return false;
            layout.height = body[1] << 8 | body[2];
            layout.width = body[3] << 8 | body[4];
            layout.progressive = IsProgressiveFrame(marker);
            if (layout.width <= 0 || layout.height <= 0 || !CoefficientBytes(body, bodySize, layout))
                return false;
            framed = true;
        } else if (marker == 0xDA) {
            if (framed && bodySize >= 1)
                layout.multiScan = layout.progressive || body[0] < layout.components;
            break;
        }
        at += length;
    }
    if (framed && layout.progressive)
        layout.multiScan = true;
    return framed;
}

} // namespace budget
