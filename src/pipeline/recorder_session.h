#pragma once
// A CD recorder opened for burning: its transport, the driver for its writing mode, and
// the feed through which the image sink hands sectors to the drive in recorder mode.
//
// Threads: open and prepareBurn run before the build starts, finishBurn once the build
// thread has ended (from any one thread); the feed thread runs between the build's first
// sector and finishBurn, and is joined there.

#include "platform/prompt.h"
#include "recorder/base_driver.h"
#include "recorder/recording_options.h"
#include "recorder/scsi_transport.h"
#include "vcd/recorder_hooks.h"

#include <memory>
#include <string>

namespace tellavine {

class RecorderSession {
public:
    // Opens the named recorder ("/dev/sr0", "emulated:/path/disc.bin", or empty for the
    // first writer found); nullptr with `error` set when it cannot be used. The driver
    // tells the user about the drive through `prompt`.
    static std::unique_ptr<RecorderSession> open(const std::string& device, int writingMode, std::string& error,
                                                 std::shared_ptr<Prompt> prompt = nullptr);
    ~RecorderSession();

    BaseDriver& driver() { return *driver_; }
    const ScsiDeviceRecord* device() const { return transport_->currentDevice(); }

    // Sets the recording up; the hooks are the destination of the next build's image
    // sink (BuildRequest::recorder). They stay valid while the session lives.
    std::shared_ptr<vcd::RecorderHooks> prepareBurn(const RecordingOptions& options);
    // Waits for the feed thread after the build; 0 when the disc was finished.
    int finishBurn();

private:
    RecorderSession() = default;
    class FeedAdapter;

    std::unique_ptr<ScsiTransport> transport_;
    std::unique_ptr<BaseDriver> driver_;
    std::shared_ptr<FeedAdapter> feed_;
};

}  // namespace tellavine
