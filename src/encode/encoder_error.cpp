#include "encode/encoder_error.h"

#include "project/messages.h"

namespace tellavine {

EncoderResult reportEncoderFailure(std::string message) {
    return EncoderResult::failure(std::move(message));
}

bool okOrReported(const EncoderResult& result, const EngineServices& services) {
    if (!result.ok()) services.showText(result.error().message);
    return result.ok();
}

}  // namespace tellavine
