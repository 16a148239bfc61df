#pragma once

// Photos that moved: a project names its photos by path, and a photo folder that was
// moved or renamed leaves the collage with photos drawn as nothing. After opening, the
// window asks the user for a folder; photos found there by file name (subfolders
// searched too) take the missing paths.

#include <QHash>
#include <QString>
#include <QStringList>

class CollageModel;

namespace relink {

// The distinct paths of photo items whose file does not exist, in item order.
QStringList MissingPhotoPaths(const CollageModel& model);

// Searches `folder` and its subfolders for files named as the missing paths' file names
// (letter case as stored). Each missing path gets the first match in a stable order
// (shallower first, then by name). At most `maxEntries` directory entries are looked
// at, so a search started at "/" ends.
QHash<QString, QString> FindByName(const QStringList& missing, const QString& folder, int maxEntries = 500000);

// Gives every photo item whose path is a key the new path (refused when it does not fit
// the 260-byte field), drops its cached pictures and marks the collage modified when
// anything changed. Returns the number of items changed. No undo step: the old paths
// name nothing.
int Relink(CollageModel& model, const QHash<QString, QString>& found);

} // namespace relink
