#pragma once
// The playing length of an MP3 file in bytes of 44.1 kHz 16-bit stereo sound (176400
// bytes a second), as the project keeps music lengths: counted from the frame headers
// and rounded up to whole seconds.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace tellavine::audio {

// Frames from the current position of `file` to its end; nothing when there is none.
std::optional<std::int32_t> measureMp3Stream(std::FILE* file);

// The length of the MP3 at `path`, its ID3v2 tag skipped; nothing when the file cannot
// be read or holds no MPEG audio frame. Fits Project::setMusicLengthQuery as it stands.
std::optional<std::int32_t> measureMp3Length(const std::string& path);

}  // namespace tellavine::audio
