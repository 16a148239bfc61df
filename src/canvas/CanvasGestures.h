#pragma once

// The arithmetic of editing the collage with the mouse, without a window: the twelve
// selection handles, the angle of a rotation drag, the scale and position of a resize
// drag, the position of a move drag, the brush-stamp counter, the scroll ranges and
// scroll-bar codes, the placement of the canvas's two scroll bars and the geometry of a
// scroll-bar control. The canvas window and the scroll-bar control call these; tests call
// them directly with the same numbers.
//
// Positions are 32-bit integers and are truncated where the canvas truncates them;
// scales, angles and the zoom are 32-bit floats. Coordinates are view coordinates
// (client + scroll offset) unless a name says otherwise.

#include "canvas/ItemRecords.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>

namespace gestures {

// ---- handles ----

constexpr int kHandleCount = 12;
constexpr int kHandleSize = 8;
constexpr int kFirstRotationHandle = 8;

// What a handle does and which cursor it shows.
enum class HandleCursor { SizeNwse, SizeWe, SizeNesw, SizeNs, Rotate };

// What each handle does, by number; HandleRects gives their boxes.
struct HandleSpec {
    HandleCursor cursor;
    bool corner; // a resize corner (0, 2, 4, 6)
};
inline constexpr std::array<HandleSpec, kHandleCount> kHandleSpecs{{
    {HandleCursor::SizeNwse, true},  // 0 top-left
    {HandleCursor::SizeWe, false},   // 1 left edge
    {HandleCursor::SizeNesw, true},  // 2 bottom-left
    {HandleCursor::SizeNs, false},   // 3 bottom edge
    {HandleCursor::SizeNwse, true},  // 4 bottom-right
    {HandleCursor::SizeWe, false},   // 5 right edge
    {HandleCursor::SizeNesw, true},  // 6 top-right
    {HandleCursor::SizeNs, false},   // 7 top edge
    {HandleCursor::Rotate, false},   // 8 beyond the top-left corner
    {HandleCursor::Rotate, false},   // 9 beyond the bottom-left corner
    {HandleCursor::Rotate, false},   // 10 beyond the top-right corner
    {HandleCursor::Rotate, false},   // 11 beyond the bottom-right corner
}};

// The twelve handle boxes around an item shown W x H (halves are integer divisions).
std::array<QRect, kHandleCount> HandleRects(int W, int H);

// ---- the selected item's geometry at a zoom ----

// The item's centre in view coordinates: (trunc((posX + w*s/2) * zoom), trunc((posY + h*s/2) * zoom)).
QPoint ItemCentre(const DrawFields& f, float zoom);
// The unrotated corner a rotation handle (8..11) was grabbed beyond: top-left, bottom-left,
// top-right, bottom-right, each coordinate truncated at the zoom.
QPoint RotationReference(const DrawFields& f, float zoom, int handle);

// The direction of p seen from the centre, in degrees: 0 to the left, 90 straight up,
// 180 (or -180) to the right, -90 straight down. Nothing for p on the centre.
std::optional<double> DirectionFromCentre(QPoint centre, QPoint p);

// The new angle of a rotation drag on handle 8..11 to the view point; nothing when the
// point or the reference corner lies on the centre (no direction to take).
std::optional<float> RotationAngle(const DrawFields& f, float zoom, int handle, QPoint viewPoint);

// The result of a resize drag on handle 0..7.
struct ResizeResult {
    float scale = 0;
    std::int32_t posX = 0;
    std::int32_t posY = 0;
};
// The smallest width + height of a resized item in canvas pixels.
constexpr float kMinSideSum = 16.0f;
// Resizes about the centre keeping the aspect: scale = d / r, the position from that
// scale, then the floor (w + h) * scale >= 16. Nothing when the reference distance r is
// 0 (an item too small at this zoom to measure).
std::optional<ResizeResult> Resize(const DrawFields& f, float zoom, int handle, QPoint viewPoint);

// The position of a moved item: trunc((start * zoom + client - press) / zoom) per axis.
QPoint MovedPosition(QPoint dragStart, float zoom, QPoint press, QPoint client);

// ---- brush stamping ----

constexpr std::int32_t kStampCounterWrap = 1000;
constexpr std::int32_t kStampEvery = 3;
// The counter after one more move: 1000 is followed by 0.
std::int32_t NextStampCounter(std::int32_t counter);
inline bool StampsAt(std::int32_t counter)
{
    return counter % kStampEvery == 0;
}

// ---- scrolling ----

constexpr int kScrollBarThickness = 17;
constexpr int kScrollAllowance = 17; // room for the other bar in the range
constexpr int kScrollPage = 100;

enum ScrollCode : int {
    LineBack = 0,
    LineForward = 1,
    PageBack = 2,
    PageForward = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Start = 6,
    End = 7,
};

// max(0, trunc(side * zoom - client + 17)).
std::int32_t ScrollRange(std::int32_t canvasSide, float zoom, int clientSide);
// The position after a code, clamped to [0, range]; an unknown code keeps the position.
std::int32_t ApplyScrollCode(int code, std::int32_t position, std::int32_t range, std::int32_t value);

// Where the canvas window puts its bars: one pixel beyond its client edges, each
// shortened at its far end while the other shows. Empty rectangles for hidden bars.
struct ScrollBarPlacement {
    QRect vertical;
    QRect horizontal;
};
ScrollBarPlacement PlaceScrollBars(QSize client, bool verticalShown, bool horizontalShown);

// ---- the scroll-bar control, along its length L ----

constexpr int kArrowLength = 16;
constexpr int kMinThumbTrackCut = 52; // L - 52: how much of the track a large range takes away

// L - min(trunc(sqrt(R)), 100) * (L - 52) / 100 - 32, never below 0.
int ThumbLength(int length, std::int32_t range);
// 16 + trunc(p * u), u = (L - thumb - 32) / R, clamped to [16, L - 16 - thumb]; 16 for R = 0.
int ThumbStart(int length, std::int32_t range, std::int32_t position);
// The position a thumb dragged to `start` stands for: trunc((start - 16) / u); nothing
// when it is outside [0, R] or the bar has no room to move the thumb.
std::optional<std::int32_t> PositionAtThumb(int length, std::int32_t range, int start);

} // namespace gestures
