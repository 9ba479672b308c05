#pragma once
// The messages between the engine and the MPEG worker process
// (tellavine-mpegworker). The worker links the mjpegtools encoder and multiplexer
// libraries, which end the process on fatal errors, abort on some inputs and leak, so
// they run in a process of their own.
//
// Every message is a frame: a 32-bit little-endian payload length, then the payload.
// A payload starts with its kind byte and is written and read field by field.
// Requests: one still to encode (planes in, coded still out) or one stills multiplex
// (file paths in, output file written by the worker). Every request gets one reply.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellavine::mpegworker {

// Largest payload either side accepts: a 704 x 576 4:2:0 frame is 608 KB, a reply
// holds one coded still (at most a few hundred KB) or a message.
inline constexpr std::uint32_t kMaxPayloadBytes = 8u * 1024u * 1024u;

enum class MessageKind : std::uint8_t {
    EncodeStill = 1,
    MultiplexStills = 2,
    Reply = 0x80,
};

enum class VideoNorm : std::uint8_t { Pal = 'p', Ntsc = 'n' };

// A 4:2:0 frame: full-size luma, chroma planes of half width and half height,
// rows top first, no padding between rows.
struct EncodeStillRequest {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    VideoNorm norm = VideoNorm::Pal;
    std::vector<std::uint8_t> luma;
    std::vector<std::uint8_t> blueChroma;
    std::vector<std::uint8_t> redChroma;
};

// Two video still streams shown together as one mixed still.
struct StillPairPaths {
    std::string first;
    std::string second;
};

struct MultiplexRequest {
    std::string outputPath;
    // Time from one still of a stream to the next, in 90 kHz ticks.
    std::uint32_t stillIntervalTicks = 0;
    std::vector<StillPairPaths> pairs;
    std::vector<std::string> audioPaths;
};

enum class ReplyStatus : std::uint8_t {
    Done = 0,
    // The library's fatal error; `message` holds its text. The worker exits after it.
    FatalError = 1,
    // The request itself could not be read.
    BadRequest = 2,
};

struct Reply {
    ReplyStatus status = ReplyStatus::Done;
    std::string message;
    // The coded still of an encode request.
    std::vector<std::uint8_t> data;
    // The worker leaves after this reply (its memory budget is spent).
    bool retiring = false;
};

std::vector<std::uint8_t> encodeRequest(const EncodeStillRequest& request);
std::vector<std::uint8_t> encodeRequest(const MultiplexRequest& request);
std::vector<std::uint8_t> encodeReply(const Reply& reply);

// The kind of a payload, or nothing for an empty payload.
std::optional<MessageKind> payloadKind(const std::vector<std::uint8_t>& payload);
std::optional<EncodeStillRequest> decodeEncodeStill(const std::vector<std::uint8_t>& payload);
std::optional<MultiplexRequest> decodeMultiplex(const std::vector<std::uint8_t>& payload);
std::optional<Reply> decodeReply(const std::vector<std::uint8_t>& payload);

// The 4-byte frame header for a payload of `size` bytes, and the size it announces.
std::vector<std::uint8_t> frameHeader(std::uint32_t size);
std::uint32_t frameSize(const std::uint8_t header[4]);

}  // namespace tellavine::mpegworker
