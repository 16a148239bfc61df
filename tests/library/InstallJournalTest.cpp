#include "library/InstallJournal.h"
#include "library/PackBuilder.h"
#include "library/ResourcePack.h"
#include "support/ByteFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include <unistd.h>

using namespace library;

namespace {

using testbytes::ReadBytes;

using Folder = std::map<QString, QByteArray>;

// Every file of a folder with its bytes.
Folder FolderBytes(const QString& folder)
{
    Folder files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files[name] = ReadBytes(folder + name);
    return files;
}

// What the disk holds at this moment, kept by hard links: the same files (inodes and all)
// under a second folder, untouched by the renames that follow in the first one. Files are
// never written in place once an install renames, so the links keep this moment's bytes.
void Snapshot(const QString& from, const QString& to)
{
    ASSERT_TRUE(QDir().mkpath(to));
    for (const QString& name : QDir(from).entryList(QDir::Files)) {
        ASSERT_EQ(::link(QFile::encodeName(from + name).constData(), QFile::encodeName(to + name).constData()), 0)
            << name.toStdString();
    }
}

struct Moment {
    InstallPoint point;
    int renamed;
    QString folder;
};

// Clears the hook when a test ends, whatever happens.
struct HookScope {
    explicit HookScope(InstallHook hook) { SetInstallHook(std::move(hook)); }
    ~HookScope() { SetInstallHook({}); }
};

class InstallJournal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        data = dir.filePath(QStringLiteral("Data/"));
        QDir().mkpath(dir.filePath(QStringLiteral("src")));
    }

    // A photo-frame pack of count distinct pictures.
    QString Pack(const QString& name, int count, int seed)
    {
        std::vector<PackSource> sources;
        for (int i = 0; i < count; ++i) {
            QImage picture(40 + i, 30, QImage::Format_ARGB32);
            picture.fill(qRgba(seed * 40 % 256, i * 50 % 256, 90, 200));
            const QString path = dir.filePath(QStringLiteral("src/%1-%2.png").arg(name).arg(i));
            EXPECT_TRUE(picture.save(path));
            sources.push_back({path, FrameOpening{0.1f, 0.1f, 0.9f, 0.9f}});
        }
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(BuildResourcePack(0, path, sources, &error)) << error.toStdString();
        return path;
    }

    // Installs pack into data, taking a snapshot at every point of the install.
    std::vector<Moment> InstallWithSnapshots(const QString& pack)
    {
        std::vector<Moment> moments;
        HookScope scope([&](InstallPoint point, int renamed) {
            const QString folder = dir.filePath(QStringLiteral("at%1/Data/").arg(moments.size()));
            Snapshot(data, folder);
            moments.push_back({point, renamed, folder});
            return true;
        });
        const InstallResult result = InstallResourcePack(pack, data);
        EXPECT_EQ(result.status, InstallStatus::Installed) << result.message.toStdString();
        return moments;
    }

    QTemporaryDir dir;
    QString data;
};

const char* Name(InstallPoint point)
{
    switch (point) {
    case InstallPoint::TemporariesWritten:
        return "temporaries written";
    case InstallPoint::PreviousKept:
        return "previous names made";
    case InstallPoint::JournalWritten:
        return "journal written";
    case InstallPoint::Renamed:
        return "renamed";
    case InstallPoint::JournalRemoved:
        return "journal removed";
    }
    return "?";
}

} // namespace

