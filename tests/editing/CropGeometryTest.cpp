// The crop rectangle maths: where the photo stands, the first crop, the aspect presets, the
// handles, resizing (turning over, the held aspect keeping the opposite corner), moving (the
// shift order), the cursors and the result in photo pixels.

#include "editing/CropGeometry.h"

#include <gtest/gtest.h>

#include <set>

using crop::Rect;

namespace {

crop::Aspect Held(float a, float b)
{
    return {a, b, true};
}

} // namespace

TEST(CropGeometry, PresetTableOrderIdsAndAspects)
{
    std::set<int> ids;
    for (std::size_t i = 0; i < crop::kAspectPresets.size(); ++i) {
        EXPECT_EQ(crop::kAspectPresets[i].id, 10580 + static_cast<int>(i));
        ids.insert(crop::kAspectPresets[i].id);
    }
    EXPECT_EQ(ids.size(), 8u);
    EXPECT_STREQ(crop::kAspectPresets[0].caption, "No Constraint");
    EXPECT_EQ(crop::kAspectPresets[0].a, 0);
    EXPECT_STREQ(crop::kAspectPresets[7].caption, "16 * 9");
    EXPECT_EQ(crop::kAspectPresets[7].a, 16);
    EXPECT_EQ(crop::kAspectPresets[7].b, 9);
    EXPECT_STREQ(crop::kAspectPresets[2].caption, "4 * 6");
    EXPECT_EQ(crop::kAspectPresets[2].b, 6);
}

TEST(CropGeometry, SmallPhotoKeepsItsSizeLargeOneIsFittedBothCentred)
{
    EXPECT_EQ(crop::ImageRectInView(200, 100, 600, 400), (Rect{200, 150, 400, 250}));
    // Wider than the view: fitted to the width, centred vertically.
    EXPECT_EQ(crop::ImageRectInView(1600, 400, 600, 400), (Rect{0, 125, 600, 275}));
    // Taller: fitted to the height.
    EXPECT_EQ(crop::ImageRectInView(300, 1200, 600, 400), (Rect{250, 0, 350, 400}));
    // Exactly the view's size: unchanged.
    EXPECT_EQ(crop::ImageRectInView(600, 400, 600, 400), (Rect{0, 0, 600, 400}));
    // Odd differences centre by integer halves.
    EXPECT_EQ(crop::ImageRectInView(101, 51, 200, 100), (Rect{49, 24, 150, 75}));
}

TEST(CropGeometry, FirstCropIsInsetByAnEighth)
{
    EXPECT_EQ(crop::InitialCrop({100, 0, 500, 400}), (Rect{150, 50, 450, 350}));
    // 100 / 8 = 12, 60 / 8 = 7.
    EXPECT_EQ(crop::InitialCrop({10, 20, 110, 80}), (Rect{22, 27, 98, 73}));
}

TEST(CropGeometry, SixteenByNineOnASquarePhotoIsCentred)
{
    const Rect image{100, 0, 500, 400};
    const Rect r = crop::AspectCrop(crop::InitialCrop(image), image, 16.0f, 9.0f);
    // The grown rectangle does not fit, so the image less 8 on each side is cut to 16:9.
    EXPECT_EQ(r, (Rect{108, 92, 492, 308}));
    EXPECT_EQ(r.Width() * 9, r.Height() * 16);
    EXPECT_EQ(r.left - image.left, image.right - r.right);
    EXPECT_EQ(r.top - image.top, image.bottom - r.bottom);
}

TEST(CropGeometry, AspectFromASmallCropGrowsItInThePhotosProportions)
{
    // s = 200 x 1.5 / 1400; 171 x 128 centred at (314, 236), shrunk by 8 to 155 x 112, then
    // cut on the width to 4:3 by u = trunc((155 - 149.33) / 2) = 2.
    const Rect r = crop::AspectCrop({300, 200, 400, 300}, {0, 0, 800, 600}, 4.0f, 3.0f);
    EXPECT_EQ(r, (Rect{324, 244, 475, 356}));
    // A tall preset on the same rectangle cuts the width further: u = trunc((155 - 74.67) / 2) = 40.
    EXPECT_EQ(crop::AspectCrop({300, 200, 400, 300}, {0, 0, 800, 600}, 4.0f, 6.0f), (Rect{362, 244, 437, 356}));
    // A wide preset on a tall photo cuts the height: 384 x 584 at 4:3, u = trunc((584 - 288) / 2).
    EXPECT_EQ(crop::AspectCrop({50, 75, 350, 525}, {0, 0, 400, 600}, 4.0f, 3.0f), (Rect{8, 156, 392, 444}));
}

TEST(CropGeometry, AspectOnATinyPhotoStaysInsideWithoutNegativeSize)
{
    const Rect image{50, 50, 60, 56};
    const Rect r = crop::AspectCrop(crop::InitialCrop(image), image, 16.0f, 9.0f);
    EXPECT_GE(r.Width(), 0);
    EXPECT_GE(r.Height(), 0);
    EXPECT_GE(r.left, image.left);
    EXPECT_LE(r.right, image.right);
    EXPECT_GE(r.top, image.top);
    EXPECT_LE(r.bottom, image.bottom);
}

