// Picture decoding through the program's loaders. The first byte chooses the format code
// (its low four bits, the code the extension would give) and the loader (its next two
// bits): the picture library at full or reduced size, or the platform reader at full or
// reduced size. The rest is the file. Whatever decodes must be a picture within the
// budget; nothing may take more memory or time than the budget allows (the fuzzer's
// RSS and time limits watch that).

#include "FuzzSupport.h"

#include "base/PictureBudget.h"
#include "editing/CxImage.h"
#include "editing/PictureFiles.h"

namespace {

// An extension of each format code (the one FormatFromExtension maps back).
const char* const kExtensions[cx::kFormatCount] = {"dat", "bmp", "gif", "jpg", "png", "ico", "tif", "tga",
                                                   "pcx", "wbmp", "wmf", "jp2", "jpc", "pgx", "pnm", "ras"};

void CheckPicture(const QImage& picture)
{
    if (!picture.isNull() && budget::Area(picture.width(), picture.height()) > budget::kMaxStoredPixels)
        fuzz::Fail("a picture beyond the budget was decoded");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint32_t code = data[0] & 15;
    const int loader = (data[0] >> 4) & 3;
    const std::uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1;
    const bool reduced = loader & 1;
    if (loader < 2) {
        CxImage image;
        if (image.Decode(file, fileSize, code, reduced ? 80 : 0, reduced ? 80 : 0)) {
            if (image.GetWidth() == 0 || image.GetHeight() == 0 || !image.GetBits(image.GetHeight() - 1))
                fuzz::Fail("a decoded picture without pixels");
            if (std::uint64_t(image.GetWidth()) * image.GetHeight() > std::uint64_t(budget::kMaxStoredPixels))
                fuzz::Fail("a library picture beyond the budget");
            CheckPicture(image.ToImage());
        }
        return 0;
    }
    const QString path = fuzz::WriteInput(file, fileSize, QString::fromLatin1(kExtensions[code]));
    CheckPicture(ReadWithPlatform(path, reduced ? QSize(80, 80) : QSize()));
    int width = 0;
    int height = 0;
    if (CxImage::Ping(path, code, width, height) && (width <= 0 || height <= 0))
        fuzz::Fail("a size that is not a size");
    if (code == cx::kFormatJpg)
        CheckPicture(DecodeThumbnail(file, fileSize, data[0] >> 6));
    return 0;
}
