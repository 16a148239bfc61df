#include "base/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Creates one level when missing; true when the folder exists and can be written.
bool UsableFolder(const QString& path)
{
    QFileInfo info(path);
    if (!info.exists()) {
        if (!QDir().mkdir(path))
            return false;
        info.refresh();
    }
    return info.isDir() && info.isWritable();
}

} // namespace

QString ModuleFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty())
        folder = QDir::currentPath();
    return folder;
}

QString DataFolderFor(const QString& moduleFolder)
{
    const QString portable = moduleFolder + QStringLiteral("/Data/");
    if (UsableFolder(portable))
        return portable;

    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share/montara");
    const QString fallback = base + QStringLiteral("/Data/");
    QDir().mkpath(fallback);
    return fallback;
}

QString DataFolder()
{
    return DataFolderFor(ModuleFolder());
}