TEST(CropGeometry, HandlesStandJustOutsideTheRectangle)
{
    const auto h = crop::HandleRects({100, 100, 200, 180});
    EXPECT_EQ(h[0], (Rect{92, 92, 100, 100}));
    EXPECT_EQ(h[1], (Rect{92, 136, 100, 144})); // 92 + (80 + 8) / 2
    EXPECT_EQ(h[2], (Rect{92, 180, 100, 188}));
    EXPECT_EQ(h[3], (Rect{146, 180, 154, 188})); // 92 + (100 + 8) / 2
    EXPECT_EQ(h[4], (Rect{200, 180, 208, 188}));
    EXPECT_EQ(h[5], (Rect{200, 136, 208, 144}));
    EXPECT_EQ(h[6], (Rect{200, 92, 208, 100}));
    EXPECT_EQ(h[7], (Rect{146, 92, 154, 100}));
}

TEST(CropGeometry, HitTestSkipsMiddleHandlesWhileConstrained)
{
    const Rect c{100, 100, 200, 180};
    EXPECT_EQ(crop::HitHandle(c, {95, 95}, false), 0);
    EXPECT_EQ(crop::HitHandle(c, {95, 140}, false), 1);
    EXPECT_EQ(crop::HitHandle(c, {95, 140}, true), crop::kNoHandle);
    EXPECT_EQ(crop::HitHandle(c, {150, 185}, true), crop::kNoHandle);
    EXPECT_EQ(crop::HitHandle(c, {205, 185}, true), 4);
    // Right and bottom edges of a handle lie outside it.
    EXPECT_EQ(crop::HitHandle(c, {100, 100}, false), crop::kNoHandle);
    EXPECT_EQ(crop::HitHandle(c, {92, 92}, false), 0);
}

TEST(CropGeometry, TopLeftDraggedPastBottomRightTurnsOver)
{
    const Rect image{0, 0, 400, 300};
    const Rect saved{100, 100, 200, 180};
    EXPECT_EQ(crop::ResizeCrop(saved, 0, {250, 230}, image, {}), (Rect{200, 180, 250, 230}));
    // Past the image's edges the rectangle stops at them.
    EXPECT_EQ(crop::ResizeCrop(saved, 0, {-50, -40}, image, {}), (Rect{0, 0, 200, 180}));
    EXPECT_EQ(crop::ResizeCrop(saved, 0, {900, 900}, image, {}), (Rect{200, 180, 400, 300}));
}

TEST(CropGeometry, EachHandleMovesOnlyItsEdges)
{
    const Rect image{0, 0, 400, 300};
    const Rect saved{100, 100, 200, 180};
    EXPECT_EQ(crop::ResizeCrop(saved, 1, {50, 7}, image, {}), (Rect{50, 100, 200, 180}));
    EXPECT_EQ(crop::ResizeCrop(saved, 1, {300, 7}, image, {}), (Rect{200, 100, 300, 180})); // turned over
    EXPECT_EQ(crop::ResizeCrop(saved, 2, {90, 250}, image, {}), (Rect{90, 100, 200, 250}));
    EXPECT_EQ(crop::ResizeCrop(saved, 3, {7, 50}, image, {}), (Rect{100, 50, 200, 100})); // turned over
    EXPECT_EQ(crop::ResizeCrop(saved, 4, {250, 200}, image, {}), (Rect{100, 100, 250, 200}));
    EXPECT_EQ(crop::ResizeCrop(saved, 5, {20, 7}, image, {}), (Rect{20, 100, 100, 180}));
    EXPECT_EQ(crop::ResizeCrop(saved, 6, {260, 40}, image, {}), (Rect{100, 40, 260, 180}));
    EXPECT_EQ(crop::ResizeCrop(saved, 7, {7, 120}, image, {}), (Rect{100, 120, 200, 180}));
}

