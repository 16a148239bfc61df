#pragma once

// The tuning panel: six panel sliders ("Contrast", "Brightness", "Saturation", "Hue",
// "Gamma", "Color"; ids, ranges and defaults of kTuningSliders) and "Reset", on the
// library strip of the main window.
//
// Every report of a slider (a press, the end of a drag) hands the tuning values of all
// six positions (TuningFromSliders) to the canvas's SetTuning, which stores them into the
// first selected photo or clip-art with tuning on and records one undo step. Reset puts
// the sliders back to their defaults and hands the neutral values with reset set (tuning
// off). Either way tuningReported(reset) follows.
//
// The sliders always show the selection: whenever the canvas's history or selection
// changes (historyChanged: a step, Undo, Redo, a click on the canvas) they move, without
// reporting, to the positions of the first selected photo or clip-art's stored values
// (PositionsFromTuning: the defaults when its tuning is off). With no such item selected
// they stay where they are.

#include "editing/Tuning.h"

#include <QWidget>

#include <array>

class CanvasWnd;
class PanelSlider;
class SkinButton;

namespace tuningpanel {
// Layout (panel coordinates): two rows of three label + slider cells, Reset below.
inline constexpr int kLeft = 20;
inline constexpr int kTop = 22;
inline constexpr int kColumnPitch = 250;
inline constexpr int kRowPitch = 34;
inline constexpr int kLabelWidth = 80;   // the label, then the slider
inline constexpr int kSliderWidth = 130;
inline constexpr int kSliderHeight = 13;
inline constexpr int kColumns = 3;
inline constexpr int kResetWidth = 76;
inline constexpr int kResetHeight = 20;
inline constexpr int kResetTop = kTop + 2 * kRowPitch + 4;
// The Reset button's control id.
inline constexpr int kResetId = 10008;

// The slider rectangle of a slider index.
QRect SliderRect(int index);
QRect LabelRect(int index);
QRect ResetRect();
} // namespace tuningpanel

class TuningPanel : public QWidget {
    Q_OBJECT

public:
    explicit TuningPanel(CanvasWnd& canvas, QWidget* parent = nullptr);

    PanelSlider* Slider(TuningSliderIndex index) const { return sliders_[index]; }
    SkinButton* ResetButton() const { return reset_; }

    TuningPositions Positions() const;
    // Moves the sliders; no report.
    void ShowPositions(const TuningPositions& positions);
    // What the Reset button does.
    void Reset();
    // Shows the stored values of the first selected photo or clip-art, if any.
    void ShowSelection();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The tuning of the selection was set from the sliders (reset false) or reset.
    void tuningReported(bool reset);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Apply(bool reset);

    CanvasWnd& canvas_;
    std::array<PanelSlider*, kTuningSliderCount> sliders_{};
    SkinButton* reset_ = nullptr;
};
