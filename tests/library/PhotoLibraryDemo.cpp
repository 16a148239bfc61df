// The photo library column beside a canvas, for trying by hand or with xdotool:
//   photo_library_demo FOLDER [select | repeat]
// imports every picture of FOLDER into a library kept in a temporary folder; with "select"
// a few cells are selected once the import ends, with "repeat" the folder's pictures are
// offered 30 times over (the repeats are refused as duplicates) so the progress window stays
// up. Not a test and not part of the editor.

#include "canvas/CanvasWnd.h"
#include "library/PhotoGrid.h"
#include "library/PhotoLibraryPanel.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QTemporaryDir data;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Photo library"));
    window.resize(900, 640);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(221, 221, 221));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* canvas = new CanvasWnd(&window);
    canvas->setGeometry(190, 16, 694, 608);
    canvas->SetCanvasSize(800, 600);
    auto* panel = new library::PhotoLibraryPanel({*canvas, &window});
    panel->setGeometry(16, 16, 154, 608);
    panel->SetLibraryFile(data.filePath(QStringLiteral("VelMedia")));
    window.show();

    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList paths;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        paths << folder.filePath(name);
    const bool select = argc > 2 && qstrcmp(argv[2], "select") == 0;
    if (argc > 2 && qstrcmp(argv[2], "repeat") == 0) {
        const QStringList once = paths;
        for (int i = 1; i < 30; ++i)
            paths << once;
    }
    QObject::connect(panel, &library::PhotoLibraryPanel::importFinished, panel, [panel, select] {
        if (!select)
            return;
        library::PhotoGrid& grid = panel->Grid();
        QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellBox(2).center());
        QTest::mouseClick(&grid, Qt::LeftButton, Qt::ShiftModifier, grid.CellBox(4).center());
        QTest::mouseClick(&grid, Qt::LeftButton, Qt::ControlModifier, grid.CellBox(9).center());
        panel->AddToCanvas();
    });
    QMetaObject::invokeMethod(panel, [panel, paths] { panel->ImportPaths(paths); }, Qt::QueuedConnection);
    return app.exec();
}
