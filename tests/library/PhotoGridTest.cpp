// The photo library's window side through real mouse, key and drop events: the grid's
// selection rules, the button band, Add to Canvas, dragging to the canvas, import with
// Stop, file drops and the library found again after a save.

#include "library/PhotoGrid.h"
#include "library/PhotoImportProgress.h"
#include "library/PhotoLibraryPanel.h"

#include "base/UserMessage.h"
#include "canvas/CanvasScrollBar.h"
#include "canvas/CanvasWnd.h"
#include "editing/PictureFiles.h"
#include "support/PictureTestSupport.h"
#include "ui/skin/SkinButton.h"

#include <QApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace library;

namespace {

struct MessageCatcher {
    QStringList texts;
    MessageHandler previous;
    MessageCatcher()
    {
        previous = SetMessageHandler([this](MessageKind, const QString& text) { texts << text; });
    }
    ~MessageCatcher() { SetMessageHandler(previous); }
};

// A window holding the library column at the left and the canvas at the right.
struct Stage {
    static constexpr QRect kColumn{0, 0, 154, 300};
    static constexpr QRect kCanvas{200, 0, 500, 400};

    QTemporaryDir dir;
    QWidget window;
    CanvasWnd* canvas;
    PhotoLibraryPanel* panel;
    std::vector<QString> files;

    Stage()
        : canvas(new CanvasWnd(&window))
        , panel(new PhotoLibraryPanel({*canvas, &window}))
    {
        window.resize(720, 420);
        panel->setGeometry(kColumn);
        canvas->setGeometry(kCanvas);
        canvas->SetCanvasSize(800, 600);
        panel->SetLibraryFile(dir.filePath(QStringLiteral("VelMedia")));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QString Picture(int n, QSize size = QSize(40, 30))
    {
        const QString path = dir.filePath(QStringLiteral("photo%1.png").arg(n, 3, 10, QLatin1Char('0')));
        EXPECT_TRUE(testpics::Quadrants(size.width(), size.height()).save(path));
        return path;
    }

    // count photos straight into the library (one real thumbnail shared by all).
    void Fill(int count)
    {
        const QString first = Picture(0);
        const std::vector<std::uint8_t> thumbnail = MakeThumbnail(first);
        ASSERT_FALSE(thumbnail.empty());
        for (int i = 0; i < count; ++i) {
            const QString path =
                i == 0 ? first : dir.filePath(QStringLiteral("photo%1.png").arg(i, 3, 10, QLatin1Char('0')));
            if (i > 0 && count <= 50) // big libraries only fill the grid: their files need not exist
                QFile::copy(first, path);
            std::optional<PhotoRecord> record = RecordForPath(path);
            ASSERT_TRUE(record);
            record->width = 40;
            record->height = 30;
            ASSERT_TRUE(panel->Library().Add(*record, thumbnail));
            files.push_back(path);
        }
    }

    PhotoGrid& Grid() { return panel->Grid(); }
    QPoint CellCentre(int cell) { return Grid().CellBox(cell).center(); }
    std::vector<int> Selected() { return Grid().Selection().SelectedCells(); }
    int Items() { return canvas->Model().ItemCount(); }
    // Where a photo added at this point of the canvas window lands on the collage.
    QPoint AtClient(QPoint client) { return canvas->Model().ClientToCanvas(client.x(), client.y()); }
};

// A move with the left button held, then the release, at points of the grid's coordinates.
void DragTo(QWidget& grid, QPoint from, QPoint to)
{
    QTest::mousePress(&grid, Qt::LeftButton, {}, from);
    const QPoint mid = from + QPoint(QApplication::startDragDistance() + 2, 0);
    for (QPoint p : {mid, to}) {
        QMouseEvent move(QEvent::MouseMove, p, grid.mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&grid, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, to, grid.mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&grid, &release);
}

std::unique_ptr<QMimeData> Urls(const QStringList& paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    return mime;
}

// Sends a file-manager drop to a widget at a point; true when the drop was accepted.
bool Drop(QWidget& target, QPoint at, const QStringList& paths)
{
    const auto mime = Urls(paths);
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

bool WaitForImport(PhotoLibraryPanel& panel, PhotoImporter::Outcome* outcome = nullptr)
{
    QSignalSpy done(&panel, &PhotoLibraryPanel::importFinished);
    if (!panel.Importer().busy() && done.isEmpty())
        return false;
    if (!done.wait(60000))
        return false;
    if (outcome != nullptr)
        *outcome = done.first().first().value<PhotoImporter::Outcome>();
    return true;
}

} // namespace

TEST(PhotoGrid, ClickCtrlShiftRubberBandKeysFollowTheFileManagerRules)
{
    Stage stage;
    stage.Fill(9); // two columns in a 154-pixel column
    PhotoGrid& grid = stage.Grid();
    ASSERT_EQ(grid.Columns(), 2);
    QSignalSpy indexes(&grid, &PhotoGrid::selectionChanged);
    QSignalSpy state(&grid, &PhotoGrid::selectionStateChanged);

    QTest::mouseClick(&grid, Qt::LeftButton, {}, stage.CellCentre(1));
    EXPECT_EQ(stage.Selected(), std::vector<int>({1}));
    ASSERT_EQ(indexes.size(), 1);
    EXPECT_EQ(indexes.last().first().value<std::vector<std::int32_t>>(), std::vector<std::int32_t>({1}));
    EXPECT_EQ(state.size(), 1);
    EXPECT_TRUE(stage.panel->Library().IsSelected(1));

    QTest::mouseClick(&grid, Qt::LeftButton, Qt::ControlModifier, stage.CellCentre(4));
    EXPECT_EQ(stage.Selected(), std::vector<int>({1, 4}));
    // The anchor is now 4 (Ctrl selected it): Shift reaches from there.
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::ShiftModifier, stage.CellCentre(6));
    EXPECT_EQ(stage.Selected(), std::vector<int>({4, 5, 6}));
    // Ctrl on a selected cell takes it out.
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::ControlModifier, stage.CellCentre(5));
    EXPECT_EQ(stage.Selected(), std::vector<int>({4, 6}));
    EXPECT_EQ(stage.panel->Library().SelectedIndexes(), std::vector<std::int32_t>({4, 6}));

