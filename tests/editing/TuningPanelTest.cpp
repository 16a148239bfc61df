// The tuning panel over a canvas: slider reports become SetTuning with the table's values,
// Reset, and the sliders following the selection.

#include "base/UserMessage.h"
#include "canvas/CanvasWnd.h"
#include "editing/PanelSlider.h"
#include "editing/TuningPanel.h"
#include "ui/skin/SkinButton.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

TEST(TuningPositions, StoredValuesShowTheSliderPositionsTheyCameFrom)
{
    for (int s = 0; s < kTuningSliderCount; ++s) {
        const auto slider = static_cast<TuningSliderIndex>(s);
        const TuningSlider& entry = kTuningSliders[slider];
        for (int position = entry.minimum; position <= entry.maximum; ++position) {
            TuningPositions p;
            p.Set(slider, position);
            ASSERT_EQ(PositionsFromTuning(TuningFromSliders(p, false)), p) << entry.label << " " << position;
        }
    }
}

TEST(TuningPositions, TuningOffNonFiniteAndOutOfRangeValues)
{
    Tuning t = TuningFromSliders(TuningPositions{.contrast = 300, .hue = 0}, true);
    EXPECT_EQ(PositionsFromTuning(t), TuningPositions{}); // drawn untuned: the defaults
    EXPECT_EQ(PositionsFromTuning(Tuning::Created()), TuningPositions{});

    t.tuneOn = 1;
    t.tuneScale = std::nanf("");
    t.tuneGamma = 9.0f;          // beyond 400
    t.tuneOffset = -3.0f;        // below 0
    t.tuneRotation = 1e30f;
    const TuningPositions p = PositionsFromTuning(t);
    EXPECT_EQ(p.contrast, 100);
    EXPECT_EQ(p.gamma, 400);
    EXPECT_EQ(p.brightness, 0);
    EXPECT_EQ(p.color, 36000);
    EXPECT_EQ(p.hue, 0);
}

int MaxDifference(const QImage& a, const QImage& b)
{
    EXPECT_EQ(a.size(), b.size());
    int most = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

struct Messages {
    Messages()
        : previous(SetMessageHandler([this](MessageKind, const QString& text) { texts.push_back(text); }))
    {
    }
    ~Messages() { SetMessageHandler(previous); }
    MessageHandler previous;
    std::vector<QString> texts;
};

// A canvas with two clip-art pictures (the second selected) and the panel over it.
struct Tuned {
    Tuned()
        : panel(canvas)
    {
        canvas.SetCanvasSize(40, 40);
        std::vector<std::uint8_t> pixels(20 * 20 * 4);
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = 40;
            pixels[i + 1] = 120;
            pixels[i + 2] = 200;
            pixels[i + 3] = 255;
        }
        canvas.AddPictureItem(pixels, 20, 20);
        canvas.AddPictureItem(pixels, 20, 20);
        std::get<ClipArt>(canvas.Model().ItemAt(1)).posX = 20;
        canvas.Model().RecordStep();
        panel.resize(panel.sizeHint());
        panel.show();
    }
    const Tuning& TuningOf(int index) { return std::get<ClipArt>(canvas.Model().ItemAt(index)).tuning; }
    // A press at the left or right end of a slider.
    void Press(TuningSliderIndex index, bool rightEnd)
    {
        PanelSlider* slider = panel.Slider(index);
        const QPoint at(rightEnd ? slider->width() - 1 : 0, 6);
        QTest::mousePress(slider, Qt::LeftButton, {}, at);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
    }
    QImage Composed()
    {
        EXPECT_TRUE(canvas.Renderer().ComposeFullSize());
        return canvas.Renderer().Export().ToImage();
    }
    CanvasWnd canvas;
    TuningPanel panel;
};

TEST(TuningPanel, SlidersCarryTheTableAndFitThePanel)
{
    Tuned t;
    const QRect inside(QPoint(0, 0), t.panel.sizeHint());
    QRect taken;
    for (int i = 0; i < kTuningSliderCount; ++i) {
        const PanelSlider* slider = t.panel.Slider(static_cast<TuningSliderIndex>(i));
        const TuningSlider& entry = kTuningSliders[static_cast<std::size_t>(i)];
        EXPECT_EQ(slider->Id(), entry.id);
        EXPECT_EQ(slider->Minimum(), entry.minimum);
        EXPECT_EQ(slider->Maximum(), entry.maximum);
        EXPECT_EQ(slider->Position(), entry.defaultPosition);
        EXPECT_TRUE(inside.contains(slider->geometry())) << entry.label;
        EXPECT_FALSE(slider->geometry().intersects(tuningpanel::LabelRect(i)));
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(slider->geometry().intersects(t.panel.Slider(static_cast<TuningSliderIndex>(j))->geometry()));
    }
    EXPECT_EQ(t.panel.ResetButton()->text(), QStringLiteral("Reset"));
    EXPECT_TRUE(inside.contains(t.panel.ResetButton()->geometry()));
}

