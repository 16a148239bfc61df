#pragma once

// The integer bilinear scaler and the fitting of a picture into a box.

#include <QSize>

#include <cstdint>

// Scales packed pixels (rows of width * bytesPerPixel bytes, bytesPerPixel 3 or 4) to
// targetWidth x targetHeight. For target row y, column x with W = targetWidth and
// H = targetHeight: source row (y * sourceHeight) div H with fraction
// (y * sourceHeight) mod H, likewise for columns; each byte is
//   ((W - fx)(H - fy) a + fx (H - fy) b + (W - fx) fy c + fx fy d + (W H) div 2) div (W H)
// of the upper-left, upper-right, lower-left and lower-right neighbours, a neighbour
// beyond the last row or column taken from the last one. With `flip` the target rows
// are written bottom-first and, for 3 bytes a pixel, the bytes of each pixel reversed
// (blue-green-red <-> red-green-blue). Nothing is done when a size is not positive.
void ScaleBilinear(const std::uint8_t* source, int sourceWidth, int sourceHeight, std::uint8_t* target,
                   int targetWidth, int targetHeight, int bytesPerPixel, bool flip);

// The size of a picture fitted into a box keeping its aspect. Any zero gives 0 x 0. A
// picture wider or taller than the box, or any picture when `always` is set, gets
// (boxWidth, height * boxWidth / width) when boxWidth / boxHeight < width / height,
// otherwise (width * boxHeight / height, boxHeight); a smaller one keeps its size.
QSize FitSize(int width, int height, int boxWidth, int boxHeight, bool always);