    // Between the boxes is empty space: the selection clears.
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(stage.Selected().empty());

    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(stage.Selected(), std::vector<int>({0})); // nothing current: the first cell
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(stage.Selected(), std::vector<int>({2}));
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(stage.Selected(), std::vector<int>({3}));
    QTest::keyClick(&grid, Qt::Key_Right); // across the row's end
    EXPECT_EQ(stage.Selected(), std::vector<int>({4}));
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(stage.Selected().size(), 9u);

    // A rubber band from empty space over the first row's thumbnails selects those only.
    const QPoint from(2, 2);
    const QPoint to(stage.CellCentre(1).x(), stage.CellCentre(1).y());
    QTest::mousePress(&grid, Qt::LeftButton, {}, from);
    EXPECT_TRUE(stage.Selected().empty());
    QMouseEvent move(QEvent::MouseMove, to, grid.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&grid, &move);
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, to);
    EXPECT_EQ(stage.Selected(), std::vector<int>({0, 1}));

    // Right-click on a selected cell keeps the selection and asks for the menu there.
    QSignalSpy menu(&grid, &PhotoGrid::contextMenuRequested);
    QTest::mouseClick(&grid, Qt::RightButton, {}, stage.CellCentre(1));
    EXPECT_EQ(stage.Selected(), std::vector<int>({0, 1}));
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.first().first().toPoint(), grid.mapToGlobal(stage.CellCentre(1)));
    // ... on another cell it selects as a click does.
    QTest::mouseClick(&grid, Qt::RightButton, {}, stage.CellCentre(7));
    EXPECT_EQ(stage.Selected(), std::vector<int>({7}));
    EXPECT_EQ(menu.size(), 2);
}

