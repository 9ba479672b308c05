#pragma once
// Mode 2 (CD-ROM XA) sectors: 2352 bytes of sync, header, subheader, user data, EDC and,
// for Form 1, ECC. Sector numbers (lsn) count from 0 at the first sector of the image;
// the absolute disc address of a sector is lsn + 150 (kPregapFrames).

#include "platform/cd_geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tellavine::vcd {

using Mode2Sector = std::array<std::uint8_t, kRawSectorSize>;

// CD-ROM XA submode bits.
enum Submode : std::uint8_t {
    kSubmodeEndOfRecord = 0x01,
    kSubmodeVideo = 0x02,
    kSubmodeAudio = 0x04,
    kSubmodeData = 0x08,
    kSubmodeTrigger = 0x10,
    kSubmodeForm2 = 0x20,
    kSubmodeRealTime = 0x40,
    kSubmodeEndOfFile = 0x80,
};

struct Subheader {
    std::uint8_t fileNumber = 0;
    std::uint8_t channel = 0;
    std::uint8_t submode = kSubmodeData;
    std::uint8_t coding = 0;
};

// Formats a whole sector: the subheader twice, 2324 payload bytes when the submode has
// the Form 2 bit, else 2048, then EDC (and ECC for Form 1) with the header still zero,
// and the header of lsn last. A shorter payload is padded with zeros.
void buildMode2Sector(Mode2Sector& sector, std::span<const std::uint8_t> payload, std::uint32_t lsn,
                      const Subheader& subheader);

// Copies 2336 bytes (subheader included) behind sync and header; no EDC or ECC.
void buildRawMode2Sector(Mode2Sector& sector, std::span<const std::uint8_t, kMode2BodySize> body,
                         std::uint32_t lsn);

}  // namespace tellavine::vcd
