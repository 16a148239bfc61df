#include "base/UserMessage.h"
#include "canvas/CollageModel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

namespace {

// Collects what would be shown to the user.
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

QSize FakeMeasure(const LogFont& font, const QString& text)
{
    // Deterministic, distinguishable from any real measurer: 10 px per character, the
    // font height as the line height.
    return QSize(10 * static_cast<int>(text.size()), font.lfHeight);
}

const Photo& PhotoAt(const CollageModel& m, int i)
{
    return std::get<Photo>(m.ItemAt(i));
}

void AddTwoPhotos(CollageModel& m)
{
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/a.jpg"), 400, 300, 0, 0));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/b.jpg"), 800, 600, 100, 100));
}

Text TextSettings(const QString& text, int height = 48)
{
    Text s;
    s.font.lfHeight = height;
    s.font.lfWeight = 700;
    s.font.lfItalic = 1;
    s.font.lfWidth = 9;
    s.font.SetFaceName(QStringLiteral("DejaVu Sans"));
    s.text.Set(text);
    s.style = 3;
    s.colour1 = 0x000019C6;
    s.colour2 = 0x00FFFFFF;
    s.transparency = 0.25f;
    s.angle = 33.0f; // not copied
    return s;
}

} // namespace

TEST(CollageModel, StartsWithTheDefaults)
{
    CollageModel m;
    EXPECT_EQ(m.CanvasWidth(), 1024);
    EXPECT_EQ(m.CanvasHeight(), 768);
    EXPECT_EQ(m.BackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(m.BackgroundPlacementValue(), 0);
    EXPECT_TRUE(m.BackgroundImagePath().isEmpty());
    EXPECT_EQ(m.Zoom(), 0.75f);
    EXPECT_EQ(m.HistoryIndex(), -1);
    EXPECT_FALSE(m.Modified());
    EXPECT_FALSE(m.ToolSettings().toolActive);
    EXPECT_EQ(m.ToolSettings().opacity, 255);
    EXPECT_EQ(m.ToolSettings().size, 50);
    EXPECT_EQ(m.CurrentTextSettings(), Text{});
    EXPECT_EQ(m.DisplayRect(), QRect(0, 0, 768, 576));
}

TEST(CollageModel, CanvasSizeRoundsDownToMultiplesOfFourAndRefusesUnusableSizes)
{
    CollageModel m;
    QSignalSpy redraw(&m, &CollageModel::redrawRequested);
    EXPECT_TRUE(m.SetCanvasSize(1023, 770));
    EXPECT_EQ(m.CanvasWidth(), 1020);
    EXPECT_EQ(m.CanvasHeight(), 768);
    EXPECT_EQ(redraw.count(), 1);

    for (const auto& [w, h] : {std::pair{3, 100}, std::pair{100, -8}, std::pair{32772, 100}, std::pair{100, 40000}}) {
        EXPECT_FALSE(m.SetCanvasSize(w, h)) << w << " x " << h;
        EXPECT_EQ(m.CanvasWidth(), 1020);
        EXPECT_EQ(m.CanvasHeight(), 768);
    }
    EXPECT_TRUE(m.SetCanvasSize(32768, 4));
    EXPECT_FALSE(m.Modified());
}

TEST(CollageModel, BackgroundPathMustFitItsField)
{
    CollageModel m;
    MessageCapture messages;
    QSignalSpy reload(&m, &CollageModel::backgroundChanged);
    EXPECT_TRUE(m.SetBackground(0x00112233, BackgroundPlacement::Tile, QStringLiteral("/pictures/bg.png")));
    EXPECT_EQ(reload.count(), 1);
    EXPECT_EQ(m.BackgroundPlacementValue(), 1);
    EXPECT_EQ(m.BackgroundImagePath(), QStringLiteral("/pictures/bg.png"));

    EXPECT_FALSE(m.SetBackground(0, BackgroundPlacement::Center, QString(300, QLatin1Char('p'))));
    EXPECT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(m.BackgroundImagePath(), QStringLiteral("/pictures/bg.png"));
    EXPECT_EQ(m.BackgroundColor(), 0x00112233u);
}

TEST(CollageModel, NewPhotoGetsTheDesignedRecord)
{
    CollageModel m;
    QSignalSpy history(&m, &CollageModel::historyChanged);
    QSignalSpy added(&m, &CollageModel::itemAdded);
    QSignalSpy focus(&m, &CollageModel::focusRequested);
    m.SetScroll(30, 10);
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/photos/p.jpg"), 2000, 1000, 123, 105));

    ASSERT_EQ(m.ItemCount(), 1);
    EXPECT_EQ(m.KindAt(0), ItemKind::Photo);
    const Photo& p = PhotoAt(m, 0);
    EXPECT_EQ(p.drawScale, 1792.0f / 9000.0f);
    EXPECT_EQ(p.hitScale, p.drawScale);
    EXPECT_EQ(p.posX, 204); // (123 + 30) / 0.75
    EXPECT_EQ(p.posY, 153); // (105 + 10) / 0.75, truncated
    EXPECT_EQ(p.creationOrder, -1);
    EXPECT_EQ(p.opacity, 1.0f);
    EXPECT_EQ(p.frameLeft, 0.05f);
    EXPECT_EQ(p.frameBottom, 0.95f);
    EXPECT_EQ(p.cropRight, 2000);
    EXPECT_EQ(p.cropBottom, 1000);
    EXPECT_EQ(p.baseWidth, 2000);
    EXPECT_EQ(p.baseHeight, 1000);
    EXPECT_EQ(p.selected, 1);
    EXPECT_EQ(p.path.Value(), QStringLiteral("/photos/p.jpg"));
    EXPECT_EQ(p.tuning, Tuning::Created());
    EXPECT_EQ(p.regionIndex, 0);
    EXPECT_EQ(m.RegionAt(0).boundingRect(), QRectF(0, 0, 398, 199));

    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(focus.count(), 1);

    // The next one clears the first one's selection and counts the items before it.
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/photos/q.jpg"), 100, 100, 0, 0));
    EXPECT_EQ(PhotoAt(m, 0).selected, 0);
    EXPECT_EQ(PhotoAt(m, 1).selected, 1);
    EXPECT_EQ(PhotoAt(m, 1).creationOrder, 0);
    EXPECT_EQ(m.SelectedIndex(), 1);
    EXPECT_EQ(m.SelectedPhoto(), &PhotoAt(m, 1));
}

TEST(CollageModel, PhotoWithoutSizeOrWithTooLongPathIsRefused)
{
    CollageModel m;
    MessageCapture messages;
    EXPECT_FALSE(m.AddPhoto(QStringLiteral("/p.jpg"), 0, 100, 0, 0));
    EXPECT_FALSE(m.AddPhoto(QStringLiteral("/p.jpg"), 100, -1, 0, 0));
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_FALSE(m.AddPhoto(QStringLiteral("/") + QString(259, QLatin1Char('x')), 100, 100, 0, 0));
    EXPECT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(m.ItemCount(), 0);
    EXPECT_EQ(m.HistoryIndex(), -1);
    EXPECT_FALSE(m.Modified());
}

TEST(CollageModel, AddingAnItemSwitchesTheBrushToolOff)
{
    CollageModel m;
    m.SetToolSettings(2, true, 15.0f, 128, 40, 0x0000FF);
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 10, 10, 0, 0));
    EXPECT_FALSE(m.ToolSettings().toolActive);
    EXPECT_EQ(m.ToolSettings().entryIndex, 2);
}

