#include "library/PackBuilder.h"
#include "library/ResourcePack.h"

#include "base/LittleEndian.h"
#include "support/ByteFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace library;

namespace {

using testbytes::ReadBytes;
using testbytes::WriteBytes;
using testbytes::I32At;
using testbytes::AppendI32;

// A picture with partial alpha and a different colour per pixel.
QImage Crafted(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = seed + y * width + x;
            image.setPixel(x, y, qRgba((10 + i) % 256, (200 - i) & 255, (3 * i) % 256, (i * 37) % 256));
        }
    }
    return image;
}

// Every file of a folder with its bytes: what an install must leave alone.
std::map<QString, QByteArray> FolderBytes(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files[name] = ReadBytes(folder + name);
    return files;
}

class ResourcePacks : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        data = dir.filePath(QStringLiteral("user/Data/"));
        QDir().mkpath(dir.filePath(QStringLiteral("src")));
    }

    // A picture file in the temporary folder.
    QString Picture(const QString& name, const QImage& image)
    {
        const QString path = dir.filePath(QStringLiteral("src/") + name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    // A pack of count pictures (width x height, distinct pixels) of a category.
    QString Pack(const QString& name, std::int32_t category, int count, int width = 6, int height = 4, int seed = 0)
    {
        std::vector<PackSource> sources;
        for (int i = 0; i < count; ++i) {
            PackSource source{Picture(QStringLiteral("%1-%2.png").arg(name).arg(i), Crafted(width, height, seed + i * 7)),
                              std::nullopt};
            if (category == 0)
                source.opening = FrameOpening{0.1f * float(i % 3), 0.2f, 0.9f, 0.8f + 0.05f * float(i % 2)};
            sources.push_back(source);
        }
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(BuildResourcePack(category, path, sources, &error)) << error.toStdString();
        return path;
    }

    // The recorded pack names of "Res_Info".
    QStringList Recorded()
    {
        const QByteArray bytes = ReadBytes(data + kResInfoFile);
        QStringList names;
        if (bytes.size() < 4)
            return names;
        const std::int32_t count = I32At(bytes, 0);
        EXPECT_EQ(bytes.size(), 4 + qsizetype(count) * 260);
        for (std::int32_t i = 0; i < count && 4 + (i + 1) * 260 <= bytes.size(); ++i) {
            const QByteArray record = bytes.mid(4 + i * 260, 260);
            EXPECT_EQ(record.size(), 260);
            names.append(QString::fromUtf8(record.constData()));
        }
        return names;
    }

    QTemporaryDir dir;
    QString data;
};

} // namespace

TEST_F(ResourcePacks, FirstInstallCreatesTheFolderTheListAndBothFiles)
{
    const QString pack = Pack(QStringLiteral("Frames One.qrs"), 0, 3, 240, 180);
    ASSERT_FALSE(QDir(data).exists());
    const InstallResult result = InstallResourcePack(pack, data);
    ASSERT_EQ(result.status, InstallStatus::Installed) << result.message.toStdString();
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_EQ(result.category, 0);
    EXPECT_EQ(result.count, 3);
    EXPECT_EQ(result.firstIndex, 0);
    EXPECT_EQ(Recorded(), QStringList{QStringLiteral("Frames One.qrs")});

    // Each entry copied byte for byte: the first three fields into the thumbnail file, the
    // rest into the image file.
    const QByteArray packBytes = ReadBytes(pack);
    const std::optional<PackScan> scan = ScanResourcePack(pack);
    ASSERT_TRUE(scan);
    QByteArray thumbs;
    QByteArray images;
    AppendI32(thumbs, 3);
    AppendI32(images, 3);
    for (const PackEntry& e : scan->entries) {
        thumbs += packBytes.mid(e.offset, e.thumbnailSize);
        images += packBytes.mid(e.offset + e.thumbnailSize, e.imageSize);
    }
    EXPECT_EQ(ReadBytes(data + kPhotoFramesThumbFile), thumbs);
    EXPECT_EQ(ReadBytes(data + kPhotoFramesFile), images);
    EXPECT_EQ(ReadThumbnailEntry(data + kPhotoFramesThumbFile, 2).width(), 120);
    EXPECT_EQ(ReadThumbnailEntry(data + kPhotoFramesThumbFile, 2).height(), 90);
    EXPECT_EQ(ReadFrameOpening(data + kPhotoFramesFile, 1)->left, 0.1f);
    EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), 3); // no temporary files left
}

