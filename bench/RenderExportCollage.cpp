// Makes the export benchmark's collage and times its export in this process.
//
//   render_export_collage DIR PHOTO...
//     writes DIR/collage.vmz: a 3200 x 3200 canvas with 30 photos (the given files in
//     turn) in a 5 x 6 grid, each shown at 600 x 448 and slightly turned, and prints one
//     line per photo for the comparison script: "path W H angle X Y" (X, Y: where the
//     turned picture's bounding box starts).
//   render_export_collage --time PROJECT OUT
//     loads the project, composes it at full size and writes OUT, printing the time of
//     each step, the pixels decoded and the peak memory of the process.

#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"
#include "canvas/ExportPicture.h"
#include "editing/CxImage.h"
#include "editing/PictureFiles.h"
#include "persist/ProjectFile.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kCanvas = 3200;
constexpr int kPhotos = 30;
constexpr int kColumns = 5;
constexpr int kShownWidth = 600;

int Make(const QString& dir, const QStringList& photos)
{
    CollageModel model;
    if (!model.SetCanvasSize(kCanvas, kCanvas))
        return 1;
    for (int i = 0; i < kPhotos; ++i) {
        const QString path = photos.at(i % photos.size());
        int w = 0;
        int h = 0;
        if (!PictureSize(path, w, h)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        model.AddPhoto(path, w, h, 0, 0);
        Photo& p = std::get<Photo>(model.ItemAt(i));
        p.drawScale = p.hitScale = float(kShownWidth) / float(w);
        p.posX = (i % kColumns) * 640 + 20;
        p.posY = (i / kColumns) * 533 + 40;
        p.angle = float((i % 7) - 3) * 2.0f;
        model.RebuildRegion(i);
        const int W = int(float(w) * p.drawScale) / 4 * 4;
        const int H = int(float(h) * p.drawScale) / 4 * 4;
        const double a = std::abs(p.angle) * M_PI / 180.0;
        const double rw = W * std::cos(a) + H * std::sin(a);
        const double rh = W * std::sin(a) + H * std::cos(a);
        const double cx = p.posX + W / 2;
        const double cy = p.posY + H / 2;
        std::printf("%s %d %d %g %d %d\n", qPrintable(path), W, H, double(p.angle), int(std::lround(cx - rw / 2)),
                    int(std::lround(cy - rh / 2)));
    }
    model.ClearSelection();
    return project::SaveProject(model, dir + QStringLiteral("/collage.vmz")) ? 0 : 1;
}

int Time(const QString& projectPath, const QString& out)
{
    QElapsedTimer timer;
    timer.start();
    CollageModel model;
    if (project::LoadProjectFile(model, projectPath).status != project::LoadStatus::Loaded)
        return 1;
    CanvasRenderer renderer(model);
    if (!renderer.ComposeFullSize())
        return 1;
    const qint64 composed = timer.elapsed();
    if (!WriteExportPicture(renderer.Export(), out))
        return 1;
    const qint64 written = timer.elapsed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("compose %lld ms, write %lld ms, %d photos decoded, %.1f megapixels decoded, peak %ld MB\n",
                static_cast<long long>(composed), static_cast<long long>(written - composed), renderer.Stats().photoDecodes,
                double(renderer.Stats().decodedPixels) / 1e6, usage.ru_maxrss / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    StartImageLibrary();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int status = 2;
    if (args.size() == 3 && args[0] == QLatin1String("--time"))
        status = Time(args[1], args[2]);
    else if (args.size() >= 2)
        status = Make(args[0], args.mid(1));
    else
        std::fprintf(stderr, "usage: render_export_collage DIR PHOTO... | --time PROJECT OUT\n");
    StopImageLibrary();
    return status;
}
