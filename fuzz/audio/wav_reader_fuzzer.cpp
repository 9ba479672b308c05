// Feeds arbitrary bytes to the WAV reader: chunk walk, format checks, and reading the
// samples as 44100 Hz stereo (channel doubling and rate conversion), twice over.
#include "audio/cd_pcm_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::FILE* input = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!input) return 0;
    tellavine::audio::CdPcmReader reader;
    if (reader.open(input) == tellavine::audio::CdPcmReader::OpenResult::Ok) {
        std::vector<std::int16_t> chunk(2304);
        for (int pass = 0; pass < 2; ++pass) {
            while (reader.read(chunk) == chunk.size()) {
            }
            reader.rewind();
        }
    }
    std::fclose(input);
    return 0;
}
