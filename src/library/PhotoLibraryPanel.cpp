#include "library/PhotoLibraryPanel.h"

#include "base/FileFilter.h"
#include "base/UserMessage.h"
#include "canvas/CanvasWnd.h"
#include "library/PhotoGrid.h"
#include "library/PhotoImportProgress.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>

namespace library {

namespace {

// The import dialog's filter in the "name|patterns|...||" form of the design's file dialog.
constexpr char kDesignFilter[] =
    "(all picture files)|*.jpg;*.jpeg;*.gif;*.bmp;*.png;*.wmf;*.emf;*.pcx;*.pnm;*.tif;*tiff|(*.jpg)|*.jpg|"
    "(*.jpeg)|*.jpeg|(*.gif)|*.gif|(*.bmp)|*.bmp|(*.png)|*.png|(*.wmf)|*.wmf|(*.emf)|*.emf|(*.pcx)|*.pcx|"
    "(*.pnm)|*.pnm|(*.tif)|*.tif|(*.tiff)|*.tiff||";

constexpr char kNoPhotoMessage[] = "Please select a photo to add. ";

} // namespace

QString PhotoImportFilter()
{
    return QtFileFilter(kDesignFilter);
}

PhotoLibraryPanel::PhotoLibraryPanel(const PhotoLibraryContext& context)
    : QWidget(context.parent)
    , canvas_(context.canvas)
    , importer_(library_)
    , grid_(new PhotoGrid(library_, this))
    , progress_(new PhotoImportProgress(this))
    , libraryFile_(PhotoLibraryFilePath())
{
    chooser_ = [](QWidget* parent) {
        return QFileDialog::getOpenFileNames(parent, tr("Import Photo to Library"), QString(), PhotoImportFilter());
    };
    connect(grid_, &PhotoGrid::selectionChanged, this, &PhotoLibraryPanel::selectionChanged);
    connect(grid_, &PhotoGrid::selectionStateChanged, this, &PhotoLibraryPanel::selectionStateChanged);
    connect(grid_, &PhotoGrid::contextMenuRequested, this, &PhotoLibraryPanel::contextMenuRequested);
    connect(grid_, &PhotoGrid::addRequested, this, &PhotoLibraryPanel::AddToCanvas);
    connect(grid_, &PhotoGrid::thumbnailReleased, this, &PhotoLibraryPanel::ThumbnailReleased);
    connect(grid_, &PhotoGrid::filesDropped, this, &PhotoLibraryPanel::ImportPaths);
    connect(&importer_, &PhotoImporter::progress, progress_, &PhotoImportProgress::SetProgress);
    connect(&importer_, &PhotoImporter::finished, this, &PhotoLibraryPanel::ImportFinished);
    connect(progress_, &PhotoImportProgress::stopRequested, this, &PhotoLibraryPanel::StopImport);

    canvas_.setAcceptDrops(true);
    canvas_.installEventFilter(this);
}

// The canvas drops the filter by itself when the panel goes (and may go first).
PhotoLibraryPanel::~PhotoLibraryPanel() = default;

QSize PhotoLibraryPanel::sizeHint() const
{
    return grid_->sizeHint();
}

void PhotoLibraryPanel::resizeEvent(QResizeEvent*)
{
    grid_->setGeometry(rect());
}

void PhotoLibraryPanel::SetFileChooser(FileChooser chooser)
{
    chooser_ = std::move(chooser);
}

bool PhotoLibraryPanel::Import()
{
    if (!window()->isVisible() || importer_.busy())
        return false;
    const QStringList paths = chooser_ ? chooser_(window()) : QStringList();
    return ImportPaths(paths);
}

bool PhotoLibraryPanel::ImportPaths(const QStringList& paths)
{
    if (paths.isEmpty() || !window()->isVisible() || !importer_.Start(paths))
        return false;
    progress_->SetProgress(QString(), 0, int(paths.size()));
    progress_->adjustSize();
    const QWidget* top = window();
    progress_->move(top->mapToGlobal(top->rect().center()) - progress_->rect().center());
    progress_->show();
    return true;
}

void PhotoLibraryPanel::StopImport()
{
    importer_.Stop();
    progress_->hide();
}

void PhotoLibraryPanel::ImportFinished(const PhotoImporter::Outcome& outcome)
{
    progress_->hide();
    if (canvasDropPoint_) {
        const QPoint point = *canvasDropPoint_;
        const QStringList paths = canvasDropPaths_;
        canvasDropPoint_.reset();
        canvasDropPaths_.clear();
        int placed = 0;
        for (const QString& path : paths) {
            const QByteArray bytes = QFile::encodeName(path);
            for (int position : library_.Visible()) {
                if (library_.Entry(position).record.path.Bytes() == bytes) {
                    if (AddPosition(position, point + QPoint(placed, placed) * kDropCascade))
                        ++placed;
                    break;
                }
            }
        }
    }
    emit importFinished(outcome);
}

int PhotoLibraryPanel::Remove()
{
    const int removed = library_.RemoveSelected();
    if (removed > 0) { // the removed photos were the selection: it is empty now
        emit selectionChanged(library_.SelectedIndexes());
        emit selectionStateChanged();
    }
    return removed;
}

bool PhotoLibraryPanel::AddPosition(int position, QPoint canvasPoint)
{
    const PhotoRecord& record = library_.Entry(position).record;
    const QString path = record.Path();
    if (!QFileInfo(path).isFile())
        return false;
    return canvas_.AddPhoto(path, record.width, record.height, canvasPoint.x(), canvasPoint.y());
}

bool PhotoLibraryPanel::AddCurrentAt(QPoint canvasPoint)
{
    const int position = grid_->CurrentPosition();
    if (position < 0) {
        ShowUserMessage(QString::fromLatin1(kNoPhotoMessage));
        return false;
    }
    return AddPosition(position, canvasPoint);
}

bool PhotoLibraryPanel::AddToCanvas()
{
    return AddCurrentAt(QPoint(canvas_.width() / 5, canvas_.height() / 5));
}

void PhotoLibraryPanel::ThumbnailReleased(QPoint globalPosition)
{
    if (!canvas_.isVisible())
        return;
    const QPoint point = canvas_.mapFromGlobal(globalPosition);
    if (!canvas_.rect().contains(point))
        return;
    const int position = grid_->CurrentPosition();
    if (position >= 0)
        AddPosition(position, point);
}

bool PhotoLibraryPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &canvas_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!importer_.busy() && !DroppedPictures(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = DroppedPictures(drop->mimeData());
        if (paths.isEmpty() || importer_.busy())
            return false;
        drop->acceptProposedAction();
        if (ImportPaths(paths)) {
            canvasDropPoint_ = drop->position().toPoint();
            canvasDropPaths_ = paths;
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

PhotoLibrary::LoadReport PhotoLibraryPanel::Load()
{
    const PhotoLibrary::LoadReport report = library_.Load(libraryFile_);
    grid_->Reload();
    return report;
}

bool PhotoLibraryPanel::Save(QString* error) const
{
    return library_.Save(libraryFile_, error);
}

} // namespace library
