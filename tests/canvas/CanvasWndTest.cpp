// The canvas window over the model, and montara-tool render.

#include "support/RenderTestSupport.h"
#include "support/ToolRun.h"

#include "base/UserMessage.h"
#include "canvas/CanvasScrollBar.h"
#include "canvas/CanvasWnd.h"
#include "persist/ProjectFile.h"

#include <QFile>
#include <QDir>
#include <QTest>

using namespace rendertest;

namespace {

TEST(CanvasWndTest, CreationDefaultsAndTheViewBufferFollowingSizeAndZoom)
{
    CanvasWnd canvas;
    EXPECT_EQ(canvas.Model().CanvasWidth(), 1024);
    EXPECT_EQ(canvas.Model().CanvasHeight(), 768);
    EXPECT_EQ(canvas.Model().BackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(canvas.Model().BackgroundPlacementValue(), 0);
    EXPECT_EQ(canvas.Model().Zoom(), 0.75f);
    EXPECT_EQ(canvas.Model().ItemCount(), 0);
    EXPECT_EQ(canvas.Model().HistoryIndex(), -1);
    EXPECT_FALSE(canvas.Model().ToolSettings().toolActive);
    EXPECT_EQ(canvas.Model().ToolSettings().opacity, 255);
    EXPECT_EQ(canvas.Model().ToolSettings().size, 50);
    EXPECT_EQ(canvas.focusPolicy(), Qt::StrongFocus);
    // Built and composed at creation: the 1024 x 768 window holds the 768 x 576 canvas.
    ASSERT_EQ(canvas.Renderer().ViewBuffer().size(), QSize(1024, 768));
    EXPECT_EQ(canvas.Renderer().ViewBuffer().pixel(100, 100), kWhite);
    EXPECT_EQ(canvas.Renderer().ViewBuffer().pixel(800, 100), kGrey);

    canvas.show(); // a hidden widget is told of its size only when shown
    canvas.resize(500, 400);
    EXPECT_EQ(canvas.Renderer().ViewBuffer().size(), QSize(768, 576));
    ASSERT_TRUE(canvas.SetZoom(1.5f));
    EXPECT_EQ(canvas.Renderer().ViewBuffer().size(), QSize(1536, 1152));
    ASSERT_TRUE(canvas.SetCanvasSize(403, 301));
    EXPECT_EQ(canvas.Renderer().ViewBuffer().size(), QSize(600, 450));
}

TEST(CanvasWndTest, PaintCopiesTheBlockAtTheScrollPosition)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CanvasWnd canvas;
    canvas.SetDataFolder(dir.path());
    canvas.resize(300, 200);
    canvas.show(); // the size is the window's before any painting
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    const QString path = Save(dir, QStringLiteral("q.png"), Quadrants(800, 600));
    ASSERT_TRUE(canvas.SetZoom(1.0f));
    ASSERT_TRUE(canvas.AddPhoto(path, 800, 600, 0, 0)); // redraws by itself
    Photo& photo = std::get<Photo>(canvas.Model().ItemAt(0));
    photo.drawScale = 1.0f;
    canvas.Model().ClearSelection();
    canvas.Redraw();

    canvas.SetScroll(350, 250);
    const QImage shown = canvas.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(300, 200));
    // The scroll bars cover the last 16 pixels of each side.
    const QImage block = canvas.Renderer().ViewBuffer().copy(350, 250, 284, 184);
    EXPECT_EQ(Compare(shown.copy(0, 0, 284, 184), block).pixels, 0);
    EXPECT_TRUE(canvas.VerticalBar().isVisible());
    EXPECT_NE(shown.pixel(290, 100), block.pixel(283, 100)); // the bar, not the collage
    EXPECT_COLOUR_NEAR(shown, 10, 10, kRed, 0);    // (360, 260): top-left quadrant
    EXPECT_COLOUR_NEAR(shown, 100, 100, kYellow, 0); // (450, 350)

    // Scrolled past the buffer (set directly, beyond the bar's range): grey beyond it.
    canvas.SetScroll(900, 0);
    const QImage beyond = canvas.grab().toImage();
    EXPECT_EQ(beyond.pixel(250, 10), kGrey);
    EXPECT_COLOUR_NEAR(beyond, 10, 10, kWhite, 0);
}

