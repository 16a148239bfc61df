#include "base/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(DataFolder, CreatedBesideTheExecutableWhenMissing)
{
    QTemporaryDir module;
    ASSERT_TRUE(module.isValid());
    const QString expected = module.path() + "/Data/";
    ASSERT_FALSE(QFileInfo::exists(expected));

    EXPECT_EQ(DataFolderFor(module.path()), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    // A second call finds it and returns the same path.
    EXPECT_EQ(DataFolderFor(module.path()), expected);
}

TEST(DataFolder, RecreatedWhenDeletedBetweenCalls)
{
    QTemporaryDir module;
    const QString folder = DataFolderFor(module.path());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(DataFolderFor(module.path()), folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(DataFolder, RunningProgramUsesItsOwnFolder)
{
    const QString folder = DataFolder();
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(folder).isWritable());
}

TEST(DataFolder, FallsBackToPerUserLocationWhenItCannotBeCreated)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Data/";

    // /proc refuses new folders even to root.
    const QString result = DataFolderFor(QStringLiteral("/proc/self"));
    EXPECT_EQ(result, fallback);
    EXPECT_TRUE(result.endsWith('/'));
    EXPECT_TRUE(QFileInfo(result).isDir());

    // A file named "Data" where the folder should be.
    QTemporaryDir module;
    QFile blocker(module.path() + "/Data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(DataFolderFor(module.path()), fallback);
    QStandardPaths::setTestModeEnabled(false);
}

TEST(DataFolder, FallsBackWhenTheExecutableFolderIsReadOnly)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; covered by the /proc case";
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir module;
    ASSERT_EQ(::chmod(QFile::encodeName(module.path()).constData(), 0555), 0);
    const QString result = DataFolderFor(module.path());
    ::chmod(QFile::encodeName(module.path()).constData(), 0755);
    EXPECT_EQ(result, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Data/");
    QStandardPaths::setTestModeEnabled(false);
}
