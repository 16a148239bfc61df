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
// Reading never trusts the file: the count is only a limit (entries are read until the
// file ends, nothing is allocated from it), a canvas side outside 1..32768 or a float
// that is not finite makes the file invalid, text fields end at their terminator or at
// the end of the field.

#include "canvas/ItemRecords.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

class CollageModel;
class QIODevice;

namespace project {

constexpr int kHeaderSize = 280;
constexpr int kPathOffset = 8;
constexpr int kColorOffset = 268;
constexpr int kPlacementOffset = 272;
constexpr int kCountOffset = 276;
static_assert(kPathOffset + kPathFieldSize == kColorOffset && kCountOffset + 4 == kHeaderSize);

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
