// Auto Layout (10960) in the main window: from the photo library's menu it lays out the
// selected library photos in the order they were selected, from the canvas's menu it
// re-arranges the collage's photos only; the frame option frames every photo; one Undo
// takes the whole layout back.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "base/DataFolder.h"
#include "base/UserMessage.h"
#include "canvas/CanvasWnd.h"
#include "library/LibraryGrid.h"
#include "library/LibraryPanel.h"
#include "library/PhotoGrid.h"
#include "library/PhotoLibraryPanel.h"
#include "ui/CVelComboBox.h"
#include "ui/dialogs/AutoLayoutDialog.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct LibraryFileScope {
    QString file = DataFolder() + QStringLiteral("VelMedia");
    LibraryFileScope() { QFile::remove(file); }
    ~LibraryFileScope() { QFile::remove(file); }
};

// Catches the messages to the user for one test.
struct MessageScope {
    QStringList texts;
    MessageHandler previous;
    MessageScope()
    {
        previous = SetMessageHandler([this](MessageKind, const QString& text) { texts << text; });
    }
    ~MessageScope() { SetMessageHandler(previous); }
};

// Runs `act` on the Auto Layout dialog as soon as it is open; counts the openings.
int opened = 0;
template <typename Act>
void WhenLayoutOpens(Act act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<AutoLayoutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ++opened;
        act(*dialog);
    });
}

QString WritePhoto(const QTemporaryDir& dir, const QString& name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

void AddToLibrary(library::PhotoLibraryPanel& panel, const QString& path, QSize size)
{
    std::optional<library::PhotoRecord> record = library::RecordForPath(path);
    ASSERT_TRUE(record.has_value());
    record->width = size.width();
    record->height = size.height();
    ASSERT_TRUE(panel.Library().Add(*record, {}).has_value());
}

void TriggerFromMenu(MainFrame& frame, MainFrame::MenuId menu)
{
    QAction* action = frame.MenuAction(menu, cmd::kAutoLayout);
    ASSERT_NE(action, nullptr);
    frame.UpdateCommandStates();
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
}

std::vector<const Photo*> PhotosOf(const CollageModel& model)
{
    std::vector<const Photo*> photos;
    for (int i = 0; i < model.ItemCount(); ++i)
        if (const auto* p = std::get_if<Photo>(&model.ItemAt(i)))
            photos.push_back(p);
    return photos;
}

} // namespace

TEST(MainFrameAutoLayout, FromTheLibraryLaysOutTheSelectionInSelectionOrderAndOneUndoTakesItBack)
{
    LibraryFileScope scope;
    MessageScope messages;
    QTemporaryDir dir;
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    library::PhotoLibraryPanel* panel = frame.PhotoPanel();
    ASSERT_NE(panel, nullptr);
    const QSize sizes[] = {{400, 300}, {300, 400}, {500, 250}, {200, 200}};
    QStringList paths;
    for (int i = 0; i < 4; ++i) {
        paths << WritePhoto(dir, QStringLiteral("p%1.png").arg(i), sizes[i], QColor(60 * i, 100, 200));
        AddToLibrary(*panel, paths.last(), sizes[i]);
    }
    CollageModel& model = frame.Canvas().Model();
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.IsCommandEnabled(cmd::kAutoLayout)); // no photo anywhere yet

    // Select 2, then 0, then 3 with Ctrl, then 1 too; photo 1's file is gone.
    library::PhotoGrid& grid = panel->Grid();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellBox(2).center());
    for (int cell : {0, 3, 1})
        QTest::mouseClick(&grid, Qt::LeftButton, Qt::ControlModifier, grid.CellBox(cell).center());
    EXPECT_EQ(grid.SelectedPositionsInOrder(), (std::vector<int>{2, 0, 3, 1}));
    ASSERT_TRUE(QFile::remove(paths[1]));
    EXPECT_TRUE(frame.IsCommandEnabled(cmd::kAutoLayout));

    opened = 0;
    WhenLayoutOpens([](AutoLayoutDialog& dialog) {
        EXPECT_EQ(dialog.OrderedPhotos().size(), 3u);
        QTest::mouseClick(dialog.ModeButton(autolayout::Mode::Grid), Qt::LeftButton);
        QTest::mouseClick(dialog.ApplyButton(), Qt::LeftButton);
    });
    TriggerFromMenu(frame, MainFrame::MenuId::PhotoContext);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(messages.texts.isEmpty());

    // Added in selection order, laid out in reading order, not overlapping.
    const std::vector<const Photo*> photos = PhotosOf(model);
    ASSERT_EQ(photos.size(), 3u);
    EXPECT_EQ(photos[0]->path.Value(), paths[2]);
    EXPECT_EQ(photos[1]->path.Value(), paths[0]);
    EXPECT_EQ(photos[2]->path.Value(), paths[3]);
    // Photos are centred in their cells: a row shares its centre line.
    const auto centreY = [](const Photo& p) { return p.posY + p.baseHeight * p.drawScale / 2; };
    for (std::size_t i = 1; i < photos.size(); ++i) {
        const float down = centreY(*photos[i]) - centreY(*photos[i - 1]);
        const bool later = down > 4 || (std::abs(down) <= 4 && photos[i]->posX > photos[i - 1]->posX);
        EXPECT_TRUE(later) << i;
    }

    // Moving one photo, then undoing twice: the move, then the whole layout.
    const int steps = model.HistoryIndex();
    std::get<Photo>(model.ItemAt(0)).posX += 30;
    model.RecordStep();
    ASSERT_TRUE(frame.OnCommand(cmd::kUndo));
    EXPECT_EQ(model.HistoryIndex(), steps);
    EXPECT_EQ(model.ItemCount(), 3);
    ASSERT_TRUE(frame.OnCommand(cmd::kUndo));
    EXPECT_EQ(model.ItemCount(), 0);
}

