// The slide stage as a build runs it: one album without music whose photos are the
// given files, repeated until the album holds `count` photos. Prints the stage's time
// per photo and the engine's peak resident size; run it under /usr/bin/time -v to see
// the workers too.
//
// Usage: slide_stage_bench [--workers N] <count> <photo.jpg>...
//   N MPEG workers encode side by side (default: one per usable core, at most 2).

#include "encode/slide_stage.h"
#include "process_status.h"
#include "project/messages.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tellavine;
    SlideStageOptions stageOptions;
    if (argc > 2 && std::strcmp(argv[1], "--workers") == 0) {
        stageOptions.encodingWorkers = std::atoi(argv[2]);
        argc -= 2;
        argv += 2;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: slide_stage_bench [--workers N] <count> <photo>...\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const auto temp = std::filesystem::temp_directory_path() / ("tellavine-slide-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(temp);

    Project project;
    const int album = project.addAlbum("Bench");
    for (int i = 0; i < count; ++i) project.addSlide(album, argv[2 + i % (argc - 2)], "photo", 0);

    BuildJob job;
    BuildInputs inputs;
    inputs.project = &project;
    inputs.tempDir = temp.string() + "/";
    inputs.programDir = programFolder();
    inputs.options.tvStandard = TvStandard::PAL;

    const auto started = std::chrono::steady_clock::now();
    const bool ok = encodeAlbumSlides(job, inputs, stageOptions);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::filesystem::remove_all(temp);
    if (!ok) {
        std::fprintf(stderr, "the slide stage failed\n");
        return 1;
    }
    std::printf("photos %d\nseconds %.3f\nms_per_photo %.1f\nengine_peak_kb %ld\n", count, seconds,
                1000 * seconds / count, statusKb("VmHWM:"));
    return 0;
}
