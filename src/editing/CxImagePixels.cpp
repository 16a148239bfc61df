#include "editing/CxImagePixels.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

std::unique_ptr<std::uint8_t[]> AllocateBytes(std::size_t size)
{
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
}

std::unique_ptr<CxImage::Pixels> CxImage::Pixels::Allocate(int width, int height, bool withAlpha)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
    if (count > kMaxImagePixels)
        return nullptr;
    auto pixels = std::unique_ptr<Pixels>(new (std::nothrow) Pixels);
    if (!pixels)
        return nullptr;
    pixels->width = width;
    pixels->height = height;
    pixels->bgr = AllocateBytes(count * 3);
    if (!pixels->bgr)
        return nullptr;
    if (withAlpha) {
        pixels->alpha = AllocateBytes(count);
        if (!pixels->alpha)
            return nullptr;
    }
    return pixels;
}

std::unique_ptr<CxImage::Pixels> CxImage::Pixels::Clone() const
{
    auto copy = Allocate(width, height, alpha != nullptr);
    if (!copy)
        return nullptr;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::memcpy(copy->bgr.get(), bgr.get(), count * 3);
    if (alpha)
        std::memcpy(copy->alpha.get(), alpha.get(), count);
    return copy;
}

namespace cxpixels {

namespace {

using Pixels = CxImage::Pixels;

// Source position (top-down coordinates) of upright pixel (u, v) for each orientation.
struct SourceOf {
    int orientation;
    int w; // stored width
    int h; // stored height
    void operator()(int u, int v, int& x, int& y) const
    {
        switch (orientation) {
        case 2: x = w - 1 - u; y = v; break;
        case 3: x = w - 1 - u; y = h - 1 - v; break;
        case 4: x = u; y = h - 1 - v; break;
        case 5: x = v; y = u; break;
        case 6: x = v; y = h - 1 - u; break;
        case 7: x = w - 1 - v; y = h - 1 - u; break;
        case 8: x = w - 1 - v; y = u; break;
        default: x = u; y = v; break;
        }
    }
};

// Keeps a value in 0..255.
inline std::uint8_t Clamp(long value)
{
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

inline int ClampIndex(int value, int last)
{
    return value < 0 ? 0 : (value > last ? last : value);
}

// Reports progress for row y of h; false when the caller asked to stop.
bool Step(FilterControl control, int y, int h)
{
    if (control.escape.load(std::memory_order_relaxed) != 0)
        return false;
    control.progress.store(long(y) * 100 / (h > 0 ? h : 1), std::memory_order_relaxed);
    return true;
}

// A small deterministic generator: the same picture gets the same noise every time.
struct Random {
    std::uint32_t state;
    explicit Random(std::uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [-0.5, 0.5).
    double Centred() { return double(Next() >> 8) / double(1u << 24) - 0.5; }
};

// One output sample of a separable resampler: source taps and 16.16 weights summing
// to 65536.
struct Taps {
    std::vector<int> first; // index of the first tap, per output sample
    std::vector<int> count; // taps per output sample
    std::vector<std::int32_t> weights;
    std::vector<int> offset; // into weights, per output sample
};

Taps MakeTaps(int sourceSize, int targetSize)
{
    Taps taps;
    taps.first.resize(std::size_t(targetSize));
    taps.count.resize(std::size_t(targetSize));
    taps.offset.resize(std::size_t(targetSize));
    if (targetSize < sourceSize) {
        // Area average: output sample i covers source [i*s/t, (i+1)*s/t).
        const double scale = double(sourceSize) / double(targetSize);
        for (int i = 0; i < targetSize; ++i) {
            const double begin = i * scale;
            const double end = std::min(double(sourceSize), (i + 1) * scale);
            const int first = int(begin);
            const int last = std::min(sourceSize - 1, int(end - 1e-9));
            taps.first[std::size_t(i)] = first;
            taps.count[std::size_t(i)] = last - first + 1;
            taps.offset[std::size_t(i)] = int(taps.weights.size());
            std::int32_t total = 0;
            for (int s = first; s <= last; ++s) {
                const double cover = std::min(end, double(s + 1)) - std::max(begin, double(s));
                const auto weight = std::int32_t(cover / scale * 65536.0 + 0.5);
                taps.weights.push_back(weight);
                total += weight;
            }
            taps.weights[std::size_t(taps.offset[std::size_t(i)])] += 65536 - total;
        }
    } else {
        // Bilinear with pixel centres aligned.
        const double scale = double(sourceSize) / double(targetSize);
        for (int i = 0; i < targetSize; ++i) {
            double centre = (i + 0.5) * scale - 0.5;
            if (centre < 0)
                centre = 0;
            int first = int(centre);
            if (first >= sourceSize - 1)
                first = sourceSize - 1;
            const double fraction = centre - first;
            taps.first[std::size_t(i)] = first;
            taps.offset[std::size_t(i)] = int(taps.weights.size());
            if (first + 1 < sourceSize) {
                const auto right = std::int32_t(fraction * 65536.0 + 0.5);
                taps.count[std::size_t(i)] = 2;
                taps.weights.push_back(65536 - right);
                taps.weights.push_back(right);
            } else {
                taps.count[std::size_t(i)] = 1;
                taps.weights.push_back(65536);
            }
        }
    }
    return taps;
}

// Resamples `channels`-byte pixels of one plane (rows of width * channels bytes).
bool ResamplePlane(const std::uint8_t* source, int sw, int sh, std::uint8_t* target, int tw, int th,
                   int channels)
{
    const Taps across = MakeTaps(sw, tw);
    const Taps down = MakeTaps(sh, th);
    // Horizontal pass into 8-bit rows of the target width, then the vertical pass.
    const std::size_t middleRow = std::size_t(tw) * std::size_t(channels);
    std::unique_ptr<std::uint8_t[]> middle = AllocateBytes(middleRow * std::size_t(sh));
    if (!middle)
        return false;
    for (int y = 0; y < sh; ++y) {
        const std::uint8_t* in = source + std::size_t(y) * std::size_t(sw) * std::size_t(channels);
        std::uint8_t* out = middle.get() + std::size_t(y) * middleRow;
        for (int x = 0; x < tw; ++x) {
            const int first = across.first[std::size_t(x)];
            const int count = across.count[std::size_t(x)];
            const std::int32_t* w = &across.weights[std::size_t(across.offset[std::size_t(x)])];
            for (int c = 0; c < channels; ++c) {
                std::int64_t sum = 0;
                for (int t = 0; t < count; ++t)
                    sum += std::int64_t(w[t]) * in[std::size_t(first + t) * std::size_t(channels) + std::size_t(c)];
                out[std::size_t(x) * std::size_t(channels) + std::size_t(c)] = Clamp(long((sum + 32768) >> 16));
            }
        }
    }
    std::vector<std::int64_t> sums(middleRow);
    for (int y = 0; y < th; ++y) {
        const int first = down.first[std::size_t(y)];
        const int count = down.count[std::size_t(y)];
        const std::int32_t* w = &down.weights[std::size_t(down.offset[std::size_t(y)])];
        std::fill(sums.begin(), sums.end(), 0);
        for (int t = 0; t < count; ++t) {
            const std::uint8_t* in = middle.get() + std::size_t(first + t) * middleRow;
            const std::int64_t weight = w[t];
            for (std::size_t i = 0; i < middleRow; ++i)
                sums[i] += weight * in[i];
        }
        std::uint8_t* out = target + std::size_t(y) * middleRow;
        for (std::size_t i = 0; i < middleRow; ++i)
            out[i] = Clamp(long((sums[i] + 32768) >> 16));
    }
    return true;
}

} // namespace

bool SwapsAxes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

std::unique_ptr<Pixels> Orient(const Pixels& stored, int orientation)
{
    if (orientation < 2 || orientation > 8)
        return stored.Clone();
    const int w = stored.width;
    const int h = stored.height;
    const int uw = SwapsAxes(orientation) ? h : w;
    const int uh = SwapsAxes(orientation) ? w : h;
    auto upright = Pixels::Allocate(uw, uh, stored.alpha != nullptr);
    if (!upright)
        return nullptr;
    const SourceOf source{orientation, w, h};
    for (int v = 0; v < uh; ++v) {
        // Top-down row v lives at bottom-up row uh - 1 - v.
        std::uint8_t* out = upright->Row(uh - 1 - v);
        std::uint8_t* outAlpha = upright->alpha ? upright->alpha.get() + std::size_t(uh - 1 - v) * std::size_t(uw) : nullptr;
        for (int u = 0; u < uw; ++u) {
            int x = 0;
            int y = 0;
            source(u, v, x, y);
            const std::uint8_t* in = stored.Row(h - 1 - y) + std::size_t(x) * 3;
            out[std::size_t(u) * 3 + 0] = in[0];
            out[std::size_t(u) * 3 + 1] = in[1];
            out[std::size_t(u) * 3 + 2] = in[2];
            if (outAlpha)
                outAlpha[u] = stored.alpha[std::size_t(h - 1 - y) * std::size_t(w) + std::size_t(x)];
        }
    }
    return upright;
}

std::unique_ptr<Pixels> ResampleFast(const Pixels& source, int width, int height)
{
    auto target = Pixels::Allocate(width, height, source.alpha != nullptr);
    if (!target)
        return nullptr;
    // Bottom-up rows resample the same way as top-down ones.
    if (!ResamplePlane(source.bgr.get(), source.width, source.height, target->bgr.get(), width, height, 3))
        return nullptr;
    if (source.alpha
        && !ResamplePlane(source.alpha.get(), source.width, source.height, target->alpha.get(), width, height, 1))
        return nullptr;
    return target;
}

std::unique_ptr<Pixels> Convolve(const Pixels& source, const std::int32_t* kernel, int size, int divisor,
                                 int offset, FilterControl control)
{
    if (!kernel || size <= 0 || size > 64)
        return nullptr;
    auto target = source.Clone();
    if (!target)
        return nullptr;
    if (divisor == 0)
        divisor = 1;
    const int w = source.width;
    const int h = source.height;
    const int k2 = size / 2;
    for (int y = 0; y < h; ++y) {
        if (!Step(control, y, h))
            return nullptr;
        std::uint8_t* out = target->Row(y);
        for (int x = 0; x < w; ++x) {
            long b = 0;
            long g = 0;
            long r = 0;
            int k = 0;
            // Window rows in the order of the picture's rows: bottom row first.
            for (int j = -k2; j < size - k2; ++j) {
                const std::uint8_t* row = source.Row(ClampIndex(y + j, h - 1));
                for (int i = -k2; i < size - k2; ++i, ++k) {
                    const std::uint8_t* p = row + std::size_t(ClampIndex(x + i, w - 1)) * 3;
                    b += long(kernel[k]) * p[0];
                    g += long(kernel[k]) * p[1];
                    r += long(kernel[k]) * p[2];
                }
            }
            out[std::size_t(x) * 3 + 0] = Clamp(b / divisor + offset);
            out[std::size_t(x) * 3 + 1] = Clamp(g / divisor + offset);
            out[std::size_t(x) * 3 + 2] = Clamp(r / divisor + offset);
        }
    }
    control.progress.store(100, std::memory_order_relaxed);
    return target;
}

std::unique_ptr<Pixels> Rank(const Pixels& source, int size, RankKind kind, FilterControl control)
{
    if (size <= 0 || size > 64)
        return nullptr;
    auto target = source.Clone();
    if (!target)
        return nullptr;
    const int w = source.width;
    const int h = source.height;
    const int k2 = size / 2;
    std::vector<std::uint8_t> window(std::size_t(size) * std::size_t(size));
    for (int y = 0; y < h; ++y) {
        if (!Step(control, y, h))
            return nullptr;
        std::uint8_t* out = target->Row(y);
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int low = 255;
                int high = 0;
                std::size_t n = 0;
                for (int j = -k2; j < size - k2; ++j) {
                    const std::uint8_t* row = source.Row(ClampIndex(y + j, h - 1));
                    for (int i = -k2; i < size - k2; ++i) {
                        const std::uint8_t v = row[std::size_t(ClampIndex(x + i, w - 1)) * 3 + std::size_t(c)];
                        low = std::min<int>(low, v);
                        high = std::max<int>(high, v);
                        window[n++] = v;
                    }
                }
                std::uint8_t value = 0;
                switch (kind) {
                case RankKind::Minimum: value = std::uint8_t(low); break;
                case RankKind::Maximum: value = std::uint8_t(high); break;
                case RankKind::Range: value = std::uint8_t(high - low); break;
                case RankKind::Median:
                    std::nth_element(window.begin(), window.begin() + std::ptrdiff_t(n / 2), window.begin() + std::ptrdiff_t(n));
                    value = window[n / 2];
                    break;
                }
                out[std::size_t(x) * 3 + std::size_t(c)] = value;
            }
        }
    }
    control.progress.store(100, std::memory_order_relaxed);
    return target;
}

std::unique_ptr<Pixels> Jitter(const Pixels& source, int radius, FilterControl control)
{
    auto target = source.Clone();
    if (!target)
        return nullptr;
    const int w = source.width;
    const int h = source.height;
    Random random(std::uint32_t(w) * 2654435761u ^ std::uint32_t(h));
    for (int y = 0; y < h; ++y) {
        if (!Step(control, y, h))
            return nullptr;
        std::uint8_t* out = target->Row(y);
        for (int x = 0; x < w; ++x) {
            const int nx = x + int(random.Centred() * radius * 2);
            const int ny = y + int(random.Centred() * radius * 2);
            if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                continue;
            std::memcpy(out + std::size_t(x) * 3, source.Row(ny) + std::size_t(nx) * 3, 3);
        }
    }
    control.progress.store(100, std::memory_order_relaxed);
    return target;
}

std::unique_ptr<Pixels> Noise(const Pixels& source, int level, FilterControl control)
{
    auto target = source.Clone();
    if (!target)
        return nullptr;
    const int w = source.width;
    const int h = source.height;
    Random random(std::uint32_t(h) * 2246822519u ^ std::uint32_t(w));
    for (int y = 0; y < h; ++y) {
        if (!Step(control, y, h))
            return nullptr;
        std::uint8_t* out = target->Row(y);
        for (int x = 0; x < w; ++x) {
            const long n = long(random.Centred() * level);
            for (int c = 0; c < 3; ++c)
                out[std::size_t(x) * 3 + std::size_t(c)] = Clamp(out[std::size_t(x) * 3 + std::size_t(c)] + n);
        }
    }
    control.progress.store(100, std::memory_order_relaxed);
    return target;
}

std::unique_ptr<Pixels> Contour(const Pixels& source, FilterControl control)
{
    auto target = source.Clone();
    if (!target)
        return nullptr;
    const int w = source.width;
    const int h = source.height;
    auto grey = [&](int x, int y) {
        const std::uint8_t* p = source.Row(ClampIndex(y, h - 1)) + std::size_t(ClampIndex(x, w - 1)) * 3;
        return (p[2] * 299 + p[1] * 587 + p[0] * 114) / 1000;
    };
    for (int y = 0; y < h; ++y) {
        if (!Step(control, y, h))
            return nullptr;
        std::uint8_t* out = target->Row(y);
        for (int x = 0; x < w; ++x) {
            const int centre = grey(x, y);
            int largest = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    largest = std::max(largest, std::abs(grey(x + i, y + j) - centre));
            const std::uint8_t value = Clamp(255 - largest);
            out[std::size_t(x) * 3 + 0] = value;
            out[std::size_t(x) * 3 + 1] = value;
            out[std::size_t(x) * 3 + 2] = value;
        }
    }
    control.progress.store(100, std::memory_order_relaxed);
    return target;
}

} // namespace cxpixels
