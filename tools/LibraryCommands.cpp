#include "LibraryCommands.h"

#include "library/LibraryFiles.h"
#include "library/PackBuilder.h"
#include "library/PhotoLibraryFile.h"
#include "library/ResourcePack.h"

#include "base/DataFolder.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>

namespace tool {

namespace {

using library::LibraryLayout;

const char* LayoutName(LibraryLayout layout)
{
    switch (layout) {
    case LibraryLayout::Thumbnail:
        return "thumbnail";
    case LibraryLayout::Image:
        return "image";
    case LibraryLayout::ImageWithOpening:
        return "frame";
    }
    return "thumbnail";
}

std::optional<LibraryLayout> LayoutByName(const QString& name)
{
    for (LibraryLayout layout : {LibraryLayout::Thumbnail, LibraryLayout::Image, LibraryLayout::ImageWithOpening}) {
        if (name == QLatin1String(LayoutName(layout)))
            return layout;
    }
    return std::nullopt;
}

QString JsonString(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\', out += c;
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

// The shortest decimal that reads back as the same float.
QString JsonFloat(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

int Dump(QStringList args)
{
    QString layoutName;
    QString error;
    const bool layoutGiven = TakeOption(args, QStringLiteral("--layout"), layoutName, error);
    if (!error.isEmpty())
        return Usage(error);
    if (args.size() != 1)
        return Usage(QStringLiteral("usage: library dump FILE [--layout thumbnail|image|frame]"));
    const QString path = args.first();

    std::optional<LibraryLayout> layout;
    if (layoutGiven) {
        layout = LayoutByName(layoutName);
        if (!layout)
            return Usage(QStringLiteral("unknown layout '%1' (thumbnail, image or frame)").arg(layoutName));
    } else {
        layout = library::LayoutOfLibraryFile(QFileInfo(path).fileName());
        if (!layout)
            return Usage(QStringLiteral("'%1' is not a library file name; give --layout thumbnail|image|frame")
                             .arg(QFileInfo(path).fileName()));
    }

    const std::optional<library::LibraryScan> scan = library::ScanLibraryFile(path, *layout, &error);
    if (!scan)
        return Failure(QStringLiteral("%1: %2").arg(path, error));

    Print(QStringLiteral("{"));
    Print(QStringLiteral("  \"file\": %1,").arg(JsonString(path)));
    Print(QStringLiteral("  \"layout\": \"%1\",").arg(QLatin1String(LayoutName(*layout))));
    Print(QStringLiteral("  \"fileSize\": %1,").arg(scan->fileSize));
    Print(QStringLiteral("  \"count\": %1,").arg(scan->count));
    Print(QStringLiteral("  \"entries\": ["));
    for (std::size_t i = 0; i < scan->entries.size(); ++i) {
        const library::EntryHeader& entry = scan->entries[i];
        QString line = QStringLiteral("    {\"index\": %1, \"offset\": %2, \"width\": %3, \"height\": %4")
                           .arg(i)
                           .arg(entry.offset)
                           .arg(entry.width)
                           .arg(entry.height);
        if (*layout != LibraryLayout::Thumbnail)
            line += QStringLiteral(", \"dataLength\": %1").arg(entry.dataLength);
        if (entry.opening) {
            line += QStringLiteral(", \"opening\": {\"left\": %1, \"top\": %2, \"right\": %3, \"bottom\": %4}")
                        .arg(JsonFloat(entry.opening->left), JsonFloat(entry.opening->top),
                             JsonFloat(entry.opening->right), JsonFloat(entry.opening->bottom));
        }
        line += i + 1 < scan->entries.size() ? QStringLiteral("},") : QStringLiteral("}");
        Print(line);
    }
    Print(QStringLiteral("  ],"));
    Print(QStringLiteral("  \"trailingBytes\": %1").arg(scan->trailingBytes));
    Print(QStringLiteral("}"));
    return kOk;
}

QString JsonBytes(const QByteArray& bytes)
{
    return JsonString(QString::fromUtf8(bytes));
}

// "library photos FILE": the photo library file's records as JSON.
int DumpPhotos(const QStringList& args)
{
    if (args.size() != 1)
        return Usage(QStringLiteral("usage: library photos FILE"));
    const QString path = args.first();
    QString error;
    const std::optional<library::PhotoLibraryContents> contents = library::ReadPhotoLibraryFile(path, &error);
    if (!contents)
        return Failure(QStringLiteral("%1: %2").arg(path, error));

    Print(QStringLiteral("{"));
    Print(QStringLiteral("  \"file\": %1,").arg(JsonString(path)));
    Print(QStringLiteral("  \"fileSize\": %1,").arg(contents->fileSize));
    Print(QStringLiteral("  \"count\": %1,").arg(contents->entries.size()));
    Print(QStringLiteral("  \"records\": ["));
    for (std::size_t i = 0; i < contents->entries.size(); ++i) {
        const library::PhotoRecord& r = contents->entries[i].record;
        const bool reservedZero = r.reserved2 == 0 && r.reserved3 == 0
            && std::all_of(r.reserved.begin(), r.reserved.end(), [](std::uint8_t b) { return b == 0; });
        QString line = QStringLiteral("    {\"position\": %1, \"path\": %2, \"drive\": %3, \"folder\": %4, "
                                      "\"name\": %5, \"extension\": %6")
                           .arg(i)
                           .arg(JsonBytes(r.path.Bytes()), JsonBytes(r.drive.Bytes()), JsonBytes(r.folder.Bytes()),
                                JsonBytes(r.name.Bytes()), JsonBytes(r.extension.Bytes()));
        line += QStringLiteral(", \"index\": %1, \"width\": %2, \"height\": %3, \"drawOption\": %4, "
                               "\"selected\": %5, \"removed\": %6, \"reservedZero\": %7, \"thumbnailLength\": %8")
                    .arg(r.index)
                    .arg(r.width)
                    .arg(r.height)
                    .arg(r.drawOption)
                    .arg(r.selected)
                    .arg(r.removed)
                    .arg(reservedZero ? QStringLiteral("true") : QStringLiteral("false"))
                    .arg(contents->entries[i].thumbnail.size());
        line += i + 1 < contents->entries.size() ? QStringLiteral("},") : QStringLiteral("}");
        Print(line);
    }
    Print(QStringLiteral("  ],"));
    Print(QStringLiteral("  \"trailingBytes\": %1").arg(contents->trailingBytes));
    Print(QStringLiteral("}"));
    return kOk;
}

constexpr char kLibraryUsage[] = "usage: library dump FILE [--layout thumbnail|image|frame] | library photos FILE";

constexpr char kPackUsage[] = "usage: pack build CATEGORY OUT.qrs PICTURE... [--opening L,T,R,B per frame] | "
                               "pack list FILE.qrs | pack install [--data DIR] FILE.qrs";

std::optional<library::FrameOpening> ParseOpening(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    float values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toFloat(&ok);
        if (!ok)
            return std::nullopt;
    }
    return library::FrameOpening{values[0], values[1], values[2], values[3]};
}

int PackBuild(QStringList args)
{
    // Pictures and openings in the order given: the n-th opening belongs to the n-th picture.
    std::vector<QString> pictures;
    std::vector<library::FrameOpening> openings;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--opening")) {
            if (i + 1 >= args.size())
                return Usage(QStringLiteral("--opening needs a value L,T,R,B"));
            const std::optional<library::FrameOpening> opening = ParseOpening(args[++i]);
            if (!opening)
                return Usage(QStringLiteral("'%1' is not an opening L,T,R,B (four numbers)").arg(args[i]));
            openings.push_back(*opening);
        } else {
            rest.append(args[i]);
        }
    }
    if (rest.size() < 2)
        return Usage(QString::fromLatin1(kPackUsage));
    const std::optional<std::int32_t> category = library::CategoryByName(rest[0]);
    if (!category)
        return Usage(QStringLiteral("unknown category '%1' (0-5 or frames, masks, clipart, decorations, brushes, "
                                    "shapes)")
                         .arg(rest[0]));
    const QString out = rest[1];
    for (qsizetype i = 2; i < rest.size(); ++i)
        pictures.push_back(rest[i]);
    const bool frames = *category == static_cast<std::int32_t>(library::LibraryCategory::PhotoFrames);
    if (frames && openings.size() != pictures.size())
        return Usage(QStringLiteral("a frame pack needs one --opening per picture (%1 pictures, %2 openings)")
                         .arg(pictures.size())
                         .arg(openings.size()));
    if (!frames && !openings.empty())
        return Usage(QStringLiteral("only frame packs take --opening"));
    std::vector<library::PackSource> sources;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        library::PackSource source{pictures[i], std::nullopt};
        if (frames)
            source.opening = openings[i];
        sources.push_back(source);
    }
    QString error;
    if (!library::BuildResourcePack(*category, out, sources, &error))
        return Failure(error);
    return kOk;
}

