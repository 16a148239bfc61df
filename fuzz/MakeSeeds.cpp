// Writes the seed corpora of the fuzz targets: small valid files of every kind each
// target reads, made with the program's own writers (and, for pictures, the picture
// library's encoders). Usage: montara-fuzz-seeds OUT_DIR (folders project/, library/,
// language/, picture/, pack/ and photolib/ are made in it).

#include "support/PictureTestSupport.h"
#include "support/ProjectTestFiles.h"

#include "app/LanguageTable.h"
#include "base/PictureBudget.h"
#include "editing/CxImage.h"
#include "editing/PictureFiles.h"
#include "library/LibraryFiles.h"
#include "library/PackBuilder.h"
#include "library/PhotoLibraryFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Encoded(const QImage& picture, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(picture) ? bytes : QByteArray();
}

void Projects(const QString& folder)
{
    using namespace testfiles;
    Write(folder + "empty.vmz", Header(800, 600, QByteArray(), 0x00FFFFFF, 0, 0));
    Write(folder + "items.vmz",
          Header(1024, 768, "/tmp/background.png", 0x00336699, 1, 3) + Entry(SamplePhoto()) + Entry(SampleText())
              + Entry(SampleClipArt()));
    Write(folder + "unknown-kind.vmz", Header(640, 480, QByteArray(), 0, 2, 2) + I32(7) + Entry(SamplePhoto()));
}

void Libraries(const QString& folder)
{
    const QImage a = testpics::Quadrants(8, 6).convertToFormat(QImage::Format_ARGB32);
    const QImage b = testpics::Quadrants(3, 5).convertToFormat(QImage::Format_ARGB32);
    library::WriteThumbnailFile(folder + "thumbnails", {a, b});
    std::vector<library::ImageEntryData> entries;
    entries.push_back({8, 6, Encoded(a, "png"), {}});
    entries.push_back({3, 5, Encoded(b, "jpeg", true), {0.25f, 0.25f, 0.75f, 0.75f}});
    library::WriteImageFile(folder + "images", library::LibraryLayout::Image, entries);
    library::WriteImageFile(folder + "frames", library::LibraryLayout::ImageWithOpening, entries);
}

void Languages(const QString& folder)
{
    const QByteArray source = "# texts\n8\tFrame\n10\tClip Art\n14\tText\n23\tMontara\n24\t&File\n30\n";
    Write(folder + "source.txt", source);
    std::vector<QByteArray> records;
    QString error;
    if (ParseLanguageSource(source, records, error))
        Write(folder + "lang.mfd", BuildLanguageFile(records));
}

void Pictures(const QString& folder)
{
    const QImage picture = testpics::Quadrants(24, 16);
    auto put = [&](const char* name, std::uint32_t code, int loader, const QByteArray& bytes) {
        if (!bytes.isEmpty())
            Write(folder + name, QByteArray(1, char(code | std::uint32_t(loader) << 4)) + bytes);
    };
    struct Library {
        const char* name;
        std::uint32_t code;
    };
    CxImage image;
    image.CreateFromImage(picture);
    for (const Library& format : {Library{"bmp", cx::kFormatBmp}, Library{"gif", cx::kFormatGif},
                                  Library{"png", cx::kFormatPng}, Library{"ico", cx::kFormatIco},
                                  Library{"tif", cx::kFormatTif}, Library{"tga", cx::kFormatTga},
                                  Library{"pcx", cx::kFormatPcx}, Library{"wbmp", cx::kFormatWbmp},
                                  Library{"pnm", cx::kFormatPnm}, Library{"ras", cx::kFormatRas}}) {
        std::size_t size = 0;
        const auto bytes = image.Encode(format.code, size);
        if (bytes) {
            const QByteArray encoded(reinterpret_cast<const char*>(bytes.get()), qsizetype(size));
            put((QByteArray("library-") + format.name).constData(), format.code, 0, encoded);
            put((QByteArray("platform-") + format.name).constData(), format.code, 2, encoded);
        }
    }
    const QByteArray baseline = testpics::JpegWithExif(picture, 6);
    put("jpeg-exif-library", cx::kFormatJpg, 0, baseline);
    put("jpeg-exif-reduced", cx::kFormatJpg, 3, baseline);
    put("jpeg-progressive", cx::kFormatJpg, 1, Encoded(picture, "jpeg", true));
    put("jpeg-progressive-platform", cx::kFormatJpg, 3, Encoded(picture, "jpeg", true));
    put("png-platform", cx::kFormatPng, 2, Encoded(picture.convertToFormat(QImage::Format_ARGB32), "png"));
    put("emf", cx::kFormatWmf, 0, testpics::Emf(40, 30));
    put("wmf", cx::kFormatWmf, 0, testpics::Wmf(40, 30));
    put("emf-unknown-code", cx::kFormatUnknown, 0, testpics::Emf(16, 16));
}

