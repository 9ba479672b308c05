#pragma once
// Opening a recorder by the name a user gives ("/dev/sr1", "emulated:/tmp/disc.bin", or
// empty for the first writer found) and making the driver that suits it.

#include "recorder/base_driver.h"
#include "recorder/drive_database.h"
#include "recorder/scsi_transport.h"
#include "recorder/sgio_system.h"

#include <memory>
#include <string>

namespace tellavine {

struct OpenedRecorder {
    std::unique_ptr<ScsiTransport> transport;  // null when the device cannot be used
    std::string error;                         // why, for the user
};

// Discovers the machine's CD devices (or makes the emulated drive) and selects the
// named writer. `system` stands in for the real system calls in tests.
OpenedRecorder openRecorder(const std::string& deviceName, std::unique_ptr<SgioSystem> system = makeLinuxSgioSystem());

// The driver for the selected writer under the writing-mode setting (0 auto, 1 MMC,
// 2 raw), attached to `transport`.
std::unique_ptr<BaseDriver> createDriver(int writingMode, ScsiTransport& transport);

// "Device: VENDOR  PRODUCT" for the status line.
std::string deviceStatusText(const ScsiDeviceRecord& record);

}  // namespace tellavine
