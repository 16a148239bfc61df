// Loading and saving the photo library file with 10,000 photos (thumbnails of a typical
// 80 x 80 JPEG size), as at start-up and at close.

#include "library/PhotoLibrary.h"
#include "library/PhotoLibraryFile.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRecords = 10000;
constexpr std::size_t kThumbnailBytes = 3000;

std::unique_ptr<QTemporaryDir> scratch;

std::vector<library::PhotoEntry> Entries()
{
    std::vector<library::PhotoEntry> entries;
    entries.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        library::PhotoEntry entry;
        entry.record = *library::RecordForPath(QStringLiteral("/home/user/Pictures/Holiday %1/IMG_%2.JPG").arg(i / 100).arg(i));
        entry.record.index = i;
        entry.record.width = 4000;
        entry.record.height = 3000;
        entry.thumbnail.assign(kThumbnailBytes, std::uint8_t(i));
        entries.push_back(std::move(entry));
    }
    return entries;
}

QString LibraryPath()
{
    return scratch->filePath(QStringLiteral("VelMedia"));
}

void BM_SavePhotoLibrary(benchmark::State& state)
{
    const std::vector<library::PhotoEntry> entries = Entries();
    for (auto _ : state) {
        if (!library::WritePhotoLibraryFile(LibraryPath(), entries))
            state.SkipWithError("save failed");
    }
    state.counters["records"] = kRecords;
    state.SetBytesProcessed(state.iterations() * kRecords * std::int64_t(library::PhotoRecord::kSize + 4 + kThumbnailBytes));
}
BENCHMARK(BM_SavePhotoLibrary)->Unit(benchmark::kMillisecond);

void BM_LoadPhotoLibrary(benchmark::State& state)
{
    if (!library::WritePhotoLibraryFile(LibraryPath(), Entries())) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        library::PhotoLibrary photoLibrary;
        const auto report = photoLibrary.Load(LibraryPath());
        if (report.status != library::PhotoLibrary::LoadStatus::Loaded || photoLibrary.Count() != kRecords)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(photoLibrary.Visible().data());
    }
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_LoadPhotoLibrary)->Unit(benchmark::kMillisecond);

// The interface thread's share of an import: the duplicate check and append of one
// photo into a library that already holds 10,000.
void BM_AddToLargeLibrary(benchmark::State& state)
{
    library::PhotoLibrary photoLibrary;
    photoLibrary.Load(LibraryPath());
    int n = 0;
    for (auto _ : state) {
        library::PhotoRecord record = *library::RecordForPath(QStringLiteral("/new/photo-%1.jpg").arg(n++));
        benchmark::DoNotOptimize(photoLibrary.Add(record, std::vector<std::uint8_t>(kThumbnailBytes)));
    }
}
BENCHMARK(BM_AddToLargeLibrary)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    scratch = std::make_unique<QTemporaryDir>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scratch.reset();
    return 0;
}
