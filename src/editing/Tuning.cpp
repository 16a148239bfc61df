#include "editing/Tuning.h"

#include <algorithm>

const std::array<TuningSlider, kTuningSliderCount> kTuningSliders = {{
    {"Contrast", 10002, 20, 400, 100},
    {"Brightness", 10004, 0, 200, 100},
    {"Saturation", 10003, 0, 300, 100},
    {"Hue", 10005, 0, 36000, 18000},
    {"Gamma", 10006, 20, 400, 100},
    {"Color", 10007, 0, 36000, 18000},
}};

namespace {

double Position(int value, TuningSliderIndex slider)
{
    const TuningSlider& s = kTuningSliders[slider];
    return static_cast<double>(std::clamp(value, s.minimum, s.maximum));
}

} // namespace

Tuning TuningFromSliders(const TuningPositions& p, bool reset)
{
    Tuning t;
    t.tuneOn = reset ? 0 : 1;
    t.tuneScale = static_cast<float>(Position(p.contrast, kContrast) * 0.01);
    t.tuneOffset = static_cast<float>(Position(p.brightness, kBrightness) * 0.01 - 1.0);
    t.tuneSaturation = static_cast<float>(Position(p.saturation, kSaturation) * 0.01);
    t.tuneHue = static_cast<float>(Position(p.hue, kHue) * 0.01 - 180.0);
    t.tuneGamma = static_cast<float>(Position(p.gamma, kGamma) * 0.01);
    t.tuneRotation = static_cast<float>((Position(p.color, kColor) * 0.01 - 180.0) * 0.2);
    return t;
}
