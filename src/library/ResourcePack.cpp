#include "library/ResourcePack.h"

#include "base/LittleEndian.h"
#include "library/InstallJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>

#include <cstdio>
#include <unistd.h>

namespace library {

namespace {

constexpr std::int64_t kMaxPixels = kMaxBlockBytes / 4;
constexpr std::int64_t kCopyChunk = 1 << 20;

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool HasOpening(std::int32_t category)
{
    return category == static_cast<std::int32_t>(LibraryCategory::PhotoFrames);
}

// Reads exactly length bytes at offset; false when they are not all there.
bool ReadAt(QFile& file, std::int64_t offset, void* out, std::int64_t length)
{
    return file.seek(offset) && file.read(static_cast<char*>(out), length) == length;
}

bool WriteAll(QIODevice& out, const void* data, std::int64_t length)
{
    return out.write(static_cast<const char*>(data), length) == length;
}

bool WriteI32At(QIODevice& out, std::int64_t offset, std::int32_t value)
{
    std::uint8_t bytes[4];
    le::WriteI32(bytes, value);
    return out.seek(offset) && WriteAll(out, bytes, 4);
}

// Appends length bytes of in, from offset, to out.
bool CopyRange(QFile& in, std::int64_t offset, std::int64_t length, QIODevice& out, std::vector<char>& buffer)
{
    if (!in.seek(offset))
        return false;
    while (length > 0) {
        const std::int64_t chunk = std::min<std::int64_t>(length, static_cast<std::int64_t>(buffer.size()));
        if (in.read(buffer.data(), chunk) != chunk || !WriteAll(out, buffer.data(), chunk))
            return false;
        length -= chunk;
    }
    return true;
}

// A file written completely beside its target, then put in its place by one rename.
// Written and flushed to disk first, so that the renames of all files of an install follow
// each other with nothing in between. Removed when it is never put in place, unless the
// journal names it (then recovery owns it).
class PendingFile {
public:
    bool Open(const QString& target)
    {
        target_ = target;
        temp_ = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX"));
        return temp_->open()
            && temp_->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                     | QFileDevice::ReadOther);
    }
    QTemporaryFile& Device() { return *temp_; }
    QString ErrorString() const { return temp_ ? temp_->errorString() : QString(); }
    bool Sync() { return temp_->flush() && ::fsync(temp_->handle()) == 0; }
    const QString& Target() const { return target_; }
    QString FileName() const { return temp_->fileName(); }
    void Keep() { temp_->setAutoRemove(false); }
    bool Rename()
    {
        if (std::rename(QFile::encodeName(temp_->fileName()).constData(), QFile::encodeName(target_).constData()) != 0)
            return false;
        temp_->setAutoRemove(false);
        return true;
    }

private:
    QString target_;
    std::unique_ptr<QTemporaryFile> temp_;
};

// The old target under a second name ("<target>.previous"), so that an install stopped
// half-way can be undone: a hard link, or a flushed copy where links are not supported.
// Removed again when the object goes, unless kept.
class PreviousName {
public:
    PreviousName() = default;
    PreviousName(const PreviousName&) = delete;
    PreviousName& operator=(const PreviousName&) = delete;
    ~PreviousName()
    {
        if (!path_.isEmpty() && !kept_)
            ::unlink(QFile::encodeName(path_).constData());
    }
    // False when the target exists and cannot be given the name; true (no name) when it
    // does not exist.
    bool Make(const QString& target)
    {
        if (!QFileInfo::exists(target))
            return true;
        const QString path = target + QLatin1String(kPreviousSuffix);
        const QByteArray from = QFile::encodeName(target);
        const QByteArray to = QFile::encodeName(path);
        ::unlink(to.constData());
        if (::link(from.constData(), to.constData()) != 0) {
            if (!QFile::copy(target, path))
                return false;
            QFile copy(path);
            if (!copy.open(QIODevice::ReadWrite) || ::fsync(copy.handle()) != 0) {
                ::unlink(to.constData());
                return false;
            }
        }
        path_ = path;
        return true;
    }
    QString FileName() const { return path_.isEmpty() ? QString() : QFileInfo(path_).fileName(); }
    void Keep() { kept_ = true; }

private:
    QString path_;
    bool kept_ = false;
};

// One library file being rewritten: the entries it keeps, then the pack's.
struct TargetFile {
    QString path;
    LibraryLayout layout = LibraryLayout::Thumbnail;
    LibraryScan existing;
    std::int32_t keptCount = 0;
    std::int64_t keepEnd = 0; // end of the last kept entry (0: no file to keep from)
    std::unique_ptr<PendingFile> out;
};

void KeepEntries(TargetFile& target, std::int32_t count)
{
    target.keptCount = count;
    target.keepEnd = count == 0 ? 0
                                : target.existing.entries[static_cast<std::size_t>(count - 1)].offset
            + target.existing.entries[static_cast<std::size_t>(count - 1)].size;
}

// Starts the temporary file of a target: a count to be filled in, then its kept entries.
bool BeginTarget(TargetFile& target, std::vector<char>& buffer)
{
    target.out = std::make_unique<PendingFile>();
    if (!target.out->Open(target.path))
        return false;
    std::uint8_t zero[4] = {};
    if (!WriteAll(target.out->Device(), zero, 4))
        return false;
    if (target.keepEnd > kCountSize) {
        QFile in(target.path);
        if (!in.open(QIODevice::ReadOnly) || !CopyRange(in, kCountSize, target.keepEnd - kCountSize, target.out->Device(), buffer))
            return false;
    }
    return true;
}

struct ResInfo {
    bool exists = false;
    std::int32_t count = 0;
    QByteArray records; // count x 260 bytes
};

enum class ResInfoRead { Ok, Damaged, Unreadable };

ResInfoRead ReadResInfo(const QString& path, ResInfo& info)
{
    info = ResInfo{};
    if (!QFileInfo::exists(path))
        return ResInfoRead::Ok;
    info.exists = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ResInfoRead::Unreadable;
    std::uint8_t bytes[4];
    if (!ReadAt(file, 0, bytes, 4))
        return ResInfoRead::Damaged;
    info.count = le::ReadI32(bytes);
    if (info.count <= 0 || info.count > (file.size() - kCountSize) / kPackNameSize)
        return ResInfoRead::Damaged;
    info.records = file.read(std::int64_t{info.count} * kPackNameSize);
    if (info.records.size() != std::int64_t{info.count} * kPackNameSize)
        return ResInfoRead::Damaged;
    return ResInfoRead::Ok;
}

bool IsRecorded(const ResInfo& info, const QByteArray& name)
{
    for (std::int32_t i = 0; i < info.count; ++i) {
        const char* record = info.records.constData() + std::int64_t{i} * kPackNameSize;
        const std::size_t length = strnlen(record, kPackNameSize);
        if (length == static_cast<std::size_t>(name.size()) && std::memcmp(record, name.constData(), length) == 0)
            return true;
    }
    return false;
}

InstallResult Result(InstallStatus status, const QString& message)
{
    InstallResult result;
    result.status = status;
    result.message = message;
    return result;
}

QString NothingChanged()
{
    return QStringLiteral("Nothing was installed.");
}

} // namespace

