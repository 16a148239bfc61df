#pragma once

// The photo library held by the main window: the photo records with their thumbnails,
// in the order they were added, and the visible list the grid shows. It lives on the
// interface thread and is changed only there (the import worker hands its records over
// through the event loop, see PhotoImporter).
//
// Positions are stable for the life of the object: removing photos only marks their
// records removed; the records stay (not shown, not saved) so the positions and
// indexes of the others do not change. A record's index is its position when it was
// added or loaded; after a save and a load the records not removed get consecutive
// indexes from 0.
//
// A photo is added only when no record that is not removed has the same full path,
// compared byte for byte (letter case counts). The selected flags of the records are
// the selection; the grid changes them through SetSelected / SetSelection.
//
// Load keeps a file that exists but cannot be read whole aside as "<file>.bad" (the
// library then starts empty), so that the save at close does not overwrite it.

#include "library/PhotoLibraryFile.h"

#include <QHash>
#include <QObject>

#include <optional>
#include <vector>

namespace library {

class PhotoLibrary : public QObject {
    Q_OBJECT
public:
    explicit PhotoLibrary(QObject* parent = nullptr);

    enum class LoadStatus {
        Missing, // no file: an empty library
        Loaded,
        Damaged, // kept aside (keptAside names where) and the library is empty
    };
    struct LoadReport {
        LoadStatus status = LoadStatus::Missing;
        QString error;     // why a damaged file could not be read
        QString keptAside; // the damaged file's new name; empty when it could not be moved
    };
    // Replaces the whole library by the file's contents.
    LoadReport Load(const QString& file);
    // Writes the records not removed (atomically). False with the reason when it fails.
    bool Save(const QString& file, QString* error = nullptr) const;

    // Every record, removed ones included.
    int Count() const { return int(entries_.size()); }
    const PhotoEntry& Entry(int position) const { return entries_.at(std::size_t(position)); }
    const std::vector<PhotoEntry>& Entries() const { return entries_; }
    // Positions of the records not removed, in order.
    const std::vector<int>& Visible() const { return visible_; }

    // True when a record that is not removed has exactly these path bytes.
    bool ContainsPath(const QByteArray& pathBytes) const;

    // Appends a photo unless its path is already in the library (then nothing). The
    // record gets its index (the number of records, removed ones included), a cleared
    // selected and removed flag. The position of the new record, or nothing.
    std::optional<int> Add(PhotoRecord record, std::vector<std::uint8_t> thumbnail);

    // Marks the records at these positions removed (and not selected); the number marked.
    int Remove(const std::vector<int>& positions);
    int RemoveSelected();

    // Selection over the records not removed.
    bool IsSelected(int position) const;
    void SetSelected(int position, bool selected);
    // Selects exactly these positions (removed ones ignored); one notification.
    void SetSelection(const std::vector<int>& positions);
    // Positions of the selected records, in order.
    std::vector<int> SelectedPositions() const;
    // Their stored indexes (what the selection notification carries).
    std::vector<std::int32_t> SelectedIndexes() const;

signals:
    // The visible list was rebuilt (load, add, remove).
    void recordsChanged();
    // Selected flags changed.
    void selectionChanged();

private:
    void RebuildVisible();

    std::vector<PhotoEntry> entries_;
    std::vector<int> visible_;
    QHash<QByteArray, int> livePaths_; // path bytes of records not removed -> how many
};

} // namespace library
