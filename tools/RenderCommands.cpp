// montara-tool render PROJECT OUT [--data DIR]: loads a project file, composes the
// collage at zoom 1 without selection handles and writes it by the extension of OUT, as
// the editor's "Save Collage" does. The library files for frames, masks, shapes, clip-art
// and brushes come from DIR (default: the program's data folder).

#include "RenderCommands.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"
#include "canvas/ExportPicture.h"
#include "persist/ProjectFile.h"

#include <QFileInfo>

namespace tool {

namespace {

int Render(QStringList args)
{
    QString error;
    QString dataFolder;
    const bool haveData = TakeOption(args, QStringLiteral("--data"), dataFolder, error);
    if (!error.isEmpty())
        return Usage(error);
    if (args.size() != 2)
        return Usage(QStringLiteral("usage: render PROJECT OUT [--data DIR]"));
    const QString projectPath = args.at(0);
    const QString outPath = args.at(1);
    if (haveData && !QFileInfo(dataFolder).isDir())
        return Failure(QStringLiteral("--data: no such folder: %1").arg(dataFolder));

    CollageModel model;
    const project::LoadResult loaded = project::LoadProjectFile(model, projectPath);
    if (loaded.status == project::LoadStatus::CannotOpen)
        return Failure(loaded.problem);
    if (loaded.status != project::LoadStatus::Loaded)
        return Failure(QStringLiteral("%1: %2").arg(projectPath, loaded.problem));

    CanvasRenderer renderer(model);
    if (haveData)
        renderer.SetDataFolder(dataFolder);
    if (!renderer.ComposeFullSize())
        return Failure(QStringLiteral("%1: the collage is too large to be composed (%2 x %3 pixels)")
                           .arg(projectPath)
                           .arg(model.CanvasWidth())
                           .arg(model.CanvasHeight()));
    if (!WriteExportPicture(renderer.Export(), outPath, &error))
        return Failure(error);
    return kOk;
}

} // namespace

Command RenderCommand()
{
    return {"render", "render PROJECT OUT [--data DIR]", [](QStringList args) { return Render(std::move(args)); }};
}

} // namespace tool
