#pragma once

// Pictures made at test time, and an independent decoder (the command-line tools of the
// picture library, run as separate processes) to read back what the program writes.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace testpics {

// Four quadrants of distinct colours (top-left red, top-right green, bottom-left blue,
// bottom-right white) on a picture of width x height: any flip or turn shows.
QImage Quadrants(int width, int height);

// The colour of the quadrant that an upright picture has at (x, y).
QRgb QuadrantColour(const QImage& picture, int x, int y);

// The stored picture that a camera writes with the given EXIF orientation for an
// upright picture (the inverse of what a viewer applies).
QImage StoredForOrientation(const QImage& upright, int orientation);

// JPEG bytes (quality 95) of a picture, with an EXIF APP1 segment holding the
// orientation and a few camera tags (make, model, date) when orientation > 0.
QByteArray JpegWithExif(const QImage& picture, int orientation);

// An APP1 "Exif" segment body (without marker and length), little- or big-endian.
QByteArray ExifBlock(int orientation, bool bigEndian);

// A placeable Windows metafile of width x height units at 96 per inch: a red
// upper-left quarter, a blue lower-right quarter, the rest untouched.
QByteArray Wmf(int width, int height);
// The same metafile with `extra` more rectangles of side x side, laid in rows from the
// top-left corner (wrapping over the picture), alternately red and blue.
QByteArray WmfOfRectangles(int width, int height, int extra, int side);
// An enhanced metafile of width x height pixels: a green upper-left quarter, a blue
// lower-right quarter.
QByteArray Emf(int width, int height);

bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Runs a program; true when it exits with 0. Output in *out when given.
bool RunProgram(const QString& program, const QStringList& arguments, QByteArray* out = nullptr,
         QByteArray* err = nullptr);

// Decodes a file with the independent decoder: 8-bit RGB, top row first.
struct Decoded {
    int width = 0;
    int height = 0;
    QByteArray rgb;
    QString format; // the decoder's name of the format ("PNG", "PCX", ...)
    QRgb At(int x, int y) const;
};
bool DecodeIndependently(const QString& path, Decoded& decoded);

// Largest per-channel difference of a pixel from an expected colour.
int Distance(QRgb a, QRgb b);

} // namespace testpics
