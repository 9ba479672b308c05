#include "encode/encoder_error.h"

#include "project/messages.h"

namespace tellavine {

EncoderResult reportEncoderFailure(std::string message) {
    showText(message);
    return EncoderResult::failure(std::move(message));
}

}  // namespace tellavine
