#pragma once
// Message boxes are expected while fuzzing; they are answered silently.
#include "project/model.h"

namespace tellavine {
struct QuietPrompt : Prompt {
    PromptAnswer showText(const std::string&, PromptButtons) override { return PromptAnswer::No; }
};
// Gives the project a prompt that answers every box silently.
inline void quietenPrompts(Project& project) {
    EngineServices services;
    services.prompt = std::make_shared<QuietPrompt>();
    project.setServices(std::move(services));
}
}  // namespace tellavine
