#pragma once
// Message boxes as an interface the engine calls. Every box is captioned "Tellavine";
// Yes/No boxes are questions, the others information. The desktop program shows modal
// boxes on its UI thread (marshalled from workers); the CLI prints and answers from
// its flags.

#include <cstdio>
#include <memory>
#include <string>

namespace tellavine {

inline constexpr const char* kMessageCaption = "Tellavine";

enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

class Prompt {
public:
    virtual ~Prompt() = default;
    virtual PromptAnswer showText(const std::string& text, PromptButtons buttons) = 0;
};

// Prints each box to a stream (stderr by default) and answers questions with a fixed
// answer, as a command-line program does under its --yes / --no flags.
class ConsolePrompt : public Prompt {
public:
    explicit ConsolePrompt(PromptAnswer questionAnswer = PromptAnswer::No, std::FILE* out = stderr);
    PromptAnswer showText(const std::string& text, PromptButtons buttons) override;

private:
    PromptAnswer questionAnswer_;
    std::FILE* out_;
};

}  // namespace tellavine
