// The hostile inputs that once took gigabytes or tens of seconds, made here and run
// through the loaders and through montara-tool: each is refused, or handled within the
// picture budget. Memory and time themselves are measured by bench/hostile_inputs.sh
// (which writes these same files through MONTARA_HOSTILE_OUT), not asserted here.

#include "support/HostileFiles.h"
#include "support/PictureTestSupport.h"
#include "support/ProjectTestFiles.h"
#include "support/ToolRun.h"

#include "base/PictureBudget.h"
#include "editing/CxImage.h"
#include "editing/MetafileCoverage.h"
#include "editing/PictureFiles.h"
#include "library/LibraryFiles.h"
#include "library/PhotoLibraryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace hostile;

namespace {

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(StartImageLibrary());
    }
    QString Put(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(testpics::WriteFile(path, bytes)) << name.toStdString();
        return path;
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

QByteArray Jpeg(const QByteArray& frame, const QByteArray& scan)
{
    return QByteArray::fromHex("ffd8") + frame + scan + QByteArray::fromHex("0000ffd9");
}

// A frame header: marker, 100 x 100, three components with the given sampling bytes.
QByteArray Frame(const char* marker, std::uint8_t y, std::uint8_t cb, std::uint8_t cr)
{
    QByteArray frame = QByteArray::fromHex(marker) + QByteArray::fromHex("0011080064006403");
    for (std::uint8_t sampling : {y, cb, cr})
        frame += QByteArray(1, char(frame.size())) + QByteArray(1, char(sampling)) + QByteArray(1, '\0');
    return frame;
}

QByteArray Scan(int components)
{
    QByteArray scan = QByteArray::fromHex("ffda") + LittleEndian(0, 0);
    const int length = 6 + 2 * components;
    scan += QByteArray(1, char(length >> 8)) + QByteArray(1, char(length & 0xFF)) + QByteArray(1, char(components));
    for (int c = 0; c < components; ++c)
        scan += QByteArray::fromHex("0100");
    return scan + QByteArray::fromHex("003f00");
}

budget::JpegLayout Layout(const QByteArray& jpeg)
{
    budget::JpegLayout layout;
    EXPECT_TRUE(budget::ReadJpegLayout(reinterpret_cast<const std::uint8_t*>(jpeg.constData()),
                                       std::size_t(jpeg.size()), layout));
    return layout;
}

} // namespace

TEST(PictureBudget, ARealHundredMegapixelPhotoFitsAndALyingHeaderDoesNot)
{
    // 100 MP decoded by the platform at full size: 400 MB.
    EXPECT_TRUE(budget::DecodeFits(QSize(10000, 10000), QSize(10000, 10000), budget::kPlatformBytesPerPixel));
    // Its progressive form at an eighth: 300 MB of coefficients (4:2:0) and a small output.
    const std::int64_t coefficients = 10000LL * 10000 * 3 / 2 * 2;
    EXPECT_TRUE(budget::DecodeFits(QSize(10000, 10000), QSize(1250, 1250), budget::kPlatformBytesPerPixel, coefficients));
    // 46000 x 46000 is refused whatever size it would be decoded at.
    EXPECT_FALSE(budget::DecodeFits(QSize(46000, 46000), QSize(80, 80), budget::kPlatformBytesPerPixel));
    EXPECT_FALSE(budget::DecodeFits(QSize(12000, 12000), QSize(1500, 1500), budget::kPlatformBytesPerPixel));
    // The library's 16-bit cache makes it stricter than the platform.
    EXPECT_FALSE(budget::DecodeFits(QSize(8000, 8000), QSize(8000, 8000), budget::kLibraryBytesPerPixel));
    EXPECT_TRUE(budget::DecodeFits(QSize(5000, 5000), QSize(5000, 5000), budget::kLibraryBytesPerPixel));
    // Nonsense sizes and costs never fit.
    EXPECT_FALSE(budget::DecodeFits(QSize(0, 10), QSize(0, 10), 4));
    EXPECT_FALSE(budget::DecodeFits(QSize(10, 10), QSize(10, 10), 4, -1));
    EXPECT_FALSE(budget::Fits(budget::DecodeCost(QSize(0x7FFFFFFF, 0x7FFFFFFF), QSize(1, 1), 4)));
    EXPECT_EQ(budget::Area(0x7FFFFFFF, 0x7FFFFFFF), std::int64_t(0x7FFFFFFF) * 0x7FFFFFFF);
}