TEST(CollageModel, ClipArtNeedsTheLibraryToLearnItsSize)
{
    CollageModel m;
    EXPECT_FALSE(m.AddClipArt(0, 10, 10));
    m.SetClipArtSizeReader([](std::int32_t entry) { return entry == 3 ? QSize(120, 90) : QSize(); });
    EXPECT_FALSE(m.AddClipArt(2, 10, 10));
    EXPECT_EQ(m.ItemCount(), 0);

    QSignalSpy added(&m, &CollageModel::itemAdded);
    ASSERT_TRUE(m.AddClipArt(3, 153, 115));
    const ClipArt& c = std::get<ClipArt>(m.ItemAt(0));
    EXPECT_EQ(c.sourceIndex, 3);
    EXPECT_EQ(c.sourceWidth, 120);
    EXPECT_EQ(c.sourceHeight, 90);
    EXPECT_EQ(c.posX, 204);
    EXPECT_EQ(c.posY, 153);
    EXPECT_EQ(c.scale, 1.0f);
    EXPECT_EQ(c.hitScale, 1.0f);
    EXPECT_EQ(c.opacity, 1.0f);
    EXPECT_EQ(c.selected, 1);
    EXPECT_EQ(c.fromMemory, 0);
    EXPECT_EQ(m.RegionAt(c.regionIndex).boundingRect(), QRectF(0, 0, 120, 90));
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(added.count(), 1);
}

