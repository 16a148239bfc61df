#pragma once

// The library files of the data folder: one file per category holding all its entries
// back to back behind an int32 count. Two layouts exist:
//
//   thumbnail file   int32 count, then per entry: int32 width, int32 height, and a pixel
//                    block of width x height x 4 bytes (blue, green, red, alpha per pixel,
//                    rows top to bottom, no padding)
//   image file       int32 count, then per entry: int32 width, int32 height, int32
//                    dataLength, in "photoframes" only the 16-byte opening (four float32:
//                    left, top, right, bottom as fractions of the frame picture), then
//                    dataLength bytes of an encoded picture file
//
// Entry n of a category is the n-th entry of its thumbnail file and, where there is one,
// of its image file. Entries are only appended, so an index stays valid.
//
// The readers never trust a file: a negative count, size or length, a pixel block or
// picture that would run past the end of the file or exceed 1 GB, or a short read end
// the read with nothing. Nothing is allocated from a size before it has been checked
// against the file.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace library {

// The 32-bit category code of packs and library files.
enum class LibraryCategory : std::int32_t {
    PhotoFrames = 0,
    PhotoMasks = 1,
    ClipArt = 2,
    Decorations = 3,
    Brushes = 4,
    Shapes = 5,
};

// File names in the data folder (appended to DataFolder() directly).
inline constexpr char kResInfoFile[] = "Res_Info";
inline constexpr char kPhotoFramesFile[] = "photoframes";
inline constexpr char kPhotoFramesThumbFile[] = "photoframes_t";
inline constexpr char kPhotoMasksFile[] = "photomasks";
inline constexpr char kPhotoMasksThumbFile[] = "photomasks_t";
inline constexpr char kClipArtsFile[] = "cliparts";
inline constexpr char kDecorateFile[] = "decorate";
inline constexpr char kDecorateThumbFile[] = "decorate_t";
inline constexpr char kBrushesFile[] = "brushs";
inline constexpr char kShapeFile[] = "shape";
inline constexpr char kShapeThumbFile[] = "shape_t";

enum class LibraryLayout {
    Thumbnail,        // width, height, pixel block
    Image,            // width, height, dataLength, encoded picture
    ImageWithOpening, // width, height, dataLength, opening, encoded picture ("photoframes")
};

// The files of one category: its thumbnail file, its image file (nullptr for clip-art
// and brushes, whose thumbnail pixels are the item itself) and the image file's layout
// (meaningful only when there is an image file). Nothing for an unknown code.
struct CategoryFiles {
    const char* thumbnailFile;
    const char* imageFile;
    LibraryLayout imageLayout;
};
std::optional<CategoryFiles> FilesOfCategory(std::int32_t categoryCode);

// The layout of a library file by its name (the name without folder, as listed above);
// nothing for any other name.
std::optional<LibraryLayout> LayoutOfLibraryFile(const QString& fileName);

// Byte layout of the files.
inline constexpr std::int64_t kCountSize = 4;
inline constexpr std::int64_t kThumbnailHeaderSize = 8;   // width, height
inline constexpr std::int64_t kImageHeaderSize = 12;      // width, height, dataLength
inline constexpr std::int64_t kOpeningSize = 16;          // left, top, right, bottom
inline constexpr std::int64_t kMaxBlockBytes = 1LL << 30; // largest pixel block or picture

// The photo opening of a frame, as fractions of the frame picture's width (left, right)
// and height (top, bottom). A usable opening has four finite values and is not empty once
// each value is clamped to 0..1; it is used clamped. Any other opening refuses its own
// entry only (the frame's base size divides by the opening's width and height); entries
// are always walked by their stored sizes, so the entries after it stay readable.
struct FrameOpening {
    float left = 0.0f;
    float top = 0.0f;
    float right = 1.0f;
    float bottom = 1.0f;
};
bool IsUsableOpening(const FrameOpening& opening);
// Each value clamped to 0..1 (NaN stays NaN).
FrameOpening ClampedOpening(const FrameOpening& opening);

