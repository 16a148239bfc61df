#include "ui/AboutBox.h"
#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinDialog.h"
#include "ui/skin/SkinGeometry.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void SendMouse(QWidget& w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

// Presses at a point of the dialog, moves the mouse by delta and releases; returns the move.
QPoint Drag(SkinDialog& dialog, QPoint press, QPoint delta)
{
    const QPoint before = dialog.pos();
    const QPoint global = dialog.mapToGlobal(press);
    SendMouse(dialog, QEvent::MouseButtonPress, press, global, Qt::LeftButton);
    SendMouse(dialog, QEvent::MouseMove, press + delta, global + delta, Qt::LeftButton);
    SendMouse(dialog, QEvent::MouseButtonRelease, press + delta, global + delta, Qt::NoButton);
    QApplication::processEvents();
    return dialog.pos() - before;
}

QImage Grab(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool InsideArt(const QRect& source, int bitmap)
{
    return QRect(QPoint(0, 0), skin::DrawArt(bitmap).size()).contains(source);
}

} // namespace

TEST(SkinDialog, MovesOnlyByAPressInTheTopBand)
{
    SkinDialog dialog;
    dialog.resize(400, 300);
    dialog.move(100, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.pos(), QPoint(100, 100));

    EXPECT_EQ(Drag(dialog, QPoint(150, 10), QPoint(40, 25)), QPoint(40, 25));
    EXPECT_EQ(Drag(dialog, QPoint(150, skin::kDragBand - 1), QPoint(-10, 5)), QPoint(-10, 5));
    // The caption bar is 30 pixels high, but a press below the top 25 does not move the window.
    EXPECT_EQ(Drag(dialog, QPoint(150, skin::kDragBand), QPoint(40, 25)), QPoint(0, 0));
    EXPECT_EQ(Drag(dialog, QPoint(150, 200), QPoint(40, 25)), QPoint(0, 0));
    // A mouse move with no button held after a drag does not move it either.
    const QPoint before = dialog.pos();
    SendMouse(dialog, QEvent::MouseMove, QPoint(150, 10), dialog.mapToGlobal(QPoint(190, 40)), Qt::NoButton);
    EXPECT_EQ(dialog.pos(), before);
}

TEST(SkinDialog, CloseButtonAtTheTopRightCancels)
{
    SkinDialog dialog;
    dialog.resize(420, 260);
    dialog.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    SkinButton* close = dialog.CloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->Id(), 10010);
    EXPECT_EQ(close->geometry(), QRect(420 - 40, 7, 26, 17));
    dialog.resize(500, 260);
    EXPECT_EQ(close->geometry(), QRect(500 - 40, 7, 26, 17));

    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::mouseClick(close, Qt::LeftButton, {}, QPoint(10, 8));
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(SkinDialog, PaintsFrameAndCaptionTwice)
{
    SkinDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Create New Collage"));
    dialog.resize(400, 300);
    const QImage shot = Grab(dialog);
    const QImage caption = skin::DrawArt(skin::kBmpCaptionBar).convertToFormat(QImage::Format_RGB32);
    // Caption bar, body colour, window outline at the bottom and the sides.
    EXPECT_EQ(shot.pixelColor(250, 26), caption.pixelColor(500, 26));
    EXPECT_EQ(shot.pixelColor(200, 150), skin::kDialogBackground);
    EXPECT_EQ(shot.pixelColor(200, 299), skin::kWindowOutline);
    EXPECT_EQ(shot.pixelColor(0, 150), skin::kWindowOutline);
    EXPECT_EQ(shot.pixelColor(399, 150), skin::kWindowOutline);

    // The title in black over a white copy one pixel right and below: dark pixels, and pixels
    // lighter than anything of the bar, which only the white copy draws.
    int dark = 0;
    int light = 0;
    int darkRight = 0;
    int lightRight = 0;
    for (int y = skin::kCaptionTextY; y < skin::kCaptionHeight - 1; ++y) {
        for (int x = skin::kCaptionTextX; x < 300; ++x) {
            const int grey = qGray(shot.pixel(x, y));
            if (grey < 80) {
                ++dark;
                darkRight = std::max(darkRight, x);
            }
            if (grey > 235) {
                ++light;
                lightRight = std::max(lightRight, x);
            }
        }
    }
    EXPECT_GT(dark, 20);
    EXPECT_GT(light, 5);
    EXPECT_GT(lightRight, darkRight) << "the white copy lies to the right";

    dialog.SetBackground(skin::kStatusBackground);
    EXPECT_EQ(Grab(dialog).pixelColor(200, 150), skin::kStatusBackground);
}

