#include "recorder/disc_utilities.h"

#include "platform/text.h"
#include "platform/numbered_messages.h"

namespace tellavine {

bool checkDiscBeforeRecording(const DiscCheckSteps& steps, Prompt& prompt, std::int64_t& freeSectors) {
    auto status = steps.readStatus();
    if (!status) {
        if (steps.openTray) steps.openTray();
        prompt.showText(disc_text::kNotReady, PromptButtons::Ok);
        return false;
    }
    freeSectors = status->freeSectors;
    if (status->blank) return true;
    if (prompt.showText(disc_text::kEraseQuestion, PromptButtons::YesNo) != PromptAnswer::Yes) return false;
    if (steps.erase) steps.erase();
    status = steps.readStatus();
    if (status) freeSectors = status->freeSectors;
    return status && status->blank;
}

bool checkDiscBeforeRecording(BaseDriver& driver, Prompt& prompt, const EraseRunner& erase,
                              std::int64_t& freeSectors) {
    DiscCheckSteps steps;
    steps.readStatus = [&driver]() -> std::optional<DiscStatus> {
        DiscStatus status;
        if (!driver.readDiscStatus(status.blank, status.freeSectors)) return std::nullopt;
        return status;
    };
    steps.openTray = [&driver] { driver.loadOrEject(true); };
    steps.erase = erase;
    return checkDiscBeforeRecording(steps, prompt, freeSectors);
}

bool discHasRoom(std::int64_t freeSectors, std::int64_t neededSectors) {
    return freeSectors >= neededSectors + kPregapFrames;
}

bool confirmDiscSpace(Prompt& prompt, std::int64_t freeSectors, std::int64_t neededSectors) {
    if (discHasRoom(freeSectors, neededSectors)) return true;
    return prompt.showText(disc_text::kSpaceQuestion, PromptButtons::YesNo) != PromptAnswer::Yes;
}

bool discPresentForErase(BaseDriver& driver) { return driver.testUnitReady() != UnitNotReady; }

std::string eraseRefusal(BaseDriver& driver) {
    if (!discPresentForErase(driver)) return disc_text::kNoDiscToErase;
    // A drive that cannot tell is left to answer the BLANK itself.
    if (driver.discIsErasable() == false) return disc_text::kNotRewritable;
    return {};
}

std::string eraseElapsedText(std::int64_t elapsedMs) {
    const auto minutes = static_cast<int>(elapsedMs / 60000);
    const auto seconds = static_cast<int>((elapsedMs / 1000) % 60);
    return formatText("Erasing ReWritable, Please wait...\nElapsed time: %02d:%02d min", minutes, seconds);
}

EraseOutcome runEraseJob(const EraseJob& job) {
    auto now = job.nowMs ? job.nowMs : [] {
        return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count());
    };
    EraseOutcome outcome;
    if (!job.driver) {
        outcome.failure = disc_text::kEraseRefused;
    } else if (!job.driver->blank(job.method == EraseMethod::Full)) {
        // Nothing to wait for: the drive is not working on the disc.
        outcome.failure = std::string(disc_text::kEraseRefused) + "\n" + job.driver->lastFailureReason();
    } else {
        const std::int64_t began = now();
        int readiness = UnitReady;
        for (;;) {
            job.window.send(WM_ERASE_TICK, static_cast<MessageParam>(now() - began));
            // Only a drive still at work is waited for; one without a disc would never end.
            readiness = job.driver->testUnitReady();
            if (readiness != UnitNotReady || job.driver->senseSaysNoMedium()) break;
            job.driver->sleep(std::chrono::milliseconds(1000));
        }
        if (readiness == UnitReady) {
            outcome.erased = true;
        } else {
            outcome.failure = std::string(disc_text::kEraseFailed) + "\n" + job.driver->lastFailureReason();
        }
    }
    job.window.send(Message{WM_ERASE_DONE, outcome.erased ? 0 : 1, 0, outcome.failure});
    return outcome;
}

std::thread startEraseThread(EraseJob job) {
    return std::thread([job = std::move(job)] { runEraseJob(job); });
}

}  // namespace tellavine
