#pragma once
// Operations on the disc in the selected recorder besides recording: the check before a
// recording, the free-space question, and erasing a CD-RW on a worker thread that
// reports the elapsed time.

#include "platform/message_target.h"
#include "platform/prompt.h"
#include "recorder/base_driver.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace tellavine {

namespace disc_text {
inline constexpr const char* kNotReady = "CD-R/RW disc is not ready. Please insert a blank CD-R/RW disc.";
inline constexpr const char* kEraseQuestion = "CD-R/RW disc is not empty. Do you want to erase this CD-RW disc?";
inline constexpr const char* kSpaceQuestion =
    "The CD-R/RW disc space seems not enough for the project. Please modify your project before burning.\n"
    "Do you want to quit burning now?";
inline constexpr const char* kNoDiscToErase = "No CD-RW disc found. Please insert the CD-RW disc to be erased.";
inline constexpr const char* kNotRewritable =
    "The disc in the recorder is not rewritable and cannot be erased. Please insert the CD-RW disc to be erased.";
inline constexpr const char* kEraseRefused = "The recorder refused to erase the disc.";
inline constexpr const char* kEraseFailed = "The recorder reported an error while erasing the disc.";
inline constexpr const char* kQuickErase = "Quick-erase rewritable media";
inline constexpr const char* kFullErase = "Full-erase rewritable media";
inline constexpr const char* kQuickEraseDescription =
    "The medium will appear to be empty but data is not physically erased. Use this option with caution if the "
    "medium contains confidential data.";
inline constexpr const char* kFullEraseDescription =
    "Choosing this option will physically erase all data on the medium. Note:physically erasing the medium will "
    "take a while (about 10 - 20 min)";
}  // namespace disc_text

enum class EraseMethod : int { Quick = 0, Full = 1 };

// What the pre-recording check does when the disc is written and the user wants it
// erased: run the erase (the desktop opens its dialog, the CLI erases at once).
using EraseRunner = std::function<void()>;

struct DiscStatus {
    bool blank = false;
    std::int64_t freeSectors = 0;
};

// How the check reaches the drive: the command-line tool through the driver, the
// desktop program through its recorder list.
struct DiscCheckSteps {
    std::function<std::optional<DiscStatus>()> readStatus;  // nothing: the drive cannot tell
    std::function<void()> openTray;
    EraseRunner erase;
};

// True when a blank disc is in the drive (possibly after erasing it), with its free
// sectors. A drive that cannot tell opens its tray and the user is told so.
bool checkDiscBeforeRecording(const DiscCheckSteps& steps, Prompt& prompt, std::int64_t& freeSectors);
bool checkDiscBeforeRecording(BaseDriver& driver, Prompt& prompt, const EraseRunner& erase,
                              std::int64_t& freeSectors);

// Whether `neededSectors` (+ the 150-sector gap) fit into a blank disc's free sectors.
bool discHasRoom(std::int64_t freeSectors, std::int64_t neededSectors);
// False when the disc is too small for `neededSectors` and the user chose to quit.
bool confirmDiscSpace(Prompt& prompt, std::int64_t freeSectors, std::int64_t neededSectors);

// The erase dialog's check before erasing: false when no disc is in the drive.
bool discPresentForErase(BaseDriver& driver);
// Why the disc in the drive cannot be erased (no disc, a disc that is not rewritable),
// as the message to show; empty when the erase may start.
std::string eraseRefusal(BaseDriver& driver);

// "Erasing ReWritable, Please wait...\nElapsed time: MM:SS min".
std::string eraseElapsedText(std::int64_t elapsedMs);

struct EraseJob {
    MessageTarget window;  // receives WM_ERASE_TICK and WM_ERASE_DONE (sent)
    BaseDriver* driver = nullptr;
    EraseMethod method = EraseMethod::Quick;
    // Milliseconds of a monotonic clock; tests pass their own.
    std::function<std::int64_t()> nowMs;
};

// How an erase ended. WM_ERASE_DONE carries it too: wParam 1 and the failure as the
// message's text when the drive refused BLANK or reported an error while blanking.
struct EraseOutcome {
    bool erased = false;
    std::string failure;  // the message to show, with the drive's reason on a second line
};

// Blanks the disc and waits for the drive, sending the elapsed time about every second.
EraseOutcome runEraseJob(const EraseJob& job);
// The same on a worker thread.
std::thread startEraseThread(EraseJob job);

}  // namespace tellavine
