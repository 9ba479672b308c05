// Decoding a 4000 x 3000 camera JPEG and composing it into a PAL 4:3 still with a
// caption. The photo is made once with ImageMagick in the build tree.
//   build/bench/bin/bench_slide_frame --benchmark_repetitions=5

#include "compose/slide_frame.h"
#include "imaging/codec.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

const std::string& benchPhoto() {
    static const std::string path = [] {
        const std::string folder = std::string(TELLAVINE_BINARY_DIR) + "/fixtures/bench";
        const std::string file = folder + "/photo_4000x3000.jpg";
        if (!std::filesystem::exists(file)) {
            std::filesystem::create_directories(folder);
            const std::string command = "convert-im6.q16 -size 4000x3000 gradient:'#3060c0-#e0c080' "
                                        "-attenuate 0.3 +noise Gaussian -quality 90 '" + file + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        return file;
    }();
    return path;
}

void decodeJpeg(benchmark::State& state) {
    for (auto _ : state) {
        tellavine::PictureLoad load = tellavine::loadPicture(benchPhoto());
        if (!load.ok()) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(load.picture.pixels().data());
    }
}
BENCHMARK(decodeJpeg)->Unit(benchmark::kMillisecond);

// The same photo at the DCT reduction a PAL 704-wide still takes (1/4: 1000 x 750).
void decodeJpegReduced(benchmark::State& state) {
    tellavine::DecodeOptions options;
    options.minimumSide = 729;
    for (auto _ : state) {
        tellavine::PictureLoad load = tellavine::loadPicture(benchPhoto(), tellavine::PictureType::Unknown, options);
        if (!load.ok() || load.picture.width() != 1000) state.SkipWithError("reduced decode failed");
        benchmark::DoNotOptimize(load.picture.pixels().data());
    }
}
BENCHMARK(decodeJpegReduced)->Unit(benchmark::kMillisecond);

// Resampling mode 3 as a slide uses it: the decoded 4000 x 3000 photo fitted into the
// PAL safe area (area-weighted average, both sides shrink).
void resampleMode3(benchmark::State& state) {
    const tellavine::PictureLoad load = tellavine::loadPicture(benchPhoto());
    if (!load.ok()) {
        state.SkipWithError("decode failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        tellavine::Picture photo = load.picture.clone();
        state.ResumeTiming();
        photo.resample(704, 528);
        benchmark::DoNotOptimize(photo.row(0));
    }
}
BENCHMARK(resampleMode3)->Unit(benchmark::kMillisecond);

void composeSlideFrame(benchmark::State& state) {
    tellavine::Slide slide;
    slide.path = benchPhoto();
    slide.hasCaption = true;
    slide.caption.text = "Lake Geneva, summer";
    for (auto _ : state) {
        auto frame = tellavine::composeSlideFrame(
            slide, {tellavine::TvStandard::PAL, tellavine::AspectCorrection::Aspect4x3, 5, tellavine::StillResolution::HighRes});
        if (!frame) state.SkipWithError("compose failed");
        benchmark::DoNotOptimize(frame->bits.data());
    }
}
BENCHMARK(composeSlideFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
