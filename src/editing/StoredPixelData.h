#pragma once

// The least a picture file must hold for the pixels its header claims. Formats that store
// their pixels uncompressed (WBMP, uncompressed BMP and headerless bitmaps, raw and plain
// PNM, PAM and float PNM, uncompressed TGA, uncompressed SUN raster, PGX, uncompressed
// TIFF) need the header plus every pixel byte in the file; two run-length formats (TGA
// and SUN raster) need at least what their densest runs would take. The picture library
// takes and clears its whole pixel cache from the header's size before it reads a single
// pixel, so a file of a few bytes claiming a picture just inside the picture budget would
// cost hundreds of megabytes and seconds: such a file is refused as unreadable before it
// is handed to the library.
//
// The check is a lower bound and errs towards passing: a header this code does not
// understand, a compressed format or a format with no such bound passes (the picture
// budget and the decode's time limit still hold it). Formats that carry a signature (BMP,
// PNM, SUN raster, PGX, TIFF) are checked whenever the bytes start with it, whatever the
// format code says, because the library recognises them by content; WBMP, TGA and the
// headerless bitmap have no signature and are checked under their own code only.
//
// Pure parsing of the bytes given; no decoder is called from here.

#include <cstddef>
#include <cstdint>

namespace storedpixels {

// The bytes the pixels claimed by the header need, header included, for the format the
// bytes are read as (a format code of editing/CxImage.h); 0 when there is no such bound
// for them (unknown header, compressed format).
std::uint64_t LeastFileSize(const std::uint8_t* data, std::size_t size, std::uint32_t type);

// True unless the file is shorter than LeastFileSize: the decode may go ahead.
bool HoldsClaimedPixels(const std::uint8_t* data, std::size_t size, std::uint32_t type);

} // namespace storedpixels