TEST(CollageModel, PictureItemCopiesItsBufferAndRecordsNoStep)
{
    CollageModel m;
    AddTwoPhotos(m);
    std::vector<std::uint8_t> pixels(260 * 260 * 4, 0x7F);
    EXPECT_FALSE(m.AddPictureItem(std::span(pixels).first(100), 260, 260));
    EXPECT_FALSE(m.AddPictureItem(pixels, 0, 260));

    ASSERT_TRUE(m.AddPictureItem(pixels, 260, 260));
    pixels.assign(pixels.size(), 0); // the model holds its own copy
    ASSERT_EQ(m.PictureBufferCount(), 1);
    EXPECT_EQ(m.PictureBufferAt(0)->pixels.front(), 0x7F);
    EXPECT_EQ(m.PictureBufferAt(1), nullptr);
    EXPECT_EQ(m.PictureBufferAt(-1), nullptr);

    const ClipArt& c = std::get<ClipArt>(m.ItemAt(2));
    EXPECT_EQ(c.fromMemory, 1);
    EXPECT_EQ(c.sourceIndex, 0);
    EXPECT_EQ(c.posX, 0);
    EXPECT_EQ(c.posY, 0);
    EXPECT_EQ(c.selected, 1);
    EXPECT_EQ(m.SelectedIndex(), 2);
    EXPECT_EQ(m.RegionAt(c.regionIndex).boundingRect(), QRectF(0, 0, 260, 260));
    EXPECT_EQ(m.HistoryIndex(), 1) << "no step for a picture item";
}

TEST(CollageModel, BrushStampTakesTheToolSettings)
{
    CollageModel m;
    m.SetBrushSizeReader([](std::int32_t) { return QSize(100, 40); });
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 10, 10, 0, 0));
    EXPECT_FALSE(m.AddBrushStamp(10, 10)) << "no brush entry chosen";

    m.SetToolSettings(4, true, 30.0f, 51, 50, 0x00332211);
    m.SetScroll(6, 0);
    QSignalSpy history(&m, &CollageModel::historyChanged);
    QSignalSpy added(&m, &CollageModel::itemAdded);
    ASSERT_TRUE(m.AddBrushStamp(150, 75));
    const BrushStamp& s = std::get<BrushStamp>(m.ItemAt(1));
    EXPECT_EQ(s.angle, 30.0f);
    EXPECT_EQ(s.sourceIndex, 4);
    EXPECT_EQ(s.opacity, 51.0f / 255.0f);
    EXPECT_EQ(s.scale, 0.5f);
    EXPECT_EQ(s.hitScale, 0.5f);
    EXPECT_EQ(s.posX, 183); // (150 + 6) / 0.75 - 100 * 0.5 / 2 = 208 - 25
    EXPECT_EQ(s.posY, 90);  // 75 / 0.75 - 40 * 0.5 / 2 = 100 - 10
    EXPECT_EQ(s.tintColor, 0x00332211u);
    EXPECT_EQ(s.selected, 0);
    EXPECT_EQ(m.SelectedIndex(), -1) << "a stamp clears every selection";
    EXPECT_EQ(m.RegionAt(s.regionIndex).boundingRect(), QRectF(0, 0, 50, 20));
    EXPECT_EQ(history.count(), 0);
    EXPECT_EQ(added.count(), 0);
    EXPECT_TRUE(m.ToolSettings().toolActive);
}

