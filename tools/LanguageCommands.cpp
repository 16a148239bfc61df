// lang: builds the enciphered language table from its plain source (the build does this
// for the resource "IDR_ENG_LANG" 229) and dumps an enciphered table.

#include "LanguageCommands.h"

#include "app/LanguageTable.h"

#include <QFile>
#include <QSaveFile>

namespace tool {

namespace {

int Build(const QString& sourcePath, const QString& outPath)
{
    QFile in(sourcePath);
    if (!in.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("cannot read %1: %2").arg(sourcePath, in.errorString()));
    // A source is a few kilobytes; refuse anything that could not be a table.
    if (in.size() > 1024 * 1024)
        return Failure(QStringLiteral("%1: too large for a language source").arg(sourcePath));
    std::vector<QByteArray> records;
    QString error;
    if (!ParseLanguageSource(in.readAll(), records, error))
        return Failure(QStringLiteral("%1: %2").arg(sourcePath, error));

    const QByteArray bytes = BuildLanguageFile(records);
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return Failure(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
    return kOk;
}

int Dump(const QString& path)
{
    std::size_t filled = 0;
    const LanguageTable table = ReadLanguageFile(path, &filled);
    if (!table)
        return Failure(QStringLiteral("cannot read %1").arg(path));
    const int records = std::min(kLangMaxRecords, static_cast<int>((filled + kLangRecordSize - 1) / kLangRecordSize));
    for (int i = 0; i < records; ++i)
        Print(QStringLiteral("%1\t%2").arg(i).arg(RecordText(table.get(), i)));
    return kOk;
}

int RunLang(QStringList args)
{
    if (args.size() == 3 && args[0] == QLatin1String("build"))
        return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == QLatin1String("dump"))
        return Dump(args[1]);
    return Usage(QStringLiteral("usage: lang build SOURCE OUT | lang dump FILE"));
}

} // namespace

Command LangCommand()
{
    return {"lang", "lang build SOURCE OUT | lang dump FILE", RunLang};
}

} // namespace tool
