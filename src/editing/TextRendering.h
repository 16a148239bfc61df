#pragma once

// Measuring and drawing the text of a text item in one of its eight style presets.
//
// Sizes are in pixels at 96 pixels per inch whatever the screen: lfHeight h measures
// with (h x 15) div 20 points, one point being 96 / 72 pixels (lfHeight 48: 36 points,
// 48 pixels), and the outline presets draw a bold path of em size (h x 18) div 20 pixels
// (48: 43). A face name that fontconfig substitutes is drawn in its substitute; an empty
// face name falls back to the application's default font. Line breaks ("\n", "\r\n" or
// "\r") start new lines in every preset.

#include "editing/LogFont.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

class QPainter;

// The largest text a text record holds: 1000 bytes with the terminating NUL.
constexpr int kMaxTextBytes = 999;

// COLORREF 0x00BBGGRR.
struct StyleColours {
    std::uint32_t colour1;
    std::uint32_t colour2;
};

// The preset's default "1st Color" and "2nd Color"; a style outside 0..7 gets style 0's.
StyleColours DefaultStyleColours(int style);

// The drawing alpha of a transparency 0 (opaque) .. 1 (invisible): 255 - t x 255,
// truncated, the transparency clamped to 0..1.
int TextAlpha(float transparency);

// A COLORREF (0x00BBGGRR) with an alpha 0..255.
QColor ColourFromColorRef(std::uint32_t colorRef, int alpha);

// Width and height of the text's box in pixels: the widest line plus 1/6 em either side
// (room for overhangs), by the number of lines times the line spacing; truncated. Empty
// text measures 0 x 0.
QSize MeasureText(const LogFont& font, const QString& text);

// Draws the text in the style's preset into `painter`, whose transform places the item;
// the layout starts at (0, 0) and `box` is (0, 0, box width, box height). colour1 and
// colour2 are COLORREFs drawn with `alpha` (0..255); the presets' fixed colours are opaque.
void DrawStyledText(QPainter& painter, int style, const QString& text, const LogFont& font,
    QRect box, std::uint32_t colour1, std::uint32_t colour2, int alpha);
