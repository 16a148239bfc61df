// The Auto Layout dialog's headless half: choices to options and canvas sizes, the photos
// taken from the collage, the frame option inside the layout's one undo step, and the
// seeded Shuffle.

#include "canvas/AutoLayoutChoices.h"
#include "canvas/CollageModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

namespace {

// A frame reader as the library gives it: entry 0 a wide border on the left and right,
// entry 1 an even border; anything else unreadable.
CollageModel::FrameOpeningReader TestFrames()
{
    return [](std::int32_t entry) -> std::optional<CollageModel::FrameOpening> {
        if (entry == 0)
            return CollageModel::FrameOpening{0.2f, 0.1f, 0.8f, 0.9f};
        if (entry == 1)
            return CollageModel::FrameOpening{0.1f, 0.1f, 0.9f, 0.9f};
        return std::nullopt;
    };
}

QRect ShownRect(const Photo& p)
{
    const int w = static_cast<int>(static_cast<float>(p.baseWidth) * p.drawScale) / 4 * 4;
    const int h = static_cast<int>(static_cast<float>(p.baseHeight) * p.drawScale) / 4 * 4;
    return QRect(p.posX, p.posY, w, h);
}

std::vector<int> Identity(int n)
{
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

TEST(AutoLayoutChoices, ChoicesBecomeOptionsAndCanvasSizes)
{
    autolayout::Choices c;
    c.mode = autolayout::Mode::Mosaic;
    c.spacing = 140;
    c.margin = -3;
    c.frameEntry = -7;
    const autolayout::Options o = autolayout::OptionsOf(c);
    EXPECT_EQ(o.mode, autolayout::Mode::Mosaic);
    EXPECT_EQ(o.spacing, autolayout::kMaxSpacing);
    EXPECT_EQ(o.margin, 0);
    EXPECT_EQ(o.frameEntry, -1);
    c.frameEntry = 3;
    EXPECT_EQ(autolayout::OptionsOf(c).frameEntry, 3);

    // Keep, then each aspect with the width kept; the sides as the collage stores them
    // (multiples of 4); an index outside the list keeps the canvas.
    const QSize canvas(1024, 768);
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, 0), canvas);
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, 1), QSize(1024, 1024));
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, 3), QSize(1024, 1364)); // 3:4 -> 1365.3, down to 1364
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, 6), QSize(1024, 576));
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, 7), QSize(1024, 1820));
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, 8), canvas);
    EXPECT_EQ(autolayout::CanvasForChoice(canvas, -1), canvas);
    EXPECT_EQ(autolayout::CanvasForChoice(QSize(3200, 800), 7), QSize(3200, 3200)); // height at its limit
    for (std::size_t i = 1; i < autolayout::kAspectChoices.size(); ++i) {
        const autolayout::AspectChoice& a = autolayout::kAspectChoices[i];
        const QSize size = autolayout::CanvasForChoice(QSize(1200, 500), int(i));
        EXPECT_NEAR(double(size.width()) / size.height(), double(a.width) / a.height, 0.01) << a.caption;
    }
}

TEST(AutoLayoutChoices, ShuffleIsSeededAlwaysChangesAndKeepsEveryPhoto)
{
    for (int n : {2, 3, 7, 50}) {
        autolayout::Shuffler a(1234);
        autolayout::Shuffler b(1234);
        autolayout::Shuffler c(99);
        std::vector<int> x = Identity(n);
        std::vector<int> y = Identity(n);
        std::vector<int> z = Identity(n);
        bool differs = false;
        for (int round = 0; round < 5; ++round) {
            const std::vector<int> before = x;
            a.Shuffle(x);
            b.Shuffle(y);
            c.Shuffle(z);
            EXPECT_EQ(x, y) << n << " photos, round " << round; // same seed, same orders
            EXPECT_NE(x, before) << n << " photos, round " << round;
            std::vector<int> sorted = x;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(sorted, Identity(n));
            differs = differs || x != z;
        }
        if (n > 2) {
            EXPECT_TRUE(differs) << n << " photos: another seed gives other orders";
        }
    }
    std::vector<int> one{0};
    autolayout::Shuffler(5).Shuffle(one);
    EXPECT_EQ(one, std::vector<int>{0});
}