TEST(CollageModel, TextNeedsTheMeasurerAndCopiesOnlyTheDesignedSettings)
{
    CollageModel m;
    m.SetCurrentTextSettings(TextSettings(QStringLiteral("Hello")));
    EXPECT_FALSE(m.AddText()) << "no measurer: no invented box";
    EXPECT_EQ(m.ItemCount(), 0);

    m.SetTextMeasurer(FakeMeasure);
    QSignalSpy box(&m, &CollageModel::textBoxRequested);
    ASSERT_TRUE(m.AddText());
    const Text& t = std::get<Text>(m.ItemAt(0));
    EXPECT_EQ(t.font.lfHeight, 48);
    EXPECT_EQ(t.font.FaceName(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(t.font.lfWeight, 0);
    EXPECT_EQ(t.font.lfItalic, 0);
    EXPECT_EQ(t.font.lfWidth, 0);
    EXPECT_EQ(t.text.Value(), QStringLiteral("Hello"));
    EXPECT_EQ(t.style, 3);
    EXPECT_EQ(t.colour1, 0x000019C6u);
    EXPECT_EQ(t.transparency, 0.25f);
    EXPECT_EQ(t.angle, 0.0f);
    EXPECT_EQ(t.scale, 1.0f);
    EXPECT_EQ(t.boxWidth, 50);
    EXPECT_EQ(t.boxHeight, 48);
    EXPECT_EQ(t.posX, 25);
    EXPECT_EQ(t.posY, 24);
    EXPECT_EQ(t.selected, 1);
    EXPECT_EQ(t.creationOrder, -1);
    EXPECT_EQ(m.RegionAt(t.regionIndex).boundingRect(), QRectF(0, 0, 50, 48));
    EXPECT_EQ(m.HistoryIndex(), 0);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.at(0).at(0).toString(), QStringLiteral("Hello"));
}

TEST(CollageModel, SelectedTextIsReMeasuredWithoutAStep)
{
    CollageModel m;
    m.SetTextMeasurer(FakeMeasure);
    m.SetCurrentTextSettings(TextSettings(QStringLiteral("Hi")));
    ASSERT_TRUE(m.AddText());
    ASSERT_TRUE(m.SetCurrentText(QStringLiteral("Hello world")));
    EXPECT_FALSE(m.SetCurrentText(QString(1000, QLatin1Char('w'))));
    ASSERT_TRUE(m.UpdateSelectedText());
    const Text& t = std::get<Text>(m.ItemAt(0));
    EXPECT_EQ(t.text.Value(), QStringLiteral("Hello world"));
    EXPECT_EQ(t.boxWidth, 110);
    EXPECT_EQ(m.RegionAt(t.regionIndex).boundingRect(), QRectF(0, 0, 110, 48));
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_EQ(m.RegionCount(), 1) << "rebuilt in place";

    m.ClearSelection();
    EXPECT_FALSE(m.UpdateSelectedText());
}

TEST(CollageModel, TextSettingsApplyToTheSelectedTextWithoutReMeasuring)
{
    CollageModel m;
    m.SetTextMeasurer(FakeMeasure);
    m.SetCurrentTextSettings(TextSettings(QStringLiteral("Hi")));
    ASSERT_TRUE(m.AddText());
    Text settings = TextSettings(QStringLiteral("Other text"), 96);
    settings.font.SetFaceName(QStringLiteral("Liberation Serif"));
    settings.style = 6;
    settings.colour2 = 0x00FF50FF;
    settings.transparency = 0.5f;
    m.ApplyTextSettings(settings);

    EXPECT_EQ(m.CurrentTextSettings(), settings);
    const Text& t = std::get<Text>(m.ItemAt(0));
    EXPECT_EQ(t.font.FaceName(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(t.font.lfHeight, 48) << "the height stays";
    EXPECT_EQ(t.style, 6);
    EXPECT_EQ(t.colour2, 0x00FF50FFu);
    EXPECT_EQ(t.transparency, 0.5f);
    EXPECT_EQ(t.text.Value(), QStringLiteral("Hi"));
    EXPECT_EQ(t.boxWidth, 20);
}

TEST(CollageModel, DeletingKeepsTheRegionsAndDoesNotSetModified)
{
    CollageModel m;
    AddTwoPhotos(m);
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/c.jpg"), 10, 10, 0, 0));
    m.SetModified(false);
    m.SelectOnly(1);
    m.DeleteSelected();
    ASSERT_EQ(m.ItemCount(), 2);
    EXPECT_EQ(m.RegionCount(), 3);
    EXPECT_EQ(PhotoAt(m, 0).regionIndex, 0);
    EXPECT_EQ(PhotoAt(m, 1).regionIndex, 2);
    EXPECT_EQ(m.HistoryIndex(), 3);
    EXPECT_FALSE(m.Modified());

    QSignalSpy history(&m, &CollageModel::historyChanged);
    m.DeleteSelected(); // nothing selected
    EXPECT_EQ(m.ItemCount(), 2);
    EXPECT_EQ(history.count(), 0);
}

TEST(CollageModel, ResetEmptiesItemsRegionsAndHistoryButKeepsBuffers)
{
    CollageModel m;
    AddTwoPhotos(m);
    const std::vector<std::uint8_t> pixels(16, 1);
    ASSERT_TRUE(m.AddPictureItem(pixels, 2, 2));
    m.CacheOf(0).displayImage = QImage(4, 4, QImage::Format_ARGB32);
    m.ResetCanvas();
    EXPECT_EQ(m.HistoryIndex(), -1);
    EXPECT_EQ(m.HistoryLength(), 0);
    EXPECT_EQ(m.ItemCount(), 0);
    EXPECT_TRUE(m.ItemKinds().empty());
    EXPECT_EQ(m.RegionCount(), 0);
    EXPECT_EQ(m.PictureBufferCount(), 1);
    EXPECT_FALSE(m.CanUndo());
    EXPECT_FALSE(m.CanRedo());
}

TEST(CollageModel, TuningGoesToTheSelectedPhotoOrClipArt)
{
    CollageModel m;
    MessageCapture messages;
    QSignalSpy added(&m, &CollageModel::itemAdded);
    m.SetTuning(1.1f, 0.1f, 1.2f, 30.0f, 0.9f, 0.25f, false);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.texts[0], QStringLiteral("Please select a photo or clipart on the canvas."));
    EXPECT_EQ(added.count(), 1);

    AddTwoPhotos(m);
    m.SetModified(false);
    m.SetTuning(1.1f, 0.1f, 1.2f, 30.0f, 0.9f, 0.25f, false);
    const Tuning& t = PhotoAt(m, 1).tuning;
    EXPECT_EQ(t.tuneOn, 1);
    EXPECT_EQ(t.tuneScale, 1.1f);
    EXPECT_EQ(t.tuneOffset, 0.1f);
    EXPECT_EQ(t.tuneSaturation, 1.2f);
    EXPECT_EQ(t.tuneHue, 30.0f);
    EXPECT_EQ(t.tuneGamma, 0.9f);
    EXPECT_EQ(t.tuneRotation, 0.25f);
    EXPECT_EQ(PhotoAt(m, 0).tuning, Tuning::Created());
    EXPECT_EQ(m.HistoryIndex(), 2);
    EXPECT_TRUE(m.Modified());

    m.SetTuning(1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.125f, true);
    EXPECT_EQ(PhotoAt(m, 1).tuning, Tuning::Created());
}

TEST(CollageModel, CropSetsTheBaseSizeAndRebuildsTheRegionInPlace)
{
    CollageModel m;
    EXPECT_FALSE(m.SetCrop(0, 0, 10, 10)) << "no photo selected";
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 2000, 1000, 0, 0));
    m.CacheOf(0).displayImage = QImage(8, 8, QImage::Format_ARGB32);
    m.CacheOf(0).frameImage = QImage(8, 8, QImage::Format_ARGB32);
    m.SetModified(false);

    EXPECT_FALSE(m.SetCrop(100, 100, 100, 500)) << "an empty crop";
    ASSERT_TRUE(m.SetCrop(100, 50, 1100, 550));
    const Photo& p = PhotoAt(m, 0);
    EXPECT_EQ(p.cropLeft, 100);
    EXPECT_EQ(p.cropBottom, 550);
    EXPECT_EQ(p.baseWidth, 1000);
    EXPECT_EQ(p.baseHeight, 500);
    EXPECT_EQ(p.sourceWidth, 2000);
    EXPECT_EQ(m.RegionCount(), 1);
    EXPECT_EQ(m.RegionAt(0).boundingRect(), QRectF(0, 0, 199, 99));
    EXPECT_TRUE(m.FindCache(0)->displayImage.isNull());
    EXPECT_TRUE(m.FindCache(0)->frameImage.isNull());
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(m.HistoryIndex(), 1);
}

