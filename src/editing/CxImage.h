#pragma once

// The picture library: decoding and encoding by format code, resampling and the pixel
// filters. Callers see only this header; the codecs behind it never leak their headers
// (they define many global macros) into the rest of the program.
//
// Pixel layout of a CxImage: 24-bit, blue-green-red, rows packed with no padding
// (GetEffWidth() == width * 3) and stored bottom row first, so GetBits(0) is the bottom
// row and the rows follow it contiguously upwards. An optional alpha plane of
// width * height bytes uses the same bottom-up order.
//
// Every decode applies the orientation stored by the camera (EXIF / TIFF orientation,
// all eight values) and converts an embedded colour profile to sRGB: GetWidth() and
// GetHeight() are the upright size.
//
// Every decode is first costed from the file's header against the picture budget
// (base/PictureBudget.h) and refused when it would not fit; a decode that runs longer
// than the budget's time limit is stopped and fails.
//
// Nothing here throws; failures are reported by results (IsValid(), false, null).

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class QImage;

// Format codes by lower-case file extension (FormatFromExtension in PictureFiles.h).
namespace cx {
inline constexpr std::uint32_t kFormatUnknown = 0;
inline constexpr std::uint32_t kFormatBmp = 1;  // bmp
inline constexpr std::uint32_t kFormatGif = 2;  // gif
inline constexpr std::uint32_t kFormatJpg = 3;  // jpg, jpeg
inline constexpr std::uint32_t kFormatPng = 4;  // png
inline constexpr std::uint32_t kFormatIco = 5;  // ico
inline constexpr std::uint32_t kFormatTif = 6;  // tif, tiff
inline constexpr std::uint32_t kFormatTga = 7;  // tga
inline constexpr std::uint32_t kFormatPcx = 8;  // pcx
inline constexpr std::uint32_t kFormatWbmp = 9; // wbmp
inline constexpr std::uint32_t kFormatWmf = 10; // wmf, emf
inline constexpr std::uint32_t kFormatJp2 = 11; // jp2, j2k
inline constexpr std::uint32_t kFormatJpc = 12; // jpc, j2c
inline constexpr std::uint32_t kFormatPgx = 13; // pgx
inline constexpr std::uint32_t kFormatPnm = 14; // pnm, pgm, ppm
inline constexpr std::uint32_t kFormatRas = 15; // ras
inline constexpr std::uint32_t kFormatCount = 16;
} // namespace cx

// Starts the picture library: its security policy (the program's own policy file,
// written into the data folder and put first on the library's configuration path),
// the picture budget as its memory limits (base/PictureBudget.h), one worker thread, the metafile converter. Idempotent and
// safe to call from several threads; every program (editor, montara-tool, tests,
// benchmarks) calls it once before the first picture is decoded. Returns false when
// the library could not be started (pictures then fail to decode; nothing crashes).
bool StartImageLibrary();
// Releases the library at exit. Later calls to StartImageLibrary start it again.
void StopImageLibrary();
// True when the program's policy is in force (its memory limit is the library's).
bool ImageLibraryPolicyActive();

class CxImage {
public:
    CxImage();
    // Decodes a file with the coder that the format code names; code 0 lets the
    // library recognise the content. IsValid() tells whether it decoded.
    CxImage(const QString& path, std::uint32_t imageType);
    // Decodes bytes held in memory. With code 1 (kFormatBmp) the bytes are a bitmap in
    // memory without file header: a 40-byte bitmap-info header (width, positive height
    // for bottom-up rows, 1 plane, 24 bits, no compression) followed by the rows, either
    // packed (width * 3 bytes) or padded to 4 bytes. Other codes: an encoded file.
    CxImage(const std::uint8_t* buffer, std::size_t size, std::uint32_t imageType);
    ~CxImage();

    CxImage(const CxImage& other);
    CxImage& operator=(const CxImage& other);

    // Decodes a file; the picture may be decoded at a reduced size (JPEG DCT scaling)
    // as long as the upright result is at least minWidth x minHeight. The stored size
    // is kept in GetOriginalWidth/Height. 0 x 0 decodes at full size.
    bool Load(const QString& path, std::uint32_t imageType, int minWidth = 0, int minHeight = 0);
    bool Decode(const std::uint8_t* buffer, std::size_t size, std::uint32_t imageType,
                int minWidth = 0, int minHeight = 0);
    // Reads only as much of a file as needed for its upright size (no pixels): a
    // metafile's from its header, without drawing it. contentType (when given) receives
    // the format code a decode would report.
    static bool Ping(const QString& path, std::uint32_t imageType, int& width, int& height,
                     std::uint32_t* contentType = nullptr);

    // A 24-bit image of the given size, filled with black. False when it cannot be had.
    bool Create(int width, int height);
    // From a Qt picture (any format; alpha kept when the picture has one).
    bool CreateFromImage(const QImage& image);
    // A top-down Qt picture of this image: RGB32, or ARGB32 when it has alpha.
    QImage ToImage() const;

