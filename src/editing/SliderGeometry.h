#pragma once

// Geometry of the panel slider, without widgets: where the thumb stands for a position,
// which position a mouse x gives, and how the track bitmap is cut into its three pieces.
// PanelSlider draws and hit-tests with these functions and the tests call them directly.
//
// Positions are clamped to [minimum, maximum] everywhere; an empty or reversed range
// (maximum <= minimum) and a control narrower than two pixels give the minimum, never a
// division by zero.

#include <QRect>

namespace slider {

// Artwork sizes: the track bitmap (170) and the thumb bitmap (156).
inline constexpr int kTrackBitmapWidth = 130;
inline constexpr int kTrackBitmapHeight = 11;
inline constexpr int kThumbWidth = 16;
inline constexpr int kThumbHeight = 11;

// The track is drawn at y = 1, 11 pixels high; the thumb spans y 1..12 (bottom exclusive).
inline constexpr int kTrackTop = 1;
inline constexpr int kThumbTop = 1;
inline constexpr int kThumbBottom = 12;
inline constexpr int kControlHeight = 13; // the panels give their sliders 13 pixels

// The three pieces of the track bitmap: source columns and where they go.
struct TrackPiece {
    int sourceLeft;  // first column in the track bitmap
    int sourceWidth; // columns taken from the bitmap
};
inline constexpr TrackPiece kTrackLeftCap{0, 10};   // drawn at x 0..9
inline constexpr TrackPiece kTrackMiddle{10, 20};   // stretched over x 10..W-11
inline constexpr TrackPiece kTrackRightCap{120, 10}; // drawn at x W-10..W-1

// The position clamped to the range.
int ClampPosition(int position, int minimum, int maximum);

// The thumb rectangle for `position` in a control `width` pixels wide:
// left = trunc((width - 16) x f) with f = (position - minimum) / (maximum - minimum) in
// floating point, 16 wide, from y 1 to y 12. The left edge never goes below 0.
QRect ThumbRect(int width, int position, int minimum, int maximum);

// The position for a press or drag at client x: minimum + x x (maximum - minimum) div
// (width - 1) in integer arithmetic, clamped to the range. The last pixel column gives the
// maximum and x beyond either end gives the end's value.
int PositionAtX(int x, int width, int minimum, int maximum);

// Destination rectangles of the three track pieces in a control `width` pixels wide.
// A control narrower than the two caps shows the caps only, each cut to half the width.
struct TrackLayout {
    QRect left;
    QRect middle; // empty when there is no room between the caps
    QRect right;
};
TrackLayout TrackPieces(int width);

} // namespace slider
