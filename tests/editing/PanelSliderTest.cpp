// The panel slider: thumb and position maths, the three-piece track, and the report rules
// (a press reports once and moves the thumb, a drag reports only on release, positions
// stay in the range).

#include "editing/PanelSlider.h"
#include "editing/SliderArtwork.h"
#include "editing/SliderGeometry.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 200;
constexpr int kId = 10002;

// A 200-pixel slider with the contrast range 20..400 at 100, shown.
struct ShownSlider {
    PanelSlider slider{kId};
    QSignalSpy reports{&slider, &PanelSlider::positionReported};
    ShownSlider()
    {
        slider.resize(kWidth, slider::kControlHeight);
        slider.SetRange(20, 400);
        slider.SetPosition(100);
        slider.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&slider));
    }
    void Move(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, slider.mapToGlobal(at), Qt::NoButton,
                         slider.IsDragging() ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&slider, &move);
    }
    QPoint ThumbCentre() const { return slider.ThumbRect().center(); }
};

int ReportedPosition(const QSignalSpy& spy, int index)
{
    EXPECT_EQ(spy.at(index).at(0).toInt(), kId);
    return spy.at(index).at(1).toInt();
}

} // namespace

TEST(SliderGeometry, PressAtEitherEndGivesTheEndsOfTheRange)
{
    EXPECT_EQ(slider::PositionAtX(0, kWidth, 20, 400), 20);
    EXPECT_EQ(slider::PositionAtX(kWidth - 1, kWidth, 20, 400), 400);
    EXPECT_EQ(slider::PositionAtX(kWidth / 2, kWidth, 20, 400), 20 + 100 * 380 / 199);
    // Beyond the control: clamped.
    EXPECT_EQ(slider::PositionAtX(-40, kWidth, 20, 400), 20);
    EXPECT_EQ(slider::PositionAtX(kWidth + 300, kWidth, 20, 400), 400);
    // Ranges that would overflow 32 bits or divide by zero.
    EXPECT_EQ(slider::PositionAtX(kWidth - 1, kWidth, -2000000000, 2000000000), 2000000000);
    EXPECT_EQ(slider::PositionAtX(50, kWidth, 7, 7), 7);
    EXPECT_EQ(slider::PositionAtX(50, 1, 0, 100), 0);
    EXPECT_EQ(slider::PositionAtX(50, kWidth, 10, 5), 10);
}

TEST(SliderGeometry, ThumbRectangleAtTheEndsAndInBetween)
{
    const QRect atMinimum = slider::ThumbRect(kWidth, 20, 20, 400);
    EXPECT_EQ(atMinimum, QRect(0, 1, 16, 11));
    const QRect atMaximum = slider::ThumbRect(kWidth, 400, 20, 400);
    EXPECT_EQ(atMaximum.left(), kWidth - 16);
    EXPECT_EQ(atMaximum.right(), kWidth - 1); // ends on the last column, never past it
    EXPECT_EQ(atMaximum.top(), 1);
    EXPECT_EQ(atMaximum.bottom() + 1, 12);
    // left = trunc((W - 16) x f): 184 x 0.5 and 184 x 99/380 = 47.9 -> 47.
    EXPECT_EQ(slider::ThumbRect(kWidth, 210, 20, 400).left(), 92);
    EXPECT_EQ(slider::ThumbRect(kWidth, 119, 20, 400).left(), 47);
    // Out-of-range positions and an empty range.
    EXPECT_EQ(slider::ThumbRect(kWidth, 9999, 20, 400), atMaximum);
    EXPECT_EQ(slider::ThumbRect(kWidth, -5, 20, 400), atMinimum);
    EXPECT_EQ(slider::ThumbRect(kWidth, 5, 5, 5).left(), 0);
    EXPECT_EQ(slider::ThumbRect(10, 50, 0, 100).left(), 0); // narrower than the thumb
}

TEST(SliderGeometry, TrackIsCutIntoCapsAndAStretchedMiddle)
{
    const slider::TrackLayout wide = slider::TrackPieces(kWidth);
    EXPECT_EQ(wide.left, QRect(0, 1, 10, 11));
    EXPECT_EQ(wide.middle, QRect(10, 1, kWidth - 20, 11));
    EXPECT_EQ(wide.right, QRect(kWidth - 10, 1, 10, 11));
    const slider::TrackLayout narrow = slider::TrackPieces(12);
    EXPECT_TRUE(narrow.middle.isEmpty());
    EXPECT_EQ(narrow.left.width() + narrow.right.width(), 12);
    EXPECT_EQ(narrow.right.right(), 11);
}

TEST(SliderArtwork, BitmapsHaveTheirSizesAndTheMiddleStretchesCleanly)
{
    const QImage track = slider::MakeTrackBitmap();
    EXPECT_EQ(track.size(), QSize(130, 11));
    // Every column of the stretched middle (10..29) is the same, so stretching shows no seams.
    for (int x = 11; x < 30; ++x) {
        for (int y = 0; y < track.height(); ++y)
            ASSERT_EQ(track.pixel(x, y), track.pixel(10, y)) << x << "," << y;
    }
    // The groove is darker than the white ground in the middle row.
    EXPECT_LT(qGray(track.pixel(20, 5)), qGray(track.pixel(20, 0)));

    for (auto look : {slider::ThumbLook::Normal, slider::ThumbLook::Hover, slider::ThumbLook::Pressed}) {
        const QImage thumb = slider::MakeThumbBitmap(look);
        EXPECT_EQ(thumb.size(), QSize(16, 11));
        EXPECT_EQ(qAlpha(thumb.pixel(0, 0)), 0); // round corners let the track show
        EXPECT_EQ(qAlpha(thumb.pixel(8, 5)), 255);
    }
    EXPECT_NE(slider::MakeThumbBitmap(slider::ThumbLook::Normal).pixel(8, 5),
              slider::MakeThumbBitmap(slider::ThumbLook::Pressed).pixel(8, 5));
}

