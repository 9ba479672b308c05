#pragma once
// ScsiTransport over one EmulatedRecorder. Selected by a device name of the form
// "emulated:PATH", optionally followed by "?medium=cdrw" (a rewritable disc when PATH
// holds no disc yet), "&busy=N" (every N-th write finds the drive busy once) and
// "&failwrite=N" (the N-th write of a session fails with a medium write error).

#include "recorder/emulated_recorder.h"
#include "recorder/scsi_transport.h"

#include <memory>
#include <optional>
#include <string>

namespace tellavine {

inline constexpr const char* kEmulatedDevicePrefix = "emulated:";

struct EmulatedDeviceName {
    std::string path;
    EmulatedRecorderOptions options;
};

// The path and options of an "emulated:" device name; nullopt for any other name or for
// an option the emulator does not know.
std::optional<EmulatedDeviceName> parseEmulatedDeviceName(const std::string& name);

class EmulatedTransport final : public ScsiTransport {
public:
    EmulatedTransport(std::string discPath, EmulatedRecorderOptions options = {});

    bool initialise(int index, bool writersOnly) override;
    bool select(int index) override { return activeRecord(index) != nullptr; }
    CommandResult execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                          std::span<std::uint8_t> dataIn) override;
    std::string backendName() const override { return "emulated"; }

    EmulatedRecorder& recorder() { return recorder_; }
    const EmulatedRecorder& recorder() const { return recorder_; }

private:
    std::string deviceName_;
    EmulatedRecorder recorder_;
};

}  // namespace tellavine