std::optional<PackScan> ScanResourcePack(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
        return std::nullopt;
    }
    PackScan scan;
    scan.fileSize = file.size();
    std::uint8_t header[kPackHeaderSize];
    if (!ReadAt(file, 0, header, kPackHeaderSize)) {
        SetError(error, QStringLiteral("the file is too short to be a resource pack"));
        return std::nullopt;
    }
    scan.category = le::ReadI32(header);
    scan.count = le::ReadI32(header + 4);
    if (!FilesOfCategory(scan.category)) {
        SetError(error, QStringLiteral("its category %1 is unknown").arg(scan.category));
        return std::nullopt;
    }
    const std::int64_t imageHeaderSize = kImageHeaderSize + (HasOpening(scan.category) ? kOpeningSize : 0);
    const std::int64_t minEntry = kThumbnailHeaderSize + imageHeaderSize;
    if (scan.count < 0) {
        SetError(error, QStringLiteral("its entry count %1 is negative").arg(scan.count));
        return std::nullopt;
    }
    if (scan.count > (scan.fileSize - kPackHeaderSize) / minEntry) {
        SetError(error, QStringLiteral("it claims %1 entries, more than the file can hold").arg(scan.count));
        return std::nullopt;
    }
    scan.entries.reserve(static_cast<std::size_t>(scan.count));
    std::int64_t offset = kPackHeaderSize;
    for (std::int32_t i = 0; i < scan.count; ++i) {
        const auto fail = [&](const QString& why) {
            SetError(error, QStringLiteral("entry %1 of %2 %3").arg(i + 1).arg(scan.count).arg(why));
            return std::nullopt;
        };
        PackEntry entry;
        entry.offset = offset;
        std::uint8_t sizes[8];
        if (!ReadAt(file, offset, sizes, 8))
            return fail(QStringLiteral("is cut off (the file ends early)"));
        entry.thumbWidth = le::ReadI32(sizes);
        entry.thumbHeight = le::ReadI32(sizes + 4);
        if (entry.thumbWidth < 0 || entry.thumbHeight < 0)
            return fail(QStringLiteral("has a negative thumbnail size"));
        const std::int64_t pixels = std::int64_t{entry.thumbWidth} * entry.thumbHeight;
        if (pixels > kMaxPixels)
            return fail(QStringLiteral("has a thumbnail larger than 1 GB"));
        const std::int64_t rest = scan.fileSize - offset - kThumbnailHeaderSize;
        if (pixels * 4 > rest)
            return fail(QStringLiteral("has a thumbnail larger than the rest of the file"));
        entry.thumbnailSize = kThumbnailHeaderSize + pixels * 4;
        offset += entry.thumbnailSize;

        std::array<std::uint8_t, kImageHeaderSize + kOpeningSize> image{};
        if (!ReadAt(file, offset, image.data(), imageHeaderSize))
            return fail(QStringLiteral("is cut off (the file ends early)"));
        entry.imageWidth = le::ReadI32(image.data());
        entry.imageHeight = le::ReadI32(image.data() + 4);
        entry.dataLength = le::ReadI32(image.data() + 8);
        if (entry.imageWidth < 0 || entry.imageHeight < 0)
            return fail(QStringLiteral("has a negative picture size"));
        if (entry.dataLength < 0)
            return fail(QStringLiteral("has a negative picture length"));
        if (entry.dataLength > kMaxBlockBytes)
            return fail(QStringLiteral("has a picture larger than 1 GB"));
        if (entry.dataLength > scan.fileSize - offset - imageHeaderSize)
            return fail(QStringLiteral("has a picture larger than the rest of the file"));
        if (HasOpening(scan.category)) {
            const std::uint8_t* p = image.data() + kImageHeaderSize;
            entry.opening = FrameOpening{le::ReadF32(p), le::ReadF32(p + 4), le::ReadF32(p + 8), le::ReadF32(p + 12)};
        }
        entry.imageSize = imageHeaderSize + entry.dataLength;
        offset += entry.imageSize;
        scan.entries.push_back(entry);
    }
    scan.trailingBytes = scan.fileSize - offset;
    return scan;
}

