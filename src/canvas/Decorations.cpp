#include "canvas/Decorations.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace decor {

namespace {

constexpr std::int64_t kMaxPixels = (1LL << 30) / 4;

// Opening rectangles stay within this many pixels of the origin, so that their far
// edges are still ints; beyond it the fractions are nonsense.
constexpr double kMaxOpeningExtent = 1 << 24;

template <typename PixelRule>
bool ApplyPerPixel(QImage& display, const QImage& mask, PixelRule rule)
{
    if (display.isNull() || mask.isNull() || display.size() != mask.size())
        return false;
    if (display.format() != QImage::Format_ARGB32)
        display = display.convertToFormat(QImage::Format_ARGB32);
    const QImage m = mask.format() == QImage::Format_ARGB32 ? mask : mask.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < display.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(display.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        for (int x = 0; x < display.width(); ++x)
            out[x] = rule(out[x], in[x]);
    }
    return true;
}

} // namespace

MaskSource MaskSourceOf(std::int32_t maskIndex)
{
    if (maskIndex <= 0)
        return {};
    const int number = maskIndex - 1;
    if (number >= kShapeNumberBase)
        return {MaskKind::Shape, number - kShapeNumberBase};
    return {MaskKind::PhotoMask, number};
}

QRgb MaskPixel(QRgb photo, QRgb mask)
{
    return qRgba(qRed(photo), qGreen(photo), qBlue(photo), 255 - qBlue(mask));
}

QRgb ShapePixel(QRgb photo, QRgb shape)
{
    const int a = qAlpha(shape);
    const int r = qRed(shape);
    const int g = qGreen(shape);
    const int b = qBlue(shape);
    if (a < 5)
        return qRgba(qRed(photo), qGreen(photo), qBlue(photo), 0);
    if (std::abs(r - b) > 10 && std::abs(g - 165) < 10)
        return qRgba(qRed(photo), qGreen(photo), qBlue(photo), 255);
    if (a <= 150)
        return qRgba(50, 50, 50, a * 192 / 255);
    if (g < 30)
        return qRgba(220, 220, 220, 80);
    if (std::abs(r - b) <= 5) {
        if (a >= 220)
            return qRgba(220, 220, 220, 80);
        // trunc((1 - t) 220 + t 50) with t = (255 - B) / 255, in exact integers:
        // (220 * 255 - 170 (255 - B)) / 255 = 2 (75 + B) / 3.
        const int grey = 2 * (75 + b) / 3;
        return qRgba(grey, grey, grey, 80);
    }
    // trunc(F 220 + (1 - F) P) with F = 1 - B / 255, in exact integers:
    // ((255 - B) 220 + B P) / 255.
    const auto blend = [b](int p) { return ((255 - b) * 220 + b * p) / 255; };
    return qRgba(blend(qRed(photo)), blend(qGreen(photo)), blend(qBlue(photo)), 225);
}

bool ApplyPhotoMask(QImage& display, const QImage& mask)
{
    return ApplyPerPixel(display, mask, MaskPixel);
}

bool ApplyShape(QImage& display, const QImage& shape)
{
    return ApplyPerPixel(display, shape, ShapePixel);
}

bool ApplyMaskPicture(QImage& display, MaskKind kind, const QImage& maskAtDisplaySize)
{
    switch (kind) {
    case MaskKind::PhotoMask:
        return ApplyPhotoMask(display, maskAtDisplaySize);
    case MaskKind::Shape:
        return ApplyShape(display, maskAtDisplaySize);
    case MaskKind::None:
        break;
    }
    return false;
}

QImage BuildFrameImage(const QImage& framePicture, int width, int height)
{
    if (framePicture.isNull() || width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxPixels)
        return {};
    const QImage source = framePicture.format() == QImage::Format_ARGB32_Premultiplied
        ? framePicture
        : framePicture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage frame = source.size() == QSize(width, height)
        ? source
        : source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (frame.format() != QImage::Format_ARGB32_Premultiplied)
        frame = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return frame;
}

QRect FrameOpeningRect(int width, int height, float left, float top, float right, float bottom)
{
    // Fractions outside 0..1 (a library entry or a project record may hold any float) are
    // clamped first. The fractions are single precision; the widening is done in double,
    // as is the product with the size. The opening's own width and height are float
    // differences.
    const auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    left = unit(left);
    top = unit(top);
    right = unit(right);
    bottom = unit(bottom);
    const double w = width;
    const double h = height;
    const double values[4] = {w * (left - 0.01), h * (top - 0.01), w * (static_cast<double>(right - left) + 0.02),
                              h * (static_cast<double>(bottom - top) + 0.02)};
    for (double v : values) {
        if (!std::isfinite(v) || std::fabs(v) > kMaxOpeningExtent)
            return {};
    }
    return QRect(static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2]),
                 static_cast<int>(values[3]));
}

} // namespace decor
