#pragma once
// ScsiTransport over Linux SG_IO on the CD devices (/dev/sr*).
//
// Discovery takes at most 16 devices from sysfs, opens each (read-write, else read-only),
// identifies it and closes it again; the first command after select() or closeDevice()
// opens the current device lazily. Every command gets a time-out of kCommandTimeoutMs:
// generous enough for a full-disc SYNCHRONIZE CACHE or a blanking at 1x, short enough
// that a hung drive does not hang the program for ever.

#include "recorder/scsi_transport.h"
#include "recorder/sgio_system.h"

#include <memory>

namespace tellavine {

class SgioTransport final : public ScsiTransport {
public:
    static constexpr unsigned kCommandTimeoutMs = 1000 * 1000;  // 1000 s

    explicit SgioTransport(std::unique_ptr<SgioSystem> system = makeLinuxSgioSystem());
    ~SgioTransport() override;
    SgioTransport(const SgioTransport&) = delete;
    SgioTransport& operator=(const SgioTransport&) = delete;

    bool initialise(int index, bool writersOnly) override;
    bool select(int index) override;
    CommandResult execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                          std::span<std::uint8_t> dataIn) override;
    void closeDevice() override;
    std::string backendName() const override { return "SG_IO"; }

    bool deviceOpen() const { return fd_ >= 0; }
    // Why the last open failed ("" after a successful one), for the user.
    const std::string& lastError() const { return lastError_; }
    std::string failureText() const override { return commandFailure_; }

private:
    // Opens `path` read-write, else read-only; a descriptor or -1 with lastError_ set.
    int openPath(const std::string& path);
    CommandResult run(int fd, std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                      std::span<std::uint8_t> dataIn);

    std::unique_ptr<SgioSystem> system_;
    int fd_ = -1;
    std::string lastError_;
    std::string commandFailure_;  // why the last command failed without sense data
};

// The user-facing explanation of an open failure: errno text, and for a permission
// problem the group whose members may use the drive.
std::string describeOpenFailure(const std::string& path, int error, const std::string& group);

}  // namespace tellavine
