#include "editing/ColourMatrix.h"

#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Pi in single precision, as the rotations use it.
const float kPi = 4.0f * std::atan(1.0f);

constexpr float kRedWeight = 0.3086f;
constexpr float kGreenWeight = 0.6094f;
constexpr float kBlueWeight = 0.082f;

struct HueMatrices {
    ColourMatrix pre;
    ColourMatrix post;
};

// The matrices that turn the grey axis into the blue axis (keeping luminance) and back;
// a hue rotation is a rotation about blue between them. Built once, on first use.
const HueMatrices& Hue()
{
    static const HueMatrices matrices = [] {
        HueMatrices h;
        h.pre.RotateColour(45.0f, 2, 1, MatrixOrder::Prepend);
        h.pre.RotateColour(-35.0f, 0, 2, MatrixOrder::Append);
        const std::array<float, 4> lum = h.pre.TransformVector({kRedWeight, kGreenWeight, kBlueWeight, 1.0f});
        const float redRatio = lum[0] / lum[2];
        const float greenRatio = lum[1] / lum[2];
        h.pre.ShearColour(2, 0, redRatio, 1, greenRatio, MatrixOrder::Append);

        h.post.ShearColour(2, 0, -redRatio, 1, -greenRatio, MatrixOrder::Prepend);
        h.post.RotateColour(35.0f, 0, 2, MatrixOrder::Append);
        h.post.RotateColour(-45.0f, 2, 1, MatrixOrder::Append);
        return h;
    }();
    return matrices;
}

} // namespace

void ColourMatrix::Identity()
{
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            m[i][j] = i == j ? 1.0f : 0.0f;
}

void ColourMatrix::Combine(const ColourMatrix& x, MatrixOrder order)
{
    const auto& a = order == MatrixOrder::Prepend ? x.m : m;
    const auto& b = order == MatrixOrder::Prepend ? m : x.m;
    std::array<std::array<float, 5>, 5> product = m;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 5; ++k)
                sum += a[i][k] * b[k][j];
            product[i][j] = sum;
        }
    }
    m = product;
}

void ColourMatrix::Scale(float r, float g, float b, float a, MatrixOrder order)
{
    ColourMatrix x;
    x.m[0][0] = r;
    x.m[1][1] = g;
    x.m[2][2] = b;
    x.m[3][3] = a;
    Combine(x, order);
}

void ColourMatrix::Translate(float r, float g, float b, float a, MatrixOrder order)
{
    ColourMatrix x;
    x.m[4][0] = r;
    x.m[4][1] = g;
    x.m[4][2] = b;
    x.m[4][3] = a;
    Combine(x, order);
}

void ColourMatrix::Saturation(float s, MatrixOrder order)
{
    const float t = 1.0f - s;
    ColourMatrix x;
    x.m[0][0] = kRedWeight * t + s;
    x.m[0][1] = kRedWeight * t;
    x.m[0][2] = kRedWeight * t;
    x.m[1][0] = kGreenWeight * t;
    x.m[1][1] = kGreenWeight * t + s;
    x.m[1][2] = kGreenWeight * t;
    x.m[2][0] = kBlueWeight * t;
    x.m[2][1] = kBlueWeight * t;
    x.m[2][2] = kBlueWeight * t + s;
    Combine(x, order);
}

void ColourMatrix::RotateColour(float phi, int x, int y, MatrixOrder order)
{
    if (x < 0 || x > 3 || y < 0 || y > 3 || x == y)
        return;
    const float radians = phi * (kPi / 180.0f);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    ColourMatrix r;
    r.m[x][x] = c;
    r.m[y][y] = c;
    r.m[y][x] = s;
    r.m[x][y] = -s;
    Combine(r, order);
}

void ColourMatrix::ShearColour(int x, int y1, float d1, int y2, float d2, MatrixOrder order)
{
    if (x < 0 || x > 3 || y1 < 0 || y1 > 3 || y2 < 0 || y2 > 3)
        return;
    ColourMatrix s;
    s.m[y1][x] = d1;
    s.m[y2][x] = d2;
    Combine(s, order);
}

void ColourMatrix::RotateHue(float phi)
{
    const HueMatrices& hue = Hue();
    Combine(hue.pre, MatrixOrder::Append);
    RotateColour(phi, 1, 0, MatrixOrder::Append);
    Combine(hue.post, MatrixOrder::Append);
}

