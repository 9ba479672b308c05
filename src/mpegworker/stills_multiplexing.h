#pragma once
// VCD stills program streams with libmplex2 in this process.

#include "encode/worker_protocol.h"

namespace tellavine::mpegworker {

// Writes the program stream of `request`: each pair a mixed still (normal and high
// resolution linked to each other), each MPEG audio input an audio stream, the k-th
// still of every stream decoded at k x interval and shown one frame later, so both
// stills of a pair appear together. Fatal library errors end the process through
// failJob. The inputs have been classified and checked by the engine.
void multiplexStills(const MultiplexRequest& request);

}  // namespace tellavine::mpegworker
