#include "editing/StoredPixelData.h"

#include "editing/CxImage.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

namespace storedpixels {

namespace {

using U64 = std::uint64_t;
constexpr U64 kMax = std::numeric_limits<U64>::max();

// Saturating arithmetic: a header may claim anything.
U64 Mul(U64 a, U64 b)
{
    if (a != 0 && b > kMax / a)
        return kMax;
    return a * b;
}

U64 Add(U64 a, U64 b)
{
    return b > kMax - a ? kMax : a + b;
}

U64 Ceil(U64 value, U64 unit)
{
    return value / unit + (value % unit != 0 ? 1 : 0);
}

std::uint32_t U16Le(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}

std::uint32_t U32Le(const std::uint8_t* p)
{
    return U16Le(p) | U16Le(p + 2) << 16;
}

std::uint32_t U32Be(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

// --- WBMP: type 0, a fixed-header byte (its top bit: extension headers follow), then
// width and height as multi-byte integers (7 bits a byte, top bit: more follow); one
// bit a pixel, rows padded to a byte.

bool ReadMultiByte(const std::uint8_t* data, std::size_t size, std::size_t& at, U64& value)
{
    value = 0;
    for (int count = 0; at < size && count < 10; ++count) {
        const std::uint8_t byte = data[at++];
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}

U64 WbmpLeast(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 0;
    U64 type = 0;
    if (!ReadMultiByte(data, size, at, type) || type != 0 || at >= size)
        return 0;
    const std::uint8_t fixed = data[at++];
    if (fixed & 0x80) {
        while (at < size && (data[at] & 0x80))
            ++at;
        ++at;
    }
    U64 width = 0;
    U64 height = 0;
    if (at >= size || !ReadMultiByte(data, size, at, width) || !ReadMultiByte(data, size, at, height))
        return 0;
    return Add(at, Mul(Ceil(width, 8), height));
}

// --- Bitmaps: rows of width x bits, padded to four bytes in the file; counted packed
// here (the program's own headerless bitmaps may come unpadded).

U64 BitmapPixelBytes(std::int64_t width, std::int64_t height, std::uint32_t bits)
{
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        return 0;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32 && bits != 64)
        return 0;
    const U64 rows = U64(height < 0 ? -height : height);
    return Mul(Ceil(Mul(U64(width), bits), 8), rows);
}

// The info header at `info` (its size first): the pixel bytes of an uncompressed bitmap,
// 0 for a compressed or unknown one.
U64 InfoHeaderPixelBytes(const std::uint8_t* data, std::size_t size, std::size_t info)
{
    if (size < info + 12)
        return 0;
    const std::uint32_t headerSize = U32Le(data + info);
    if (headerSize == 12) // the oldest header: 16-bit sizes, never compressed
        return BitmapPixelBytes(U16Le(data + info + 4), U16Le(data + info + 6), U16Le(data + info + 10));
    if (headerSize < 40)
        return 0;
    if (size < info + 20)
        return 0;
    const std::uint32_t compression = U32Le(data + info + 16);
    // 0: plain; 3 and 6: plain with channel masks (in the 64-byte header 3 is a
    // compression of its own).
    const bool plain = compression == 0 || ((compression == 3 || compression == 6) && headerSize != 64);
    if (!plain)
        return 0;
    return BitmapPixelBytes(std::int32_t(U32Le(data + info + 4)), std::int32_t(U32Le(data + info + 8)),
                            U16Le(data + info + 14));
}

U64 BmpLeast(const std::uint8_t* data, std::size_t size)
{
    const U64 pixels = InfoHeaderPixelBytes(data, size, 14);
    return pixels == 0 ? 0 : Add(14 + U64(U32Le(data + 14)), pixels);
}

bool LooksLikeHeaderlessBitmap(const std::uint8_t* data, std::size_t size)
{
    if (size < 40)
        return false;
    const std::uint32_t headerSize = U32Le(data);
    return headerSize == 40 || headerSize == 108 || headerSize == 124;
}

U64 HeaderlessBitmapLeast(const std::uint8_t* data, std::size_t size)
{
    const U64 pixels = InfoHeaderPixelBytes(data, size, 0);
    return pixels == 0 ? 0 : Add(U32Le(data), pixels);
}

// --- PNM and PGX: numbers in text. The library's reader skips whatever is not a digit
// between them and a comment from '#' to the end of its line; so does this one.

bool ReadNumber(const std::uint8_t* data, std::size_t size, std::size_t& at, U64& value)
{
    while (at < size && (data[at] < '0' || data[at] > '9')) {
        if (data[at] == '#') {
            while (at < size && data[at] != '\n' && data[at] != '\r')
                ++at;
        } else {
            ++at;
        }
    }
    if (at >= size)
        return false;
    value = 0;
    while (at < size && data[at] >= '0' && data[at] <= '9') {
        value = std::min(Add(Mul(value, 10), U64(data[at] - '0')), U64(1) << 40);
        ++at;
    }
    return true;
}

// PAM's header: KEYWORD value lines up to ENDHDR.
U64 PamLeast(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 2;
    U64 width = 0;
    U64 height = 0;
    U64 depth = 0;
    U64 maxval = 0;
    while (at < size) {
        while (at < size && (data[at] == ' ' || data[at] == '\t' || data[at] == '\n' || data[at] == '\r'))
            ++at;
        const std::size_t start = at;
        while (at < size && data[at] > ' ')
            ++at;
        const std::string_view word(reinterpret_cast<const char*>(data + start), at - start);
        if (word == "ENDHDR") {
            if (width == 0 || height == 0 || depth == 0)
                return 0;
            return Add(at, Mul(Mul(Mul(width, height), depth), maxval > 255 ? 2 : 1));
        }
        U64* field = nullptr;
        if (word == "WIDTH")
            field = &width;
        else if (word == "HEIGHT")
            field = &height;
        else if (word == "DEPTH")
            field = &depth;
        else if (word == "MAXVAL")
            field = &maxval;
        if (field) {
            if (!ReadNumber(data, size, at, *field))
                return 0;
        } else {
            while (at < size && data[at] != '\n' && data[at] != '\r') // TUPLTYPE, comments
                ++at;
        }
    }
    return 0;
}

U64 PnmLeast(const std::uint8_t* data, std::size_t size)
{
    const char kind = char(data[1]);
    if (kind == '7')
        return PamLeast(data, size);
    std::size_t at = 2;
    U64 width = 0;
    U64 height = 0;
    if (!ReadNumber(data, size, at, width) || !ReadNumber(data, size, at, height))
        return 0;
    const U64 pixels = Mul(width, height);
    U64 maxval = 1;
    if (kind == '2' || kind == '3' || kind == '5' || kind == '6') {
        if (!ReadNumber(data, size, at, maxval))
            return 0;
    }
    const U64 sampleBytes = maxval > 255 ? 2 : 1;
    U64 raster = 0;
    switch (kind) {
    case '1': raster = pixels; break;                                   // one digit a pixel
    case '2': raster = Mul(pixels, 2) - (pixels ? 1 : 0); break;        // digits and spaces
    case '3': raster = Mul(Mul(pixels, 3), 2) - (pixels ? 1 : 0); break;
    case '4': raster = Mul(Ceil(width, 8), height); break;
    case '5': raster = Mul(pixels, sampleBytes); break;
    case '6': raster = Mul(Mul(pixels, 3), sampleBytes); break;
    case 'F': raster = Mul(pixels, 12); break;                          // three 32-bit floats
    case 'f': raster = Mul(pixels, 4); break;
    default: return 0;
    }
    return Add(at, raster);
}

// PGX: "PG", byte order, sign, bit depth, width, height, a line end, then the samples.
U64 PgxLeast(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 2;
    U64 depth = 0;
    U64 width = 0;
    U64 height = 0;
    if (!ReadNumber(data, size, at, depth) || !ReadNumber(data, size, at, width)
        || !ReadNumber(data, size, at, height) || depth == 0 || depth > 32)
        return 0;
    const U64 sampleBytes = depth <= 8 ? 1 : depth <= 16 ? 2 : 4;
    return Add(at, Mul(Mul(width, height), sampleBytes));
}

// --- TGA: an 18-byte header, the identification text, the colour map, the pixels;
// types 1-3 plain, 9-11 in packets of at most 128 pixels (one byte and one pixel for
// the densest run).

U64 TgaLeast(const std::uint8_t* data, std::size_t size)
{
    if (size < 18)
        return 0;
    const std::uint32_t imageType = data[2];
    const U64 width = U16Le(data + 12);
    const U64 height = U16Le(data + 14);
    const std::uint32_t depth = data[16];
    if (width == 0 || height == 0 || depth == 0 || depth > 32)
        return 0;
    U64 head = 18 + U64(data[0]);
    if (data[1] == 1)
        head += Ceil(U64(U16Le(data + 5)) * data[7], 8);
    const U64 pixels = width * height;
    const U64 pixelBytes = Ceil(depth, 8);
    switch (imageType) {
    case 1:
    case 2:
    case 3: return head + Ceil(pixels * depth, 8);
    case 9:
    case 10:
    case 11: return head + Ceil(pixels, 128) * (1 + pixelBytes);
    default: return 0;
    }
}

// --- SUN raster: a 32-byte big-endian header, the colour map, rows padded to 16 bits
// (counted to the byte here); types 0, 1 and 3 plain, type 2 in runs of at most 256
// bytes (three bytes each).

U64 SunLeast(const std::uint8_t* data, std::size_t size)
{
    if (size < 32)
        return 0;
    const U64 width = U32Be(data + 4);
    const U64 height = U32Be(data + 8);
    const U64 depth = U32Be(data + 12);
    const std::uint32_t type = U32Be(data + 20);
    const U64 mapLength = U32Be(data + 28);
    if (width == 0 || height == 0 || depth == 0 || depth > 32)
        return 0;
    const U64 row = Ceil(Mul(width, depth), 8);
    const U64 raster = Mul(row, height);
    if (type == 0 || type == 1 || type == 3)
        return Add(Add(32, mapLength), raster);
    if (type == 2)
        return Add(Add(32, mapLength), Mul(Ceil(raster, 256), 3));
    return 0;
}

// --- TIFF: the first directory of a classic file; uncompressed strips or tiles hold
// every sample of the picture somewhere in the file.

U64 TiffLeast(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    const bool little = data[0] == 'I';
    auto u16 = [&](std::size_t at) -> std::uint32_t {
        return little ? U16Le(data + at) : std::uint32_t(data[at]) << 8 | data[at + 1];
    };
    auto u32 = [&](std::size_t at) -> std::uint32_t { return little ? U32Le(data + at) : U32Be(data + at); };
    const std::uint32_t directory = u32(4);
    if (directory < 8 || U64(directory) + 2 > size)
        return 0;
    const std::uint32_t entries = u16(directory);
    U64 width = 0;
    U64 height = 0;
    U64 bits = 1;
    U64 samples = 1;
    std::uint32_t compression = 1;
    std::uint32_t photometric = 0;
    bool subsampled = false;
    for (std::uint32_t n = 0; n < entries; ++n) {
        const std::size_t at = std::size_t(directory) + 2 + std::size_t(n) * 12;
        if (at + 12 > size)
            return 0;
        const std::uint32_t tag = u16(at);
        const std::uint32_t fieldType = u16(at + 2);
        const std::uint32_t count = u32(at + 4);
        // A single SHORT or LONG value stands in the entry itself; more of them are
        // elsewhere, at the offset the entry holds.
        std::uint32_t value = 0;
        if (fieldType == 3)
            value = u16(at + 8);
        else if (fieldType == 4)
            value = u32(at + 8);
        else
            continue;
        if (tag == 258 && fieldType == 3 && count > 2) {
            const std::uint32_t offset = u32(at + 8);
            value = U64(offset) + 2 <= size ? u16(offset) : 1;
        }
        switch (tag) {
        case 256: width = value; break;
        case 257: height = value; break;
        case 258: bits = std::max<U64>(value, 1); break;
        case 259: compression = value; break;
        case 262: photometric = value; break;
        case 277: samples = std::max<U64>(value, 1); break;
        case 530: subsampled = true; break;
        default: break;
        }
    }
    // Subsampled colour stores fewer samples than pixels.
    if (compression != 1 || width == 0 || height == 0 || (photometric == 6 && subsampled))
        return 0;
    return Mul(Mul(Mul(width, height), samples), bits) / 8;
}

// --- GIF: the first frame's pixels in LZW codes of at least two bits, each code at
// most 4096 pixels (the length of the longest string its table can hold): a frame
// needs at least one byte for every 16384 of its pixels. The readers take the frame's
// whole picture and clear it before its codes are read.

U64 GifLeast(const std::uint8_t* data, std::size_t size)
{
    const std::optional<GifFrame> frame = FirstGifFrame(data, size);
    if (!frame)
        return 0;
    return Add(frame->codesOffset, Ceil(U64(frame->width) * U64(frame->height), 16384));
}

// --- PNG: the filtered rows (a filter byte and the row's samples) in a zlib stream,
// which cannot expand its data more than 1032 times (a 258-byte match in two bits of
// the fixed code, the best deflate can do). Interlaced rows are counted as one picture.

U64 PngLeast(const std::uint8_t* data, std::size_t size)
{
    if (size < 29 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return 0;
    const U64 width = U32Be(data + 16);
    const U64 height = U32Be(data + 20);
    const U64 depth = data[24];
    U64 channels = 0;
    switch (data[25]) {
    case 0: channels = 1; break; // grey
    case 2: channels = 3; break; // colour
    case 3: channels = 1; break; // palette
    case 4: channels = 2; break; // grey and alpha
    case 6: channels = 4; break; // colour and alpha
    default: return 0;
    }
    if (depth == 0 || depth > 16 || width == 0 || height == 0)
        return 0;
    const U64 filtered = Mul(height, Add(1, Ceil(Mul(Mul(width, channels), depth), 8)));
    return Add(33, Ceil(filtered, 1032)); // signature and header chunk, then the stream
}

} // namespace

std::optional<GifFrame> FirstGifFrame(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < 13)
        return std::nullopt;
    GifFrame frame;
    frame.screenWidth = int(U16Le(data + 6));
    frame.screenHeight = int(U16Le(data + 8));
    std::size_t at = 13;
    if (data[10] & 0x80)
        at += std::size_t(3) << ((data[10] & 7) + 1); // the global colour table
    while (at < size) {
        if (data[at] == 0x21) { // an extension: label, then blocks up to an empty one
            at += 2;
            while (at < size && data[at] != 0)
                at += 1 + std::size_t(data[at]);
            ++at;
            continue;
        }
        if (data[at] != 0x2C || at + 10 > size) // not a frame
            return std::nullopt;
        frame.left = int(U16Le(data + at + 1));
        frame.top = int(U16Le(data + at + 3));
        frame.width = int(U16Le(data + at + 5));
        frame.height = int(U16Le(data + at + 7));
        const std::uint8_t flags = data[at + 9];
        at += 10;
        if (flags & 0x80)
            at += std::size_t(3) << ((flags & 7) + 1); // the local colour table
        frame.codesOffset = at + 1;                     // after the code size byte
        return frame;
    }
    return std::nullopt;
}

U64 LeastFileSize(const std::uint8_t* data, std::size_t size, std::uint32_t type)
{
    if (!data || size < 2)
        return 0;
    U64 least = 0;
    // Formats known by their first bytes, whatever the code.
    if (data[0] == 'B' && data[1] == 'M')
        least = std::max(least, BmpLeast(data, size));
    if (data[0] == 'P' && ((data[1] >= '1' && data[1] <= '7') || data[1] == 'F' || data[1] == 'f'))
        least = std::max(least, PnmLeast(data, size));
    if (data[0] == 'P' && data[1] == 'G')
        least = std::max(least, PgxLeast(data, size));
    if (size >= 4 && U32Be(data) == 0x59A66A95)
        least = std::max(least, SunLeast(data, size));
    if (size >= 4
        && ((data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0)
            || (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42)))
        least = std::max(least, TiffLeast(data, size));
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0)
        least = std::max(least, PngLeast(data, size));
    if (type == cx::kFormatGif || (size >= 4 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8'))
        least = std::max(least, GifLeast(data, size));
    // Formats without a signature, under their own code.
    if (type == cx::kFormatWbmp)
        least = std::max(least, WbmpLeast(data, size));
    if (type == cx::kFormatTga)
        least = std::max(least, TgaLeast(data, size));
    if (type == cx::kFormatBmp && LooksLikeHeaderlessBitmap(data, size))
        least = std::max(least, HeaderlessBitmapLeast(data, size));
    return least;
}

bool HoldsClaimedPixels(const std::uint8_t* data, std::size_t size, std::uint32_t type)
{
    return HoldsClaimedPixels(data, size, U64(size), type);
}

bool HoldsClaimedPixels(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize, std::uint32_t type)
{
    return fileSize >= LeastFileSize(head, headSize, type);
}

} // namespace storedpixels
