// The batch conversion engine: every format written and read back independently,
// output names, skipped files, stopping, a growing list, and montara-tool's picture
// commands.

#include "support/PictureTestSupport.h"

#include "base/DataFolder.h"
#include "editing/ConvertEngine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace testpics;

namespace {

class ConvertEngineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Source(const QString& name, int width = 64, int height = 48)
    {
        QDir().mkpath(QFileInfo(Path(name)).absolutePath());
        EXPECT_TRUE(Quadrants(width, height).save(Path(name)));
        return Path(name);
    }
    QString Out() const { return dir.filePath("out"); }
};

std::vector<ConvertEngine::FileReport> RunAll(ConvertEngine& engine, const QStringList& files, const QString& format,
                                              const QString& folder)
{
    std::vector<ConvertEngine::FileReport> reports;
    engine.SetPauseAfterFile(0);
    EXPECT_TRUE(engine.Run(files, format, folder, [&](const ConvertEngine::FileReport& r) { reports.push_back(r); }));
    return reports;
}

} // namespace

TEST(ConvertEngineNames, OutputPathFromTheSourceName)
{
    EXPECT_EQ(ConvertEngine::OutputPath("/out/", "/photos/trip.png", "jpg"), "/out/trip.jpg");
    EXPECT_EQ(ConvertEngine::OutputPath("/out", "/photos/trip.png", "JPG"), "/out/trip.jpg"); // folder without "/"
    EXPECT_EQ(ConvertEngine::OutputPath("/out/", "/photos/archive.tar.PNG", "tif"), "/out/archive.tar.tif");
    EXPECT_EQ(ConvertEngine::OutputPath("/out/", "/photos.d/trip", "pcx"), "/out/trip.pcx"); // no dot in the name
    EXPECT_EQ(ConvertEngine::OutputPath("/out/", "/photos/.hidden", "png"), "/out/.png");
    EXPECT_EQ(ConvertEngine::FormatNames(), QStringList({"JPG", "BMP", "GIF", "PNG", "PNM", "TGA", "TIF", "PCX"}));
}

TEST_F(ConvertEngineTest, EveryFormatIsWrittenAndReadsBackIndependently)
{
    const QString source = Source("pattern.png");
    QFile::remove(DataFolder() + "Quillet_tmp.bmp");
    struct Case {
        const char* format;
        const char* independent;
        int tolerance;
    };
    for (const Case& c : {Case{"JPG", "JPEG", 40}, Case{"BMP", "BMP", 0}, Case{"GIF", "GIF", 0}, Case{"PNG", "PNG", 0},
                          Case{"PNM", "PPM", 0}, Case{"TGA", "TGA", 0}, Case{"TIF", "TIFF", 0}, Case{"PCX", "PCX", 0}}) {
        SCOPED_TRACE(c.format);
        ConvertEngine engine;
        const auto reports = RunAll(engine, {source}, c.format, Out());
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].outcome, ConvertEngine::Outcome::Written);
        EXPECT_EQ(reports[0].doneCount, 1);
        const QString expected = Out() + "/pattern." + QString(c.format).toLower();
        EXPECT_EQ(reports[0].output, expected);
        Decoded decoded;
        const QString decoderInput = QString(c.format) == "TGA" ? "TGA:" + expected : expected;
        ASSERT_TRUE(DecodeIndependently(decoderInput, decoded));
        EXPECT_TRUE(decoded.format.startsWith(c.independent)) << decoded.format.toStdString();
        ASSERT_EQ(decoded.width, 64);
        ASSERT_EQ(decoded.height, 48);
        const QImage reference = Quadrants(64, 48);
        for (int y : {12, 36})
            for (int x : {16, 48})
                EXPECT_LE(Distance(decoded.At(x, y), QuadrantColour(reference, x, y)), c.tolerance) << x << "," << y;
        EXPECT_FALSE(engine.IsConverting());
        EXPECT_EQ(engine.DoneCount(), 0);
    }
    // The library's formats are handed over in memory: no temporary bitmap in the data folder.
    EXPECT_FALSE(QFile::exists(DataFolder() + "Quillet_tmp.bmp"));
    EXPECT_EQ(QDir(Out()).entryList(QDir::Files).size(), 8); // and nothing else beside the results
}

