#pragma once

// How much of its picture a Windows metafile's drawing records may paint, from the records
// alone, without drawing anything. The picture library's metafile renderer fills each
// shape over its bounding box and cannot be stopped inside one, so the time a metafile
// takes to draw grows with the area its shapes cover: the caller draws a metafile whose
// coverage times its picture is too large at a lower density.
//
// Each drawing record counts as the part of the picture its bounding box covers, grown on
// every side by the widest pen the metafile creates, over the window extent (which the
// renderer maps onto the whole picture). Records whose extent is not read here (text,
// bitmaps, regions, flood fills), records drawn before a window extent is set, and every
// record after the mapping changes in a way not followed here (another mapping mode, the
// viewport, a scaled extent) count as the whole picture. The background counts once.
//
// Headless; reads at most `size` bytes and never trusts a record's length beyond them.

#include <cstddef>
#include <cstdint>

namespace metafile {

// The sum over the drawing records of the part of the picture each may paint, plus one
// for the background: at least 1.
double WindowsMetafileCoverage(const std::uint8_t* data, std::size_t size);

} // namespace metafile
