#pragma once

// The JPEG writer of thumbnails and of pictures held in memory, on libjpeg (IJG API,
// library version 62).

#include <cstdint>
#include <vector>

// Compresses width x height pixels of 3 bytes (red, green, blue), the first buffer row
// written first, with the given quality (baseline forced). Without `colour` the picture
// is written as greyscale, grey = (299 R + 587 G + 114 B) / 1000 truncated. Returns the
// bytes of the JPEG file, or an empty vector when pixels, width or height is missing
// (silently) or when compression fails; failures show one of the three messages
// "Memory error", "JpegFile :\nCan't open <name>\n" or the library's own message under
// "JPEG Fatal Error". The file passes through a temporary file "temp<n>-<width>.jpg" in
// the system temporary folder, created exclusively and always removed.
std::vector<std::uint8_t> EncodeJpeg(const std::uint8_t* pixels, int width, int height, int quality, bool colour);
