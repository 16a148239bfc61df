// Mouse, keys and scroll bars of the canvas window, driven with QTest on a known collage
// at zoom 0.75 and 1.25 with a scroll offset.

#include "support/RenderTestSupport.h"

#include "canvas/CanvasGestures.h"
#include "canvas/CanvasScrollBar.h"
#include "canvas/CanvasWnd.h"
#include "persist/ProjectFile.h"

#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace rendertest;

namespace {

constexpr QSize kWindow(500, 400);
constexpr QPoint kScroll(30, 20);

// Clip-art A (200 x 100, entry 0) at canvas (100, 100) below clip-art B (120 x 80,
// entry 1) at (200, 150); they overlap in (200..300, 150..200).
class Interaction : public ::testing::TestWithParam<float> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WriteThumbnailLibrary(dir.filePath(QStringLiteral("cliparts")),
                              {Solid(200, 100, kGreen), Solid(120, 80, kBlue)});
        WriteThumbnailLibrary(dir.filePath(QStringLiteral("brushs")), {Solid(10, 10, kRed)});
        canvas.SetDataFolder(dir.path());
        canvas.resize(kWindow);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
        ASSERT_TRUE(canvas.SetZoom(zoom()));
        ASSERT_TRUE(canvas.AddClipArt(0, 0, 0));
        ASSERT_TRUE(canvas.AddClipArt(1, 0, 0));
        Place(0, 100, 100);
        Place(1, 200, 150);
        canvas.Model().ClearSelection();
        canvas.Scroll(Qt::Horizontal, gestures::ThumbTrack, kScroll.x());
        canvas.Scroll(Qt::Vertical, gestures::ThumbTrack, kScroll.y());
        ASSERT_EQ(canvas.Model().ScrollX(), kScroll.x());
        ASSERT_EQ(canvas.Model().ScrollY(), kScroll.y());
        canvas.Redraw();
        steps = canvas.Model().HistoryLength();
    }

    float zoom() const { return GetParam(); }

    void Place(int index, int x, int y)
    {
        SetPosition(canvas.Model().ItemAt(index), x, y);
        SetAngle(canvas.Model().ItemAt(index), 0.0f);
        SetDrawScale(canvas.Model().ItemAt(index), 1.0f);
    }

    // The client point showing a canvas point.
    QPoint Client(int x, int y) const
    {
        return QPoint(int(std::trunc(float(x) * zoom())), int(std::trunc(float(y) * zoom()))) - kScroll;
    }
    QPoint ViewToClient(QPoint view) const { return view - kScroll; }

    // The client point inside handle k of the selected item, as last drawn.
    QPoint HandlePoint(int k) const
    {
        const QRectF box(canvas.Renderer().HandleRects()[std::size_t(k)]);
        const QPointF view = canvas.Renderer().SelectionTransform().map(box.center());
        return QPoint(int(std::floor(view.x())), int(std::floor(view.y()))) - kScroll;
    }

    void Select(int index)
    {
        canvas.Model().SelectOnly(index);
        canvas.Redraw();
    }

    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&canvas, to);
        QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, to);
    }

    const ClipArt& ClipArtAt(int index) { return std::get<ClipArt>(canvas.Model().ItemAt(index)); }

    QTemporaryDir dir;
    CanvasWnd canvas;
    int steps = 0;
};

TEST_P(Interaction, PressSelectsTheUpperOfTwoOverlappingItemsAndEmptyPressClears)
{
    QSignalSpy refresh(&canvas, &CanvasWnd::historyChanged);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, Client(250, 175)); // in both
    EXPECT_EQ(canvas.Model().SelectedIndex(), 1);
    EXPECT_TRUE(canvas.MoveDragging());
    EXPECT_EQ(refresh.count(), 1); // the end of the press
    EXPECT_TRUE(canvas.hasFocus());
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, Client(250, 175));

    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, Client(120, 120)); // A only
    EXPECT_EQ(canvas.Model().SelectedIndex(), 0);
    EXPECT_FALSE(IsSelected(canvas.Model().ItemAt(1)));
    EXPECT_TRUE(canvas.Renderer().HasSelectionFrame());

    const int before = canvas.Model().HistoryLength();
    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, Client(600, 500)); // empty canvas
    EXPECT_EQ(canvas.Model().SelectedIndex(), -1);
    EXPECT_FALSE(canvas.Renderer().HasSelectionFrame()); // handles gone at the redraw
    EXPECT_EQ(canvas.Model().HistoryLength(), before);    // an empty press records nothing
}