TEST(AutoLayoutChoices, PhotosOnCanvasAreEveryPhotoAndNothingElse)
{
    CollageModel m;
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/a.jpg"), 400, 300, 10, 10));
    ASSERT_TRUE(m.AddPictureItem(std::vector<std::uint8_t>(8 * 8 * 4, 90), 8, 8));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/b.jpg"), 300, 400, 10, 10));
    const auto photos = autolayout::PhotosOnCanvas(m);
    ASSERT_EQ(photos.size(), 2u);
    EXPECT_EQ(photos[0].itemIndex, 0);
    EXPECT_EQ(photos[0].path, QStringLiteral("/p/a.jpg"));
    EXPECT_EQ(photos[0].size, QSize(400, 300));
    EXPECT_EQ(photos[1].itemIndex, 2);
    EXPECT_EQ(photos[1].size, QSize(300, 400));
}

TEST(AutoLayoutChoices, FrameOptionFramesEveryPhotoInTheLayoutsOneUndoStep)
{
    for (autolayout::Mode mode : {autolayout::Mode::Grid, autolayout::Mode::Mosaic, autolayout::Mode::Fill}) {
        SCOPED_TRACE(static_cast<int>(mode));
        CollageModel m;
        m.SetFrameOpeningReader(TestFrames());
        ASSERT_TRUE(m.SetCanvasSize(1200, 900));
        ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/a.jpg"), 4000, 3000, 10, 10));
        ASSERT_TRUE(m.ApplyMask(2)); // a mask goes when a frame comes
        m.ClearSelection();
        ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/b.jpg"), 3000, 4000, 300, 40));
        const int steps = m.HistoryIndex();
        std::vector<autolayout::PhotoSource> photos = autolayout::PhotosOnCanvas(m);
        photos.push_back({-1, QStringLiteral("/p/c.jpg"), QSize(1920, 1080)});

        autolayout::Choices c;
        c.mode = mode;
        c.spacing = 12;
        c.margin = 20;
        c.frameEntry = 0;
        ASSERT_TRUE(autolayout::ApplyChoices(m, photos, c));
        EXPECT_EQ(m.HistoryIndex(), steps + 1);
        ASSERT_EQ(m.ItemCount(), 3);
        std::vector<QRect> shown;
        for (int i = 0; i < 3; ++i) {
            const Photo& p = std::get<Photo>(m.ItemAt(i));
            EXPECT_EQ(p.frameIndex, 1) << i;
            EXPECT_EQ(p.maskIndex, 0) << i;
            EXPECT_FLOAT_EQ(p.frameLeft, 0.2f);
            EXPECT_FLOAT_EQ(p.frameBottom, 0.9f);
            // The picture in the opening keeps the aspect of what the crop shows.
            const double opening = (p.baseWidth * 0.6) / (p.baseHeight * 0.8);
            const double crop = double(p.cropRight - p.cropLeft) / (p.cropBottom - p.cropTop);
            EXPECT_NEAR(opening / crop, 1.0, 0.01) << i;
            const QRect r = ShownRect(p);
            EXPECT_TRUE(QRect(0, 0, 1200, 900).contains(r)) << i;
            for (const QRect& o : shown)
                EXPECT_FALSE(r.intersects(o)) << i;
            shown.push_back(r);
        }
        if (mode == autolayout::Mode::Fill) {
            // Cells of one size, each filled by its framed photo.
            for (const QRect& r : shown) {
                EXPECT_NEAR(r.width(), shown[0].width(), 4);
                EXPECT_NEAR(r.height(), shown[0].height(), 4);
            }
        }

        // One Undo: no frames, the mask back, the new photo gone.
        m.Undo();
        EXPECT_EQ(m.HistoryIndex(), steps);
        ASSERT_EQ(m.ItemCount(), 2);
        EXPECT_EQ(std::get<Photo>(m.ItemAt(0)).frameIndex, 0);
        EXPECT_EQ(std::get<Photo>(m.ItemAt(0)).maskIndex, 3);
        EXPECT_EQ(std::get<Photo>(m.ItemAt(1)).frameIndex, 0);
    }
}

