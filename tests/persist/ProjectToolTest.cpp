#include "support/ProjectTestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <limits>

using namespace testfiles;

namespace {

// The keys appear in this order in the text.
void ExpectInOrder(const QByteArray& text, const QStringList& keys)
{
    qsizetype last = -1;
    for (const QString& key : keys) {
        const qsizetype at = text.indexOf("\"" + key.toUtf8() + "\":", last + 1);
        ASSERT_GT(at, last) << key.toStdString();
        last = at;
    }
}

void ExpectOneLineFailure(const ToolRun& run)
{
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith("montara-tool: ")) << run.err.constData();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
}

class ProjectTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ProjectTool, DumpPrintsEveryFieldInFileOrder)
{
    Photo p = SamplePhoto();
    p.angle = 0.1f;
    p.tuning.tuneHue = -1.0e-7f;
    const QByteArray file = Header(1024, 768, "/bg/\"quoted\".png", 0x00FFFFFF, 1, 4) + Entry(p) + I32(7)
        + Entry(SampleText()) + Entry(SampleClipArt());
    ASSERT_TRUE(WriteFile(Path("p.vmz"), file));

    const ToolRun run = RunTool({"project", "dump", Path("p.vmz")});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = doc.object();
    EXPECT_EQ(root["canvasWidth"].toInt(), 1024);
    EXPECT_EQ(root["backgroundImagePath"].toString(), QStringLiteral("/bg/\"quoted\".png"));
    EXPECT_EQ(root["backgroundPlacement"].toInt(), 1);
    EXPECT_EQ(root["itemCount"].toInt(), 4);
    const QJsonArray items = root["items"].toArray();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]["kindName"].toString(), QStringLiteral("Photo"));
    EXPECT_EQ(items[0]["record"]["path"].toString(), QStringLiteral("/photos/sample.jpg"));
    EXPECT_EQ(items[0]["record"]["regionIndex"].toInt(), 77) << "the file's value, not a loaded one";
    EXPECT_EQ(items[1].toObject(), (QJsonObject{{"kind", 7}}));
    EXPECT_EQ(items[2]["record"]["font"]["lfFaceName"].toString(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(items[2]["record"]["screenBox"].toArray().size(), 4);
    EXPECT_EQ(items[3]["record"]["hitScale"].toDouble(), 0.5);

    // Floats as the shortest text that reads back to the same float.
    EXPECT_TRUE(run.out.contains("\"frameLeft\": 0.05,"));
    EXPECT_TRUE(run.out.contains("\"angle\": 0.1,"));
    EXPECT_TRUE(run.out.contains("\"tuneHue\": -1e-07,"));
    EXPECT_TRUE(run.out.contains("\"tuneRotation\": 0.125,"));

    ExpectInOrder(run.out, {"canvasWidth", "canvasHeight", "backgroundImagePath", "backgroundColor",
                            "backgroundPlacement", "itemCount", "items"});
    ExpectInOrder(run.out, {"creationOrder", "opacity", "frameIndex", "frameLeft", "frameTop", "frameRight",
                            "frameBottom", "cropLeft", "cropTop", "cropRight", "cropBottom", "maskIndex", "selected",
                            "angle", "sourceWidth", "sourceHeight", "baseWidth", "baseHeight", "drawScale", "hitScale",
                            "posX", "posY", "dragX", "dragY", "path", "regionIndex", "tuneOn", "tuneScale",
                            "tuneOffset", "tuneSaturation", "tuneHue", "tuneRotation", "tuneGamma"});

    // The same file twice gives the same text.
    EXPECT_EQ(RunTool({"project", "dump", Path("p.vmz")}).out, run.out);
}

TEST_F(ProjectTool, ResaveWritesTheSameBytes)
{
    const QByteArray file = Header(1022, 766, "/bg.png", 0x00102030, 2, 3) + Entry(SamplePhoto()) + Entry(SampleText())
        + Entry(SampleClipArt());
    ASSERT_TRUE(WriteFile(Path("in.vmz"), file));
    const ToolRun run = RunTool({"project", "resave", Path("in.vmz"), Path("out.vmz")});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    QByteArray expected = file;
    // Loading numbers the regions afresh; that is the one difference.
    le::WriteI32(reinterpret_cast<std::uint8_t*>(expected.data()) + 284 + 356, 0);
    le::WriteI32(reinterpret_cast<std::uint8_t*>(expected.data()) + 688 + 1132, 1);
    le::WriteI32(reinterpret_cast<std::uint8_t*>(expected.data()) + 1832 + 56, 2);
    EXPECT_EQ(ReadFile(Path("out.vmz")), expected);
}

TEST_F(ProjectTool, UnreadableOrInvalidFilesFailWithOneLine)
{
    const QByteArray good = Header(640, 480, "", 0, 0, 1) + Entry(SamplePhoto());
    ASSERT_TRUE(WriteFile(Path("cut.vmz"), good.left(500)));
    Photo nan = SamplePhoto();
    nan.hitScale = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(WriteFile(Path("nan.vmz"), Header(640, 480, "", 0, 0, 1) + Entry(nan)));
    ASSERT_TRUE(WriteFile(Path("size.vmz"), Header(0, 480, "", 0, 0, 0)));

    for (const char* name : {"missing.vmz", "cut.vmz", "nan.vmz", "size.vmz"}) {
        SCOPED_TRACE(name);
        ExpectOneLineFailure(RunTool({"project", "dump", Path(name)}));
        const ToolRun resave = RunTool({"project", "resave", Path(name), Path("out.vmz")});
        ExpectOneLineFailure(resave);
        EXPECT_FALSE(QFile::exists(Path("out.vmz")));
    }
    ASSERT_TRUE(WriteFile(Path("good.vmz"), good));
    ExpectOneLineFailure(RunTool({"project", "resave", Path("good.vmz"), Path("no/folder/out.vmz")}));
}

TEST_F(ProjectTool, BadUsageExitsWithTwo)
{
    for (const QStringList& args : {QStringList{"project"}, QStringList{"project", "dump"},
                                    QStringList{"project", "resave", "a"}, QStringList{"project", "print", "a"}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
    }
}
