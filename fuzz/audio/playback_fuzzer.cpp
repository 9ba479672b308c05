// Feeds arbitrary bytes to the player's decoder, once as an MP3 and once as a WAV file,
// from the start and from a point inside the music the input chooses: the frame scan,
// mpg123 decoding, the WAV chunk walk, rate conversion and cutting into blocks.
#include "audio/playback_decoder.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

namespace {

void decodeDraining(const std::string& path, std::uint64_t startBytes) {
    tellavine::audio::PlaybackQueue queue;
    tellavine::Event stop;
    std::thread decoder([&] {
        tellavine::audio::decodeForPlayback(path, startBytes, queue, stop);
        stop.set();
    });
    // Taking every block keeps the decoder from waiting at the queue's bound.
    while (!stop.isSet() || queue.size() > 0) {
        if (!queue.take()) std::this_thread::yield();
    }
    decoder.join();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string base = "/tmp/tellavine_fuzz_playback_" + std::to_string(getpid());
    const std::uint64_t startBytes = data[0] % 4 == 0 ? 0 : static_cast<std::uint64_t>(data[0]) * 176400 / 64;
    for (const char* ending : {".mp3", ".WAV"}) {
        const std::string path = base + ending;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return 0;
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        decodeDraining(path, startBytes);
        std::remove(path.c_str());
    }
    return 0;
}
