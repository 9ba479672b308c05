#include "ui/player/audio_ring.h"

#include <algorithm>
#include <cstring>

namespace tellavine::ui {

AudioRing::AudioRing(std::function<void(int slot)> played, QObject* parent)
    : QIODevice(parent), played_(std::move(played)) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool AudioRing::fill(const audio::PlaybackBlock& block) {
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[static_cast<std::size_t>(writeIndex_)];
    if (!slot.bytes.empty()) return false;
    // Samples little-endian, as the sink's 16-bit format takes them on this machine.
    slot.bytes.resize(block.samples.size() * sizeof(std::int16_t));
    std::memcpy(slot.bytes.data(), block.samples.data(), slot.bytes.size());
    slot.readOffset = 0;
    writeIndex_ = (writeIndex_ + 1) % kSlots;
    return true;
}

int AudioRing::filledSlots() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.bytes.empty(); }));
}

void AudioRing::empty() {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
        slot.bytes.clear();
        slot.readOffset = 0;
    }
    writeIndex_ = readIndex_ = 0;
}

qint64 AudioRing::bytesAvailable() const {
    std::lock_guard lock(mutex_);
    qint64 total = 0;
    for (const Slot& slot : slots_) total += static_cast<qint64>(slot.bytes.size() - slot.readOffset);
    return total + QIODevice::bytesAvailable();
}

qint64 AudioRing::readData(char* data, qint64 maxSize) {
    std::vector<int> played;
    qint64 given = 0;
    {
        std::lock_guard lock(mutex_);
        while (given < maxSize) {
            Slot& slot = slots_[static_cast<std::size_t>(readIndex_)];
            if (slot.bytes.empty()) break;  // not refilled yet: the sink waits
            const auto take = static_cast<std::size_t>(
                std::min<qint64>(maxSize - given, static_cast<qint64>(slot.bytes.size() - slot.readOffset)));
            std::memcpy(data + given, slot.bytes.data() + slot.readOffset, take);
            slot.readOffset += take;
            given += static_cast<qint64>(take);
            if (slot.readOffset == slot.bytes.size()) {
                slot.bytes.clear();
                slot.readOffset = 0;
                played.push_back(readIndex_ + 1);
                readIndex_ = (readIndex_ + 1) % kSlots;
            }
        }
    }
    for (int slot : played) played_(slot);
    return given;
}

}  // namespace tellavine::ui
