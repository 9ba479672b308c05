#include "mpegworker/channel.h"

#include "encode/worker_protocol.h"

#include <cerrno>
#include <unistd.h>

namespace tellavine::mpegworker {
namespace {

bool readExactly(int fd, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const auto got = ::read(fd, data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeExactly(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const auto put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readPayload(int fd) {
    std::uint8_t header[4];
    if (!readExactly(fd, header, sizeof header)) return std::nullopt;
    const auto size = frameSize(header);
    if (size > kMaxPayloadBytes) return std::nullopt;
    std::vector<std::uint8_t> payload(size);
    if (!readExactly(fd, payload.data(), payload.size())) return std::nullopt;
    return payload;
}

bool writePayload(int fd, const std::vector<std::uint8_t>& payload) {
    const auto header = frameHeader(static_cast<std::uint32_t>(payload.size()));
    return writeExactly(fd, header.data(), header.size()) &&
           writeExactly(fd, payload.data(), payload.size());
}

}  // namespace tellavine::mpegworker
