// The photo library inside the main window: its commands reach the panel, and the list is
// saved when the window closes and found again at the next start.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "base/DataFolder.h"
#include "canvas/CanvasWnd.h"
#include "library/PhotoGrid.h"
#include "library/PhotoLibraryPanel.h"
#include "ui/PanelContainer.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The library file of the data folder, out of the way of the other tests before and after.
struct LibraryFileScope {
    QString file = DataFolder() + QStringLiteral("VelMedia");
    LibraryFileScope() { QFile::remove(file); }
    ~LibraryFileScope() { QFile::remove(file); }
};

} // namespace

TEST(MainFramePhotoLibrary, CommandsReachThePanelAndTheListIsSavedAtCloseAndFoundAgain)
{
    LibraryFileScope scope;
    QTemporaryDir dir;
    QStringList photos;
    for (int i = 0; i < 3; ++i) {
        QImage image(120 + 10 * i, 90, QImage::Format_RGB32);
        image.fill(QColor(40 * i, 120, 200));
        photos << dir.filePath(QStringLiteral("photo%1.png").arg(i));
        ASSERT_TRUE(image.save(photos.last()));
    }
    {
        MainFrame frame;
        library::PhotoLibraryPanel* panel = frame.PhotoPanel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->parentWidget(), &frame.PhotoLibraryPlace());
        EXPECT_EQ(panel->LibraryFile(), scope.file);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        panel->SetFileChooser([&](QWidget*) { return photos; });

        // The "Import" button (10601) runs the import.
        QSignalSpy done(panel, &library::PhotoLibraryPanel::importFinished);
        ASSERT_TRUE(frame.OnCommand(cmd::kImportButton));
        ASSERT_TRUE(done.wait(30000));
        ASSERT_EQ(panel->Library().Visible().size(), 3u);

        // Add to Canvas (10481) adds the current photo; Remove (10602) drops it from the list.
        library::PhotoGrid& grid = panel->Grid();
        QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellBox(1).center());
        ASSERT_TRUE(frame.OnCommand(cmd::kAddToCanvas));
        EXPECT_EQ(frame.Canvas().Model().ItemCount(), 1);
        ASSERT_TRUE(frame.OnCommand(cmd::kRemoveButton));
        EXPECT_EQ(panel->Library().Visible().size(), 2u);

        // Close (not asking: the collage is marked unmodified) saves the list.
        frame.Canvas().Model().SetModified(false);
        QTimer::singleShot(0, &frame, [&frame] { frame.OnCommand(cmd::kClose); });
        QTimer::singleShot(5000, &frame, [&frame] { frame.done(99); });
        EXPECT_EQ(frame.exec(), 0);
        ASSERT_TRUE(QFile::exists(scope.file));
    }
    MainFrame again;
    const library::PhotoLibrary& found = again.PhotoPanel()->Library();
    ASSERT_EQ(found.Visible().size(), 2u);
    EXPECT_EQ(found.Entry(0).record.Path(), photos[0]);
    EXPECT_EQ(found.Entry(1).record.Path(), photos[2]);
    EXPECT_EQ(found.Entry(1).record.index, 1);
}