TEST_P(Interaction, MoveByAKnownTravelGivesTheTruncatedPosition)
{
    const QPoint press = Client(120, 120);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, press);
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor); // no move yet
    QTest::mouseMove(&canvas, press + QPoint(10, 10));
    EXPECT_EQ(canvas.cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(&canvas, press + QPoint(37, -23));
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, press + QPoint(37, -23));
    // trunc((100 z + 37) / z), trunc((100 z - 23) / z)
    const QPoint expected = zoom() == 0.75f ? QPoint(149, 69) : QPoint(129, 81);
    EXPECT_EQ(QPoint(ClipArtAt(0).posX, ClipArtAt(0).posY), expected);
    EXPECT_EQ(QPoint(ClipArtAt(0).dragX, ClipArtAt(0).dragY), QPoint(100, 100)); // where the drag began
    EXPECT_EQ(canvas.Model().HistoryLength(), steps + 1);
    EXPECT_TRUE(canvas.Model().Modified());
    EXPECT_FALSE(canvas.MoveDragging());
}

TEST_P(Interaction, AMoveDrawsFromTheKeptLayers)
{
    Select(0);
    const QPoint press = Client(120, 120);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, press);
    canvas.Renderer().ResetStats();
    for (int i = 1; i <= 5; ++i)
        QTest::mouseMove(&canvas, press + QPoint(4 * i, 3 * i));
    EXPECT_EQ(canvas.Renderer().Stats().dragFrames, 5);
    EXPECT_EQ(canvas.Renderer().Stats().fullComposes, 0);
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, press + QPoint(20, 15));
    EXPECT_FALSE(canvas.Renderer().Dragging());
    // The moved item is shown where its record says (its top-left pixel is green).
    const QPoint view = Client(ClipArtAt(0).posX, ClipArtAt(0).posY) + kScroll;
    EXPECT_EQ(canvas.Renderer().ViewBuffer().pixel(view + QPoint(3, 3)), kGreen);
}

TEST_P(Interaction, AClickWithoutMovementRecordsOneStep)
{
    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, Client(120, 120));
    EXPECT_EQ(canvas.Model().HistoryLength(), steps + 1);
    EXPECT_EQ(canvas.Model().HistoryIndex(), steps);
    EXPECT_EQ(QPoint(ClipArtAt(0).posX, ClipArtAt(0).posY), QPoint(100, 100));
    // The step holds the selection: undo and redo bring it back.
    canvas.Undo();
    EXPECT_EQ(canvas.Model().SelectedIndex(), 1); // B, selected when it was added
    canvas.Redo();
    EXPECT_EQ(canvas.Model().SelectedIndex(), 0);
}

struct ResizeCase {
    int handle;
    QPoint fromCentre; // the view point the handle is dragged to, from the item's centre
    float scale[2];    // at zoom 0.75, 1.25
    QPoint position[2];
};

TEST_P(Interaction, EachHandleResizesAboutTheCentreByDistanceOverReference)
{
    // Item A: 200 x 100 at (100, 100). Centre (150, 112) at 0.75 and (250, 187) at 1.25;
    // reference distances: corners 83 / 139, left/right 75 / 125, top/bottom 37 / 62.
    const ResizeCase cases[] = {
        {4, {150, 74}, {167.0f / 83, 167.0f / 139}, {{-1, 48}, {79, 89}}},
        {0, {-120, -60}, {134.0f / 83, 134.0f / 139}, {{38, 68}, {103, 101}}},
        {2, {-120, 60}, {134.0f / 83, 134.0f / 139}, {{38, 68}, {103, 101}}},
        {6, {120, -60}, {134.0f / 83, 134.0f / 139}, {{38, 68}, {103, 101}}},
        {5, {100, 0}, {100.0f / 75, 100.0f / 125}, {{66, 82}, {120, 109}}},
        {1, {-40, 0}, {40.0f / 75, 40.0f / 125}, {{146, 122}, {168, 133}}},
        {3, {0, 60}, {60.0f / 37, 60.0f / 62}, {{37, 68}, {103, 101}}},
        {7, {0, -20}, {20.0f / 37, 20.0f / 62}, {{145, 122}, {167, 133}}},
    };
    const int z = zoom() == 0.75f ? 0 : 1;
    const QPoint centre = z == 0 ? QPoint(150, 112) : QPoint(250, 187);
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.handle);
        Place(0, 100, 100);
        Select(0);
        const int before = canvas.Model().HistoryLength();
        const QPoint grab = HandlePoint(c.handle);
        QTest::mouseMove(&canvas, grab); // hovering shows the handle's cursor
        const Qt::CursorShape expectedCursor = c.handle == 0 || c.handle == 4 ? Qt::SizeFDiagCursor
            : c.handle == 2 || c.handle == 6                                  ? Qt::SizeBDiagCursor
            : c.handle == 1 || c.handle == 5                                  ? Qt::SizeHorCursor
                                                                              : Qt::SizeVerCursor;
        EXPECT_EQ(canvas.cursor().shape(), expectedCursor);
        QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, grab);
        ASSERT_TRUE(canvas.HandleDragging());
        EXPECT_EQ(canvas.ActiveHandle(), c.handle);
        QTest::mouseMove(&canvas, ViewToClient(centre + c.fromCentre));
        QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, ViewToClient(centre + c.fromCentre));
        EXPECT_FLOAT_EQ(ClipArtAt(0).scale, c.scale[z]);
        EXPECT_EQ(QPoint(ClipArtAt(0).posX, ClipArtAt(0).posY), c.position[z]);
        EXPECT_EQ(ClipArtAt(0).hitScale, 1.0f); // the hit region scales with the drawing
        EXPECT_EQ(canvas.Model().HistoryLength(), before + 1);
        EXPECT_TRUE(canvas.Model().Modified());
    }
}

