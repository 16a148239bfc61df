// The library-file readers (thumbnail files, image files with and without openings, the
// pictures inside them): every reader of the program over one file.

#include "FuzzSupport.h"

#include "library/LibraryFiles.h"

#include <cmath>

using library::LibraryLayout;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::WriteInput(data, size);
    for (LibraryLayout layout : {LibraryLayout::Thumbnail, LibraryLayout::Image, LibraryLayout::ImageWithOpening}) {
        const auto scan = library::ScanLibraryFile(path, layout);
        if (scan && std::int64_t(scan->entries.size()) != scan->count)
            fuzz::Fail("a scan lists another number of entries than its count");
    }
    for (int n : {0, 1}) {
        const QImage thumbnail = library::ReadThumbnailEntry(path, n);
        if (!thumbnail.isNull() && thumbnail.format() != QImage::Format_ARGB32)
            fuzz::Fail("a thumbnail entry in another format");
        for (LibraryLayout layout : {LibraryLayout::Image, LibraryLayout::ImageWithOpening}) {
            const auto entry = library::ReadImageEntry(path, n, layout);
            if (entry && (entry->picture.isNull() || entry->picture.format() != QImage::Format_ARGB32))
                fuzz::Fail("an image entry without its picture");
        }
        if (const auto opening = library::ReadFrameOpening(path, n); opening && !library::IsUsableOpening(*opening))
            fuzz::Fail("an unusable frame opening was returned");
        library::ReadShapeSize(path, n);
    }
    library::DecodeLibraryPicture(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
