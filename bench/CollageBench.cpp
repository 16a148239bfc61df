// Cost of undo snapshots and of project files.
//
//   build/bench/collage_bench                      all figures
//   build/bench/collage_bench --benchmark_filter=RecordStep
//
// Counters: bytes_per_step = memory one snapshot holds; history_MiB = memory of the
// whole history as the model counts it, heap_MiB as the allocator sees it; file_MiB =
// size of the project file.

#include "canvas/CollageModel.h"
#include "persist/ProjectFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

enum class Mix { Photos, Mixed, Texts };

// Records as the add operations make them (without recording a step for each).
CanvasItem MakeItem(int i, int kind)
{
    switch (kind) {
    case 0: {
        Photo p;
        p.opacity = 1.0f;
        p.frameLeft = p.frameTop = 0.05f;
        p.frameRight = p.frameBottom = 0.95f;
        p.cropRight = p.sourceWidth = p.baseWidth = 4000;
        p.cropBottom = p.sourceHeight = p.baseHeight = 3000;
        p.drawScale = p.hitScale = 1792.0f / 21000.0f;
        p.posX = i % 700;
        p.posY = i % 500;
        p.path.Set(QStringLiteral("/home/user/Pictures/holiday/IMG_%1.jpg").arg(i));
        p.tuning = Tuning::Created();
        return p;
    }
    case 1: {
        ClipArt c;
        c.sourceIndex = i % 30;
        c.sourceWidth = 200;
        c.sourceHeight = 150;
        c.opacity = c.scale = c.hitScale = 1.0f;
        c.tuning = Tuning::Created();
        return c;
    }
    case 2: {
        BrushStamp b;
        b.sourceWidth = b.sourceHeight = 64;
        b.opacity = 1.0f;
        b.scale = b.hitScale = 50.0f / 64.0f;
        b.tuning = Tuning::Created();
        return b;
    }
    default: {
        Text t;
        t.font.lfHeight = 48;
        t.font.SetFaceName(QStringLiteral("DejaVu Sans"));
        t.text.Set(QStringLiteral("A caption of ordinary length"));
        t.boxWidth = 336;
        t.boxHeight = 48;
        t.scale = 1.0f;
        return t;
    }
    }
}

// A collage of n items: all photos, an even mix of the four kinds, or all text items
// (the largest record). No history bound.
void Fill(CollageModel& m, int n, Mix mix)
{
    for (int i = 0; i < n; ++i)
        m.AppendLoadedItem(MakeItem(i, mix == Mix::Photos ? 0 : mix == Mix::Texts ? 3 : i % 4));
    m.SetHistoryBudget(std::size_t(-1));
}

void RecordStep(benchmark::State& state, Mix mix)
{
    CollageModel m;
    Fill(m, static_cast<int>(state.range(0)), mix);
    for (auto _ : state) {
        m.RecordStep();
        if (m.HistoryLength() >= 256) {
            state.PauseTiming();
            m.ClearHistory();
            state.ResumeTiming();
        }
    }
    m.ClearHistory();
    m.RecordStep();
    state.counters["bytes_per_step"] = static_cast<double>(m.HistoryBytes());
}

void BM_RecordStep_Photos(benchmark::State& state)
{
    RecordStep(state, Mix::Photos);
}
void BM_RecordStep_Mixed(benchmark::State& state)
{
    RecordStep(state, Mix::Mixed);
}
void BM_RecordStep_Texts(benchmark::State& state)
{
    RecordStep(state, Mix::Texts);
}
BENCHMARK(BM_RecordStep_Photos)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordStep_Mixed)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordStep_Texts)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// 1,000 steps on a 200-item collage, each after moving the selected item, with no bound.
void History1000Steps(benchmark::State& state, Mix mix)
{
    double mib = 0;
    double heapMib = 0;
    for (auto _ : state) {
        CollageModel m;
        Fill(m, 200, mix);
        m.SelectOnly(100);
        const std::size_t before = mallinfo2().uordblks;
        for (int step = 0; step < 1000; ++step) {
            SetPosition(m.ItemAt(100), step, step);
            m.RecordStep();
        }
        heapMib = static_cast<double>(mallinfo2().uordblks - before) / (1024.0 * 1024.0);
        mib = static_cast<double>(m.HistoryBytes()) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(m.HistoryLength());
    }
    state.counters["history_MiB"] = mib;  // as the model counts it
    state.counters["heap_MiB"] = heapMib; // as the allocator sees it
}

void BM_History1000Steps200Items_Photos(benchmark::State& state)
{
    History1000Steps(state, Mix::Photos);
}
void BM_History1000Steps200Items_Mixed(benchmark::State& state)
{
    History1000Steps(state, Mix::Mixed);
}
void BM_History1000Steps200Items_Texts(benchmark::State& state)
{
    History1000Steps(state, Mix::Texts);
}
BENCHMARK(BM_History1000Steps200Items_Photos)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_History1000Steps200Items_Mixed)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_History1000Steps200Items_Texts)->Unit(benchmark::kMillisecond)->Iterations(3);

QTemporaryDir& BenchDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/montara-bench-XXXXXX"));
    return dir;
}

void BM_SaveProject10000Items(benchmark::State& state)
{
    CollageModel m;
    Fill(m, 10000, Mix::Mixed);
    const QString path = BenchDir().filePath(QStringLiteral("save.vmz"));
    for (auto _ : state) {
        if (!project::SaveProject(m, path))
            state.SkipWithError("save failed");
    }
    state.counters["file_MiB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SaveProject10000Items)->Unit(benchmark::kMillisecond);

void BM_LoadProject10000Items(benchmark::State& state)
{
    const QString path = BenchDir().filePath(QStringLiteral("load.vmz"));
    {
        CollageModel m;
        Fill(m, 10000, Mix::Mixed);
        project::SaveProject(m, path);
    }
    CollageModel m;
    for (auto _ : state) {
        if (!project::LoadProject(m, path) || m.ItemCount() != 10000)
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadProject10000Items)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
