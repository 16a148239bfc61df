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

#include <memory>

enum class JpegDecode {
    Decoded,    // the picture is the result
    NotHandled, // not a JPEG this reader takes (another format, CMYK, markers it cannot
                // place): the caller reads the file its own way
    Refused,    // beyond the picture budget: nothing was allocated, nothing else may try
    Failed,     // a JPEG whose data the decoder gave up on
};

// The rows decoded at a time (placed from a band for a turned photo, counted as ready
// for an upright one).
inline constexpr int kJpegBandRows = 16;
// The rows a reader that waits for rows lets the decoder run ahead before it wakes.
inline constexpr int kJpegWaitRows = 256;

// Decodes the file at path into `picture` (Format_RGB888; rows as the platform pads them).
// `picture` is null unless the result is Decoded.
JpegDecode DecodeJpegUpright(const QString& path, QImage& picture);

// The same decode in two steps, so that an encoder on another thread can take the rows
// while they are decoded: Open reads the header, costs the picture, allocates it and gives
// it its metadata (colour space, texts, density: final from then on); DecodeRows fills
// the rows. RowsReady() counts the rows from the top that hold their final pixels; it
// grows while an upright or mirrored photo of a width that is a multiple of 4 in sRGB is
// decoded, and at once to the height at the end for the others (turned photos, converted
// profiles, stretched rows). WaitRows blocks until a count of rows is ready or the decode
// ended (a waiting reader wakes when kJpegWaitRows more rows, or the rest, are ready);
// the rows then ready never change again.
class JpegRowDecoder {
public:
    JpegRowDecoder();
    ~JpegRowDecoder();
    JpegRowDecoder(const JpegRowDecoder&) = delete;
    JpegRowDecoder& operator=(const JpegRowDecoder&) = delete;

    // Decoded when the rows can be decoded; the other results as DecodeJpegUpright's.
    JpegDecode Open(const QString& path);
    // The picture, valid after a successful Open. Its rows are written by DecodeRows
    // alone; read only rows that are ready.
    const QImage& Picture() const { return picture_; }
    // Decodes every row; once, after a successful Open, on any thread. False when the
    // data could not be decoded (RowsReady() then stays below the height).
    bool DecodeRows();
    int RowsReady() const;
    // True when `count` rows are ready; false when the decode ended without them.
    bool WaitRows(int count) const;
    // Hands the picture over (after DecodeRows) and closes the file.
    QImage TakePicture();

private:
    struct State;
    std::unique_ptr<State> state_;
    QImage picture_;
};
