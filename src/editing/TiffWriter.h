#pragma once

// Writing a 24-bit picture as a TIFF file row by row: LZW with the horizontal predictor,
// contiguous red-green-blue samples, strips of about 1 MB (a multiple of 16 rows where a
// strip holds that many), the sRGB white point and primaries, page 0 of 1. One row of
// the picture is copied at a time (the codec alters the rows it is given); the encoded
// strips go to the file as they are made.

#include "editing/RowWriters.h"

#include <QImage>
#include <QString>

// Format_RGB888 or Format_BGR888 pictures; false for others. The file at path is replaced
// atomically; on failure an existing file is left as it was. With a gate, each row is
// asked for before it is read (RowWriters.h).
bool WriteTiff(const QImage& picture, const QString& path, const RowGate& gate = {});

// The rows per strip of a picture of that width and height.
int TiffRowsPerStrip(int width, int height);
