#include "encode/worker_protocol.h"

#include "platform/bytes.h"

namespace tellavine::mpegworker {
namespace {

void putText(ByteWriter& out, const std::string& text) {
    out.u32le(static_cast<std::uint32_t>(text.size()));
    out.bytes(text);
}

void putBlock(ByteWriter& out, const std::vector<std::uint8_t>& block) {
    out.u32le(static_cast<std::uint32_t>(block.size()));
    out.bytes(block);
}

// Reads a length-prefixed field; the length is checked against what is left, so a
// corrupt length cannot make the reader allocate more than the payload holds.
bool takeBlock(ByteReader& in, std::vector<std::uint8_t>& block) {
    const auto size = in.u32le();
    if (in.failed() || size > in.remaining()) return false;
    const auto bytes = in.bytes(size);
    block.assign(bytes.begin(), bytes.end());
    return true;
}

bool takeText(ByteReader& in, std::string& text) {
    const auto size = in.u32le();
    if (in.failed() || size > in.remaining()) return false;
    const auto bytes = in.bytes(size);
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool startsWith(ByteReader& in, MessageKind kind) {
    return in.u8() == static_cast<std::uint8_t>(kind) && !in.failed();
}

}  // namespace

std::vector<std::uint8_t> encodeRequest(const EncodeStillRequest& request) {
    ByteWriter out(request.luma.size() * 3 / 2 + 32);
    out.u8(static_cast<std::uint8_t>(MessageKind::EncodeStill));
    out.u32le(request.width);
    out.u32le(request.height);
    out.u8(static_cast<std::uint8_t>(request.norm));
    putBlock(out, request.luma);
    putBlock(out, request.blueChroma);
    putBlock(out, request.redChroma);
    return out.take();
}

std::vector<std::uint8_t> encodeRequest(const MultiplexRequest& request) {
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(MessageKind::MultiplexStills));
    putText(out, request.outputPath);
    out.u32le(request.stillIntervalTicks);
    out.u32le(static_cast<std::uint32_t>(request.pairs.size()));
    for (const auto& pair : request.pairs) {
        putText(out, pair.first);
        putText(out, pair.second);
    }
    out.u32le(static_cast<std::uint32_t>(request.audioPaths.size()));
    for (const auto& path : request.audioPaths) putText(out, path);
    return out.take();
}

std::vector<std::uint8_t> encodeReply(const Reply& reply) {
    ByteWriter out(reply.data.size() + reply.message.size() + 16);
    out.u8(static_cast<std::uint8_t>(MessageKind::Reply));
    out.u8(static_cast<std::uint8_t>(reply.status));
    out.u8(reply.retiring ? 1 : 0);
    putText(out, reply.message);
    putBlock(out, reply.data);
    return out.take();
}

std::optional<MessageKind> payloadKind(const std::vector<std::uint8_t>& payload) {
    if (payload.empty()) return std::nullopt;
    return static_cast<MessageKind>(payload[0]);
}

std::optional<EncodeStillRequest> decodeEncodeStill(const std::vector<std::uint8_t>& payload) {
    ByteReader in(payload);
    if (!startsWith(in, MessageKind::EncodeStill)) return std::nullopt;
    EncodeStillRequest request;
    request.width = in.u32le();
    request.height = in.u32le();
    const auto norm = in.u8();
    if (in.failed() || (norm != 'p' && norm != 'n')) return std::nullopt;
    request.norm = static_cast<VideoNorm>(norm);
    if (!takeBlock(in, request.luma) || !takeBlock(in, request.blueChroma) ||
        !takeBlock(in, request.redChroma))
        return std::nullopt;
    // The planes must match the announced size, so the encoder never reads past them.
    const std::uint64_t lumaSize = std::uint64_t{request.width} * request.height;
    const std::uint64_t chromaSize = std::uint64_t{request.width / 2} * (request.height / 2);
    if (request.luma.size() != lumaSize || request.blueChroma.size() != chromaSize ||
        request.redChroma.size() != chromaSize)
        return std::nullopt;
    return request;
}

std::optional<MultiplexRequest> decodeMultiplex(const std::vector<std::uint8_t>& payload) {
    ByteReader in(payload);
    if (!startsWith(in, MessageKind::MultiplexStills)) return std::nullopt;
    MultiplexRequest request;
    if (!takeText(in, request.outputPath)) return std::nullopt;
    request.stillIntervalTicks = in.u32le();
    const auto pairCount = in.u32le();
    if (in.failed() || pairCount > in.remaining()) return std::nullopt;
    for (std::uint32_t i = 0; i < pairCount; ++i) {
        StillPairPaths pair;
        if (!takeText(in, pair.first) || !takeText(in, pair.second)) return std::nullopt;
        request.pairs.push_back(std::move(pair));
    }
    const auto audioCount = in.u32le();
    if (in.failed() || audioCount > in.remaining()) return std::nullopt;
    for (std::uint32_t i = 0; i < audioCount; ++i) {
        std::string path;
        if (!takeText(in, path)) return std::nullopt;
        request.audioPaths.push_back(std::move(path));
    }
    return request;
}

std::optional<Reply> decodeReply(const std::vector<std::uint8_t>& payload) {
    ByteReader in(payload);
    if (!startsWith(in, MessageKind::Reply)) return std::nullopt;
    Reply reply;
    const auto status = in.u8();
    reply.retiring = in.u8() != 0;
    if (in.failed() || status > static_cast<std::uint8_t>(ReplyStatus::BadRequest)) return std::nullopt;
    reply.status = static_cast<ReplyStatus>(status);
    if (!takeText(in, reply.message) || !takeBlock(in, reply.data)) return std::nullopt;
    return reply;
}

std::vector<std::uint8_t> frameHeader(std::uint32_t size) {
    ByteWriter out;
    out.u32le(size);
    return out.take();
}

std::uint32_t frameSize(const std::uint8_t header[4]) {
    ByteReader in(std::span<const std::uint8_t>(header, 4));
    return in.u32le();
}

}  // namespace tellavine::mpegworker
