#pragma once

// Making a resource pack from picture files (montara-tool pack build, the starter packs).
//
// Per picture, one entry: the thumbnail, the picture's own width and height, and the
// picture file byte for byte. The thumbnail of photo frames, photo masks and decorations
// is the picture scaled smoothly to 120 pixels wide, 120 x height / width (integer
// division) high; clip-art, brushes and shapes use the picture at its own size (clip-art
// and brushes are drawn from these pixels). The thumbnail's alpha is the picture's alpha.
// A photo-frame entry also carries its opening, which must be usable (finite, inside
// 0..1, not empty). The pack is written atomically.

#include "library/LibraryFiles.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace library {

inline constexpr int kPackThumbnailWidth = 120; // frames, masks, decorations

struct PackSource {
    QString path;
    std::optional<FrameOpening> opening; // photo frames only
};

// The thumbnail of a decoded picture for a category, as Format_ARGB32.
QImage PackThumbnail(std::int32_t categoryCode, const QImage& picture);

// Writes the pack; false (with the reason in error) when the category is unknown, a
// picture cannot be read or decoded, a frame has no usable opening or another category
// has one, or the pack cannot be written. Nothing is written then.
bool BuildResourcePack(std::int32_t categoryCode, const QString& outPath, const std::vector<PackSource>& sources,
                       QString* error = nullptr);

// Category codes by name ("frames", "masks", "clipart", "decorations", "brushes",
// "shapes") or by number ("0" to "5"); nothing for anything else.
std::optional<std::int32_t> CategoryByName(const QString& name);
const char* CategoryName(std::int32_t categoryCode); // "frames" ... ; "unknown"

} // namespace library
