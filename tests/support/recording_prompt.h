#pragma once
// A prompt that records every message box and answers questions with a set answer, and
// the one place where tests install a prompt for the engine to use.

#include "platform/prompt.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tellavine::testing {

// Safe to call from worker threads. Yes/No questions answer No until told otherwise.
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
    void setAnswer(PromptAnswer answer) {
        std::lock_guard lock(mutex_);
        answer_ = answer;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> shown_;          // guarded by mutex_
    PromptAnswer answer_ = PromptAnswer::No;  // guarded by mutex_
};

// Makes `prompt` the engine's prompt for the object's lifetime; the previous one comes back.
class ScopedPrompt {
public:
    explicit ScopedPrompt(std::shared_ptr<Prompt> prompt);
    ~ScopedPrompt();
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;

private:
    std::shared_ptr<Prompt> previous_;
};

// A RecordingPrompt installed for the scope of a test.
class ScopedRecordingPrompt {
public:
    RecordingPrompt& operator*() { return *prompt_; }
    RecordingPrompt* operator->() { return prompt_.get(); }

private:
    std::shared_ptr<RecordingPrompt> prompt_ = std::make_shared<RecordingPrompt>();
    ScopedPrompt installed_{prompt_};
};

}  // namespace tellavine::testing
