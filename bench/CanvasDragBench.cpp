// Mouse drags through the canvas window, event by event: real QMouseEvents sent to a
// shown CanvasWnd (offscreen platform), each followed by the window's paint, on a
// 1024 x 768 collage of 10, 50 and 200 photos (1200 x 900 JPEGs, rotated, about 150 to
// 300 pixels wide) at zoom 0.75 in a 1024 x 768 window. For each count:
//
//   move     the photo a press at the centre of the middle photo of the z-order hits (the
//            upper one there; its index is printed) dragged 400 moves round a circle
//   rotate   the middle photo turned by its bottom-right rotation handle, 400 moves
//
// Prints the median and 99th percentile time per move event (event handling, the
// frame's composition and the paint) and the process's peak memory. Goal: median under
// 8 ms and 99th percentile under 16 ms whatever the count.
//
//   canvas_drag_bench            all three counts in one process
//   canvas_drag_bench 200        one count (its own peak memory)

#include "canvas/CanvasWnd.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kPhotoWidth = 1200;
constexpr int kPhotoHeight = 900;
constexpr int kPhotoFiles = 12;
constexpr int kMoves = 400;
constexpr QSize kWindow(1024, 768);

struct Photos {
    QTemporaryDir dir;
    std::vector<QString> paths;
    Photos()
    {
        for (int i = 0; i < kPhotoFiles; ++i) {
            QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
            for (int y = 0; y < kPhotoHeight; ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < kPhotoWidth; ++x) {
                    const double r = std::hypot(x - 600 + 20 * i, y - 450);
                    const int ring = int(127 + 127 * std::sin(r / (6.0 + i)));
                    row[x] = qRgb((x / 3 + 20 * i) & 255, (y / 2 + 7 * i) & 255, ring);
                }
            }
            const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
            image.save(path, "JPEG", 88);
            paths.push_back(path);
        }
    }
};

struct Figures {
    double median = 0;
    double p99 = 0;
    double worst = 0;
};

Figures Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms[ms.size() / 2];
    f.p99 = ms[std::min(ms.size() - 1, static_cast<std::size_t>(std::ceil(0.99 * double(ms.size()))) - 1)];
    f.worst = ms.back();
    return f;
}

void Send(CanvasWnd& canvas, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), canvas.mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &event);
}

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Times of one move event and the paint it causes, in milliseconds: wall clock, and the
// processor time of this thread (what the event costs when the machine is shared).
struct Sample {
    double wall;
    double cpu;
};
Sample TimedMove(CanvasWnd& canvas, QPoint at)
{
    const double cpu = ThreadCpuMs();
    const auto start = std::chrono::steady_clock::now();
    Send(canvas, QEvent::MouseMove, at, Qt::LeftButton);
    canvas.repaint();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            ThreadCpuMs() - cpu};
}

struct Series {
    std::vector<double> wall;
    std::vector<double> cpu;
    void Add(Sample s)
    {
        wall.push_back(s.wall);
        cpu.push_back(s.cpu);
    }
};

void Print(const char* what, int count, int item, const Series& series)
{
    const Figures w = Summarise(series.wall);
    const Figures c = Summarise(series.cpu);
    std::printf("%4d photos  %-6s item %3d  wall: median %6.2f  p99 %6.2f  worst %6.2f ms   "
                "cpu: median %6.2f  p99 %6.2f  worst %6.2f ms\n",
                count, what, item, w.median, w.p99, w.worst, c.median, c.p99, c.worst);
}

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Run(const Photos& photos, int count)
{
    CanvasWnd canvas;
    canvas.SetDataFolder(photos.dir.path());
    canvas.resize(kWindow);
    canvas.show();
    QApplication::processEvents();
    QRandomGenerator random(1234);
    for (int i = 0; i < count; ++i) {
        canvas.AddPhoto(photos.paths[std::size_t(i % kPhotoFiles)], kPhotoWidth, kPhotoHeight, 0, 0);
        Photo& photo = std::get<Photo>(canvas.Model().ItemAt(i));
        photo.drawScale = float(random.bounded(120, 300)) / float(kPhotoWidth) / 0.75f;
        photo.hitScale = photo.drawScale;
        canvas.Model().RebuildRegion(i);
        photo.posX = random.bounded(-100, 900);
        photo.posY = random.bounded(-80, 680);
        photo.angle = float(random.bounded(-30, 30));
    }
    // The dragged photo: the middle one, made easy to grab (unrotated, 240 pixels wide).
    const int target = count / 2;
    Photo& dragged = std::get<Photo>(canvas.Model().ItemAt(target));
    dragged.angle = 0;
    dragged.drawScale = 320.0f / float(kPhotoWidth);
    dragged.posX = 400;
    dragged.posY = 300;
    canvas.Model().SelectOnly(target);
    canvas.Redraw();
    canvas.repaint();

    // Move: press on the visible handle-free middle of the photo (the press selects the
    // upper item there; whichever it is, that item is dragged).
    const QPoint centre(int((400 + 160) * 0.75f), int((300 + 120) * 0.75f));
    Send(canvas, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    const int moved = canvas.Model().SelectedIndex();
    Series moveTimes;
    for (int i = 1; i <= kMoves; ++i) {
        const double a = 2 * M_PI * i / 100.0;
        moveTimes.Add(TimedMove(canvas, centre + QPoint(int(120 * std::cos(a)) - 120, int(90 * std::sin(a)))));
    }
    Send(canvas, QEvent::MouseButtonRelease, centre, Qt::NoButton);

    // Rotation: put the photo back, select it and grab handle 11.
    canvas.Model().SelectOnly(target);
    SetPosition(canvas.Model().ItemAt(target), 400, 300);
    canvas.Redraw();
    const QRectF box(canvas.Renderer().HandleRects()[11]);
    const QPoint grab = canvas.Renderer().SelectionTransform().map(box.center()).toPoint();
    Send(canvas, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    const bool onHandle = canvas.HandleDragging();
    Series rotateTimes;
    for (int i = 1; i <= kMoves; ++i) {
        const double a = 2 * M_PI * i / 100.0;
        rotateTimes.Add(TimedMove(canvas, centre + QPoint(int(200 * std::cos(a)), int(200 * std::sin(a)))));
    }
    Send(canvas, QEvent::MouseButtonRelease, grab, Qt::NoButton);

    Print("move", count, moved, moveTimes);
    Print("rotate", count, onHandle ? target : -1, rotateTimes);
    std::printf("            drag frames %d, full compositions %d; peak memory so far %.1f MB\n",
                canvas.Renderer().Stats().dragFrames, canvas.Renderer().Stats().fullComposes,
                double(PeakKilobytes()) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Photos photos;
    std::vector<int> counts = {10, 50, 200};
    if (argc > 1)
        counts = {std::atoi(argv[1])};
    for (int count : counts)
        Run(photos, count);
    return 0;
}
