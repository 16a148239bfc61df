#pragma once

// The picture budget: the most memory one picture may take while it is decoded, and the
// longest one decode may run. Every decoder of the program (the platform's readers, the
// picture library, the metafile renderer, the library files, the export bitmap) asks
// here before it takes pixel memory, from the sizes in the file's header alone, so that
// a header that lies is refused before anything is allocated.
//
// What a decode costs:
//   - its output: the decoded width x height at the decoder's bytes per pixel, and the
//     copies the program makes of it at that size;
//   - the decoder's own working buffers at the stored size: a progressive or multi-scan
//     JPEG keeps every DCT coefficient of the whole picture (2 bytes each) even when it
//     is decoded at a reduced size;
//   - the stored picture itself: every decoder walks each stored pixel, even for a
//     reduced-size decode, so the stored pixels at kStoredBytesPerPixel must fit too.
//     This also bounds the time a decode takes.
// A picture whose cost exceeds kPictureBudget is refused by the path that reads it:
// skipped by the converter, drawn as nothing on the canvas, a message where the window
// shows one.
//
// Pure arithmetic over bytes; no decoder is called from here.

#include <QSize>

#include <cstddef>
#include <cstdint>

namespace budget {

// The budget of one picture, in bytes.
inline constexpr std::int64_t kPictureBudget = std::int64_t{512} << 20;
// The longest a single decode may run before it is stopped and treated as unreadable.
inline constexpr int kDecodeSeconds = 5;

// Bytes per pixel of each kind of decode, copies included.
// The platform reader's 32-bit picture.
inline constexpr std::int64_t kPlatformBytesPerPixel = 4;
// The picture library: its 16-bit RGBA pixel cache (8) with an index channel (2), and
// the program's 24-bit copy with alpha (4) taken while the cache is still held.
inline constexpr std::int64_t kLibraryBytesPerPixel = 14;
// The converter's JPEG reader: the one 24-bit picture it decodes into.
inline constexpr std::int64_t kConvertBytesPerPixel = 3;
// A metafile: drawn into a 32-bit picture (4) and copied out of it (4).
inline constexpr std::int64_t kMetafileBytesPerPixel = 8;
// The stored picture walked by any decoder.
inline constexpr std::int64_t kStoredBytesPerPixel = 4;

// The largest stored picture any decoder is given: 134,217,728 pixels (a 100 MP photo
// fits; 12000 x 12000 does not).
inline constexpr std::int64_t kMaxStoredPixels = kPictureBudget / kStoredBytesPerPixel;

// width x height, saturating; 0 for a side that is not positive.
std::int64_t Area(std::int64_t width, std::int64_t height);

// True when cost fits the budget (a negative cost never does).
bool Fits(std::int64_t cost);

// The cost of decoding a stored picture of `stored` pixels to `decoded` pixels at
// bytesPerPixel, with `working` bytes of the decoder's own buffers; -1 (over any budget)
// when a side is not positive or the stored picture is larger than kMaxStoredPixels.
std::int64_t DecodeCost(QSize stored, QSize decoded, std::int64_t bytesPerPixel, std::int64_t working = 0);

// True when DecodeCost(...) fits the budget.
bool DecodeFits(QSize stored, QSize decoded, std::int64_t bytesPerPixel, std::int64_t working = 0);

// What a JPEG's markers say about its decode, read up to its first scan.
struct JpegLayout {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;  // a progressive frame (SOF2, SOF6, SOF10, SOF14)
    bool multiScan = false;    // progressive, or a first scan that holds only some components
    std::int64_t coefficientBytes = 0; // the whole picture's coefficients (2 bytes each)
    // The decoder's working buffers at the stored size: coefficientBytes for a
    // multi-scan file (kept whatever size it is decoded at), else 0.
    std::int64_t WorkingBytes() const { return multiScan ? coefficientBytes : 0; }
};

// Reads the markers from the start of a JPEG file up to its first scan. False when the
// bytes are not a JPEG or end before the frame header; a file that ends before its first
// scan counts as single-scan.
bool ReadJpegLayout(const std::uint8_t* data, std::size_t size, JpegLayout& layout);

// The bytes of a file's start that ReadJpegLayout is given: enough for the camera data,
// colour profiles and tables in front of the first scan.
inline constexpr std::size_t kJpegHeadBytes = std::size_t{1} << 20;

} // namespace budget