TEST_F(ResourcePacks, SameNameTwiceIsRefusedEvenFromAnotherFolderOtherCaseIsNot)
{
    const QString pack = Pack(QStringLiteral("Masks.qrs"), 1, 2);
    ASSERT_EQ(InstallResourcePack(pack, data).status, InstallStatus::Installed);
    const auto before = FolderBytes(data);

    QDir().mkpath(dir.filePath(QStringLiteral("elsewhere")));
    const QString copy = dir.filePath(QStringLiteral("elsewhere/Masks.qrs"));
    ASSERT_TRUE(QFile::copy(pack, copy));
    for (const QString& path : {pack, copy}) {
        const InstallResult again = InstallResourcePack(path, data);
        EXPECT_EQ(again.status, InstallStatus::AlreadyInstalled);
        EXPECT_EQ(again.message, QStringLiteral("Already in the library."));
        EXPECT_EQ(FolderBytes(data), before);
    }

    const QString otherCase = dir.filePath(QStringLiteral("elsewhere/masks.qrs"));
    ASSERT_TRUE(QFile::copy(pack, otherCase));
    const InstallResult lower = InstallResourcePack(otherCase, data);
    ASSERT_EQ(lower.status, InstallStatus::Installed);
    EXPECT_EQ(lower.firstIndex, 2);
    EXPECT_EQ(Recorded(), (QStringList{QStringLiteral("Masks.qrs"), QStringLiteral("masks.qrs")}));
    EXPECT_EQ(I32At(ReadBytes(data + kPhotoMasksThumbFile), 0), 4);
    EXPECT_EQ(I32At(ReadBytes(data + kPhotoMasksFile), 0), 4);
}

TEST_F(ResourcePacks, EmptyPackCreatesMissingFilesWithCountZero)
{
    const QString pack = Pack(QStringLiteral("Empty.qrs"), 3, 0);
    const InstallResult result = InstallResourcePack(pack, data);
    ASSERT_EQ(result.status, InstallStatus::Installed);
    EXPECT_EQ(result.count, 0);
    QByteArray zero;
    AppendI32(zero, 0);
    EXPECT_EQ(ReadBytes(data + kDecorateThumbFile), zero);
    EXPECT_EQ(ReadBytes(data + kDecorateFile), zero);
    EXPECT_EQ(Recorded(), QStringList{QStringLiteral("Empty.qrs")});
    EXPECT_EQ(PanelFileOfCategory(3), nullptr); // decorations refresh no panel

    // An empty pack into a category with entries changes nothing but the list.
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("Decor.qrs"), 3, 2), data).status, InstallStatus::Installed);
    const QByteArray thumbs = ReadBytes(data + kDecorateThumbFile);
    const QByteArray images = ReadBytes(data + kDecorateFile);
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("Empty2.qrs"), 3, 0), data).status, InstallStatus::Installed);
    EXPECT_EQ(ReadBytes(data + kDecorateThumbFile), thumbs);
    EXPECT_EQ(ReadBytes(data + kDecorateFile), images);
}

TEST_F(ResourcePacks, FramesAppendAfterTheEntriesThere)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("a.qrs"), 0, 4, 10, 10, 1), data).status, InstallStatus::Installed);
    const QString second = Pack(QStringLiteral("b.qrs"), 0, 3, 30, 60, 50);
    const InstallResult result = InstallResourcePack(second, data);
    ASSERT_EQ(result.status, InstallStatus::Installed);
    EXPECT_EQ(result.firstIndex, 4);
    EXPECT_EQ(I32At(ReadBytes(data + kPhotoFramesThumbFile), 0), 7);
    EXPECT_EQ(I32At(ReadBytes(data + kPhotoFramesFile), 0), 7);
    // Indexes 4 to 6 are the new pack's entries in both files.
    for (int n = 4; n < 7; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ReadThumbnailEntry(data + kPhotoFramesThumbFile, n).size(), QSize(120, 240));
        const std::optional<ImageEntry> image = ReadImageEntry(data + kPhotoFramesFile, n, LibraryLayout::ImageWithOpening);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->picture, Crafted(30, 60, 50 + (n - 4) * 7));
    }
    EXPECT_EQ(ReadThumbnailEntry(data + kPhotoFramesThumbFile, 3).size(), QSize(120, 120));
    EXPECT_TRUE(ReadThumbnailEntry(data + kPhotoFramesThumbFile, 7).isNull());
}