std::array<float, 4> ColourMatrix::TransformVector(const std::array<float, 4>& v) const
{
    std::array<float, 4> result{};
    for (int j = 0; j < 4; ++j) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k)
            sum += v[k] * m[k][j];
        result[j] = sum + m[4][j];
    }
    return result;
}

bool ColourMatrix::IsIdentity() const
{
    return *this == ColourMatrix();
}

bool ColourMatrix::IsAlphaScaleOnly(float* alphaScale) const
{
    ColourMatrix probe = *this;
    probe.m[3][3] = 1.0f;
    if (!probe.IsIdentity())
        return false;
    if (alphaScale)
        *alphaScale = m[3][3];
    return true;
}

ColourMatrix ItemColourMatrix(float opacity, const Tuning& t)
{
    ColourMatrix m;
    m.Scale(1.0f, 1.0f, 1.0f, opacity, MatrixOrder::Prepend);
    if (t.tuneOn) {
        m.Scale(t.tuneScale, t.tuneScale, t.tuneScale, 1.0f, MatrixOrder::Prepend);
        m.Translate(t.tuneOffset, t.tuneOffset, t.tuneOffset, 0.0f, MatrixOrder::Append);
        m.Saturation(t.tuneSaturation, MatrixOrder::Append);
        m.RotateHue(t.tuneHue);
        m.RotateColour(t.tuneRotation, 1, 0, MatrixOrder::Prepend);
        m.RotateColour(t.tuneRotation, 0, 2, MatrixOrder::Prepend);
        m.RotateColour(t.tuneRotation, 2, 1, MatrixOrder::Prepend);
    }
    return m;
}

float ItemGamma(const Tuning& t)
{
    return t.tuneOn ? t.tuneGamma : 1.0f;
}

namespace {

// Coefficients in the memory order of the pixel (blue, green, red, alpha), scaled so
// that bytes go in and 0..255 values come out: out[j] = sum in[k] * c[k][j] + c[4][j].
struct PixelCoefficients {
    float c[5][4];
};

PixelCoefficients ToPixelOrder(const ColourMatrix& m)
{
    static constexpr int kChannel[4] = {2, 1, 0, 3}; // memory slot -> matrix index
    PixelCoefficients p{};
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 4; ++j)
            p.c[k][j] = m.At(kChannel[k], kChannel[j]);
    for (int j = 0; j < 4; ++j)
        p.c[4][j] = m.At(4, kChannel[j]) * 255.0f;
    return p;
}

constexpr int kGammaLevels = 16384; // table steps over 0..1, fine enough for 8-bit output

// The rows of one pass: the pixels, and with gamma the table indices of red, green and
// blue (one plane each, so the lookups vectorise as gathers where the processor has them).
struct RowPlanes {
    std::int32_t* blue;
    std::int32_t* green;
    std::int32_t* red;
};

// One row: matrix and clamp; each channel rounded to a byte, or, with kGamma, red, green
// and blue as indices 0..kGammaLevels - 1 into the gamma table (alpha is always a byte).
// Written so that the compiler vectorises it (no branches, signed conversions); built
// for AVX2 too, chosen at run time where the processor has it.
// clang (the fuzz build) cannot clone templates; it builds the default version only.
#if defined(__clang__)
#define MONTARA_ROW_CLONES
#else
#define MONTARA_ROW_CLONES __attribute__((target_clones("avx2", "default")))
#endif

