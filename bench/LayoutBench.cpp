// Automatic layouts of many photos.
//   BM_LayoutCompute/N/mode   the layout maths alone for N photos (goal: 200 under 50 ms)
//   BM_ApplyAndDraw/N/mode    Apply on a collage, then the first Redraw at zoom 0.75 with
//                             every photo decoded at display size from real 1600 x 1200
//                             JPEG files (goal: 200 under 1 s)
//   BM_PreviewDecode/N        the dialog's preview: decoding N small pictures (once per
//                             dialog, spread over slices between previews)
//   BM_PreviewRender/N/mode   one preview after a change of the choices, pictures decoded
//                             (goal: well inside the 100 ms the preview may take)

#include "canvas/AutoLayout.h"
#include "canvas/AutoLayoutPreview.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"
#include "editing/CxImage.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kMaxPhotos = 200;

std::vector<QSize> Sizes(int count)
{
    static const QSize kinds[] = {{1600, 1200}, {1200, 1600}, {1600, 900}, {900, 1600}, {1200, 1200}, {1500, 1000}};
    std::vector<QSize> sizes;
    for (int i = 0; i < count; ++i)
        sizes.push_back(kinds[i % std::size(kinds)]);
    return sizes;
}

struct Files {
    QTemporaryDir dir;
    std::vector<QString> paths;
    Files()
    {
        const std::vector<QSize> sizes = Sizes(kMaxPhotos);
        for (int i = 0; i < kMaxPhotos; ++i) {
            QImage image(sizes[std::size_t(i)], QImage::Format_RGB32);
            image.fill(QColor::fromHsv((i * 37) % 360, 160, 200));
            const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
            image.save(path, "JPEG", 85);
            paths.push_back(path);
        }
    }
};

Files& SharedFiles()
{
    static Files files;
    return files;
}

void BM_LayoutCompute(benchmark::State& state)
{
    const std::vector<QSize> sizes = Sizes(static_cast<int>(state.range(0)));
    const autolayout::Options options{static_cast<autolayout::Mode>(state.range(1)), 8, 16};
    for (auto _ : state)
        benchmark::DoNotOptimize(autolayout::Compute(sizes, QSize(3200, 2400), options));
}

void BM_ApplyAndDraw(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<QSize> sizes = Sizes(count);
    std::vector<autolayout::PhotoSource> photos;
    for (int i = 0; i < count; ++i)
        photos.push_back({-1, SharedFiles().paths[std::size_t(i)], sizes[std::size_t(i)]});
    const autolayout::Options options{static_cast<autolayout::Mode>(state.range(1)), 8, 16};
    for (auto _ : state) {
        state.PauseTiming();
        CollageModel model;
        model.SetCanvasSize(1600, 1200);
        model.SetZoom(0.75f);
        CanvasRenderer renderer(model);
        renderer.SetClientSize(QSize(1240, 920));
        state.ResumeTiming();
        autolayout::Apply(model, photos, options);
        renderer.Redraw();
    }
}

std::vector<autolayout::PhotoSource> LibraryPhotos(int count)
{
    const std::vector<QSize> sizes = Sizes(count);
    std::vector<autolayout::PhotoSource> photos;
    for (int i = 0; i < count; ++i)
        photos.push_back({-1, SharedFiles().paths[std::size_t(i)], sizes[std::size_t(i)]});
    return photos;
}

void BM_PreviewDecode(benchmark::State& state)
{
    const std::vector<autolayout::PhotoSource> photos = LibraryPhotos(static_cast<int>(state.range(0)));
    CollageModel collage;
    for (auto _ : state) {
        autolayout::LayoutPreview preview(collage, QStringLiteral("/nonexistent/"));
        preview.SetPhotos(photos);
        preview.DecodeSome(static_cast<int>(photos.size()));
    }
}

void BM_PreviewRender(benchmark::State& state)
{
    const std::vector<autolayout::PhotoSource> photos = LibraryPhotos(static_cast<int>(state.range(0)));
    CollageModel collage;
    collage.SetCanvasSize(1600, 1200);
    autolayout::LayoutPreview preview(collage, QStringLiteral("/nonexistent/"));
    preview.SetPhotos(photos);
    preview.DecodeSome(static_cast<int>(photos.size()));
    std::vector<int> order(photos.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    autolayout::Choices choices;
    choices.mode = static_cast<autolayout::Mode>(state.range(1));
    int spacing = 0;
    for (auto _ : state) {
        choices.spacing = spacing++ % 20; // a new layout every time
        benchmark::DoNotOptimize(preview.Render(order, choices, QSize(364, 300)));
    }
}

} // namespace

BENCHMARK(BM_PreviewDecode)->Arg(12)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PreviewRender)->ArgsProduct({{12, 200}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutCompute)->ArgsProduct({{12, 50, 200}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyAndDraw)->ArgsProduct({{50, 200}, {0, 1, 2}})->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    StartImageLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopImageLibrary();
    return 0;
}
