#pragma once

// The rectangle maths of the crop view, without widgets: where the photo is shown, the first
// crop rectangle, the aspect presets, the eight handles, resizing and moving with the mouse,
// the cursor over a point, and the crop in photo pixels. CropView draws and hit-tests with
// these functions; the tests call them directly.
//
// Rectangles are edge rectangles (left, top, right, bottom) with the right and bottom edges
// outside the area, so width = right - left. A point is inside when left <= x < right and
// top <= y < bottom. Every rectangle the functions return lies inside the photo's rectangle
// (the image rectangle), and never has a negative size.

#include <Qt>

#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <optional>

namespace crop {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(QPoint p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The aspect presets: radio buttons with these ids, captions and aspects, in this order.
struct AspectPreset {
    int id;
    const char* caption;
    int a;
    int b;
};
inline constexpr std::array<AspectPreset, 8> kAspectPresets{{
    {10580, "No Constraint", 0, 0},
    {10581, "4 * 3", 4, 3},
    {10582, "4 * 6", 4, 6},
    {10583, "5 * 7", 5, 7},
    {10584, "6 * 8", 6, 8},
    {10585, "7 * 10", 7, 10},
    {10586, "12 * 10", 12, 10},
    {10587, "16 * 9", 16, 9},
}};

// Handles: 8 x 8 pixels just outside the crop rectangle, numbered counter-clockwise from the
// top-left corner: 0 top-left, 1 middle left, 2 bottom-left, 3 middle bottom, 4 bottom-right,
// 5 middle right, 6 top-right, 7 middle top. Middle handles stand half of (height + 8) or
// (width + 8) from the corner handle before them.
inline constexpr int kHandleSize = 8;
inline constexpr int kHandleCount = 8;
inline constexpr int kNoHandle = -1;
std::array<Rect, kHandleCount> HandleRects(const Rect& crop);
// Corner handles (0, 2, 4, 6) are the only ones in use while an aspect is held.
inline bool IsCornerHandle(int handle)
{
    return handle >= 0 && handle < kHandleCount && handle % 2 == 0;
}

// Where the photo is shown: FitSize(photo, view, never enlarged), centred in a view of that
// size (offsets by integer halves).
Rect ImageRectInView(int photoWidth, int photoHeight, int viewWidth, int viewHeight);
// The first crop rectangle: the image rectangle inset by an eighth of its width on the left
// and right and an eighth of its height at the top and bottom (integer division).
Rect InitialCrop(const Rect& image);

// The crop rectangle for the aspect a : b (both non-zero): a rectangle half again as large
// as the current crop in the photo's proportions, centred in the image rectangle (the image
// rectangle when it would not fit), shrunk by 8 pixels on every side, then cut on its long
// side to a : b, centred. An image rectangle too small to shrink keeps the unshrunk one.
Rect AspectCrop(const Rect& crop, const Rect& image, float a, float b);

// The aspect held by the view; a and b zero when none is.
struct Aspect {
    float a = 0.0f;
    float b = 0.0f;
    bool constrained = false;
};

// The handle under a point (tested 0..7; only the corners while constrained), or kNoHandle.
int HitHandle(const Rect& crop, QPoint point, bool constrained);

// The crop rectangle while `handle` is dragged to `mouse`, from the rectangle as it was when
// the drag began. The dragged edges follow the mouse inside the image rectangle and turn
// over when they pass the opposite edge. With an aspect held (corner handles only) the size
// is cut to the aspect and the saved opposite corner stays where it was.
Rect ResizeCrop(const Rect& saved, int handle, QPoint mouse, const Rect& image, const Aspect& aspect);

// The saved rectangle moved by `travel`, then shifted back inside the image rectangle:
// left edge, right edge, bottom edge, top edge in that order (a later shift wins).
Rect MoveCrop(const Rect& saved, QPoint travel, const Rect& image);

// The cursor over a point: diagonal over handles 0 and 4 (north-west to south-east) and 2 and
// 6 (the other diagonal), horizontal over 1 and 5, vertical over 3 and 7 (middle handles not
// while constrained), the four-way move cursor inside the crop, else the arrow.
Qt::CursorShape CursorAt(const Rect& crop, QPoint point, bool constrained);

// The crop in photo pixels of the decoded size, by integer arithmetic truncating:
//   left = (crop.left - image.left) x decodedWidth div image width, likewise right with
//   crop.right, top and bottom with the heights. Nothing for an empty image rectangle.
std::optional<Rect> CropInPhoto(const Rect& crop, const Rect& image, int decodedWidth, int decodedHeight);

} // namespace crop