TEST_F(ConvertEngineTest, EmptyListEndsAtOnce)
{
    ConvertEngine engine;
    const auto reports = RunAll(engine, {}, "PNG", Out());
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(engine.IsConverting());
    EXPECT_EQ(engine.DoneCount(), 0);
    EXPECT_FALSE(engine.Run(QStringList{Source("a.png")}, "WEBP", Out())); // unknown format: nothing done
    EXPECT_TRUE(QDir(Out()).entryList(QDir::Files).isEmpty());
}

TEST_F(ConvertEngineTest, UnreadableFilesAreSkippedAndDoNotCount)
{
    ASSERT_TRUE(WriteFile(Path("broken.jpg"), "not a picture"));
    const QStringList files = {Source("first.png"), Path("broken.jpg"), Path("missing.png"), Source("last.bmp")};
    ConvertEngine engine;
    const auto reports = RunAll(engine, files, "png", Out());
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].outcome, ConvertEngine::Outcome::Written);
    EXPECT_EQ(reports[1].outcome, ConvertEngine::Outcome::Skipped);
    EXPECT_EQ(reports[2].outcome, ConvertEngine::Outcome::Skipped);
    EXPECT_EQ(reports[3].outcome, ConvertEngine::Outcome::Written);
    EXPECT_EQ(reports[1].doneCount, 1);
    EXPECT_EQ(reports[3].doneCount, 2);
    EXPECT_TRUE(reports[1].output.isEmpty());
    EXPECT_EQ(QDir(Out()).entryList(QDir::Files), QStringList({"first.png", "last.png"}));
}