// Packs of every category from small pictures (the frame thumbnails are 120 pixels wide,
// so the pictures are flat to keep the packs small).
void Packs(const QString& folder)
{
    QTemporaryDir sources;
    if (!sources.isValid())
        return;
    const QString wide = sources.filePath(QStringLiteral("wide.png"));
    const QString small = sources.filePath(QStringLiteral("small.png"));
    const QString jpeg = sources.filePath(QStringLiteral("small.jpg"));
    Write(wide, Encoded(testpics::Quadrants(24, 4).convertToFormat(QImage::Format_ARGB32), "png"));
    Write(small, Encoded(testpics::Quadrants(6, 5).convertToFormat(QImage::Format_ARGB32), "png"));
    Write(jpeg, Encoded(testpics::Quadrants(8, 6), "jpeg"));
    const library::FrameOpening opening{0.25f, 0.25f, 0.75f, 0.75f};
    library::BuildResourcePack(0, folder + "frames.qrs", {{wide, opening}});
    library::BuildResourcePack(1, folder + "masks.qrs", {{wide, {}}});
    library::BuildResourcePack(2, folder + "clipart.qrs", {{small, {}}, {jpeg, {}}});
    library::BuildResourcePack(4, folder + "brushes.qrs", {{small, {}}});
    library::BuildResourcePack(5, folder + "shapes.qrs", {{small, {}}});
}

// Photo-library files with records and thumbnails made by the importer's own functions.
void PhotoLibraries(const QString& folder)
{
    QTemporaryDir sources;
    if (!sources.isValid())
        return;
    std::vector<library::PhotoEntry> entries;
    for (const char* name : {"first.jpg", "second.png"}) {
        const QString path = sources.filePath(QLatin1String(name));
        Write(path, Encoded(testpics::Quadrants(12, 9), path.endsWith(QLatin1String("png")) ? "png" : "jpeg"));
        auto record = library::RecordForPath(path);
        if (!record)
            continue;
        record->width = 12;
        record->height = 9;
        entries.push_back({*record, MakeThumbnail(path)});
    }
    library::WritePhotoLibraryFile(folder + "two", entries);
    if (!entries.empty()) {
        entries[0].record.drawOption = 1;
        library::WritePhotoLibraryFile(folder + "one-turned", {entries[0]});
    }
    library::WritePhotoLibraryFile(folder + "empty", {});
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: montara-fuzz-seeds OUT_DIR\n");
        return 2;
    }
    StartImageLibrary();
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    for (const char* target : {"project", "library", "language", "picture", "pack", "photolib"})
        QDir().mkpath(out + QLatin1String(target));
    Projects(out + "project/");
    Libraries(out + "library/");
    Languages(out + "language/");
    Pictures(out + "picture/");
    Packs(out + "pack/");
    PhotoLibraries(out + "photolib/");
    StopImageLibrary();
    return 0;
}
