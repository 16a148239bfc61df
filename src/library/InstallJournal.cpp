#include "library/InstallJournal.h"

#include "library/LibraryFiles.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace library {

namespace {

constexpr char kJournalHeader[] = "montara install journal 1";
constexpr char kJournalEnd[] = "end";
constexpr int kTemporarySuffixLength = 6; // QTemporaryFile's "XXXXXX"

// The files an install replaces.
constexpr const char* kInstalledFiles[] = {
    kResInfoFile,  kPhotoFramesFile,   kPhotoFramesThumbFile, kPhotoMasksFile, kPhotoMasksThumbFile, kClipArtsFile,
    kDecorateFile, kDecorateThumbFile, kBrushesFile,          kShapeFile,      kShapeThumbFile,
};

bool IsInstalledFile(const QString& name)
{
    for (const char* known : kInstalledFiles) {
        if (name == QLatin1String(known))
            return true;
    }
    return false;
}

// "<base>.XXXXXX" with six letters or digits.
bool IsTemporaryOf(const QString& name, const QString& base)
{
    if (name.size() != base.size() + 1 + kTemporarySuffixLength || !name.startsWith(base + QLatin1Char('.')))
        return false;
    for (qsizetype i = base.size() + 1; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

QByteArray Path(const QString& folder, const QString& name)
{
    return QFile::encodeName(folder + name);
}

bool Exists(const QString& folder, const QString& name)
{
    struct stat st {};
    return ::lstat(Path(folder, name).constData(), &st) == 0;
}

bool IsNew(const QString& folder, const QString& name, const JournalEntry& entry)
{
    const auto identity = FileIdentity(folder + name);
    return identity && identity->first == entry.device && identity->second == entry.inode;
}

bool RenameIn(const QString& folder, const QString& from, const QString& to)
{
    return std::rename(Path(folder, from).constData(), Path(folder, to).constData()) == 0;
}

bool RemoveIn(const QString& folder, const QString& name)
{
    return ::unlink(Path(folder, name).constData()) == 0 || errno == ENOENT;
}

QString Reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Temporaries, previous names and journal temporaries without a journal that names them.
void RemoveLeftovers(const QString& folder)
{
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        bool leftover = IsTemporaryOf(name, QLatin1String(kInstallJournalFile));
        for (const char* known : kInstalledFiles) {
            const QString base = QLatin1String(known);
            leftover = leftover || IsTemporaryOf(name, base) || name == base + QLatin1String(kPreviousSuffix);
        }
        if (leftover)
            RemoveIn(folder, name);
    }
}

InstallHook& Hook()
{
    static InstallHook hook;
    return hook;
}

} // namespace

QByteArray FormatJournal(const std::vector<JournalEntry>& entries)
{
    QByteArray text = QByteArray(kJournalHeader) + '\n';
    for (const JournalEntry& e : entries) {
        text += e.target.toUtf8() + '\t' + e.temporary.toUtf8() + '\t' + QByteArray::number(e.device) + '\t'
            + QByteArray::number(e.inode) + '\t' + (e.previous.isEmpty() ? QByteArray("-") : e.previous.toUtf8())
            + '\n';
    }
    return text + kJournalEnd + '\n';
}

std::optional<std::vector<JournalEntry>> ParseJournal(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    // Header, at least one entry, the end line, and the empty rest after the last newline.
    if (lines.size() < 4 || lines.first() != kJournalHeader || !lines.last().isEmpty()
        || lines.at(lines.size() - 2) != kJournalEnd)
        return std::nullopt;
    std::vector<JournalEntry> entries;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split('\t');
        if (fields.size() != 5)
            return std::nullopt;
        JournalEntry e;
        e.target = QString::fromUtf8(fields[0]);
        e.temporary = QString::fromUtf8(fields[1]);
        bool deviceOk = false;
        bool inodeOk = false;
        e.device = fields[2].toULongLong(&deviceOk);
        e.inode = fields[3].toULongLong(&inodeOk);
        if (fields[4] != "-")
            e.previous = QString::fromUtf8(fields[4]);
        // Only the known files and their own temporaries: a journal never names a file
        // elsewhere, nor one twice.
        if (!deviceOk || !inodeOk || !IsInstalledFile(e.target) || !IsTemporaryOf(e.temporary, e.target)
            || (!e.previous.isEmpty() && e.previous != e.target + QLatin1String(kPreviousSuffix)))
            return std::nullopt;
        for (const JournalEntry& other : entries) {
            if (other.target == e.target)
                return std::nullopt;
        }
        entries.push_back(e);
    }
    return entries;
}