TEST_P(Interaction, ResizeStopsAtSixteenCanvasPixels)
{
    Select(0);
    const QPoint centre = zoom() == 0.75f ? QPoint(150, 112) : QPoint(250, 187);
    Drag(HandlePoint(4), ViewToClient(centre + QPoint(1, 1)));
    EXPECT_FLOAT_EQ(ClipArtAt(0).scale, 16.0f / 300.0f);
    EXPECT_GE(300.0f * ClipArtAt(0).scale, 16.0f - 1e-4f);
    // The position is taken from the scale before the floor (1 / 83 or 1 / 139).
    EXPECT_EQ(QPoint(ClipArtAt(0).posX, ClipArtAt(0).posY), zoom() == 0.75f ? QPoint(198, 148) : QPoint(199, 149));
}

TEST_P(Interaction, RotationFromEachCornerToEachQuadrantAndStraightUpAndDown)
{
    // A(reference corner) per handle 8..11 at each zoom; A of the targets: above-left 45,
    // below-left -45, above-right 135, below-right -135, straight up 90, straight down -90.
    const double reference[2][4] = {{26.2587, -26.8698, 153.7413, -153.1302}, {26.3814, -26.7481, 153.6186, -153.2519}};
    const struct {
        QPoint fromCentre;
        double direction;
    } targets[] = {{{-80, -80}, 45}, {{-80, 80}, -45}, {{80, -80}, 135},
                   {{80, 80}, -135}, {{0, -80}, 90},  {{0, 80}, -90}};
    const int z = zoom() == 0.75f ? 0 : 1;
    const QPoint centre = z == 0 ? QPoint(150, 112) : QPoint(250, 187);
    for (int handle = 8; handle <= 11; ++handle) {
        SCOPED_TRACE(handle);
        Place(0, 100, 100);
        Select(0);
        const int before = canvas.Model().HistoryLength();
        const QPoint grab = HandlePoint(handle);
        QTest::mouseMove(&canvas, grab);
        EXPECT_EQ(canvas.cursor().shape(), Qt::BitmapCursor); // the rotation cursor
        QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, grab);
        ASSERT_TRUE(canvas.HandleDragging());
        for (const auto& t : targets) {
            QTest::mouseMove(&canvas, ViewToClient(centre + t.fromCentre));
            EXPECT_NEAR(ClipArtAt(0).angle, t.direction - reference[z][handle - 8], 1e-3) << t.direction;
        }
        QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, ViewToClient(centre + QPoint(0, 80)));
        EXPECT_EQ(canvas.Model().HistoryLength(), before + 1); // one step for the whole drag
        EXPECT_EQ(QPoint(ClipArtAt(0).posX, ClipArtAt(0).posY), QPoint(100, 100));
    }
}