// A kill at any point of the install, onto a library with entries and into an empty data
// folder: once recovered, the library files and "Res_Info" are all as before or all as
// after, with no file left over, and installing the pack again is refused exactly when
// it is in.
TEST_F(InstallJournal, KillAtEveryPointEndsAllBeforeOrAllAfter)
{
    for (const bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "onto a library" : "into an empty folder");
        QDir(dir.filePath(QStringLiteral("Data"))).removeRecursively();
        for (int k = 0; k < 8; ++k)
            QDir(dir.filePath(QStringLiteral("at%1").arg(k))).removeRecursively();
        QDir().mkpath(data);
        if (existing) {
            const InstallResult first = InstallResourcePack(Pack(QStringLiteral("first.qrs"), 3, 1), data);
            ASSERT_EQ(first.status, InstallStatus::Installed);
        }
        const Folder before = FolderBytes(data);
        const QString pack = Pack(QStringLiteral("second.qrs"), 4, 2);
        const std::vector<Moment> moments = InstallWithSnapshots(pack);
        const Folder after = FolderBytes(data);
        ASSERT_EQ(after.size(), 3u); // photoframes, photoframes_t, Res_Info, and nothing else
        ASSERT_NE(after, before);

        // Temporaries, previous names, journal, three renames (image file, thumbnail file,
        // list), journal removed.
        ASSERT_EQ(moments.size(), 7u);
        for (const Moment& m : moments) {
            SCOPED_TRACE(std::string(Name(m.point)) + " " + std::to_string(m.renamed));
            const bool journalThere = QFile::exists(m.folder + kInstallJournalFile);
            EXPECT_EQ(journalThere, m.point == InstallPoint::JournalWritten || m.point == InstallPoint::Renamed);
            const RecoveryResult recovered = RecoverUnfinishedInstall(m.folder);
            const Folder now = FolderBytes(m.folder);
            if (m.point == InstallPoint::TemporariesWritten || m.point == InstallPoint::PreviousKept) {
                EXPECT_EQ(recovered.outcome, RecoveryOutcome::NothingToDo);
                EXPECT_EQ(now, before);
                const InstallResult again = InstallResourcePack(pack, m.folder);
                EXPECT_EQ(again.status, InstallStatus::Installed) << again.message.toStdString();
            } else {
                EXPECT_EQ(recovered.outcome,
                          journalThere ? RecoveryOutcome::RolledForward : RecoveryOutcome::NothingToDo);
                EXPECT_EQ(now, after);
                EXPECT_EQ(InstallResourcePack(pack, m.folder).status, InstallStatus::AlreadyInstalled);
            }
            EXPECT_EQ(FolderBytes(m.folder), after);
            // A second recovery finds nothing to do.
            EXPECT_EQ(RecoverUnfinishedInstall(m.folder).outcome, RecoveryOutcome::NothingToDo);
        }
    }
}

// The journal is found by the next install as well: it is completed first, then the new
// pack goes in after it.
TEST_F(InstallJournal, NextInstallCompletesTheJournalFirst)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 2, 1), data).status, InstallStatus::Installed);
    const std::vector<Moment> moments = InstallWithSnapshots(Pack(QStringLiteral("second.qrs"), 3, 2));
    const Folder afterSecond = FolderBytes(data);
    const QString third = Pack(QStringLiteral("third.qrs"), 1, 3);
    ASSERT_EQ(InstallResourcePack(third, data).status, InstallStatus::Installed);
    const Folder afterThird = FolderBytes(data);

    const Moment& mid = moments.at(4); // between the thumbnail file's rename and the list's
    ASSERT_EQ(mid.point, InstallPoint::Renamed);
    ASSERT_EQ(mid.renamed, 2);
    const InstallResult result = InstallResourcePack(third, mid.folder);
    ASSERT_EQ(result.status, InstallStatus::Installed) << result.message.toStdString();
    EXPECT_EQ(result.firstIndex, 5);
    EXPECT_EQ(FolderBytes(mid.folder), afterThird);
    EXPECT_NE(afterThird, afterSecond);
}

