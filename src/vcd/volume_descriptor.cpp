#include "vcd/volume_descriptor.h"

#include "platform/bytes.h"
#include "vcd/iso_tree.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tellavine::vcd {
namespace {

constexpr const char* kDataPreparer = "QUILLON_VCD version 1.0";

std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void appendTime(ByteWriter& out, const RecordingTime& time) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d%2.2d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, 0);
    out.bytes(std::string_view(digits, 16));
    out.u8(0);  // offset from GMT
}

void appendUnsetTime(ByteWriter& out) {
    out.fill(16, '0');
    out.u8(0);
}

void copyOut(const ByteWriter& out, std::span<std::uint8_t, kForm1DataSize> sector) {
    std::fill(sector.begin(), sector.end(), std::uint8_t{0});
    std::copy_n(out.data().begin(), std::min<std::size_t>(out.size(), sector.size()), sector.begin());
}

}  // namespace

void buildPrimaryVolumeDescriptor(std::span<std::uint8_t, kForm1DataSize> sector, const PrimaryVolumeFields& fields) {
    ByteWriter out(kForm1DataSize);
    out.u8(1);                                        // 0: primary volume descriptor
    out.bytes("CD001");                               // 1
    out.u8(1);                                        // 6: version
    out.u8(0);                                        // 7
    out.fixedText("CD-RTOS CD-BRIDGE", 32, ' ');      // 8: system identifier
    out.fixedText(fields.volumeId, 32, ' ');          // 40
    out.fill(8);                                      // 72
    out.u32both(fields.volumeSpaceSize);              // 80
    out.fill(32);                                     // 88: escape sequences
    out.u16both(1);                                   // 120: volume set size
    out.u16both(1);                                   // 124: volume sequence number
    out.u16both(2048);                                // 128: logical block size
    out.u32both(fields.pathTableSize);                // 132
    out.u32le(fields.lTableSector);                   // 140
    out.u32le(0);                                     // 144: optional L table
    out.u32be(fields.mTableSector);                   // 148
    out.u32be(0);                                     // 152: optional M table
    std::vector<std::uint8_t> root = fields.rootRecord;
    root.resize(34, 0);
    out.bytes(root);                                  // 156
    out.fill(128, ' ');                               // 190: volume set identifier
    out.fixedText(fields.publisherId, 128, ' ');      // 318
    out.fixedText(upperCase(kDataPreparer), 128, ' ');// 446
    out.fixedText(fields.applicationId, 128, ' ');    // 574
    out.fill(3 * 37, ' ');                            // 702: copyright, abstract, bibliographic files
    appendTime(out, RecordingTime{});                 // 813: creation
    appendTime(out, RecordingTime{});                 // 830: modification
    appendUnsetTime(out);                             // 847: expiration
    appendUnsetTime(out);                             // 864: effective
    out.u8(1);                                        // 881: file structure version
    out.fill(1024 - 882);                             // 882
    out.bytes("CD-XA001");                            // 1024: inside the application use area
    copyOut(out, sector);
}

void buildTerminator(std::span<std::uint8_t, kForm1DataSize> sector) {
    ByteWriter out(8);
    out.u8(255);
    out.bytes("CD001");
    out.u8(1);
    copyOut(out, sector);
}

}  // namespace tellavine::vcd
