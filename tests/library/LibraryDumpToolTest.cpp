#include "library/LibraryFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace library;

namespace {

QByteArray Png(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgba(1, 2, 3, 4));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

} // namespace

TEST(LibraryDumpTool, FramesFileAsJsonInStableOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photoframes"));
    const QByteArray png = Png(3, 2);
    ASSERT_TRUE(WriteImageFile(path, LibraryLayout::ImageWithOpening,
                               {{640, 480, png, {0.1f, 0.2f, 0.9f, 0.75f}}, {30, 20, png, {0.0f, 0.0f, 1.0f, 1.0f}}}));

    const ToolRun run = RunTool({"library", "dump", path});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &parseError);
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << run.out.constData();
    const QJsonObject root = doc.object();
    EXPECT_EQ(root.value("layout").toString(), QStringLiteral("frame"));
    EXPECT_EQ(root.value("count").toInt(), 2);
    EXPECT_EQ(root.value("fileSize").toInt(), 4 + 2 * (28 + png.size()));
    EXPECT_EQ(root.value("trailingBytes").toInt(), 0);
    const QJsonArray entries = root.value("entries").toArray();
    ASSERT_EQ(entries.size(), 2);
    const QJsonObject second = entries.at(1).toObject();
    EXPECT_EQ(second.value("index").toInt(), 1);
    EXPECT_EQ(second.value("offset").toInt(), 4 + 28 + png.size());
    EXPECT_EQ(second.value("width").toInt(), 30);
    EXPECT_EQ(second.value("dataLength").toInt(), png.size());
    // The opening is printed as the shortest decimal of each float.
    EXPECT_TRUE(run.out.contains(
        R"("width": 640, "height": 480, "dataLength": )" + QByteArray::number(png.size())
        + R"(, "opening": {"left": 0.1, "top": 0.2, "right": 0.9, "bottom": 0.75}})"))
        << run.out.constData();
    const qsizetype file = run.out.indexOf("\"file\"");
    const qsizetype count = run.out.indexOf("\"count\"");
    const qsizetype list = run.out.indexOf("\"entries\"");
    EXPECT_TRUE(file >= 0 && file < count && count < list);
}

TEST(LibraryDumpTool, LayoutByOptionDamageAndUsage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("some-file"));
    QImage pixel(1, 1, QImage::Format_ARGB32);
    pixel.fill(0u);
    ASSERT_TRUE(WriteThumbnailFile(path, {pixel, pixel}));

    const ToolRun thumbs = RunTool({"library", "dump", path, "--layout", "thumbnail"});
    ASSERT_EQ(thumbs.status, 0) << thumbs.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(thumbs.out).object();
    EXPECT_EQ(root.value("count").toInt(), 2);
    EXPECT_FALSE(root.value("entries").toArray().at(0).toObject().contains("dataLength"));

    // Not a library file name and no layout given: bad usage.
    const ToolRun unnamed = RunTool({"library", "dump", path});
    EXPECT_EQ(unnamed.status, 2);
    EXPECT_EQ(unnamed.err.count('\n'), 1);
    EXPECT_EQ(RunTool({"library", "dump", path, "--layout", "pixels"}).status, 2);
    EXPECT_EQ(RunTool({"library"}).status, 2);

    // A damaged file fails with one line naming the entry.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 1));
    file.close();
    const ToolRun damaged = RunTool({"library", "dump", path, "--layout", "thumbnail"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.out.isEmpty());
    EXPECT_TRUE(damaged.err.contains("entry 1")) << damaged.err.constData();
    EXPECT_EQ(damaged.err.count('\n'), 1);
}
