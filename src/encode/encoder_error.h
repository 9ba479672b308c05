#pragma once
// The outcome of a still encode or a multiplex. A failure has already been shown to
// the user in a message box; the encoding stages turn it into a false stage result.

#include <string>
#include <utility>

namespace tellavine {

struct EncoderError {
    std::string message;
};

class [[nodiscard]] EncoderResult {
public:
    static EncoderResult success() { return EncoderResult(); }
    static EncoderResult failure(std::string message) { return EncoderResult(EncoderError{std::move(message)}); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    // The failure's text; empty on success.
    const EncoderError& error() const { return error_; }

private:
    EncoderResult() = default;
    explicit EncoderResult(EncoderError error) : failed_(true), error_(std::move(error)) {}

    bool failed_ = false;
    EncoderError error_;
};

// Shows `message` in a message box and returns it as a failure.
EncoderResult reportEncoderFailure(std::string message);

}  // namespace tellavine
