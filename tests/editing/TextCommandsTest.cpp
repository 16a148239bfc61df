#include "editing/TextRendering.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

namespace {

void ExpectUsage(const QStringList& args)
{
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.err.startsWith("montara-tool: ")) << run.err.constData();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
}

} // namespace

TEST(TextRenderCommand, WritesTheItemOnItsBox)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("t.png"));
    const ToolRun run = RunTool({"text", "render", "--style", "4", "--font", "Liberation Sans", "--height", "48",
        "--colour1", "FF0000", "--colour2", "0000FF", "--transparency", "0.5", "--text", "Hi\nthere", out});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QImage image(out);
    LogFont font;
    font.SetFaceName(QStringLiteral("Liberation Sans"));
    EXPECT_EQ(image.size(), MeasureText(font, QStringLiteral("Hi\nthere")));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0); // transparent background
    int maxAlpha = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            maxAlpha = std::max(maxAlpha, qAlpha(image.pixel(x, y)));
    EXPECT_GE(maxAlpha, 126); // transparency 0.5: alpha 127 (the outline may overlap)
    EXPECT_LE(maxAlpha, 200);
}

TEST(TextRenderCommand, RefusesBadOptions)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("t.png"));
    ExpectUsage({"text", "render", "--text", "x", out});
    ExpectUsage({"text", "render", "--style", "two", "--text", "x", out});
    ExpectUsage({"text", "render", "--style", "1", "--colour1", "red", "--text", "x", out});
    ExpectUsage({"text", "render", "--style", "1", "--transparency", "1.5", "--text", "x", out});
    ExpectUsage({"text", "render", "--style", "1", "--height", "0", "--text", "x", out});
    ExpectUsage({"text", "render", "--style", "1", "--text", QString(1000, QLatin1Char('x')), out});
    ExpectUsage({"text", "render", "--style", "1", "--text", "x"});
    ExpectUsage({"text", "draw"});
    EXPECT_FALSE(QFile::exists(out));

    const ToolRun unwritable = RunTool({"text", "render", "--style", "1", "--text", "x", dir.filePath("no/such/dir/t.png")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.count('\n'), 1);
}

TEST(TuneCommand, SlidersApplyToAPicture)
{
    QTemporaryDir dir;
    QImage picture(32, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgba(x * 8, y * 16, 100, 255));
    const QString in = dir.filePath(QStringLiteral("in.png"));
    ASSERT_TRUE(picture.save(in));

    const QString same = dir.filePath(QStringLiteral("same.png"));
    ASSERT_EQ(RunTool({"tune", in, same}).status, 0);
    EXPECT_EQ(QImage(same).convertToFormat(QImage::Format_ARGB32), picture);

    const QString black = dir.filePath(QStringLiteral("black.png"));
    ASSERT_EQ(RunTool({"tune", "--brightness", "0", in, black}).status, 0);
    const QImage dark(black);
    EXPECT_EQ(dark.pixel(31, 15), qRgba(0, 0, 0, 255));

    const QString grey = dir.filePath(QStringLiteral("grey.png"));
    ASSERT_EQ(RunTool({"tune", "--saturation", "0", in, grey}).status, 0);
    const QRgb g = QImage(grey).pixel(20, 5);
    EXPECT_EQ(qRed(g), qGreen(g));
    EXPECT_EQ(qGreen(g), qBlue(g));

    ExpectUsage({"tune", "--contrast", "10", in, black});
    ExpectUsage({"tune", "--hue", "36001", in, black});
    ExpectUsage({"tune", in});
    EXPECT_EQ(RunTool({"tune", dir.filePath("missing.png"), black}).status, 1);
    EXPECT_EQ(RunTool({"tune", in, dir.filePath("out.unknownformat")}).status, 1);
}

TEST(EffectCommand, AppliesOneEffectToAPicture)
{
    QTemporaryDir dir;
    QImage picture(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            picture.setPixel(x, y, (x == 10 && y == 4) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString in = dir.filePath(QStringLiteral("in.png"));
    ASSERT_TRUE(picture.save(in));
    const QString out = dir.filePath(QStringLiteral("out.bmp"));
    const ToolRun run = RunTool({"effect", "11981", in, out});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QImage dilated(out);
    ASSERT_EQ(dilated.size(), picture.size());
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            white += dilated.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_EQ(white, 4);
    EXPECT_EQ(dilated.pixel(10, 4), qRgb(255, 255, 255)); // upright, where the dot was

    ExpectUsage({"effect", "11983", in, out});
    ExpectUsage({"effect", "blur", in, out});
    ExpectUsage({"effect", "11993", in});
    EXPECT_EQ(RunTool({"effect", "11993", dir.filePath("missing.png"), out}).status, 1);
}
