#pragma once
// Fixtures for the still encoder and multiplexer tests: pictures, MPEG audio made by
// ffmpeg, and start-code scans.

#include "compose/still_frame.h"
#include "encode/mpeg_worker_client.h"
#include "encode/still_picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine::testing {

// A bottom-up BGR picture with a smooth, position-dependent pattern (`seed` varies it).
struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    StillPicture view() const;
};
TestPicture makePicture(int width, int height, int seed = 0);

// An MPEG-1 Layer II file of `seconds` of a tone, 44100 Hz stereo at `kbps`.
void makeMp2(const std::string& path, double seconds, int kbps = 224);

// Offsets of the start code 00 00 01 `code` in `bytes`.
std::vector<std::size_t> startCodeOffsets(const std::vector<std::uint8_t>& bytes, std::uint8_t code);

// The test worker: the real tellavine-mpegworker beside the test program.
MpegWorkerOptions realWorkerOptions();

// The first picture of `still` decoded by ffmpeg in `pixelFormat` ("yuv420p" keeps the
// coded samples, "rgb24" gives what a player shows).
std::string decodedStill(const std::string& still, const std::string& pixelFormat);

// PSNR in dB of an rgb24 picture against `frame`, over all three colours.
double psnrAgainst(const std::string& decodedRgb, const StillFrame& frame);

}  // namespace tellavine::testing
