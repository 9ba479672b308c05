// Feeds arbitrary bytes to the MP3 readers: the length measurement's frame scan and the
// MP3-to-WAV decoding (frame scan, Xing check, mpg123 frame decoding, WAV writing).
#include "audio/mp3_length.h"
#include "audio/mp3_to_wav.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::FILE* input = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!input) return 0;
    (void)tellavine::audio::measureMp3Stream(input);
    std::rewind(input);
    if (std::FILE* output = std::fopen("/dev/null", "wb")) {
        (void)tellavine::audio::decodeMp3StreamToWav(input, output);
        std::fclose(output);
    }
    std::fclose(input);
    return 0;
}