TEST(CanvasWndTest, OperationsUseTheLibrarySeamsAndExport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteThumbnailLibrary(dir.filePath(QStringLiteral("cliparts")), {Solid(30, 20, kGreen)});
    WriteThumbnailLibrary(dir.filePath(QStringLiteral("brushs")), {Solid(10, 10, kRed)});
    CanvasWnd canvas;
    canvas.SetDataFolder(dir.path());
    ASSERT_TRUE(canvas.AddClipArt(0, 150, 150));
    EXPECT_EQ(std::get<ClipArt>(canvas.Model().ItemAt(0)).sourceWidth, 30);
    EXPECT_EQ(canvas.Renderer().ViewBuffer().pixel(155, 155), kGreen); // drawn at once
    canvas.SetToolSettings(0, true, 0.0f, 255, 20, 0);
    ASSERT_TRUE(canvas.AddBrushStamp(400, 400));
    EXPECT_EQ(std::get<BrushStamp>(canvas.Model().ItemAt(1)).sourceWidth, 10);
    Text settings;
    settings.font.lfHeight = 30;
    canvas.Model().SetCurrentTextSettings(settings);
    ASSERT_TRUE(canvas.Model().SetCurrentText(QStringLiteral("Hello")));
    ASSERT_TRUE(canvas.AddText()); // measured with the text renderer
    EXPECT_GT(std::get<Text>(canvas.Model().ItemAt(2)).boxWidth, 30);

    canvas.resize(500, 400); // room to scroll
    canvas.Redraw();
    canvas.SetScroll(5, 7);
    const QImage before = canvas.Renderer().ViewBuffer().copy();
    const QString out = dir.filePath(QStringLiteral("collage.png"));
    ASSERT_TRUE(canvas.ExportPicture(out));
    const QImage written(out);
    EXPECT_EQ(written.size(), QSize(1024, 768));
    EXPECT_EQ(written.pixel(205, 205), kGreen); // clip-art at 150 / 0.75 = 200
    EXPECT_EQ(canvas.Model().Zoom(), 0.75f);
    EXPECT_EQ(canvas.Model().ScrollX(), 5);
    EXPECT_EQ(Compare(before, canvas.Renderer().ViewBuffer()).pixels, 0);

    // A failed export is told to the user.
    QStringList messages;
    const MessageHandler previous = SetMessageHandler([&](MessageKind, const QString& text) { messages << text; });
    EXPECT_FALSE(canvas.ExportPicture(dir.filePath(QStringLiteral("no/such/folder.png"))));
    SetMessageHandler(previous);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("could not be saved")));
}

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        data = dir.filePath(QStringLiteral("data"));
        ASSERT_TRUE(QDir().mkpath(data));
        WriteThumbnailLibrary(data + QStringLiteral("/cliparts"), {Solid(40, 40, kBlue)});
        CollageModel model;
        model.SetClipArtSizeReader([this](std::int32_t n) { return library::ReadThumbnailEntry(data + "/cliparts", n).size(); });
        ASSERT_TRUE(model.SetCanvasSize(640, 480));
        const QString photo = Save(dir, QStringLiteral("p.png"), Quadrants(320, 240));
        AddPhotoAt(model, photo, QSize(320, 240), 100, 100, 1.0f);
        ASSERT_TRUE(model.SetZoom(1.0f));
        ASSERT_TRUE(model.AddClipArt(0, 10, 10));
        project = dir.filePath(QStringLiteral("c.vmz"));
        ASSERT_TRUE(project::SaveProject(model, project));
    }

    QTemporaryDir dir;
    QString data;
    QString project;
};

TEST_F(RenderTool, RendersAProjectWithItsLibraryFolder)
{
    const QString out = dir.filePath(QStringLiteral("out.png"));
    const ToolRun run = RunTool({QStringLiteral("render"), project, out, QStringLiteral("--data"), data});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(640, 480));
    EXPECT_COLOUR_NEAR(image, 150, 150, kRed, 0);
    EXPECT_COLOUR_NEAR(image, 350, 300, kYellow, 0);
    EXPECT_COLOUR_NEAR(image, 30, 30, kBlue, 0); // clip-art from the data folder
    EXPECT_COLOUR_NEAR(image, 600, 450, kWhite, 0);
    // Without the folder's clip-art the item draws nothing; the upper-case name goes
    // through the picture library (a TIFF here).
    const QString tif = dir.filePath(QStringLiteral("out.TIF"));
    const ToolRun other = RunTool({QStringLiteral("render"), project, tif, QStringLiteral("--data"), dir.path()});
    ASSERT_EQ(other.status, 0) << other.err.toStdString();
    const QImage again(tif);
    EXPECT_COLOUR_NEAR(again, 30, 30, kWhite, 0);
}

TEST_F(RenderTool, FailuresAndUsage)
{
    EXPECT_EQ(RunTool({QStringLiteral("render"), project}).status, 2);
    EXPECT_EQ(RunTool({QStringLiteral("render"), project, dir.filePath("o.png"), QStringLiteral("--data")}).status, 2);
    const ToolRun missing = RunTool({QStringLiteral("render"), dir.filePath("none.vmz"), dir.filePath("o.png")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.count('\n'), 1);
    QFile::resize(project, 300); // inside the first record
    const ToolRun truncated = RunTool({QStringLiteral("render"), project, dir.filePath("o.png")});
    EXPECT_EQ(truncated.status, 1);
    EXPECT_TRUE(truncated.err.contains("ends early")) << truncated.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("o.png")));
    const ToolRun badData = RunTool({QStringLiteral("render"), project, dir.filePath("o.png"), QStringLiteral("--data"),
                                     dir.filePath("nowhere")});
    EXPECT_EQ(badData.status, 1);
}

} // namespace
