#pragma once

// The program's artwork, drawn by code at start-up and cached: no bitmap files. Every picture
// is drawn with QPainter from the colours of Skin.h at the size its control expects:
//
//   ButtonArt(state, h)  push button state bitmap, 118 x h (three-piece: caps of 12 pixels);
//                        in the tool style, normal and disabled are empty (the background shows)
//   Art(132)             bottom border, 1017 x 14
//   Art(133), Art(134)   left and right borders, 20 x 524
//   Art(135)             caption bar, 1018 x 30
//   Art(136/217/218)     close button normal / hover / pressed, 26 x 17
//   CheckArt(checked)    box of the check-style buttons, 16 x 16
//
// Art() returns a null pixmap for a number it does not draw. To add a picture, add its number
// to skin::Bitmap in Skin.h and a case to DrawArt() in SkinArt.cpp. DrawArt returns the
// uncached image (tests read its pixels); the pixmap functions cache per number and size, and
// need a QGuiApplication.

#include "ui/skin/Skin.h"

#include <QImage>
#include <QPixmap>

namespace skin {

QImage DrawButtonArt(ButtonState state, int height, ButtonArtStyle style = ButtonArtStyle::kPush);
QPixmap ButtonArt(ButtonState state, int height, ButtonArtStyle style = ButtonArtStyle::kPush);

QImage DrawArt(int bitmap);
QPixmap Art(int bitmap);

QImage DrawCheckArt(bool checked);
QPixmap CheckArt(bool checked);

} // namespace skin
