#include "support/mpeg_builder.h"

#include <fstream>

namespace tellavine::vcd::testing {
namespace {

void appendTimeStamp(Bytes& out, std::uint8_t prefix, double seconds) {
    const auto pts = static_cast<std::uint64_t>(seconds * 90000.0 + 0.5);
    out.push_back(static_cast<std::uint8_t>(prefix | ((pts >> 29) & 0x0E) | 1));
    out.push_back(static_cast<std::uint8_t>(pts >> 22));
    out.push_back(static_cast<std::uint8_t>(((pts >> 14) & 0xFE) | 1));
    out.push_back(static_cast<std::uint8_t>(pts >> 7));
    out.push_back(static_cast<std::uint8_t>(((pts << 1) & 0xFE) | 1));
}

void appendStartCode(Bytes& out, std::uint8_t code) {
    out.insert(out.end(), {0x00, 0x00, 0x01, code});
}

}  // namespace

Bytes sequenceHeaderBytes(const SequenceHeader& h) {
    Bytes out;
    appendStartCode(out, 0xB3);
    out.push_back(static_cast<std::uint8_t>(h.width >> 4));
    out.push_back(static_cast<std::uint8_t>(((h.width & 0xF) << 4) | (h.height >> 8)));
    out.push_back(static_cast<std::uint8_t>(h.height));
    out.push_back(static_cast<std::uint8_t>((h.aspectCode << 4) | h.frameRateCode));
    out.insert(out.end(), {0x0F, 0xFF, 0xE0, 0xA0});  // bit rate, marker, VBV size
    return out;
}

Bytes gopHeaderBytes() {
    Bytes out;
    appendStartCode(out, 0xB8);
    out.insert(out.end(), {0x00, 0x08, 0x00, 0x40});
    return out;
}

Bytes pictureHeaderBytes(unsigned codingType) {
    Bytes out;
    appendStartCode(out, 0x00);
    out.push_back(0x00);                                             // temporal reference (high bits)
    out.push_back(static_cast<std::uint8_t>((codingType & 7) << 3));  // coding type after 10 bits
    out.insert(out.end(), {0xFF, 0xF8});
    return out;
}

Bytes sequenceEndBytes() {
    Bytes out;
    appendStartCode(out, 0xB7);
    return out;
}

Bytes audioFrameHeader(unsigned modeBits) {
    // Sync, MPEG-1, Layer II, no CRC; 224 kbit/s (index 11), 44.1 kHz; mode.
    return {0xFF, 0xFD, 0xB0, static_cast<std::uint8_t>(modeBits << 6), 0x00, 0x00};
}

PackBuilder::PackBuilder(int version) : version_(version) {
    appendStartCode(bytes_, 0xBA);
    if (version == 2)
        bytes_.insert(bytes_.end(), {0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8});
    else
        bytes_.insert(bytes_.end(), {0x21, 0x00, 0x01, 0x00, 0x01, 0x80, 0x1B, 0x83});
}

PackBuilder& PackBuilder::pes(std::uint8_t streamId, std::optional<double> pts, const Bytes& payload) {
    Bytes header;
    if (version_ == 2) {
        header.push_back(0x81);
        header.push_back(pts ? 0x80 : 0x00);
        header.push_back(pts ? 5 : 0);
        if (pts) appendTimeStamp(header, 0x20, *pts);
    } else if (pts) {
        appendTimeStamp(header, 0x20, *pts);
    } else {
        header.push_back(0x0F);
    }
    const std::size_t length = header.size() + payload.size();
    appendStartCode(bytes_, streamId);
    bytes_.push_back(static_cast<std::uint8_t>(length >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(length));
    bytes_.insert(bytes_.end(), header.begin(), header.end());
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
}

PackBuilder& PackBuilder::systemHeader() {
    appendStartCode(bytes_, 0xBB);
    bytes_.insert(bytes_.end(), {0x00, 0x06, 0x80, 0x00, 0x01, 0x04, 0xE1, 0xFF});
    return *this;
}

PackBuilder& PackBuilder::raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes PackBuilder::finish(std::size_t size) {
    if (size && bytes_.size() + 6 <= size) {
        const std::size_t length = size - bytes_.size() - 6;
        appendStartCode(bytes_, 0xBE);
        bytes_.push_back(static_cast<std::uint8_t>(length >> 8));
        bytes_.push_back(static_cast<std::uint8_t>(length));
        bytes_.insert(bytes_.end(), length, 0xFF);
    }
    return bytes_;
}

Bytes stillPack(double pts, bool withSequenceEnd, std::uint8_t streamId) {
    Bytes payload = sequenceHeaderBytes({});
    for (auto part : {gopHeaderBytes(), pictureHeaderBytes(1)}) payload.insert(payload.end(), part.begin(), part.end());
    payload.resize(payload.size() + 200, 0x55);
    if (withSequenceEnd) {
        const auto end = sequenceEndBytes();
        payload.insert(payload.end(), end.begin(), end.end());
    }
    return PackBuilder(1).pes(streamId, pts, payload).finish();
}

void writeBytes(const std::string& path, const std::vector<Bytes>& packs) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& pack : packs) out.write(reinterpret_cast<const char*>(pack.data()), static_cast<std::streamsize>(pack.size()));
}

}  // namespace tellavine::vcd::testing
