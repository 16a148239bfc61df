// Decipher throughput of the data-file cipher: a 1 MB file (256 full 4096-byte blocks),
// in memory and read from disk block by block. Prints MB/s as bytes_per_second.

#include "persist/DataCipher.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 1024 * 1024;

std::vector<std::uint8_t> EncipheredMegabyte()
{
    std::mt19937 rng(42);
    std::vector<std::uint8_t> data(kFileSize);
    for (auto& v : data)
        v = static_cast<std::uint8_t>(rng());
    DataCipher::EncipherData(data.data(), data.size(), DataCipher::ProgramKeys());
    return data;
}

void BM_DecipherMegabyteInMemory(benchmark::State& state)
{
    const std::vector<std::uint8_t> stored = EncipheredMegabyte();
    std::vector<std::uint8_t> work(stored.size());
    for (auto _ : state) {
        work = stored;
        DataCipher::DecipherData(work.data(), work.size(), DataCipher::ProgramKeys());
        benchmark::DoNotOptimize(work.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFileSize));
}
BENCHMARK(BM_DecipherMegabyteInMemory)->Unit(benchmark::kMillisecond);

void BM_DecipherMegabyteFile(benchmark::State& state)
{
    const std::vector<std::uint8_t> stored = EncipheredMegabyte();
    char path[] = "/tmp/montara-cipher-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        state.SkipWithError("cannot create a temporary file");
        return;
    }
    std::FILE* out = fdopen(fd, "wb");
    std::fwrite(stored.data(), 1, stored.size(), out);
    std::fclose(out);

    std::vector<std::uint8_t> block(DataCipher::kDataBlockSize);
    for (auto _ : state) {
        std::FILE* in = std::fopen(path, "rb");
        while (std::fread(block.data(), 1, block.size(), in) == block.size())
            DataCipher::DecipherDataBlock(block.data(), block.size(), true);
        std::fclose(in);
        benchmark::DoNotOptimize(block.data());
    }
    std::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFileSize));
}
BENCHMARK(BM_DecipherMegabyteFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