TEST(MainFrameAutoLayout, FromTheCanvasRearrangesOnlyThePhotos)
{
    LibraryFileScope scope;
    QTemporaryDir dir;
    MainFrame frame;
    CollageModel& model = frame.Canvas().Model();
    const QString a = WritePhoto(dir, QStringLiteral("a.png"), {400, 300}, Qt::red);
    const QString b = WritePhoto(dir, QStringLiteral("b.png"), {300, 400}, Qt::blue);
    ASSERT_TRUE(model.AddPhoto(a, 400, 300, 0, 0));
    ASSERT_TRUE(model.AddPictureItem(std::vector<std::uint8_t>(10 * 10 * 4, 7), 10, 10));
    std::get<ClipArt>(model.ItemAt(1)).posX = 123;
    ASSERT_TRUE(model.AddPhoto(b, 300, 400, 0, 0));
    // A selection in the library does not matter from the canvas's menu.
    AddToLibrary(*frame.PhotoPanel(), WritePhoto(dir, QStringLiteral("c.png"), {50, 50}, Qt::green), {50, 50});
    frame.PhotoPanel()->Library().SetSelection({0});
    const ClipArt clipArt = std::get<ClipArt>(model.ItemAt(1));

    opened = 0;
    WhenLayoutOpens([](AutoLayoutDialog& dialog) {
        EXPECT_EQ(dialog.OrderedPhotos().size(), 2u);
        QTest::mouseClick(dialog.ModeButton(autolayout::Mode::Mosaic), Qt::LeftButton);
        QTest::mouseClick(dialog.ApplyButton(), Qt::LeftButton);
    });
    TriggerFromMenu(frame, MainFrame::MenuId::CanvasContext);
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(model.ItemCount(), 3);
    ClipArt kept = clipArt;
    kept.selected = 0;
    EXPECT_EQ(std::get<ClipArt>(model.ItemAt(1)), kept);
    const auto& pa = std::get<Photo>(model.ItemAt(0));
    const auto& pb = std::get<Photo>(model.ItemAt(2));
    EXPECT_EQ(pa.path.Value(), a);
    EXPECT_EQ(pb.path.Value(), b);
    // Mosaic: one row, side by side, as high as each other.
    EXPECT_NEAR(pa.baseHeight * pa.drawScale, pb.baseHeight * pb.drawScale, 4.0f);
    EXPECT_GT(pb.posX, pa.posX);

    // Cancel changes nothing.
    const int steps = model.HistoryIndex();
    WhenLayoutOpens([](AutoLayoutDialog& dialog) { QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton); });
    TriggerFromMenu(frame, MainFrame::MenuId::CanvasContext);
    EXPECT_EQ(model.HistoryIndex(), steps);
}

TEST(MainFrameAutoLayout, TheFrameOptionFramesEveryPhotoAndOneUndoRemovesThemAll)
{
    LibraryFileScope scope;
    QTemporaryDir data;
    QTemporaryDir dir;
    MainFrame frame;
    frame.UseLibraryFolder(data.path() + QStringLiteral("/")); // the starter frames
    CollageModel& model = frame.Canvas().Model();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(model.AddPhoto(WritePhoto(dir, QStringLiteral("%1.png").arg(i), {320, 240}, Qt::darkCyan), 320,
                                   240, 10 * i, 10 * i));
    model.RecordStep();
    const int steps = model.HistoryIndex();
    std::vector<Photo> before;
    for (const Photo* p : PhotosOf(model))
        before.push_back(*p);

    WhenLayoutOpens([](AutoLayoutDialog& dialog) {
        library::LibraryPanel* frames = dialog.FramePanel();
        ASSERT_GT(frames->Count(), 0);
        QTest::mouseClick(frames, Qt::LeftButton, {}, library::CellRect(0, 3, 0).center());
        EXPECT_EQ(dialog.CurrentChoices().frameEntry, 0);
        QTest::mouseClick(dialog.ApplyButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(frame.OnCommand(cmd::kAutoLayout)); // the Edit menu: the collage's photos
    for (const Photo* p : PhotosOf(model))
        EXPECT_EQ(p->frameIndex, 1);
    EXPECT_EQ(model.HistoryIndex(), steps + 1);

    ASSERT_TRUE(frame.OnCommand(cmd::kUndo));
    const std::vector<const Photo*> after = PhotosOf(model);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        Photo expected = before[i];
        expected.selected = after[i]->selected;
        EXPECT_EQ(*after[i], expected) << i;
    }
}

TEST(MainFrameAutoLayout, WithoutPhotosTheUserIsTold)
{
    LibraryFileScope scope;
    MessageScope messages;
    QTemporaryDir dir;
    MainFrame frame;
    CollageModel& model = frame.Canvas().Model();
    ASSERT_TRUE(model.AddPhoto(WritePhoto(dir, QStringLiteral("a.png"), {40, 30}, Qt::red), 40, 30, 0, 0));
    // Enabled (a photo on the collage), but the library has no selection.
    TriggerFromMenu(frame, MainFrame::MenuId::PhotoContext);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("photo library")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
