#include "LibraryCommands.h"

#include "library/LibraryFiles.h"
#include "library/PhotoLibraryFile.h"

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

} // namespace

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
