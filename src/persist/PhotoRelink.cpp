#include "persist/PhotoRelink.h"

#include "canvas/CollageModel.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <variant>

namespace relink {

QStringList MissingPhotoPaths(const CollageModel& model)
{
    QStringList missing;
    for (int i = 0; i < model.ItemCount(); ++i) {
        const auto* photo = std::get_if<Photo>(&model.ItemAt(i));
        if (!photo)
            continue;
        const QString path = photo->path.Value();
        if (!path.isEmpty() && !missing.contains(path) && !QFileInfo(path).isFile())
            missing << path;
    }
    return missing;
}

QHash<QString, QString> FindByName(const QStringList& missing, const QString& folder, int maxEntries)
{
    QHash<QString, QStringList> wanted; // file name -> the missing paths with that name
    for (const QString& path : missing)
        wanted[QFileInfo(path).fileName()] << path;
    QHash<QString, QString> found;
    if (wanted.isEmpty())
        return found;

    // Breadth first: a photo right in the chosen folder wins over one deep below it.
    QStringList level{QDir(folder).absolutePath()};
    QSet<QString> seen; // canonical folders, so links that loop are entered once
    int entries = 0;
    while (!level.isEmpty() && !wanted.isEmpty() && entries < maxEntries) {
        QStringList next;
        for (const QString& dirPath : level) {
            const QString canonical = QFileInfo(dirPath).canonicalFilePath();
            if (canonical.isEmpty() || seen.contains(canonical))
                continue;
            seen.insert(canonical);
            const QFileInfoList list = QDir(dirPath).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                                                   QDir::Name);
            for (const QFileInfo& info : list) {
                if (++entries > maxEntries)
                    break;
                if (info.isDir()) {
                    next << info.filePath();
                    continue;
                }
                const auto it = wanted.find(info.fileName());
                if (it == wanted.end())
                    continue;
                for (const QString& path : *it)
                    found.insert(path, info.filePath());
                wanted.erase(it);
            }
        }
        level = next;
    }
    return found;
}

int Relink(CollageModel& model, const QHash<QString, QString>& found)
{
    int changed = 0;
    for (int i = 0; i < model.ItemCount(); ++i) {
        auto* photo = std::get_if<Photo>(&model.ItemAt(i));
        if (!photo)
            continue;
        const auto it = found.constFind(photo->path.Value());
        if (it == found.constEnd() || !photo->path.Set(*it))
            continue;
        model.DropPhotoImages(i);
        ++changed;
    }
    if (changed > 0) {
        model.SetModified(true);
        model.RequestRedraw();
    }
    return changed;
}

} // namespace relink
