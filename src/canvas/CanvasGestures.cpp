#include "canvas/CanvasGestures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gestures {

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

std::int32_t Clamp32(std::int64_t v)
{
    constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, kLow, kHigh));
}

// trunc(sqrt(a^2 + b^2)) without overflow for any two int32 values.
std::int64_t IntegerDistance(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(std::sqrt(static_cast<double>(a) * static_cast<double>(a)
                                               + static_cast<double>(b) * static_cast<double>(b)));
}

} // namespace

std::array<QRect, kHandleCount> HandleRects(int W, int H)
{
    const QPoint corners[kHandleCount] = {
        {-8, -8},
        {-8, (H + 8) / 2 - 8},
        {-8, H},
        {(W + 8) / 2 - 8, H},
        {W, H},
        {W, (H + 8) / 2 - 8},
        {W, -8},
        {(W + 8) / 2 - 8, -8},
        {-16, -16},
        {-16, H + 8},
        {W + 8, -16},
        {W + 8, H + 8},
    };
    std::array<QRect, kHandleCount> rects{};
    for (int k = 0; k < kHandleCount; ++k)
        rects[std::size_t(k)] = QRect(corners[k], QSize(kHandleSize, kHandleSize));
    return rects;
}

QPoint ItemCentre(const DrawFields& f, float zoom)
{
    const float cx = (static_cast<float>(f.left) + static_cast<float>(f.w) * f.s / 2.0f) * zoom;
    const float cy = (static_cast<float>(f.top) + static_cast<float>(f.h) * f.s / 2.0f) * zoom;
    return QPoint(TruncToInt(cx), TruncToInt(cy));
}

QPoint RotationReference(const DrawFields& f, float zoom, int handle)
{
    const std::int32_t left = TruncToInt(static_cast<float>(f.left) * zoom);
    const std::int32_t right = TruncToInt((static_cast<float>(f.left) + static_cast<float>(f.w) * f.s) * zoom);
    const std::int32_t top = TruncToInt(static_cast<float>(f.top) * zoom);
    const std::int32_t bottom = TruncToInt((static_cast<float>(f.top) + static_cast<float>(f.h) * f.s) * zoom);
    switch (handle) {
    case 8:
        return QPoint(left, top);
    case 9:
        return QPoint(left, bottom);
    case 10:
        return QPoint(right, top);
    default:
        return QPoint(right, bottom);
    }
}

std::optional<double> DirectionFromCentre(QPoint centre, QPoint p)
{
    const std::int64_t dx = std::int64_t(p.x()) - centre.x();
    const std::int64_t dy = std::int64_t(centre.y()) - p.y(); // up is positive
    if (dx == 0) {
        if (dy == 0)
            return std::nullopt;
        return dy > 0 ? 90.0 : -90.0;
    }
    const double a = std::atan(std::abs(static_cast<double>(dy) / static_cast<double>(dx))) * kDegreesPerRadian;
    const bool left = dx < 0;
    const bool below = dy < 0;
    if (left)
        return below ? -a : a;
    return below ? a - 180.0 : 180.0 - a;
}

std::optional<float> RotationAngle(const DrawFields& f, float zoom, int handle, QPoint viewPoint)
{
    const QPoint centre = ItemCentre(f, zoom);
    const std::optional<double> to = DirectionFromCentre(centre, viewPoint);
    const std::optional<double> from = DirectionFromCentre(centre, RotationReference(f, zoom, handle));
    if (!to || !from)
        return std::nullopt;
    return static_cast<float>(*to - *from);
}

std::optional<ResizeResult> Resize(const DrawFields& f, float zoom, int handle, QPoint viewPoint)
{
    const QPoint centre = ItemCentre(f, zoom);
    const std::int64_t d =
        IntegerDistance(std::int64_t(viewPoint.x()) - centre.x(), std::int64_t(viewPoint.y()) - centre.y());
    const std::int64_t wz = TruncToInt(static_cast<float>(f.w) * zoom / 2.0f);
    const std::int64_t hz = TruncToInt(static_cast<float>(f.h) * zoom / 2.0f);
    std::int64_t r = 0;
    if (handle == 1 || handle == 5)
        r = wz;
    else if (handle == 3 || handle == 7)
        r = hz;
    else
        r = IntegerDistance(hz, wz);
    if (r <= 0)
        return std::nullopt;

    ResizeResult result;
    result.scale = static_cast<float>(d) / static_cast<float>(r);
    const float halfW = static_cast<float>(f.w) * result.scale * zoom / 2.0f;
    const float halfH = static_cast<float>(f.h) * result.scale * zoom / 2.0f;
    result.posX = TruncToInt((static_cast<float>(centre.x()) - halfW) / zoom);
    result.posY = TruncToInt((static_cast<float>(centre.y()) - halfH) / zoom);
    const float sides = static_cast<float>(std::int64_t(f.w) + f.h);
    if (sides > 0.0f && sides * result.scale < kMinSideSum)
        result.scale = kMinSideSum / sides;
    return result;
}

