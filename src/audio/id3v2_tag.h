#pragma once
// Size of the ID3v2 tag that may start an MP3 file, from the tag's own header.

#include <cstddef>
#include <string>

namespace tellavine::audio {

// Bytes taken by an ID3v2 tag (header, frames, padding and footer) at the start of the
// file; 0 when there is none or the file cannot be read.
std::size_t id3v2TagSize(const std::string& path);

}  // namespace tellavine::audio