TEST(SkinDialog, FramePiecesFollowTheWindowSize)
{
    const QSize window(400, 300);
    const std::vector<skin::Piece> bottom = skin::BottomBorderPieces(window);
    ASSERT_EQ(bottom.size(), 3u);
    EXPECT_EQ(bottom[0].target, QRect(0, 286, 20, 14));
    EXPECT_EQ(bottom[1].source, QRect(20, 0, 720, 14));
    EXPECT_EQ(bottom[1].target, QRect(20, 286, 350, 14));
    EXPECT_EQ(bottom[2].source, QRect(987, 0, 30, 14));
    EXPECT_EQ(bottom[2].target, QRect(370, 286, 30, 14));

    const std::vector<skin::Piece> caption = skin::CaptionBarPieces(window);
    ASSERT_EQ(caption.size(), 3u);
    EXPECT_EQ(caption[0].target, QRect(0, 0, 30, 30));
    EXPECT_EQ(caption[1].source, QRect(30, 0, 500, 30));
    EXPECT_EQ(caption[1].target, QRect(30, 0, 340, 30));
    EXPECT_EQ(caption[2].source, QRect(988, 0, 30, 30));
    EXPECT_EQ(caption[2].target, QRect(370, 0, 30, 30));

    const std::vector<skin::Piece> stretch = skin::SideBorderPieces(window, skin::SideForm::kStretch, false);
    ASSERT_EQ(stretch.size(), 1u);
    EXPECT_EQ(stretch[0].source, QRect(0, 0, 20, 500));
    EXPECT_EQ(stretch[0].target, QRect(0, 30, 20, 270));

    const std::vector<skin::Piece> three = skin::SideBorderPieces(window, skin::SideForm::kThreePiece, true);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[0].target.height(), 10);
    EXPECT_EQ(three[1].source, QRect(0, 10, 20, 490));
    EXPECT_EQ(three[1].target.height(), 300 - 59);
    EXPECT_EQ(three[2].target.height(), 24);
    EXPECT_EQ(three[2].target.bottom(), 299) << "the three pieces end at the window's bottom edge";
    EXPECT_EQ(three[0].target.x(), 380);

    // Every source lies inside its bitmap, for small and large windows alike.
    for (const QSize size : {QSize(60, 60), QSize(400, 300), QSize(1600, 1000), QSize(3000, 2000)}) {
        for (const skin::Piece& p : skin::BottomBorderPieces(size))
            EXPECT_TRUE(InsideArt(p.source, skin::kBmpBottomBorder));
        for (const skin::Piece& p : skin::CaptionBarPieces(size))
            EXPECT_TRUE(InsideArt(p.source, skin::kBmpCaptionBar));
        for (const skin::SideForm form : {skin::SideForm::kStretch, skin::SideForm::kThreePiece}) {
            for (const skin::Piece& p : skin::SideBorderPieces(size, form, false))
                EXPECT_TRUE(InsideArt(p.source, skin::kBmpLeftBorder));
            for (const skin::Piece& p : skin::SideBorderPieces(size, form, true))
                EXPECT_TRUE(InsideArt(p.source, skin::kBmpRightBorder));
        }
    }
}

