#include "base/UserMessage.h"
#include "canvas/CollageModel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class MessageCapture {
public:
    MessageCapture()
        : previous_(SetMessageHandler([this](MessageKind, const QString& text) { texts.push_back(text); }))
    {
    }
    ~MessageCapture() { SetMessageHandler(previous_); }
    QStringList texts;

private:
    MessageHandler previous_;
};

using Opening = CollageModel::FrameOpening;

// A model with one selected 1600 x 1200 photo, frame 0 opening 0.1..0.9, frame 1 a
// different opening, shape 0 square, shape 1 wide (2:1), shape 2 tall (1:3).
class Decorating : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.SetFrameOpeningReader([](std::int32_t entry) -> std::optional<Opening> {
            if (entry == 0)
                return Opening{0.1f, 0.1f, 0.9f, 0.9f};
            if (entry == 1)
                return Opening{0.0f, 0.25f, 0.5f, 0.75f};
            if (entry == 2) // the thinnest opening a float allows
                return Opening{0.5f, 0.5f, std::nextafter(0.5f, 1.0f), 0.9f};
            return std::nullopt;
        });
        m.SetShapeSizeReader([](std::int32_t entry) {
            switch (entry) {
            case 0:
                return QSize(256, 256);
            case 1:
                return QSize(400, 200);
            case 2:
                return QSize(100, 300);
            default:
                return QSize(0, 0);
            }
        });
        ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 1600, 1200, 0, 0));
        m.SetToolSettings(0, true, 0.0f, 255, 50, 0);
    }
    const Photo& P() const { return std::get<Photo>(m.ItemAt(0)); }

    CollageModel m;
};

} // namespace

TEST_F(Decorating, FrameDividesTheSourceByTheOpening)
{
    QSignalSpy added(&m, &CollageModel::itemAdded);
    QSignalSpy redraw(&m, &CollageModel::redrawRequested);
    const int steps = m.HistoryLength();
    m.SetModified(false);
    ASSERT_TRUE(m.ApplyFrame(0));
    EXPECT_EQ(P().frameIndex, 1);
    EXPECT_EQ(P().baseWidth, 2000);
    EXPECT_EQ(P().baseHeight, 1500);
    EXPECT_EQ(P().frameLeft, 0.1f);
    EXPECT_EQ(P().frameBottom, 0.9f);
    // The crop is kept; the region is the new base size times the hit scale.
    EXPECT_EQ(QRect(P().cropLeft, P().cropTop, P().cropRight, P().cropBottom), QRect(0, 0, 1600, 1200));
    const float hit = P().hitScale;
    EXPECT_EQ(m.RegionAt(P().regionIndex).boundingRect().toRect(),
              QRect(0, 0, TruncToInt(2000.0f * hit), TruncToInt(1500.0f * hit)));
    EXPECT_EQ(m.HistoryLength(), steps + 1);
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(added.count(), 1);
    EXPECT_GE(redraw.count(), 1);
    EXPECT_FALSE(m.ToolSettings().toolActive); // the brush tool is switched off

    ASSERT_TRUE(m.ApplyFrame(1));
    EXPECT_EQ(P().frameIndex, 2);
    EXPECT_EQ(P().baseWidth, 3200);
    EXPECT_EQ(P().baseHeight, 2400);
    m.Undo();
    EXPECT_EQ(P().frameIndex, 1);
    EXPECT_EQ(P().baseWidth, 2000);
    m.Undo();
    EXPECT_EQ(P().frameIndex, 0);
    EXPECT_EQ(P().baseWidth, 1600);
    m.Redo();
    EXPECT_EQ(P().baseHeight, 1500);
}

