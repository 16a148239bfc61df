#include "base/FileFilter.h"

#include <QStringList>

QString QtFileFilter(const char* filter)
{
    const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts.at(i);
        if (name.isEmpty())
            break; // the "||" that ends the list
        const QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        entries << (name.endsWith(shown) ? name : name + QLatin1Char(' ') + shown);
    }
    return entries.join(QStringLiteral(";;"));
}
