#pragma once
// The one door to CD recorders: a list of discovered CD devices, the writers among them,
// and execute(), which carries one command block with its data to the selected device
// and keeps the sense data of a command that ended in CHECK CONDITION.
//
// Threads: a transport has no lock. The UI thread (discovery, selection, eject, disc
// checks), the recorder feed thread and the erase thread use it one at a time; the
// front end keeps them apart by disabling the recorder controls while one runs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

enum CommandResult : int {
    CmdOk = 0,              // GOOD status
    CmdFailed = 1,          // transport failure or any status but GOOD and CHECK CONDITION
    CmdCheckCondition = 2,  // CHECK CONDITION; the sense bytes are saved
};

inline constexpr std::size_t kMaxScsiDevices = 16;
inline constexpr std::size_t kSenseLength = 16;
using SenseBytes = std::array<std::uint8_t, kSenseLength>;

struct ScsiDeviceRecord {
    std::string vendor;    // INQUIRY bytes 8-15, space padded as returned
    std::string product;   // INQUIRY bytes 16-31
    std::string revision;  // INQUIRY bytes 32-35
    int hostAdapter = 0;
    int target = 0;
    int lun = 0;
    bool isWriter = false;   // capabilities page 2Ah: writes CD-R media
    std::string devicePath;  // what select() opens ("/dev/sr0", "emulated:/tmp/disc.bin")
    bool identified = false;  // false: the device exists but did not answer (see openError)
    std::string openError;    // why an unidentified device could not be used
};

class ScsiTransport {
public:
    virtual ~ScsiTransport() = default;

    // Discovers the devices, keeps `writersOnly`, selects `index` when it lies inside the
    // active list, else 0. False when no device (or, for writersOnly, no writer) was found.
    virtual bool initialise(int index, bool writersOnly) = 0;
    // Makes entry `index` of the active list current; false keeps the previous one.
    virtual bool select(int index) = 0;
    // Runs one command on the current device. A non-empty dataOut is sent to the drive;
    // otherwise at most dataIn.size() bytes are received into dataIn.
    virtual CommandResult execute(std::span<const std::uint8_t> cdb,
                                  std::span<const std::uint8_t> dataOut,
                                  std::span<std::uint8_t> dataIn) = 0;
    // Lets go of the device handle; the next execute() reopens it.
    virtual void closeDevice() {}
    // A short name of the back end for messages ("SG_IO", "emulated").
    virtual std::string backendName() const = 0;
    // Why the last command failed without sense data (the system's error), for the user;
    // empty when the back end cannot say.
    virtual std::string failureText() const { return {}; }

    SenseBytes senseData() const { return sense_; }

    int writerCount() const { return static_cast<int>(writers_.size()); }
    const ScsiDeviceRecord& writer(int index) const { return writers_.at(static_cast<std::size_t>(index)); }
    const std::vector<ScsiDeviceRecord>& devices() const { return devices_; }
    int currentIndex() const { return currentIndex_; }
    bool writersOnly() const { return writersOnly_; }
    // The record of the current device, or nullptr when the active list is empty.
    const ScsiDeviceRecord* currentDevice() const { return activeRecord(currentIndex_); }
    // Entry `index` of the active list, or nullptr when there is none.
    const ScsiDeviceRecord* activeRecord(int index) const;

protected:
    // Fills vendor, product, revision and isWriter of `record` with INQUIRY and the
    // MODE SENSE(10) page 2Ah writer test, sent through `run`. False when INQUIRY fails.
    template <typename Run>
    static bool identify(ScsiDeviceRecord& record, Run&& run);

    // Stores the lists after discovery and applies the index rule of initialise().
    void setDiscovered(std::vector<ScsiDeviceRecord> devices, int index, bool writersOnly);
    void chooseIndex(int index);
    void saveSense(std::span<const std::uint8_t> sense);
    void setCurrentIndex(int index) { currentIndex_ = index; }
    std::size_t activeCount() const { return writersOnly_ ? writers_.size() : devices_.size(); }

private:
    std::vector<ScsiDeviceRecord> devices_;
    std::vector<ScsiDeviceRecord> writers_;
    int currentIndex_ = 0;
    bool writersOnly_ = true;
    SenseBytes sense_{};
};

// INQUIRY text fields and the capabilities-page writer bit, shared by every back end.
namespace scsi_identify {
inline constexpr std::array<std::uint8_t, 6> kInquiry = {0x12, 0x00, 0x00, 0x00, 0x64, 0x00};
inline constexpr std::size_t kInquiryLength = 100;
void takeInquiry(ScsiDeviceRecord& record, std::span<const std::uint8_t> inquiry);
// The MODE SENSE(10) block for `pageCode` with room for `resultLength` page bytes.
std::array<std::uint8_t, 10> modeSenseCommand(std::uint8_t pageCode, std::size_t resultLength);
// The page found in a MODE SENSE(10) answer, cut to `resultLength` bytes; empty when the
// answer holds no page (block descriptor length + 6 not below the mode data length).
std::vector<std::uint8_t> pageFromModeSense(std::span<const std::uint8_t> answer, std::size_t resultLength);
}  // namespace scsi_identify

template <typename Run>
bool ScsiTransport::identify(ScsiDeviceRecord& record, Run&& run) {
    std::vector<std::uint8_t> inquiry(scsi_identify::kInquiryLength, 0);
    if (run(std::span<const std::uint8_t>(scsi_identify::kInquiry), std::span<std::uint8_t>(inquiry)) != CmdOk)
        return false;
    scsi_identify::takeInquiry(record, inquiry);
    constexpr std::size_t kCapabilitiesLength = 32;
    const auto command = scsi_identify::modeSenseCommand(0x2A, kCapabilitiesLength);
    std::vector<std::uint8_t> answer(kCapabilitiesLength + 108, 0);
    record.isWriter = false;
    if (run(std::span<const std::uint8_t>(command), std::span<std::uint8_t>(answer)) == CmdOk) {
        const auto page = scsi_identify::pageFromModeSense(answer, kCapabilitiesLength);
        record.isWriter = page.size() > 3 && (page[3] & 0x01) != 0;
    }
    record.identified = true;
    return true;
}

}  // namespace tellavine
