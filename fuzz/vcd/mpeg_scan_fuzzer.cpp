// The MPEG program-stream scan over arbitrary bytes: the whole scan through a file, then
// every pack read back as the sector writers read it.

#include "vcd/mpeg_stream.h"

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace tellavine::vcd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/tellavine-fuzz-mpeg-" + std::to_string(::getpid()) + ".mpg";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    auto source = createMpegSource(openFileDataSource(path));
    if (!source) return 0;
    source->scan(size % 2 == 0);
    std::array<std::uint8_t, kMaxPackSize> payload;
    for (std::uint32_t i = 0; i < source->info().packs; ++i) {
        const PacketInfo pack = source->readPack(i, payload);
        if (pack.length == 0 || pack.length > kMaxPackSize) __builtin_trap();  // scanned packs read back
        (void)pack.kind();
        (void)containsSequenceEnd(payload);
    }
    for (const auto& video : source->info().video) (void)videoNorm(video);
    return 0;
}
