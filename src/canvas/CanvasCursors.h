#pragma once

// The canvas's own cursors, drawn in code: the brush-stamp cursor (resource 180), shown
// while the brush tool is on, and the rotation cursor (resource 181), shown over the four
// rotation handles. Each is a 32 x 32 ARGB picture, black on a white halo so it reads on
// any photo, with its hotspot at the point the gesture acts on. Headless: the window
// turns the pictures into cursors; tests look at the pictures.

#include <QImage>
#include <QPoint>

namespace cursors {

constexpr int kCursorSide = 32;

struct CursorPicture {
    QImage image; // kCursorSide square, ARGB32 premultiplied
    QPoint hotspot;
};

// A crosshair through a ring the size of a brush dab; the hotspot is the centre, where
// the stamp is centred.
CursorPicture StampCursorPicture();
// A three-quarter circle arrow turning clockwise, with a dot at the centre; the hotspot
// is the centre.
CursorPicture RotationCursorPicture();

} // namespace cursors