int PackList(QStringList args)
{
    if (args.size() != 1)
        return Usage(QString::fromLatin1(kPackUsage));
    const QString path = args.first();
    QString error;
    const std::optional<library::PackScan> scan = library::ScanResourcePack(path, &error);
    if (!scan)
        return Failure(QStringLiteral("%1: %2").arg(path, error));
    Print(QStringLiteral("{"));
    Print(QStringLiteral("  \"file\": %1,").arg(JsonString(path)));
    Print(QStringLiteral("  \"category\": %1,").arg(scan->category));
    Print(QStringLiteral("  \"categoryName\": \"%1\",").arg(QLatin1String(library::CategoryName(scan->category))));
    Print(QStringLiteral("  \"fileSize\": %1,").arg(scan->fileSize));
    Print(QStringLiteral("  \"count\": %1,").arg(scan->count));
    Print(QStringLiteral("  \"entries\": ["));
    for (std::size_t i = 0; i < scan->entries.size(); ++i) {
        const library::PackEntry& e = scan->entries[i];
        QString line = QStringLiteral("    {\"index\": %1, \"offset\": %2, \"thumbWidth\": %3, \"thumbHeight\": %4, "
                                      "\"imageWidth\": %5, \"imageHeight\": %6, \"dataLength\": %7")
                           .arg(i)
                           .arg(e.offset)
                           .arg(e.thumbWidth)
                           .arg(e.thumbHeight)
                           .arg(e.imageWidth)
                           .arg(e.imageHeight)
                           .arg(e.dataLength);
        if (e.opening) {
            line += QStringLiteral(", \"opening\": {\"left\": %1, \"top\": %2, \"right\": %3, \"bottom\": %4}")
                        .arg(JsonFloat(e.opening->left), JsonFloat(e.opening->top), JsonFloat(e.opening->right),
                             JsonFloat(e.opening->bottom));
        }
        line += i + 1 < scan->entries.size() ? QStringLiteral("},") : QStringLiteral("}");
        Print(line);
    }
    Print(QStringLiteral("  ],"));
    Print(QStringLiteral("  \"trailingBytes\": %1").arg(scan->trailingBytes));
    Print(QStringLiteral("}"));
    return kOk;
}

