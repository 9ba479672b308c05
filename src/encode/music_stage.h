#pragma once
// The music encoding stage: a user's MP3 or WAV file (chosen by its extension) into
// the MPEG-1 Layer II file the multiplexer takes, for the disc menu (played whole) or
// an album (repeated and cut to the album's play time). MP3 files go through the
// temporary "tmpwav.~av" in the build's temporary folder, so only one conversion may
// run at a time; the build thread is the only caller.

#include "project/build_job.h"

#include <string>

namespace tellavine {

// The temporary PCM file of the MP3 route.
std::string musicTempWavPath(const BuildInputs& inputs);

// The whole music file into `mp2Path`. Logs "Encoding music file %s" first and, for an
// MP3, "... Failed!" or "... OK!". False for other extensions, failures and a cancelled
// build.
bool encodeMenuMusic(const BuildJob& job, const BuildInputs& inputs, const std::string& mp2Path,
                     const std::string& musicPath);

// `seconds` of the music, repeated from its start as needed, into `mp2Path`. No log.
bool encodeAlbumMusic(const BuildJob& job, const BuildInputs& inputs, const std::string& mp2Path,
                      const std::string& musicPath, int seconds);

}  // namespace tellavine
