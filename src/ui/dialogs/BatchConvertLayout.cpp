#include "ui/dialogs/BatchConvertLayout.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

namespace batchconvert {

QString DefaultOutputFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    if (!documents.endsWith(QLatin1Char('/')))
        documents += QLatin1Char('/');
    return documents + QLatin1String(kProductFolder) + QLatin1Char('/') + QLatin1String(kConvertFolder)
        + QLatin1Char('/');
}

} // namespace batchconvert
