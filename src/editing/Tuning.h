#pragma once

// The tuning panel's six sliders and how their positions become an item's tuning
// values. The panel (and montara-tool) call TuningFromSliders; the main window hands
// the result to the canvas.

#include "editing/ColourMatrix.h"

#include <array>

struct TuningSlider {
    const char* label; // caption on the panel
    int id;            // control id
    int minimum;
    int maximum;
    int defaultPosition;
};

// "Contrast", "Brightness", "Saturation", "Hue", "Gamma", "Color", in panel order.
enum TuningSliderIndex { kContrast, kBrightness, kSaturation, kHue, kGamma, kColor, kTuningSliderCount };
extern const std::array<TuningSlider, kTuningSliderCount> kTuningSliders;

// Slider positions in the order of kTuningSliders; defaults to the default positions.
struct TuningPositions {
    int contrast = 100;
    int brightness = 100;
    int saturation = 100;
    int hue = 18000;
    int gamma = 100;
    int color = 18000;

    // The position of one slider, by its index in kTuningSliders.
    int At(TuningSliderIndex slider) const;
    void Set(TuningSliderIndex slider, int position);
    bool operator==(const TuningPositions&) const = default;
};

// The tuning values for the positions (each clamped to its slider's range), computed in
// double precision and stored as floats: scale = contrast x 0.01, offset = brightness x
// 0.01 - 1, saturation x 0.01, hue x 0.01 - 180 degrees, gamma x 0.01, rotation =
// (color x 0.01 - 180) x 0.2 degrees. tuneOn is 0 with `reset`, else 1.
Tuning TuningFromSliders(const TuningPositions& positions, bool reset);

// The slider positions that show stored tuning values: the inverse of TuningFromSliders,
// rounded to the nearest position and clamped to each range, so that
// PositionsFromTuning(TuningFromSliders(p, false)) == p for every p inside the ranges.
// Values with tuning off (tuneOn 0) or not finite show the defaults: such an item is drawn
// untuned whatever its fields hold.
TuningPositions PositionsFromTuning(const Tuning& tuning);