const char* PanelFileOfCategory(std::int32_t categoryCode)
{
    if (categoryCode == static_cast<std::int32_t>(LibraryCategory::Decorations))
        return nullptr;
    const std::optional<CategoryFiles> files = FilesOfCategory(categoryCode);
    return files ? files->thumbnailFile : nullptr;
}

InstallResult InstallResourcePack(const QString& packPath, const QString& dataFolder)
{
    const QString fileName = QFileInfo(packPath).fileName();
    const QByteArray name = fileName.toUtf8();
    if (name.isEmpty() || name.contains('\0'))
        return Result(InstallStatus::Refused, QStringLiteral("This is not the name of a resource pack file."));
    if (name.size() >= kPackNameSize) {
        return Result(InstallStatus::Refused,
                      QStringLiteral("The name of the resource pack is too long to be recorded in the library "
                                     "(at most %1 bytes):\n%2\n%3")
                          .arg(kPackNameSize - 1)
                          .arg(fileName, NothingChanged()));
    }
    if (!QDir().mkpath(dataFolder)) {
        return Result(InstallStatus::Failed,
                      QStringLiteral("The data folder %1 cannot be created. %2").arg(dataFolder, NothingChanged()));
    }
    // One install at a time per library; an install that was interrupted is completed (or
    // undone) before this one reads the files.
    DataFolderLock lock(dataFolder);
    if (!lock.Held()) {
        return Result(InstallStatus::Failed,
                      QStringLiteral("Another program is installing a resource pack into the library (%1) now. "
                                     "Try again when it has finished. %2")
                          .arg(dataFolder, NothingChanged()));
    }
    if (const RecoveryResult recovered = RecoverUnfinishedInstallLocked(dataFolder);
        recovered.outcome == RecoveryOutcome::Failed)
        return Result(InstallStatus::Failed, recovered.message + QLatin1Char(' ') + NothingChanged());

    // The installed-pack list: a pack is installed once, by file name, case-sensitively.
    const QString resInfoPath = dataFolder + QLatin1String(kResInfoFile);
    ResInfo resInfo;
    switch (ReadResInfo(resInfoPath, resInfo)) {
    case ResInfoRead::Ok:
        break;
    case ResInfoRead::Damaged:
        return Result(InstallStatus::Failed,
                      QStringLiteral("The list of installed packs (%1) is damaged, so this pack cannot be checked "
                                     "against it. %2")
                          .arg(resInfoPath, NothingChanged()));
    case ResInfoRead::Unreadable:
        return Result(InstallStatus::Failed,
                      QStringLiteral("The list of installed packs (%1) cannot be read. %2").arg(resInfoPath, NothingChanged()));
    }
    if (IsRecorded(resInfo, name))
        return Result(InstallStatus::AlreadyInstalled, QStringLiteral("Already in the library."));

    // The whole pack is checked before anything is written.
    QString why;
    const std::optional<PackScan> pack = ScanResourcePack(packPath, &why);
    if (!pack) {
        return Result(InstallStatus::Refused,
                      QStringLiteral("The resource pack \"%1\" cannot be installed: %2. %3").arg(fileName, why, NothingChanged()));
    }
    const CategoryFiles files = *FilesOfCategory(pack->category);

    // The entries kept in front of the new ones: the whole entries of each file and, where
    // a category has two files, no more than both hold, so entry n stays the same item in both.
    std::vector<TargetFile> targets;
    targets.push_back({dataFolder + QLatin1String(files.thumbnailFile), LibraryLayout::Thumbnail, {}, 0, 0, nullptr});
    if (files.imageFile)
        targets.push_back({dataFolder + QLatin1String(files.imageFile), files.imageLayout, {}, 0, 0, nullptr});
    std::int32_t kept = std::numeric_limits<std::int32_t>::max();
    for (TargetFile& target : targets) {
        // A file that is there but cannot be read would be replaced by the new entries alone.
        if (QFile file(target.path); file.exists() && !file.open(QIODevice::ReadOnly)) {
            return Result(InstallStatus::Failed, QStringLiteral("The library file %1 cannot be read (%2). %3")
                                                     .arg(target.path, file.errorString(), NothingChanged()));
        }
        target.existing = ScanCompleteEntries(target.path, target.layout);
        kept = std::min(kept, static_cast<std::int32_t>(target.existing.entries.size()));
    }
    if (pack->count > std::numeric_limits<std::int32_t>::max() - kept) {
        return Result(InstallStatus::Refused,
                      QStringLiteral("The resource pack \"%1\" cannot be installed: the library would hold more "
                                     "entries than it can count. %2")
                          .arg(fileName, NothingChanged()));
    }

    const auto writeFailure = [&](const QString& path, const QString& reason) {
        return Result(InstallStatus::Failed, QStringLiteral("The library file %1 cannot be written (%2). %3")
                                                 .arg(path, reason, NothingChanged()));
    };
    std::vector<char> buffer(kCopyChunk);
    for (TargetFile& target : targets) {
        KeepEntries(target, kept);
        if (!BeginTarget(target, buffer))
            return writeFailure(target.path, target.out->ErrorString());
    }

    QFile in(packPath);
    if (!in.open(QIODevice::ReadOnly)) {
        return Result(InstallStatus::Failed, QStringLiteral("The resource pack \"%1\" cannot be read. %2")
                                                 .arg(fileName, NothingChanged()));
    }
    TargetFile& thumbs = targets[0];
    TargetFile* images = targets.size() > 1 ? &targets[1] : nullptr;
    for (const PackEntry& entry : pack->entries) {
        if (!CopyRange(in, entry.offset, entry.thumbnailSize, thumbs.out->Device(), buffer))
            return writeFailure(thumbs.path, in.errorString() + QLatin1Char(' ') + thumbs.out->ErrorString());
        if (images && !CopyRange(in, entry.offset + entry.thumbnailSize, entry.imageSize, images->out->Device(), buffer))
            return writeFailure(images->path, in.errorString() + QLatin1Char(' ') + images->out->ErrorString());
    }
    // The counts, now that every entry is in.
    const std::int32_t total = kept + pack->count;
    for (TargetFile& target : targets) {
        if (!WriteI32At(target.out->Device(), 0, total) || !target.out->Sync())
            return writeFailure(target.path, target.out->ErrorString());
    }

    PendingFile resOut;
    QByteArray record(kPackNameSize, '\0');
    std::memcpy(record.data(), name.constData(), static_cast<std::size_t>(name.size()));
    std::uint8_t countBytes[4];
    le::WriteI32(countBytes, resInfo.count + 1);
    if (!resOut.Open(resInfoPath) || !WriteAll(resOut.Device(), countBytes, 4)
        || !WriteAll(resOut.Device(), resInfo.records.constData(), resInfo.records.size())
        || !WriteAll(resOut.Device(), record.constData(), record.size()) || !resOut.Sync())
        return writeFailure(resInfoPath, resOut.ErrorString());

    // Everything is on disk. The renames follow each other in this order, image file
    // first; before them the journal names every temporary, so that recovery can finish
    // (or undo) an install stopped between two renames.
    std::vector<PendingFile*> order;
    for (auto it = targets.rbegin(); it != targets.rend(); ++it)
        order.push_back(it->out.get());
    order.push_back(&resOut);
    if (!CallInstallHook(InstallPoint::TemporariesWritten, 0))
        return writeFailure(resInfoPath, QStringLiteral("stopped"));
    std::vector<std::unique_ptr<PreviousName>> previous;
    std::vector<JournalEntry> journal;
    for (PendingFile* file : order) {
        previous.push_back(std::make_unique<PreviousName>());
        if (!previous.back()->Make(file->Target())) {
            return writeFailure(file->Target() + QLatin1String(kPreviousSuffix),
                                QString::fromLocal8Bit(std::strerror(errno)));
        }
        const auto identity = FileIdentity(file->FileName());
        if (!identity)
            return writeFailure(file->FileName(), QString::fromLocal8Bit(std::strerror(errno)));
        journal.push_back({QFileInfo(file->Target()).fileName(), QFileInfo(file->FileName()).fileName(),
                           identity->first, identity->second, previous.back()->FileName()});
    }
    if (!CallInstallHook(InstallPoint::PreviousKept, 0))
        return writeFailure(resInfoPath, QStringLiteral("stopped"));
    const QString journalPath = dataFolder + QLatin1String(kInstallJournalFile);
    PendingFile journalOut;
    const QByteArray journalText = FormatJournal(journal);
    if (!journalOut.Open(journalPath) || !WriteAll(journalOut.Device(), journalText.constData(), journalText.size())
        || !journalOut.Sync() || !journalOut.Rename() || !SyncFolder(dataFolder))
        return writeFailure(journalPath, journalOut.ErrorString());
    // From here on the journal owns the temporaries and the previous names.
    for (PendingFile* file : order)
        file->Keep();
    for (auto& name : previous)
        name->Keep();

    bool renamed = CallInstallHook(InstallPoint::JournalWritten, 0);
    for (std::size_t i = 0; renamed && i < order.size(); ++i)
        renamed = order[i]->Rename() && CallInstallHook(InstallPoint::Renamed, static_cast<int>(i) + 1);
    if (!renamed) {
        // A rename failed: recovery finishes the install or puts the old files back.
        const int error = errno;
        const RecoveryResult recovered = RecoverUnfinishedInstallLocked(dataFolder);
        if (recovered.outcome != RecoveryOutcome::RolledForward) {
            const QString reason = QString::fromLocal8Bit(std::strerror(error));
            if (recovered.outcome == RecoveryOutcome::RolledBack)
                return writeFailure(dataFolder, reason);
            return Result(InstallStatus::Failed,
                          QStringLiteral("The library files in %1 cannot be replaced (%2). %3 This is tried "
                                         "again when the library is opened next.")
                              .arg(dataFolder, reason, recovered.message));
        }
    } else {
        SyncFolder(dataFolder);
        ::unlink(QFile::encodeName(journalPath).constData());
        CallInstallHook(InstallPoint::JournalRemoved, 0);
        for (const JournalEntry& entry : journal) {
            if (!entry.previous.isEmpty())
                ::unlink(QFile::encodeName(dataFolder + entry.previous).constData());
        }
        SyncFolder(dataFolder);
    }

    InstallResult result;
    result.status = InstallStatus::Installed;
    result.category = pack->category;
    result.count = pack->count;
    result.firstIndex = kept;
    return result;
}

QString StarterPackFolder()
{
    return QStringLiteral(":/starter/");
}

std::vector<InstallResult> InstallStarterPacks(const QString& dataFolder, const QString& packFolder)
{
    std::vector<InstallResult> results;
    RecoverUnfinishedInstall(dataFolder);
    const QStringList packs = QDir(packFolder).entryList({QStringLiteral("*.qrs")}, QDir::Files, QDir::Name);
    for (const QString& packName : packs) {
        const QString packPath = QDir(packFolder).filePath(packName);
        QFile file(packPath);
        std::uint8_t header[4];
        if (!file.open(QIODevice::ReadOnly) || file.read(reinterpret_cast<char*>(header), 4) != 4)
            continue;
        const std::optional<CategoryFiles> files = FilesOfCategory(le::ReadI32(header));
        if (!files)
            continue;
        if (QFileInfo::exists(dataFolder + QLatin1String(files->thumbnailFile))
            || (files->imageFile && QFileInfo::exists(dataFolder + QLatin1String(files->imageFile))))
            continue;
        results.push_back(InstallResourcePack(packPath, dataFolder));
    }
    return results;
}

} // namespace library