int PackInstall(QStringList args)
{
    QString dataFolder;
    QString error;
    const bool given = TakeOption(args, QStringLiteral("--data"), dataFolder, error);
    if (!error.isEmpty())
        return Usage(error);
    if (args.size() != 1)
        return Usage(QString::fromLatin1(kPackUsage));
    if (!given)
        dataFolder = DataFolder();
    if (!dataFolder.endsWith(u'/'))
        dataFolder += u'/';
    const library::InstallResult result = library::InstallResourcePack(args.first(), dataFolder);
    if (result.status != library::InstallStatus::Installed)
        return Failure(result.message);
    QString line = QStringLiteral("installed %1 %2 entries into %3")
                       .arg(result.count)
                       .arg(QLatin1String(library::CategoryName(result.category)), dataFolder);
    if (result.count > 0)
        line += QStringLiteral(" (indexes %1 to %2)").arg(result.firstIndex).arg(result.firstIndex + result.count - 1);
    Print(line);
    return kOk;
}

} // namespace

Command PackCommand()
{
    return {"pack", "pack build CATEGORY OUT.qrs PICTURE... [--opening L,T,R,B per frame] | pack list FILE.qrs | "
                    "pack install [--data DIR] FILE.qrs",
            [](QStringList args) {
                if (args.isEmpty())
                    return Usage(QString::fromLatin1(kPackUsage));
                const QString sub = args.takeFirst();
                if (sub == QLatin1String("build"))
                    return PackBuild(args);
                if (sub == QLatin1String("list"))
                    return PackList(args);
                if (sub == QLatin1String("install"))
                    return PackInstall(args);
                return Usage(QString::fromLatin1(kPackUsage));
            }};
}

Command LibraryCommand()
{
    return {"library", "library dump FILE [--layout thumbnail|image|frame]; library photos FILE", [](QStringList args) {
                if (!args.isEmpty() && args.first() == QLatin1String("photos")) {
                    args.removeFirst();
                    return DumpPhotos(args);
                }
                if (args.isEmpty() || args.first() != QLatin1String("dump"))
                    return Usage(QLatin1String(kLibraryUsage));
                args.removeFirst();
                return Dump(args);
            }};
}

} // namespace tool
