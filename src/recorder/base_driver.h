#pragma once
// The recorder driver: the MMC commands the engine sends over a ScsiTransport, and the
// four steps of a disc-at-once recording (prepare, start, writeBlock..., finish) that
// concrete drivers implement.
//
// Threads: a recording runs on the recorder feed thread; the UI thread uses the same
// driver for disc checks, eject and load only while no recording runs, and the erase
// thread while its dialog keeps everything else disabled. The driver has no lock.

#include "platform/event.h"
#include "platform/message_target.h"
#include "platform/prompt.h"
#include "platform/cd_geometry.h"
#include "recorder/recording_options.h"
#include "recorder/scsi_transport.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

inline constexpr std::size_t kMaxCueSheetEntries = 300;
// finish() when the drive reports an error in burning what it had buffered, or in closing.
inline constexpr const char* kClosingErrorText = "The recorder reported an error while closing the disc";
inline constexpr std::size_t kCueSheetEntryLength = 8;
inline constexpr std::size_t kMaxCueSheetBytes = kMaxCueSheetEntries * kCueSheetEntryLength;

// A mode page as read: the 8-byte parameter header, the first 8 bytes of a block
// descriptor when the drive returned one, and the page itself.
struct ModePage {
    std::array<std::uint8_t, 8> header{};
    std::array<std::uint8_t, 8> blockDescriptor{};
    std::vector<std::uint8_t> page;
};

// testUnitReady() answers.
enum UnitReadiness : int { UnitReady = 0, UnitError = 1, UnitNotReady = 2 };

class BaseDriver {
public:
    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    explicit BaseDriver(std::string name = "BaseDriver");
    virtual ~BaseDriver() = default;
    BaseDriver(const BaseDriver&) = delete;
    BaseDriver& operator=(const BaseDriver&) = delete;

    // The four steps of a recording; each returns true on success and may load the
    // reason of a failure into errorText.
    virtual bool prepare(std::string& errorText, const Event* cancel) = 0;
    virtual bool start(const MessageTarget& window, std::string& errorText, const Event* cancel) = 0;
    // Writes the sectors in `buffer` (their count is the buffer length over the driver's
    // sector unit) at `address`, 0 being track 1 index 1.
    virtual bool writeBlock(std::int32_t address, std::span<const std::uint8_t> buffer, const Event* cancel) = 0;
    virtual bool finish(const MessageTarget& window, std::string& errorText, const Event* cancel) = 0;
    // True when the feed hands over whole scrambled 2352-byte sectors (raw writing),
    // false for 2336-byte sector bodies.
    virtual bool takesRawSectors() const { return false; }

    void attachTransport(ScsiTransport* transport) { transport_ = transport; }
    ScsiTransport* transport() const { return transport_; }
    const std::string& name() const { return name_; }

    // Copies the cue sheet; false (and nothing kept) for a length that is not whole
    // 8-byte entries or exceeds 300 entries.
    bool setCueSheet(std::span<const std::uint8_t> cueSheet);
    std::span<const std::uint8_t> cueSheet() const { return cueSheet_; }

    void setRecordingOptions(const RecordingOptions& options) { options_ = options; }
    RecordingOptions& recordingOptions() { return options_; }
    void setSleeper(Sleeper sleeper) { sleep_ = std::move(sleeper); }
    void setPrompt(std::shared_ptr<Prompt> prompt) { prompt_ = std::move(prompt); }

    // Commands shared with the disc utilities.
    int testUnitReady();
    // False when READ DISC INFORMATION fails (freeSectors is then 0, blank unchanged).
    bool readDiscStatus(bool& blank, std::int64_t& freeSectors);
    // The disc information's Erasable bit: false for a CD-R; nothing when the drive
    // cannot tell (no disc, READ DISC INFORMATION failed).
    std::optional<bool> discIsErasable();
    bool setWriteSpeed(std::uint16_t kbPerSecond);
    bool blank(bool full);
    bool loadOrEject(bool eject);
    bool synchronizeCache();  // retried while the drive is busy
    bool readModePage(std::uint8_t pageCode, std::size_t resultLength, ModePage& result);
    bool writeModePage(const ModePage& page);
    bool readLeadInInfo();
    // The first steps of every driver's prepare: the writing speed, then the lead-in
    // information; false with the failing step's text.
    bool selectSpeedAndReadLeadIn(std::string& errorText);
    // True for a whole write parameters page (05h), the only page the drivers change.
    static bool isWriteParametersPage(const std::vector<std::uint8_t>& page) {
        return page.size() >= 9 && (page[0] & 0x3F) == 0x05;
    }

    std::int64_t dataSectorCount = 0;  // image sectors written, set before finish()
    Msf leadInStart;
    int leadInStartFrames = 0;
    int leadInLength = 0;   // sectors
    int leadOutLength = 0;  // sectors

    // Why the last command failed, for the second line of an error message: the drive's
    // sense data, or the system's reason when the command did not reach the drive.
    std::string lastFailureReason() const;

    // True when the last CHECK CONDITION said there is no disc (or the tray is open).
    bool senseSaysNoMedium() const;
    // Polls TEST UNIT READY every second while the drive works on its own; stops when the
    // drive is ready, fails, has lost its disc, or the run is cancelled. The last answer:
    // UnitError when the drive reported an error (such as one deferred from buffered writes).
    int waitWhileNotReady(const Event* cancel);
    // Sleeps through the injected sleeper (tests pass one that only records).
    void sleep(std::chrono::milliseconds duration) const;

protected:
    CommandResult execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut = {},
                          std::span<std::uint8_t> dataIn = {});
    // True when the saved sense says NOT READY, operation or long write in progress.
    bool senseSaysBusy() const;
    // Sends a data-out command again while the drive reports it is busy, sleeping 100 ms
    // between tries, for at most five minutes; with pollCancel the cancel event stops it
    // before each try.
    CommandResult executeWhileBusy(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                   const Event* cancel, bool pollCancel);
    void showMessage(const std::string& text) const;

    RecordingOptions options_;

private:
    std::string name_;
    ScsiTransport* transport_ = nullptr;
    CommandResult lastResult_ = CmdOk;
    std::vector<std::uint8_t> cueSheet_;
    Sleeper sleep_;
    std::shared_ptr<Prompt> prompt_;
};

// Command blocks, byte for byte.
namespace mmc_command {
std::array<std::uint8_t, 10> write10(std::int32_t address, std::uint16_t blocks);
std::array<std::uint8_t, 12> setCdSpeed(std::uint16_t writeSpeed);
std::array<std::uint8_t, 10> sendCueSheet(std::size_t length);
std::array<std::uint8_t, 10> modeSelect10(std::uint16_t parameterLength);
std::array<std::uint8_t, 12> blank(bool full);
std::array<std::uint8_t, 6> startStopUnit(bool eject);
inline constexpr std::array<std::uint8_t, 6> kTestUnitReady = {0x00, 0, 0, 0, 0, 0};
inline constexpr std::array<std::uint8_t, 10> kSynchronizeCache = {0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr std::array<std::uint8_t, 10> kReadDiscInformation = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0};
inline constexpr std::array<std::uint8_t, 10> kReadTrackInformation = {0x52, 0x01, 0, 0, 0, 0xFF, 0, 0, 0x10, 0};
inline constexpr std::array<std::uint8_t, 10> kSendOpcInformation = {0x54, 0x01, 0, 0, 0, 0, 0, 0, 0, 0};
}  // namespace mmc_command

}  // namespace tellavine