TEST_F(ResourcePacks, ClipArtAndBrushPacksTouchOneFileShapesTwo)
{
    for (const auto& [category, file] : {std::pair{2, kClipArtsFile}, std::pair{4, kBrushesFile}}) {
        QTemporaryDir own;
        const QString folder = own.path() + QLatin1Char('/');
        const QString pack = Pack(QStringLiteral("p%1.qrs").arg(category), category, 2, 5, 3);
        ASSERT_EQ(InstallResourcePack(pack, folder).status, InstallStatus::Installed);
        QStringList files = QDir(folder).entryList(QDir::Files);
        files.sort();
        EXPECT_EQ(files, (QStringList{QString::fromLatin1(kResInfoFile), QLatin1String(file)}));
        // The raw pixels are the item itself; the encoded pictures are skipped.
        EXPECT_EQ(ReadThumbnailEntry(folder + file, 1), Crafted(5, 3, 7));
        EXPECT_EQ(ReadBytes(folder + file).size(), 4 + 2 * (8 + 5 * 3 * 4));
        EXPECT_STREQ(PanelFileOfCategory(category), file);
    }
    const QString shapes = Pack(QStringLiteral("Shapes.qrs"), 5, 2, 40, 30);
    ASSERT_EQ(InstallResourcePack(shapes, data).status, InstallStatus::Installed);
    EXPECT_EQ(ReadThumbnailEntry(data + kShapeThumbFile, 1), Crafted(40, 30, 7));
    EXPECT_EQ(ReadShapeSize(data + kShapeFile, 1), QSize(40, 30));
    ASSERT_TRUE(ScanLibraryFile(data + kShapeFile, LibraryLayout::Image));
    EXPECT_STREQ(PanelFileOfCategory(5), kShapeThumbFile);
}

// A pack that ends early: refused with a message, every file as it was. Cut at every
// byte near the start or end of a field, and every 101st byte inside the pixel blocks.
TEST_F(ResourcePacks, TruncatedPackChangesNothing)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 0, 1, 4, 4), data).status, InstallStatus::Installed);
    const auto before = FolderBytes(data);
    const QString fullPath = Pack(QStringLiteral("full.qrs"), 0, 2, 3, 2);
    const QByteArray full = ReadBytes(fullPath);
    const std::optional<PackScan> scan = ScanResourcePack(fullPath);
    ASSERT_TRUE(scan);
    std::vector<qsizetype> boundaries{0, 8};
    for (const PackEntry& e : scan->entries) {
        boundaries.push_back(e.offset);
        boundaries.push_back(e.offset + e.thumbnailSize);
        boundaries.push_back(e.offset + e.thumbnailSize + 28);
        boundaries.push_back(e.offset + e.thumbnailSize + e.imageSize);
    }
    const auto nearBoundary = [&](qsizetype at) {
        return std::any_of(boundaries.begin(), boundaries.end(), [at](qsizetype b) { return at >= b - 12 && at <= b + 12; });
    };
    const QString cut = dir.filePath(QStringLiteral("cut.qrs"));
    for (qsizetype length = 0; length < full.size(); length += nearBoundary(length) ? 1 : 101) {
        SCOPED_TRACE(length);
        WriteBytes(cut, full.left(length));
        const InstallResult result = InstallResourcePack(cut, data);
        EXPECT_EQ(result.status, InstallStatus::Refused);
        EXPECT_TRUE(result.message.contains(QLatin1String("cannot be installed"))) << result.message.toStdString();
        EXPECT_TRUE(result.message.contains(QLatin1String("Nothing was installed."))) << result.message.toStdString();
        ASSERT_EQ(FolderBytes(data), before);
    }
    WriteBytes(cut, full);
    EXPECT_EQ(InstallResourcePack(cut, data).status, InstallStatus::Installed);
}

