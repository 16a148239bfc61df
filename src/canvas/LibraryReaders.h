#pragma once

// The library reads the collage model's decoration operations need, bound to a data
// folder: the opening of a frame entry ("photoframes", clamped to 0..1; an entry whose
// opening is NaN or empty gives nothing) and the stored size of a shape entry ("shape").
// The canvas window installs them with SetFrameOpeningReader and SetShapeSizeReader.

#include "canvas/CollageModel.h"

#include <QString>

CollageModel::FrameOpeningReader LibraryFrameOpeningReader(const QString& dataFolder);
CollageModel::EntrySizeReader LibraryShapeSizeReader(const QString& dataFolder);