TEST(CropGeometry, HeldAspectKeepsTheOppositeCorner)
{
    const Rect image{0, 0, 400, 300};
    const Rect saved{100, 100, 200, 175};
    // Bottom-right to (300, 200): 200 x 100 is wider than 4:3, so the width becomes 133.
    EXPECT_EQ(crop::ResizeCrop(saved, 4, {300, 200}, image, Held(4, 3)), (Rect{100, 100, 233, 200}));
    // Top-left to (50, 20): 150 x 155 is taller, so the height becomes 112; bottom-right stays.
    EXPECT_EQ(crop::ResizeCrop(saved, 0, {50, 20}, image, Held(4, 3)), (Rect{50, 63, 200, 175}));
    // Top-left turned over past the bottom-right: the saved bottom-right corner becomes the
    // top-left one, and 60 x 75 is cut to 60 x 45.
    EXPECT_EQ(crop::ResizeCrop(saved, 0, {260, 250}, image, Held(4, 3)), (Rect{200, 175, 260, 220}));
    // Bottom-left and top-right keep top-right and bottom-left.
    const Rect bl = crop::ResizeCrop(saved, 2, {40, 260}, image, Held(4, 3));
    EXPECT_EQ(bl.right, 200);
    EXPECT_EQ(bl.top, 100);
    EXPECT_EQ(bl.Width() * 3, bl.Height() * 4);
    const Rect tr = crop::ResizeCrop(saved, 6, {380, 10}, image, Held(4, 3));
    EXPECT_EQ(tr.left, 100);
    EXPECT_EQ(tr.bottom, 175);
    EXPECT_LE(std::abs(tr.Width() * 3 - tr.Height() * 4), 4);
    // A held aspect never lets the rectangle leave the image.
    for (int handle : {0, 2, 4, 6}) {
        for (QPoint mouse : {QPoint(-100, -100), QPoint(900, -100), QPoint(-100, 900), QPoint(900, 900)}) {
            const Rect r = crop::ResizeCrop(saved, handle, mouse, image, Held(16, 9));
            EXPECT_GE(r.left, image.left) << handle;
            EXPECT_GE(r.top, image.top) << handle;
            EXPECT_LE(r.right, image.right) << handle;
            EXPECT_LE(r.bottom, image.bottom) << handle;
            EXPECT_GE(r.Width(), 0);
            EXPECT_GE(r.Height(), 0);
        }
    }
}

TEST(CropGeometry, MovingAgainstAnEdgeStopsWithoutResizing)
{
    const Rect image{50, 20, 400, 300};
    const Rect saved{100, 100, 200, 180};
    EXPECT_EQ(crop::MoveCrop(saved, {-150, 0}, image), (Rect{50, 100, 150, 180}));
    EXPECT_EQ(crop::MoveCrop(saved, {500, 500}, image), (Rect{300, 220, 400, 300}));
    EXPECT_EQ(crop::MoveCrop(saved, {-500, -500}, image), (Rect{50, 20, 150, 100}));
    EXPECT_EQ(crop::MoveCrop(saved, {10, -5}, image), (Rect{110, 95, 210, 175}));
    // Left before right, bottom before top: a rectangle wider and taller than the image ends
    // at the right and top edges.
    EXPECT_EQ(crop::MoveCrop({0, 0, 500, 400}, {0, 0}, image), (Rect{-100, 20, 400, 420}));
}

TEST(CropGeometry, CursorsByHandleAndInside)
{
    const Rect c{100, 100, 200, 180};
    EXPECT_EQ(crop::CursorAt(c, {95, 95}, false), Qt::SizeFDiagCursor);
    EXPECT_EQ(crop::CursorAt(c, {205, 185}, false), Qt::SizeFDiagCursor);
    EXPECT_EQ(crop::CursorAt(c, {95, 185}, false), Qt::SizeBDiagCursor);
    EXPECT_EQ(crop::CursorAt(c, {205, 95}, false), Qt::SizeBDiagCursor);
    EXPECT_EQ(crop::CursorAt(c, {95, 140}, false), Qt::SizeHorCursor);
    EXPECT_EQ(crop::CursorAt(c, {205, 140}, false), Qt::SizeHorCursor);
    EXPECT_EQ(crop::CursorAt(c, {150, 95}, false), Qt::SizeVerCursor);
    EXPECT_EQ(crop::CursorAt(c, {150, 185}, false), Qt::SizeVerCursor);
    EXPECT_EQ(crop::CursorAt(c, {95, 140}, true), Qt::ArrowCursor);
    EXPECT_EQ(crop::CursorAt(c, {150, 140}, false), Qt::SizeAllCursor);
    EXPECT_EQ(crop::CursorAt(c, {300, 250}, false), Qt::ArrowCursor);
}

TEST(CropGeometry, ResultInPhotoPixelsTruncates)
{
    // 400 x 300 on screen for a 4000 x 3000 photo: a factor of ten.
    const auto r = crop::CropInPhoto({150, 100, 450, 300}, {100, 50, 500, 350}, 4000, 3000);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (Rect{500, 500, 3500, 2500}));
    // 1 x 1001 / 400 = 2.5 -> 2, 399 x 1001 / 400 = 998.5 -> 998.
    EXPECT_EQ(*crop::CropInPhoto({1, 1, 399, 399}, {0, 0, 400, 400}, 1001, 1001), (Rect{2, 2, 998, 998}));
    // The whole image gives the whole photo; products past 32 bits do not overflow.
    EXPECT_EQ(*crop::CropInPhoto({10, 20, 1610, 1220}, {10, 20, 1610, 1220}, 30000, 20000),
              (Rect{0, 0, 30000, 20000}));
    EXPECT_FALSE(crop::CropInPhoto({0, 0, 0, 0}, {5, 5, 5, 9}, 100, 100));
}