TEST_P(Interaction, StampingAddsAStampEveryThirdMoveAcrossDrags)
{
    canvas.SetToolSettings(0, true, 0.0f, 255, 20, 0x0000FF);
    const int items = canvas.Model().ItemCount();
    const auto stamps = [&] { return canvas.Model().ItemCount() - items; };
    QPoint at = Client(350, 250); // empty canvas
    QTest::mouseMove(&canvas, at);
    EXPECT_EQ(canvas.cursor().shape(), Qt::BitmapCursor); // the stamp cursor
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(stamps(), 1);
    EXPECT_TRUE(canvas.Model().Modified());
    EXPECT_EQ(canvas.Model().HistoryLength(), steps); // no step until the release
    const int afterMove[] = {1, 1, 2, 2, 2};        // moves 1..5: a stamp at the 3rd
    for (int expected : afterMove) {
        at += QPoint(5, 0);
        QTest::mouseMove(&canvas, at);
        EXPECT_EQ(stamps(), expected);
    }
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(canvas.Model().HistoryLength(), steps + 1);

    // A move without the button does not count; the next drag goes on from 5.
    QTest::mouseMove(&canvas, at + QPoint(0, 30));
    EXPECT_EQ(canvas.StampCounter(), 5);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(stamps(), 3);
    const int second[] = {4, 4, 4, 5, 5}; // moves 6..10: stamps at the 6th and 9th
    for (int expected : second) {
        at += QPoint(0, 5);
        QTest::mouseMove(&canvas, at);
        EXPECT_EQ(stamps(), expected);
    }
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(canvas.Model().HistoryLength(), steps + 2);
    // A stamp is centred on the mouse and not selected; nothing else was selected.
    const BrushStamp& last = std::get<BrushStamp>(canvas.Model().ItemAt(canvas.Model().ItemCount() - 1));
    EXPECT_EQ(last.selected, 0);
    EXPECT_EQ(canvas.Model().SelectedIndex(), -1);
}

TEST_P(Interaction, BrushToolWithoutABrushNeitherStampsNorSelects)
{
    canvas.SetToolSettings(-1, true, 0.0f, 255, 20, 0);
    const int items = canvas.Model().ItemCount();
    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, Client(120, 120));
    EXPECT_EQ(canvas.Model().ItemCount(), items);
    EXPECT_EQ(canvas.Model().SelectedIndex(), -1);
    EXPECT_EQ(canvas.Model().HistoryLength(), steps);
}

TEST_P(Interaction, ScrollBarsFollowTheRangesAndCodes)
{
    const int rangeX = zoom() == 0.75f ? 285 : 797; // 1024 z - 500 + 17
    const int rangeY = zoom() == 0.75f ? 193 : 577; // 768 z - 400 + 17
    CanvasScrollBar& v = canvas.VerticalBar();
    CanvasScrollBar& h = canvas.HorizontalBar();
    EXPECT_TRUE(v.isVisible());
    EXPECT_TRUE(h.isVisible());
    EXPECT_EQ(v.Range(), rangeY);
    EXPECT_EQ(h.Range(), rangeX);
    EXPECT_EQ(v.geometry(), QRect(484, -1, 17, 385));
    EXPECT_EQ(h.geometry(), QRect(-1, 384, 485, 17));
    EXPECT_EQ(h.Position(), 30);

    const struct {
        int code;
        int value;
        int expected;
    } codes[] = {{0, 0, 29},     {1, 0, 30},           {2, 0, 0}, {3, 0, 100},
                 {4, 250, 250}, {5, 5000, rangeX}, {6, 0, 0}, {7, 0, rangeX}};
    for (const auto& c : codes) {
        canvas.Scroll(Qt::Horizontal, c.code, c.value);
        EXPECT_EQ(canvas.Model().ScrollX(), c.expected) << "code " << c.code;
        EXPECT_EQ(h.Position(), c.expected);
    }
    // The window shows the view buffer from the new offset.
    canvas.Scroll(Qt::Horizontal, gestures::ThumbTrack, 40);
    const QImage shown = canvas.grab(QRect(0, 0, 100, 100)).toImage();
    EXPECT_EQ(Compare(shown, canvas.Renderer().ViewBuffer().copy(40, 20, 100, 100)).pixels, 0);

    // The wheel scrolls a page down; with Shift a page sideways.
    QWheelEvent down(QPointF(50, 50), canvas.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &down);
    EXPECT_EQ(canvas.Model().ScrollY(), 120);
    QWheelEvent left(QPointF(50, 50), canvas.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120), Qt::NoButton,
                     Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &left);
    EXPECT_EQ(canvas.Model().ScrollX(), 0);
    EXPECT_EQ(canvas.Model().ScrollY(), 120);

    // A window wide enough for the canvas hides the horizontal bar, sets its offset to 0
    // and lengthens the vertical bar; the other offset stays below its range.
    canvas.Scroll(Qt::Horizontal, gestures::End);
    canvas.Scroll(Qt::Vertical, gestures::End);
    canvas.resize(1400, 400);
    EXPECT_FALSE(h.isVisible());
    EXPECT_EQ(canvas.Model().ScrollX(), 0);
    EXPECT_EQ(v.geometry(), QRect(1384, -1, 17, 402));
    EXPECT_EQ(canvas.Model().ScrollY(), rangeY - 1);
    canvas.resize(1400, 1100);
    EXPECT_FALSE(v.isVisible());
    EXPECT_EQ(canvas.Model().ScrollY(), 0);
}