// When the new content of a file that is not in place yet is gone, the install cannot
// be completed: it is undone from the previous files.
TEST_F(InstallJournal, MissingTemporaryRollsBack)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 3, 1), data).status, InstallStatus::Installed);
    const Folder before = FolderBytes(data);
    const std::vector<Moment> moments = InstallWithSnapshots(Pack(QStringLiteral("second.qrs"), 2, 2));
    for (const Moment& m : moments) {
        if (m.point != InstallPoint::JournalWritten && m.point != InstallPoint::Renamed)
            continue;
        SCOPED_TRACE(m.renamed);
        const std::optional<std::vector<JournalEntry>> journal =
            ParseJournal(ReadBytes(m.folder + kInstallJournalFile));
        ASSERT_TRUE(journal);
        ASSERT_EQ(journal->size(), 3u);
        EXPECT_EQ(journal->at(0).target, QStringLiteral("photoframes"));
        EXPECT_EQ(journal->at(2).target, QStringLiteral("Res_Info"));
        if (m.renamed == 3)
            continue; // every temporary is in place: nothing to lose
        // The last file's new content is lost.
        ASSERT_TRUE(QFile::remove(m.folder + journal->back().temporary));
        const RecoveryResult recovered = RecoverUnfinishedInstall(m.folder);
        EXPECT_EQ(recovered.outcome, RecoveryOutcome::RolledBack);
        EXPECT_EQ(FolderBytes(m.folder), before);
    }
}

// Undoing needs the previous files of the targets already replaced; without them the
// journal is kept, nothing is touched and the user is told.
TEST_F(InstallJournal, NeitherForwardNorBackKeepsTheJournalAndSaysSo)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 1, 1), data).status, InstallStatus::Installed);
    const std::vector<Moment> moments = InstallWithSnapshots(Pack(QStringLiteral("second.qrs"), 1, 2));
    const Moment& m = moments.at(3); // the image file renamed, the others not
    ASSERT_EQ(m.point, InstallPoint::Renamed);
    ASSERT_EQ(m.renamed, 1);
    const auto journal = ParseJournal(ReadBytes(m.folder + kInstallJournalFile));
    ASSERT_TRUE(journal);
    ASSERT_TRUE(QFile::remove(m.folder + journal->at(1).temporary));
    ASSERT_TRUE(QFile::remove(m.folder + journal->at(0).previous));
    const Folder broken = FolderBytes(m.folder);
    const RecoveryResult recovered = RecoverUnfinishedInstall(m.folder);
    EXPECT_EQ(recovered.outcome, RecoveryOutcome::Failed);
    EXPECT_TRUE(recovered.message.contains(QLatin1String("cannot be completed or undone")))
        << recovered.message.toStdString();
    EXPECT_EQ(FolderBytes(m.folder), broken);
    // An install refuses to go on top of it.
    const InstallResult result = InstallResourcePack(Pack(QStringLiteral("third.qrs"), 1, 3), m.folder);
    EXPECT_EQ(result.status, InstallStatus::Failed);
    EXPECT_EQ(FolderBytes(m.folder), broken);
}

