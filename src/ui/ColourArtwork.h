#pragma once

// Artwork of the colour picker and the palette window, drawn in code in the colours of
// skin/Skin.h: the picker face (a 10-pixel left cap, a 50 x 20 middle and a 20-pixel right
// cap with the drop-down arrow, 80 x 20 in all) in its four looks, the three-piece drawing
// of that face at any size, and the palette's small dialog button (three coloured squares).
// No widgets: QImage and QPainter only.

#include <QImage>

class QPainter;

namespace colours {

inline constexpr int kFaceLeftCap = 10;
inline constexpr int kFaceMiddle = 50;
inline constexpr int kFaceRightCap = 20;
inline constexpr int kFaceWidth = kFaceLeftCap + kFaceMiddle + kFaceRightCap;
inline constexpr int kFaceHeight = 20;

// The swatch of the current colour: 20 pixels in from the left edge to 40 pixels in from the
// right edge, 5 pixels from the top and the bottom.
inline constexpr int kSwatchLeft = 20;
inline constexpr int kSwatchRight = 40;
inline constexpr int kSwatchInset = 5;

enum class FaceLook { Normal, Hover, Pressed, Disabled };

// The 80 x 20 face bitmap.
QImage MakePickerFace(FaceLook look);

// Draws `face` over `target`: the left cap and the right cap at their widths, the middle
// stretched between them. Shorter targets keep the top and bottom 6 rows and stretch the
// rows between, so the corners stay round; taller ones keep the arrow's rows whole and
// stretch a plain row above and one below them.
void DrawPickerFace(QPainter& painter, const QRect& target, const QImage& face);

// The palette window's 16 x 16 dialog button: red, green and yellow squares on the face.
QImage MakeDialogButtonGlyph(bool hover, bool pressed);

} // namespace colours