TEST_P(Interaction, ATextItemPressFillsTheTextBox)
{
    Text settings;
    settings.font.lfHeight = 30;
    canvas.Model().SetCurrentTextSettings(settings);
    ASSERT_TRUE(canvas.Model().SetCurrentText(QStringLiteral("Hello there")));
    ASSERT_TRUE(canvas.AddText());
    Text& t = std::get<Text>(canvas.Model().ItemAt(2));
    t.posX = 400;
    t.posY = 300;
    canvas.Model().ClearSelection();
    canvas.Redraw();
    QSignalSpy box(&canvas, &CanvasWnd::textBoxRequested);
    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, Client(405, 305));
    EXPECT_EQ(canvas.Model().SelectedIndex(), 2);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.first().first().toString(), QStringLiteral("Hello there"));
}

INSTANTIATE_TEST_SUITE_P(Zooms, Interaction, ::testing::Values(0.75f, 1.25f),
                         [](const auto& info) { return info.param == 0.75f ? "Zoom075" : "Zoom125"; });

class CanvasKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WriteThumbnailLibrary(dir.filePath(QStringLiteral("cliparts")), {Solid(100, 100, kGreen)});
        canvas.SetDataFolder(dir.path());
        canvas.resize(kWindow);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
        canvas.setFocus();
        ASSERT_TRUE(canvas.AddClipArt(0, 10, 10));
    }
    QTemporaryDir dir;
    CanvasWnd canvas;
};

TEST_F(CanvasKeys, DeleteWithNothingSelectedDoesNothingAndWithASelectionDeletes)
{
    canvas.Model().ClearSelection();
    const int steps = canvas.Model().HistoryLength();
    QTest::keyClick(&canvas, Qt::Key_Delete);
    EXPECT_EQ(canvas.Model().ItemCount(), 1);
    EXPECT_EQ(canvas.Model().HistoryLength(), steps);
    EXPECT_EQ(canvas.Model().HistoryIndex(), steps - 1);

    canvas.Model().SelectOnly(0);
    QTest::keyClick(&canvas, Qt::Key_Delete);
    EXPECT_EQ(canvas.Model().ItemCount(), 0);
    EXPECT_EQ(canvas.Model().HistoryLength(), steps + 1);
}

TEST_F(CanvasKeys, PreviewPressAndEscapeAskToLeaveAndEditNothing)
{
    QSignalSpy leave(&canvas, &CanvasWnd::leavePreviewRequested);
    QTest::keyClick(&canvas, Qt::Key_Escape); // not in preview: nothing
    EXPECT_EQ(leave.count(), 0);
    canvas.Model().ClearSelection();
    canvas.SetPreviewMode(true);
    EXPECT_FALSE(canvas.VerticalBar().isVisible());
    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20)); // on the clip-art
    EXPECT_EQ(leave.count(), 1);
    EXPECT_EQ(canvas.Model().SelectedIndex(), -1);
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_EQ(leave.count(), 2);
}

TEST_F(CanvasKeys, ContextMenuRequestCarriesThePosition)
{
    QSignalSpy menu(&canvas, &CanvasWnd::contextMenuRequested);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 50), canvas.mapToGlobal(QPoint(40, 50)));
    QApplication::sendEvent(&canvas, &event);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.first().first().toPoint(), canvas.mapToGlobal(QPoint(40, 50)));
}

