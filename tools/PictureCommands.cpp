#include "PictureCommands.h"

#include "editing/PictureFiles.h"
#include "editing/ConvertEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace tool {

namespace {

int RunConvert(QStringList args)
{
    QString format;
    QString folder;
    QString error;
    const bool hasFormat = TakeOption(args, QStringLiteral("--format"), format, error);
    if (!error.isEmpty())
        return Usage(error);
    const bool hasFolder = TakeOption(args, QStringLiteral("--out"), folder, error);
    if (!error.isEmpty())
        return Usage(error);
    if (!hasFormat || !hasFolder)
        return Usage(QStringLiteral("convert needs --format and --out"));
    if (!ConvertEngine::FormatNames().contains(format.toUpper()))
        return Usage(QStringLiteral("unknown format '%1' (jpg, bmp, gif, png, pnm, tga, tif, pcx)").arg(format));
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("--")))
            return Usage(QStringLiteral("unknown option '%1'").arg(arg));
    }
    if (args.isEmpty())
        return Usage(QStringLiteral("convert needs at least one FILE"));
    if (!QDir().mkpath(folder))
        return Failure(QStringLiteral("cannot create the output folder '%1'").arg(folder));

    QStringList sources;
    for (const QString& arg : args)
        sources.append(QFileInfo(arg).absoluteFilePath());
    ConvertEngine engine;
    engine.SetPauseAfterFile(0);
    int failures = 0;
    engine.Run(sources, format, QFileInfo(folder).absoluteFilePath(), [&](const ConvertEngine::FileReport& report) {
        switch (report.outcome) {
        case ConvertEngine::Outcome::Written:
            Print(QStringLiteral("wrote %1").arg(report.output));
            break;
        case ConvertEngine::Outcome::Failed:
            ++failures;
            Print(QStringLiteral("failed %1 (could not write %2)").arg(report.source, report.output));
            break;
        case ConvertEngine::Outcome::Skipped:
            ++failures;
            Print(QStringLiteral("skipped %1 (not a readable picture)").arg(report.source));
            break;
        }
    });
    if (failures > 0)
        return Failure(QStringLiteral("%1 of %2 files not converted").arg(failures).arg(sources.size()));
    return kOk;
}

int RunThumbnail(QStringList args)
{
    if (args.size() != 2)
        return Usage(QStringLiteral("thumbnail needs IN and OUT.jpg"));
    const std::vector<std::uint8_t> bytes = MakeThumbnail(args.at(0));
    if (bytes.empty())
        return Failure(QStringLiteral("cannot read the picture '%1'").arg(args.at(0)));
    QSaveFile file(args.at(1));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size())
        || !file.commit())
        return Failure(QStringLiteral("cannot write '%1'").arg(args.at(1)));
    return kOk;
}

int RunInfo(QStringList args)
{
    if (args.size() != 1)
        return Usage(QStringLiteral("info needs one FILE"));
    PictureInfo info;
    if (!InspectPicture(args.at(0), info))
        return Failure(QStringLiteral("cannot read the picture '%1'").arg(args.at(0)));
    const QString decoder = info.decoder == PictureDecoder::Platform
        ? QStringLiteral("platform (%1)").arg(QString::fromLatin1(info.platformFormat))
        : QStringLiteral("library");
    Print(QStringLiteral("%1: decoder %2, format code %3, size %4x%5")
              .arg(args.at(0), decoder)
              .arg(info.formatCode)
              .arg(info.width)
              .arg(info.height));
    return kOk;
}

} // namespace

Command ConvertCommand()
{
    return {"convert", "convert --format jpg|bmp|gif|png|pnm|tga|tif|pcx --out DIR FILE...", RunConvert};
}

Command ThumbnailCommand()
{
    return {"thumbnail", "thumbnail IN OUT.jpg   (the 80 x 80 photo-library thumbnail, stored upside down)",
            RunThumbnail};
}

Command InfoCommand()
{
    return {"info", "info FILE   (decoder, format code and upright size of a picture)", RunInfo};
}

} // namespace tool
