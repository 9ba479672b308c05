#include "platform/prompt.h"

#include <mutex>

namespace tellavine {

ConsolePrompt::ConsolePrompt(PromptAnswer questionAnswer, std::FILE* out)
    : questionAnswer_(questionAnswer), out_(out) {}

PromptAnswer ConsolePrompt::showText(const std::string& text, PromptButtons buttons) {
    if (buttons == PromptButtons::YesNo) {
        const bool yes = questionAnswer_ == PromptAnswer::Yes;
        std::fprintf(out_, "%s: %s [answered %s]\n", kMessageCaption, text.c_str(), yes ? "Yes" : "No");
        std::fflush(out_);
        return yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    std::fprintf(out_, "%s: %s\n", kMessageCaption, text.c_str());
    std::fflush(out_);
    return PromptAnswer::Ok;
}

namespace {
std::mutex promptMutex;
std::shared_ptr<Prompt> installedPrompt;  // guarded by promptMutex
}  // namespace

void installPrompt(std::shared_ptr<Prompt> prompt) {
    std::lock_guard lock(promptMutex);
    installedPrompt = std::move(prompt);
}

std::shared_ptr<Prompt> currentPrompt() {
    std::lock_guard lock(promptMutex);
    if (!installedPrompt) installedPrompt = std::make_shared<ConsolePrompt>();
    return installedPrompt;
}

}  // namespace tellavine