// One entry's stored fields, without its pixels or picture bytes.
struct EntryHeader {
    std::int64_t offset = 0;     // of the entry's first byte in the file
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t dataLength = 0; // image files; the pixel block size is implied in thumbnail files
    std::optional<FrameOpening> opening; // image files with openings only; as stored
    std::int64_t size = 0;       // bytes of the whole entry
};

struct LibraryScan {
    std::int32_t count = 0;
    std::vector<EntryHeader> entries; // all count entries
    std::int64_t fileSize = 0;
    std::int64_t trailingBytes = 0;   // bytes after the last entry (not part of any entry)
};

// Checks a whole file and lists its entries; nothing when any entry is damaged or the
// file ends before count entries. error (when given) then names the entry and the fault.
std::optional<LibraryScan> ScanLibraryFile(const QString& path, LibraryLayout layout,
                                           QString* error = nullptr);

// The entries of a file that are whole, from the first on, up to its count or the first
// damaged entry, whichever comes first; count is the stored count (0 when the file is
// shorter than it). An empty scan when the file cannot be opened. The installer keeps
// exactly these entries of a library file it appends to.
LibraryScan ScanCompleteEntries(const QString& path, LibraryLayout layout);

// "Read thumbnail entry n": the pixel block of entry n of a thumbnail file as a
// Format_ARGB32 picture of the stored size. A null QImage when the file cannot be
// read, n is out of range, an entry up to n is damaged or entry n is empty (0 wide or
// high).
QImage ReadThumbnailEntry(const QString& path, int n);

// The stored fields of entry n of an image file, without decoding its picture.
std::optional<EntryHeader> ReadImageEntryHeader(const QString& path, int n, LibraryLayout layout);

// "Read image entry n": the encoded picture of entry n decoded as Format_ARGB32 at the
// picture's own size (the stored width and height are not used for decoding), with the
// entry's stored fields. Nothing when the entry cannot be read, its picture not decoded,
// or (in "photoframes") its opening is not usable.
struct ImageEntry {
    EntryHeader header;
    QImage picture;
};
std::optional<ImageEntry> ReadImageEntry(const QString& path, int n, LibraryLayout layout);

// The opening of entry n of "photoframes", clamped to 0..1; nothing when the entry is
// unreadable or its opening not usable.
std::optional<FrameOpening> ReadFrameOpening(const QString& path, int n);

// The stored width and height of entry n of "shape", without decoding; (0, 0) when the
// file or entry cannot be read.
QSize ReadShapeSize(const QString& path, int n);

// Decodes a complete picture file held in memory as Format_ARGB32; null when it cannot
// be decoded or its pixels would exceed 1 GB.
QImage DecodeLibraryPicture(const QByteArray& encoded);

// --- Writers. Each writes the whole file atomically (a temporary file beside the
// target, then a rename): the target is either the old file or the complete new one.

// One entry of an image file as stored: the width and height of the source picture, its
// encoded bytes and, for "photoframes", the opening.
struct ImageEntryData {
    std::int32_t width = 0;
    std::int32_t height = 0;
    QByteArray encoded;
    FrameOpening opening;
};

// Thumbnail entries are pictures (any format; stored as non-premultiplied ARGB). A null
// picture, or one over 1 GB, is refused.
bool WriteThumbnailFile(const QString& path, const std::vector<QImage>& entries,
                        QString* error = nullptr);
bool WriteImageFile(const QString& path, LibraryLayout layout,
                    const std::vector<ImageEntryData>& entries, QString* error = nullptr);

// The same, keeping the entries of an existing file in front of the new ones (their
// indexes stay valid) and rewriting the count. A missing file counts as empty; a damaged
// one is left as it is and the call fails.
bool AppendThumbnailEntries(const QString& path, const std::vector<QImage>& entries,
                            QString* error = nullptr);
bool AppendImageEntries(const QString& path, LibraryLayout layout,
                        const std::vector<ImageEntryData>& entries, QString* error = nullptr);

} // namespace library
