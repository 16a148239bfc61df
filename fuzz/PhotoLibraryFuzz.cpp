// The photo-library file ("VelMedia"): the reader over one file, the thumbnails decoded as
// the photo grid decodes them, and the writer's round trip: whatever the reader accepts is
// written again and read back the same, less the records marked removed.

#include "FuzzSupport.h"

#include "editing/PictureFiles.h"
#include "library/PhotoLibraryFile.h"

#include <algorithm>

using library::PhotoEntry;

namespace {

// The grid decodes the thumbnails it shows; a few per file are enough here.
constexpr std::size_t kThumbnailsDecoded = 4;

bool SameEntries(const std::vector<PhotoEntry>& kept, const std::vector<PhotoEntry>& read)
{
    return std::equal(kept.begin(), kept.end(), read.begin(), read.end(), [](const PhotoEntry& a, const PhotoEntry& b) {
        return a.record == b.record && a.thumbnail == b.thumbnail;
    });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::WriteInput(data, size);
    QString error;
    const auto contents = library::ReadPhotoLibraryFile(path, &error);
    if (!contents) {
        if (error.isEmpty())
            fuzz::Fail("a library file was refused without a reason");
        return 0;
    }
    if (contents->fileSize != std::int64_t(size) || contents->trailingBytes < 0
        || contents->trailingBytes > contents->fileSize)
        fuzz::Fail("a library file read with sizes it does not have");
    for (std::size_t i = 0; i < std::min(contents->entries.size(), kThumbnailsDecoded); ++i) {
        const PhotoEntry& entry = contents->entries[i];
        DecodeThumbnail(entry.thumbnail.data(), entry.thumbnail.size(), entry.record.drawOption);
    }
    std::vector<PhotoEntry> kept;
    for (const PhotoEntry& entry : contents->entries) {
        if (entry.record.removed == 0)
            kept.push_back(entry);
    }
    const QString copy = fuzz::ScratchFolder() + QStringLiteral("copy");
    if (!library::WritePhotoLibraryFile(copy, contents->entries, &error))
        fuzz::Fail("a library file that was read could not be written");
    const auto again = library::ReadPhotoLibraryFile(copy, &error);
    if (!again || again->trailingBytes != 0 || !SameEntries(kept, again->entries))
        fuzz::Fail("a library file written back reads differently");
    return 0;
}
