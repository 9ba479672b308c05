// What the build's shortcuts cost in picture quality, on real photos: the fast DCT pair
// against the encoder library's reference pair, and decoding a large JPEG at a DCT
// reduction against decoding it whole. Each photo becomes a PAL 704-wide still; every
// still is decoded back with ffmpeg and compared (PSNR over R, G and B) with the frame
// composed from the photo decoded whole, which is what a perfect still would show.
// Prints medians over the photos, in bench/run.sh's "name value unit" form:
//   still_psnr_fast_dct, still_psnr_reference_dct      both from the reduced decoding
//   frame_psnr_reduced_vs_whole                         composed frames, before coding
//   still_psnr_whole_decoding                           the still with neither shortcut
//   still_quality_bench PHOTO...

#include "compose/slide_frame.h"
#include "encode/still_encoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tellavine;

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The still decoded back to top-down RGB by ffmpeg.
std::vector<std::uint8_t> decodedStill(const std::string& path) {
    std::vector<std::uint8_t> pixels;
    std::FILE* pipe = ::popen(("ffmpeg -v error -i " + quoted(path) + " -frames:v 1 -f rawvideo -pix_fmt rgb24 -").c_str(), "r");
    if (!pipe) return pixels;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) pixels.insert(pixels.end(), buffer, buffer + n);
    ::pclose(pipe);
    return pixels;
}

double psnr(const StillFrame& reference, const std::vector<std::uint8_t>& topDownRgb) {
    double squares = 0;
    for (int y = 0; y < reference.height; ++y)
        for (int x = 0; x < reference.width; ++x) {
            const Rgb r = reference.pixelFromTop(x, y);
            const std::uint8_t* p = topDownRgb.data() + (static_cast<std::size_t>(y) * reference.width + x) * 3;
            const int differences[] = {r.r - p[0], r.g - p[1], r.b - p[2]};
            for (int d : differences) squares += d * d;
        }
    if (squares == 0) return INFINITY;
    return 10 * std::log10(255.0 * 255.0 * 3.0 * reference.width * reference.height / squares);
}

double psnr(const StillFrame& reference, const StillFrame& other) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(other.bits.size());
    for (int y = 0; y < other.height; ++y)
        for (int x = 0; x < other.width; ++x) {
            const Rgb p = other.pixelFromTop(x, y);
            rgb.insert(rgb.end(), {p.r, p.g, p.b});
        }
    return psnr(reference, rgb);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Codes `frame` with `worker`, returns the PSNR of the decoded still against `reference`.
double stillPsnr(const StillFrame& frame, const StillFrame& reference, MpegWorkerClient& worker, const std::string& path) {
    if (!encodeStill(stillPictureOf(frame), path, TvStandard::PAL, StillWrite::Create, worker)) return NAN;
    const auto decoded = decodedStill(path);
    if (decoded.size() != frame.bits.size()) return NAN;
    return psnr(reference, decoded);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: still_quality_bench PHOTO...\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("still-quality-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // A worker that codes with the reference transforms: the real one behind a script.
    MpegWorkerOptions referenceOptions;
    referenceOptions.executablePath = (folder / "reference-worker.sh").string();
    std::ofstream(referenceOptions.executablePath) << "#!/bin/sh\nexec " << quoted(defaultMpegWorkerPath())
                                                   << " --reference-dct \"$@\"\n";
    ::chmod(referenceOptions.executablePath.c_str(), 0755);
    MpegWorkerClient fast;
    MpegWorkerClient reference{referenceOptions};
    const std::string still = (folder / "still.m1v").string();

    std::vector<double> fastDct, referenceDct, frames, whole;
    for (int i = 1; i < argc; ++i) {
        Slide slide;
        slide.path = argv[i];
        SlideFrameRequest request{TvStandard::PAL, AspectCorrection::Aspect4x3, 5, StillResolution::HighRes};
        const auto reduced = composeSlideFrame(slide, request);
        request.reducedDecoding = false;
        const auto exact = composeSlideFrame(slide, request);
        if (!reduced || !exact) {
            std::fprintf(stderr, "still_quality_bench: cannot read %s\n", argv[i]);
            return 1;
        }
        frames.push_back(psnr(*exact, *reduced));
        fastDct.push_back(stillPsnr(*reduced, *exact, fast, still));
        referenceDct.push_back(stillPsnr(*reduced, *exact, reference, still));
        whole.push_back(stillPsnr(*exact, *exact, reference, still));
    }
    std::filesystem::remove_all(folder);
    std::printf("still_psnr_fast_dct %.2f dB\n", median(fastDct));
    std::printf("still_psnr_reference_dct %.2f dB\n", median(referenceDct));
    std::printf("frame_psnr_reduced_vs_whole %.2f dB\n", median(frames));
    std::printf("still_psnr_whole_decoding %.2f dB\n", median(whole));
    return 0;
}