TEST(PhotoGrid, TheBottomBandHitsNoCellAndTheButtonAsksToAdd)
{
    Stage stage;
    stage.Fill(12);
    PhotoGrid& grid = stage.Grid();
    grid.parentWidget()->resize(154, 200); // a box of the third row covers the band's top line
    grid.resize(154, 200);
    const int bandTop = grid.height() - kPhotoGrid.buttonBand;
    const QRect box = grid.CellBox(4);
    ASSERT_TRUE(box.top() < bandTop && box.bottom() >= bandTop) << "a box must reach into the band";

    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(box.center().x(), bandTop));
    EXPECT_TRUE(stage.Selected().empty());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(box.center().x(), bandTop - 1));
    EXPECT_EQ(stage.Selected(), std::vector<int>({4}));

    // The button spans the bottom; its click is "add", not a cell.
    SkinButton* button = grid.AddButton();
    EXPECT_EQ(button->geometry(),
              QRect(0, grid.height() - kPhotoGrid.buttonHeight, grid.width(), kPhotoGrid.buttonHeight));
    QSignalSpy add(&grid, &PhotoGrid::addRequested);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(box.center().x(), 10));
    EXPECT_EQ(add.size(), 1);
    EXPECT_EQ(stage.Selected(), std::vector<int>({4}));
}