TEST(PictureBudget, JpegWorkingBuffersFromTheMarkers)
{
    // Progressive 4:2:0, 100 x 100: luma 13 x 13 blocks rounded up to 14 x 14, each chroma
    // plane 7 x 7; 128 bytes a block.
    const budget::JpegLayout progressive = Layout(Jpeg(Frame("ffc2", 0x22, 0x11, 0x11), Scan(1)));
    EXPECT_TRUE(progressive.progressive);
    EXPECT_TRUE(progressive.multiScan);
    EXPECT_EQ(progressive.coefficientBytes, (14 * 14 + 2 * 7 * 7) * 128);
    EXPECT_EQ(progressive.WorkingBytes(), progressive.coefficientBytes);
    EXPECT_EQ(progressive.width, 100);
    EXPECT_EQ(progressive.components, 3);

    // Baseline with one interleaved scan decodes row by row: no whole-picture buffers.
    const budget::JpegLayout baseline = Layout(Jpeg(Frame("ffc0", 0x11, 0x11, 0x11), Scan(3)));
    EXPECT_FALSE(baseline.multiScan);
    EXPECT_EQ(baseline.coefficientBytes, 3 * 13 * 13 * 128);
    EXPECT_EQ(baseline.WorkingBytes(), 0);
    // Baseline whose first scan holds one component of three: buffered like progressive.
    EXPECT_TRUE(Layout(Jpeg(Frame("ffc0", 0x11, 0x11, 0x11), Scan(1))).multiScan);

    // A claimed 46000 x 46000 progressive picture needs 6 GB of coefficients.
    const budget::JpegLayout lying = Layout(ProgressiveJpegClaiming(46000, 46000));
    EXPECT_TRUE(lying.multiScan);
    EXPECT_GT(lying.WorkingBytes(), budget::kPictureBudget * 10);

    budget::JpegLayout none;
    const QByteArray bad = Jpeg(Frame("ffc2", 0x52, 0x11, 0x11), Scan(1)); // sampling 5 is invalid
    EXPECT_FALSE(budget::ReadJpegLayout(reinterpret_cast<const std::uint8_t*>(bad.constData()), std::size_t(bad.size()), none));
    EXPECT_FALSE(budget::ReadJpegLayout(reinterpret_cast<const std::uint8_t*>("\xff\xd8\xff"), 3, none));
}

TEST_F(HostileInput, ReducedDecodesOfALyingProgressiveJpegAreRefused)
{
    for (std::uint16_t side : {std::uint16_t(46000), std::uint16_t(65500)}) {
        SCOPED_TRACE(side);
        const QString path = Put(QStringLiteral("lying-%1.jpg").arg(side), ProgressiveJpegClaiming(side, side));
        EXPECT_LT(QFileInfo(path).size(), 2000);
        EXPECT_TRUE(ReadWithPlatform(path, QSize(80, 80)).isNull());
        CxImage image;
        EXPECT_FALSE(image.Load(path, cx::kFormatJpg, 80, 80));
        EXPECT_TRUE(MakeThumbnail(path).empty());
        EXPECT_EQ(RunTool({QStringLiteral("thumbnail"), path, Path(QStringLiteral("t.jpg"))}).status, 1);
        EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("t.jpg"))));
    }
    // The same file as a photo of a project: the collage renders with the photo left out.
    Photo photo = testfiles::SamplePhoto();
    photo.path.Set(Path(QStringLiteral("lying-46000.jpg")));
    Put(QStringLiteral("photo.vmz"), testfiles::Header(400, 300, {}, 0x00FFFFFF, 0, 1) + testfiles::Entry(photo));
    const ToolRun render = RunTool({QStringLiteral("render"), Path(QStringLiteral("photo.vmz")), Path(QStringLiteral("out.png"))});
    EXPECT_EQ(render.status, 0) << render.err.toStdString();
    EXPECT_EQ(QImage(Path(QStringLiteral("out.png"))).size(), QSize(400, 300));
}

