#pragma once
// A prompt that records every message box and answers questions with a set answer.
// Installed for the lifetime of the object; the previous prompt comes back afterwards.

#include "platform/prompt.h"

#include <mutex>
#include <string>
#include <vector>

namespace tellavine::testing {

class RecordingPrompt : public Prompt {
public:
    PromptAnswer showText(const std::string& text, PromptButtons buttons) override {
        std::lock_guard lock(mutex_);
        shown_.push_back(text);
        return buttons == PromptButtons::YesNo ? answer_ : PromptAnswer::Ok;
    }
    std::vector<std::string> shown() const {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    void setAnswer(PromptAnswer answer) { answer_ = answer; }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> shown_;
    PromptAnswer answer_ = PromptAnswer::No;
};

// Installs a RecordingPrompt for the scope of a test.
class ScopedRecordingPrompt {
public:
    ScopedRecordingPrompt() : prompt_(std::make_shared<RecordingPrompt>()), previous_(currentPrompt()) {
        installPrompt(prompt_);
    }
    ~ScopedRecordingPrompt() { installPrompt(previous_); }
    RecordingPrompt& operator*() { return *prompt_; }
    RecordingPrompt* operator->() { return prompt_.get(); }

private:
    std::shared_ptr<RecordingPrompt> prompt_;
    std::shared_ptr<Prompt> previous_;
};

}  // namespace tellavine::testing
