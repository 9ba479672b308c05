#pragma once
// The system mixer's playback volume through ALSA: the "Master" control of the default
// card (else "PCM", else "Speaker"). Not available on a system without a mixer (a
// server, CI), and then every operation does nothing.

#include <memory>
#include <string>

struct _snd_mixer;
struct _snd_mixer_elem;

namespace tellavine::audio {

class MasterVolume {
public:
    // Opens the mixer of `card` ("default" is what the sound output plays through).
    explicit MasterVolume(const std::string& card = "default");

    bool available() const { return element_ != nullptr; }
    long minimum() const { return minimum_; }
    long maximum() const { return maximum_; }
    long steps() const { return maximum_ - minimum_; }
    // The first channel's value; the minimum when not available.
    long volume() const;
    // Writes `value` to every channel; values outside minimum..maximum are ignored.
    void setVolume(long value);
    // Unmutes (enable) or mutes (disable) the playback switch, when there is one.
    void enable();
    void disable();

private:
    struct MixerClose {
        void operator()(_snd_mixer* mixer) const noexcept;
    };
    std::unique_ptr<_snd_mixer, MixerClose> mixer_;
    _snd_mixer_elem* element_ = nullptr;  // owned by mixer_
    long minimum_ = 0;
    long maximum_ = 0;
};

}  // namespace tellavine::audio
