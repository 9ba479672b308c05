#include "video_fixtures.h"

#include "support/child_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace tellavine::testing {

StillPicture TestPicture::view() const {
    return StillPicture{width, height, pixels.data(), static_cast<std::size_t>(width) * 3, PixelOrder::Bgr};
}

TestPicture makePicture(int width, int height, int seed) {
    TestPicture picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto* pixel = &picture.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            pixel[0] = static_cast<std::uint8_t>(128 + 100 * std::sin((x + seed * 17) * 0.05));
            pixel[1] = static_cast<std::uint8_t>((x * 3 + y * 5 + seed * 40) & 0xFF);
            pixel[2] = static_cast<std::uint8_t>(128 + 120 * std::cos((y + x / 3 + seed * 11) * 0.07));
        }
    return picture;
}

void makeMp2(const std::string& path, double seconds, int kbps) {
    char command[1024];
    std::snprintf(command, sizeof command,
                  "ffmpeg -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=%.3f' -ac 2 "
                  "-c:a mp2 -b:a %dk -f mp2 '%s'",
                  seconds, kbps, path.c_str());
    const RunResult made = runShell(command);
    ASSERT_TRUE(made.succeeded() && made.output.empty()) << made.output;
}

std::vector<std::size_t> startCodeOffsets(const std::vector<std::uint8_t>& bytes, std::uint8_t code) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; at + 4 <= bytes.size(); ++at)
        if (bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 1 && bytes[at + 3] == code) offsets.push_back(at);
    return offsets;
}

MpegWorkerOptions realWorkerOptions() {
    MpegWorkerOptions options;
    options.executablePath = defaultMpegWorkerPath();
    return options;
}

std::string decodedStill(const std::string& still, const std::string& pixelFormat) {
    return shellOutput("ffmpeg -v error -i " + shellQuoted(still) + " -frames:v 1 -f rawvideo -pix_fmt " + pixelFormat + " -");
}

double psnrAgainst(const std::string& decodedRgb, const StillFrame& frame) {
    double squares = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const Rgb source = frame.pixelFromTop(x, y);
            const auto* out = reinterpret_cast<const std::uint8_t*>(decodedRgb.data()) + (y * frame.width + x) * 3;
            const int differences[] = {source.r - out[0], source.g - out[1], source.b - out[2]};
            for (const int d : differences) squares += d * d;
        }
    const double mean = squares / (3.0 * frame.width * frame.height);
    return 10 * std::log10(255.0 * 255.0 / mean);
}

}  // namespace tellavine::testing