TEST_F(HostileInput, TheConverterTakesNoBufferOnAHeadersWord)
{
    const std::vector<File> files = {
        {"header.png", PngClaiming(30000, 30000)},       {"header.jpg", JpegClaiming(30000, 30000)},
        {"header.bmp", BmpClaiming(30000, 30000)},       {"header.ppm", PpmClaiming(30000, 30000)},
        {"header.wmf", WmfClaiming(32767, 32767)},       {"mutated.gif", GifClaiming(60000, 50000)},
        {"mutated.pcx", PcxClaiming(40000, 40000)},      {"mutated.tga", TgaClaiming(40000, 40000)},
        {"mutated.pbm", PbmClaiming(300000, 300000)},    {"mutated-rle.bmp", RleBmpClaiming(40000, 40000)},
        {"mutated-cmyk.jpg", CmykJpegClaiming(40000, 40000)}, {"mutated-exif.jpg", JpegClaiming(65000, 65000)},
        {"bounds.emf", EmfClaiming(16384, 16384)},
    };
    QStringList args = {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("png"),
                        QStringLiteral("--out"), Path(QStringLiteral("out"))};
    for (const File& file : files) {
        ASSERT_GT(file.bytes.size(), 20) << file.name.toStdString();
        args.append(Put(file.name, file.bytes));
    }
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.count("skipped "), qsizetype(files.size())) << run.out.toStdString();
    EXPECT_TRUE(QDir(Path(QStringLiteral("out"))).entryList(QDir::Files).isEmpty());
}

TEST_F(HostileInput, MetafileSizesComeFromTheHeaderAndLargeOnesAreNotDrawn)
{
    const QString emf = Put(QStringLiteral("bounds.emf"), EmfClaiming(16384, 16384));
    int width = 0;
    int height = 0;
    ASSERT_TRUE(CxImage::Ping(emf, cx::kFormatWmf, width, height));
    EXPECT_EQ(QSize(width, height), QSize(16383, 16383)); // bounds are inclusive; drawn right - left
    const ToolRun info = RunTool({QStringLiteral("info"), emf});
    EXPECT_EQ(info.status, 0);
    EXPECT_TRUE(info.out.contains("size 16383x16383")) << info.out.toStdString();
    EXPECT_FALSE(CxImage(emf, cx::kFormatWmf).IsValid());

    const QString wmf = Put(QStringLiteral("box.wmf"), WmfClaiming(32767, 32767));
    const ToolRun wmfInfo = RunTool({QStringLiteral("info"), wmf});
    EXPECT_EQ(wmfInfo.status, 0) << wmfInfo.err.toStdString();
    EXPECT_TRUE(wmfInfo.out.contains("size 32767x32767")) << wmfInfo.out.toStdString();
    EXPECT_EQ(RunTool({QStringLiteral("thumbnail"), wmf, Path(QStringLiteral("w.jpg"))}).status, 1);

    // Metafiles within the budget are still drawn, at the header's size.
    const QString small = Put(QStringLiteral("small.emf"), testpics::Emf(120, 90));
    CxImage drawn(small, cx::kFormatWmf);
    ASSERT_TRUE(drawn.IsValid());
    EXPECT_EQ(drawn.GetWidth(), 119u); // the helper's bounds end at 119, 89
    EXPECT_EQ(drawn.GetHeight(), 89u);
    // Records that do not tile the file are refused before the converter sees them.
    QByteArray broken = testpics::Emf(120, 90);
    broken.replace(108 + 4, 4, LittleEndian(0x7FFFFFF0, 4));
    EXPECT_FALSE(CxImage(Put(QStringLiteral("broken.emf"), broken), cx::kFormatWmf).IsValid());
    // Found by fuzz_picture: a header whose description lies past its record made the
    // converter read beyond the file. A description outside its record, or without its
    // terminating zero inside it, is refused; one inside it is not.
    QByteArray described = testpics::Emf(120, 90);
    described.replace(60, 8, LittleEndian(65536, 4) + LittleEndian(88, 4));
    EXPECT_FALSE(CxImage(Put(QStringLiteral("long.emf"), described), cx::kFormatWmf).IsValid());
    described.replace(60, 8, LittleEndian(0, 4) + LittleEndian(256, 4));
    EXPECT_FALSE(CxImage(Put(QStringLiteral("past.emf"), described), cx::kFormatWmf).IsValid());
    described.replace(60, 8, LittleEndian(2, 4) + LittleEndian(88, 4)); // zeros in the 108-byte header
    EXPECT_TRUE(CxImage(Put(QStringLiteral("inside.emf"), described), cx::kFormatWmf).IsValid());
    const QByteArray kept = testpics::ReadFile(QStringLiteral(MONTARA_SOURCE_DIR "/fuzz/regressions/"
                                                              "picture-emf-description-past-the-file"));
    ASSERT_EQ(kept.size(), 261);
    EXPECT_FALSE(CxImage(reinterpret_cast<const std::uint8_t*>(kept.constData()) + 1, std::size_t(kept.size() - 1),
                         cx::kFormatWmf)
                     .IsValid());
}