TEST(TuningPanel, EveryReportSetsTheSelectionsTuningFromAllSixSliders)
{
    Tuned t;
    QSignalSpy reported(&t.panel, &TuningPanel::tuningReported);
    const int steps = t.canvas.Model().HistoryIndex();

    t.Press(kContrast, true);
    ASSERT_EQ(reported.count(), 1);
    EXPECT_FALSE(reported.at(0).at(0).toBool());
    EXPECT_EQ(t.canvas.Model().HistoryIndex(), steps + 1); // one step per report
    Tuning tuning = t.TuningOf(1);
    EXPECT_EQ(tuning.tuneOn, 1);
    EXPECT_FLOAT_EQ(tuning.tuneScale, 4.0f);
    EXPECT_FLOAT_EQ(tuning.tuneOffset, 0.0f);
    EXPECT_FLOAT_EQ(tuning.tuneSaturation, 1.0f);
    EXPECT_FLOAT_EQ(tuning.tuneHue, 0.0f);
    EXPECT_FLOAT_EQ(tuning.tuneGamma, 1.0f);
    EXPECT_FLOAT_EQ(tuning.tuneRotation, 0.0f);
    EXPECT_EQ(t.TuningOf(0).tuneOn, 0); // only the selected item

    // The other sliders at their low ends, the contrast staying where it was.
    t.Press(kContrast, false);
    t.Press(kBrightness, false);
    t.Press(kSaturation, false);
    t.Press(kGamma, false);
    t.Press(kColor, false);
    tuning = t.TuningOf(1);
    EXPECT_FLOAT_EQ(tuning.tuneScale, 0.2f);
    EXPECT_FLOAT_EQ(tuning.tuneOffset, -1.0f);
    EXPECT_FLOAT_EQ(tuning.tuneSaturation, 0.0f);
    EXPECT_FLOAT_EQ(tuning.tuneGamma, 0.2f);
    EXPECT_FLOAT_EQ(tuning.tuneRotation, -36.0f); // "Color" 0: -36 degrees
    t.Press(kBrightness, true);
    t.Press(kSaturation, true);
    t.Press(kGamma, true);
    t.Press(kColor, true);
    tuning = t.TuningOf(1);
    EXPECT_FLOAT_EQ(tuning.tuneOffset, 1.0f);
    EXPECT_FLOAT_EQ(tuning.tuneSaturation, 3.0f);
    EXPECT_FLOAT_EQ(tuning.tuneGamma, 4.0f);
    EXPECT_FLOAT_EQ(tuning.tuneRotation, 36.0f);
}

TEST(TuningPanel, HueAtEitherEndDrawsTheSameAndResetDrawsUntuned)
{
    Tuned t;
    const QImage untuned = t.Composed();
    t.Press(kHue, false);
    EXPECT_FLOAT_EQ(t.TuningOf(1).tuneHue, -180.0f);
    const QImage low = t.Composed();
    t.Press(kHue, true);
    EXPECT_FLOAT_EQ(t.TuningOf(1).tuneHue, 180.0f);
    const QImage high = t.Composed();
    EXPECT_LE(MaxDifference(low, high), 1); // -180 and +180 degrees differ only by rounding
    EXPECT_GT(MaxDifference(low, untuned), 20);

    QSignalSpy reported(&t.panel, &TuningPanel::tuningReported);
    QTest::mouseClick(t.panel.ResetButton(), Qt::LeftButton);
    ASSERT_EQ(reported.count(), 1);
    EXPECT_TRUE(reported.at(0).at(0).toBool());
    EXPECT_EQ(t.panel.Positions(), TuningPositions{});
    Tuning neutral;
    neutral.tuneOn = 0;
    EXPECT_EQ(t.TuningOf(1), neutral);
    EXPECT_EQ(t.Composed(), untuned);
}

TEST(TuningPanel, SlidersFollowTheSelectionUndoAndRedo)
{
    Tuned t;
    t.Press(kContrast, true);
    t.Press(kHue, false);
    const TuningPositions tuned = t.panel.Positions();
    EXPECT_EQ(tuned.contrast, 400);
    EXPECT_EQ(tuned.hue, 0);

    // Selecting the untuned item shows the defaults; back to the tuned one, its values.
    t.canvas.Model().SelectOnly(0);
    t.canvas.Model().RecordStep();
    EXPECT_EQ(t.panel.Positions(), TuningPositions{});
    t.canvas.Model().SelectOnly(1);
    t.canvas.Model().RecordStep();
    EXPECT_EQ(t.panel.Positions(), tuned);

    t.canvas.Undo(); // item 0 selected again
    EXPECT_EQ(t.panel.Positions(), TuningPositions{});
    t.canvas.Undo(); // item 1 with both tunings
    EXPECT_EQ(t.panel.Positions(), tuned);
    t.canvas.Undo(); // item 1 with the contrast only
    EXPECT_EQ(t.panel.Positions(), (TuningPositions{.contrast = 400}));
}

TEST(TuningPanel, WithNothingSelectedTheUserIsAsked)
{
    Messages messages;
    Tuned t;
    t.canvas.Model().ClearSelection();
    t.Press(kSaturation, false);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], QStringLiteral("Please select a photo or clipart on the canvas."));
    EXPECT_EQ(t.TuningOf(0).tuneOn, 0);
    EXPECT_EQ(t.TuningOf(1).tuneOn, 0);
}

} // namespace