QPoint MovedPosition(QPoint dragStart, float zoom, QPoint press, QPoint client)
{
    const auto axis = [zoom](int start, int pressed, int now) {
        const float travel = static_cast<float>(std::int64_t(now) - pressed);
        return TruncToInt((static_cast<float>(start) * zoom + travel) / zoom);
    };
    return QPoint(axis(dragStart.x(), press.x(), client.x()), axis(dragStart.y(), press.y(), client.y()));
}

std::int32_t NextStampCounter(std::int32_t counter)
{
    const std::int32_t next = counter + 1;
    return next > kStampCounterWrap || next < 0 ? 0 : next;
}

std::int32_t ScrollRange(std::int32_t canvasSide, float zoom, int clientSide)
{
    return std::max(0, TruncToInt(static_cast<float>(canvasSide) * zoom - static_cast<float>(clientSide)
                                  + static_cast<float>(kScrollAllowance)));
}

std::int32_t ApplyScrollCode(int code, std::int32_t position, std::int32_t range, std::int32_t value)
{
    std::int64_t next = position;
    switch (code) {
    case LineBack:
        next = std::int64_t(position) - 1;
        break;
    case LineForward:
        next = std::int64_t(position) + 1;
        break;
    case PageBack:
        next = std::int64_t(position) - kScrollPage;
        break;
    case PageForward:
        next = std::int64_t(position) + kScrollPage;
        break;
    case ThumbPosition:
    case ThumbTrack:
        next = value;
        break;
    case Start:
        next = 0;
        break;
    case End:
        next = range;
        break;
    default:
        break;
    }
    return Clamp32(std::clamp<std::int64_t>(next, 0, std::max<std::int64_t>(0, range)));
}

ScrollBarPlacement PlaceScrollBars(QSize client, bool verticalShown, bool horizontalShown)
{
    // The vertical bar runs from x = right - 16 to right + 1 and from y = -1 to
    // bottom + 1 (far edges exclusive); the horizontal bar likewise.
    const int right = client.width();
    const int bottom = client.height();
    const int t = kScrollBarThickness;
    ScrollBarPlacement placement;
    if (verticalShown)
        placement.vertical = QRect(right - 16, -1, t, bottom + 2 - (horizontalShown ? t : 0));
    if (horizontalShown)
        placement.horizontal = QRect(-1, bottom - 16, right + 2 - (verticalShown ? t : 0), t);
    return placement;
}

int ThumbLength(int length, std::int32_t range)
{
    const std::int64_t root =
        range > 0 ? std::min<std::int64_t>(static_cast<std::int64_t>(std::sqrt(double(range))), 100) : 0;
    const std::int64_t L = length;
    const std::int64_t thumb = L - root * (L - kMinThumbTrackCut) / 100 - 2 * kArrowLength;
    return static_cast<int>(std::clamp<std::int64_t>(thumb, 0, std::max(0, length - 2 * kArrowLength)));
}

namespace {

// Pixels of track the thumb moves over per scroll position; 0 when it cannot move.
double ThumbUnit(int length, std::int32_t range)
{
    if (range <= 0)
        return 0.0;
    const int room = length - ThumbLength(length, range) - 2 * kArrowLength;
    return room > 0 ? static_cast<double>(room) / static_cast<double>(range) : 0.0;
}

} // namespace

int ThumbStart(int length, std::int32_t range, std::int32_t position)
{
    const int thumb = ThumbLength(length, range);
    const int last = std::max(kArrowLength, length - kArrowLength - thumb);
    const double u = ThumbUnit(length, range);
    const std::int64_t start = kArrowLength + static_cast<std::int64_t>(static_cast<double>(position) * u);
    return static_cast<int>(std::clamp<std::int64_t>(start, kArrowLength, last));
}

std::optional<std::int32_t> PositionAtThumb(int length, std::int32_t range, int start)
{
    const double u = ThumbUnit(length, range);
    if (u <= 0.0)
        return std::nullopt;
    const double p = std::trunc(static_cast<double>(start - kArrowLength) / u);
    if (p < 0.0 || p > static_cast<double>(range))
        return std::nullopt;
    return static_cast<std::int32_t>(p);
}

} // namespace gestures