TEST_F(ResourcePacks, ImpossibleSizesAndCountsAreRefusedBeforeAnythingIsWritten)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("first.qrs"), 1, 1), data).status, InstallStatus::Installed);
    const auto before = FolderBytes(data);
    const QString path = dir.filePath(QStringLiteral("hostile.qrs"));
    // category, count, then one entry: thumb w, h, pixels, image w, h, length, data.
    const auto pack = [&](std::int32_t category, std::int32_t count, std::int32_t tw, std::int32_t th,
                          qsizetype pixelBytes, std::int32_t iw, std::int32_t ih, std::int32_t length,
                          qsizetype dataBytes) {
        QByteArray bytes;
        AppendI32(bytes, category);
        AppendI32(bytes, count);
        AppendI32(bytes, tw);
        AppendI32(bytes, th);
        bytes.append(pixelBytes, '\x11');
        AppendI32(bytes, iw);
        AppendI32(bytes, ih);
        AppendI32(bytes, length);
        bytes.append(dataBytes, '\x22');
        WriteBytes(path, bytes);
        return InstallResourcePack(path, data);
    };
    ASSERT_EQ(pack(1, 1, 1, 1, 4, 1, 1, 3, 3).status, InstallStatus::Installed); // the well-formed base case
    const auto after = FolderBytes(data);
    for (const auto& [name, bytes] : before)
        WriteBytes(data + name, bytes);

    struct Case {
        InstallResult result;
        const char* why;
    };
    const Case cases[] = {
        {pack(1, -1, 1, 1, 4, 1, 1, 3, 3), "negative"},
        {pack(1, 2, 1, 1, 4, 1, 1, 3, 3), "more than the file can hold"},
        {pack(1, 0x7fffffff, 1, 1, 4, 1, 1, 3, 3), "more than the file can hold"},
        {pack(1, 1, -1, 1, 4, 1, 1, 3, 3), "negative thumbnail size"},
        {pack(1, 1, 1, -4, 4, 1, 1, 3, 3), "negative thumbnail size"},
        {pack(1, 1, 100, 100, 4, 1, 1, 3, 3), "larger than the rest of the file"},
        {pack(1, 1, 32768, 32769, 4, 1, 1, 3, 3), "larger than 1 GB"},
        {pack(1, 1, 0x7fffffff, 0x7fffffff, 4, 1, 1, 3, 3), "larger than 1 GB"},
        {pack(1, 1, 1, 1, 4, -1, 1, 3, 3), "negative picture size"},
        {pack(1, 1, 1, 1, 4, 1, 1, -3, 3), "negative picture length"},
        {pack(1, 1, 1, 1, 4, 1, 1, 4, 3), "larger than the rest of the file"},
        {pack(1, 1, 1, 1, 4, 1, 1, (1 << 30) + 1, 3), "larger than 1 GB"},
        {pack(6, 1, 1, 1, 4, 1, 1, 3, 3), "category 6 is unknown"},
        {pack(-1, 1, 1, 1, 4, 1, 1, 3, 3), "category -1 is unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.result.status, InstallStatus::Refused);
        EXPECT_TRUE(c.result.message.contains(QLatin1String(c.why))) << c.result.message.toStdString();
    }
    EXPECT_EQ(FolderBytes(data), before);
    EXPECT_NE(after, before);
}

TEST_F(ResourcePacks, NameThatDoesNotFitItsRecordIsRefused)
{
    // File names on Linux stop at 255 bytes; a UTF-8 name of 255 bytes fits, the record
    // check is by bytes of the name and comes before the pack is opened.
    const QString fits = QString(251, u'n') + QStringLiteral(".qrs");
    ASSERT_EQ(fits.toUtf8().size(), 255);
    ASSERT_TRUE(QFile::copy(Pack(QStringLiteral("x.qrs"), 4, 1), dir.filePath(fits)));
    EXPECT_EQ(InstallResourcePack(dir.filePath(fits), data).status, InstallStatus::Installed);
    EXPECT_EQ(Recorded().last(), fits);

    const QString tooLong = dir.filePath(QString(256, u'\u00e9') + QStringLiteral(".qrs")); // 516 bytes
    const auto before = FolderBytes(data);
    const InstallResult result = InstallResourcePack(tooLong, data);
    EXPECT_EQ(result.status, InstallStatus::Refused);
    EXPECT_TRUE(result.message.contains(QLatin1String("too long"))) << result.message.toStdString();
    EXPECT_TRUE(result.message.contains(QLatin1String("at most 259 bytes"))) << result.message.toStdString();
    EXPECT_EQ(FolderBytes(data), before);
}

TEST_F(ResourcePacks, DamagedListStopsWithAMessageAndChangesNothing)
{
    const QString pack = Pack(QStringLiteral("m.qrs"), 1, 1);
    QDir().mkpath(data);
    for (const QByteArray& list : {QByteArray("\x01\x00", 2), QByteArray(4, '\0'), QByteArray("\xff\xff\xff\xff", 4),
                                   QByteArray("\x02\x00\x00\x00", 4) + QByteArray(300, 'a')}) {
        WriteBytes(data + kResInfoFile, list);
        const InstallResult result = InstallResourcePack(pack, data);
        EXPECT_EQ(result.status, InstallStatus::Failed);
        EXPECT_TRUE(result.message.contains(QLatin1String("damaged"))) << result.message.toStdString();
        EXPECT_EQ(QDir(data).entryList(QDir::Files), QStringList{QString::fromLatin1(kResInfoFile)});
        EXPECT_EQ(ReadBytes(data + kResInfoFile), list);
    }
}

