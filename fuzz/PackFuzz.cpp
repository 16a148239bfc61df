// The resource-pack reader: the check of a whole ".qrs" pack and its install into an empty
// data folder of this process (in the scratch folder), then what the panels read of the
// installed files. A pack the check accepts installs completely, entry for entry, and a
// second install of it changes nothing; a pack it refuses leaves the folder without
// library files.

#include "FuzzSupport.h"

#include "library/LibraryFiles.h"
#include "library/ResourcePack.h"

#include <QDir>
#include <QFileInfo>

using library::InstallStatus;
using library::LibraryLayout;

namespace {

// Library files in the data folder (everything but the installed-pack list).
int LibraryFileCount(const QString& folder)
{
    int count = 0;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (entry.fileName() != QLatin1String("Res_Info"))
            ++count;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString pack = fuzz::WriteInput(data, size, QStringLiteral("qrs"));
    const QString folder = fuzz::ScratchFolder() + QStringLiteral("data/");
    fuzz::EmptyFolder(folder);
    const auto scan = library::ScanResourcePack(pack);
    if (scan && (scan->count < 0 || std::int64_t(scan->entries.size()) != scan->count))
        fuzz::Fail("a pack scan lists another number of entries than its count");
    const library::InstallResult result = library::InstallResourcePack(pack, folder);
    if (!scan) {
        if (result.status != InstallStatus::Refused || result.message.isEmpty())
            fuzz::Fail("a pack the check refuses was not refused with a message");
        if (LibraryFileCount(folder) != 0)
            fuzz::Fail("a refused pack left a library file");
        return 0;
    }
    if (result.status != InstallStatus::Installed || result.count != scan->count || result.firstIndex != 0
        || result.category != scan->category)
        fuzz::Fail("a pack the check accepts was not installed whole");
    if (const char* panelFile = library::PanelFileOfCategory(scan->category)) {
        const QString thumbnails = folder + QLatin1String(panelFile);
        const auto installed = library::ScanLibraryFile(thumbnails, LibraryLayout::Thumbnail);
        if (!installed || installed->count != scan->count)
            fuzz::Fail("the installed thumbnail file does not hold the pack's entries");
        if (scan->count > 0) {
            const QImage first = library::ReadThumbnailEntry(thumbnails, 0);
            if (!first.isNull() && first.size() != QSize(scan->entries[0].thumbWidth, scan->entries[0].thumbHeight))
                fuzz::Fail("an installed thumbnail of another size");
        }
    }
    // The image files of the category, each read as the panels read its first entry.
    for (const auto& [name, layout] : {std::pair{"photoframes", LibraryLayout::ImageWithOpening},
                                       std::pair{"photomasks", LibraryLayout::Image},
                                       std::pair{"shape", LibraryLayout::Image}}) {
        const QString images = folder + QLatin1String(name);
        if (!QFileInfo::exists(images))
            continue;
        const auto installed = library::ScanLibraryFile(images, layout);
        if (!installed || installed->count != scan->count)
            fuzz::Fail("the installed image file does not hold the pack's entries");
        if (scan->count > 0)
            library::ReadImageEntry(images, 0, layout);
    }
    if (library::InstallResourcePack(pack, folder).status != InstallStatus::AlreadyInstalled)
        fuzz::Fail("an installed pack was installed again");
    return 0;
}
