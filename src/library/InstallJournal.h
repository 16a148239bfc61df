#pragma once

// The journal that makes an install of a resource pack survive a kill or a power cut.
//
// An install changes up to three files of the data folder (a thumbnail file, an image
// file, "Res_Info"). Each is first written complete into a temporary file beside it
// ("<name>.XXXXXX") and flushed to disk; the old file, where there is one, gets a second
// name ("<name>.previous", a hard link, or a copy where the file system has no links).
// Then the journal "install_journal" is written (itself through a temporary file and a
// rename, so it is whole or absent) naming, in rename order, each target, its temporary,
// the temporary's device and inode, and the previous file or "-" when the target did not
// exist; the folder is flushed. Only then are the temporaries renamed over their targets,
// one after another; the folder is flushed, the journal removed, the previous names
// removed.
//
// Recovery (RecoverUnfinishedInstall, run by every install and when the editor opens the
// library folder) finds a journal and:
//   - rolls forward when every entry's new content is at hand: its temporary is still
//     there, or its target already is the temporary (same device and inode, so renamed).
//     The remaining temporaries are renamed in order; the result is the whole install.
//     This is the normal case after a kill anywhere between the journal and its removal:
//     the temporaries were complete on disk before the journal was written.
//   - rolls back when some entry's new content is gone (its temporary was removed by
//     someone else and its target is not the new file): every target that was replaced
//     gets its previous file back, a target that did not exist is removed, the remaining
//     temporaries are removed. The result is the library as it was before the install.
//   - does nothing but report when neither is possible (a previous file is gone too).
// Either way the library files and "Res_Info" end all before or all after the install,
// never mixed. Without a journal, temporaries and previous names of the known library
// files are the leftovers of an install killed before its journal: they are removed (the
// targets were not touched yet). A journal that cannot be parsed was not written by an
// install (it is written whole or not at all) and is removed with the leftovers.
//
// An install and a recovery hold an exclusive lock on the data folder (flock on the
// folder itself); when another process holds it, they do nothing and say so, so that a
// recovery never undoes the journal of an install that is still running.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace library {

inline constexpr char kInstallJournalFile[] = "install_journal";
inline constexpr char kPreviousSuffix[] = ".previous";

// One file the install replaces; names are file names in the data folder.
struct JournalEntry {
    QString target;
    QString temporary;
    std::uint64_t device = 0; // of the temporary
    std::uint64_t inode = 0;
    QString previous; // the old target under a second name; empty: the target did not exist
};

QByteArray FormatJournal(const std::vector<JournalEntry>& entries);
// Nothing when the text is not a complete journal of known library files.
std::optional<std::vector<JournalEntry>> ParseJournal(const QByteArray& text);

// The exclusive lock on a data folder, held while the object lives.
class DataFolderLock {
public:
    explicit DataFolderLock(const QString& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;
    bool Held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

enum class RecoveryOutcome {
    NothingToDo,   // no journal (leftovers, if any, removed)
    RolledForward, // the unfinished install is complete now
    RolledBack,    // the library is as it was before that install
    Busy,          // another process holds the folder's lock
    Failed,        // the journal could not be completed nor undone; it is kept
};

struct RecoveryResult {
    RecoveryOutcome outcome = RecoveryOutcome::NothingToDo;
    QString message; // for Busy and Failed
};

// Takes the folder's lock, then recovers.
RecoveryResult RecoverUnfinishedInstall(const QString& dataFolder);
// The same for a caller that holds the lock already.
RecoveryResult RecoverUnfinishedInstallLocked(const QString& dataFolder);

// Flushes the folder's entries (names created, renamed, removed) to disk.
bool SyncFolder(const QString& folder);
// Device and inode of a file; nothing when it does not exist.
std::optional<std::pair<std::uint64_t, std::uint64_t>> FileIdentity(const QString& path);

// The points of an install at which the test hook is called: temporaries flushed;
// previous names made; journal on disk; after each rename (renamed = how many so far);
// journal removed. Returning false makes the next step fail as a failed rename would
// (only after JournalWritten and Renamed). No hook in normal use.
enum class InstallPoint { TemporariesWritten, PreviousKept, JournalWritten, Renamed, JournalRemoved };
using InstallHook = std::function<bool(InstallPoint point, int renamed)>;
void SetInstallHook(InstallHook hook);
bool CallInstallHook(InstallPoint point, int renamed);

} // namespace library
