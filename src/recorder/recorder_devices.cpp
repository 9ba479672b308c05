#include "recorder/recorder_devices.h"

#include "platform/text.h"
#include "recorder/emulated_disc.h"
#include "recorder/emulated_transport.h"
#include "recorder/mmc_driver.h"
#include "recorder/raw_driver.h"
#include "recorder/sgio_transport.h"

namespace tellavine {

OpenedRecorder openRecorder(const std::string& deviceName, std::unique_ptr<SgioSystem> system) {
    OpenedRecorder opened;
    if (deviceName.rfind(kEmulatedDevicePrefix, 0) == 0) {
        const auto parsed = parseEmulatedDeviceName(deviceName);
        if (!parsed) {
            opened.error = formatText("\"%s\" is not a valid emulated device: use emulated:PATH, optionally with "
                                      "?medium=cdr|cdrw, &capacity=SECTORS, &busy=N and &failwrite=N.",
                                      deviceName.c_str());
            return opened;
        }
        if (const auto reason = EmulatedDisc::unusableDiscReason(parsed->path); !reason.empty()) {
            opened.error = formatText("The emulated recorder cannot use its disc: %s. Name a new file, or one it "
                                      "wrote before.",
                                      reason.c_str());
            return opened;
        }
        auto transport = std::make_unique<EmulatedTransport>(parsed->path, parsed->options);
        transport->initialise(0, true);
        opened.transport = std::move(transport);
        return opened;
    }

    auto transport = std::make_unique<SgioTransport>(std::move(system));
    transport->initialise(0, true);
    int wanted = -1;
    for (int i = 0; i < transport->writerCount(); ++i)
        if (deviceName.empty() || transport->writer(i).devicePath == deviceName) {
            wanted = i;
            break;
        }
    if (wanted < 0) {
        for (const auto& record : transport->devices())
            if ((deviceName.empty() || record.devicePath == deviceName) && !record.openError.empty()) {
                opened.error = record.openError;
                return opened;
            }
        if (deviceName.empty())
            opened.error = "No CD-Writer is Found";
        else
            opened.error = formatText("%s is not a CD recorder of this machine.", deviceName.c_str());
        return opened;
    }
    if (!transport->select(wanted)) {
        opened.error = transport->lastError();
        return opened;
    }
    transport->closeDevice();  // the first command opens it again
    opened.transport = std::move(transport);
    return opened;
}

std::unique_ptr<BaseDriver> createDriver(int writingMode, ScsiTransport& transport) {
    const ScsiDeviceRecord* writer = transport.currentDevice();
    const DriverKind kind = chooseDriverKind(writingMode, writer ? writer->product : std::string{});
    std::unique_ptr<BaseDriver> driver;
    if (kind == DriverKind::Raw)
        driver = std::make_unique<RawDriver>();
    else
        driver = std::make_unique<MmcDriver>();
    driver->attachTransport(&transport);
    return driver;
}

std::string deviceStatusText(const ScsiDeviceRecord& record) {
    return formatText("Device: %s  %s", record.vendor.c_str(), record.product.c_str());
}

}  // namespace tellavine