TEST(PanelSlider, PressOnTheTrackJumpsThereAndReportsOnce)
{
    ShownSlider s;
    QTest::mousePress(&s.slider, Qt::LeftButton, {}, QPoint(0, 6));
    ASSERT_EQ(s.reports.count(), 1);
    EXPECT_EQ(ReportedPosition(s.reports, 0), 20);
    EXPECT_EQ(s.slider.Position(), 20);
    EXPECT_FALSE(s.slider.IsDragging()); // the thumb was elsewhere
    QTest::mouseRelease(&s.slider, Qt::LeftButton, {}, QPoint(0, 6));
    EXPECT_EQ(s.reports.count(), 1);

    QTest::mousePress(&s.slider, Qt::LeftButton, {}, QPoint(kWidth - 1, 6));
    QTest::mouseRelease(&s.slider, Qt::LeftButton, {}, QPoint(kWidth - 1, 6));
    ASSERT_EQ(s.reports.count(), 2);
    EXPECT_EQ(ReportedPosition(s.reports, 1), 400);
    EXPECT_EQ(s.slider.ThumbRect().right(), kWidth - 1);
}

TEST(PanelSlider, DraggingTheThumbReportsOnlyOnRelease)
{
    ShownSlider s;
    const QPoint start = s.ThumbCentre();
    QTest::mousePress(&s.slider, Qt::LeftButton, {}, start);
    ASSERT_TRUE(s.slider.IsDragging());
    ASSERT_EQ(s.reports.count(), 1); // the press itself reports

    for (int x = start.x(); x <= 150; x += 8) {
        s.Move(QPoint(x, 6));
        EXPECT_EQ(s.slider.Position(), slider::PositionAtX(x, kWidth, 20, 400));
    }
    EXPECT_EQ(s.reports.count(), 1); // nothing while dragging

    s.Move(QPoint(150, 6));
    QTest::mouseRelease(&s.slider, Qt::LeftButton, {}, QPoint(150, 6));
    ASSERT_EQ(s.reports.count(), 2);
    EXPECT_EQ(ReportedPosition(s.reports, 1), slider::PositionAtX(150, kWidth, 20, 400));
    EXPECT_FALSE(s.slider.IsDragging());

    // Moving after the release changes nothing.
    s.Move(QPoint(20, 6));
    EXPECT_EQ(s.slider.Position(), slider::PositionAtX(150, kWidth, 20, 400));
}

TEST(PanelSlider, DragBeyondTheControlIsClampedToTheRange)
{
    ShownSlider s;
    QTest::mousePress(&s.slider, Qt::LeftButton, {}, s.ThumbCentre());
    s.Move(QPoint(kWidth + 500, 40));
    EXPECT_EQ(s.slider.Position(), 400);
    s.Move(QPoint(-300, -20));
    EXPECT_EQ(s.slider.Position(), 20);
    QTest::mouseRelease(&s.slider, Qt::LeftButton, {}, QPoint(-300, -20));
    ASSERT_EQ(s.reports.count(), 2);
    EXPECT_EQ(ReportedPosition(s.reports, 1), 20);
}

TEST(PanelSlider, SetPositionAndSetRangeClampWithoutReporting)
{
    ShownSlider s;
    s.slider.SetPosition(1000);
    EXPECT_EQ(s.slider.Position(), 400);
    s.slider.SetPosition(-1000);
    EXPECT_EQ(s.slider.Position(), 20);
    s.slider.SetPosition(300);
    s.slider.SetRange(0, 255);
    EXPECT_EQ(s.slider.Position(), 255);
    s.slider.SetRange(50, 10); // reversed: taken as 50..50
    EXPECT_EQ(s.slider.Position(), 50);
    EXPECT_EQ(s.reports.count(), 0);
}

TEST(PanelSlider, HoverStartsOverTheThumbAndEndsOnLeaving)
{
    ShownSlider s;
    s.Move(QPoint(s.slider.ThumbRect().right() + 30, 6));
    EXPECT_FALSE(s.slider.IsHovering());
    s.Move(s.ThumbCentre());
    EXPECT_TRUE(s.slider.IsHovering());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&s.slider, &leave);
    EXPECT_FALSE(s.slider.IsHovering());
    EXPECT_EQ(s.reports.count(), 0);
}

TEST(PanelSlider, DrawsTheThumbWhereThePositionSays)
{
    ShownSlider s;
    auto thumbInk = [&](int x) {
        const QImage shot = s.slider.grab().toImage();
        return shot.pixelColor(x, 6);
    };
    // The thumb's accent dot sits in the middle of its 16 columns; the track elsewhere is grey.
    s.slider.SetPosition(400);
    const QColor atRight = thumbInk(kWidth - 8);
    s.slider.SetPosition(20);
    const QColor afterMove = thumbInk(kWidth - 8);
    EXPECT_GT(atRight.blue() - atRight.red(), 60) << "accent dot at the right end";
    EXPECT_LT(std::abs(afterMove.blue() - afterMove.red()), 10) << "plain groove once the thumb left";
    const QColor atLeft = thumbInk(8);
    EXPECT_GT(atLeft.blue() - atLeft.red(), 60);
}
