#pragma once
// The P and Q sub-channel of one sector, as a raw-mode recorder takes it after the 2352
// main-channel bytes. Q is the 12-byte frame of the CD format: CTL/ADR, nine data bytes
// (mode 1: TNO, INDEX or POINT, MIN, SEC, FRAME, ZERO, AMIN/PMIN, ASEC/PSEC,
// AFRAME/PFRAME, numbers in BCD) and a CRC-16. Two layouts carry it:
//   PqSubChannel16 - 16 bytes (data block type 1): Q bytes 0-9, CRC high byte first as
//                    computed, three zero bytes, then 80h when P is set;
//   PwSubChannel96 - 96 bytes (data block types 2 and 3), one byte per symbol: P in
//                    bit 7, Q in bit 6, R-W zero; the CRC stored inverted as on the disc.

#include "platform/cd_geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tellavine {

// CRC-16 with polynomial 1021h, initial value 0, most significant bit first.
std::uint16_t subChannelCrc(std::span<const std::uint8_t> bytes);

class SubChannel {
public:
    virtual ~SubChannel() = default;

    // A new zeroed record of the same layout whose ADR is `mode` (1, 2 or 3).
    virtual std::unique_ptr<SubChannel> makeForMode(int mode) const = 0;
    virtual std::size_t dataLength() const = 0;
    // The record as the drive takes it (valid until the record changes).
    virtual std::span<const std::uint8_t> data() = 0;

    void setP(bool flag) { p_ = flag; }
    bool p() const { return p_; }
    void setCtl(std::uint8_t value) { q_[0] = static_cast<std::uint8_t>((value & 0xF0) | (q_[0] & 0x0F)); }
    std::uint8_t ctlAdr() const { return q_[0]; }
    int mode() const { return q_[0] & 0x0F; }
    void setTrackNr(int value) { q_[1] = toBcd(value); }
    void setIndexNr(int value) { q_[2] = toBcd(value); }
    void setPoint(int value) { q_[2] = toBcd(value); }
    void setMin(int value) { q_[3] = toBcd(value); }
    void setSec(int value) { q_[4] = toBcd(value); }
    void setFrame(int value) { q_[5] = toBcd(value); }
    void setAmin(int value) { q_[7] = toBcd(value); }
    void setAsec(int value) { q_[8] = toBcd(value); }
    void setAframe(int value) { q_[9] = toBcd(value); }
    void setPmin(int value) { setAmin(value); }
    void setPsec(int value) { setAsec(value); }
    void setPframe(int value) { setAframe(value); }
    int trackNr() const { return fromBcdOrRaw(q_[1]); }
    int indexNr() const { return fromBcdOrRaw(q_[2]); }
    int point() const { return fromBcdOrRaw(q_[2]); }
    int min() const { return fromBcdOrRaw(q_[3]); }
    int sec() const { return fromBcdOrRaw(q_[4]); }
    int frame() const { return fromBcdOrRaw(q_[5]); }
    int amin() const { return fromBcdOrRaw(q_[7]); }
    int asec() const { return fromBcdOrRaw(q_[8]); }
    int aframe() const { return fromBcdOrRaw(q_[9]); }
    // Stores the CRC of Q bytes 0-9 in bytes 10-11.
    void calcCrc();
    const std::array<std::uint8_t, 12>& q() const { return q_; }

protected:
    explicit SubChannel(int mode) { q_[0] = static_cast<std::uint8_t>(mode & 0x0F); }

    std::array<std::uint8_t, 12> q_{};
    bool p_ = false;

private:
};

class PqSubChannel16 final : public SubChannel {
public:
    explicit PqSubChannel16(int mode = 1) : SubChannel(mode) {}
    std::unique_ptr<SubChannel> makeForMode(int mode) const override { return std::make_unique<PqSubChannel16>(mode); }
    std::size_t dataLength() const override { return 16; }
    std::span<const std::uint8_t> data() override;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

class PwSubChannel96 final : public SubChannel {
public:
    explicit PwSubChannel96(int mode = 1) : SubChannel(mode) {}
    std::unique_ptr<SubChannel> makeForMode(int mode) const override { return std::make_unique<PwSubChannel96>(mode); }
    std::size_t dataLength() const override { return 96; }
    std::span<const std::uint8_t> data() override;

private:
    std::array<std::uint8_t, 96> bytes_{};
};

// What a drive reads back from either layout: the Q frame as stored on the disc (CRC
// not inverted) and the P flag. False when the layout's length is wrong or P is not the
// same in every symbol.
struct DecodedSubChannel {
    std::array<std::uint8_t, 12> q{};
    bool p = false;
};
bool decodeSubChannel(std::span<const std::uint8_t> bytes, DecodedSubChannel& decoded);

}  // namespace tellavine
