// Import of many large photos into the photo library, the way the editor runs it: the
// worker pool reads sizes and makes thumbnails, the interface thread takes the records.
// Prints one line of figures.
//
//   photo_import_bench make DIR [COUNT] [WIDTH HEIGHT]
//       writes COUNT (200) photo-like JPEGs of WIDTH x HEIGHT (4000 x 3000) into DIR
//   photo_import_bench import DIR [WORKERS]
//       imports every *.jpg of DIR (sorted) with WORKERS threads (0: one per core) and
//       prints total time, photos per second, CPU time a photo, the process's peak
//       memory and the longest time the interface thread was busy in one go: a 1 ms timer
//       on it measures the largest gap between its ticks, in wall time (which on a busy
//       machine includes waiting for a core) and in the thread's own CPU time
//
// bench/photo_import_compare.sh runs both and vipsthumbnail on the same files.

#include "editing/CxImage.h"
#include "library/PhotoImporter.h"
#include "library/PhotoLibrary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU time of the calling thread: unlike the wall clock it does not count the time the
// thread waited for a core on a busy machine.
qint64 ThreadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Smooth gradients with fine noise and some edges: decodes and compresses like a photo.
QImage PhotoLike(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(std::uint32_t(seed) * 7919u + 1u);
    const double phase = seed * 0.7;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const double v = double(y) / height;
            const int noise = int(random.bounded(24u)) - 12;
            row[x * 3 + 0] = uchar(std::clamp(int(127 + 100 * std::sin(6.0 * u + phase)) + noise, 0, 255));
            row[x * 3 + 1] = uchar(std::clamp(int(127 + 100 * std::cos(5.0 * v - phase)) + noise, 0, 255));
            row[x * 3 + 2] = uchar(std::clamp(int(255 * u * v) + noise, 0, 255));
        }
    }
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, width / 200));
    for (int i = 0; i < 12; ++i)
        painter.drawEllipse(QPoint(int(random.bounded(width)), int(random.bounded(height))), width / 10, height / 10);
    return image;
}

int Make(const QString& dir, int count, int width, int height)
{
    if (!QDir().mkpath(dir))
        return 1;
    // A few distinct pictures, copied under distinct names: the decoding work per file is
    // the same and the set-up stays short.
    constexpr int kDistinct = 8;
    QStringList made;
    for (int i = 0; i < std::min(count, kDistinct); ++i) {
        const QString path = QDir(dir).filePath(QStringLiteral("photo-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        if (!PhotoLike(width, height, i).save(path, "JPEG", 90))
            return 1;
        made << path;
    }
    for (int i = kDistinct; i < count; ++i) {
        const QString path = QDir(dir).filePath(QStringLiteral("photo-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        QFile::remove(path);
        if (!QFile::copy(made[i % kDistinct], path))
            return 1;
    }
    std::printf("made %d photos of %d x %d in %s\n", count, width, height, qPrintable(dir));
    return 0;
}

int Import(const QString& dir, int workers)
{
    QStringList paths;
    for (const QString& name : QDir(dir).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << QDir(dir).filePath(name);
    if (paths.isEmpty()) {
        std::fprintf(stderr, "no photos in %s\n", qPrintable(dir));
        return 1;
    }
    const long baseline = PeakKilobytes();
    library::PhotoLibrary photoLibrary;
    library::PhotoImporter importer(photoLibrary, workers);

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    qint64 lastCpu = 0;
    qint64 longestCpu = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
        sinceTick.restart();
        const qint64 cpu = ThreadCpuNanoseconds();
        longestCpu = std::max(longestCpu, cpu - lastCpu);
        lastCpu = cpu;
    });

    QElapsedTimer total;
    library::PhotoImporter::Outcome outcome;
    QObject::connect(&importer, &library::PhotoImporter::finished, [&](const library::PhotoImporter::Outcome& o) {
        outcome = o;
        QCoreApplication::quit();
    });
    QTimer::singleShot(0, [&] {
        total.start();
        sinceTick.start();
        lastCpu = ThreadCpuNanoseconds();
        ticker.start();
        importer.Start(paths);
    });
    const double cpuBefore = ProcessCpuSeconds();
    QCoreApplication::exec();
    const double seconds = double(total.nsecsElapsed()) / 1e9;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    std::printf("photo import: %d photos, %d added, %d workers: %.2f s, %.1f photos/s, CPU %.1f ms a photo, "
                "peak memory %.1f MB (%.1f MB before), interface thread longest between 1 ms ticks: "
                "%.1f ms wall, %.2f ms of its own CPU\n",
                int(paths.size()), outcome.added, importer.workerCount(), seconds, outcome.added / seconds,
                1000.0 * cpu / std::max(1, outcome.added), PeakKilobytes() / 1024.0, baseline / 1024.0,
                longestGap / 1e6, longestCpu / 1e6);
    return outcome.added == paths.size() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args[0] == QLatin1String("make")) {
        const int count = args.size() > 2 ? args[2].toInt() : 200;
        const int width = args.size() > 4 ? args[3].toInt() : 4000;
        const int height = args.size() > 4 ? args[4].toInt() : 3000;
        return Make(args[1], count, width, height);
    }
    if (args.size() >= 2 && args[0] == QLatin1String("import")) {
        StartImageLibrary();
        const int status = Import(args[1], args.size() > 2 ? args[2].toInt() : 0);
        StopImageLibrary();
        return status;
    }
    std::fprintf(stderr, "usage: photo_import_bench make DIR [COUNT] [WIDTH HEIGHT] | import DIR [WORKERS]\n");
    return 2;
}
