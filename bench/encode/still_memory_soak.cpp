// Encodes many stills in one run, as a long build does (a 704-wide and a 352-wide still
// per photo, appended to two streams), and reports the engine's resident size along the
// way and the largest worker. The engine's size must stay flat; the workers are bounded
// by their budget.
//
// Usage: still_memory_soak [stills] (default 1000)

#include "bench_pictures.h"
#include "process_status.h"
#include "encode/still_encoder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    using namespace tellavine;
    const int stills = argc > 1 ? std::atoi(argv[1]) : 1000;
    const auto folder = std::filesystem::temp_directory_path() / "tellavine-still-soak";
    std::filesystem::create_directories(folder);
    const auto high = bench::makePicture(704, 576, 3);
    const auto normal = bench::makePicture(352, 288, 3);
    MpegWorkerClient& worker = sharedMpegWorker();

    const auto started = std::chrono::steady_clock::now();
    long firstRss = 0;
    for (int i = 0; i < stills; ++i) {
        const bool wide = i % 2 == 0;
        const auto write = i < 2 ? StillWrite::Create : StillWrite::Append;
        const auto path = (folder / (wide ? "album.m1v" : "album_small.m1v")).string();
        if (!encodeStill((wide ? high : normal).view(), path, TvStandard::PAL, write, worker)) {
            std::fprintf(stderr, "still %d failed\n", i);
            return 1;
        }
        if (i == 9) firstRss = statusKb("VmRSS:");
        if ((i + 1) % 100 == 0)
            std::printf("%5d stills  engine RSS %6ld KB  workers started %d\n", i + 1, statusKb("VmRSS:"),
                        worker.workersStarted());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("engine RSS after 10 stills %ld KB, at the end %ld KB, peak %ld KB\n", firstRss, statusKb("VmRSS:"),
                statusKb("VmHWM:"));
    std::printf("workers started %d, largest ended worker peak %ld KB\n", worker.workersStarted(),
                worker.largestEndedWorkerKb());
    std::printf("%d stills in %.1f s (%.1f ms each)\n", stills, seconds, 1000 * seconds / stills);
    std::filesystem::remove_all(folder);
    return 0;
}
