#pragma once
// Music for the player, cut into one-second blocks of 44.1 kHz 16-bit stereo PCM, and
// the bounded queue that carries them from the decoder thread to the sound output.
//
// Threads: the decoder thread pushes, the user-interface thread takes and clears. Every
// member of the queue is guarded by its one mutex. A push that finds the queue full waits
// until a block is taken, the queue is cleared or the stop event is set; clear() wakes it
// at once, so Stop (set the event, then clear) never waits for the decoder.

#include "platform/event.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace tellavine::audio {

inline constexpr std::size_t kPlaybackBlockBytes = 176400;  // one second
inline constexpr std::size_t kPlaybackBlockSamples = kPlaybackBlockBytes / 2;
inline constexpr std::size_t kMaxQueuedBlocks = 100;

struct PlaybackBlock {
    enum Kind { FullSecond = 1, LastBlock = 2 };
    Kind kind = FullSecond;
    // Interleaved left/right samples, always kPlaybackBlockSamples (a last block is
    // padded with silence).
    std::vector<std::int16_t> samples;
};

class PlaybackQueue {
public:
    // Appends `block`, waiting while kMaxQueuedBlocks are queued; false (block dropped)
    // when `stop` is set before there is room.
    bool push(PlaybackBlock block, const Event& stop);
    std::optional<PlaybackBlock> take();
    void clear();
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable roomMade_;
    std::deque<PlaybackBlock> blocks_;  // guarded by mutex_
};

}  // namespace tellavine::audio
