#pragma once
// Hand-made MPEG program-stream packs for scanner and layout tests: every byte is
// chosen here, so the expected scan results follow from the input alone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellavine::vcd::testing {

using Bytes = std::vector<std::uint8_t>;

struct SequenceHeader {
    unsigned width = 352, height = 288, aspectCode = 1, frameRateCode = 3;
};

// Video elementary-stream fragments.
Bytes sequenceHeaderBytes(const SequenceHeader& header);
Bytes gopHeaderBytes();
Bytes pictureHeaderBytes(unsigned codingType);  // 1 = I picture
Bytes sequenceEndBytes();
// An MPEG-1 Layer II frame header (44.1 kHz, 224 kbit/s) with the given mode bits.
Bytes audioFrameHeader(unsigned modeBits);

class PackBuilder {
public:
    explicit PackBuilder(int version = 1);
    // A PES packet (MPEG-1 form for version 1, MPEG-2 form for version 2).
    PackBuilder& pes(std::uint8_t streamId, std::optional<double> pts, const Bytes& payload);
    PackBuilder& systemHeader();
    PackBuilder& raw(const Bytes& bytes);
    // Pads with a padding packet to exactly `size` bytes (no padding when size is 0).
    Bytes finish(std::size_t size = 2324);

private:
    int version_;
    Bytes bytes_;
};

// A still picture pack of stream 0xE1 (or `streamId`) with a time stamp.
Bytes stillPack(double pts, bool withSequenceEnd = false, std::uint8_t streamId = 0xE1);

void writeBytes(const std::string& path, const std::vector<Bytes>& packs);

}  // namespace tellavine::vcd::testing
