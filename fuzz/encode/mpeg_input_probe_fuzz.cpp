// Classification and summaries of multiplexer inputs on arbitrary bytes.
#include "encode/mpeg_input_probe.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    tellavine::classifyMpegInput(bytes);
    tellavine::summariseMpegAudio(bytes);
    tellavine::summariseMpegVideo(bytes);
    return 0;
}
