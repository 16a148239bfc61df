#pragma once

// The starter content drawn by the project's own code: photo frames with their openings,
// photo masks, shapes and brushes. The generator writes each picture as a PNG; the build
// packs them with montara-tool.

#include "ArtKit.h"

#include <QImage>
#include <QString>

#include <vector>

namespace art {

struct Opening {
    float left;
    float top;
    float right;
    float bottom;
};

struct Frame {
    QString name;
    QImage picture;
    Opening opening; // fractions of the picture's width and height
};

struct Named {
    QString name;
    QImage picture;
};

std::vector<Frame> StarterFrames();
std::vector<Named> StarterMasks();   // black shows the photo, white hides it
std::vector<Named> StarterShapes();  // inner colour (255, 165, 0) shows the photo
std::vector<Named> StarterBrushes(); // the alpha is the stamp; colours only for the panel

} // namespace art
