#pragma once

// Decorations applied while a photo's pictures are built for drawing: the photo mask,
// the shape, the frame image and the rectangle the photo is drawn into inside its frame.
//
// How the photo pipeline uses them, for a photo of displayed size W x H:
//   display = the crop area as Format_ARGB32, scaled down to W x H when W is smaller
//   if maskIndex > 0:
//       source = MaskSourceOf(maskIndex); picture = entry source.entry of "photomasks"
//       or "shape" (library::ReadImageEntry); scaled to display's size with
//       ScaleBilinear (4 bytes a pixel, no flip); ApplyMaskPicture(display, source.kind,
//       scaled). An unreadable picture leaves the photo unmasked.
//   if frameIndex >= 1:
//       photo drawn into FrameOpeningRect(W, H, frameLeft, frameTop, frameRight, frameBottom)
//       frame = BuildFrameImage(entry frameIndex - 1 of "photoframes", W, H), drawn over
//       (0, 0, W, H) with the photo's opacity
//   else: photo drawn into (0, 0, W, H)

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdint>

namespace decor {

// Entry numbers of masks from 5000 on are shapes: maskIndex is the number + 1, and
// shape entry = number - 5000.
inline constexpr std::int32_t kShapeNumberBase = 5000;

enum class MaskKind {
    None,      // maskIndex <= 0
    PhotoMask, // entry of "photomasks"
    Shape,     // entry of "shape"
};

struct MaskSource {
    MaskKind kind = MaskKind::None;
    int entry = -1;
};

// Which library picture a photo's maskIndex names.
MaskSource MaskSourceOf(std::int32_t maskIndex);

// The per-pixel rules, on non-premultiplied ARGB values.
// Photo mask: the photo's alpha becomes 255 minus the mask's blue; colours are kept.
QRgb MaskPixel(QRgb photo, QRgb mask);
// Shape: the shape's inner colour (red and blue more than 10 apart, green within 9 of
// 165) shows the photo; the rest becomes the shape's own shading over the photo.
QRgb ShapePixel(QRgb photo, QRgb shape);

// Apply a mask or shape picture of exactly the display image's size to every pixel of
// display, which ends as Format_ARGB32 (converted from another format first). False,
// and display unchanged, when either picture is null or the sizes differ.
bool ApplyPhotoMask(QImage& display, const QImage& mask);
bool ApplyShape(QImage& display, const QImage& shape);
// ApplyPhotoMask or ApplyShape by kind; false for MaskKind::None.
bool ApplyMaskPicture(QImage& display, MaskKind kind, const QImage& maskAtDisplaySize);

// The frame image of a framed photo: the decoded frame picture smoothly scaled to the
// photo's displayed size, as Format_ARGB32_Premultiplied. Null when the picture is null
// or the size is empty or over 1 GB of pixels.
QImage BuildFrameImage(const QImage& framePicture, int width, int height);

// Where a framed photo of displayed size W x H is drawn: its opening, each fraction
// clamped to 0..1, widened by 0.01 of the size on every side, (trunc(W (left - 0.01)),
// trunc(H (top - 0.01)), trunc(W (right - left + 0.02)), trunc(H (bottom - top + 0.02)))
// as x, y, width, height. An empty rectangle for a NaN fraction or a size that puts an
// edge more than 2^24 pixels away.
QRect FrameOpeningRect(int width, int height, float left, float top, float right, float bottom);

} // namespace decor
