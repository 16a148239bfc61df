// Picture benchmarks in one process: the photo-library thumbnail, loading a large photo
// for the crop view, and the converter's JPEG -> PNG per file.
//
// Photos: the files named in MONTARA_BENCH_PHOTOS (colon-separated), else the large
// JPEG wallpapers of plasma-workspace-wallpapers when installed, plus a 4000 x 3000
// JPEG made at start (from the first photo when there is one, so that it holds real
// picture content). bench/picture_compare.sh runs the same work next to vipsthumbnail,
// vips and ImageMagick's convert.

#include "editing/CxImage.h"
#include "editing/PictureFiles.h"
#include "editing/ConvertEngine.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> scratch;
QStringList photos;

QStringList FindPhotos()
{
    const QString named = qEnvironmentVariable("MONTARA_BENCH_PHOTOS");
    if (!named.isEmpty())
        return named.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList found;
    QDirIterator it(QStringLiteral("/usr/share/wallpapers"), {QStringLiteral("*.jpg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).size() > 1000000)
            found.append(path);
    }
    found.sort();
    return found.mid(0, 3);
}

// A 4000 x 3000 JPEG (12 megapixels) of real content when a photo is at hand.
QString MakeTwelveMegapixelJpeg()
{
    QImage picture;
    if (!photos.isEmpty())
        picture = QImage(photos.first()).scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.isNull()) {
        picture = QImage(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < 3000; ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < 4000; ++x)
                line[x] = qRgb((x * 7 + y) % 256, (x ^ y) % 256, (x * y / 64) % 256);
        }
    }
    const QString path = scratch->filePath(QStringLiteral("photo-4000x3000.jpg"));
    picture.save(path, "JPEG", 92);
    return path;
}

void MakeThumbnailBench(benchmark::State& state, QString path)
{
    for (auto _ : state) {
        const std::vector<std::uint8_t> thumbnail = MakeThumbnail(path);
        if (thumbnail.empty())
            state.SkipWithError("no thumbnail");
        benchmark::DoNotOptimize(thumbnail.data());
    }
}

void LoadForEditingBench(benchmark::State& state, QString path)
{
    for (auto _ : state) {
        EditingPicture picture;
        if (!LoadForEditing(path, picture))
            state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(picture.pixels.get());
    }
}

void ConvertToPngBench(benchmark::State& state, QString path)
{
    ConvertEngine engine;
    engine.SetPauseAfterFile(0);
    const QString folder = scratch->filePath(QStringLiteral("converted"));
    for (auto _ : state) {
        bool written = false;
        engine.Run(QStringList{path}, QStringLiteral("PNG"), folder, [&](const ConvertEngine::FileReport& report) {
            written = report.outcome == ConvertEngine::Outcome::Written;
        });
        if (!written)
            state.SkipWithError("not converted");
    }
}

void Register(const char* name, void (*bench)(benchmark::State&, QString), const QString& path)
{
    // Wallpapers are <name>/contents/images/<size>.jpg: name them by their folder.
    QDir folder = QFileInfo(path).dir();
    QString owner = folder.dirName();
    if (owner.startsWith(QLatin1String("images")) && folder.cdUp() && folder.cdUp())
        owner = folder.dirName() + QLatin1Char('-') + owner;
    else if (path.startsWith(scratch->path()))
        owner = QStringLiteral("made");
    const std::string label = std::string(name) + "/" + owner.toStdString() + "/" + QFileInfo(path).fileName().toStdString();
    benchmark::RegisterBenchmark(label.c_str(), bench, path)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    StartImageLibrary();
    scratch = std::make_unique<QTemporaryDir>();
    photos = FindPhotos();
    const QString twelve = MakeTwelveMegapixelJpeg();

    QStringList all = photos;
    all.prepend(twelve);
    for (const QString& path : all)
        Register("MakeThumbnail", MakeThumbnailBench, path);
    Register("LoadForEditing", LoadForEditingBench, twelve);
    for (const QString& path : all)
        Register("ConvertJpegToPng", ConvertToPngBench, path);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scratch.reset();
    StopImageLibrary();
    return 0;
}
