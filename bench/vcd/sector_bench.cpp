// Sector formatting and BIN writing throughput. Bytes are counted as whole 2352-byte
// sectors. BIN writing goes through the image sink (a seek and a write per sector into a
// 128 KiB stream buffer); the plain write of the same bytes in the same run is the
// yardstick.

#include "vcd/edc_ecc.h"
#include "vcd/image_sink.h"
#include "vcd/sector.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

using namespace tellavine;
using namespace tellavine::vcd;

constexpr std::uint32_t kSectorsPerImage = 4096;  // 9.2 MiB

std::vector<std::uint8_t> payload() {
    std::vector<std::uint8_t> data(kForm2DataSize);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return data;
}

void formatSectors(benchmark::State& state, std::uint8_t submode) {
    const auto data = payload();
    Mode2Sector sector;
    std::uint32_t lsn = 0;
    for (auto _ : state) {
        buildMode2Sector(sector, data, lsn++, Subheader{1, 0, submode, 0});
        benchmark::DoNotOptimize(sector.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRawSectorSize);
}

void BM_FormatForm1Sector(benchmark::State& state) { formatSectors(state, 0x08); }
void BM_FormatForm2Sector(benchmark::State& state) { formatSectors(state, 0x62); }

// The EDC over a Form 2 sector's subheader and data (2332 bytes).
void BM_Edc(benchmark::State& state) {
    const auto data = payload();
    const std::span<const std::uint8_t> covered(data.data(), 2332);
    for (auto _ : state) benchmark::DoNotOptimize(computeEdc(covered));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * covered.size());
}

// P and Q parity of one Form 1 sector, counted as a whole sector.
void BM_Ecc(benchmark::State& state) {
    Mode2Sector sector;
    buildMode2Sector(sector, payload(), 0, Subheader{1, 0, 0x08, 0});
    for (auto _ : state) {
        computeEcc(sector);
        benchmark::DoNotOptimize(sector.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRawSectorSize);
}

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_WriteBinThroughImageSink(benchmark::State& state) {
    tellavine::SinkOwner owner;
    Mode2Sector sector;
    buildMode2Sector(sector, payload(), 0, Subheader{1, 0, 0x62, 0});
    const auto bin = scratchPath("tellavine-bench.bin");
    const auto cue = scratchPath("tellavine-bench.cue");
    for (auto _ : state) {
        auto sink = createImageSink(cue, bin, owner);
        for (std::uint32_t lsn = 0; lsn < kSectorsPerImage; ++lsn) sink->writeSector(sector, lsn);
        if (!sink->release()) state.SkipWithError(sink->failureReason().c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSectorsPerImage * kRawSectorSize);
    std::filesystem::remove(bin);
}

// The same bytes through stdio with the sink's buffer size; `synced` makes it sync the
// file before closing it, as the sink does before an image replaces an earlier one.
void writePlainSequentialFile(benchmark::State& state, bool synced) {
    Mode2Sector sector;
    buildMode2Sector(sector, payload(), 0, Subheader{1, 0, 0x62, 0});
    const auto bin = scratchPath("tellavine-bench-plain.bin");
    std::vector<char> buffer(128 * 1024);
    for (auto _ : state) {
        std::FILE* file = std::fopen(bin.c_str(), "wb");
        std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());  // the sink's buffer size
        for (std::uint32_t lsn = 0; lsn < kSectorsPerImage; ++lsn) std::fwrite(sector.data(), 1, sector.size(), file);
        if (synced && (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0)) state.SkipWithError("fsync failed");
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSectorsPerImage * kRawSectorSize);
    std::filesystem::remove(bin);
}

void BM_WritePlainSequentialFile(benchmark::State& state) { writePlainSequentialFile(state, false); }
void BM_WritePlainSequentialFileSynced(benchmark::State& state) { writePlainSequentialFile(state, true); }

BENCHMARK(BM_FormatForm1Sector);
BENCHMARK(BM_FormatForm2Sector);
BENCHMARK(BM_Edc);
BENCHMARK(BM_Ecc);
BENCHMARK(BM_WriteBinThroughImageSink)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WritePlainSequentialFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WritePlainSequentialFileSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
