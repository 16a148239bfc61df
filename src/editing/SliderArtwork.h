#pragma once

// The panel slider's artwork, drawn in code: the track bitmap 170 (130 x 11; the slider
// uses columns 0-9, 10-29 and 120-129) and the thumb bitmap 156 (16 x 11), in the colours of
// skin/Skin.h. Pure functions on QImage (ARGB32 premultiplied): no widgets, callable
// headless. The thumb has a hover and a pressed variant of the same size and shape.

#include <QImage>

namespace slider {

enum class ThumbLook { Normal, Hover, Pressed };

// Bitmap 170: white ground and a flat, rounded groove along the middle. The left cap
// (columns 0-9) and the right cap (120-129) hold the rounded ends; every column between
// them is the same, so the middle stretches without artefacts.
QImage MakeTrackBitmap();

// Bitmap 156: a white capsule with a grey ring and an accent dot; transparent corners.
QImage MakeThumbBitmap(ThumbLook look = ThumbLook::Normal);

} // namespace slider
