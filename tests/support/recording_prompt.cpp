#include "support/recording_prompt.h"

namespace tellavine::testing {

ScopedPrompt::ScopedPrompt(std::shared_ptr<Prompt> prompt) : previous_(currentPrompt()) {
    installPrompt(std::move(prompt));
}

ScopedPrompt::~ScopedPrompt() { installPrompt(previous_); }

}  // namespace tellavine::testing
