#include "editing/CropGeometry.h"

#include "editing/PictureScaling.h"

#include <algorithm>

namespace crop {

namespace {

constexpr int kAspectMargin = 8;   // the aspect rectangle is shrunk by this on every side
constexpr double kAspectGrowth = 1.5;

// Which edges a handle moves.
struct HandleEdges {
    bool left;
    bool top;
    bool right;
    bool bottom;
};
constexpr std::array<HandleEdges, kHandleCount> kHandleEdges{{
    {true, true, false, false},  // 0 top-left
    {true, false, false, false}, // 1 left
    {true, false, false, true},  // 2 bottom-left
    {false, false, false, true}, // 3 bottom
    {false, false, true, true},  // 4 bottom-right
    {false, false, true, false}, // 5 right
    {false, true, true, false},  // 6 top-right
    {false, true, false, false}, // 7 top
}};

Rect Square(int left, int top)
{
    return {left, top, left + kHandleSize, top + kHandleSize};
}

} // namespace

std::array<Rect, kHandleCount> HandleRects(const Rect& crop)
{
    const int outerLeft = crop.left - kHandleSize;
    const int outerTop = crop.top - kHandleSize;
    const int midX = outerLeft + (crop.Width() + kHandleSize) / 2;
    const int midY = outerTop + (crop.Height() + kHandleSize) / 2;
    return {{
        Square(outerLeft, outerTop),     // 0
        Square(outerLeft, midY),         // 1
        Square(outerLeft, crop.bottom),  // 2
        Square(midX, crop.bottom),       // 3
        Square(crop.right, crop.bottom), // 4
        Square(crop.right, midY),        // 5
        Square(crop.right, outerTop),    // 6
        Square(midX, outerTop),          // 7
    }};
}

Rect ImageRectInView(int photoWidth, int photoHeight, int viewWidth, int viewHeight)
{
    const QSize shown = FitSize(photoWidth, photoHeight, viewWidth, viewHeight, false);
    const int left = (viewWidth - shown.width()) / 2;
    const int top = (viewHeight - shown.height()) / 2;
    return {left, top, left + shown.width(), top + shown.height()};
}

Rect InitialCrop(const Rect& image)
{
    const int dx = image.Width() / 8;
    const int dy = image.Height() / 8;
    return {image.left + dx, image.top + dy, image.right - dx, image.bottom - dy};
}

Rect AspectCrop(const Rect& crop, const Rect& image, float a, float b)
{
    const int imageSum = image.Width() + image.Height();
    if (a <= 0.0f || b <= 0.0f || imageSum <= 0)
        return crop;
    const double s = double(crop.Width() + crop.Height()) * kAspectGrowth / double(imageSum);
    const int w = static_cast<int>(s * image.Width());
    const int h = static_cast<int>(s * image.Height());
    Rect r;
    if (w > image.Width() || h > image.Height()) {
        r = image;
    } else {
        const int dx = (image.Width() - w) / 2;
        const int dy = (image.Height() - h) / 2;
        r = {image.left + dx, image.top + dy, image.left + dx + w, image.top + dy + h};
    }
    const Rect shrunk{r.left + kAspectMargin, r.top + kAspectMargin, r.right - kAspectMargin,
                      r.bottom - kAspectMargin};
    if (shrunk.Width() > 0 && shrunk.Height() > 0)
        r = shrunk;
    if (r.Width() <= 0 || r.Height() <= 0)
        return r;

    const float width = float(r.Width());
    const float height = float(r.Height());
    if (width / height >= a / b) {
        const int u = static_cast<int>((width - a * height / b) / 2.0f);
        r.left += u;
        r.right -= u;
    } else {
        const int u = static_cast<int>((height - b * width / a) / 2.0f);
        r.top += u;
        r.bottom -= u;
    }
    return r;
}

int HitHandle(const Rect& crop, QPoint point, bool constrained)
{
    const std::array<Rect, kHandleCount> handles = HandleRects(crop);
    for (int i = 0; i < kHandleCount; ++i) {
        if (constrained && !IsCornerHandle(i))
            continue;
        if (handles[static_cast<std::size_t>(i)].Contains(point))
            return i;
    }
    return kNoHandle;
}

Rect ResizeCrop(const Rect& saved, int handle, QPoint mouse, const Rect& image, const Aspect& aspect)
{
    if (handle < 0 || handle >= kHandleCount)
        return saved;
    const HandleEdges edges = kHandleEdges[static_cast<std::size_t>(handle)];
    const int mx = mouse.x();
    const int my = mouse.y();
    Rect r = saved;
    if (edges.left) {
        r.left = std::max(image.left, std::min(mx, saved.right));
        r.right = std::min(image.right, std::max(saved.right, mx));
    } else if (edges.right) {
        r.left = std::max(image.left, std::min(mx, saved.left));
        r.right = std::min(image.right, std::max(saved.left, mx));
    }
    if (edges.top) {
        r.top = std::max(image.top, std::min(my, saved.bottom));
        r.bottom = std::min(image.bottom, std::max(saved.bottom, my));
    } else if (edges.bottom) {
        r.top = std::max(image.top, std::min(my, saved.top));
        r.bottom = std::min(image.bottom, std::max(saved.top, my));
    }

    if (!aspect.constrained || !IsCornerHandle(handle) || aspect.a <= 0.0f || aspect.b <= 0.0f)
        return r;

    // Cut the size to the aspect, then keep the saved opposite corner.
    int d = r.Width();
    int e = r.Height();
    if (e > 0 && aspect.a / aspect.b >= float(d) / float(e))
        e = static_cast<int>(float(d) * aspect.b / aspect.a);
    else
        d = static_cast<int>(float(e) * aspect.a / aspect.b);

    if (edges.top) {
        if (r.top < saved.bottom)
            r.top = r.bottom - e;
        else
            r.bottom = r.top + e;
    } else {
        if (r.bottom > saved.top)
            r.bottom = r.top + e;
        else
            r.top = r.bottom - e;
    }
    if (edges.left) {
        if (r.left < saved.right)
            r.left = r.right - d;
        else
            r.right = r.left + d;
    } else {
        if (r.right > saved.left)
            r.right = r.left + d;
        else
            r.left = r.right - d;
    }
    return r;
}

Rect MoveCrop(const Rect& saved, QPoint travel, const Rect& image)
{
    Rect r{saved.left + travel.x(), saved.top + travel.y(), saved.right + travel.x(), saved.bottom + travel.y()};
    const auto shift = [&r](int dx, int dy) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    };
    if (r.left < image.left)
        shift(image.left - r.left, 0);
    if (r.right > image.right)
        shift(image.right - r.right, 0);
    if (r.bottom > image.bottom)
        shift(0, image.bottom - r.bottom);
    if (r.top < image.top)
        shift(0, image.top - r.top);
    return r;
}

Qt::CursorShape CursorAt(const Rect& crop, QPoint point, bool constrained)
{
    switch (HitHandle(crop, point, constrained)) {
    case 0:
    case 4:
        return Qt::SizeFDiagCursor;
    case 2:
    case 6:
        return Qt::SizeBDiagCursor;
    case 1:
    case 5:
        return Qt::SizeHorCursor;
    case 3:
    case 7:
        return Qt::SizeVerCursor;
    default:
        return crop.Contains(point) ? Qt::SizeAllCursor : Qt::ArrowCursor;
    }
}

std::optional<Rect> CropInPhoto(const Rect& crop, const Rect& image, int decodedWidth, int decodedHeight)
{
    const std::int64_t w = image.Width();
    const std::int64_t h = image.Height();
    if (w <= 0 || h <= 0)
        return std::nullopt;
    const auto along = [](int edge, int origin, std::int64_t size, int decoded) {
        return static_cast<int>(std::int64_t(edge - origin) * decoded / size);
    };
    return Rect{along(crop.left, image.left, w, decodedWidth), along(crop.top, image.top, h, decodedHeight),
                along(crop.right, image.left, w, decodedWidth), along(crop.bottom, image.top, h, decodedHeight)};
}

} // namespace crop
