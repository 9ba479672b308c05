#pragma once
// Video CD mixed-still segments: MPEG-1 program streams in the VCD stills format
// (2352-byte sectors, 75 per second) from the still streams of the encoder and the
// MPEG audio of the music stage, multiplexed by mjpegtools in the MPEG worker.
//
// Inputs are classified by content (MPEG audio, AC3 audio, MPEG video; anything else
// is refused) and checked before the library sees them: the two streams of a pair must
// be one normal- (352-wide) and one high-resolution (704-wide) stream, and MPEG audio
// must consist of frames the library can parse. Both stills of a pair are presented
// together; the k-th pair of a sequence k x seconds after the first.
//
// Every failure shows its message box and comes back as a failed EncoderResult.

#include "encode/encoder_error.h"
#include "encode/mpeg_worker_client.h"

#include <string>
#include <vector>

namespace tellavine {

// One mixed still from two still streams (either order); no audio.
EncoderResult multiplexStillPair(const std::string& outputPath, const std::string& firstVideoPath,
                                 const std::string& secondVideoPath, MpegWorkerClient& worker = sharedMpegWorker());

struct StillSequenceOptions {
    int secondsPerStill = 4;
    // Shown in the message when the stills follow each other too fast for the disc's
    // data rate (the album's name); empty for none.
    std::string displayName;
};

// Video inputs, in order, form pairs (1st and 2nd, 3rd and 4th, ...); an unpaired last
// video is ignored. Every MPEG audio input becomes an audio stream. When stills change
// within the stream, the interval must leave the channel time to deliver each pair next
// to the audio; a shorter one is refused with a message naming `displayName`, rather
// than writing a stream whose pictures arrive late.
EncoderResult multiplexStillSequence(const std::string& outputPath, const std::vector<std::string>& inputPaths,
                                     const StillSequenceOptions& options,
                                     MpegWorkerClient& worker = sharedMpegWorker());

// Shortest interval, in seconds, at which a VCD stills stream can deliver pairs whose
// larger halves take `pairBytes` while audio of `audioBytesPerSecond` plays.
double minimumStillInterval(std::size_t pairBytes, std::uint32_t audioBytesPerSecond);

}  // namespace tellavine