template <bool kGamma>
MONTARA_ROW_CLONES void MatrixRow(std::uint32_t* __restrict row, int width,
    const PixelCoefficients& p, RowPlanes planes)
{
    const float c00 = p.c[0][0], c01 = p.c[0][1], c02 = p.c[0][2], c03 = p.c[0][3];
    const float c10 = p.c[1][0], c11 = p.c[1][1], c12 = p.c[1][2], c13 = p.c[1][3];
    const float c20 = p.c[2][0], c21 = p.c[2][1], c22 = p.c[2][2], c23 = p.c[2][3];
    const float c30 = p.c[3][0], c31 = p.c[3][1], c32 = p.c[3][2], c33 = p.c[3][3];
    const float c40 = p.c[4][0], c41 = p.c[4][1], c42 = p.c[4][2], c43 = p.c[4][3];
    constexpr float kLevelScale = static_cast<float>(kGammaLevels - 1) / 255.0f;
    std::int32_t* __restrict blue = planes.blue;
    std::int32_t* __restrict green = planes.green;
    std::int32_t* __restrict red = planes.red;
    for (int x = 0; x < width; ++x) {
        const std::uint32_t px = row[x];
        const float b = static_cast<float>(static_cast<int>(px & 0xFFu));
        const float g = static_cast<float>(static_cast<int>((px >> 8) & 0xFFu));
        const float r = static_cast<float>(static_cast<int>((px >> 16) & 0xFFu));
        const float a = static_cast<float>(static_cast<int>(px >> 24));
        float ob = b * c00 + g * c10 + r * c20 + a * c30 + c40;
        float og = b * c01 + g * c11 + r * c21 + a * c31 + c41;
        float orr = b * c02 + g * c12 + r * c22 + a * c32 + c42;
        float oa = b * c03 + g * c13 + r * c23 + a * c33 + c43;
        // In this argument order a NaN (from a damaged record) becomes 0.
        ob = std::min(std::max(0.0f, ob), 255.0f);
        og = std::min(std::max(0.0f, og), 255.0f);
        orr = std::min(std::max(0.0f, orr), 255.0f);
        oa = std::min(std::max(0.0f, oa), 255.0f);
        const std::uint32_t alpha = static_cast<std::uint32_t>(static_cast<int>(oa + 0.5f)) << 24;
        if constexpr (kGamma) {
            blue[x] = static_cast<int>(ob * kLevelScale + 0.5f);
            green[x] = static_cast<int>(og * kLevelScale + 0.5f);
            red[x] = static_cast<int>(orr * kLevelScale + 0.5f);
            row[x] = alpha;
        } else {
            row[x] = static_cast<std::uint32_t>(static_cast<int>(ob + 0.5f) | static_cast<int>(og + 0.5f) << 8
                         | static_cast<int>(orr + 0.5f) << 16)
                | alpha;
        }
    }
}

MONTARA_ROW_CLONES void GammaRow(std::uint32_t* __restrict row, int width,
    RowPlanes planes, const std::int32_t* __restrict table)
{
    const std::int32_t* __restrict blue = planes.blue;
    const std::int32_t* __restrict green = planes.green;
    const std::int32_t* __restrict red = planes.red;
    for (int x = 0; x < width; ++x)
        row[x] |= static_cast<std::uint32_t>(table[blue[x]] | table[green[x]] << 8 | table[red[x]] << 16);
}

} // namespace

void ApplyColourMatrix(std::uint8_t* bgra, int width, int height, qsizetype stride,
    const ColourMatrix& matrix, float gamma)
{
    if (!bgra || width <= 0 || height <= 0)
        return;
    const bool useGamma = gamma != 1.0f && std::isfinite(gamma) && gamma > 0.0f;
    if (!useGamma && matrix.IsIdentity())
        return;
    const PixelCoefficients p = ToPixelOrder(matrix);
    if (!useGamma) {
        for (int y = 0; y < height; ++y)
            MatrixRow<false>(reinterpret_cast<std::uint32_t*>(bgra + stride * y), width, p, RowPlanes{});
        return;
    }
    std::vector<std::int32_t> table(kGammaLevels);
    for (int i = 0; i < kGammaLevels; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(
            std::lround(std::pow(static_cast<double>(i) / (kGammaLevels - 1), static_cast<double>(gamma)) * 255.0));
    std::vector<std::int32_t> levels(static_cast<std::size_t>(width) * 3);
    const RowPlanes planes{levels.data(), levels.data() + width, levels.data() + 2 * static_cast<std::size_t>(width)};
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(bgra + stride * y);
        MatrixRow<true>(row, width, p, planes);
        GammaRow(row, width, planes, table.data());
    }
}

QImage TunedImage(const QImage& picture, const ColourMatrix& matrix, float gamma)
{
    if (picture.isNull())
        return {};
    QImage result = picture.format() == QImage::Format_ARGB32 ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    if (matrix.IsIdentity() && gamma == 1.0f)
        return result;
    // bits() detaches a shared copy, so the caller's picture is never changed.
    ApplyColourMatrix(result.bits(), result.width(), result.height(), result.bytesPerLine(), matrix, gamma);
    return result;
}

void DrawTunedImage(QPainter& painter, const QRectF& target, const QImage& picture,
    const ColourMatrix& matrix, float gamma)
{
    if (picture.isNull())
        return;
    float opacity = 1.0f;
    if (gamma == 1.0f && matrix.IsAlphaScaleOnly(&opacity)) {
        if (!(opacity > 0.0f))
            return;
        const qreal before = painter.opacity();
        painter.setOpacity(before * std::min(opacity, 1.0f));
        painter.drawImage(target, picture);
        painter.setOpacity(before);
        return;
    }
    painter.drawImage(target, TunedImage(picture, matrix, gamma));
}