DataFolderLock::DataFolderLock(const QString& folder)
{
    fd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    held_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

DataFolderLock::~DataFolderLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

bool SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> FileIdentity(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::pair<std::uint64_t, std::uint64_t>{static_cast<std::uint64_t>(st.st_dev),
                                                   static_cast<std::uint64_t>(st.st_ino)};
}

RecoveryResult RecoverUnfinishedInstall(const QString& dataFolder)
{
    if (!QDir(dataFolder).exists())
        return {};
    DataFolderLock lock(dataFolder);
    if (!lock.Held()) {
        return {RecoveryOutcome::Busy,
                QStringLiteral("Another program is installing a resource pack into the library (%1) now. Try "
                               "again when it has finished.")
                    .arg(dataFolder)};
    }
    return RecoverUnfinishedInstallLocked(dataFolder);
}

RecoveryResult RecoverUnfinishedInstallLocked(const QString& dataFolder)
{
    const QString journalPath = dataFolder + QLatin1String(kInstallJournalFile);
    QFile journal(journalPath);
    if (!journal.exists()) {
        RemoveLeftovers(dataFolder);
        return {};
    }
    const auto fail = [&](const QString& why) {
        return RecoveryResult{RecoveryOutcome::Failed,
                              QStringLiteral("An install of a resource pack into the library (%1) was interrupted "
                                             "and cannot be completed or undone: %2.")
                                  .arg(dataFolder, why)};
    };
    if (!journal.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("its journal cannot be read (%1)").arg(journal.errorString()));
    const std::optional<std::vector<JournalEntry>> entries = ParseJournal(journal.read(64 * 1024));
    journal.close();
    if (!entries) {
        RemoveIn(dataFolder, QLatin1String(kInstallJournalFile));
        RemoveLeftovers(dataFolder);
        SyncFolder(dataFolder);
        return {};
    }

    bool forward = true;
    for (const JournalEntry& e : *entries) {
        const bool temporaryThere = IsNew(dataFolder, e.temporary, e);
        forward = forward && (temporaryThere || IsNew(dataFolder, e.target, e));
    }
    const auto finish = [&](RecoveryOutcome outcome) {
        SyncFolder(dataFolder);
        RemoveIn(dataFolder, QLatin1String(kInstallJournalFile));
        SyncFolder(dataFolder);
        RemoveLeftovers(dataFolder);
        return RecoveryResult{outcome, {}};
    };
    if (forward) {
        bool renamed = true;
        for (const JournalEntry& e : *entries) {
            if (IsNew(dataFolder, e.temporary, e) && !RenameIn(dataFolder, e.temporary, e.target)) {
                renamed = false;
                break;
            }
        }
        if (renamed)
            return finish(RecoveryOutcome::RolledForward);
        // A rename that fails now (a full or read-only file system) leaves a state that
        // rolling back repairs as well; fall through.
    }

    // Back: possible when every replaced target still has its previous file, or was not
    // replaced yet.
    for (const JournalEntry& e : *entries) {
        if (IsNew(dataFolder, e.target, e) && !e.previous.isEmpty() && !Exists(dataFolder, e.previous))
            return fail(QStringLiteral("the earlier %1 is gone").arg(e.target));
    }
    for (const JournalEntry& e : *entries) {
        if (!e.previous.isEmpty() && Exists(dataFolder, e.previous)) {
            if (!RenameIn(dataFolder, e.previous, e.target))
                return fail(QStringLiteral("%1 cannot be put back (%2)").arg(e.target, Reason()));
        } else if (e.previous.isEmpty() && IsNew(dataFolder, e.target, e)) {
            if (!RemoveIn(dataFolder, e.target))
                return fail(QStringLiteral("%1 cannot be removed (%2)").arg(e.target, Reason()));
        }
        if (IsNew(dataFolder, e.temporary, e))
            RemoveIn(dataFolder, e.temporary);
    }
    return finish(RecoveryOutcome::RolledBack);
}

void SetInstallHook(InstallHook hook)
{
    Hook() = std::move(hook);
}

bool CallInstallHook(InstallPoint point, int renamed)
{
    return !Hook() || Hook()(point, renamed);
}

} // namespace library
