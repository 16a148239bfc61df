#pragma once

// The photo library's record and its file "VelMedia" in the data folder.
//
// A PhotoRecord is 1104 bytes, stored exactly as laid out below (little-endian, every
// offset a constant with a static_assert). The file is
//
//   int32 count, then count records of 1104 bytes, then per record in the same order an
//   int32 length and that many bytes of an 80 x 80 JPEG thumbnail.
//
// The reader never trusts a file: a negative count, a count whose records and lengths
// could not fit the file, a negative length, a length running past the end or a short
// read end the read with nothing, and nothing is allocated from a stored number before
// it has been checked against the file size. Bytes after the last thumbnail are not
// part of the library (they are reported and ignored).
//
// The writer writes the records not marked removed, then their thumbnails, then goes
// back and writes the count, all through a temporary file that replaces the old file
// only once complete: a failed or interrupted save leaves the previous library intact.
//
// Paths are stored as the file system's bytes (UTF-8), NUL-terminated in 260 bytes; a
// path that does not fit, or whose folder, name or extension part does not fit its own
// field, is refused, never cut. Text fields read from a file are kept byte for byte
// (a field without a terminator ends at the end of the field).

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace library {

inline constexpr char kPhotoLibraryFile[] = "VelMedia";
// DataFolder() + "VelMedia".
QString PhotoLibraryFilePath();
// A library file that cannot be read whole is renamed to this (beside it) before the
// library starts empty, so that the next save does not destroy it.
inline constexpr char kDamagedSuffix[] = ".bad";

inline constexpr int kPhotoThumbnailSide = 80;
inline constexpr int kPhotoThumbnailQuality = 75;
// Both sides of an imported picture must be larger than this.
inline constexpr int kMinPhotoSide = 5;

// A fixed byte field holding a NUL-terminated string.
template <std::size_t N>
struct PhotoTextField {
    std::array<char, N> bytes{};

    // Bytes up to the terminator, or the whole field when it has none.
    QByteArray Bytes() const
    {
        std::size_t n = 0;
        while (n < N && bytes[n] != '\0')
            ++n;
        return QByteArray(bytes.data(), static_cast<qsizetype>(n));
    }
    // Stores the bytes when they fit with their terminator (the rest zero); false otherwise.
    bool Set(const QByteArray& value)
    {
        if (value.size() >= static_cast<qsizetype>(N) || value.contains('\0'))
            return false;
        bytes.fill('\0');
        std::copy(value.begin(), value.end(), bytes.begin());
        return true;
    }
    bool operator==(const PhotoTextField&) const = default;
};

struct PhotoRecord {
    static constexpr int kSize = 1104;
    static constexpr int kPathSize = 260;
    static constexpr int kDriveSize = 3;
    static constexpr int kPartSize = 256; // folder, name, extension
    static constexpr int kReservedSize = 41;
    struct Off {
        static constexpr int path = 0;
        static constexpr int drive = 260;
        static constexpr int folder = 263;
        static constexpr int name = 519;
        static constexpr int extension = 775;
        static constexpr int reserved = 1031; // 41 zero bytes
        static constexpr int index = 1072;
        static constexpr int width = 1076;
        static constexpr int height = 1080;
        static constexpr int drawOption = 1084;
        static constexpr int selected = 1088;
        static constexpr int reserved2 = 1092;
        static constexpr int removed = 1096;
        static constexpr int reserved3 = 1100;
    };
    static_assert(Off::drive == Off::path + kPathSize);
    static_assert(Off::folder == Off::drive + kDriveSize);
    static_assert(Off::name == Off::folder + kPartSize);
    static_assert(Off::extension == Off::name + kPartSize);
    static_assert(Off::reserved == Off::extension + kPartSize);
    static_assert(Off::index == Off::reserved + kReservedSize);
    static_assert(Off::width == Off::index + 4);
    static_assert(Off::height == Off::width + 4);
    static_assert(Off::drawOption == Off::height + 4);
    static_assert(Off::selected == Off::drawOption + 4);
    static_assert(Off::reserved2 == Off::selected + 4);
    static_assert(Off::removed == Off::reserved2 + 4);
    static_assert(Off::reserved3 == Off::removed + 4);
    static_assert(kSize == Off::reserved3 + 4);

    PhotoTextField<kPathSize> path;       // full path
    PhotoTextField<kDriveSize> drive;     // always empty on this system (no drive letters)
    PhotoTextField<kPartSize> folder;     // up to and including the last '/'
    PhotoTextField<kPartSize> name;       // file name without its extension
    PhotoTextField<kPartSize> extension;  // from the last dot of the file name, as spelled
    std::array<std::uint8_t, kReservedSize> reserved{};
    std::int32_t index = 0;      // position in the library when added or loaded
    std::int32_t width = 0;      // picture size in pixels, upright
    std::int32_t height = 0;
    std::int32_t drawOption = 0; // handed to the thumbnail painter; 0 for imported photos
    std::int32_t selected = 0;   // 0 or 1
    std::int32_t reserved2 = 0;
    std::int32_t removed = 0;    // 0 or 1
    std::int32_t reserved3 = 0;

    static PhotoRecord Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;

    // The path as a file name of this system.
    QString Path() const;

    bool operator==(const PhotoRecord&) const = default;
};

enum class PathRefusal {
    None,
    TooLong, // the path (or one of its parts) does not fit its field
    Empty,
};

// A zero-filled record holding the path and its parts; nothing (with the reason) when
// the path does not fit. The path is stored as given, in the file system's bytes (the
// import dialog and the file manager hand out absolute paths).
std::optional<PhotoRecord> RecordForPath(const QString& path, PathRefusal* refusal = nullptr);

struct PhotoEntry {
    PhotoRecord record;
    std::vector<std::uint8_t> thumbnail; // JPEG bytes
};

struct PhotoLibraryContents {
    std::vector<PhotoEntry> entries;
    std::int64_t fileSize = 0;
    std::int64_t trailingBytes = 0; // after the last thumbnail, ignored
};

// Reads a whole library file. Nothing when the file cannot be opened or read whole;
// error (when given) then says why. Records come as stored (indexes and selected flags
// untouched: PhotoLibrary gives them their positions).
std::optional<PhotoLibraryContents> ReadPhotoLibraryFile(const QString& path, QString* error = nullptr);

// Writes the entries not marked removed, as described above. False (with the reason)
// when the file cannot be written; the previous file is then left as it was.
bool WritePhotoLibraryFile(const QString& path, const std::vector<PhotoEntry>& entries, QString* error = nullptr);

} // namespace library