TEST_F(ConvertEngineTest, StopIsSeenBetweenFilesAndReset)
{
    const QStringList files = {Source("a.png"), Source("b.png"), Source("c.png")};
    ConvertEngine engine;
    engine.SetPauseAfterFile(0);
    int seen = 0;
    EXPECT_TRUE(engine.Run(files, "BMP", Out(), [&](const ConvertEngine::FileReport& report) {
        ++seen;
        EXPECT_TRUE(engine.IsConverting());
        if (report.index == 0)
            engine.RequestStop(); // while the first file is finishing
    }));
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(QFile::exists(Out() + "/a.bmp")); // the file being converted is finished
    EXPECT_FALSE(QFile::exists(Out() + "/b.bmp"));
    EXPECT_FALSE(engine.IsConverting());
    EXPECT_FALSE(engine.StopRequested());
    EXPECT_EQ(engine.DoneCount(), 0);
    // A new run starts again from the first file.
    const auto reports = RunAll(engine, files, "BMP", Out());
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(ConvertEngineTest, StopFromAnotherThread)
{
    QStringList files;
    for (int i = 0; i < 20; ++i)
        files.append(Source(QString("f%1.png").arg(i), 32, 32));
    ConvertEngine engine; // the designed 50 ms pause after each file
    std::atomic<int> converted{0};
    std::thread worker([&] {
        engine.Run(files, "PNG", Out(), [&](const ConvertEngine::FileReport&) { ++converted; });
    });
    while (converted.load() < 2)
        std::this_thread::yield();
    engine.RequestStop();
    worker.join();
    EXPECT_LT(converted.load(), 20);
    EXPECT_EQ(QDir(Out()).entryList(QDir::Files).size(), converted.load());
    EXPECT_FALSE(engine.IsConverting());
}

TEST_F(ConvertEngineTest, ListReadAnewBeforeEachFile)
{
    QStringList files = {Source("one.png")};
    const QString added = Source("two.png");
    ConvertEngine engine;
    engine.SetPauseAfterFile(0);
    int reports = 0;
    engine.Run(
        [&](int index, QString& path) {
            if (index >= files.size())
                return false;
            path = files.at(index);
            return true;
        },
        "TGA", Out(),
        [&](const ConvertEngine::FileReport&) {
            if (++reports == 1)
                files.append(added); // "Add Picture File" during the run
        });
    EXPECT_EQ(reports, 2);
    EXPECT_TRUE(QFile::exists(Out() + "/two.tga"));
}

TEST_F(ConvertEngineTest, SameNameInTwoFoldersAndExistingFilesAreReplaced)
{
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(12, 12, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QDir().mkpath(Path("a"));
    QDir().mkpath(Path("b"));
    ASSERT_TRUE(red.save(Path("a/same.png")));
    ASSERT_TRUE(blue.save(Path("b/same.png")));
    QDir().mkpath(Out());
    ASSERT_TRUE(WriteFile(Out() + "/same.pcx", "old"));
    ConvertEngine engine;
    RunAll(engine, {Path("a/same.png"), Path("b/same.png")}, "PCX", Out());
    Decoded decoded;
    ASSERT_TRUE(DecodeIndependently(Out() + "/same.pcx", decoded));
    EXPECT_EQ(decoded.width, 12); // the later one
    EXPECT_EQ(decoded.At(5, 5), qRgb(0, 0, 255));
}

TEST_F(ConvertEngineTest, MetafilesAndTurnedPhotosConvert)
{
    ASSERT_TRUE(WriteFile(Path("drawing.wmf"), Wmf(200, 100)));
    ASSERT_TRUE(WriteFile(Path("drawing.EMF"), Emf(160, 80)));
    ASSERT_TRUE(WriteFile(Path("turned.jpg"), JpegWithExif(StoredForOrientation(Quadrants(64, 48), 8), 8)));
    ConvertEngine engine;
    const auto reports = RunAll(engine, {Path("drawing.wmf"), Path("drawing.EMF"), Path("turned.jpg")}, "PNG", Out());
    ASSERT_EQ(reports.size(), 3u);
    for (const auto& report : reports)
        EXPECT_EQ(report.outcome, ConvertEngine::Outcome::Written) << report.source.toStdString();
    const QImage wmf(Out() + "/drawing.png");
    EXPECT_NEAR(wmf.width(), 160, 1); // the later EMF replaced the WMF of the same name
    const QImage turned(Out() + "/turned.png");
    ASSERT_EQ(turned.size(), QSize(64, 48));
    EXPECT_LE(Distance(turned.pixel(8, 8), qRgb(255, 0, 0)), 40);
    EXPECT_LE(Distance(turned.pixel(56, 40), qRgb(255, 255, 255)), 40);
}

TEST_F(ConvertEngineTest, ToolCommands)
{
    const QString tool = QStringLiteral(MONTARA_TOOL);
    const QString source = Source("photo.png", 200, 100);
    ASSERT_TRUE(WriteFile(Path("broken.gif"), "GIF89a broken"));
    QByteArray out;
    QByteArray err;
    // convert: one line per file, exit 1 when any was not converted.
    EXPECT_FALSE(RunProgram(tool, {"convert", "--format", "tif", "--out", Out(), source, Path("broken.gif")}, &out, &err));
    EXPECT_TRUE(out.contains("wrote " + QFile::encodeName(Out()) + "/photo.tif"));
    EXPECT_TRUE(out.contains("skipped " + QFile::encodeName(Path("broken.gif"))));
    EXPECT_EQ(err.count('\n'), 1);
    EXPECT_TRUE(RunProgram(tool, {"convert", "--format", "JPG", "--out", Out() + "/new", source}, &out));
    EXPECT_TRUE(QFile::exists(Out() + "/new/photo.jpg"));
    // thumbnail: the exact bytes of the photo-library thumbnail.
    ASSERT_TRUE(RunProgram(tool, {"thumbnail", source, Path("thumb.jpg")}));
    const QImage thumbnail(Path("thumb.jpg"));
    EXPECT_EQ(thumbnail.size(), QSize(80, 80));
    EXPECT_LE(Distance(thumbnail.pixel(10, 10), qRgb(0, 0, 255)), 30); // stored upside down
    // info: decoder, code, upright size.
    ASSERT_TRUE(RunProgram(tool, {"info", source}, &out));
    EXPECT_EQ(out.trimmed(), QFile::encodeName(source) + ": decoder platform (png), format code 4, size 200x100");
    ASSERT_TRUE(RunProgram(tool, {"info", Out() + "/photo.tif"}, &out));
    EXPECT_TRUE(out.contains("format code 6, size 200x100"));
    // Bad usage: exit 2 with one line.
    QProcess process;
    process.start(tool, {"convert", "--format", "webp", "--out", Out(), source});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(process.readAllStandardError().count('\n'), 1);
    process.start(tool, {"info"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
    process.start(tool, {"thumbnail", Path("missing.jpg"), Path("t.jpg")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(Path("t.jpg")));
}
