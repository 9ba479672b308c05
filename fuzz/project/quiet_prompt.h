#pragma once
// Message boxes are expected while fuzzing; they are answered silently.
#include "platform/prompt.h"

namespace tellavine {
struct QuietPrompt : Prompt {
    PromptAnswer showText(const std::string&, PromptButtons) override { return PromptAnswer::No; }
};
inline void installQuietPrompt() {
    static bool installed = [] {
        installPrompt(std::make_shared<QuietPrompt>());
        return true;
    }();
    (void)installed;
}
}  // namespace tellavine
