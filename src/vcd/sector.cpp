#include "vcd/sector.h"

#include "vcd/edc_ecc.h"

#include <algorithm>

namespace tellavine::vcd {
namespace {

void writeSync(Mode2Sector& sector) {
    sector[0] = 0x00;
    std::fill(sector.begin() + 1, sector.begin() + 11, std::uint8_t{0xFF});
    sector[11] = 0x00;
}

void writeHeader(Mode2Sector& sector, std::uint32_t lsn) {
    const auto msf = bcdMsfOf(static_cast<int>(lsn) + kPregapFrames);
    std::copy(msf.begin(), msf.end(), sector.begin() + 12);
    sector[15] = 2;
}

void storeEdc(Mode2Sector& sector, std::size_t end) {
    const std::uint32_t edc = computeEdc(std::span(sector).subspan(16, end - 16));
    for (int i = 0; i < 4; ++i) sector[end + i] = static_cast<std::uint8_t>(edc >> (8 * i));
}

}  // namespace

void buildMode2Sector(Mode2Sector& sector, std::span<const std::uint8_t> payload, std::uint32_t lsn,
                      const Subheader& subheader) {
    sector.fill(0);
    const std::uint8_t fields[4] = {subheader.fileNumber, subheader.channel, subheader.submode, subheader.coding};
    std::copy(fields, fields + 4, sector.begin() + 16);
    std::copy(fields, fields + 4, sector.begin() + 20);
    const bool form2 = subheader.submode & kSubmodeForm2;
    const std::size_t dataSize = form2 ? kForm2DataSize : kForm1DataSize;
    const std::size_t copied = std::min(dataSize, payload.size());
    std::copy_n(payload.begin(), copied, sector.begin() + 24);

    writeSync(sector);
    if (form2) {
        storeEdc(sector, 24 + kForm2DataSize);
    } else {
        storeEdc(sector, 24 + kForm1DataSize);
        computeEcc(sector);  // the Mode 2 header counts as zero for the parity
    }
    writeHeader(sector, lsn);
}

void buildRawMode2Sector(Mode2Sector& sector, std::span<const std::uint8_t, kMode2BodySize> body,
                         std::uint32_t lsn) {
    sector.fill(0);
    std::copy(body.begin(), body.end(), sector.begin() + 16);
    writeSync(sector);
    writeHeader(sector, lsn);
}

}  // namespace tellavine::vcd