TEST(CollageModel, ZoomResetsTheScrollAndDropsPhotoImages)
{
    CollageModel m;
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 20, 20, 0, 0));
    m.CacheOf(0).displayImage = QImage(8, 8, QImage::Format_ARGB32);
    m.CacheOf(0).hasScreenRegion = true;
    m.SetScroll(40, 50);
    EXPECT_FALSE(m.SetZoom(0.0f));
    EXPECT_FALSE(m.SetZoom(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(m.ScrollX(), 40);
    ASSERT_TRUE(m.SetZoom(1.25f));
    EXPECT_EQ(m.ScrollX(), 0);
    EXPECT_EQ(m.ScrollY(), 0);
    EXPECT_EQ(m.Zoom(), 1.25f);
    EXPECT_TRUE(m.FindCache(0)->displayImage.isNull());
    EXPECT_TRUE(m.FindCache(0)->hasScreenRegion) << "only the images are dropped";
    EXPECT_EQ(m.DisplayRect(), QRect(0, 0, 1280, 960));
}

TEST(CollageModel, ClientCoordinatesUseScrollAndZoom)
{
    CollageModel m;
    m.SetScroll(10, 20);
    EXPECT_EQ(m.ClientToView(5, 5), QPoint(15, 25));
    EXPECT_EQ(m.ClientToCanvas(5, 5), QPoint(20, 33)); // 15 / 0.75, 25 / 0.75 truncated
    EXPECT_EQ(m.ClientToCanvas(-50, 0), QPoint(-53, 26));
    // Vertical: 768 x 0.75 - 500 + 17; horizontal: 1024 x 0.75 - 900 + 17 is negative.
    EXPECT_EQ(m.ScrollRanges(QSize(900, 500)), QSize(0, 93));
}

TEST(CollageModel, ZOrderOperationsKeepKindsInStepAndRecordSteps)
{
    CollageModel m;
    m.SetClipArtSizeReader([](std::int32_t) { return QSize(10, 10); });
    m.SetTextMeasurer(FakeMeasure);
    m.SetCurrentTextSettings(TextSettings(QStringLiteral("T")));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 10, 10, 0, 0)); // 0 Photo
    ASSERT_TRUE(m.AddClipArt(0, 0, 0));                              // 1 ClipArt
    ASSERT_TRUE(m.AddText());                                        // 2 Text (selected)
    m.SetModified(false);
    const auto kinds = [&m] {
        std::vector<ItemKind> k;
        for (int i = 0; i < m.ItemCount(); ++i) {
            EXPECT_EQ(m.KindAt(i), KindOf(m.ItemAt(i)));
            k.push_back(m.KindAt(i));
        }
        return k;
    };
    using K = ItemKind;

    const int steps = m.HistoryIndex();
    m.BringForward();
    m.BringToFront();
    EXPECT_EQ(m.HistoryIndex(), steps) << "already on top";

    m.SendBackward();
    EXPECT_EQ(kinds(), (std::vector{K::Photo, K::Text, K::ClipArt}));
    EXPECT_EQ(m.SelectedIndex(), 1);
    m.SendToBack();
    EXPECT_EQ(kinds(), (std::vector{K::Text, K::Photo, K::ClipArt}));
    m.SendBackward();
    m.SendToBack();
    EXPECT_EQ(m.HistoryIndex(), steps + 2) << "already at the bottom";
    m.BringForward();
    EXPECT_EQ(kinds(), (std::vector{K::Photo, K::Text, K::ClipArt}));
    m.SendToBack();
    m.BringToFront();
    EXPECT_EQ(kinds(), (std::vector{K::Photo, K::ClipArt, K::Text}));
    EXPECT_EQ(m.SelectedIndex(), 2);
    EXPECT_EQ(m.HistoryIndex(), steps + 5);
    EXPECT_FALSE(m.Modified());

    m.ClearSelection();
    m.BringToFront();
    m.SendToBack();
    EXPECT_EQ(m.HistoryIndex(), steps + 5) << "nothing selected";
}

