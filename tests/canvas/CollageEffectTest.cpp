// The whole-collage effects on the canvas: compose, filter, replace by one picture item,
// undo, and the runner that filters big collages on a worker thread.

#include "canvas/CanvasWnd.h"
#include "canvas/CollageEffect.h"
#include "canvas/EffectRunner.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A width x height picture buffer (blue, green, red, alpha) of four coloured quadrants.
std::vector<std::uint8_t> QuadrantPixels(int width, int height)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = pixels.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            p[0] = right ? 255 : 0;
            p[1] = bottom ? 200 : 30;
            p[2] = right == bottom ? 250 : 10;
            p[3] = 255;
        }
    return pixels;
}

struct Collage {
    Collage(int width = 64, int height = 48)
    {
        canvas.SetCanvasSize(width, height);
        const auto a = QuadrantPixels(width / 2, height / 2);
        const auto b = QuadrantPixels(width / 4, height / 4);
        model().AddPictureItem(a, width / 2, height / 2);
        model().AddPictureItem(b, width / 4, height / 4);
        ClipArt& second = std::get<ClipArt>(model().ItemAt(1));
        second.posX = width / 2;
        second.posY = height / 3;
    }
    CollageModel& model() { return canvas.Model(); }
    QImage Composed()
    {
        EXPECT_TRUE(canvas.Renderer().ComposeFullSize());
        return canvas.Renderer().Export().ToImage();
    }
    std::vector<QByteArray> Records()
    {
        std::vector<QByteArray> records;
        for (int i = 0; i < model().ItemCount(); ++i) {
            QByteArray bytes(RecordSize(model().ItemAt(i)), '\0');
            WriteRecord(model().ItemAt(i), reinterpret_cast<std::uint8_t*>(bytes.data()));
            records.push_back(bytes);
        }
        return records;
    }
    CanvasWnd canvas;
};

TEST(CollageEffect, ReplacesTheItemsByTheFilteredCollageAndUndoBringsThemBack)
{
    Collage c;
    const QImage before = c.Composed();
    const auto records = c.Records();
    const int buffers = c.model().PictureBufferCount();
    QSignalSpy applied(&c.model(), &CollageModel::effectApplied);
    QSignalSpy history(&c.model(), &CollageModel::historyChanged);

    // What the filter makes of the composed collage, independently of the canvas.
    CollagePicture expected = CollagePictureFromImage(before);
    ASSERT_TRUE(ApplyEffect(kEffectBlur, expected));

    // The two items were added without a step: the effect records them first, so that
    // Undo has a state to return to, then the replacement.
    ASSERT_TRUE(ApplyCollageEffect(c.model(), c.canvas.Renderer(), kEffectBlur));
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(c.model().HistoryIndex(), 1);
    EXPECT_TRUE(c.model().Modified());
    ASSERT_EQ(c.model().ItemCount(), 1);
    const ClipArt& result = std::get<ClipArt>(c.model().ItemAt(0));
    EXPECT_EQ(result.fromMemory, 1);
    EXPECT_EQ(result.selected, 1);
    EXPECT_EQ(result.sourceIndex, buffers);
    EXPECT_EQ(QSize(result.sourceWidth, result.sourceHeight), QSize(64, 48));
    EXPECT_EQ(c.model().PictureBufferCount(), buffers + 1);
    // The one item shows exactly the filtered picture.
    const QImage after = c.Composed();
    EXPECT_EQ(after, ImageFromCollagePicture(expected));
    EXPECT_NE(after, before);

    c.canvas.Undo();
    EXPECT_EQ(c.Records(), records);
    EXPECT_EQ(c.Composed(), before);
    c.canvas.Redo();
    EXPECT_EQ(c.Composed(), after);
    // Undo keeps the effect's buffer, so that Redo can show it again.
    EXPECT_EQ(c.model().PictureBufferCount(), buffers + 1);
    EXPECT_GE(history.count(), 4);
}

