// A canvas window with a few items, for trying the mouse by hand or with xdotool:
//   canvas_demo [brush]          (with "brush" the brush tool is on)
//   canvas_demo cursors FILE     writes the two drawn cursors, 8 times enlarged, to FILE
// Not a test and not part of the editor.

#include "canvas/CanvasCursors.h"
#include "canvas/CanvasWnd.h"
#include "library/LibraryFiles.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

namespace {

QImage Picture(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double r = std::hypot(x - w / 2, y - h / 2);
            row[x] = qRgb((x * 255 / w + 60 * seed) & 255, (y * 255 / h + 90 * seed) & 255,
                          int(127 + 127 * std::sin(r / (10.0 + 3 * seed))));
        }
    }
    return image;
}

QImage Star(int side, QColor colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = M_PI / 5 * i - M_PI / 2;
        const double r = i % 2 ? side * 0.2 : side * 0.48;
        star << QPointF(side / 2 + r * std::cos(a), side / 2 + r * std::sin(a));
    }
    p.drawPolygon(star);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "cursors") == 0) {
        QImage sheet(2 * 32 + 6, 32 + 4, QImage::Format_ARGB32);
        sheet.fill(QColor(120, 160, 120));
        QPainter p(&sheet);
        p.drawImage(2, 2, cursors::StampCursorPicture().image);
        p.drawImage(36, 2, cursors::RotationCursorPicture().image);
        p.end();
        return sheet.scaled(sheet.size() * 8).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    QTemporaryDir dir;
    QString error;
    library::WriteThumbnailFile(dir.filePath(QStringLiteral("cliparts")), {Star(160, QColor(230, 60, 60))}, &error);
    library::WriteThumbnailFile(dir.filePath(QStringLiteral("brushs")), {Star(40, Qt::black)}, &error);

    CanvasWnd canvas;
    canvas.setWindowTitle(QStringLiteral("Canvas"));
    canvas.SetDataFolder(dir.path());
    canvas.resize(900, 600);
    canvas.move(0, 0);
    const QSize sizes[] = {{800, 600}, {600, 800}, {900, 600}};
    const QPoint at[] = {{60, 60}, {330, 150}, {500, 80}};
    for (int i = 0; i < 3; ++i) {
        const QString path = dir.filePath(QStringLiteral("photo%1.png").arg(i));
        Picture(sizes[i].width(), sizes[i].height(), i + 1).save(path);
        canvas.AddPhoto(path, sizes[i].width(), sizes[i].height(), at[i].x(), at[i].y());
    }
    canvas.AddClipArt(0, 150, 380);
    if (argc > 1 && std::strcmp(argv[1], "brush") == 0)
        canvas.SetToolSettings(0, true, 0.0f, 200, 30, 0x00C08000);
    canvas.show();
    return app.exec();
}
