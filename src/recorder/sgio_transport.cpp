#include "recorder/sgio_transport.h"

#include "platform/text.h"

#include <cerrno>
#include <cstring>

namespace tellavine {

std::string describeOpenFailure(const std::string& path, int error, const std::string& group) {
    std::string text = formatText("Cannot open the CD device %s: %s.", path.c_str(), std::strerror(error));
    if (error == EACCES || error == EPERM) {
        if (!group.empty())
            text += formatText(" Your user must be a member of the group \"%s\" that owns the device "
                               "(for example: sudo usermod -aG %s $USER, then log in again).",
                               group.c_str(), group.c_str());
        else
            text += " Your user needs read and write access to the device.";
    } else if (error == EBUSY) {
        text += " Another program is using the drive.";
    }
    return text;
}

SgioTransport::SgioTransport(std::unique_ptr<SgioSystem> system) : system_(std::move(system)) {}

SgioTransport::~SgioTransport() { closeDevice(); }

int SgioTransport::openPath(const std::string& path) {
    int fd = system_->openDevice(path, true);
    if (fd < 0) {
        const int readWriteError = -fd;
        fd = system_->openDevice(path, false);
        if (fd < 0) {
            // The read-write failure is the one that matters for a recorder.
            lastError_ = describeOpenFailure(path, readWriteError, system_->owningGroup(path));
            return -1;
        }
    }
    lastError_.clear();
    return fd;
}

bool SgioTransport::initialise(int index, bool writersOnly) {
    closeDevice();
    std::vector<ScsiDeviceRecord> found;
    for (const std::string& path : system_->cdDevicePaths()) {
        if (found.size() == kMaxScsiDevices) break;
        ScsiDeviceRecord record;
        record.devicePath = path;
        const int fd = openPath(path);
        if (fd < 0) {
            record.openError = lastError_;
            found.push_back(std::move(record));
            continue;
        }
        // INQUIRY is retried: a drive just woken from sleep may drop the first command.
        for (int attempt = 0; attempt < 3 && !record.identified; ++attempt)
            identify(record, [&](std::span<const std::uint8_t> cdb, std::span<std::uint8_t> in) {
                return run(fd, cdb, {}, in);
            });
        if (!record.identified) record.openError = formatText("The CD device %s does not answer INQUIRY.", path.c_str());
        system_->closeDevice(fd);
        found.push_back(std::move(record));
    }
    const bool any = !found.empty();
    setDiscovered(std::move(found), index, writersOnly);
    return writersOnly ? writerCount() > 0 : any;
}

bool SgioTransport::select(int index) {
    const ScsiDeviceRecord* record = activeRecord(index);
    if (!record || record->devicePath.empty()) return false;
    const int fd = openPath(record->devicePath);
    if (fd < 0) return false;
    closeDevice();
    fd_ = fd;
    setCurrentIndex(index);
    return true;
}

void SgioTransport::closeDevice() {
    if (fd_ >= 0) system_->closeDevice(fd_);
    fd_ = -1;
}

CommandResult SgioTransport::execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                     std::span<std::uint8_t> dataIn) {
    if (fd_ < 0) {
        const ScsiDeviceRecord* record = currentDevice();
        if (!record || record->devicePath.empty()) {
            lastError_ = "No CD recorder is selected.";
            return CmdFailed;
        }
        fd_ = openPath(record->devicePath);
        if (fd_ < 0) {
            commandFailure_ = lastError_;
            return CmdFailed;
        }
    }
    return run(fd_, cdb, dataOut, dataIn);
}

CommandResult SgioTransport::run(int fd, std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                 std::span<std::uint8_t> dataIn) {
    if (cdb.empty() || cdb.size() > 16) return CmdFailed;
    std::array<std::uint8_t, 32> sense{};
    SgioRequest request;
    request.cdb = cdb;
    if (!dataOut.empty()) {
        request.direction = SgioRequest::Direction::ToDevice;
        // SG_IO never writes into a data-out buffer; the interface just is not const.
        request.data = const_cast<std::uint8_t*>(dataOut.data());
        request.dataLength = dataOut.size();
    } else if (!dataIn.empty()) {
        request.direction = SgioRequest::Direction::FromDevice;
        request.data = dataIn.data();
        request.dataLength = dataIn.size();
    }
    request.timeoutMs = kCommandTimeoutMs;
    request.senseBuffer = sense;
    const SgioReply reply = system_->sendCommand(fd, request);
    if (reply.error != 0) {
        commandFailure_ = formatText("The command could not be sent to the drive: %s.", std::strerror(reply.error));
        return CmdFailed;
    }
    if (reply.hostStatus != 0) {
        commandFailure_ = formatText("The drive did not answer (host status %02Xh).", reply.hostStatus);
        return CmdFailed;
    }
    if (reply.scsiStatus == 0) return CmdOk;
    if (reply.scsiStatus == 2) {
        // Callers read up to byte 13 (ASC, ASCQ); like the other back ends keep 14 bytes.
        saveSense(std::span<const std::uint8_t>(sense).first(std::min<std::size_t>(reply.senseWritten, 14)));
        return CmdCheckCondition;
    }
    commandFailure_ = formatText("The drive answered with status %02Xh.", reply.scsiStatus);
    return CmdFailed;
}

}  // namespace tellavine
