#pragma once

// Project files (".vmz"): a 280-byte header, then the item records in z-order, bottom
// item first, each preceded by its 32-bit kind. All integers little-endian; no magic
// number, version or checksum.
//
//   offset  size  field
//   0       4     canvasWidth (signed)
//   4       4     canvasHeight (signed)
//   8       260   backgroundImagePath, NUL-terminated, zero-padded; empty = none
//   268     4     backgroundColor (COLORREF 0x00BBGGRR)
//   272     4     backgroundPlacement (0 Center, 1 Tile, 2 Stretch)
//   276     4     item count N (signed)
//   280     ...   N entries: kind, then 96 (ClipArt, BrushStamp), 1140 (Text) or 400
//                 (Photo) record bytes; any other kind is followed by no record
//
// Items made from picture buffers (ClipArt with fromMemory = 1: calendars, effect
// results) name a buffer by index. Their pixels follow the last entry in an optional
// block that plain readers never reach, because they stop after N entries:
//
//   4     tag "MBUF"
//   4     buffer count B (signed)
//   B x   width (4), height (4), width x height x 4 bytes (blue, green, red, alpha,
//         top row first)
//
// The block is written only when an item names a buffer, so every other project is the
// plain format byte for byte. Saved items name their buffer by its place in the block;
// loading appends the buffers to the running program's list and points the items there.
// An item whose buffer is missing names no buffer (-1) and draws nothing.
//
// Reading never trusts the file: the count is only a limit (entries are read until the
// file ends, nothing is allocated from it), a canvas side outside 1..32768 or a float
// that is not finite makes the file invalid, text fields end at their terminator or at
// the end of the field.

#include "canvas/ItemRecords.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class CollageModel;
struct PictureBuffer;
class QIODevice;

namespace project {

constexpr int kHeaderSize = 280;
constexpr int kPathOffset = 8;
constexpr int kColorOffset = 268;
constexpr int kPlacementOffset = 272;
constexpr int kCountOffset = 276;
static_assert(kPathOffset + kPathFieldSize == kColorOffset && kCountOffset + 4 == kHeaderSize);
// "MBUF" as it stands in the file.
constexpr std::uint32_t kBufferBlockTag = 0x4655424D;
// The pixels of all buffers of one file together; a calendar is well under 1 MB and an
// effect result of the largest canvas (3200 x 3200) 41 MB.
constexpr qint64 kMaxBufferBlockBytes = qint64(512) << 20;

struct Header {
    int fieldsRead = 0; // how many of the six fields below were read whole, in file order
    std::int32_t canvasWidth = 0;
    std::int32_t canvasHeight = 0;
    QByteArray backgroundImagePath; // bytes up to the terminator (all 260 without one)
    std::uint32_t backgroundColor = 0;
    std::int32_t backgroundPlacement = 0;
    std::int32_t itemCount = 0;
};

struct Entry {
    std::int32_t kind = 0;
    std::optional<CanvasItem> record; // none for a kind that carries no record
};

enum class ReadStatus {
    Reading,   // more may follow
    Complete,  // the header and N entries were read whole
    Truncated, // the file ended early
    Invalid,   // a value the program refuses (canvas size, non-finite float)
};

// Reads a project file field by field from an open device.
class Reader {
public:
    explicit Reader(QIODevice& device);

    // True when the whole header was read and is valid; otherwise Status() says why.
    bool ReadHeader();
    const Header& FileHeader() const { return header_; }
    // The next entry; false when there is none (Status() is then Complete, Truncated or
    // Invalid). Call only after ReadHeader() returned true.
    bool NextEntry(Entry& entry);
    // After the last entry (Status() Complete): the picture-buffer block, if the file has
    // one. No block, or bytes that are not one, give no buffers and true. A block that
    // ends early or claims impossible sizes gives false with Status() Truncated or
    // Invalid; nothing is allocated before the bytes are known to be there.
    bool ReadPictureBuffers(std::vector<PictureBuffer>& buffers);

    ReadStatus Status() const { return status_; }
    QString Problem() const { return problem_; } // one line, for the user, when not Complete
    qint64 Offset() const { return offset_; }    // bytes consumed so far
    std::int32_t EntriesRead() const { return entriesRead_; }

private:
    bool ReadExactly(std::uint8_t* out, qint64 size);
    bool Fail(ReadStatus status, const QString& problem);
    bool Truncated(const QString& where);

    QIODevice& device_;
    Header header_;
    ReadStatus status_ = ReadStatus::Reading;
    QString problem_;
    qint64 offset_ = 0;
    std::int32_t entriesRead_ = 0;
};

enum class LoadStatus { Loaded, CannotOpen, Truncated, Invalid };

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    QString problem; // empty when Loaded
};

// Replaces the collage by the file's content (see LoadProject) and says exactly what
// happened.
LoadResult LoadProjectFile(CollageModel& model, const QString& path);
// The same from a device open for reading (never CannotOpen).
LoadResult LoadProjectFrom(CollageModel& model, QIODevice& device);

// The canvas operation: true when the file was read to its end or could not be opened
// at all (an empty canvas with the previous size and background), false when it ended
// early (the items read so far stay) or holds values the program refuses (the canvas
// stays empty with its previous size and background). modified is cleared only by a
// complete load. No undo step is recorded.
bool LoadProject(CollageModel& model, const QString& path);

struct SaveResult {
    bool ok = false;
    QString problem; // empty when ok
};

// Writes the collage to a temporary file beside the target and renames it over the
// target only when every byte was written. On failure the earlier file is intact and
// modified stays set.
SaveResult SaveProjectFile(CollageModel& model, const QString& path);
bool SaveProject(CollageModel& model, const QString& path);

// The bytes SaveProject writes for a collage.
QByteArray ProjectBytes(const CollageModel& model);

} // namespace project