TEST_F(HostileInput, ARealPictureBeyondTheBudgetIsRefusedAsPhotoAndAsFrame)
{
    const QByteArray png = LargeBilevelPng(16000);
    EXPECT_LT(png.size(), 2 << 20);
    const QString path = Put(QStringLiteral("real.png"), png);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(PictureSize(path, width, height)); // the header is fine
    EXPECT_EQ(width, 16000);
    EXPECT_TRUE(ReadWithPlatform(path).isNull());
    EXPECT_TRUE(ReadWithPlatform(path, QSize(80, 80)).isNull());
    EXPECT_FALSE(CxImage(path, cx::kFormatPng).IsValid());
    EXPECT_EQ(RunTool({QStringLiteral("thumbnail"), path, Path(QStringLiteral("t.jpg"))}).status, 1);

    // As the picture of a frame in a library file: the frame is left out of the render.
    EXPECT_TRUE(library::DecodeLibraryPicture(png).isNull());
    const QString data = Path(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkpath(data));
    library::ImageEntryData entry{16000, 16000, png, {0.1f, 0.1f, 0.9f, 0.9f}};
    ASSERT_TRUE(library::WriteImageFile(data + QStringLiteral("/photoframes"), library::LibraryLayout::ImageWithOpening, {entry}));
    Photo photo = testfiles::SamplePhoto();
    photo.frameIndex = 1;
    Put(QStringLiteral("framed.vmz"), testfiles::Header(400, 300, {}, 0x00FFFFFF, 0, 1) + testfiles::Entry(photo));
    const ToolRun render = RunTool({QStringLiteral("render"), Path(QStringLiteral("framed.vmz")),
                                    Path(QStringLiteral("framed.png")), QStringLiteral("--data"), data});
    EXPECT_EQ(render.status, 0) << render.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("framed.png"))));
}

TEST_F(HostileInput, APngChunkClaimingGigabytesIsRefused)
{
    // Found by fuzz_picture: a chunk whose length field claims 1.9 GB made the library's
    // PNG coder ask for that much memory even to read the size. Its allocations are now
    // held to the budget; the file is refused.
    QByteArray png = PngClaiming(24, 16);
    png.insert(33, QByteArray::fromHex("72726f72") + QByteArray("bKGD") + QByteArray(8, '\x11'));
    const QString path = Put(QStringLiteral("chunk.png"), png);
    EXPECT_FALSE(CxImage(path, cx::kFormatPng).IsValid());
    int width = 0;
    int height = 0;
    CxImage::Ping(path, cx::kFormatPng, width, height); // the size may or may not be read; nothing more
    EXPECT_TRUE(ReadWithPlatform(path).isNull());
}

TEST_F(HostileInput, ACanvasBeyondTheBudgetIsNotComposed)
{
    const QString project = Put(QStringLiteral("canvas.vmz"), ProjectClaiming(26000, 26000));
    const ToolRun render = RunTool({QStringLiteral("render"), project, Path(QStringLiteral("canvas.png"))});
    EXPECT_EQ(render.status, 1);
    EXPECT_TRUE(render.err.contains("too large")) << render.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("canvas.png"))));
    // The largest canvas the program makes is composed.
    const QString largest = Put(QStringLiteral("largest.vmz"), ProjectClaiming(3200, 3200));
    EXPECT_EQ(RunTool({QStringLiteral("render"), largest, Path(QStringLiteral("largest.bmp"))}).status, 0);
}