TEST(CollageEffect, RecordsOneStepWhenUndoAlreadyReturnsToTheItems)
{
    Collage c;
    c.model().RecordStep();
    ASSERT_EQ(c.model().HistoryIndex(), 0);
    const auto records = c.Records();
    ASSERT_TRUE(ApplyCollageEffect(c.model(), c.canvas.Renderer(), kEffectEmboss));
    EXPECT_EQ(c.model().HistoryIndex(), 1);
    c.canvas.Undo();
    EXPECT_EQ(c.Records(), records);

    // A loaded collage is what Undo of the first step returns to: one step is enough.
    Collage loaded;
    loaded.model().FinishLoad(true);
    const auto loadedRecords = loaded.Records();
    ASSERT_TRUE(ApplyCollageEffect(loaded.model(), loaded.canvas.Renderer(), kEffectDilate));
    EXPECT_EQ(loaded.model().HistoryIndex(), 0);
    loaded.canvas.Undo();
    EXPECT_EQ(loaded.Records(), loadedRecords);
}

TEST(CollageEffect, EveryEffectKeepsTheCollageSizeAndAFailureChangesNothing)
{
    for (int id = kEffectErode; id <= kEffectSoften; ++id) {
        if (!IsEffectCommand(id))
            continue;
        Collage c(32, 24);
        ASSERT_TRUE(ApplyCollageEffect(c.model(), c.canvas.Renderer(), id)) << id;
        EXPECT_EQ(c.Composed().size(), QSize(32, 24)) << id;
    }
    Collage c;
    const auto records = c.Records();
    EXPECT_FALSE(ApplyCollageEffect(c.model(), c.canvas.Renderer(), 11983));
    EffectMonitor stopped;
    stopped.Stop();
    EXPECT_FALSE(ApplyCollageEffect(c.model(), c.canvas.Renderer(), kEffectBlur, &stopped));
    EXPECT_EQ(c.Records(), records);
    EXPECT_EQ(c.model().HistoryIndex(), -1);
    CollagePicture wrong;
    wrong.width = 4;
    wrong.height = 4;
    wrong.pixels.resize(10);
    EXPECT_FALSE(TakeEffectResult(c.model(), wrong));
    EXPECT_EQ(c.model().ItemCount(), 2);
}

TEST(EffectRunner, SmallCollagesRunAtOnceBigOnesOnAWorkerWithProgress)
{
    QWidget window;
    Collage c;
    EffectRunner runner(c.canvas, &window);
    QSignalSpy finished(&runner, &EffectRunner::finished);
    EXPECT_FALSE(runner.Run(11987));
    ASSERT_TRUE(runner.Run(kEffectMedian));
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_EQ(runner.ProgressDialog(), nullptr);
    EXPECT_EQ(c.model().ItemCount(), 1);

    Collage big(400, 300);
    const QImage before = big.Composed();
    EffectRunner worker(big.canvas, &window);
    worker.SetWorkerPixels(1000);
    QSignalSpy done(&worker, &EffectRunner::finished);
    ASSERT_TRUE(worker.Run(kEffectBlur));
    EXPECT_TRUE(worker.Running());
    ASSERT_NE(worker.ProgressDialog(), nullptr);
    EXPECT_EQ(worker.ProgressDialog()->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(worker.Run(kEffectBlur)); // one at a time
    EXPECT_EQ(big.model().ItemCount(), 2);  // replaced only when the filter ended
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(done.at(0).at(0).toBool());
    EXPECT_FALSE(worker.Running());
    ASSERT_EQ(big.model().ItemCount(), 1);
    CollagePicture expected = CollagePictureFromImage(before);
    ASSERT_TRUE(ApplyEffect(kEffectBlur, expected));
    EXPECT_EQ(big.Composed(), ImageFromCollagePicture(expected));
}

TEST(EffectRunner, CancelLeavesTheCollageAsItWas)
{
    QWidget window;
    Collage c(400, 300);
    const auto records = c.Records();
    EffectRunner runner(c.canvas, &window);
    runner.SetWorkerPixels(1000);
    QSignalSpy finished(&runner, &EffectRunner::finished);
    ASSERT_TRUE(runner.Run(kEffectMedian));
    QPushButton* cancel = runner.ProgressDialog()->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    cancel->click();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_EQ(c.Records(), records);
    EXPECT_EQ(c.model().HistoryIndex(), -1);

    // Destroying a runner in the middle of a filter stops and waits for it.
    auto doomed = std::make_unique<EffectRunner>(c.canvas, &window);
    doomed->SetWorkerPixels(1000);
    ASSERT_TRUE(doomed->Run(kEffectMedian));
    doomed.reset();
    QTest::qWait(20);
    EXPECT_EQ(c.Records(), records);
}

} // namespace