TEST_F(Decorating, HostileOpeningSaturatesTheBaseSize)
{
    ASSERT_TRUE(m.ApplyFrame(2));
    EXPECT_EQ(P().baseWidth, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(P().baseHeight, 3000);
    // The region stays a rectangle from the origin with no negative side.
    const QRectF region = m.RegionAt(P().regionIndex).boundingRect();
    EXPECT_GE(region.width(), 0.0);
    EXPECT_EQ(region.left(), 0.0);
}

TEST_F(Decorating, UnreadableFrameChangesNothing)
{
    const int steps = m.HistoryLength();
    QSignalSpy added(&m, &CollageModel::itemAdded);
    EXPECT_FALSE(m.ApplyFrame(7));
    EXPECT_FALSE(m.ApplyFrame(-1));
    EXPECT_FALSE(m.ApplyFrame(std::numeric_limits<std::int32_t>::max()));
    EXPECT_EQ(P().frameIndex, 0);
    EXPECT_EQ(m.HistoryLength(), steps);
    EXPECT_EQ(added.count(), 0);
}

TEST_F(Decorating, ShapesCropTheSourceCentrallyToTheirAspect)
{
    ASSERT_TRUE(m.ApplyMask(5000)); // square
    EXPECT_EQ(P().maskIndex, 5001);
    EXPECT_EQ(QRect(QPoint(P().cropLeft, P().cropTop), QPoint(P().cropRight, P().cropBottom)),
              QRect(QPoint(200, 0), QPoint(1400, 1200)));
    EXPECT_EQ(P().baseWidth, 1200);
    EXPECT_EQ(P().baseHeight, 1200);

    ASSERT_TRUE(m.ApplyMask(5001)); // 2:1, wider than 4:3: rows are cut
    EXPECT_EQ(P().cropTop, 200);
    EXPECT_EQ(P().cropBottom, 1000);
    EXPECT_EQ(P().cropLeft, 0);
    EXPECT_EQ(P().baseWidth, 1600);
    EXPECT_EQ(P().baseHeight, 800);

    ASSERT_TRUE(m.ApplyMask(5002)); // 1:3: columns are cut, trunc((1600 - 400) x 0.5)
    EXPECT_EQ(P().cropLeft, 600);
    EXPECT_EQ(P().cropRight, 1000);
    EXPECT_EQ(P().baseWidth, 400);

    // A shape that cannot be read changes nothing, not even the mask number.
    const int steps = m.HistoryLength();
    EXPECT_FALSE(m.ApplyMask(5003));
    EXPECT_EQ(P().maskIndex, 5003);
    EXPECT_EQ(m.HistoryLength(), steps);

    m.Undo();
    EXPECT_EQ(P().cropLeft, 0);
    EXPECT_EQ(P().cropTop, 200);
    EXPECT_EQ(P().maskIndex, 5002);
}

TEST_F(Decorating, FrameAndMaskExcludeEachOther)
{
    ASSERT_TRUE(m.ApplyFrame(0));
    ASSERT_TRUE(m.ApplyMask(3));
    EXPECT_EQ(P().maskIndex, 4);
    EXPECT_EQ(P().frameIndex, 0);
    EXPECT_EQ(P().baseWidth, 2000); // a photo mask keeps the base size
    ASSERT_TRUE(m.ApplyFrame(1));
    EXPECT_EQ(P().maskIndex, 0);
    EXPECT_EQ(P().frameIndex, 2);
    ASSERT_TRUE(m.ApplyMask(5000));
    EXPECT_EQ(P().frameIndex, 0);
    EXPECT_EQ(P().maskIndex, 5001);
    EXPECT_FALSE(m.ApplyMask(-1));
    EXPECT_EQ(P().maskIndex, 5001);
}

TEST_F(Decorating, NoSelectedPhotoAsksForOne)
{
    MessageCapture messages;
    m.ClearSelection();
    QSignalSpy added(&m, &CollageModel::itemAdded);
    QSignalSpy focus(&m, &CollageModel::focusRequested);
    const int steps = m.HistoryLength();
    EXPECT_FALSE(m.ApplyFrame(0));
    m.SetToolSettings(0, true, 0.0f, 255, 50, 0);
    EXPECT_FALSE(m.ApplyMask(5000));
    EXPECT_EQ(messages.texts, (QStringList{QStringLiteral("Please select a photo on the canvas."),
                                           QStringLiteral("Please select a photo on the canvas.")}));
    EXPECT_EQ(added.count(), 2);
    EXPECT_EQ(focus.count(), 2);
    EXPECT_FALSE(m.ToolSettings().toolActive);
    EXPECT_EQ(m.HistoryLength(), steps);
    EXPECT_EQ(P().frameIndex, 0);
    EXPECT_EQ(P().maskIndex, 0);
    // An unreadable frame is not a reason to ask.
    EXPECT_FALSE(m.ApplyFrame(9));
    EXPECT_EQ(messages.texts.size(), 2);
}

TEST_F(Decorating, DroppedEntriesGoWhereTheirCategorySays)
{
    m.SetClipArtSizeReader([](std::int32_t) { return QSize(64, 32); });
    ASSERT_TRUE(m.DropLibrarySelection(5, 1, 0, 0));
    EXPECT_EQ(P().maskIndex, 5002);
    ASSERT_TRUE(m.DropLibrarySelection(1, 2, 0, 0));
    EXPECT_EQ(P().maskIndex, 3);
    ASSERT_TRUE(m.DropLibrarySelection(0, 1, 0, 0));
    EXPECT_EQ(P().frameIndex, 2);
    EXPECT_FALSE(m.DropLibrarySelection(3, 0, 0, 0));
    EXPECT_FALSE(m.DropLibrarySelection(4, 0, 0, 0));
    EXPECT_EQ(m.ItemCount(), 1);
    // Clip-art at the cursor: a 1024 x 768 canvas at zoom 0.75, scrolled.
    m.SetScroll(10, 20);
    ASSERT_TRUE(m.DropLibrarySelection(2, 4, 153, 115));
    ASSERT_EQ(m.ItemCount(), 2);
    const ClipArt& clip = std::get<ClipArt>(m.ItemAt(1));
    EXPECT_EQ(clip.sourceIndex, 4);
    EXPECT_EQ(clip.posX, static_cast<std::int32_t>((153 + 10) / 0.75f));
    EXPECT_EQ(clip.posY, static_cast<std::int32_t>((115 + 20) / 0.75f));
}
