#include "app/ProjectCommands.h"

#include "base/UserMessage.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/CanvasWnd.h"
#include "canvas/CollageModel.h"
#include "canvas/DesktopWallpaper.h"
#include "canvas/ExportPicture.h"
#include "persist/PhotoRelink.h"
#include "persist/ProjectFile.h"
#include "ui/dialogs/BusyDialog.h"
#include "ui/dialogs/NewCollageDialog.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <memory>

namespace projectcmd {

QString ProjectOpenFilter()
{
    return QStringLiteral("collage files (*.vmz)");
}

QString ProjectSaveFilter()
{
    return QStringLiteral("(*.vmz)");
}

QString ExportFilter()
{
    return QStringLiteral("(*.jpg);;(*.jpeg);;(*.bmp);;(*.gif);;(*.png);;(*.pcx);;(*.pnm);;(*.tif);;(*.tiff)");
}

} // namespace projectcmd

namespace {

// Sets the wait cursor for the life of the object.
class WaitCursor {
public:
    explicit WaitCursor(bool on)
        : on_(on)
    {
        if (on_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (on_)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool on_;
};

struct PictureOutcome {
    bool composed = false;
    bool written = false;
    QString error;
};

// Composes a collage given as project bytes at full size and writes it. Runs on a worker
// thread: everything it touches is its own.
PictureOutcome ComposeAndWrite(const QByteArray& projectBytes, const QString& libraryFolder, const QString& path)
{
    PictureOutcome outcome;
    CollageModel copy;
    QByteArray bytes = projectBytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (project::LoadProjectFrom(copy, buffer).status != project::LoadStatus::Loaded) {
        outcome.error = QStringLiteral("the collage could not be copied");
        return outcome;
    }
    CanvasRenderer renderer(copy);
    renderer.SetDataFolder(libraryFolder);
    if (!renderer.ComposeFullSize())
        return outcome;
    outcome.composed = true;
    outcome.written = WriteExportPicture(renderer.Export(), path, &outcome.error);
    return outcome;
}

} // namespace

ProjectCommands::ProjectCommands(QWidget* parent, CanvasWnd& canvas)
    : QObject(parent),
      parent_(parent),
      canvas_(canvas)
{
}

ProjectCommands::~ProjectCommands() = default;

void ProjectCommands::SetHooks(Hooks hooks)
{
    // A hook left empty shows the real dialog.
    if (!hooks.chooseFile)
        hooks.chooseFile = &dialogs::ChooseFile;
    if (!hooks.chooseFolder)
        hooks.chooseFolder = &dialogs::ChooseFolder;
    if (!hooks.ask)
        hooks.ask = &dialogs::AskYesNo;
    hooks_ = std::move(hooks);
}

bool ProjectCommands::RunDialog(NewCollageDialog& dialog)
{
    if (hooks_.runDialog)
        return hooks_.runDialog(dialog);
    return dialog.exec() == QDialog::Accepted;
}

// ---- projects ----

void ProjectCommands::NewProject()
{
    if (canvas_.Model().Modified() && hooks_.ask(parent_, QStringLiteral("Project has been modified, Do you want to save it?")))
        SaveProjectAs();

    NewCollageDialog dialog(newcollage::Values{}, parent_);
    dialog.SetFileChooser(hooks_.chooseFile);
    if (!RunDialog(dialog))
        return;
    const newcollage::Values& v = dialog.Result();
    canvas_.ResetCanvas();
    canvas_.SetCanvasSize(v.width, v.height);
    canvas_.SetBackground(v.colour, static_cast<BackgroundPlacement>(v.placement), v.imagePath);
    // A new collage has nothing to save yet, whatever the one before it had.
    canvas_.Model().SetModified(false);
    emit collageChanged();
}

void ProjectCommands::OpenProject()
{
    if (canvas_.Model().Modified() &&
        hooks_.ask(parent_, QStringLiteral("Current project has been modified, Do you want to save it?")))
        SaveProjectAs();

    dialogs::FileRequest request;
    request.mode = dialogs::FileRequest::Mode::Open;
    request.title = QStringLiteral("Open Project");
    request.filter = projectcmd::ProjectOpenFilter();
    const QString path = hooks_.chooseFile(parent_, request);
    if (path.isEmpty())
        return;
    if (OpenProjectFile(path))
        OfferRelink();
}

bool ProjectCommands::OpenProjectFile(const QString& path)
{
    // The file is read into a scratch collage first, so that a file that cannot be used
    // leaves the current collage as it is.
    CollageModel scratch;
    const project::LoadResult trial = project::LoadProjectFile(scratch, path);
    switch (trial.status) {
    case project::LoadStatus::Loaded:
        break;
    case project::LoadStatus::CannotOpen:
    case project::LoadStatus::Invalid:
        ShowUserMessage(QStringLiteral("The project could not be opened:\n%1").arg(trial.problem));
        return false;
    case project::LoadStatus::Truncated: {
        const QString question =
            QStringLiteral("The project %1 is damaged: %2.\nOnly %3 of its items could be read. Do you want to open them?")
                .arg(QFileInfo(path).fileName(), trial.problem)
                .arg(scratch.ItemCount());
        if (!hooks_.ask(parent_, question))
            return false;
        break;
    }
    }

    const project::LoadResult result = project::LoadProjectFile(canvas_.Model(), path);
    canvas_.Redraw();
    emit collageChanged();
    if (result.status == project::LoadStatus::Loaded)
        return true;
    // What was read differs from every file: keep it marked for saving.
    canvas_.Model().SetModified(true);
    if (trial.status != project::LoadStatus::Truncated)
        ShowUserMessage(QStringLiteral("The project could not be opened:\n%1").arg(result.problem));
    return result.status == project::LoadStatus::Truncated;
}

int ProjectCommands::OfferRelink()
{
    CollageModel& model = canvas_.Model();
    const QStringList missing = relink::MissingPhotoPaths(model);
    if (missing.isEmpty())
        return 0;
    const QString question = missing.size() == 1
        ? QStringLiteral("1 photo of this collage cannot be found where it was:\n%1\n"
                         "Do you want to look for it in a folder?")
              .arg(missing.constFirst())
        : QStringLiteral("%1 photos of this collage cannot be found where they were.\n"
                         "Do you want to look for them in a folder?")
              .arg(missing.size());
    if (!hooks_.ask(parent_, question))
        return 0;
    const QString folder = hooks_.chooseFolder(parent_, QStringLiteral("Look for the missing photos in"));
    if (folder.isEmpty())
        return 0;

    QHash<QString, QString> found;
    {
        WaitCursor wait(true);
        found = relink::FindByName(missing, folder);
    }
    const int changed = relink::Relink(model, found);
    if (changed > 0) {
        canvas_.Redraw();
        emit collageChanged();
    }
    if (found.size() < missing.size())
        ShowUserMessage(QStringLiteral("%1 of the %2 missing photos were found in %3.")
                            .arg(found.size())
                            .arg(missing.size())
                            .arg(folder));
    return changed;
}

bool ProjectCommands::SaveProjectAs()
{
    dialogs::FileRequest request;
    request.mode = dialogs::FileRequest::Mode::Save;
    request.title = QStringLiteral("Save Project As");
    request.filter = projectcmd::ProjectSaveFilter();
    request.initialName = QLatin1String(projectcmd::kInitialProjectName);
    request.defaultSuffix = QLatin1String(projectcmd::kProjectSuffix);
    request.confirmOverwrite = true;
    QString path = hooks_.chooseFile(parent_, request);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QLatin1String(projectcmd::kProjectSuffix);
    const project::SaveResult result = project::SaveProjectFile(canvas_.Model(), path);
    if (!result.ok) {
        ShowUserMessage(QStringLiteral("The project could not be saved:\n%1").arg(result.problem));
        return false;
    }
    emit collageChanged();
    return true;
}

void ProjectCommands::CollageSettings()
{
    const CollageModel& model = canvas_.Model();
    newcollage::Values values;
    values.caption = QStringLiteral("Collage Setting");
    values.width = model.CanvasWidth();
    values.height = model.CanvasHeight();
    values.colour = model.BackgroundColor();
    values.imagePath = model.BackgroundImagePath();
    values.placement = model.BackgroundPlacementValue();
    NewCollageDialog dialog(values, parent_);
    dialog.SetFileChooser(hooks_.chooseFile);
    if (!RunDialog(dialog))
        return;
    const newcollage::Values& v = dialog.Result();
    const bool changed = v.width != values.width || v.height != values.height || v.colour != values.colour ||
        v.imagePath != values.imagePath || v.placement != values.placement;
    canvas_.SetCanvasSize(v.width, v.height);
    canvas_.SetBackground(v.colour, static_cast<BackgroundPlacement>(v.placement), v.imagePath);
    if (changed)
        canvas_.Model().SetModified(true);
    emit collageChanged();
}

// ---- pictures out ----

bool ProjectCommands::ExportPicture()
{
    dialogs::FileRequest request;
    request.mode = dialogs::FileRequest::Mode::Save;
    request.title = QStringLiteral("Save Collage");
    request.filter = projectcmd::ExportFilter();
    request.initialName = QLatin1String(projectcmd::kInitialPictureName);
    request.confirmOverwrite = true;
    request.suffixFollowsFilter = true;
    const QString path = hooks_.chooseFile(parent_, request);
    if (path.isEmpty())
        return false;
    return WritePicture(path);
}

bool ProjectCommands::WritePicture(const QString& path)
{
    const CollageModel& model = canvas_.Model();
    const QByteArray bytes = project::ProjectBytes(model);
    const QString libraryFolder = canvas_.Renderer().LibraryFolder();
    const qint64 pixels = qint64(model.CanvasWidth()) * model.CanvasHeight();

    WaitCursor wait(pixels > projectcmd::kWaitCursorPixels);
    PictureOutcome outcome;
    std::unique_ptr<QThread> worker(
        QThread::create([&outcome, &bytes, &libraryFolder, &path] { outcome = ComposeAndWrite(bytes, libraryFolder, path); }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    BusyDialog busy(QStringLiteral("Saving the collage as a picture..."), parent_);
    QTimer showBusy;
    showBusy.setSingleShot(true);
    connect(&showBusy, &QTimer::timeout, &busy, &QWidget::show);
    showBusy.start(projectcmd::kBusyDelayMs);
    worker->start();
    // Paint and timer events go on; input waits until the picture is written, so nothing
    // is started twice and the window cannot close under the worker.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    showBusy.stop();
    busy.hide();

    if (!outcome.composed) {
        ShowUserMessage(QStringLiteral("The collage is too large to be saved as one picture (%1 x %2 pixels).")
                            .arg(model.CanvasWidth())
                            .arg(model.CanvasHeight()));
        return false;
    }
    if (!outcome.written) {
        ShowUserMessage(QStringLiteral("The collage could not be saved as %1:\n%2").arg(path, outcome.error));
        return false;
    }
    return true;
}

bool ProjectCommands::SetWallpaper(int placement)
{
    const QString path = wallpaper::WallpaperFilePath();
    if (!WritePicture(path))
        return false;
    const wallpaper::Result result = wallpaper::Apply(wallpaper::CurrentDesktop(), path, placement);
    if (!result.ok)
        ShowUserMessage(result.message);
    return result.ok;
}

bool ProjectCommands::RemoveWallpaper()
{
    const wallpaper::Result result = wallpaper::Remove(wallpaper::CurrentDesktop());
    if (!result.ok)
        ShowUserMessage(result.message);
    return result.ok;
}