    bool IsValid() const;
    std::uint32_t GetType() const; // format code of the decoded content
    std::uint32_t GetWidth() const;
    std::uint32_t GetHeight() const;
    // Size stored in the file before any reduced-size decode (upright). Equals
    // GetWidth/GetHeight for a full-size decode.
    std::uint32_t GetOriginalWidth() const;
    std::uint32_t GetOriginalHeight() const;
    std::uint32_t GetEffWidth() const; // bytes from one row to the next (width * 3)
    // Row `row` (0 = bottom row), 3 bytes a pixel in blue, green, red. No argument:
    // the bottom row, followed by the others upwards. Null when invalid or out of range.
    std::uint8_t* GetBits(std::uint32_t row = 0);
    const std::uint8_t* GetBits(std::uint32_t row = 0) const;

    bool AlphaIsValid() const;
    // Alpha 0..255 at column x, row y counted from the bottom like GetBits; 255 for
    // pictures without transparency or outside the picture.
    std::uint8_t AlphaGet(long x, long y) const;
    void AlphaDelete();

    // Replaces the image by one of newWidth x newHeight (or writes it into `target`,
    // leaving this one as it is). Mode 1: fast (area average when shrinking, bilinear
    // when enlarging); modes 0 and 2: the library's slower high-quality filters.
    bool Resample(long newWidth, long newHeight, int mode = 1, CxImage* target = nullptr);

    // Writes the image in the format of the code, replacing the file atomically.
    bool Save(const QString& path, std::uint32_t imageType) const;
    // The encoded bytes of the image in that format; empty on failure.
    std::unique_ptr<std::uint8_t[]> Encode(std::uint32_t imageType, std::size_t& size) const;

    // Progress (0..100) of the running filter, and its stop request: SetEscape(1) makes a
    // running filter stop at its next row, leaving the picture as it was. Both may be
    // called from any thread.
    void SetProgress(long progress);
    long GetProgress() const;
    void SetEscape(long escape);
    long GetEscape() const;

    // Convolution with a size x size kernel (rows listed top row first), the sum divided
    // by `divisor` (0 counts as 1), plus `offset`, clamped to 0..255. Pixels beyond the
    // border repeat the border.
    bool Filter(const std::int32_t* kernel, int size, int divisor, int offset);
    bool Erode(int size = 2);    // minimum of a size x size window: dark areas grow
    bool Dilate(int size = 2);   // maximum: light areas grow
    bool Edge(int size = 2);     // maximum minus minimum of the window: edges light on black
    bool Jitter(int radius = 2); // every pixel taken from a random place within radius
    bool Median(int size = 3);   // median of a size x size window
    bool Noise(int level = 50);  // a random amount in -level/2..level/2 added to each pixel
    bool Contour();              // dark outlines on white where the brightness changes

    // Alpha of the picture, when it has one: width * height bytes, bottom row first.
    const std::uint8_t* AlphaBits() const;

    // The pixel store (internal to src/editing: CxImagePixels.h).
    struct Pixels;

private:
    bool Adopt(std::unique_ptr<Pixels> decoded);

    std::unique_ptr<Pixels> pixels;
    std::uint32_t type = cx::kFormatUnknown;
    std::uint32_t originalWidth = 0;
    std::uint32_t originalHeight = 0;
    std::atomic<long> progress{0};
    std::atomic<long> escape{0};
};

// A file opened with stdio, handed to the codecs that read camera data.
class CxIOFile {
public:
    CxIOFile() = default;
    ~CxIOFile();
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    bool Open(const QString& path, const char* mode);
    bool Close();
    bool IsOpen() const { return file != nullptr; }
    std::size_t Read(void* buffer, std::size_t size, std::size_t count);
    bool Seek(long offset, int origin);
    long Tell() const;
    long Size() const;
    bool Eof() const;
    std::FILE* GetFile() const { return file; }

private:
    std::FILE* file = nullptr;
};

// Camera data of a JPEG file (the EXIF block of its APP1 segment).
struct ExifInfo {
    bool valid = false;
    QString cameraMake;
    QString cameraModel;
    QString dateTime;          // "YYYY:MM:DD HH:MM:SS", the original time when present
    int orientation = 1;       // 1..8; 1 when absent or out of range
    int width = 0;             // pixel dimensions recorded by the camera, 0 when absent
    int height = 0;
    double exposureTime = 0;   // seconds
    double apertureFNumber = 0;
    double focalLength = 0;    // millimetres
    int isoEquivalent = 0;
    int flash = -1;            // the flash tag, -1 when absent
};

// The JPEG codec object of the library: receives the camera data of JPEG files.
class CxImageJPG {
public:
    // Reads the file's camera data from its current position (the start of a JPEG
    // file). False when the file is not a JPEG or holds no readable EXIF block;
    // malformed blocks are rejected without reading outside them.
    bool DecodeExif(CxIOFile* file);
    // The same for the bytes of an APP1 segment body ("Exif\0\0" + TIFF block).
    bool DecodeExifBlock(const std::uint8_t* data, std::size_t size);

    ExifInfo m_exifinfo;
};

// The size and orientation of a JPEG read from its markers, without decoding.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;
    int orientation = 1;
};
bool ReadJpegHeader(const std::uint8_t* data, std::size_t size, JpegHeader& header);
