#pragma once
// The outcome of a still encode or a multiplex. The encoding stages show a failure to
// the user (okOrReported) and turn it into a false stage result.

#include "project/messages.h"

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

// `message` as a failure.
EncoderResult reportEncoderFailure(std::string message);

// True on success; a failure's text is shown in a message box first.
bool okOrReported(const EncoderResult& result, const EngineServices& services);

}  // namespace tellavine
