#pragma once

// The converter's encoders that take a picture's rows one at a time, top to bottom, as
// another thread decodes them: each row is asked for through a gate that returns when
// the rows up to it are ready. No copy of the picture is made; the encoded bytes go to
// the file as they are made.
//
// JPEG and PNG are written exactly as the platform's writers write the same picture
// (the same library calls, parameters and markers or chunks: colour profile, density),
// so a file is the same byte for byte whichever writes it. Pictures that carry texts are
// left to the platform's writers.

#include <QImage>
#include <QString>

#include <functional>

class QIODevice;

// Returns when rows 0 .. count - 1 are ready: true, or false when they never will be.
using RowGate = std::function<bool(int count)>;

// JPEG of a Format_RGB888 picture: baseline, standard tables, 4:2:0, at the quality; the
// density as the platform writes it (dots per inch or per centimetre, whichever holds
// the picture's dots per metre more closely); the colour profile, when the picture has a
// colour space, in APP2 markers. False when the picture carries texts, is not RGB888, or
// the gate or the device fails.
bool WriteJpegRows(const QImage& picture, int quality, QIODevice& device, const RowGate& gate);

// PNG of a Format_RGB888 picture: 8-bit RGB, no interlace, the zlib level, libpng's
// adaptive row filters; the colour profile (iCCP, named by the colour space's
// description) and the density (pHYs) as the platform writes them. False as above.
bool WritePngRows(const QImage& picture, int zlibLevel, QIODevice& device, const RowGate& gate);

// The formats whose rows need nothing but their bytes reordered, each written exactly as
// the writer that wrote them before (the platform's for BMP, the picture library's for
// the others) writes the same picture. Format_RGB888 pictures; every row is asked for
// through the gate before the first byte of pixels is written where the file stores its
// rows bottom first (BMP).
//   BMP  a 54-byte header (24 bits, no compression, the picture's dots per metre), rows
//        bottom first, blue-green-red, padded to 4 bytes.
//   PNM  "P6\n<width> <height>\n255\n", rows top first, red-green-blue.
//   TGA  an 18-byte header (true colour, no compression, 24 bits, descriptor 0), rows top
//        first, blue-green-red.
//   PCX  a 128-byte header (version 5, run-length coded, 8 bits, 3 planes of width bytes
//        a row), each row as its red, green and blue planes, runs of up to 63 bytes.
bool WriteBmpRows(const QImage& picture, QIODevice& device, const RowGate& gate);
bool WritePnmRows(const QImage& picture, QIODevice& device, const RowGate& gate);
bool WriteTgaRows(const QImage& picture, QIODevice& device, const RowGate& gate);
bool WritePcxRows(const QImage& picture, QIODevice& device, const RowGate& gate);
