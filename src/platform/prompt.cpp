#include "platform/prompt.h"


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

}  // namespace tellavine
