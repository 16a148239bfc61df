#pragma once

// Where each piece of a skin bitmap goes: the three-piece push button and the four pieces of
// the skinned dialog frame, as lists of (source rectangle in the bitmap, target rectangle in
// the window). No widgets: the painters and the tests use the same lists. A source and a
// target of different sizes mean "stretch"; equal sizes mean a plain copy.
//
// Bitmap layouts (all numbers in the constexpr tables below):
// - push button state bitmap, 118 wide: 12-pixel left cap from x 0, middle from x 12, 12-pixel
//   right cap from x 106. The middle is copied unscaled; a button wider than 118 repeats the
//   94-pixel middle instead of reading past it. A button 24 pixels wide or less shows only its
//   caps (the right cap drawn last, over the left one when they overlap).
// - bottom border 132, 1017 x 14: 20-pixel left piece, middle stretched from the 720 x 14 source
//   at x 20 over the width less 50, 30-pixel right piece from x 987.
// - caption bar 135, 1018 x 30: 30 x 30 left piece, middle stretched from the 500 x 30 source
//   at x 30 over the width less 60, 30 x 30 right piece from x 988.
// - side borders 133 / 134, 20 x 524, in two forms: one stretch of the 20 x 500 source at y 0
//   over the whole height below the caption bar; or three pieces from y 25: a 10-pixel top,
//   a middle stretched from the 20 x 490 source at y 10 over the height less 59, and the
//   24-pixel bottom from y 500, which ends exactly at the window's bottom edge.

#include <QRect>
#include <QSize>

#include <vector>

namespace skin {

struct Piece {
    QRect source;
    QRect target;
};

struct StripLayout {
    int artLength;     // the bitmap's length along the strip
    int artThickness;  // and across it
    int leftPiece;     // first piece, from 0
    int middleSource;  // middle source start
    int middleLength;  // middle source length
    int rightPiece;    // last piece
    int rightSource;   // last piece's source start
};

inline constexpr StripLayout kBottomStrip{1017, 14, 20, 20, 720, 30, 987};
inline constexpr StripLayout kCaptionStrip{1018, 30, 30, 30, 500, 30, 988};

struct SideLayout {
    int artWidth;
    int artHeight;
    int stretchSource;   // one-stretch form: source height from y 0
    int threeTop;        // three-piece form: first target y
    int topPiece;
    int middleSource;
    int middleLength;
    int middleLess;      // the middle's target height is the window height less this
    int bottomPiece;
    int bottomSource;
};

inline constexpr SideLayout kSideStrip{20, 524, 500, 25, 10, 10, 490, 59, 24, 500};

enum class SideForm {
    kStretch,    // one stretch below the caption (small dialogs)
    kThreePiece, // top, stretched middle, bottom (large windows)
};

// The pieces of a three-piece push button of this size.
std::vector<Piece> ButtonPieces(QSize button);

// The frame pieces of a window of this size.
std::vector<Piece> BottomBorderPieces(QSize window);
std::vector<Piece> CaptionBarPieces(QSize window);
// Left border at x 0, right border at the window's width less 20.
std::vector<Piece> SideBorderPieces(QSize window, SideForm form, bool right);

} // namespace skin
