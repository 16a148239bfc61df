// Saves a collage as a picture the way the window's command does (ProjectCommands::
// WritePicture: a copy of the collage composed and written off the interface thread) and
// prints the time to the written file, the peak memory of the process and the longest
// pause of the interface thread while it ran.
//
//   export_window_bench PROJECT OUT
//
// Make PROJECT with render_export_collage (a 3200 x 3200 canvas of 30 photos); see
// bench/export_window.sh.

#include "app/ProjectCommands.h"
#include "canvas/CanvasWnd.h"
#include "editing/CxImage.h"
#include "persist/ProjectFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    StartImageLibrary();
    if (argc != 3) {
        std::fprintf(stderr, "usage: export_window_bench PROJECT OUT\n");
        return 2;
    }
    const QString projectPath = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);

    QWidget window;
    window.resize(1200, 900);
    CanvasWnd canvas(&window);
    canvas.setGeometry(0, 0, 1200, 900);
    ProjectCommands commands(&window, canvas);
    window.show();
    if (!commands.OpenProjectFile(projectPath)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    QApplication::processEvents();
    const long before = PeakMegabytes();

    // A tick every 10 ms on the interface thread: the longest gap is how long the window
    // could not paint.
    QElapsedTimer tick;
    qint64 longestPause = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, tick.restart());
    });
    tick.start();
    ticker.start();

    QElapsedTimer timer;
    timer.start();
    const bool written = commands.WritePicture(out);
    const qint64 elapsed = timer.elapsed();
    ticker.stop();
    std::printf("%s: %s in %lld ms; peak memory %ld MB (%ld MB with the collage open in the window); "
                "longest interface pause %lld ms\n",
                argv[2], written ? "written" : "NOT written", static_cast<long long>(elapsed), PeakMegabytes(), before,
                static_cast<long long>(longestPause));
    StopImageLibrary();
    return written ? 0 : 1;
}
