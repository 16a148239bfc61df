// Scrolling the photo library grid through a library of 10,000 photos: a shown PhotoGrid
// (offscreen platform) in the 154 x 608 column of the main window, thumbnails made from
// 50 different 80 x 80 JPEGs. Two passes, each frame a scroll then the grid's paint:
//
//   wheel   top to bottom one wheel notch (one row) at a time: one new row per frame
//   jump    400 jumps of the thumb to random places: every cell of the frame is new
//
// Prints the median, 99th percentile and longest frame, in wall time and in the interface
// thread's own CPU time (what a busy shared machine does not inflate), the thumbnails
// decoded and the process's peak memory. Goal: every frame under 16 ms.

#include "library/PhotoGrid.h"
#include "library/PhotoLibrary.h"

#include "canvas/CanvasScrollBar.h"
#include "editing/PictureFiles.h"

#include <QApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kPhotos = 10000;
constexpr int kDistinct = 50;
constexpr int kJumps = 400;

struct Figures {
    double median = 0, p99 = 0, longest = 0;
};

Figures Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms[ms.size() / 2];
    f.p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    f.longest = ms.back();
    return f;
}

double ThreadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void Print(const char* name, const std::vector<double>& wall, const std::vector<double>& cpu, int decoded)
{
    const Figures w = Summarise(wall);
    const Figures c = Summarise(cpu);
    std::printf("%-6s %zu frames: wall median %.2f / p99 %.2f / longest %.2f ms; cpu median %.2f / p99 %.2f / "
                "longest %.2f ms; thumbnails decoded %d\n",
                name, wall.size(), w.median, w.p99, w.longest, c.median, c.p99, c.longest, decoded);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::vector<std::vector<std::uint8_t>> thumbnails;
    for (int i = 0; i < kDistinct; ++i) {
        QImage image(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < 480; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < 640; ++x)
                row[x] = qRgb((x / 3 + 37 * i) & 255, (y / 2 + 11 * i) & 255,
                              int(127 + 127 * std::sin((x + y) / (5.0 + i))));
        }
        const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
        image.save(path, "JPEG", 90);
        thumbnails.push_back(MakeThumbnail(path));
    }
    library::PhotoLibrary photoLibrary;
    for (int i = 0; i < kPhotos; ++i) {
        std::optional<library::PhotoRecord> record =
            library::RecordForPath(dir.filePath(QStringLiteral("photo%1.jpg").arg(i)));
        record->width = i % 3 == 0 ? 480 : 640;
        record->height = i % 3 == 0 ? 640 : 480;
        photoLibrary.Add(*record, thumbnails[std::size_t(i % kDistinct)]);
    }
    library::PhotoGrid grid(photoLibrary);
    grid.resize(154, 608);
    grid.show();
    QApplication::processEvents();
    grid.repaint();

    using Clock = std::chrono::steady_clock;
    std::vector<double> wheel, wheelCpu;
    const QPoint at = grid.CellArea().center();
    while (grid.ScrollOffset().y() < grid.VerticalBar()->Range()) {
        const auto start = Clock::now();
        const double cpu = ThreadMs();
        QWheelEvent event(at, grid.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&grid, &event);
        grid.repaint();
        wheel.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        wheelCpu.push_back(ThreadMs() - cpu);
    }
    const int decodedWheel = grid.DecodedThumbnails();

    std::vector<double> jump, jumpCpu;
    QRandomGenerator random(17);
    for (int i = 0; i < kJumps; ++i) {
        const int y = int(random.bounded(grid.VerticalBar()->Range() + 1));
        const auto start = Clock::now();
        const double cpu = ThreadMs();
        grid.SetScrollOffset(QPoint(0, y));
        grid.repaint();
        jump.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        jumpCpu.push_back(ThreadMs() - cpu);
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("photos %d, grid 154 x 608 (%d columns)\n", kPhotos, grid.Columns());
    Print("wheel", wheel, wheelCpu, decodedWheel);
    Print("jump", jump, jumpCpu, grid.DecodedThumbnails() - decodedWheel);
    std::printf("peak memory %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
