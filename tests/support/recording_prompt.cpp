#include "support/recording_prompt.h"

namespace tellavine::testing {

PromptAnswer RecordingPrompt::showText(const std::string& text, PromptButtons buttons) {
    std::lock_guard lock(mutex_);
    shown_.push_back(text);
    return buttons == PromptButtons::YesNo ? answer_ : PromptAnswer::Ok;
}

std::vector<std::string> RecordingPrompt::shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

void RecordingPrompt::setAnswer(PromptAnswer answer) {
    std::lock_guard lock(mutex_);
    answer_ = answer;
}

}  // namespace tellavine::testing