TEST(PhotoLibraryPanel, AddToCanvasNeedsACurrentPhotoWhoseFileExists)
{
    Stage stage;
    stage.Fill(3);
    MessageCatcher messages;

    // Nothing selected: the button shows the message, the canvas stays empty.
    QTest::mouseClick(stage.Grid().AddButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(messages.texts, QStringList({QStringLiteral("Please select a photo to add. ")}));
    EXPECT_EQ(stage.Items(), 0);

    // A double-click on a thumbnail adds it at a fifth of the canvas window.
    QTest::mouseClick(&stage.Grid(), Qt::LeftButton, {}, stage.CellCentre(2));
    QTest::mouseDClick(&stage.Grid(), Qt::LeftButton, {}, stage.CellCentre(2));
    ASSERT_EQ(stage.Items(), 1) << messages.texts.join(QLatin1Char('|')).toStdString();
    const Photo& photo = std::get<Photo>(stage.canvas->Model().ItemAt(0));
    const QPoint fifth(Stage::kCanvas.width() / 5, Stage::kCanvas.height() / 5);
    EXPECT_EQ(QPoint(photo.posX, photo.posY), stage.AtClient(fifth));
    EXPECT_EQ(QString::fromUtf8(photo.path.Bytes()), stage.files[2]);

    // The file has gone: nothing is added and nothing is said.
    ASSERT_TRUE(QFile::remove(stage.files[2]));
    EXPECT_FALSE(stage.panel->AddToCanvas());
    EXPECT_EQ(stage.Items(), 1);
    EXPECT_EQ(messages.texts.size(), 1);

    // A double-click on an empty place with nothing selected asks for a photo.
    QTest::mouseClick(&stage.Grid(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseDClick(&stage.Grid(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(messages.texts.size(), 2);
    EXPECT_EQ(stage.Items(), 1);
}

TEST(PhotoLibraryPanel, ADraggedThumbnailIsAddedOnlyWhereItIsReleasedOverTheCanvas)
{
    Stage stage;
    stage.Fill(4);
    PhotoGrid& grid = stage.Grid();

    // Released in the empty strip between the column and the canvas: nothing.
    const QPoint gap = grid.mapFrom(&stage.window, QPoint(180, 100));
    DragTo(grid, stage.CellCentre(1), gap);
    EXPECT_EQ(stage.Items(), 0);
    EXPECT_FALSE(grid.Dragging());
    // Released back over the grid: nothing either.
    DragTo(grid, stage.CellCentre(1), stage.CellCentre(3));
    EXPECT_EQ(stage.Items(), 0);

    // Released over the canvas: added at the release point of the canvas window.
    const QPoint onCanvas(123, 77);
    DragTo(grid, stage.CellCentre(1), grid.mapFrom(&stage.window, Stage::kCanvas.topLeft() + onCanvas));
    ASSERT_EQ(stage.Items(), 1);
    const Photo& photo = std::get<Photo>(stage.canvas->Model().ItemAt(0));
    EXPECT_EQ(QPoint(photo.posX, photo.posY), stage.AtClient(onCanvas));
    EXPECT_EQ(QString::fromUtf8(photo.path.Bytes()), stage.files[1]);
}

TEST(PhotoLibraryPanel, ImportRunsInTheBackgroundAndStopsOnStop)
{
    Stage stage;
    QStringList paths;
    for (int i = 0; i < 40; ++i)
        paths << stage.Picture(i, QSize(900, 700));
    QStringList chosen;
    stage.panel->SetFileChooser([&](QWidget*) { return chosen; });

    // Cancelled dialog: nothing starts.
    EXPECT_FALSE(stage.panel->Import());
    EXPECT_FALSE(stage.panel->Importer().busy());

    chosen = paths.mid(0, 3);
    ASSERT_TRUE(stage.panel->Import());
    EXPECT_TRUE(stage.panel->Progress().isVisible());
    EXPECT_FALSE(stage.panel->Import()); // one import at a time
    PhotoImporter::Outcome outcome;
    ASSERT_TRUE(WaitForImport(*stage.panel, &outcome));
    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::Completed);
    EXPECT_EQ(stage.panel->Library().Visible().size(), 3u);
    EXPECT_FALSE(stage.panel->Progress().isVisible());

    // The rest, stopped by the progress window's button as soon as the first path shows.
    PhotoImportProgress& progress = stage.panel->Progress();
    bool pressed = false;
    QObject::connect(&stage.panel->Importer(), &PhotoImporter::progress, &progress, [&] {
        if (pressed)
            return;
        pressed = true;
        EXPECT_FALSE(progress.CurrentPath().isEmpty());
        QTest::mouseClick(progress.StopButton(), Qt::LeftButton, {}, QPoint(10, 10));
    });
    chosen = paths.mid(3);
    ASSERT_TRUE(stage.panel->Import());
    ASSERT_TRUE(WaitForImport(*stage.panel, &outcome));
    EXPECT_TRUE(pressed);
    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::Stopped);
    EXPECT_LT(stage.panel->Library().Visible().size(), 40u);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(stage.panel->Importer().busy());
    EXPECT_EQ(stage.Grid().Selection().count(), int(stage.panel->Library().Visible().size()));
}

TEST(PhotoLibraryPanel, FilesDroppedOnTheLibraryAreImportedAndOnTheCanvasAlsoAdded)
{
    Stage stage;
    const QString a = stage.Picture(1);
    const QString b = stage.Picture(2);
    const QString text = stage.dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(testpics::WriteFile(text, "not a picture"));

    EXPECT_FALSE(Drop(stage.Grid(), QPoint(30, 30), {text})) << "only picture files are taken";
    ASSERT_TRUE(Drop(stage.Grid(), QPoint(30, 30), {a, text}));
    ASSERT_TRUE(WaitForImport(*stage.panel));
    ASSERT_EQ(stage.panel->Library().Visible().size(), 1u);
    EXPECT_EQ(stage.Items(), 0);

    // On the canvas: b is imported, a is already there; both are added at the drop point.
    const QPoint at(250, 140);
    ASSERT_TRUE(Drop(*stage.canvas, at, {b, a}));
    ASSERT_TRUE(WaitForImport(*stage.panel));
    EXPECT_EQ(stage.panel->Library().Visible().size(), 2u);
    ASSERT_EQ(stage.Items(), 2);
    const Photo& first = std::get<Photo>(stage.canvas->Model().ItemAt(0));
    const Photo& second = std::get<Photo>(stage.canvas->Model().ItemAt(1));
    EXPECT_EQ(QString::fromUtf8(first.path.Bytes()), b);
    EXPECT_EQ(QPoint(first.posX, first.posY), stage.AtClient(at));
    EXPECT_EQ(QString::fromUtf8(second.path.Bytes()), a);
    EXPECT_EQ(QPoint(second.posX, second.posY), stage.AtClient(at + QPoint(kDropCascade, kDropCascade)));
}

TEST(PhotoLibraryPanel, TheSavedLibraryIsFoundAgainWithoutTheRemovedPhotos)
{
    QString file;
    QStringList kept;
    QTemporaryDir keep;
    {
        Stage stage;
        stage.Fill(5);
        file = keep.filePath(QStringLiteral("VelMedia"));
        stage.panel->SetLibraryFile(file);
        QTest::mouseClick(&stage.Grid(), Qt::LeftButton, {}, stage.CellCentre(1));
        QTest::mouseClick(&stage.Grid(), Qt::LeftButton, Qt::ControlModifier, stage.CellCentre(3));
        QSignalSpy state(stage.panel, &PhotoLibraryPanel::selectionStateChanged);
        EXPECT_EQ(stage.panel->Remove(), 2);
        EXPECT_EQ(state.size(), 1);
        EXPECT_TRUE(stage.Selected().empty());
        EXPECT_EQ(stage.panel->Remove(), 0); // nothing selected any more
        // Removed records keep their places: the others keep their indexes.
        EXPECT_EQ(stage.panel->Library().Entry(4).record.index, 4);
        EXPECT_EQ(stage.Grid().Selection().count(), 3);
        ASSERT_TRUE(stage.panel->Save());
        kept = {stage.files[0], stage.files[2], stage.files[4]};
    }
    Stage again;
    again.panel->SetLibraryFile(file);
    EXPECT_EQ(again.panel->Load().status, PhotoLibrary::LoadStatus::Loaded);
    ASSERT_EQ(again.panel->Library().Visible().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const PhotoRecord& record = again.panel->Library().Entry(i).record;
        EXPECT_EQ(record.Path(), kept[i]);
        EXPECT_EQ(record.index, i);
        EXPECT_EQ(record.selected, 0);
    }
    EXPECT_EQ(again.Grid().Selection().count(), 3);
}

TEST(PhotoGrid, ThumbnailsAreDecodedOnlyForTheCellsInView)
{
    Stage stage;
    stage.Fill(2000);
    PhotoGrid& grid = stage.Grid();
    grid.repaint();
    const int inView = (grid.CellArea().height() / kPhotoGrid.pitch + 1) * grid.Columns();
    EXPECT_GT(grid.DecodedThumbnails(), 0);
    EXPECT_LE(grid.DecodedThumbnails(), inView);
    ASSERT_TRUE(grid.VerticalBar()->isVisible());

    // Down to the last row and back: each cell passed over at most once each way.
    grid.SetScrollOffset(QPoint(0, grid.VerticalBar()->Range()));
    grid.repaint();
    const int afterEnd = grid.DecodedThumbnails();
    EXPECT_LE(afterEnd, 2 * inView);
    grid.SetScrollOffset(QPoint(0, 0));
    grid.repaint();
    EXPECT_EQ(grid.DecodedThumbnails(), afterEnd) << "the first cells come from the cache";
}

TEST(PhotoLibraryPanel, TheImportFilterListsEveryPictureTypeAsQtWritesFilters)
{
    const QStringList filters = PhotoImportFilter().split(QStringLiteral(";;"));
    ASSERT_EQ(filters.size(), 12);
    EXPECT_EQ(filters.first(),
              QStringLiteral("(all picture files) "
                             "(*.jpg *.jpeg *.gif *.bmp *.png *.wmf *.emf *.pcx *.pnm *.tif *tiff)"));
    EXPECT_EQ(filters[1], QStringLiteral("(*.jpg)")); // a name that shows its pattern, shown once
    EXPECT_EQ(filters.last(), QStringLiteral("(*.tiff)"));
    // A file manager's drop is taken by extension, whatever its letter case.
    EXPECT_TRUE(IsImportablePicture(QStringLiteral("/photos/IMG_0001.JPG")));
    EXPECT_TRUE(IsImportablePicture(QStringLiteral("/photos/scan.Tga")));
    EXPECT_FALSE(IsImportablePicture(QStringLiteral("/photos/notes.txt")));
    EXPECT_FALSE(IsImportablePicture(QStringLiteral("/photos/jpg")));
}
