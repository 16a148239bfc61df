#pragma once

// Reading pictures: the two decoders (the platform's, QImageReader, and the picture
// library CxImage), the rule that chooses between them, and the loaders with the pixel
// layouts they hand out. Every loader gives the picture upright (the camera's
// orientation applied) in sRGB, and every size reported is the upright size.
//
// Both decoders cost a picture from its header against the picture budget
// (base/PictureBudget.h) before they take pixel memory; a picture beyond it does not
// load (the loaders fail as for an unreadable file). Only regular files are read: a
// pipe or device fails at once.
//
// Pixel buffers are packed rows of width * 3 bytes, in one of two layouts:
//   BGR top-down   first row the top of the picture, bytes blue, green, red;
//   RGB bottom-up  first row the bottom of the picture, bytes red, green, blue.

#include "editing/CxImage.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QImageReader;
class QPainter;
class QRect;

// The format code of a lower-case extension without its dot ("jpg" -> 3); 0 for any
// extension outside the table.
std::uint32_t FormatFromExtension(const QString& extension);

// The text after the last dot of the file name of a path, or a null string when the
// name has no dot.
QString PictureExtension(const QString& path);

// True for the extensions ".WMF" and ".EMF" (any case): metafiles always go to the
// picture library.
bool IsMetafilePath(const QString& path);

enum class PictureDecoder : int {
    Platform = 0, // QImageReader
    Library = 1,  // CxImage
};

// Owns at most one decoded library image and the JPEG codec object that receives the
// camera data of JPEG files.
class PictureLoader {
public:
    PictureLoader();
    ~PictureLoader();
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    // Decodes a file with the library, by the format code of its extension. Fails at
    // once when the file name has no dot. For JPEG files (code 3) the camera data is read
    // as well. With minWidth/minHeight the library may decode a JPEG at a reduced size
    // no smaller than that (Image()->GetOriginalWidth/Height keep the stored size).
    bool Load(const QString& path, int minWidth = 0, int minHeight = 0);
    // Takes width x height pixels, blue-green-red, bottom row first (rows of width * 3
    // bytes), and has the library decode them as a bitmap in memory (code 1).
    bool FromPixels(const std::uint8_t* pixels, int width, int height);

    CxImage* Image() const { return image.get(); }
    // Camera data of the last JPEG loaded, or null.
    const ExifInfo* CameraData() const;
    // Deletes the image (stopping a filter running on it first).
    void Reset();

private:
    std::unique_ptr<CxImage> image;
    std::unique_ptr<CxImageJPG> jpegCodec;
};

// The upright size of a picture: the platform decoder's when it reads the file (and it
// is no metafile), else the library's. False when neither can.
bool PictureSize(const QString& path, int& width, int& height);

// The picture stretched to exactly width x height (aspect not kept), RGB bottom-up.
// Platform: drawn over opaque white with smooth interpolation. Library: resampled
// (mode 1), rows copied with red and blue exchanged. A picture much larger than the
// target is decoded at a reduced size first (JPEG DCT scaling).
bool LoadRgbBottomUp(const QString& path, std::uint8_t* buffer, int width, int height);

// The same stretch into a BGR top-down buffer. Platform: the decoded width rounded down
// to a multiple of 4, scaled with ScaleBilinear. Library: resampled (mode 1), rows
// turned top-down.
bool LoadBgrTopDown(const QString& path, std::uint8_t* buffer, int width, int height);

// The same picture as LoadBgrTopDown gives, as a Format_BGR888 picture of width x height
// (rows padded as the platform pads them), with no buffer taken before the decode: an
// opaque picture the platform decoded at that size is converted in its own memory. Null
// when the picture cannot be read or does not fit the picture budget.
QImage LoadBgrPicture(const QString& path, int width, int height);

// A photo loaded for the crop view.
struct EditingPicture {
    std::unique_ptr<std::uint8_t[]> pixels; // BGR top-down, width * 3 bytes a row
    int width = 0;                          // a multiple of 4
    int height = 0;
    int decodedWidth = 0;                   // the size the decoder reported (see LoadForEditing)
    int decodedHeight = 0;
    PictureDecoder decoder = PictureDecoder::Platform;
    std::uint32_t formatCode = cx::kFormatUnknown; // with the library
    QImage display;                         // the pixels as a 24-bit picture for drawing
};

// Pictures of at most 1,920,000 pixels that the platform decodes come at full size, the
// width rounded down to a multiple of 4 (the decoded size recorded is the rounded width
// and the height). Others go to the library: the decoded size recorded is its size
// before any resampling; above 1,920,000 pixels the picture is resampled to fit
// 1600 x 1200 (to width 1600 when width / height > 1.3333334, else to height 1200), then
// the width is rounded down to a multiple of 4. False when nothing can be decoded or the
// picture is narrower than 4 pixels.
bool LoadForEditing(const QString& path, EditingPicture& picture);

// An 80 x 80 JPEG (quality 75) of the picture stretched, rows bottom-up as stored by the
// photo library (DrawThumbnail turns it back). Empty when the picture cannot be read.
std::vector<std::uint8_t> MakeThumbnail(const QString& path);

// The thumbnail decoded, flipped upright and turned clockwise by 90, 180 or 270 degrees
// for quarterTurns 1, 2, 3 (other values: not turned). Null when the bytes do not decode
// or would not fit the picture budget; a JPEG larger than 80 x 80 comes reduced to fit
// in that square (aspect kept).
QImage DecodeThumbnail(const std::uint8_t* bytes, std::size_t count, int quarterTurns);
// ... and drawn stretched into the rectangle.
void DrawThumbnail(const std::uint8_t* bytes, std::size_t count, int quarterTurns, QPainter& painter,
                   const QRect& rectangle);

// Which decoder reads a file, its format code and its upright size (montara-tool info).
struct PictureInfo {
    PictureDecoder decoder = PictureDecoder::Platform;
    std::uint32_t formatCode = cx::kFormatUnknown; // by extension; the library's type when it decodes
    QByteArray platformFormat;                     // the platform decoder's format name
    int width = 0;
    int height = 0;
};
bool InspectPicture(const QString& path, PictureInfo& info);

// True when the platform decoder may read the reader's file: it can, and the file is not
// a TGA that only a reader of another format would take (by its resemblance to that
// format's header).
bool PlatformCanRead(QImageReader& reader);

// The platform decoder's picture, upright and in sRGB, or null. A non-empty minimum lets
// a JPEG be decoded at a reduced size (DCT scaling) no smaller than that, upright.
QImage ReadWithPlatform(const QString& path, QSize minimum = QSize());
