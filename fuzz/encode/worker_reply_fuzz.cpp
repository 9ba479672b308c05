// The engine's reading of worker messages on arbitrary payloads.
#include "encode/worker_protocol.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> payload(data, data + size);
    tellavine::mpegworker::decodeReply(payload);
    tellavine::mpegworker::decodeEncodeStill(payload);
    tellavine::mpegworker::decodeMultiplex(payload);
    return 0;
}
