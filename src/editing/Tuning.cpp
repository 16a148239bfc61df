#include "editing/Tuning.h"

#include <algorithm>
#include <cmath>

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

int TuningPositions::At(TuningSliderIndex slider) const
{
    switch (slider) {
    case kContrast: return contrast;
    case kBrightness: return brightness;
    case kSaturation: return saturation;
    case kHue: return hue;
    case kGamma: return gamma;
    case kColor: return color;
    default: return 0;
    }
}

void TuningPositions::Set(TuningSliderIndex slider, int position)
{
    switch (slider) {
    case kContrast: contrast = position; break;
    case kBrightness: brightness = position; break;
    case kSaturation: saturation = position; break;
    case kHue: hue = position; break;
    case kGamma: gamma = position; break;
    case kColor: color = position; break;
    default: break;
    }
}

namespace {

// The nearest position of a value given in slider units, clamped to the slider's range;
// the default position for a value that is not finite.
int NearestPosition(double units, TuningSliderIndex slider)
{
    const TuningSlider& s = kTuningSliders[slider];
    if (!std::isfinite(units))
        return s.defaultPosition;
    const double clamped = std::clamp(units, static_cast<double>(s.minimum), static_cast<double>(s.maximum));
    return static_cast<int>(std::lround(clamped));
}

} // namespace

TuningPositions PositionsFromTuning(const Tuning& t)
{
    TuningPositions p;
    if (t.tuneOn == 0)
        return p;
    p.contrast = NearestPosition(static_cast<double>(t.tuneScale) * 100.0, kContrast);
    p.brightness = NearestPosition((static_cast<double>(t.tuneOffset) + 1.0) * 100.0, kBrightness);
    p.saturation = NearestPosition(static_cast<double>(t.tuneSaturation) * 100.0, kSaturation);
    p.hue = NearestPosition((static_cast<double>(t.tuneHue) + 180.0) * 100.0, kHue);
    p.gamma = NearestPosition(static_cast<double>(t.tuneGamma) * 100.0, kGamma);
    p.color = NearestPosition((static_cast<double>(t.tuneRotation) / 0.2 + 180.0) * 100.0, kColor);
    return p;
}
