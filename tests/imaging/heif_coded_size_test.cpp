// The coded picture size read from HEVC parameter sets and HEIF boxes before decoding: a
// file of a few hundred bytes must not make the decoder build a picture of many megapixels.
#include "imaging/heif_boxes.h"
#include "imaging/hevc_parameter_sets.h"

#include "platform/bytes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tellavine {
namespace {

// Writes most significant bit first, as the parameter sets are coded.
class BitWriter {
public:
    void bits(std::uint64_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            if (used_ == 8) {
                bytes_.push_back(0);
                used_ = 0;
            }
            // Fields wider than the value (88-bit sub-layer profiles) are zero above bit 63.
            const unsigned bit = i < 64 ? static_cast<unsigned>(value >> i & 1) : 0;
            bytes_.back() |= static_cast<std::uint8_t>(bit << (7 - used_));
            ++used_;
        }
    }
    void unsignedExpGolomb(std::uint32_t value) {
        const std::uint64_t coded = std::uint64_t{value} + 1;
        unsigned length = 0;
        while (coded >> length) ++length;
        bits(0, length - 1);
        bits(coded, length);
    }
    // The payload with its stop bit, then emulation prevention bytes wherever two zero
    // bytes are followed by one of 00 to 03, as an encoder writes them.
    std::vector<std::uint8_t> finishedNalPayload() {
        bits(1, 1);
        std::vector<std::uint8_t> out;
        int zeros = 0;
        for (std::uint8_t byte : bytes_) {
            if (zeros >= 2 && byte <= 3) {
                out.push_back(0x03);
                zeros = 0;
            }
            zeros = byte == 0 ? zeros + 1 : 0;
            out.push_back(byte);
        }
        return out;
    }

private:
    std::vector<std::uint8_t> bytes_;
    unsigned used_ = 8;
};