TEST(CollageModel, UndoToEmptyAndRedoBack)
{
    CollageModel m;
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 100, 50, 40, 40));
    const Photo added = PhotoAt(m, 0);
    m.SetModified(false);
    m.Undo();
    EXPECT_EQ(m.ItemCount(), 0);
    EXPECT_EQ(m.HistoryIndex(), -1);
    EXPECT_TRUE(m.Modified());
    EXPECT_FALSE(m.CanUndo());
    EXPECT_TRUE(m.CanRedo());
    m.Undo(); // nothing left
    EXPECT_EQ(m.HistoryIndex(), -1);

    m.Redo();
    ASSERT_EQ(m.ItemCount(), 1);
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_EQ(PhotoAt(m, 0), added);
    EXPECT_FALSE(m.CanRedo());
    m.Redo();
    EXPECT_EQ(m.HistoryIndex(), 0);
}

TEST(CollageModel, AStepAfterTwoUndosDiscardsTheNewerSnapshots)
{
    CollageModel m;
    AddTwoPhotos(m);
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/c.jpg"), 10, 10, 0, 0));
    ASSERT_EQ(m.HistoryLength(), 3);
    m.Undo();
    m.Undo();
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_EQ(m.ItemCount(), 1);
    m.SelectOnly(0);
    m.DeleteSelected();
    EXPECT_EQ(m.HistoryLength(), 2);
    EXPECT_EQ(m.HistoryIndex(), 1);
    EXPECT_FALSE(m.CanRedo());
    m.Undo();
    ASSERT_EQ(m.ItemCount(), 1);
    EXPECT_EQ(PhotoAt(m, 0).path.Value(), QStringLiteral("/a.jpg"));
}

