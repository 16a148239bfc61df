// montara-tool layout: the automatic layout of the editor, headless. The pictures are
// measured upright, laid out on a new collage (1024 x 768 unless --width or --aspect say
// otherwise) and the project file is written atomically.

#include "LayoutCommands.h"

#include "canvas/AutoLayout.h"
#include "canvas/CollageModel.h"
#include "editing/PictureFiles.h"
#include "persist/ProjectFile.h"

#include <QFileInfo>

#include <vector>

namespace tool {

namespace {

bool ParseInt(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    value = v;
    return true;
}

int Layout(QStringList args)
{
    QString error;
    QString mode;
    QString spacing;
    QString margin;
    QString aspect;
    QString width;
    if (!TakeOption(args, QStringLiteral("--mode"), mode, error))
        return Usage(error.isEmpty() ? QStringLiteral("layout: --mode grid|mosaic|fill is required") : error);
    TakeOption(args, QStringLiteral("--spacing"), spacing, error);
    TakeOption(args, QStringLiteral("--margin"), margin, error);
    TakeOption(args, QStringLiteral("--aspect"), aspect, error);
    TakeOption(args, QStringLiteral("--width"), width, error);
    if (!error.isEmpty())
        return Usage(error);
    if (args.size() < 2)
        return Usage(QStringLiteral("usage: layout --mode grid|mosaic|fill [--spacing N] [--margin N] [--aspect W:H] "
                                    "[--width N] OUT.vmz PICTURE..."));

    autolayout::Options options;
    if (mode == QLatin1String("grid"))
        options.mode = autolayout::Mode::Grid;
    else if (mode == QLatin1String("mosaic"))
        options.mode = autolayout::Mode::Mosaic;
    else if (mode == QLatin1String("fill"))
        options.mode = autolayout::Mode::Fill;
    else
        return Usage(QStringLiteral("--mode: grid, mosaic or fill, not %1").arg(mode));
    if (!spacing.isEmpty() && !ParseInt(spacing, 0, autolayout::kMaxSpacing, options.spacing))
        return Usage(QStringLiteral("--spacing: a number of pixels from 0 to %1").arg(autolayout::kMaxSpacing));
    if (!margin.isEmpty() && !ParseInt(margin, 0, autolayout::kMaxSpacing, options.margin))
        return Usage(QStringLiteral("--margin: a number of pixels from 0 to %1").arg(autolayout::kMaxSpacing));
    int aspectWidth = 0;
    int aspectHeight = 0;
    if (!aspect.isEmpty()) {
        const QStringList parts = aspect.split(u':');
        if (parts.size() != 2 || !ParseInt(parts[0], 1, 100, aspectWidth) || !ParseInt(parts[1], 1, 100, aspectHeight))
            return Usage(QStringLiteral("--aspect: W:H, for example 4:3, not %1").arg(aspect));
    }
    int canvasWidth = 1024;
    if (!width.isEmpty() && !ParseInt(width, autolayout::kMinCanvasSide, autolayout::kMaxCanvasSide, canvasWidth))
        return Usage(QStringLiteral("--width: a number of pixels from %1 to %2")
                         .arg(autolayout::kMinCanvasSide)
                         .arg(autolayout::kMaxCanvasSide));

    const QString out = args.takeFirst();
    std::vector<autolayout::PhotoSource> photos;
    for (const QString& path : args) {
        if (!QFileInfo(path).isFile())
            return Failure(QStringLiteral("%1: not a picture file").arg(path));
        int w = 0;
        int h = 0;
        if (!PictureSize(path, w, h) || w <= 0 || h <= 0)
            return Failure(QStringLiteral("%1: the picture cannot be read").arg(path));
        photos.push_back({-1, QFileInfo(path).absoluteFilePath(), QSize(w, h)});
    }

    CollageModel model;
    // Without an aspect the canvas keeps 1024 x 768's shape at the chosen width.
    if (aspectWidth == 0 && !width.isEmpty()) {
        aspectWidth = 4;
        aspectHeight = 3;
    }
    if (!model.SetCanvasSize(canvasWidth, model.CanvasHeight()))
        return Failure(QStringLiteral("the canvas cannot be %1 pixels wide").arg(canvasWidth));
    if (!autolayout::Apply(model, photos, options, aspectWidth, aspectHeight))
        return Failure(QStringLiteral("the pictures do not fit the canvas with this spacing and margin"));
    const project::SaveResult saved = project::SaveProjectFile(model, out);
    if (!saved.ok)
        return Failure(saved.problem);
    return kOk;
}

} // namespace

Command LayoutCommand()
{
    return {"layout", "layout --mode grid|mosaic|fill [--spacing N] [--margin N] [--aspect W:H] [--width N] OUT.vmz PICTURE...",
            [](QStringList args) { return Layout(std::move(args)); }};
}

} // namespace tool
