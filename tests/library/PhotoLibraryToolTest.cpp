#include "library/PhotoLibraryFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace library;

TEST(PhotoLibraryTool, DumpsTheRecordsOfVelMediaAsJson)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    std::vector<PhotoEntry> entries(2);
    entries[0].record = *RecordForPath(QStringLiteral("/home/ann/Fotos/Caf\u00e9 \"1\".JPG"));
    entries[0].record.width = 4000;
    entries[0].record.height = 3000;
    entries[0].thumbnail = {1, 2, 3};
    entries[1].record = *RecordForPath(QStringLiteral("/x/noext"));
    entries[1].record.index = 7;
    entries[1].record.selected = 1;
    entries[1].record.reserved[3] = 1;
    ASSERT_TRUE(WritePhotoLibraryFile(file, entries));

    const ToolRun run = RunTool({QStringLiteral("library"), QStringLiteral("photos"), file});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(run.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    EXPECT_EQ(root.value(QStringLiteral("count")).toInt(), 2);
    EXPECT_EQ(root.value(QStringLiteral("fileSize")).toInt(), 4 + 2 * 1104 + 4 + 3 + 4);
    const QJsonArray records = root.value(QStringLiteral("records")).toArray();
    ASSERT_EQ(records.size(), 2);
    const QJsonObject first = records[0].toObject();
    EXPECT_EQ(first.value(QStringLiteral("path")).toString(), QStringLiteral("/home/ann/Fotos/Caf\u00e9 \"1\".JPG"));
    EXPECT_EQ(first.value(QStringLiteral("folder")).toString(), QStringLiteral("/home/ann/Fotos/"));
    EXPECT_EQ(first.value(QStringLiteral("name")).toString(), QStringLiteral("Caf\u00e9 \"1\""));
    EXPECT_EQ(first.value(QStringLiteral("extension")).toString(), QStringLiteral(".JPG"));
    EXPECT_EQ(first.value(QStringLiteral("width")).toInt(), 4000);
    EXPECT_EQ(first.value(QStringLiteral("height")).toInt(), 3000);
    EXPECT_EQ(first.value(QStringLiteral("thumbnailLength")).toInt(), 3);
    EXPECT_TRUE(first.value(QStringLiteral("reservedZero")).toBool());
    const QJsonObject second = records[1].toObject();
    EXPECT_EQ(second.value(QStringLiteral("index")).toInt(), 7); // as stored
    EXPECT_EQ(second.value(QStringLiteral("selected")).toInt(), 1);
    EXPECT_FALSE(second.value(QStringLiteral("reservedZero")).toBool());
    EXPECT_EQ(second.value(QStringLiteral("extension")).toString(), QString());

    // A damaged file is a failure with the reason; the file is left as it was.
    QFile::resize(file, 100);
    const ToolRun damaged = RunTool({QStringLiteral("library"), QStringLiteral("photos"), file});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.err.contains("record count")) << damaged.err.toStdString();
    EXPECT_EQ(QFile(file).size(), 100);
    EXPECT_EQ(RunTool({QStringLiteral("library"), QStringLiteral("photos")}).status, 2);
}
