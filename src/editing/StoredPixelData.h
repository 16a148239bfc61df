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
// Two compressed formats have a useful bound as well: a GIF frame's codes cannot
// describe more than 16384 pixels a byte, and a PNG's zlib stream cannot expand more
// than 1032 times; a few bytes claiming a large picture of either are refused too.
//
// The check is a lower bound and errs towards passing: a header this code does not
// understand, a compressed format or a format with no such bound passes (the picture
// budget and the decode's time limit still hold it). Formats that carry a signature (BMP,
// PNM, SUN raster, PGX, TIFF, GIF, PNG) are checked whenever the bytes start with it,
// whatever the format code says, because the library recognises them by content; WBMP,
// TGA and the headerless bitmap have no signature and are checked under their own code
// only (a GIF under its code too: its reader ignores a damaged signature).
//
// Pure parsing of the bytes given; no decoder is called from here.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace storedpixels {

// The bytes the pixels claimed by the header need, header included, for the format the
// bytes are read as (a format code of editing/CxImage.h); 0 when there is no such bound
// for them (unknown header, compressed format).
std::uint64_t LeastFileSize(const std::uint8_t* data, std::size_t size, std::uint32_t type);

// True unless the file is shorter than LeastFileSize: the decode may go ahead.
bool HoldsClaimedPixels(const std::uint8_t* data, std::size_t size, std::uint32_t type);
// The same for a file of fileSize bytes of which the first headSize are given (a header
// beyond them counts as not understood).
bool HoldsClaimedPixels(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize, std::uint32_t type);

// The logical screen and the first frame of a GIF, as far as the bytes given reach.
struct GifFrame {
    int screenWidth = 0;
    int screenHeight = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::uint64_t codesOffset = 0; // where the frame's first code block starts
};
// Nothing when the bytes end before the first frame or something else stands there.
// The signature is not checked (a reader chosen by the file's extension ignores it).
std::optional<GifFrame> FirstGifFrame(const std::uint8_t* data, std::size_t size);

} // namespace storedpixels