TEST(CollageModel, UndoRestoresSelectionAndZeroesCachesAndRegions)
{
    CollageModel m;
    m.SetTextMeasurer(FakeMeasure);
    AddTwoPhotos(m); // b selected, step 1
    m.SelectOnly(0);
    m.RecordStep(); // a plain click: step 2, a selected
    ASSERT_TRUE(m.SetCrop(0, 0, 100, 100)); // step 3: a's region shrinks
    m.CacheOf(0).displayImage = QImage(4, 4, QImage::Format_ARGB32);
    m.CacheOf(1).hasScreenRegion = true;

    m.Undo(); // back to step 2
    EXPECT_EQ(m.SelectedIndex(), 0);
    EXPECT_EQ(m.FindCache(0), nullptr);
    EXPECT_EQ(m.FindCache(1), nullptr);
    EXPECT_EQ(PhotoAt(m, 0).baseWidth, 400);
    const float s = PhotoAt(m, 0).hitScale;
    EXPECT_EQ(m.RegionAt(0).boundingRect(), QRectF(0, 0, TruncToInt(400 * s), TruncToInt(300 * s)));
    EXPECT_EQ(m.RegionCount(), 2);
    m.Undo(); // step 1
    EXPECT_EQ(m.SelectedIndex(), 1);
    m.Redo();
    m.Redo();
    EXPECT_EQ(PhotoAt(m, 0).baseWidth, 100);
    EXPECT_EQ(m.RegionAt(0).boundingRect(), QRectF(0, 0, TruncToInt(100 * s), TruncToInt(100 * s)));
}

TEST(CollageModel, UndoAlsoRefitsARegionThatATextUpdateChanged)
{
    CollageModel m;
    m.SetTextMeasurer(FakeMeasure);
    m.SetCurrentTextSettings(TextSettings(QStringLiteral("Hi")));
    ASSERT_TRUE(m.AddText());
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p.jpg"), 10, 10, 0, 0));
    m.SelectOnly(0);
    ASSERT_TRUE(m.SetCurrentText(QStringLiteral("A much longer text")));
    ASSERT_TRUE(m.UpdateSelectedText());
    EXPECT_EQ(m.RegionAt(0).boundingRect().width(), 180);
    m.Undo(); // the text item as it was at step 0
    const Text& t = std::get<Text>(m.ItemAt(0));
    EXPECT_EQ(t.boxWidth, 20);
    EXPECT_EQ(m.RegionAt(t.regionIndex).boundingRect().width(), 20);
}

TEST(CollageModel, HistoryBudgetKeepsUndoAndRedoWithinIt)
{
    CollageModel m;
    // Each snapshot of n photos holds n x 404 bytes plus a small overhead.
    m.SetHistoryBudget(5000);
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p%1.jpg").arg(i), 10, 10, 0, 0));
    EXPECT_TRUE(m.HistoryTrimmed());
    EXPECT_LE(m.HistoryBytes(), 5000u);
    const int kept = m.HistoryLength();
    EXPECT_GT(kept, 1);
    EXPECT_LT(kept, 6);
    EXPECT_EQ(m.HistoryIndex(), kept - 1);

    // Undo walks back to the oldest kept snapshot and stops there, with its items.
    for (int i = 0; i < 10; ++i)
        m.Undo();
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_FALSE(m.CanUndo());
    EXPECT_EQ(m.ItemCount(), 6 - kept + 1);
    for (int i = 0; i < 10; ++i)
        m.Redo();
    EXPECT_EQ(m.ItemCount(), 6);
    EXPECT_EQ(m.HistoryIndex(), kept - 1);

    // A single snapshot over the budget is kept all the same.
    m.SetHistoryBudget(10);
    EXPECT_EQ(m.HistoryLength(), 1);
    m.ClearHistory();
    EXPECT_FALSE(m.HistoryTrimmed());
    EXPECT_EQ(m.HistoryBytes(), 0u);
}
