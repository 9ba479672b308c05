#pragma once
// The worker's end of the pipe to the engine: whole frames in, whole frames out.

#include <cstdint>
#include <optional>
#include <vector>

namespace tellavine::mpegworker {

// The next request payload, or nothing at end of input or on a malformed frame.
std::optional<std::vector<std::uint8_t>> readPayload(int fd);
// Writes one frame; false when the engine has gone.
bool writePayload(int fd, const std::vector<std::uint8_t>& payload);

}  // namespace tellavine::mpegworker
