#pragma once

// The photo library column of the main window: the library (PhotoLibrary), its import
// workers (PhotoImporter), the thumbnail grid (PhotoGrid) filling the panel and the import
// progress window, wired together and to the canvas.
//
// The main window routes its commands here:
//   10900, 10483, 10601  Import()         the file dialog, then the import in the background
//   10482, 10602         Remove()         the selected photos are marked removed
//   10481 (and 1152)     AddToCanvas()    the current photo at a fifth of the canvas window
// and calls Load() at start-up and Save() when it closes. The grid's notifications come out
// as the panel's signals.
//
// Import refuses silently while the window is hidden or an import runs. The file dialog is
// a seam (SetFileChooser) so tests and scripts can hand in the chosen paths. Add to canvas
// shows "Please select a photo to add. " when no photo is current and adds nothing when the
// photo's file has gone. A thumbnail dragged from the grid and released over the canvas
// window is added at the release point; released anywhere else nothing happens.
//
// Picture files dropped from a file manager onto the grid are imported by the same rules;
// dropped onto the canvas they are imported and then each of them that is in the library
// (imported now or already there) is added at the drop point, later ones stepped down and
// right so they do not hide each other. Files of other kinds are ignored.

#include "library/PhotoImporter.h"
#include "library/PhotoLibrary.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class CanvasWnd;

namespace library {

class PhotoGrid;
class PhotoImportProgress;

// What the panel needs from its surroundings.
struct PhotoLibraryContext {
    CanvasWnd& canvas;
    QWidget* parent = nullptr;
};

// The import dialog's filter, as Qt writes filters.
QString PhotoImportFilter();

inline constexpr int kDropCascade = 20; // photos dropped together on the canvas step this far

class PhotoLibraryPanel : public QWidget {
    Q_OBJECT
public:
    explicit PhotoLibraryPanel(const PhotoLibraryContext& context);
    ~PhotoLibraryPanel() override;

    PhotoLibrary& Library() { return library_; }
    PhotoImporter& Importer() { return importer_; }
    PhotoGrid& Grid() { return *grid_; }
    PhotoImportProgress& Progress() { return *progress_; }

    // The file dialog: returns the chosen paths (empty: cancelled).
    using FileChooser = std::function<QStringList(QWidget* parent)>;
    void SetFileChooser(FileChooser chooser);

    // ---- commands ----
    bool Import();
    // Starts an import of these paths (the dialog's result or a drop); false when refused.
    bool ImportPaths(const QStringList& paths);
    int Remove();
    bool AddToCanvas();
    // The current photo at this point of the canvas window; false when none was added.
    bool AddCurrentAt(QPoint canvasPoint);

    // ---- the library file ----
    void SetLibraryFile(const QString& file) { libraryFile_ = file; }
    QString LibraryFile() const { return libraryFile_; }
    PhotoLibrary::LoadReport Load();
    bool Save(QString* error = nullptr) const;

    QSize sizeHint() const override;

signals:
    void selectionChanged(const std::vector<std::int32_t>& indexes); // 1134
    void selectionStateChanged();                                    // 1135
    void contextMenuRequested(QPoint globalPosition);                // 1153
    // An import ended (after the grid shows its photos).
    void importFinished(const library::PhotoImporter::Outcome& outcome);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AddPosition(int position, QPoint canvasPoint);
    void ThumbnailReleased(QPoint globalPosition);
    void ImportFinished(const PhotoImporter::Outcome& outcome);
    void StopImport();

    CanvasWnd& canvas_;
    PhotoLibrary library_;
    PhotoImporter importer_; // after the library: destroyed (and its threads joined) first
    PhotoGrid* grid_;        // child
    PhotoImportProgress* progress_; // child window
    FileChooser chooser_;
    QString libraryFile_;
    // Dropped on the canvas: the paths and the point they go to once imported.
    std::optional<QPoint> canvasDropPoint_;
    QStringList canvasDropPaths_;
};

} // namespace library
