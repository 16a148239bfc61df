#pragma once

// Resource packs (".qrs") and their install into the library files of the data folder.
//
//   pack         int32 category, int32 count, then count entries back to back:
//                  int32 thumbWidth, int32 thumbHeight, pixel block (thumbWidth x
//                  thumbHeight x 4 bytes, as in the thumbnail files),
//                  int32 imageWidth, int32 imageHeight, int32 dataLength,
//                  in photo-frame packs (category 0) only the 16-byte opening,
//                  dataLength bytes of an encoded picture file
//   "Res_Info"   int32 count, then count records of 260 bytes: the file name (without
//                folder) of each installed pack, zero-terminated and zero-padded
//
// An install copies the first three fields of every entry byte for byte into the
// category's thumbnail file and the rest into its image file (clip-art and brushes have
// none: their encoded pictures are skipped). Shape packs go into "shape_t" and "shape",
// like masks.
//
// The install is all or nothing. The whole pack is checked before anything is written:
// a negative count or size, a pixel block or picture larger than the rest of the file or
// than 1 GB, an unknown category or a file that ends early refuses it with a message. Each
// changed file (the thumbnail file, the image file, "Res_Info") is written complete into a
// temporary file beside it and flushed to disk; the counts are written after the entries.
// Then a journal names the temporaries and the renames follow, image file first and
// "Res_Info" last (InstallJournal.h). A pack that fails leaves the old files; a program
// killed at any moment leaves the old files or a journal, and the next install (or the
// editor opening the library folder) completes that journal, or undoes it when its new
// files are gone, so the library files and "Res_Info" are all as before the install or
// all as after it. The name is recorded only when the entries are in. Installs into one
// data folder are serialised by a lock; a second one at the same time is refused.

#include "library/LibraryFiles.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace library {

inline constexpr char kPackDialogFilter[] = "(*.qrs)"; // the open dialog's only filter
inline constexpr std::int64_t kPackHeaderSize = 8;  // category, count
inline constexpr std::int64_t kPackNameSize = 260;  // one "Res_Info" record, terminator included

// The stored fields of one pack entry.
struct PackEntry {
    std::int64_t offset = 0; // of thumbWidth in the pack
    std::int32_t thumbWidth = 0;
    std::int32_t thumbHeight = 0;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::int32_t dataLength = 0;
    std::optional<FrameOpening> opening; // photo-frame packs only, as stored
    std::int64_t thumbnailSize = 0;      // 8 + thumbWidth x thumbHeight x 4
    std::int64_t imageSize = 0;          // 12 (+ 16) + dataLength
};

struct PackScan {
    std::int32_t category = 0;
    std::int32_t count = 0;
    std::vector<PackEntry> entries;
    std::int64_t fileSize = 0;
    std::int64_t trailingBytes = 0; // after the last entry; never copied
};

// Checks a whole pack and lists its entries; nothing, with the reason in error, when the
// pack cannot be opened or anything in it cannot be right.
std::optional<PackScan> ScanResourcePack(const QString& path, QString* error = nullptr);

// The thumbnail file whose panel shows a category after an install ("photoframes_t",
// "photomasks_t", "cliparts", "brushs", "shape_t"); nullptr for decorations, which no
// panel shows, and for unknown codes.
const char* PanelFileOfCategory(std::int32_t categoryCode);

enum class InstallStatus {
    Installed,        // entries appended, name recorded
    AlreadyInstalled, // the name is in "Res_Info"; nothing changed
    Refused,          // the pack (or its name) cannot be installed; nothing changed
    Failed,           // the data folder or a library file could not be read or written; nothing changed
};

struct InstallResult {
    InstallStatus status = InstallStatus::Failed;
    // The text to show the user ("Already in the library.", or why nothing was
    // installed); empty after a successful install.
    QString message;
    std::int32_t category = -1; // of the pack, when it could be read
    std::int32_t count = 0;     // entries installed
    std::int32_t firstIndex = 0; // index of the first new entry in its category
};

// Installs the pack at packPath into dataFolder (ending in "/"; created when missing).
InstallResult InstallResourcePack(const QString& packPath, const QString& dataFolder);

// The packs built into the editor (":/starter/").
QString StarterPackFolder();

// First start (after completing an interrupted install): installs every pack of
// packFolder ("*.qrs", in name order) whose category's library files are all missing from
// dataFolder, each through InstallResourcePack (so each is recorded in "Res_Info").
// Returns one result per pack it tried.
std::vector<InstallResult> InstallStarterPacks(const QString& dataFolder,
                                               const QString& packFolder = StarterPackFolder());

} // namespace library
