#pragma once
// Sense keys and the additional sense codes the recorder engine sends and recognises.

#include <cstdint>

namespace tellavine {

enum SenseKey : std::uint8_t {
    kSenseNoSense = 0x0,
    kSenseNotReady = 0x2,
    kSenseMediumError = 0x3,
    kSenseHardwareError = 0x4,
    kSenseIllegalRequest = 0x5,
    kSenseUnitAttention = 0x6,
};

struct SenseCode {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
};

namespace sense {
inline constexpr SenseCode kOperationInProgress{kSenseNotReady, 0x04, 0x07};
inline constexpr SenseCode kLongWriteInProgress{kSenseNotReady, 0x04, 0x08};
inline constexpr SenseCode kMediumNotPresent{kSenseNotReady, 0x3A, 0x00};
inline constexpr SenseCode kTrayOpen{kSenseNotReady, 0x3A, 0x02};
inline constexpr SenseCode kWriteError{kSenseMediumError, 0x0C, 0x00};
inline constexpr SenseCode kPowerCalibrationError{kSenseMediumError, 0x73, 0x03};
inline constexpr SenseCode kParameterListLengthError{kSenseIllegalRequest, 0x1A, 0x00};
inline constexpr SenseCode kInvalidOperationCode{kSenseIllegalRequest, 0x20, 0x00};
inline constexpr SenseCode kAddressOutOfRange{kSenseIllegalRequest, 0x21, 0x00};
inline constexpr SenseCode kInvalidAddressForWrite{kSenseIllegalRequest, 0x21, 0x02};
inline constexpr SenseCode kInvalidFieldInCdb{kSenseIllegalRequest, 0x24, 0x00};
inline constexpr SenseCode kInvalidFieldInParameterList{kSenseIllegalRequest, 0x26, 0x00};
inline constexpr SenseCode kParameterValueInvalid{kSenseIllegalRequest, 0x26, 0x02};
inline constexpr SenseCode kCommandSequenceError{kSenseIllegalRequest, 0x2C, 0x00};
inline constexpr SenseCode kIncompatibleMedium{kSenseIllegalRequest, 0x30, 0x00};
inline constexpr SenseCode kSavingNotSupported{kSenseIllegalRequest, 0x39, 0x00};
}  // namespace sense

}  // namespace tellavine
