#pragma once
// One VCD still from 4:2:0 planes, with libmpeg2encpp in this process.

#include "encode/worker_protocol.h"
#include "mpegworker/transform_choice.h"

#include <cstdint>
#include <vector>

namespace tellavine::mpegworker {

// The coded still: sequence header, GOP header, one I-picture, sequence end code.
// Fatal library errors end the process through failJob, and so does finding the
// library's transforms other than `dct` once the still is coded.
std::vector<std::uint8_t> encodeStillPicture(const EncodeStillRequest& request, DctChoice dct);

}  // namespace tellavine::mpegworker