// A rename that fails while the program runs: the install is finished by recovery when
// the new files are there, or undone when they are not, and reported as such.
TEST_F(InstallJournal, FailedRenameIsFinishedOrUndoneAtOnce)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 2, 1), data).status, InstallStatus::Installed);
    const Folder before = FolderBytes(data);
    const QString pack = Pack(QStringLiteral("second.qrs"), 2, 2);
    {
        HookScope scope(
            [](InstallPoint point, int renamed) { return !(point == InstallPoint::Renamed && renamed == 1); });
        const InstallResult result = InstallResourcePack(pack, data);
        EXPECT_EQ(result.status, InstallStatus::Installed) << result.message.toStdString();
        EXPECT_EQ(result.firstIndex, 2);
    }
    const Folder after = FolderBytes(data);
    EXPECT_EQ(after.size(), 3u);
    EXPECT_EQ(InstallResourcePack(pack, data).status, InstallStatus::AlreadyInstalled);

    // The same with the new thumbnail file lost before its rename: undone.
    for (const auto& [name, bytes] : before) {
        QFile file(data + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    {
        HookScope scope([&](InstallPoint point, int renamed) {
            if (point != InstallPoint::Renamed || renamed != 1)
                return true;
            const auto journal = ParseJournal(ReadBytes(data + kInstallJournalFile));
            EXPECT_TRUE(journal);
            if (journal)
                QFile::remove(data + journal->at(1).temporary);
            return false;
        });
        const InstallResult result = InstallResourcePack(pack, data);
        EXPECT_EQ(result.status, InstallStatus::Failed);
        EXPECT_TRUE(result.message.contains(QLatin1String("Nothing was installed."))) << result.message.toStdString();
    }
    EXPECT_EQ(FolderBytes(data), before);
}

TEST_F(InstallJournal, SecondInstallerIsRefusedWhileTheFolderIsLocked)
{
    QDir().mkpath(data);
    const QString pack = Pack(QStringLiteral("p.qrs"), 1, 1);
    {
        DataFolderLock lock(data);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(DataFolderLock(data).Held());
        const InstallResult result = InstallResourcePack(pack, data);
        EXPECT_EQ(result.status, InstallStatus::Failed);
        EXPECT_TRUE(result.message.contains(QLatin1String("Another program"))) << result.message.toStdString();
        EXPECT_EQ(RecoverUnfinishedInstall(data).outcome, RecoveryOutcome::Busy);
        EXPECT_TRUE(FolderBytes(data).empty());
    }
    EXPECT_EQ(InstallResourcePack(pack, data).status, InstallStatus::Installed);
}

TEST(InstallJournalText, RoundTripAndDamagedTextsAreRefused)
{
    const std::vector<JournalEntry> entries{
        {QStringLiteral("photoframes"), QStringLiteral("photoframes.aB3xYz"), 2049, 77,
         QStringLiteral("photoframes.previous")},
        {QStringLiteral("Res_Info"), QStringLiteral("Res_Info.Q1w2E3"), 2049, 78, QString()},
    };
    const QByteArray text = FormatJournal(entries);
    const auto parsed = ParseJournal(text);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->size(), 2u);
    EXPECT_EQ(parsed->at(0).temporary, entries[0].temporary);
    EXPECT_EQ(parsed->at(0).inode, 77u);
    EXPECT_EQ(parsed->at(0).previous, entries[0].previous);
    EXPECT_TRUE(parsed->at(1).previous.isEmpty());

    for (qsizetype cut = 0; cut < text.size(); ++cut) {
        EXPECT_FALSE(ParseJournal(text.left(cut))) << cut; // a journal cut anywhere is not a journal
    }
    const QByteArray damaged[] = {
        QByteArray(text).replace("photoframes.aB3xYz", "../photoframes.aB3xYz"),  // outside the folder
        QByteArray(text).replace("photoframes.aB3xYz", "Res_Info.aB3xYz"),        // another file's temporary
        QByteArray(text).replace("photoframes\tphotoframes", "notes\tnotes"),       // not a library file
        QByteArray(text).replace("photoframes.previous", "cliparts.previous"),
        QByteArray(text).replace("\t77\t", "\tseven\t"),
        QByteArray(text).replace("Res_Info\tRes_Info.Q1w2E3", "photoframes\tphotoframes.Q1w2E3"), // twice
    };
    for (const QByteArray& bad : damaged) {
        EXPECT_FALSE(ParseJournal(bad)) << bad.toStdString();
    }
}

// A damaged journal was not written by an install (it is written whole): it goes, with
// the leftovers, and the library files stay as they are.
TEST_F(InstallJournal, DamagedJournalAndLeftoversAreRemoved)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 1, 1), data).status, InstallStatus::Installed);
    const Folder library = FolderBytes(data);
    for (const char* name : {"install_journal", "photoframes.Ab12Cd", "Res_Info.previous", "install_journal.zzzzzz"}) {
        QFile file(data + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("montara install journal 1\nphotoframes");
    }
    QFile keep(data + "photoframes.notes"); // not a temporary's name: kept
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();
    EXPECT_EQ(RecoverUnfinishedInstall(data).outcome, RecoveryOutcome::NothingToDo);
    Folder expected = library;
    expected[QStringLiteral("photoframes.notes")] = QByteArray();
    EXPECT_EQ(FolderBytes(data), expected);
}
