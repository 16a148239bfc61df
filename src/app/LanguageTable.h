#pragma once

// The language table: the few interface texts of the main window that come from an
// enciphered table the program carries as its resource "IDR_ENG_LANG" 229. At every start
// the resource is written to "lang.mfd" in the data folder, read back block by block,
// deciphered and kept by the application object as 65,536 bytes of 260-byte records;
// record i begins at byte 260 * i and holds a NUL-terminated UTF-8 text.
//
// Core code (no widgets): montara-tool builds the resource with the same functions.

#include "persist/DataCipher.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

constexpr std::size_t kLangRecordSize = 260;
constexpr std::size_t kLangTableSize = 65536;
constexpr int kLangMaxRecords = static_cast<int>(kLangTableSize / kLangRecordSize); // 252 whole records
constexpr int kLangWaitMs = 2000; // the bound on the wait for the written file
inline constexpr char kLangFileName[] = "lang.mfd";
inline constexpr char kLangResource[] = ":/IDR_ENG_LANG/229";

// The texts the program asks for, by record index.
enum LangIndex : int {
    kLangFrameTab = 8,
    kLangClipArtTab = 10,
    kLangTextTab = 14,
    kLangLibraryMenu = 15,
    kLangHelpMenu = 17,
    kLangMaskTab = 22,
    kLangCaption = 23, // caption of the main window, the product name
    kLangFileMenu = 24,
    kLangEditMenu = 25,
};

using LanguageTable = std::unique_ptr<std::uint8_t[]>; // kLangTableSize bytes, or null

// ---- Start-up ---------------------------------------------------------------------

// The application object points this at its own languageTable field for its lifetime
// (null when it goes). Without an owner (tools, tests) there is no table.
void SetLanguageTableOwner(LanguageTable* owner);

// The start-up step of the main window: LoadLanguageTable(DataFolder()) into the owner.
// False when there is no owner or no table could be loaded (LangText is then empty).
bool LoadLanguage();

// The text of record index, at most 260 bytes of it; empty when no table is loaded and
// for an index outside the table. Records past those the file filled are empty.
QString LangText(int index);

// ---- The steps, for tests and montara-tool -----------------------------------------

// Writes the language file from source (the resource; any readable file in tests)
// atomically: a temporary file beside it, then a rename. False when it cannot.
bool WriteLanguageFile(const QString& path, const QString& source = QString::fromLatin1(kLangResource));

// Polls every 10 ms until path exists, at most timeoutMs; true when it exists.
bool WaitForFile(const QString& path, int timeoutMs);

// Reads an enciphered language file block by block into a zeroed table: each whole
// 4096-byte block deciphered as full, a remainder as a short block. A file longer than
// the table is cut to its 65,536 bytes; a remainder under 16 bytes cannot be deciphered
// and stays zero. filled (when given) receives the bytes filled. Null when the file
// cannot be opened or read.
LanguageTable ReadLanguageFile(const QString& path, std::size_t* filled = nullptr,
                               const DataCipher::DataKeys& keys = DataCipher::ProgramKeys());

// Write, wait, read: dataFolder ends in "/". Null when the file could not be written
// (an unwritable data folder): start-up then goes on with an empty table.
LanguageTable LoadLanguageTable(const QString& dataFolder, const QString& source = QString::fromLatin1(kLangResource),
                                int waitMs = kLangWaitMs);

// Record index of a table, or empty (null table, index outside 0..251).
QString RecordText(const std::uint8_t* table, int index);

// ---- Building the resource (montara-tool lang build) ------------------------------

// The plain source: one record per line, "INDEX<TAB>TEXT" (a bare INDEX is an empty
// record); blank lines and lines starting with "#" are ignored. The table has as many
// records as the highest index + 1; indices not listed are empty. False with a message
// naming the line for a malformed or repeated index, an index past 251, a text longer
// than 259 bytes, or text that is not UTF-8.
bool ParseLanguageSource(const QByteArray& source, std::vector<QByteArray>& records, QString& error);

// Records to store so that the last block of the file is 0 or at least 16 bytes long:
// a shorter last block cannot be enciphered, so empty records are added.
std::size_t PaddedRecordCount(std::size_t records);

// The records as 260-byte zero-padded records, padded as above, enciphered block by block.
QByteArray BuildLanguageFile(const std::vector<QByteArray>& records,
                             const DataCipher::DataKeys& keys = DataCipher::ProgramKeys());
