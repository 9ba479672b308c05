#pragma once
// The system calls behind the SG_IO transport, routed through an interface so that tests
// can stand in for devices, permissions and failing ioctls on a machine without drives.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

// One SG_IO request as the transport fills it (the fields of sg_io_hdr it uses).
struct SgioRequest {
    std::span<const std::uint8_t> cdb;
    enum class Direction { None, ToDevice, FromDevice } direction = Direction::None;
    std::uint8_t* data = nullptr;
    std::size_t dataLength = 0;
    unsigned timeoutMs = 0;
    std::span<std::uint8_t> senseBuffer;
};

struct SgioReply {
    int error = 0;                 // errno of a failed ioctl, 0 when it ran
    std::uint8_t scsiStatus = 0;   // 0 GOOD, 2 CHECK CONDITION, ...
    std::uint16_t hostStatus = 0;  // adapter trouble (time-out, gone)
    std::uint16_t driverStatus = 0;
    std::size_t senseWritten = 0;  // bytes of senseBuffer the driver filled
};

class SgioSystem {
public:
    virtual ~SgioSystem() = default;
    // Device nodes of the CD drives ("/dev/sr0", ...) in drive-number order.
    virtual std::vector<std::string> cdDevicePaths() = 0;
    // A file descriptor, or -errno.
    virtual int openDevice(const std::string& path, bool readWrite) = 0;
    virtual void closeDevice(int fd) = 0;
    virtual SgioReply sendCommand(int fd, const SgioRequest& request) = 0;
    // The name of the group that owns `path`, empty when unknown.
    virtual std::string owningGroup(const std::string& path) = 0;
};

// The real calls: sysfs (/sys/class/block/sr*, else probing /dev/sr0-15) for discovery,
// open(2), ioctl(SG_IO).
std::unique_ptr<SgioSystem> makeLinuxSgioSystem();

}  // namespace tellavine