TEST(AutoLayoutChoices, FillWithAFrameFillsTheCellsWithTheFramedPhotos)
{
    CollageModel m;
    m.SetFrameOpeningReader(TestFrames());
    ASSERT_TRUE(m.SetCanvasSize(1000, 1000));
    std::vector<autolayout::PhotoSource> photos;
    for (int i = 0; i < 4; ++i)
        photos.push_back({-1, QStringLiteral("/p/%1.jpg").arg(i), i % 2 ? QSize(3000, 4000) : QSize(4000, 3000)});
    autolayout::Choices c;
    c.mode = autolayout::Mode::Fill;
    c.spacing = 0;
    c.margin = 0;
    c.frameEntry = 0;
    ASSERT_TRUE(autolayout::ApplyChoices(m, photos, c));
    ASSERT_EQ(m.ItemCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const QRect r = ShownRect(std::get<Photo>(m.ItemAt(i)));
        // 2 x 2 cells of 500 x 500: each framed photo all but the rounding to 4 pixels.
        EXPECT_GE(r.width(), 496) << i;
        EXPECT_GE(r.height(), 496) << i;
    }
}

TEST(AutoLayoutChoices, AFrameThatCannotBeReadChangesNothing)
{
    CollageModel m;
    m.SetFrameOpeningReader(TestFrames());
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/a.jpg"), 400, 300, 10, 10));
    const Photo before = std::get<Photo>(m.ItemAt(0));
    const int steps = m.HistoryIndex();
    autolayout::Choices c;
    c.frameEntry = 5;
    EXPECT_FALSE(autolayout::ApplyChoices(m, autolayout::PhotosOnCanvas(m), c));
    EXPECT_EQ(std::get<Photo>(m.ItemAt(0)), before);
    EXPECT_EQ(m.HistoryIndex(), steps);
}

TEST(AutoLayoutChoices, APhotoFramedBeforeIsLaidOutByItsFramedSize)
{
    // A photo framed on the canvas keeps its frame with "No frame" and is placed whole:
    // its framed size inside the cell, the picture in the opening undistorted, in Fill too.
    for (autolayout::Mode mode : {autolayout::Mode::Grid, autolayout::Mode::Fill}) {
        CollageModel m;
        m.SetFrameOpeningReader(TestFrames());
        ASSERT_TRUE(m.SetCanvasSize(800, 800));
        ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/a.jpg"), 4000, 3000, 10, 10));
        ASSERT_TRUE(m.ApplyFrame(1));
        autolayout::Choices c;
        c.mode = mode;
        c.margin = 0;
        ASSERT_TRUE(autolayout::ApplyChoices(m, autolayout::PhotosOnCanvas(m), c));
        const Photo& p = std::get<Photo>(m.ItemAt(0));
        EXPECT_EQ(p.frameIndex, 2);
        const QRect r = ShownRect(p);
        EXPECT_TRUE(QRect(0, 0, 800, 800).contains(r));
        const double opening = (p.baseWidth * 0.8) / (p.baseHeight * 0.8);
        const double crop = double(p.cropRight - p.cropLeft) / (p.cropBottom - p.cropTop);
        EXPECT_NEAR(opening / crop, 1.0, 0.01);
        if (mode == autolayout::Mode::Fill) {
            EXPECT_GE(r.width(), 796);
            EXPECT_GE(r.height(), 796);
        } else {
            EXPECT_GE(r.width(), 796); // a landscape photo: as wide as the canvas
            EXPECT_NEAR(double(r.width()) / r.height(), 4.0 / 3.0, 0.02);
        }
    }
}
