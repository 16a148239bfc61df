// The arithmetic of the mouse gestures, the brush-stamp counter, scrolling and the
// scroll-bar geometry, called without a window.

#include "canvas/CanvasGestures.h"
#include "canvas/CanvasCursors.h"

#include <gtest/gtest.h>

using namespace gestures;

namespace {

DrawFields Item(std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h, float s)
{
    DrawFields f;
    f.left = left;
    f.top = top;
    f.w = w;
    f.h = h;
    f.s = s;
    f.k = 1.0f;
    return f;
}

TEST(CanvasGestures, HandleBoxesAroundAnItem)
{
    const auto r = HandleRects(100, 60);
    const QRect expected[kHandleCount] = {
        {-8, -8, 8, 8}, {-8, 26, 8, 8},  {-8, 60, 8, 8},  {46, 60, 8, 8},  {100, 60, 8, 8},  {100, 26, 8, 8},
        {100, -8, 8, 8}, {46, -8, 8, 8}, {-16, -16, 8, 8}, {-16, 68, 8, 8}, {108, -16, 8, 8}, {108, 68, 8, 8},
    };
    for (int k = 0; k < kHandleCount; ++k)
        EXPECT_EQ(r[std::size_t(k)], expected[k]) << "handle " << k;
    // Odd sizes: the halves are integer divisions ((13 + 8) / 2 - 8 = 2).
    EXPECT_EQ(HandleRects(13, 13)[1].topLeft(), QPoint(-8, 2));
    EXPECT_EQ(HandleRects(13, 13)[7].topLeft(), QPoint(2, -8));
    // Cursors: corners diagonal, edges straight, 8..11 rotate.
    EXPECT_EQ(kHandleSpecs[0].cursor, HandleCursor::SizeNwse);
    EXPECT_EQ(kHandleSpecs[4].cursor, HandleCursor::SizeNwse);
    EXPECT_EQ(kHandleSpecs[2].cursor, HandleCursor::SizeNesw);
    EXPECT_EQ(kHandleSpecs[6].cursor, HandleCursor::SizeNesw);
    EXPECT_EQ(kHandleSpecs[1].cursor, HandleCursor::SizeWe);
    EXPECT_EQ(kHandleSpecs[3].cursor, HandleCursor::SizeNs);
    for (int k = 8; k < kHandleCount; ++k)
        EXPECT_EQ(kHandleSpecs[std::size_t(k)].cursor, HandleCursor::Rotate);
}

TEST(CanvasGestures, DirectionInEachQuadrantAndStraightUpAndDown)
{
    const QPoint c(100, 100);
    EXPECT_DOUBLE_EQ(*DirectionFromCentre(c, {50, 100}), 0.0);    // left, level
    EXPECT_NEAR(*DirectionFromCentre(c, {50, 50}), 45.0, 1e-9);    // left, above
    EXPECT_NEAR(*DirectionFromCentre(c, {50, 150}), -45.0, 1e-9);  // left, below
    EXPECT_NEAR(*DirectionFromCentre(c, {150, 50}), 135.0, 1e-9);  // right, above
    EXPECT_NEAR(*DirectionFromCentre(c, {150, 150}), -135.0, 1e-9); // right, below
    EXPECT_DOUBLE_EQ(*DirectionFromCentre(c, {150, 100}), 180.0);  // right, level: "not below"
    EXPECT_DOUBLE_EQ(*DirectionFromCentre(c, {100, 20}), 90.0);
    EXPECT_DOUBLE_EQ(*DirectionFromCentre(c, {100, 180}), -90.0);
    EXPECT_NEAR(*DirectionFromCentre(c, {40, 70}), 26.565051, 1e-5); // atan(30 / 60)
    EXPECT_FALSE(DirectionFromCentre(c, c).has_value());
}

TEST(CanvasGestures, RotationOfADegenerateItemOrOnTheCentreChangesNothing)
{
    const DrawFields f = Item(100, 100, 200, 100, 1.0f);
    EXPECT_FALSE(RotationAngle(f, 0.75f, 8, ItemCentre(f, 0.75f)).has_value());
    const DrawFields empty = Item(10, 10, 0, 0, 1.0f);
    EXPECT_FALSE(RotationAngle(empty, 1.0f, 11, {50, 50}).has_value());
    EXPECT_FALSE(Resize(empty, 1.0f, 4, {50, 50}).has_value());
    // An edge handle of an item less than 2 view pixels wide has no reference distance.
    EXPECT_FALSE(Resize(Item(0, 0, 1, 100, 1.0f), 1.0f, 5, {50, 50}).has_value());
    EXPECT_TRUE(Resize(Item(0, 0, 1, 100, 1.0f), 1.0f, 3, {50, 50}).has_value());
}

TEST(CanvasGestures, ResizeFloorKeepsWidthPlusHeightAtSixteen)
{
    // 30 + 10 = 40 canvas pixels; the point on the centre gives scale 0, floored to 0.4.
    const DrawFields f = Item(0, 0, 30, 10, 1.0f);
    const auto r = Resize(f, 1.0f, 0, ItemCentre(f, 1.0f));
    ASSERT_TRUE(r.has_value());
    EXPECT_FLOAT_EQ(r->scale, 16.0f / 40.0f);
    EXPECT_GE(40.0f * r->scale, 16.0f - 1e-4f);
    // The position is taken from the scale before the floor: the centre, (15, 5).
    EXPECT_EQ(r->posX, 15);
    EXPECT_EQ(r->posY, 5);
}

TEST(CanvasGestures, MovedPositionTruncatesTowardsZero)
{
    // (10 x 0.75 - 20) / 0.75 = -16.67 -> -16; (10 x 0.75 + 7) / 0.75 = 19.33 -> 19.
    EXPECT_EQ(MovedPosition({10, 10}, 0.75f, {100, 100}, {80, 107}), QPoint(-16, 19));
    EXPECT_EQ(MovedPosition({10, 10}, 0.75f, {100, 100}, {100, 100}), QPoint(10, 10));
}

TEST(CanvasGestures, StampCounterWrapsAfterAThousand)
{
    EXPECT_EQ(NextStampCounter(0), 1);
    EXPECT_EQ(NextStampCounter(999), 1000);
    EXPECT_EQ(NextStampCounter(1000), 0);
    EXPECT_TRUE(StampsAt(0));
    EXPECT_TRUE(StampsAt(999));
    EXPECT_FALSE(StampsAt(1000));
    // Stamps over 2004 moves from 0: every third up to 999, then 0 again, then every third.
    std::int32_t c = 0;
    int stamps = 0;
    for (int i = 0; i < 2002; ++i) {
        c = NextStampCounter(c);
        stamps += StampsAt(c) ? 1 : 0;
    }
    EXPECT_EQ(c, 0);             // 1001 moves bring it to 0, 2002 moves twice
    EXPECT_EQ(stamps, 2 * 334);  // 3..999 (333) and 0, twice
}

TEST(CanvasGestures, ScrollRangesAndCodes)
{
    EXPECT_EQ(ScrollRange(1024, 0.75f, 500), 285);
    EXPECT_EQ(ScrollRange(768, 0.75f, 400), 193);
    EXPECT_EQ(ScrollRange(1024, 0.75f, 784), 1);
    EXPECT_EQ(ScrollRange(1024, 0.75f, 785), 0);
    EXPECT_EQ(ScrollRange(1024, 0.75f, 2000), 0);
    EXPECT_EQ(ScrollRange(1001, 1.25f, 500), 768); // 1251.25 - 500 + 17, truncated

    EXPECT_EQ(ApplyScrollCode(LineBack, 30, 285, 0), 29);
    EXPECT_EQ(ApplyScrollCode(LineForward, 30, 285, 0), 31);
    EXPECT_EQ(ApplyScrollCode(PageBack, 130, 285, 0), 30);
    EXPECT_EQ(ApplyScrollCode(PageBack, 30, 285, 0), 0);
    EXPECT_EQ(ApplyScrollCode(PageForward, 30, 285, 0), 130);
    EXPECT_EQ(ApplyScrollCode(PageForward, 250, 285, 0), 285);
    EXPECT_EQ(ApplyScrollCode(ThumbPosition, 30, 285, 200), 200);
    EXPECT_EQ(ApplyScrollCode(ThumbTrack, 30, 285, 999), 285);
    EXPECT_EQ(ApplyScrollCode(ThumbTrack, 30, 285, -5), 0);
    EXPECT_EQ(ApplyScrollCode(Start, 30, 285, 0), 0);
    EXPECT_EQ(ApplyScrollCode(End, 30, 285, 0), 285);
    EXPECT_EQ(ApplyScrollCode(LineBack, 0, 285, 0), 0);
    EXPECT_EQ(ApplyScrollCode(8, 30, 285, 0), 30); // unknown code
    EXPECT_EQ(ApplyScrollCode(End, 30, 0, 0), 0);
}

TEST(CanvasGestures, ScrollBarsOnePixelBeyondTheEdgesAndShortenedForEachOther)
{
    const ScrollBarPlacement both = PlaceScrollBars(QSize(500, 400), true, true);
    EXPECT_EQ(both.vertical, QRect(484, -1, 17, 385));   // x 484..501, y -1..384
    EXPECT_EQ(both.horizontal, QRect(-1, 384, 485, 17)); // x -1..484, y 384..401
    const ScrollBarPlacement one = PlaceScrollBars(QSize(500, 400), true, false);
    EXPECT_EQ(one.vertical, QRect(484, -1, 17, 402));
    EXPECT_TRUE(one.horizontal.isNull());
    const ScrollBarPlacement other = PlaceScrollBars(QSize(500, 400), false, true);
    EXPECT_EQ(other.horizontal, QRect(-1, 384, 502, 17));
}

TEST(CanvasGestures, ThumbLengthStartAndPosition)
{
    constexpr int L = 300;
    // R = 0: the whole track between the arrows, at its start.
    EXPECT_EQ(ThumbLength(L, 0), 268);
    EXPECT_EQ(ThumbStart(L, 0, 0), 16);
    EXPECT_FALSE(PositionAtThumb(L, 0, 16).has_value());
    // R = 9: 300 - 3 x 248 / 100 - 32 = 261.
    EXPECT_EQ(ThumbLength(L, 9), 261);
    // R = 100: 300 - 10 x 248 / 100 - 32 = 244; u = 24 / 100.
    EXPECT_EQ(ThumbLength(L, 100), 244);
    EXPECT_EQ(ThumbStart(L, 100, 0), 16);
    EXPECT_EQ(ThumbStart(L, 100, 60), 30);   // 16 + trunc(14.4)
    EXPECT_EQ(ThumbStart(L, 100, 100), 40);  // L - 16 - thumb
    EXPECT_EQ(ThumbStart(L, 100, 500), 40);  // clamped
    EXPECT_EQ(PositionAtThumb(L, 100, 30), 58); // trunc(14 / 0.24)
    EXPECT_EQ(PositionAtThumb(L, 100, 40), 100);
    EXPECT_FALSE(PositionAtThumb(L, 100, 15).has_value());
    // R = 10,000 and beyond: 20 pixels.
    EXPECT_EQ(ThumbLength(L, 10000), 20);
    EXPECT_EQ(ThumbLength(L, 1000000), 20);
    EXPECT_EQ(ThumbStart(L, 10000, 1234), 46); // 16 + trunc(1234 x 0.0248)
    EXPECT_EQ(ThumbStart(L, 10000, 10000), 264);
    // A bar too short for its arrows has no thumb.
    EXPECT_EQ(ThumbLength(20, 100), 0);
}

TEST(CanvasGestures, CursorPicturesAreSharpWithCentredHotspots)
{
    for (const cursors::CursorPicture& c : {cursors::StampCursorPicture(), cursors::RotationCursorPicture()}) {
        ASSERT_EQ(c.image.size(), QSize(32, 32));
        EXPECT_EQ(c.hotspot, QPoint(15, 15));
        // The hotspot pixel is black on a white ring; corners are transparent.
        EXPECT_EQ(c.image.pixel(15, 15), 0xFF000000u);
        EXPECT_EQ(c.image.pixel(14, 15), 0xFFFFFFFFu);
        EXPECT_EQ(qAlpha(c.image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(c.image.pixel(31, 31)), 0);
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                opaque += qAlpha(c.image.pixel(x, y)) == 255 ? 1 : 0;
        EXPECT_GT(opaque, 60);
    }
}

} // namespace
