#pragma once
// A prompt that records every message box and answers questions with a set answer.

#include "project/messages.h"

#include <mutex>
#include <string>
#include <vector>

namespace tellavine::testing {

class RecordingPrompt : public Prompt {
public:
    PromptAnswer showText(const std::string& text, PromptButtons buttons) override;
    std::vector<std::string> shown() const;
    void setAnswer(PromptAnswer answer);

private:
    mutable std::mutex mutex_;
    std::vector<std::string> shown_;          // guarded by mutex_
    PromptAnswer answer_ = PromptAnswer::No;  // guarded by mutex_
};

// Engine services whose prompt records every box; the run log is written to `logPath`
// when one is given. Hand services() to what a test calls.
class RecordingServices {
public:
    explicit RecordingServices(const std::string& logPath = {}) : prompt_(std::make_shared<RecordingPrompt>()) {
        services_.prompt = prompt_;
        if (!logPath.empty()) services_.runLog = std::make_shared<RunLog>(logPath, true);
    }
    const EngineServices& services() const { return services_; }
    operator const EngineServices&() const { return services_; }
    RecordingPrompt& operator*() { return *prompt_; }
    RecordingPrompt* operator->() { return prompt_.get(); }
    std::shared_ptr<RecordingPrompt> prompt() const { return prompt_; }

private:
    std::shared_ptr<RecordingPrompt> prompt_;
    EngineServices services_;
};

}  // namespace tellavine::testing
