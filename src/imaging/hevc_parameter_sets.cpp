#include "imaging/hevc_parameter_sets.h"

#include "platform/bytes.h"

namespace tellavine {
namespace {

constexpr unsigned kSequenceParameterSet = 33;

// The payload with its emulation prevention bytes (the 03 in 00 00 03) taken out, so that
// bit positions are those of the syntax.
std::vector<std::uint8_t> withoutEmulationPrevention(std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> out;
    out.reserve(payload.size());
    int zeros = 0;
    for (std::uint8_t byte : payload) {
        if (zeros >= 2 && byte == 0x03) {
            zeros = 0;
            continue;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        out.push_back(byte);
    }
    return out;
}

// Reads most significant bit first. A read past the end yields zeros and sets failed(),
// as ByteReader does, so hostile data is checked once after a run of reads.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint32_t bits(unsigned count) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i) value = value << 1 | bit();
        return value;
    }

    void skip(std::size_t count) {
        if (failed_ || count > data_.size() * 8 - position_) {
            failed_ = true;
            return;
        }
        position_ += count;
    }

    // Exp-Golomb ue(v). More than 31 leading zeros fits no 32-bit value: treated as damage.
    std::uint32_t unsignedExpGolomb() {
        unsigned leadingZeros = 0;
        while (!failed_ && bit() == 0) {
            if (++leadingZeros > 31) {
                failed_ = true;
                return 0;
            }
        }
        if (failed_) return 0;
        return static_cast<std::uint32_t>((std::uint64_t{1} << leadingZeros) - 1 + bits(leadingZeros));
    }

    bool failed() const { return failed_; }

private:
    std::uint32_t bit() {
        if (failed_ || position_ >= data_.size() * 8) {
            failed_ = true;
            return 0;
        }
        const std::uint32_t value = data_[position_ / 8] >> (7 - position_ % 8) & 1;
        ++position_;
        return value;
    }

    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// profile_tier_level(1, maxSubLayersMinus1): nothing in it is needed, only its length.
void skipProfileTierLevel(BitReader& reader, unsigned maxSubLayersMinus1) {
    reader.skip(88);  // general profile space, tier, profile, compatibility and constraint flags
    reader.skip(8);   // general_level_idc
    bool profilePresent[8] = {};
    bool levelPresent[8] = {};
    for (unsigned i = 0; i < maxSubLayersMinus1; ++i) {
        profilePresent[i] = reader.bits(1) != 0;
        levelPresent[i] = reader.bits(1) != 0;
    }
    if (maxSubLayersMinus1 > 0) reader.skip(2 * (8 - maxSubLayersMinus1));  // reserved_zero_2bits
    for (unsigned i = 0; i < maxSubLayersMinus1; ++i) {
        if (profilePresent[i]) reader.skip(88);
        if (levelPresent[i]) reader.skip(8);
    }
}

}  // namespace

std::optional<CodedPictureSize> hevcSequencePictureSize(std::span<const std::uint8_t> nalUnit) {
    if (nalUnit.size() < 2 || (nalUnit[0] >> 1 & 0x3f) != kSequenceParameterSet) return std::nullopt;
    const std::vector<std::uint8_t> payload = withoutEmulationPrevention(nalUnit.subspan(2));
    BitReader reader(payload);
    reader.skip(4);  // sps_video_parameter_set_id
    const unsigned maxSubLayersMinus1 = reader.bits(3);
    reader.skip(1);  // sps_temporal_id_nesting_flag
    skipProfileTierLevel(reader, maxSubLayersMinus1);
    reader.unsignedExpGolomb();  // sps_seq_parameter_set_id
    if (reader.unsignedExpGolomb() == 3) reader.skip(1);  // chroma_format_idc 4:4:4, separate_colour_plane_flag
    CodedPictureSize size;
    size.width = reader.unsignedExpGolomb();
    size.height = reader.unsignedExpGolomb();
    if (reader.failed()) return std::nullopt;
    return size;
}

std::optional<std::size_t> hevcNalLengthSize(std::span<const std::uint8_t> hvcC) {
    if (hvcC.size() < 22) return std::nullopt;
    const std::size_t size = (hvcC[21] & 0x03) + 1u;  // lengthSizeMinusOne
    if (size == 3) return std::nullopt;
    return size;
}

std::vector<CodedPictureSize> hevcConfigurationPictureSizes(std::span<const std::uint8_t> hvcC) {
    std::vector<CodedPictureSize> sizes;
    ByteReader reader(hvcC);
    reader.skip(22);  // version, profile, level, formats, frame rate, length size
    const unsigned arrayCount = reader.u8();
    for (unsigned array = 0; array < arrayCount && !reader.failed(); ++array) {
        reader.u8();  // array_completeness and NAL_unit_type: each unit says its own type
        const unsigned unitCount = reader.u16be();
        for (unsigned unit = 0; unit < unitCount && !reader.failed(); ++unit) {
            const std::span<const std::uint8_t> nalUnit = reader.bytes(reader.u16be());
            if (reader.failed()) break;
            if (auto size = hevcSequencePictureSize(nalUnit)) sizes.push_back(*size);
        }
    }
    return sizes;
}

}  // namespace tellavine
