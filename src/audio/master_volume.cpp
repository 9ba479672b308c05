#include "audio/master_volume.h"

#include <alsa/asoundlib.h>

namespace tellavine::audio {

void MasterVolume::MixerClose::operator()(snd_mixer_t* mixer) const noexcept {
    snd_mixer_close(mixer);
}

namespace {

// ALSA prints every failed look-up to standard error; a machine without a sound card is
// an ordinary case here, not an error worth a screenful.
void quietAlsaError(const char*, int, const char*, int, const char*, ...) {}

struct QuietAlsa {
    QuietAlsa() { snd_lib_error_set_handler(quietAlsaError); }
    ~QuietAlsa() { snd_lib_error_set_handler(nullptr); }
};

}  // namespace

MasterVolume::MasterVolume(const std::string& card) {
    const QuietAlsa quiet;
    snd_mixer_t* opened = nullptr;
    if (snd_mixer_open(&opened, 0) < 0) return;
    mixer_.reset(opened);
    if (snd_mixer_attach(opened, card.c_str()) < 0 || snd_mixer_selem_register(opened, nullptr, nullptr) < 0 ||
        snd_mixer_load(opened) < 0) {
        mixer_.reset();
        return;
    }
    for (const char* name : {"Master", "PCM", "Speaker"}) {
        snd_mixer_selem_id_t* id = nullptr;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, name);
        snd_mixer_elem_t* element = snd_mixer_find_selem(opened, id);
        if (!element || !snd_mixer_selem_has_playback_volume(element) || !snd_mixer_selem_is_active(element)) continue;
        if (snd_mixer_selem_get_playback_volume_range(element, &minimum_, &maximum_) < 0 || maximum_ <= minimum_) {
            continue;
        }
        element_ = element;
        return;
    }
    mixer_.reset();
}

long MasterVolume::volume() const {
    long value = minimum_;
    if (element_) snd_mixer_selem_get_playback_volume(element_, SND_MIXER_SCHN_FRONT_LEFT, &value);
    return value;
}

void MasterVolume::setVolume(long value) {
    if (!element_ || value < minimum_ || value > maximum_) return;
    snd_mixer_selem_set_playback_volume_all(element_, value);
}

void MasterVolume::enable() {
    if (element_ && snd_mixer_selem_has_playback_switch(element_)) snd_mixer_selem_set_playback_switch_all(element_, 1);
}

void MasterVolume::disable() {
    if (element_ && snd_mixer_selem_has_playback_switch(element_)) snd_mixer_selem_set_playback_switch_all(element_, 0);
}

}  // namespace tellavine::audio
