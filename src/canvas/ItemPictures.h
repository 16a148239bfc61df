#pragma once

// The pictures items are drawn from, built from their records: a photo's display image
// (its crop area decoded no larger than it is shown, scaled down to the displayed size,
// masked) and frame image, the picture of a clip-art item or brush stamp, and the
// picture as drawn through an item's colour matrix.
//
// Library files are read from `dataFolder`, a folder path ending in "/" to which the
// library file names are appended ("photomasks", "shape", "photoframes", "cliparts",
// "brushs").

#include "canvas/ItemRecords.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

class CollageModel;
class ColourMatrix;

namespace render {

// The most pixels one item picture (display image, frame image, tuned copy) may have;
// beyond it the picture is left out. A record whose scale asks for more is nonsense.
inline constexpr std::int64_t kMaxItemPixels = std::int64_t(1) << 26;
// The longest side an item is drawn with, in view pixels; a record that asks for more
// keeps its handles and hit region but draws no picture.
inline constexpr int kMaxDisplaySide = 1 << 20;

// An item's displayed size at a zoom: W = trunc(w x s x zoom) rounded down to a multiple
// of 4, H likewise (single precision, saturating). Text items are not rounded this way
// (see TextDisplaySize).
QSize DisplaySize(const DrawFields& fields, float zoom);

// The box of a text item on screen: boxWidth x scale x zoom by boxHeight x scale x zoom,
// not rounded.
QSizeF TextDisplaySize(const Text& text, float zoom);

// How a photo's picture was obtained, for the caller's bookkeeping.
struct PhotoBuildInfo {
    bool fileMissing = false; // the picture file does not exist: nothing was tried
    bool decoded = false;     // a decoder ran (successfully or not)
    QSize decodedSize;        // the size the decoder produced (may be a reduced decode)
    QSize fullSize;           // the upright size of the picture file
};

// The display image of a photo shown at `displaySize` (W x H):
//   1. nothing when the file does not exist;
//   2. decoded by the platform decoder, or by the picture library when the platform
//      cannot read it or it is a metafile (then resampled to sides that are multiples
//      of 4). A photo shown smaller than its crop is decoded at a reduced size that
//      still gives its crop area at least W x H pixels (JPEG DCT scaling);
//   3. the crop rectangle clamped to the picture (a negative or too large left/top
//      becomes 0, a negative or too large right/bottom the width/height) and stored
//      back in the record;
//   4. the crop area, scaled smoothly to W x H when W is smaller than the crop width;
//   5. masked with the photo's mask or shape (maskIndex > 0) from the library.
// Format_RGB32 for opaque pictures, Format_ARGB32 (not premultiplied) otherwise. Null
// when there is nothing to draw (missing or unreadable file, empty crop, size beyond
// kMaxItemPixels).
QImage BuildPhotoDisplay(Photo& photo, QSize displaySize, const QString& dataFolder, PhotoBuildInfo* info = nullptr);

// The frame image of a framed photo (frameIndex >= 1) at its displayed size, or null.
QImage BuildPhotoFrame(const Photo& photo, QSize displaySize, const QString& dataFolder);

// The picture of a clip-art item at its natural size (Format_ARGB32): entry sourceIndex
// of "cliparts", or picture buffer sourceIndex when fromMemory is set. Null when it
// cannot be had.
QImage LoadClipArtPicture(const ClipArt& clipArt, const CollageModel& model, const QString& dataFolder);

// The picture of a brush stamp: entry sourceIndex of "brushs", every pixel's colour
// replaced by tintColor, alpha kept (Format_ARGB32). Null when unreadable.
QImage LoadBrushPicture(const BrushStamp& stamp, const QString& dataFolder);
QImage TintPicture(const QImage& picture, std::uint32_t colorRef);

// A picture ready to be drawn through an item's colour matrix and gamma: a matrix that
// only scales alpha (with gamma 1) is drawn through the painter's opacity; any other is
// applied to the pixels. The image is premultiplied when it has alpha.
struct DrawnPicture {
    QImage image;       // null: nothing to draw
    qreal opacity = 1.0;
};
DrawnPicture PrepareDrawn(const QImage& picture, const ColourMatrix& matrix, float gamma);
// The key under which a drawn picture may be kept: the source picture and the matrix.
QByteArray DrawnKey(const QImage& picture, const ColourMatrix& matrix, float gamma);

// The keys of the cached pictures of an item: every record field the picture depends on.
QByteArray PhotoDisplayKey(const Photo& photo, QSize displaySize, const QString& dataFolder);
QByteArray PhotoFrameKey(const Photo& photo, QSize displaySize, const QString& dataFolder);
QByteArray ClipArtPictureKey(const ClipArt& clipArt, const QString& dataFolder);
QByteArray BrushPictureKey(const BrushStamp& stamp, const QString& dataFolder);

// The colour matrix and gamma an item is drawn through (Photo, ClipArt, BrushStamp).
ColourMatrix MatrixOf(float opacity, const Tuning& tuning);
float GammaOf(const Tuning& tuning);

} // namespace render