TEST(CanvasScrollBarTest, ArrowsTrackAndThumbSendTheirCodes)
{
    CanvasScrollBar bar(Qt::Vertical);
    bar.resize(17, 300);
    bar.SetRange(100);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    EXPECT_EQ(bar.ThumbLengthNow(), 244);
    EXPECT_EQ(bar.ThumbStartNow(), 16);
    QSignalSpy spy(&bar, &CanvasScrollBar::scrolled);
    const auto last = [&] { return std::make_pair(spy.last().at(0).toInt(), spy.last().at(1).toInt()); };

    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 5));
    ASSERT_EQ(spy.count(), 1); // at once, before the release
    EXPECT_EQ(last(), std::make_pair(0, 0));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 5));
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 295));
    EXPECT_EQ(last(), std::make_pair(1, 0));

    // Thumb at 16..260: dragged down by 14 pixels it stands for trunc(14 / 0.24) = 58.
    const int before = spy.count();
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 100));
    QTest::mouseMove(&bar, QPoint(8, 114));
    ASSERT_EQ(spy.count(), before + 1);
    EXPECT_EQ(last(), std::make_pair(5, 58));
    QTest::mouseMove(&bar, QPoint(8, 400)); // clamped at the end: R
    EXPECT_EQ(last(), std::make_pair(5, 100));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 400));
    EXPECT_EQ(spy.count(), before + 2); // the release of a thumb drag pages nowhere

    // The window gives the position back; the track above the thumb pages back, below
    // it forward.
    bar.SetPosition(50); // thumb at 16 + 12 = 28
    EXPECT_EQ(bar.ThumbStartNow(), 28);
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 20));
    EXPECT_EQ(last(), std::make_pair(2, 0));
    bar.SetPosition(0);
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 270));
    EXPECT_EQ(last(), std::make_pair(3, 0));
    EXPECT_EQ(bar.sizeHint().width(), 17);
}

TEST(CanvasUndoAfterLoad, UndoOfTheFirstEditReturnsToTheLoadedCollage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteThumbnailLibrary(dir.filePath(QStringLiteral("cliparts")), {Solid(100, 100, kGreen)});
    const QString project = dir.filePath(QStringLiteral("two.vmz"));
    QByteArray saved;
    {
        CanvasWnd source;
        source.SetDataFolder(dir.path());
        ASSERT_TRUE(source.AddClipArt(0, 10, 10));
        ASSERT_TRUE(source.AddClipArt(0, 300, 200));
        ASSERT_TRUE(project::SaveProject(source.Model(), project));
        saved = project::ProjectBytes(source.Model());
    }

    CanvasWnd canvas;
    canvas.SetDataFolder(dir.path());
    canvas.resize(kWindow);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    ASSERT_EQ(project::LoadProjectFile(canvas.Model(), project).status, project::LoadStatus::Loaded);
    ASSERT_EQ(canvas.Model().ItemCount(), 2);
    EXPECT_FALSE(canvas.Model().CanUndo());
    canvas.Undo(); // nothing to undo yet
    EXPECT_EQ(canvas.Model().ItemCount(), 2);

    // Move the upper item with the mouse: one step.
    const ClipArt loaded = std::get<ClipArt>(canvas.Model().ItemAt(1));
    const QPoint press(int(float(loaded.posX) * 0.75f) + 10, int(float(loaded.posY) * 0.75f) + 10);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, press);
    QTest::mouseMove(&canvas, press + QPoint(60, 30));
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, press + QPoint(60, 30));
    ASSERT_EQ(canvas.Model().HistoryIndex(), 0);
    EXPECT_TRUE(canvas.Model().CanUndo());
    EXPECT_FALSE(canvas.Model().CanRedo());

    canvas.Undo();
    ASSERT_EQ(canvas.Model().ItemCount(), 2);
    EXPECT_EQ(canvas.Model().HistoryIndex(), -1);
    EXPECT_FALSE(canvas.Model().CanUndo());
    EXPECT_TRUE(canvas.Model().CanRedo());
    EXPECT_EQ(project::ProjectBytes(canvas.Model()), saved); // a save now writes what was loaded
    EXPECT_EQ(canvas.Renderer().ViewBuffer().pixel(int(float(loaded.posX) * 0.75f) + 5,
                                                   int(float(loaded.posY) * 0.75f) + 5),
              kGreen);
    canvas.Undo(); // the base is no step: nothing further
    EXPECT_EQ(canvas.Model().ItemCount(), 2);
    EXPECT_EQ(canvas.Model().HistoryIndex(), -1);

    canvas.Redo();
    EXPECT_EQ(std::get<ClipArt>(canvas.Model().ItemAt(1)).posX, loaded.posX + 80); // 60 / 0.75

    // A new collage has an empty base again.
    canvas.ResetCanvas();
    ASSERT_TRUE(canvas.AddClipArt(0, 10, 10));
    canvas.Undo();
    EXPECT_EQ(canvas.Model().ItemCount(), 0);
}

} // namespace
