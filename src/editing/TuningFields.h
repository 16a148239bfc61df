#pragma once

// The seven tuning fields of a Photo, ClipArt or BrushStamp record: one type for the
// record layout and for the colour matrix an item is drawn through. Header only, so the
// item records use it without linking the picture code.
//
// On disk the fields are 28 bytes: tuneOn (int32) then six float32, little-endian.
// Default-constructed they are the neutral values with tuning off; Created() gives what a
// new item record carries.

#include "base/LittleEndian.h"

#include <cstdint>

struct Tuning {
    static constexpr int kSize = 28;
    std::int32_t tuneOn = 0;
    float tuneScale = 1.0f;
    float tuneOffset = 0.0f;
    float tuneSaturation = 1.0f;
    float tuneHue = 0.0f;
    float tuneRotation = 0.0f;
    float tuneGamma = 1.0f;

    // 0, 1.0, 0, 1.0, 0, 0.125, 1.0: the values a new item record carries.
    static Tuning Created()
    {
        Tuning t;
        t.tuneRotation = 0.125f;
        return t;
    }

    void Read(const std::uint8_t* p)
    {
        tuneOn = le::ReadI32(p + 0);
        tuneScale = le::ReadF32(p + 4);
        tuneOffset = le::ReadF32(p + 8);
        tuneSaturation = le::ReadF32(p + 12);
        tuneHue = le::ReadF32(p + 16);
        tuneRotation = le::ReadF32(p + 20);
        tuneGamma = le::ReadF32(p + 24);
    }

    void Write(std::uint8_t* p) const
    {
        le::WriteI32(p + 0, tuneOn);
        le::WriteF32(p + 4, tuneScale);
        le::WriteF32(p + 8, tuneOffset);
        le::WriteF32(p + 12, tuneSaturation);
        le::WriteF32(p + 16, tuneHue);
        le::WriteF32(p + 20, tuneRotation);
        le::WriteF32(p + 24, tuneGamma);
    }

    bool operator==(const Tuning&) const = default;
};