TEST(SkinArt, EveryPictureHasItsSize)
{
    EXPECT_EQ(skin::DrawArt(skin::kBmpBottomBorder).size(), QSize(1017, 14));
    EXPECT_EQ(skin::DrawArt(skin::kBmpLeftBorder).size(), QSize(20, 524));
    EXPECT_EQ(skin::DrawArt(skin::kBmpRightBorder).size(), QSize(20, 524));
    EXPECT_EQ(skin::DrawArt(skin::kBmpCaptionBar).size(), QSize(1018, 30));
    for (const int close : {skin::kBmpCloseNormal, skin::kBmpCloseHover, skin::kBmpClosePressed})
        EXPECT_EQ(skin::DrawArt(close).size(), QSize(26, 17));
    EXPECT_EQ(skin::DrawCheckArt(true).size(), QSize(16, 16));
    for (const skin::ButtonState state :
         {skin::kStateNormal, skin::kStateHover, skin::kStatePressed, skin::kStateDisabled}) {
        const QImage art = skin::DrawButtonArt(state, 20);
        EXPECT_EQ(art.size(), QSize(118, 20));
        // The caps are symmetric, so a short button looks like a whole one.
        const QImage left = art.copy(0, 0, 12, 20);
        const QImage right = art.copy(106, 0, 12, 20).mirrored(true, false);
        int worst = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 12; ++x)
                worst = std::max(worst, std::abs(qAlpha(left.pixel(x, y)) - qAlpha(right.pixel(x, y)))
                                            + std::abs(qGray(left.pixel(x, y)) - qGray(right.pixel(x, y))));
        EXPECT_LE(worst, 24) << state;
    }
    // The four states look different; the close button's hover and pressed too.
    EXPECT_NE(skin::DrawButtonArt(skin::kStateNormal, 20), skin::DrawButtonArt(skin::kStateHover, 20));
    EXPECT_NE(skin::DrawButtonArt(skin::kStateHover, 20), skin::DrawButtonArt(skin::kStatePressed, 20));
    EXPECT_NE(skin::DrawButtonArt(skin::kStateNormal, 20), skin::DrawButtonArt(skin::kStateDisabled, 20));
    EXPECT_NE(skin::DrawArt(skin::kBmpCloseHover), skin::DrawArt(skin::kBmpClosePressed));
    // Tool-bar style: no face at rest or disabled, the push button's faces under the mouse.
    const auto empty = [](const QImage& art) {
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                if (qAlpha(art.pixel(x, y)) != 0)
                    return false;
        return true;
    };
    EXPECT_TRUE(empty(skin::DrawButtonArt(skin::kStateNormal, 24, skin::ButtonArtStyle::kTool)));
    EXPECT_TRUE(empty(skin::DrawButtonArt(skin::kStateDisabled, 24, skin::ButtonArtStyle::kTool)));
    EXPECT_EQ(skin::DrawButtonArt(skin::kStateHover, 24, skin::ButtonArtStyle::kTool),
              skin::DrawButtonArt(skin::kStateHover, 24));
    EXPECT_FALSE(empty(skin::DrawButtonArt(skin::kStatePressed, 24, skin::ButtonArtStyle::kTool)));
    EXPECT_TRUE(skin::DrawArt(9999).isNull());
    EXPECT_TRUE(skin::Art(9999).isNull());
}

TEST(AboutBox, ShowsNameAndVersionAndCloses)
{
    EXPECT_STREQ(AboutBox::kProductName, "Montara");
    EXPECT_STREQ(AboutBox::kVersion, "V2.0");
    AboutBox box;
    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QRect ok = box.OkButton()->geometry();
    EXPECT_TRUE(box.ContentRect().contains(ok));
    QSignalSpy accepted(&box, &QDialog::accepted);
    QTest::mouseClick(box.OkButton(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(accepted.count(), 1);
}
