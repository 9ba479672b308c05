#include "recorder/sense_text.h"

#include "platform/text.h"
#include "recorder/scsi_sense.h"

namespace tellavine {
namespace {

const char* senseKeyName(int key) {
    switch (key) {
        case 0x0: return "no sense";
        case 0x1: return "recovered error";
        case 0x2: return "not ready";
        case 0x3: return "medium error";
        case 0x4: return "hardware error";
        case 0x5: return "illegal request";
        case 0x6: return "unit attention";
        case 0x7: return "data protect";
        case 0x8: return "blank check";
        case 0xB: return "aborted command";
        case 0xD: return "volume overflow";
        default: return "sense key";
    }
}

struct NamedCode {
    SenseCode code;
    const char* name;
};

// The codes a recording can end with; the key is not compared (drives differ in it).
constexpr NamedCode kNamedCodes[] = {
    {sense::kOperationInProgress, "operation in progress"},
    {sense::kLongWriteInProgress, "long write in progress"},
    {sense::kMediumNotPresent, "no disc in the drive"},
    {sense::kTrayOpen, "the tray is open"},
    {sense::kWriteError, "write error"},
    {sense::kPowerCalibrationError, "power calibration area error"},
    {sense::kAddressOutOfRange, "address out of range"},
    {sense::kInvalidAddressForWrite, "invalid address for write"},
    {sense::kInvalidFieldInCdb, "invalid field in the command"},
    {sense::kCommandSequenceError, "command sequence error"},
    {sense::kIncompatibleMedium, "incompatible medium"},
    {{0, 0x0C, 0x09}, "loss of streaming (buffer underrun)"},
    {{0, 0x29, 0x00}, "the drive was reset"},
    {{0, 0x3E, 0x01}, "drive failure"},
    {{0, 0x73, 0x00}, "CD control error"},
};

}  // namespace

std::string describeSense(const SenseBytes& sense) {
    const int key = sense[2] & 0x0F;
    const int asc = sense[12];
    const int ascq = sense[13];
    std::string what = senseKeyName(key);
    for (const NamedCode& named : kNamedCodes) {
        if (named.code.asc == asc && named.code.ascq == ascq) {
            what += std::string(", ") + named.name;
            break;
        }
    }
    return formatText("The drive reported: %s (sense %X/%02X/%02X).", what.c_str(), key, asc, ascq);
}

}  // namespace tellavine