TEST_F(HostileInput, AnUncompressedTgaIsReadAsATga)
{
    const QString path = Put(QStringLiteral("plain.tga"), PlainTga(64, 48));
    PictureInfo info;
    ASSERT_TRUE(InspectPicture(path, info));
    EXPECT_EQ(QSize(info.width, info.height), QSize(64, 48));
    const ToolRun run = RunTool({QStringLiteral("info"), path});
    EXPECT_TRUE(run.out.contains("size 64x48")) << run.out.toStdString();
    const QImage picture = ReadWithPlatform(path);
    if (!picture.isNull()) {
        EXPECT_EQ(picture.size(), QSize(64, 48));
        EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 0, 0));
    }
}

TEST_F(HostileInput, APipeOnTheCommandLineIsRefusedAtOnce)
{
    const QString fifo = Path(QStringLiteral("pipe.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& command : {QStringLiteral("info"), QStringLiteral("thumbnail")}) {
        QStringList args = {command, fifo};
        if (command == QLatin1String("thumbnail"))
            args.append(Path(QStringLiteral("t.jpg")));
        const ToolRun run = RunTool(args, 20000);
        EXPECT_EQ(run.status, 1) << command.toStdString();
        EXPECT_TRUE(run.err.contains("not a regular file")) << run.err.toStdString();
    }
    // The loaders themselves do not open it either.
    int width = 0;
    int height = 0;
    EXPECT_FALSE(PictureSize(fifo, width, height));
    EXPECT_TRUE(ReadWithPlatform(fifo).isNull());
    EXPECT_FALSE(CxImage(fifo, cx::kFormatPng).IsValid());
}

TEST_F(HostileInput, ALibraryThumbnailClaimingALargePictureIsDecodedSmall)
{
    // Found by fuzz_photolib: a photo-library file whose second thumbnail claims
    // 65455 x 1712 made the grid's decode take a 448 MB picture and its turned copy.
    auto decode = [](const QByteArray& jpeg, int turns) {
        return DecodeThumbnail(reinterpret_cast<const std::uint8_t*>(jpeg.constData()), std::size_t(jpeg.size()),
                               turns);
    };
    auto small = [](const QImage& image) { return image.isNull() || (image.width() <= 80 && image.height() <= 80); };
    for (int turns : {0, 1})
        EXPECT_TRUE(small(decode(JpegClaiming(65455, 1712), turns))) << turns;
    EXPECT_TRUE(decode(ProgressiveJpegClaiming(65500, 65500), 0).isNull()); // its coefficients alone exceed the budget

    const QString kept = Put(QStringLiteral("VelMedia"),
                             testpics::ReadFile(QStringLiteral(MONTARA_SOURCE_DIR "/fuzz/regressions/"
                                                               "photolib-thumbnail-claims-65455x1712")));
    const auto contents = library::ReadPhotoLibraryFile(kept);
    ASSERT_TRUE(contents.has_value());
    ASSERT_EQ(contents->entries.size(), 2u);
    for (const library::PhotoEntry& entry : contents->entries)
        EXPECT_TRUE(small(decode(QByteArray(reinterpret_cast<const char*>(entry.thumbnail.data()),
                                            qsizetype(entry.thumbnail.size())),
                                 entry.record.drawOption)));

    // A thumbnail the program made comes back at its size, and a larger real JPEG reduced
    // with its aspect, upright.
    const QString photo = Put(QStringLiteral("photo.png"), QByteArray());
    ASSERT_TRUE(testpics::Quadrants(160, 120).save(photo));
    const std::vector<std::uint8_t> made = MakeThumbnail(photo);
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(DecodeThumbnail(made.data(), made.size(), 1).size(), QSize(80, 80));
    const QImage reduced = decode(testpics::JpegWithExif(testpics::Quadrants(160, 120).mirrored(false, true), 1), 0);
    ASSERT_EQ(reduced.size(), QSize(80, 60));
    EXPECT_LT(testpics::Distance(reduced.pixel(10, 10), testpics::Quadrants(160, 120).pixel(20, 20)), 40);
    EXPECT_LT(testpics::Distance(reduced.pixel(70, 50), testpics::Quadrants(160, 120).pixel(140, 100)), 40);
}

TEST_F(HostileInput, AMetafileOfFewShapesOverALargePictureIsDrawnSmaller)
{
    // Found by fuzz_picture: 108 bytes of Windows metafile, two rectangles over a picture
    // of 30630 x 1052 at 96 dots an inch. The library's renderer fills each one pixel by
    // pixel and cannot be stopped inside a shape: 11 s. It is drawn at a lower density,
    // the same shapes on a smaller picture.
    const QByteArray kept = testpics::ReadFile(QStringLiteral(MONTARA_SOURCE_DIR "/fuzz/regressions/"
                                                              "picture-wmf-two-rectangles-over-30630x1052"));
    ASSERT_EQ(kept.size(), 109);
    const QByteArray wmf = kept.mid(1);
    CxImage image;
    ASSERT_TRUE(image.Decode(reinterpret_cast<const std::uint8_t*>(wmf.constData()), std::size_t(wmf.size()),
                             cx::kFormatWmf));
    // The background and the rectangles' parts of the picture.
    const double coverage = metafile::WindowsMetafileCoverage(reinterpret_cast<const std::uint8_t*>(wmf.constData()),
                                                              std::size_t(wmf.size()));
    EXPECT_GT(coverage, 1.5);
    EXPECT_LE(coverage * image.GetWidth() * image.GetHeight(), 8.0 * 1024 * 1024);
    EXPECT_NEAR(double(image.GetWidth()) / image.GetHeight(), 30630.0 / 1052.0, 0.5);
    // The size from the header is the metafile's own, whatever it is drawn at.
    const QString path = Put(QStringLiteral("shapes.wmf"), wmf);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(CxImage::Ping(path, cx::kFormatWmf, width, height));
    EXPECT_EQ(QSize(width, height), QSize(30630, 1052));

    // A small metafile is drawn at its size.
    const QByteArray small = testpics::Wmf(40, 30);
    CxImage drawn;
    ASSERT_TRUE(drawn.Decode(reinterpret_cast<const std::uint8_t*>(small.constData()), std::size_t(small.size()),
                             cx::kFormatWmf));
    EXPECT_EQ(QSize(int(drawn.GetWidth()), int(drawn.GetHeight())), QSize(40, 30));
}

TEST_F(HostileInput, AMetafileIsDrawnSmallerOnlyWhenItsShapesCoverTooMuch)
{
    auto draw = [&](const QByteArray& wmf) {
        CxImage image;
        EXPECT_TRUE(image.Decode(reinterpret_cast<const std::uint8_t*>(wmf.constData()), std::size_t(wmf.size()),
                                 cx::kFormatWmf));
        return QSize(int(image.GetWidth()), int(image.GetHeight()));
    };
    auto coverage = [](const QByteArray& wmf) {
        return metafile::WindowsMetafileCoverage(reinterpret_cast<const std::uint8_t*>(wmf.constData()),
                                                 std::size_t(wmf.size()));
    };
    // Clip-art: 600 small shapes (20 x 20 units of 1200 x 900) paint a fraction of the
    // picture each; it is drawn at its size.
    const QByteArray clipArt = testpics::WmfOfRectangles(1200, 900, 600, 20);
    EXPECT_NEAR(coverage(clipArt), 1.0 + 0.5 + 600 * (21.0 * 21.0) / (1200.0 * 900.0), 0.01);
    EXPECT_EQ(draw(clipArt), QSize(1200, 900));
    // 600 shapes each over the whole picture: drawn smaller, its aspect kept.
    const QByteArray heavy = testpics::WmfOfRectangles(1200, 900, 600, 900);
    EXPECT_GT(coverage(heavy), 400.0);
    const QSize drawn = draw(heavy);
    EXPECT_LT(drawn.width(), 1200);
    EXPECT_NEAR(double(drawn.width()) / drawn.height(), 1200.0 / 900.0, 0.05);
    EXPECT_LE(coverage(heavy) * drawn.width() * drawn.height(), 8.0 * 1024 * 1024);
    // Records cut short or past the end count as nothing more than what was read.
    for (int cut = 0; cut < clipArt.size(); cut += 7)
        EXPECT_GE(coverage(clipArt.left(cut)), 1.0);
    EXPECT_EQ(metafile::WindowsMetafileCoverage(nullptr, 0), 1.0);
}

TEST(HostileFilesForMeasuring, EveryReproducerIsMade)
{
    const std::vector<File> files = Reproducers();
    for (const File& file : files)
        EXPECT_GE(file.bytes.size(), 16) << file.name.toStdString(); // the smallest: the fuzzer's WBMP
    KeepWhenAsked(files);
}
