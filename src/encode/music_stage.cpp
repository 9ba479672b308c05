#include "encode/music_stage.h"

#include "encode/audio_prep.h"
#include "platform/text.h"
#include "project/messages.h"

#include <cstdio>

namespace tellavine {
namespace {

enum class MusicKind { Mp3, Wav, Other };

MusicKind musicKind(const std::string& path) {
    if (endsWithIgnoreCase(path, ".mp3")) return MusicKind::Mp3;
    if (endsWithIgnoreCase(path, ".wav")) return MusicKind::Wav;
    return MusicKind::Other;
}

// The run log has the details; the user is told which file could not be used.
bool tellUnusable(const BuildInputs& inputs, const std::string& musicPath) {
    inputs.services.showText(formatText("The music file %s cannot be encoded.\nOnly MP3 files and uncompressed (PCM) WAV files can be used.",
                        musicPath.c_str()));
    return false;
}

}  // namespace

std::string musicTempWavPath(const BuildInputs& inputs) {
    return formatText("%stmpwav.~av", inputs.tempDir.c_str());
}

namespace {

bool encodeMenuMusicFile(const BuildInputs& inputs, const std::string& mp2Path, const std::string& musicPath) {
    const MusicKind kind = musicKind(musicPath);
    if (kind == MusicKind::Other) return false;
    inputs.services.log(formatText("Encoding music file %s", musicPath.c_str()));
    if (kind == MusicKind::Wav) return encodeWavToMp2(musicPath, mp2Path, inputs.services);

    const std::string tmp = musicTempWavPath(inputs);
    if (!decodeMp3ToWav(musicPath, tmp)) {
        std::remove(tmp.c_str());  // a partial decode is of no use to anyone
        inputs.services.log(formatText("Encoding music file %s Failed!", musicPath.c_str()));
        return false;
    }
    const bool encoded = encodeWavToMp2(tmp, mp2Path, inputs.services);
    std::remove(tmp.c_str());
    if (encoded) inputs.services.log(formatText("Encoding music file %s OK!", musicPath.c_str()));
    return encoded;
}

bool encodeAlbumMusicFile(const BuildInputs& inputs, const std::string& mp2Path, const std::string& musicPath,
                          int seconds) {
    switch (musicKind(musicPath)) {
        case MusicKind::Wav: return encodeWavToMp2Looped(musicPath, mp2Path, seconds);
        case MusicKind::Mp3: {
            const std::string tmp = musicTempWavPath(inputs);
            if (!decodeMp3ToWav(musicPath, tmp)) {
                std::remove(tmp.c_str());
                return false;
            }
            const bool encoded = encodeWavToMp2Looped(tmp, mp2Path, seconds);
            std::remove(tmp.c_str());
            return encoded;
        }
        case MusicKind::Other: break;
    }
    return false;
}

}  // namespace

bool encodeMenuMusic(const BuildJob& job, const BuildInputs& inputs, const std::string& mp2Path,
                     const std::string& musicPath) {
    if (job.cancelled()) return false;
    return encodeMenuMusicFile(inputs, mp2Path, musicPath) || tellUnusable(inputs, musicPath);
}

bool encodeAlbumMusic(const BuildJob& job, const BuildInputs& inputs, const std::string& mp2Path,
                      const std::string& musicPath, int seconds) {
    if (job.cancelled()) return false;
    return encodeAlbumMusicFile(inputs, mp2Path, musicPath, seconds) || tellUnusable(inputs, musicPath);
}

}  // namespace tellavine
