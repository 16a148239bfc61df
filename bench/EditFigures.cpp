// Figures for the item editors, printed (not a Google Benchmark: peak memory needs one
// process per case). Usage:
//
//   edit_figures effect ID    an effect (11980 - 11994) on a 3200 x 3200 collage of 16
//                             photos (1600 x 1200 JPEGs): time to compose at full size,
//                             to filter, to replace the items, and the process's peak
//                             resident memory before and after
//   edit_figures tuning       live tuning of a 24 MP photo (6000 x 4000 JPEG) on the canvas
//                             window: from the release on a tuning slider to the repainted
//                             window, at the photo's default size on a 1024 x 768 collage
//                             and scaled to fill a 3200 x 3200 collage, zoom 0.75
//
// bench/edit_figures.sh runs every case.

#include "canvas/CanvasWnd.h"
#include "canvas/CollageEffect.h"
#include "editing/PanelSlider.h"
#include "editing/TuningPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QString MakePhoto(const QTemporaryDir& dir, int index, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double r = std::hypot(x - width / 2, y - height / 2);
            row[x] = qRgb((x / 4 + 9 * index) & 255, (y / 3 + index) & 255, int(127 + 127 * std::sin(r / 23.0)));
        }
    }
    const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(index));
    image.save(path, "JPEG", 90);
    return path;
}

double Ms(QElapsedTimer& timer)
{
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

int RunEffect(int id)
{
    QTemporaryDir dir;
    CanvasWnd canvas;
    canvas.resize(1024, 768);
    canvas.SetCanvasSize(3200, 3200);
    for (int i = 0; i < 16; ++i) {
        const QString path = MakePhoto(dir, i, 1600, 1200);
        canvas.AddPhoto(path, 1600, 1200, 0, 0);
        Photo& photo = std::get<Photo>(canvas.Model().ItemAt(i));
        photo.drawScale = photo.hitScale = 0.5f;
        photo.posX = (i % 4) * 800;
        photo.posY = (i / 4) * 800;
        photo.angle = static_cast<float>(i * 7 % 30 - 15);
    }
    canvas.Redraw();
    const long before = PeakMegabytes();
    QElapsedTimer timer;
    timer.start();
    CollagePicture picture = ComposeCollagePicture(canvas.Renderer());
    const double compose = Ms(timer);
    const bool filtered = ApplyEffect(id, picture);
    const double filter = Ms(timer);
    const bool taken = filtered && TakeEffectResult(canvas.Model(), picture);
    const double replace = Ms(timer);
    canvas.Undo();
    const double undo = Ms(timer);
    std::printf("effect %d on 3200 x 3200, 16 photos: compose %.0f ms, filter %.0f ms, replace and redraw %.0f ms, "
                "undo %.0f ms; peak memory %ld MB before, %ld MB after%s\n",
                id, compose, filter, replace, undo, before, PeakMegabytes(), taken ? "" : " (FAILED)");
    return taken ? 0 : 1;
}

void Release(PanelSlider* slider, int x)
{
    const QPointF at(x, 6);
    QMouseEvent press(QEvent::MouseButtonPress, at, slider->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(slider, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, slider->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(slider, &release);
}

void TuningCase(const QString& photo, int canvasSide, float scale, const char* name)
{
    CanvasWnd canvas;
    canvas.resize(1024, 768);
    canvas.show();
    if (canvasSide > 0)
        canvas.SetCanvasSize(canvasSide, canvasSide);
    canvas.AddPhoto(photo, 6000, 4000, 0, 0);
    if (scale > 0) {
        Photo& p = std::get<Photo>(canvas.Model().ItemAt(0));
        p.drawScale = p.hitScale = scale;
        canvas.Redraw();
    }
    TuningPanel panel(canvas);
    panel.resize(panel.sizeHint());
    panel.show();
    QApplication::processEvents();
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < 12; ++i) {
        PanelSlider* slider = panel.Slider(i % 2 ? kHue : kContrast);
        timer.start();
        Release(slider, 10 + (i * 37) % (slider->width() - 20));
        canvas.repaint();
        QApplication::processEvents();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    const QSize shown = canvas.Model().ItemCount() ? QSize(int(6000 * std::get<Photo>(canvas.Model().ItemAt(0)).drawScale * 0.75f),
                                                           int(4000 * std::get<Photo>(canvas.Model().ItemAt(0)).drawScale * 0.75f))
                                                    : QSize();
    std::printf("tuning a 24 MP photo, %s (shown %d x %d): release to repaint median %.1f ms, worst %.1f ms\n", name,
                shown.width(), shown.height(), times[times.size() / 2], times.back());
}

int RunTuning()
{
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    const QString photo = MakePhoto(dir, 0, 6000, 4000);
    std::printf("(24 MP photo written in %.0f ms)\n", Ms(timer));
    TuningCase(photo, 0, 0.0f, "default size on 1024 x 768");
    TuningCase(photo, 3200, 0.5f, "scaled 0.5 on 3200 x 3200");
    std::printf("peak memory %ld MB\n", PeakMegabytes());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("effect"))
        return RunEffect(args[2].toInt());
    if (args.size() >= 2 && args[1] == QLatin1String("tuning"))
        return RunTuning();
    std::fprintf(stderr, "usage: edit_figures effect ID | edit_figures tuning\n");
    return 2;
}
