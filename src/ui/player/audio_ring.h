#pragma once
// The sound output's ring of ten one-second buffers, read by Qt's audio sink in pull
// mode. The player fills a free slot with each block the decoder makes; the sink reads
// the slots in order, and every slot played through is reported so it can be refilled.
//
// Threads: the sink may read on its own thread; every member is guarded by mutex_ and
// the played callback runs outside it (the player posts itself a message from it).

#include "audio/playback_queue.h"

#include <QIODevice>

#include <array>
#include <functional>
#include <mutex>
#include <vector>

namespace tellavine::ui {

class AudioRing : public QIODevice {
    Q_OBJECT
public:
    static constexpr int kSlots = 10;

    // `played` gets the slot number (1..10) of each buffer played through.
    explicit AudioRing(std::function<void(int slot)> played, QObject* parent = nullptr);

    // Copies `block` into the next slot in ring order; false when every slot is full.
    bool fill(const audio::PlaybackBlock& block);
    int filledSlots() const;
    // Empties every slot and starts the ring over at slot 1.
    void empty();

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    struct Slot {
        std::vector<char> bytes;  // one block; empty while free
        std::size_t readOffset = 0;
    };

    std::function<void(int)> played_;
    mutable std::mutex mutex_;
    std::array<Slot, kSlots> slots_;  // guarded by mutex_
    int writeIndex_ = 0;              // guarded by mutex_
    int readIndex_ = 0;               // guarded by mutex_
};

}  // namespace tellavine::ui
