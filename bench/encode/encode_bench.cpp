// encodeStill at both sizes and one mixed-still multiplex, through a warm worker.

#include "bench_pictures.h"
#include "encode/multiplexer.h"
#include "encode/still_encoder.h"
#include "encode/ycbcr_conversion.h"
#include "platform/prompt.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace tellavine {
namespace {

std::string scratch(const std::string& name) {
    static const auto folder = [] {
        auto path = std::filesystem::temp_directory_path() / "tellavine-encode-bench";
        std::filesystem::create_directories(path);
        return path;
    }();
    return (folder / name).string();
}

void encodeStillAt(benchmark::State& state, int width, int height) {
    const auto picture = bench::makePicture(width, height, 1);
    MpegWorkerClient& worker = sharedMpegWorker();
    for (auto _ : state) {
        if (!encodeStill(picture.view(), scratch("still.m1v"), TvStandard::PAL, StillWrite::Create, worker))
            state.SkipWithError("encode failed");
    }
}

void BM_EncodeStillHighRes(benchmark::State& state) { encodeStillAt(state, 704, 576); }
void BM_EncodeStillNormalRes(benchmark::State& state) { encodeStillAt(state, 352, 288); }

void BM_ColourConversionHighRes(benchmark::State& state) {
    const auto picture = bench::makePicture(704, 576, 1);
    for (auto _ : state) benchmark::DoNotOptimize(convertToYCbCr420(picture.view(), StillLevels::Studio));
}

void BM_MultiplexStillPair(benchmark::State& state) {
    const auto high = bench::makePicture(704, 576, 2);
    const auto normal = bench::makePicture(352, 288, 2);
    if (!encodeStill(high.view(), scratch("high.m1v"), TvStandard::PAL, StillWrite::Create) ||
        !encodeStill(normal.view(), scratch("normal.m1v"), TvStandard::PAL, StillWrite::Create)) {
        state.SkipWithError("encode failed");
        return;
    }
    for (auto _ : state) {
        if (!multiplexStillPair(scratch("pair.mpg"), scratch("high.m1v"), scratch("normal.m1v")))
            state.SkipWithError("multiplex failed");
    }
}

BENCHMARK(BM_EncodeStillHighRes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EncodeStillNormalRes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ColourConversionHighRes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MultiplexStillPair)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tellavine

BENCHMARK_MAIN();
