#pragma once

// Decoding a JPEG file straight into one 24-bit picture: the converter's reader. The
// library's scanlines go into the rows of the result as they are decoded; no other
// picture of the file's size is made at any point.
//
// The result is what the platform reader and LoadBgrPicture (PictureFiles.h) give for the
// same file, pixel for pixel, as red-green-blue:
//   - upright: the camera's orientation (all eight values, read from the markers as the
//     picture library reads them, so the size is the one CxImage::Ping reports) applied
//     while the rows are placed, from a band of at most kJpegBandRows stored rows;
//   - in sRGB: an embedded colour profile other than sRGB is converted in bands of rows;
//     the picture keeps the colour space (sRGB after a conversion);
//   - comments as texts and the density as dots per metre, as the platform reader sets
//     them (the encoders write them back);
//   - a width that is not a multiple of 4 is decoded to the multiple of 4 below it and
//     stretched back to the full width, one row at a time, by the same integer bilinear
//     scaler (the picture then carries no colour space, texts or density).
// The decode is costed from the header against the picture budget (base/PictureBudget.h)
// at 3 bytes a pixel plus the decoder's working buffers before anything is allocated.

#include <QImage>
#include <QString>

enum class JpegDecode {
    Decoded,    // the picture is the result
    NotHandled, // not a JPEG this reader takes (another format, CMYK, markers it cannot
                // place): the caller reads the file its own way
    Refused,    // beyond the picture budget: nothing was allocated, nothing else may try
    Failed,     // a JPEG whose data the decoder gave up on
};

// The rows decoded at a time for a turned photo.
inline constexpr int kJpegBandRows = 16;

// Decodes the file at path into `picture` (Format_RGB888; rows as the platform pads them).
// `picture` is null unless the result is Decoded.
JpegDecode DecodeJpegUpright(const QString& path, QImage& picture);