// Library files left inconsistent (by an earlier program that raised the counts before
// copying, or by a kill between the renames of two files) are trimmed to the entries both
// files hold whole; the new entries follow them.
TEST_F(ResourcePacks, InconsistentLibraryFilesAreTrimmedToTheirWholeEntries)
{
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("a.qrs"), 0, 3, 8, 8, 1), data).status, InstallStatus::Installed);
    // The thumbnail file claims 5 entries and ends in the middle of its fourth.
    QByteArray thumbs = ReadBytes(data + kPhotoFramesThumbFile);
    thumbs[0] = 5;
    thumbs.append(QByteArray("\x02\x00\x00\x00\x02\x00\x00\x00\x01\x02", 10));
    WriteBytes(data + kPhotoFramesThumbFile, thumbs);
    // The image file holds one entry more than the thumbnail file's whole ones.
    ASSERT_TRUE(AppendImageEntries(data + kPhotoFramesFile, LibraryLayout::ImageWithOpening,
                                   {{1, 1, ReadBytes(dir.filePath(QStringLiteral("src/a.qrs-0.png"))), {}}}));

    const InstallResult result = InstallResourcePack(Pack(QStringLiteral("b.qrs"), 0, 2, 16, 8, 90), data);
    ASSERT_EQ(result.status, InstallStatus::Installed);
    EXPECT_EQ(result.firstIndex, 3);
    const std::optional<LibraryScan> t = ScanLibraryFile(data + kPhotoFramesThumbFile, LibraryLayout::Thumbnail);
    const std::optional<LibraryScan> i = ScanLibraryFile(data + kPhotoFramesFile, LibraryLayout::ImageWithOpening);
    ASSERT_TRUE(t && i);
    EXPECT_EQ(t->count, 5);
    EXPECT_EQ(i->count, 5);
    EXPECT_EQ(t->trailingBytes, 0);
    EXPECT_EQ(i->trailingBytes, 0);
    EXPECT_EQ(ReadImageEntry(data + kPhotoFramesFile, 3, LibraryLayout::ImageWithOpening)->picture, Crafted(16, 8, 90));
}

TEST_F(ResourcePacks, StarterPacksInstallOnlyIntoMissingCategories)
{
    const QString starter = dir.filePath(QStringLiteral("starter"));
    QDir().mkpath(starter);
    ASSERT_TRUE(QFile::rename(Pack(QStringLiteral("Frames.qrs"), 0, 2), starter + QStringLiteral("/Frames.qrs")));
    ASSERT_TRUE(QFile::rename(Pack(QStringLiteral("Clip.qrs"), 2, 3), starter + QStringLiteral("/Clip.qrs")));
    ASSERT_TRUE(QFile::rename(Pack(QStringLiteral("Brush.qrs"), 4, 1), starter + QStringLiteral("/Brush.qrs")));

    // The user has brushes already: that pack is left out.
    ASSERT_EQ(InstallResourcePack(Pack(QStringLiteral("Own brushes.qrs"), 4, 2), data).status, InstallStatus::Installed);
    const QByteArray brushes = ReadBytes(data + kBrushesFile);
    const std::vector<InstallResult> first = InstallStarterPacks(data, starter);
    ASSERT_EQ(first.size(), 2u);
    for (const InstallResult& r : first)
        EXPECT_EQ(r.status, InstallStatus::Installed) << r.message.toStdString();
    EXPECT_EQ(Recorded(), (QStringList{QStringLiteral("Own brushes.qrs"), QStringLiteral("Clip.qrs"),
                                       QStringLiteral("Frames.qrs")}));
    EXPECT_EQ(ReadBytes(data + kBrushesFile), brushes);
    EXPECT_EQ(I32At(ReadBytes(data + kClipArtsFile), 0), 3);
    // Every later start finds the files and installs nothing.
    EXPECT_TRUE(InstallStarterPacks(data, starter).empty());
}

// A library file that is there but cannot be read is not replaced by the new entries.
TEST_F(ResourcePacks, UnreadableLibraryFileStopsTheInstall)
{
    QDir().mkpath(data + kClipArtsFile); // a folder where the file should be
    const InstallResult result = InstallResourcePack(Pack(QStringLiteral("c.qrs"), 2, 1), data);
    EXPECT_EQ(result.status, InstallStatus::Failed);
    EXPECT_TRUE(result.message.contains(QLatin1String("cannot be read"))) << result.message.toStdString();
    EXPECT_TRUE(QFileInfo(data + kClipArtsFile).isDir());
    EXPECT_FALSE(QFile::exists(data + kResInfoFile));
}
