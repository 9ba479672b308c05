#pragma once
// The player's decoder: an MP3 or WAV file into one-second playback blocks, on a thread
// of its own that runs at most kMaxQueuedBlocks (100 seconds) ahead of the sound output.
//
// Threads: start/stop/take run on the caller's (user-interface) thread; the decoder
// thread only pushes into the queue and sets the done event when it ends. Stop sets the
// stop event and empties the queue; the thread notices at its next block and ends.

#include "audio/playback_queue.h"
#include "platform/event.h"

#include <cstdint>
#include <optional>
#include <string>
#include <thread>

namespace tellavine::audio {

enum class PlaybackFormat { None, Mp3, Wav };

// By the last four characters of the name, letter case ignored: ".mp3" or ".wav".
PlaybackFormat playbackFormatOf(const std::string& path);

// The playing length of a music file in playback bytes (176400 a second): MP3 measured
// from its frames, WAV from its data part at 44.1 kHz stereo; 0 when it cannot be read.
std::uint32_t playbackLength(const std::string& path);

// Decodes `path` from `startBytes` (playback bytes) into `queue` until the music ends or
// `stop` is set. Every block is full; the last one, padded with silence, is LastBlock.
// A file that cannot be read, or a read error, ends without a LastBlock.
void decodeForPlayback(const std::string& path, std::uint64_t startBytes, PlaybackQueue& queue, const Event& stop);

class PlaybackDecoder {
public:
    PlaybackDecoder();
    ~PlaybackDecoder();  // stops and joins
    PlaybackDecoder(const PlaybackDecoder&) = delete;
    PlaybackDecoder& operator=(const PlaybackDecoder&) = delete;

    // Stops any decoder still running, waits for it, and starts decoding `path` at `startBytes`.
    void start(const std::string& path, std::uint64_t startBytes);
    void stop();
    std::optional<PlaybackBlock> take() { return queue_.take(); }
    std::size_t queued() const { return queue_.size(); }
    bool finished() const { return done_.isSet(); }

private:
    PlaybackQueue queue_;
    Event stop_;
    Event done_;  // set while no decoder runs
    std::thread thread_;
};

}  // namespace tellavine::audio
