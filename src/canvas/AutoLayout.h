#pragma once

// Automatic layouts of many photos at once, as ordinary, editable photo records.
//
//   Grid    equal cells; the column count is the one whose cells come closest to the
//           photos' average aspect; each photo whole, centred in its cell; a last row
//           that is not full is centred.
//   Mosaic  justified rows: every photo whole, each row scaled to fill the width; the
//           photos keep their order and are split into rows so that the rows' aspect
//           sums are as even as possible (a dynamic programme per row count); the row
//           count whose total height comes closest to the canvas height is taken, and
//           a result taller than the canvas is scaled down and centred.
//   Fill    the grid's cells, each photo cropped centrally to its cell's aspect.
//
// Spacing lies between photos, the margin around them; both show the background. A
// displayed photo is a multiple of 4 pixels on each side, so gaps may exceed the spacing
// by up to 4 pixels; a photo never leaves its cell, so photos never overlap and never
// leave the canvas.
//
// The maths is pure (Compute); Apply turns it into records through the model and records
// one undo step for the whole layout.

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

class CollageModel;

namespace autolayout {

enum class Mode { Grid, Mosaic, Fill };

constexpr int kMaxSpacing = 100;
constexpr int kMinCanvasSide = 10;
constexpr int kMaxCanvasSide = 3200;

struct Options {
    Mode mode = Mode::Grid;
    int spacing = 8; // 0..100 canvas pixels between photos
    int margin = 8;  // 0..100 canvas pixels around them
    // Apply only: frame library entry put on every photo (its mask removed), -1 for none
    // (photos keep the decoration they have).
    std::int32_t frameEntry = -1;
};

// Where one photo goes. `crop` is in source pixels (the whole source outside Fill);
// `scale` makes the cropped source `display` pixels large; `display` is a multiple of 4
// on each side and lies inside `cell`, centred, with its top-left corner at `position`.
struct Placement {
    QRectF cell;
    QRect crop;
    float scale = 0;
    QSize display;
    QPoint position;
};

// One placement per source, in order; empty when the canvas has no room left inside the
// margin. Sources with a side that is not positive get an empty placement.
std::vector<Placement> Compute(std::span<const QSize> sources, QSize canvas, const Options& options);

// The grid's column count for these sources in the area (1 for no sources).
int GridColumns(std::span<const QSize> sources, QSizeF area, int spacing);

// The canvas for an aspect W:H: the width kept, the height derived; both kept within
// 10..3200. (0, 0) keeps the canvas as it is.
QSize CanvasForAspect(QSize canvas, int aspectWidth, int aspectHeight);

// A photo to lay out: an item already on the canvas (itemIndex >= 0), or a picture file
// to add (itemIndex -1, with its path and its upright pixel size).
struct PhotoSource {
    int itemIndex = -1;
    QString path;
    QSize size;
};

// Lays the photos out on the model: the canvas gets the aspect's size, items on the
// canvas get new places (unrotated; Fill sets their crop), new photos are added on top;
// other items stay where they are. A framed photo (framed before or by the frame option)
// is laid out by its whole framed size: its base size becomes its crop divided by the
// frame's opening, so the picture in the opening keeps its aspect, and in Fill the crop
// is chosen so that the framed photo fills its cell. One undo step for everything, which
// also restores the canvas size. False (and nothing changed) when nothing could be
// placed or the chosen frame's opening cannot be read.
bool Apply(CollageModel& model, std::span<const PhotoSource> photos, const Options& options, int aspectWidth = 0,
           int aspectHeight = 0);

} // namespace autolayout