struct SequenceFields {
    unsigned maxSubLayersMinus1 = 0;
    unsigned chromaFormat = 1;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// A sequence parameter set NAL unit up to its picture size and a few fields after it. The
// general profile's constraint flags are zero, so the payload needs emulation prevention.
std::vector<std::uint8_t> sequenceParameterSet(const SequenceFields& fields) {
    BitWriter writer;
    writer.bits(0, 4);  // sps_video_parameter_set_id
    writer.bits(fields.maxSubLayersMinus1, 3);
    writer.bits(1, 1);                                  // sps_temporal_id_nesting_flag
    writer.bits(0x01, 8);                               // Main profile
    writer.bits(0x60000000, 32);                        // compatibility flags
    writer.bits(0, 48);                                 // constraint flags
    writer.bits(93, 8);                                 // level 3.1
    for (unsigned i = 0; i < fields.maxSubLayersMinus1; ++i) writer.bits(i % 2 == 0 ? 0b11 : 0b01, 2);
    if (fields.maxSubLayersMinus1 > 0) writer.bits(0, 2 * (8 - fields.maxSubLayersMinus1));
    for (unsigned i = 0; i < fields.maxSubLayersMinus1; ++i) {
        if (i % 2 == 0) writer.bits(0x01, 88);          // sub-layer profile
        writer.bits(90, 8);                             // sub-layer level
    }
    writer.unsignedExpGolomb(0);                        // sps_seq_parameter_set_id
    writer.unsignedExpGolomb(fields.chromaFormat);
    if (fields.chromaFormat == 3) writer.bits(0, 1);    // separate_colour_plane_flag
    writer.unsignedExpGolomb(fields.width);
    writer.unsignedExpGolomb(fields.height);
    writer.bits(0, 1);                                  // conformance_window_flag
    writer.unsignedExpGolomb(0);                        // bit_depth_luma_minus8
    std::vector<std::uint8_t> unit = {0x42, 0x01};      // NAL header: type 33, layer 0, temporal id 1
    const auto payload = writer.finishedNalPayload();
    unit.insert(unit.end(), payload.begin(), payload.end());
    return unit;
}

TEST(HevcParameterSets, TheSequencePictureSizeIsReadWhateverComesBeforeIt) {
    const SequenceFields cases[] = {
        {0, 1, 1920, 1080},
        {2, 3, 8240, 10496},  // sub-layer profiles and levels, and the 4:4:4 colour plane flag
        {5, 0, 64, 64},
        {6, 2, 4294967294u, 1},  // the largest value ue(v) codes in 32 bits
    };
    for (const SequenceFields& fields : cases) {
        SCOPED_TRACE(std::to_string(fields.width) + " x " + std::to_string(fields.height) + ", sub-layers " +
                     std::to_string(fields.maxSubLayersMinus1 + 1));
        const auto unit = sequenceParameterSet(fields);
        const auto size = hevcSequencePictureSize(unit);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(size->width, fields.width);
        EXPECT_EQ(size->height, fields.height);
    }
}

TEST(HevcParameterSets, ACutOrForeignUnitHasNoSize) {
    const auto unit = sequenceParameterSet({1, 1, 8240, 10496});
    // Cut anywhere before the height is complete: no size, and nothing read past the end.
    const std::size_t heightEnds = unit.size() - 1;  // the last byte holds the fields after it
    for (std::size_t length = 0; length < heightEnds - 1; ++length)
        EXPECT_FALSE(hevcSequencePictureSize(std::span(unit).first(length)).has_value()) << length << " bytes";
    auto pictureParameterSet = unit;
    pictureParameterSet[0] = 34 << 1;
    EXPECT_FALSE(hevcSequencePictureSize(pictureParameterSet).has_value());
    // 32 zero bits where a ue(v) starts codes no 32-bit value.
    const std::vector<std::uint8_t> zeros(40, 0);
    std::vector<std::uint8_t> endless = {0x42, 0x01, 0x01};
    endless.insert(endless.end(), zeros.begin(), zeros.end());
    EXPECT_FALSE(hevcSequencePictureSize(endless).has_value());
}

// An "hvcC" body: the fixed fields (4-byte NAL lengths), then one array per unit.
std::vector<std::uint8_t> decoderConfiguration(const std::vector<std::vector<std::uint8_t>>& units) {
    ByteWriter writer;
    writer.u8(1);  // configurationVersion
    writer.fill(20);
    writer.u8(0x03);  // lengthSizeMinusOne
    writer.u8(static_cast<std::uint8_t>(units.size()));
    for (const auto& unit : units) {
        writer.u8(unit[0] >> 1);
        writer.u16be(1);
        writer.u16be(static_cast<std::uint16_t>(unit.size()));
        writer.bytes(unit);
    }
    return writer.take();
}

std::vector<std::uint8_t> box(const char* type, std::span<const std::uint8_t> body) {
    ByteWriter writer;
    writer.u32be(static_cast<std::uint32_t>(8 + body.size()));
    writer.bytes(std::string_view(type, 4));
    writer.bytes(body);
    return writer.take();
}

std::vector<std::uint8_t> joined(const std::vector<std::vector<std::uint8_t>>& parts) {
    std::vector<std::uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::uint8_t> imageSpatialExtents(std::uint32_t width, std::uint32_t height) {
    ByteWriter writer;
    writer.u32be(0);  // version and flags
    writer.u32be(width);
    writer.u32be(height);
    return box("ispe", writer.data());
}

// A file with one item of `itemType`, every property associated with it, and its data in
// "mdat" (iloc version 0, 32-bit offsets).
std::vector<std::uint8_t> heifWithOneItem(const char* itemType,
                                          const std::vector<std::vector<std::uint8_t>>& properties,
                                          std::span<const std::uint8_t> data) {
    const auto ftyp = box("ftyp", std::vector<std::uint8_t>{'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1'});
    auto metaWithDataAt = [&](std::uint32_t dataOffset) {
        ByteWriter infe;
        infe.u32be(0x02000000);  // version 2
        infe.u16be(1);           // item id
        infe.u16be(0);           // protection index
        infe.bytes(std::string_view(itemType, 4));
        ByteWriter iinf;
        iinf.u32be(0);
        iinf.u16be(1);
        iinf.bytes(box("infe", infe.data()));
        ByteWriter iloc;
        iloc.u32be(0);  // version 0
        iloc.u8(0x44);  // 4-byte offsets and lengths
        iloc.u8(0x00);  // no base offset
        iloc.u16be(1);
        iloc.u16be(1);  // item id
        iloc.u16be(0);  // this file
        iloc.u16be(1);  // one extent
        iloc.u32be(dataOffset);
        iloc.u32be(static_cast<std::uint32_t>(data.size()));
        ByteWriter ipma;
        ipma.u32be(0);
        ipma.u32be(1);
        ipma.u16be(1);
        ipma.u8(static_cast<std::uint8_t>(properties.size()));
        for (std::size_t i = 0; i < properties.size(); ++i) ipma.u8(static_cast<std::uint8_t>(i + 1));
        const auto iprp = box("iprp", joined({box("ipco", joined(properties)), box("ipma", ipma.data())}));
        const std::vector<std::uint8_t> fullBoxHeader(4, 0);
        return box("meta", joined({fullBoxHeader, box("iinf", iinf.data()), box("iloc", iloc.data()), iprp}));
    };
    const std::size_t metaSize = metaWithDataAt(0).size();
    const auto meta = metaWithDataAt(static_cast<std::uint32_t>(ftyp.size() + metaSize + 8));
    return joined({ftyp, meta, box("mdat", data)});
}

std::vector<std::uint8_t> lengthPrefixed(const std::vector<std::uint8_t>& unit) {
    ByteWriter writer;
    writer.u32be(static_cast<std::uint32_t>(unit.size()));
    writer.bytes(unit);
    return writer.take();
}

TEST(HeifCodedSize, AStreamOrCanvasLargerThanTheItemDeclaresIsFoundBeforeDecoding) {
    const std::vector<std::uint8_t> slice = {0x00, 0x00, 0x00, 0x03, 0x26, 0x01, 0xaf};
    const auto small = sequenceParameterSet({0, 1, 64, 64});
    const auto huge = sequenceParameterSet({0, 1, 8240, 10496});
    const auto paddedToBlocks = sequenceParameterSet({0, 1, 48 + 64, 32 + 64});
    const auto oneSamplePastBlocks = sequenceParameterSet({0, 1, 48 + 65, 32});
    auto gridOf32BitFields = [](std::uint32_t width, std::uint32_t height) {
        ByteWriter writer;
        writer.u8(0);  // version
        writer.u8(1);  // 32-bit output size
        writer.u8(0);  // rows less one
        writer.u8(0);  // columns less one
        writer.u32be(width);
        writer.u32be(height);
        return writer.take();
    };
    struct Case {
        const char* what;
        const char* itemType;
        std::vector<std::uint8_t> configuredSequence;
        std::vector<std::uint8_t> data;
        const char* refusal;  // nullptr: accepted
    };
    const Case cases[] = {
        {"configured stream larger", "hvc1", huge, slice, "coded stream size 8240 x 10496"},
        {"stream larger by its own parameter set", "hvc1", small, joined({lengthPrefixed(huge), slice}),
         "coded stream size 8240 x 10496"},
        {"stream within the coding-block padding", "hvc1", paddedToBlocks, slice, nullptr},
        {"stream one sample past the padding", "hvc1", oneSamplePastBlocks, slice, "coded stream size 113 x 32"},
        {"grid larger (32-bit fields)", "grid", {}, gridOf32BitFields(100000, 32), "tile grid size 100000 x 32"},
        {"grid as declared", "grid", {}, gridOf32BitFields(48, 32), nullptr},
        // libheif 1.15 declares a rotated grid at the size it is shown.
        {"grid turned a quarter", "grid", {}, gridOf32BitFields(32, 48), nullptr},
        {"grid turned a quarter and larger", "grid", {}, gridOf32BitFields(32, 49), "tile grid size 32 x 49"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::vector<std::uint8_t>> properties = {imageSpatialExtents(48, 32)};
        if (!c.configuredSequence.empty())
            properties.push_back(box("hvcC", decoderConfiguration({c.configuredSequence})));
        const auto file = heifWithOneItem(c.itemType, properties, c.data);
        const auto refusal = heifCodedPictureLargerThanDeclared(file);
        if (!c.refusal) {
            EXPECT_FALSE(refusal.has_value()) << *refusal;
            continue;
        }
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
        EXPECT_NE(refusal->find("declared picture size 48 x 32"), std::string::npos) << *refusal;
    }
}

// Files too damaged to say any size are left to libheif, and read only within their bytes
// (the asan preset catches a read past them).
TEST(HeifCodedSize, DamagedBoxesGiveNoAnswer) {
    const std::vector<std::vector<std::uint8_t>> files = {
        {},
        {0x00, 0x00, 0x00, 0x01, 0x26, 0xec, 0x23, 0x00},  // cut in its 64-bit size (found by fuzz_picture_heif)
        {0x00, 0x00, 0x00, 0x10, 'm', 'e', 't', 'a', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08},  // cut child
        {0x00, 0x00, 0x00, 0x0a, 'm', 'e', 't', 'a', 0x00, 0x00},  // no room for its version and flags
    };
    for (const auto& file : files)
        EXPECT_FALSE(heifCodedPictureLargerThanDeclared(file).has_value()) << file.size() << " bytes";
}

}  // namespace
}  // namespace tellavine
