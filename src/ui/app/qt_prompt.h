#pragma once
// Message boxes of the desktop program: modal boxes captioned "Tellavine" over the
// active modal window, or the active window when none is modal. A worker thread's box
// is shown on the UI thread and the worker waits for the answer (the UI never waits for
// a worker, so this cannot deadlock).

#include "platform/prompt.h"

namespace tellavine::ui {

class QtPrompt : public Prompt {
public:
    PromptAnswer showText(const std::string& text, PromptButtons buttons) override;
};

}  // namespace tellavine::ui
