#include "app/MainFrameRules.h"

#include <gtest/gtest.h>

using namespace frame;

TEST(MainFrameLayout, RectanglesFollowTheClientSize)
{
    // Written out by hand at two sizes.
    EXPECT_EQ(kCanvasRect.At(1280, 800), QRect(QPoint(178, 242), QPoint(1119, 783)));
    EXPECT_EQ(kCanvasRect.At(1000, 700), QRect(QPoint(178, 242), QPoint(839, 683)));
    EXPECT_EQ(kPhotoColumnRect.At(1000, 700), QRect(QPoint(16, 94), QPoint(169, 683)));
    EXPECT_EQ(kLibraryStripRect.At(1280, 800), QRect(QPoint(178, 84), QPoint(1263, 206)));
    // The zoom box, 66 wide, ends where the table says.
    EXPECT_EQ(kZoomBoxRect.At(1280, 800), QRect(QPoint(1049, 218), QPoint(1114, 237)));
    EXPECT_EQ(kBrushPanelRect.At(1280, 800), QRect(QPoint(1128, 215), QPoint(1263, 574)));
    EXPECT_EQ(kBrushSwitchRect.At(1000, 700), QRect(QPoint(855, 481), QPoint(976, 511)));
    EXPECT_EQ(kColourPickerRect.At(1000, 700), QRect(QPoint(848, 584), QPoint(983, 683)));
    EXPECT_EQ(SliderRect(0, 1280, 800), QRect(QPoint(1176, 620), QPoint(1239, 632)));
    EXPECT_EQ(SliderRect(2, 1280, 800), QRect(QPoint(1176, 660), QPoint(1239, 672)));
}

TEST(MainFrameLayout, ToolBarGapsAfterButtonsThreeSixAndEight)
{
    const int expected[14] = {180, 204, 228, 258, 282, 306, 336, 360, 390, 414, 438, 462, 486, 510};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(ToolButtonRect(i, 1280, 800), QRect(expected[i], 218, 22, 21)) << "button " << i + 1;
        EXPECT_EQ(ToolButtonRect(i, 1000, 700).x(), expected[i]);
    }
    // Zoom In at W - 283 and Zoom Out, 6 pixels before the widened zoom box.
    EXPECT_EQ(ToolButtonRect(14, 1280, 800), QRect(997, 218, 22, 21));
    EXPECT_EQ(ToolButtonRect(15, 1280, 800), QRect(1021, 218, 22, 21));
    EXPECT_EQ(ToolButtonRect(15, 1280, 800).right() + 7, kZoomBoxRect.At(1280, 800).left());
    EXPECT_EQ(ToolButtonRect(14, 1000, 700).x(), 717);
}

TEST(MainFrameLayout, TabsAndCaptionButtons)
{
    EXPECT_EQ(TabRect(0), QRect(197, 60, 88, 22));
    EXPECT_EQ(TabRect(5), QRect(197 + 5 * 88, 60, 88, 22));
    EXPECT_EQ(CaptionButtonRect(0, 1280, 800), QRect(1242, 5, 24, 14)); // Close
    EXPECT_EQ(CaptionButtonRect(2, 1280, 800), QRect(1190, 5, 24, 14)); // Minimise
}

TEST(MainFrameZoom, StepsStopAtTheEnds)
{
    EXPECT_EQ(ZoomInEntry(4), 5);   // 125% -> 150%
    EXPECT_EQ(ZoomInEntry(6), 7);   // 175% -> 200%
    EXPECT_EQ(ZoomInEntry(7), -1);  // at 200% nothing
    EXPECT_EQ(ZoomInEntry(-1), -1); // no entry chosen
    EXPECT_EQ(ZoomOutEntry(1), 0);
    EXPECT_EQ(ZoomOutEntry(0), -1); // at 25% nothing
    EXPECT_EQ(ZoomOutEntry(-1), -1);
    EXPECT_FLOAT_EQ(kZoomFactors[kInitialZoomEntry], 0.75f);
}

TEST(MainFramePreview, ZoomFitsTheCollageIntoTheWindow)
{
    // Wider in proportion than the window: by the width.
    EXPECT_FLOAT_EQ(PreviewZoom(1000, 700, 2000, 1000), 0.5f);
    // Narrower: by the height.
    EXPECT_FLOAT_EQ(PreviewZoom(1000, 700, 700, 1400), 0.5f);
    EXPECT_FLOAT_EQ(PreviewZoom(1600, 900, 800, 600), 1.5f);
    // Equal proportions take the height; both give the same factor.
    EXPECT_FLOAT_EQ(PreviewZoom(1200, 900, 400, 300), 3.0f);
    // Proportions a hair apart: the window a little wider (by the height), then the collage
    // (by the width); the other side would give 1000 / 1001 and 1000 / 999.
    EXPECT_FLOAT_EQ(PreviewZoom(1000, 999, 1001, 1000), 0.999f);
    EXPECT_FLOAT_EQ(PreviewZoom(1001, 1000, 1000, 999), 1.001f);
    // Nothing to fit: no zoom of 0 or infinity.
    EXPECT_FLOAT_EQ(PreviewZoom(0, 700, 2000, 1000), 1.0f);
    EXPECT_FLOAT_EQ(PreviewZoom(1000, 700, 0, 0), 1.0f);
}

TEST(MainFrameEnableRules, EmptyTopAndBottomSelections)
{
    const EditStates none = ComputeEditStates({0, -1, false, -1, 0});
    EXPECT_FALSE(none.crop || none.undo || none.redo || none.remove || none.toFront || none.toBack);

    // Two items, the top one selected (a photo), one step recorded.
    const EditStates top = ComputeEditStates({2, 1, true, 1, 2});
    EXPECT_TRUE(top.crop && top.undo && top.remove && top.toBack);
    EXPECT_FALSE(top.toFront || top.redo);

    const EditStates bottom = ComputeEditStates({2, 0, false, 0, 2});
    EXPECT_TRUE(bottom.toFront && bottom.redo && bottom.undo);
    EXPECT_FALSE(bottom.toBack || bottom.crop);
}

TEST(MainFrameHits, BorderCornersAndCaption)
{
    const int w = 1000, h = 700;
    EXPECT_EQ(HitTestFrame(2, 2, w, h), FrameHit::TopLeft);
    EXPECT_EQ(HitTestFrame(2, h - 3, w, h), FrameHit::BottomLeft);
    EXPECT_EQ(HitTestFrame(w - 3, 2, w, h), FrameHit::TopRight);
    EXPECT_EQ(HitTestFrame(w - 3, h - 3, w, h), FrameHit::BottomRight);
    EXPECT_EQ(HitTestFrame(2, 300, w, h), FrameHit::Left);
    EXPECT_EQ(HitTestFrame(w - 2, 300, w, h), FrameHit::Right);
    EXPECT_EQ(HitTestFrame(500, 1, w, h), FrameHit::Top);
    EXPECT_EQ(HitTestFrame(500, h - 2, w, h), FrameHit::Bottom);
    // Near a corner along the bottom edge, the corner's wider zone wins.
    EXPECT_EQ(HitTestFrame(w - 10, h - 2, w, h), FrameHit::BottomRight);
    EXPECT_EQ(HitTestFrame(500, 15, w, h), FrameHit::Caption);
    EXPECT_EQ(HitTestFrame(10, 15, w, h), FrameHit::None); // 13 px in from the sides
    EXPECT_EQ(HitTestFrame(500, 30, w, h), FrameHit::None); // below the band
    EXPECT_EQ(HitTestFrame(500, 300, w, h), FrameHit::None);
}

